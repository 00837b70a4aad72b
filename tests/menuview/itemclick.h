// A press on a screen row, and the entry dialog it opens answered from the
// test: what the dialog showed, then the texts typed and OK or Cancel.
#pragma once

#include "dialoganswer.h"

#include "menuview/params/paramsdialog.h"
#include "menuview/params/ui_paramsdialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

struct Seen
{
    bool opened = false;
    QStringList labels;
    QList<bool> enabled;
    QStringList texts;
};

// Clicks at widget y with button; the dialog, if one opens, is recorded,
// given the texts and answered with OK (accept) or Cancel.
inline Seen clickItem(QWidget *screen, int y, const QStringList &type, bool accept,
                      Qt::MouseButton button = Qt::LeftButton)
{
    Seen seen;
    DialogAnswer answer([&](QDialog *dialog) {
        auto *d = static_cast<ParamsDialog *>(dialog);
        Ui::ParamsDialog *ui = d->ui();
        seen.opened = true;
        QLineEdit *edits[] = {ui->param1Edit, ui->param2Edit, ui->param3Edit};
        for (QLabel *label : {ui->param1Label, ui->param2Label, ui->param3Label})
            seen.labels << label->text();
        for (int i = 0; i < 3; ++i) {
            seen.enabled << edits[i]->isEnabled();
            seen.texts << edits[i]->text();
            if (i < type.size())
                edits[i]->setText(type[i]);
        }
        auto box = ui->buttonBox;
        QTest::mouseClick(box->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                          Qt::LeftButton);
    });
    QTest::mouseClick(screen, button, Qt::NoModifier, QPoint(10, y));
    return seen;
}
