// Builds the parameter entry form in the order its record lists the widgets.
#include "menuview/params/ui_paramsdialog.h"

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

    verticalSpacer = new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding);
    verticalLayout->addItem(verticalSpacer);
    formVerticalLayout->addLayout(verticalLayout);

    buttonBox = new QDialogButtonBox(dialog);
    buttonBox->setObjectName("buttonBox");
    buttonBox->setOrientation(Qt::Horizontal);
    buttonBox->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    formVerticalLayout->addWidget(buttonBox);

    retranslateUi(dialog);

    QObject::connect(buttonBox, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttonBox, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
}

void ParamsDialog::retranslateUi(QDialog *dialog)
{
    dialog->setWindowTitle(QCoreApplication::translate("ParamsDialog", "Ввод параметров"));
    param1Label->setText(QCoreApplication::translate("ParamsDialog", " 1"));
    param2Label->setText(QCoreApplication::translate("ParamsDialog", " 2"));
    param3Label->setText(QCoreApplication::translate("ParamsDialog", " 3"));
}

} // namespace Ui
