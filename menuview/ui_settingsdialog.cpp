// Builds the settings form in the order its record lists the widgets.
#include "menuview/ui_settingsdialog.h"

#include <QComboBox>
#include "menuview/dialogform.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace Ui {

void SettingsDialog::setupUi(QDialog *dialog)
{
    if (dialog->objectName().isEmpty())
        dialog->setObjectName("SettingsDialog");
    dialog->resize(184, 135);
    formVerticalLayout = new QVBoxLayout(dialog);
    formVerticalLayout->setObjectName("formVerticalLayout");
    verticalLayout = new QVBoxLayout();
    verticalLayout->setObjectName("verticalLayout");

    periodLabel = new QLabel(dialog);
    periodLabel->setObjectName("periodLabel");
    verticalLayout->addWidget(periodLabel);

    periodComboBox = new QComboBox(dialog);
    for (int i = 0; i < 5; ++i)
        periodComboBox->addItem(QString());
    periodComboBox->setObjectName("periodComboBox");
    verticalLayout->addWidget(periodComboBox);

    verticalSpacer = DialogForm::closeRows(verticalLayout, formVerticalLayout);
    buttonBox = DialogForm::addButtons(dialog, formVerticalLayout);

    retranslateUi(dialog);

    DialogForm::connectButtons(buttonBox, dialog);

    periodComboBox->setCurrentIndex(2);
}

void SettingsDialog::retranslateUi(QDialog *dialog)
{
    dialog->setWindowTitle(QCoreApplication::translate("SettingsDialog", "Настройки"));
    periodLabel->setText(QCoreApplication::translate("SettingsDialog", "Период обновления"));
    periodComboBox->setItemText(0, QCoreApplication::translate("SettingsDialog", "1 секунда"));
    periodComboBox->setItemText(1, QCoreApplication::translate("SettingsDialog", "2 секунды"));
    periodComboBox->setItemText(2, QCoreApplication::translate("SettingsDialog", "3 секунды"));
    periodComboBox->setItemText(3, QCoreApplication::translate("SettingsDialog", "5 секунд"));
    periodComboBox->setItemText(4, QCoreApplication::translate("SettingsDialog", "10 секунд"));
}

} // namespace Ui
