// Rendering the widget offscreen. The pane leaves unlit pixels transparent,
// so the widget is painted onto a transparent image and every pixel it
// covers counts as lit; the theme then gives both kinds their colours.
#include "screenimage.h"

#include "menuview/analysis/menuitems.h"

namespace {

QImage paintedMask(MenuItems &view, int scale)
{
    view.setMultiplier(scale);
    const QSize size(128 * scale, 8 * scale * view.rowCount());
    view.resize(size);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (!size.isEmpty())
        view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

bool isLit(const QImage &mask, int x, int y)
{
    return qAlpha(mask.pixel(x, y)) >= 128;
}

} // namespace

QImage screenImage(MenuItems &view, int scale, const Theme &theme)
{
    const QImage mask = paintedMask(view, scale);
    QImage image(mask.size(), QImage::Format_RGB32);
    for (int y = 0; y < mask.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < mask.width(); ++x)
            line[x] = isLit(mask, x, y) ? theme.lit : theme.unlit;
    }
    return image;
}

QString screenArt(MenuItems &view)
{
    const QImage mask = paintedMask(view, 1);
    QString art;
    art.reserve((mask.width() + 1) * mask.height());
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x)
            art += isLit(mask, x, y) ? QLatin1Char('#') : QLatin1Char('.');
        art += QLatin1Char('\n');
    }
    return art;
}
