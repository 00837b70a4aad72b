// Form of the settings dialog: the refresh period over OK/Cancel.
#pragma once

#include <QCoreApplication>

class QComboBox;
class QDialog;
class QDialogButtonBox;
class QLabel;
class QSpacerItem;
class QVBoxLayout;

namespace Ui {

class SettingsDialog
{
public:
    QVBoxLayout *formVerticalLayout = nullptr;
    QVBoxLayout *verticalLayout = nullptr;
    QLabel *periodLabel = nullptr;
    QComboBox *periodComboBox = nullptr;
    QSpacerItem *verticalSpacer = nullptr;
    QDialogButtonBox *buttonBox = nullptr;

    void setupUi(QDialog *dialog);
    void retranslateUi(QDialog *dialog);
};

} // namespace Ui
