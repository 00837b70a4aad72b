// Shared pieces of the dialog forms.
#include "menuview/dialogform.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace DialogForm {

QSpacerItem *closeRows(QVBoxLayout *rows, QVBoxLayout *form)
{
    auto spacer = new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding);
    rows->addItem(spacer);
    form->addLayout(rows);
    return spacer;
}

QDialogButtonBox *addButtons(QDialog *dialog, QVBoxLayout *form)
{
    auto buttons = new QDialogButtonBox(dialog);
    buttons->setObjectName("buttonBox");
    buttons->setOrientation(Qt::Horizontal);
    buttons->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addWidget(buttons);
    return buttons;
}

void connectButtons(QDialogButtonBox *buttons, QDialog *dialog)
{
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
}

} // namespace DialogForm
