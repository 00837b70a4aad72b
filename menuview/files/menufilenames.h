// File names for pictures of menus: `render --all` and the pane's "save as PNG".
#pragma once

#include <QSet>
#include <QString>

namespace VelkoMenuView {

class MenuFileNames
{
public:
    // A name safe on common file systems and not yet handed out: letters,
    // digits, "_" and "-" are kept, anything else becomes "_"; a name taken
    // before (ignoring case, for case-insensitive file systems) gets "-2",
    // "-3", ...; an empty one becomes "menu".
    QString take(const QString &menuName);

private:
    QSet<QString> m_taken;
};

} // namespace VelkoMenuView
