// Our own drawing of the host's standard icons.
#include "utils/utilsicons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

namespace {

QPixmap cogwheel(int size, const QColor &colour)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(size / 2.0, size / 2.0);
    p.scale(size / 16.0, size / 16.0);

    // Eight teeth around a ring with a hole.
    QPainterPath wheel;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal angle = (i - 0.5) * M_PI / teeth;
        const qreal r = i % 2 ? 5.2 : 7.2;
        const QPointF a(r * qCos(angle), r * qSin(angle));
        const QPointF b(r * qCos(angle + M_PI / teeth), r * qSin(angle + M_PI / teeth));
        if (i == 0)
            wheel.moveTo(a);
        else
            wheel.lineTo(a);
        wheel.lineTo(b);
    }
    wheel.closeSubpath();
    wheel.addEllipse(QPointF(0, 0), 2.3, 2.3);
    wheel.setFillRule(Qt::OddEvenFill);
    p.fillPath(wheel, colour);
    return pixmap;
}

QIcon settingsIcon()
{
    QIcon icon;
    for (int size : {16, 32}) {
        icon.addPixmap(cogwheel(size, QColor(0x40, 0x40, 0x40)), QIcon::Normal);
        icon.addPixmap(cogwheel(size, QColor(0xA0, 0xA0, 0xA0)), QIcon::Disabled);
    }
    return icon;
}

} // namespace

namespace Utils {

QIcon Icon::icon() const
{
    return m_painter ? m_painter() : QIcon();
}

namespace Icons {

const Icon SETTINGS_TOOLBAR(settingsIcon);

} // namespace Icons
} // namespace Utils
