// Form of the parameter entry dialog: three label-and-edit rows over OK/Cancel.
#pragma once

#include <QCoreApplication>

class QDialog;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QSpacerItem;
class QVBoxLayout;

namespace Ui {

class ParamsDialog
{
public:
    QVBoxLayout *formVerticalLayout = nullptr;
    QVBoxLayout *verticalLayout = nullptr;
    QLabel *param1Label = nullptr;
    QLineEdit *param1Edit = nullptr;
    QLabel *param2Label = nullptr;
    QLineEdit *param2Edit = nullptr;
    QLabel *param3Label = nullptr;
    QLineEdit *param3Edit = nullptr;
    QSpacerItem *verticalSpacer = nullptr;
    QDialogButtonBox *buttonBox = nullptr;

    void setupUi(QDialog *dialog);
    void retranslateUi(QDialog *dialog);
};

} // namespace Ui
