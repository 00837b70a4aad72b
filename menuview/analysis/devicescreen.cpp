// The title row of the device screen.
#include "menuview/analysis/devicescreen.h"

namespace VelkoMenuView::DeviceScreen {

QString titleRow(const QString &title, QTime clock)
{
    if (title.size() > ClockTitleLength)
        return title.left(Cells);
    return title.leftJustified(ClockTitleLength, QLatin1Char(' '))
            + QStringLiteral(" %1:%2")
                      .arg(clock.hour(), 2, 10, QLatin1Char('0'))
                      .arg(clock.minute(), 2, 10, QLatin1Char('0'));
}

} // namespace VelkoMenuView::DeviceScreen
