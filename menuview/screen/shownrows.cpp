// Rows compare by their text: a row's pixels depend on nothing else.
#include "menuview/screen/shownrows.h"

#include "menuview/analysis/devicescreen.h"
#include "menuview/analysis/menudefinition.h"

namespace VelkoMenuView {

QStringList ShownRows::rowsOf(const MenuDefinition *menu, QTime clock)
{
    if (!menu)
        return {};
    return QStringList {DeviceScreen::titleRow(menu->title, clock)} + menu->itemLines;
}

QList<int> ShownRows::show(const QStringList &rows)
{
    QList<int> changed;
    const qsizetype count = qMax(rows.size(), m_rows.size());
    for (qsizetype row = 0; row < count; ++row) {
        if (row >= rows.size() || row >= m_rows.size() || rows[row] != m_rows[row])
            changed.append(int(row));
    }
    m_rows = rows;
    return changed;
}

} // namespace VelkoMenuView
