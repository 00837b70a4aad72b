// The entry dialog prepared for one item, run, and read back.
#include "menuview/params/parameterentry.h"

#include "menuview/analysis/devicescreen.h"
#include "menuview/params/paramsdialog.h"
#include "menuview/params/ui_paramsdialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace VelkoMenuView {

std::optional<QStringList> askParameterValues(QWidget *parent, ParamInfo info,
                                              const QStringList &stored)
{
    const QString prefix = paramTypeName(info.type);
    const int count = info.count;
    QPointer<ParamsDialog> dialog(new ParamsDialog(parent));
    Ui::ParamsDialog *ui = dialog->ui();
    QLabel *const labels[] = {ui->param1Label, ui->param2Label, ui->param3Label};
    QLineEdit *const edits[] = {ui->param1Edit, ui->param2Edit, ui->param3Edit};
    for (int n = 0; n < DeviceScreen::DialogParameters; ++n) {
        labels[n]->setText(prefix + labels[n]->text());
        labels[n]->setEnabled(count > n);
        edits[n]->setEnabled(count > n);
        if (count > n && stored.size() > n)
            edits[n]->setText(stored.at(n));
    }

    const int result = dialog->exec();
    // The parent may have gone while the dialog ran; the dialog went with it.
    if (!dialog)
        return std::nullopt;
    QStringList entered;
    for (int n = 0; n < qMin(count, DeviceScreen::DialogParameters); ++n)
        entered << edits[n]->text();
    delete dialog;
    if (result != QDialog::Accepted)
        return std::nullopt;
    return entered;
}

} // namespace VelkoMenuView
