// MenuItems::mousePressEvent: a click on an item with parameters opens the
// entry dialog; accepted values are stored and shown in the item's line.
#include "menuview/analysis/menuitems.h"

#include "menuview/analysis/itemformat.h"
#include "menuview/params/paramsdialog.h"
#include "menuview/params/ui_paramsdialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>

void MenuItems::mousePressEvent(QMouseEvent *event)
{
    QFrame::mousePressEvent(event);

    const qsizetype items = menu.itemTexts.size();
    if (!menuValid || menu.itemLines.size() != items || menu.itemParams.size() != items)
        return;
    const int rowHeight = 8 * m_multiplier;
    if (rowHeight <= 0)
        return;
    const qsizetype index = qsizetype(event->position().toPoint().y() / rowHeight) - 1;
    if (index < 0 || index >= items)
        return;
    const ParamInfo info = menu.itemParams.at(index);
    if (info.type == ParamType::None || info.count <= 0)
        return;
    if (info.type != ParamType::Integer && info.type != ParamType::Real && info.type != ParamType::String)
        return;

    const QString prefix = paramTypeName(info.type);
    const int count = info.count;
    const QString itemText = menu.itemTexts.at(index);
    const QString menuName = menu.name;
    const QPointer<Core::IDocument> editedDocument = document;
    const bool hadDocument = document;

    QPointer<MenuItems> self(this);
    QPointer<ParamsDialog> dialog(new ParamsDialog(this));
    Ui::ParamsDialog *ui = dialog->ui();
    QLabel *const labels[] = {ui->param1Label, ui->param2Label, ui->param3Label};
    QLineEdit *const edits[] = {ui->param1Edit, ui->param2Edit, ui->param3Edit};
    const QStringList stored = menu.paramValues.value(index);
    for (int n = 0; n < 3; ++n) {
        labels[n]->setText(prefix + labels[n]->text());
        labels[n]->setEnabled(count > n);
        edits[n]->setEnabled(count > n);
        if (count > n && stored.size() > n)
            edits[n]->setText(stored.at(n));
    }

    const int result = dialog->exec();
    // The pane may have gone while the dialog ran; the dialog went with it.
    if (!self || !dialog)
        return;
    QStringList entered;
    for (int n = 0; n < qMin(count, 3); ++n)
        entered << edits[n]->text();
    delete dialog;

    if (result != QDialog::Accepted)
        return;
    // A re-analysis during the dialog may have rebuilt the menu, or shown
    // another document's or another menu's: take the values only for the
    // same item of the same menu of the same document, never by a stale index
    // and never into another document's group. A menu left on the screen by
    // a document closed before the click is still edited, in memory only.
    const bool sameDocument = hadDocument ? document && document == editedDocument : !document;
    if (!menuValid || !sameDocument || menu.name != menuName || index >= menu.itemTexts.size()
        || menu.itemTexts.at(index) != itemText)
        return;
    while (menu.paramValues.size() <= index)
        menu.paramValues.append(QStringList());
    QStringList &values = menu.paramValues[index];
    for (int n = 0; n < entered.size(); ++n) {
        if (values.size() <= n)
            values.append(entered.at(n));
        else
            values[n] = entered.at(n);
        saveSettingsParam(int(index), n + 1, entered.at(n));
    }
    formatItems(menu);
    update();
    emit analyzed();
}
