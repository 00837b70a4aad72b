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
// The value of parameter 1, 2 or 3 of an item, inside the item's group.
inline QString parameter(int number)
{
    return QStringLiteral("Param") + QString::number(number);
}

} // namespace VelkoMenuView::SettingsKeys
