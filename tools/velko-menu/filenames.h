// File names for menus written by `render --all`.
#pragma once

#include <QSet>
#include <QString>

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
