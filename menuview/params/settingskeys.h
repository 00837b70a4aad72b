// Where the plug-in keeps its settings: the store's organisation and
// application, the pane's options and the key of a stored value. Every
// reader and writer takes them from here.
#pragma once

#include <QString>

namespace VelkoMenuView::SettingsKeys {

inline QString organization()
{
    return QStringLiteral("Ombrix");
}
inline QString application()
{
    return QStringLiteral("VelkoMenuView");
}
inline QString multiplier()
{
    return QStringLiteral("Multiplier");
}
inline QString period()
{
    return QStringLiteral("Period");
}
// The compilers that may be run to ask for their own macros: globs apart
// by commas, as velko-menu's --query-driver takes them.
inline QString queryDriver()
{
    return QStringLiteral("QueryDriver");
}
// Functions that return their argument, apart by commas: --text-function.
inline QString textFunctions()
{
    return QStringLiteral("TextFunctions");
}
// The value of parameter 1, 2 or 3 of an item, inside the item's group.
inline QString parameter(int number)
{
    return QStringLiteral("Param") + QString::number(number);
}

} // namespace VelkoMenuView::SettingsKeys
