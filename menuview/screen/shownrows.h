// The text of each row the screen last showed, so that a new reading paints
// again only the rows it changed: the title row with its clock, the items.
#pragma once

#include <QList>
#include <QStringList>
#include <QTime>

struct MenuDefinition;

namespace VelkoMenuView {

class ShownRows
{
public:
    // The rows of `menu` as shown at `clock`; none when nothing is shown.
    static QStringList rowsOf(const MenuDefinition *menu, QTime clock);

    // The rows that differ from those last shown, appeared or went away;
    // `rows` are the ones shown from now on.
    QList<int> show(const QStringList &rows);

private:
    QStringList m_rows;
};

} // namespace VelkoMenuView
