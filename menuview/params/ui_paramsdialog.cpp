// Builds the parameter entry form in the order its record lists the widgets.
#include "menuview/params/ui_paramsdialog.h"

#include "menuview/dialogform.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace Ui {

void ParamsDialog::setupUi(QDialog *dialog)
{
    if (dialog->objectName().isEmpty())
        dialog->setObjectName("ParamsDialog");
    dialog->resize(184, 206);
    dialog->setSizeGripEnabled(false);
    dialog->setModal(true);
    formVerticalLayout = new QVBoxLayout(dialog);
    formVerticalLayout->setObjectName("formVerticalLayout");
    verticalLayout = new QVBoxLayout();
    verticalLayout->setObjectName("verticalLayout");

    const auto row = [&](QLabel *&label, QLineEdit *&edit, const char *labelName, const char *editName) {
        label = new QLabel(dialog);
        label->setObjectName(labelName);
        verticalLayout->addWidget(label);
        edit = new QLineEdit(dialog);
        edit->setObjectName(editName);
        verticalLayout->addWidget(edit);
    };
    row(param1Label, param1Edit, "param1Label", "param1Edit");
    row(param2Label, param2Edit, "param2Label", "param2Edit");
    row(param3Label, param3Edit, "param3Label", "param3Edit");

    verticalSpacer = DialogForm::closeRows(verticalLayout, formVerticalLayout);
    buttonBox = DialogForm::addButtons(dialog, formVerticalLayout);

    retranslateUi(dialog);

    DialogForm::connectButtons(buttonBox, dialog);
}

void ParamsDialog::retranslateUi(QDialog *dialog)
{
    dialog->setWindowTitle(QCoreApplication::translate("ParamsDialog", "Ввод параметров"));
    param1Label->setText(QCoreApplication::translate("ParamsDialog", " 1"));
    param2Label->setText(QCoreApplication::translate("ParamsDialog", " 2"));
    param3Label->setText(QCoreApplication::translate("ParamsDialog", " 3"));
}

} // namespace Ui
