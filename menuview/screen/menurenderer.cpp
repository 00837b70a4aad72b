// Rendering rows through the device library's frame buffer. Every row is
// composed alone, in page 0; the other pages stay blank.
#include "menuview/screen/menurenderer.h"

#include "devicegfx/gfx.h"
#include "menuview/analysis/devicescreen.h"
#include "menuview/analysis/itemformat.h"

#include <algorithm>

namespace VelkoMenuView {

namespace {

constexpr int MaxMagnification = 16;

void copyPage(QImage &image, int row, int m, QRgb lit, QRgb unlit)
{
    for (int y = 0; y < DeviceScreen::RowHeight; ++y) {
        auto *line
                = reinterpret_cast<QRgb *>(image.scanLine((row * DeviceScreen::RowHeight + y) * m));
        for (int x = 0; x < DeviceScreen::Width; ++x) {
            const QRgb colour = gfxFrameBuffer[x] >> y & 1 ? lit : unlit;
            for (int k = 0; k < m; ++k)
                line[x * m + k] = colour;
        }
        for (int k = 1; k < m; ++k) {
            const int copy = (row * DeviceScreen::RowHeight + y) * m + k;
            std::copy(line, line + image.width(), reinterpret_cast<QRgb *>(image.scanLine(copy)));
        }
    }
}

// The device library's text settings as a menu row needs them, for as long
// as it is composed; whatever other code set is given back afterwards.
class MenuTextSettings
{
public:
    MenuTextSettings()
    {
        gfxFont = &gfxFonts[DeviceScreen::MenuFont];
        gfxOpaque = true;
        gfxInverse = false;
        gfxClipWhole = false;
        gfxAlign = GfxAlignDefault;
    }
    ~MenuTextSettings()
    {
        gfxFont = m_font;
        gfxOpaque = m_opaque;
        gfxInverse = m_inverse;
        gfxClipWhole = m_clipWhole;
        gfxAlign = m_align;
    }
    MenuTextSettings(const MenuTextSettings &) = delete;
    MenuTextSettings &operator=(const MenuTextSettings &) = delete;

private:
    const DeviceFont *m_font = gfxFont;
    bool m_opaque = gfxOpaque;
    bool m_inverse = gfxInverse;
    bool m_clipWhole = gfxClipWhole;
    int32_t m_align = gfxAlign;
};

} // namespace

QImage pageImage(const ScreenColors &colors)
{
    QImage image(DeviceScreen::Width, DeviceScreen::RowHeight, QImage::Format_ARGB32_Premultiplied);
    copyPage(image, 0, 1, qPremultiply(colors.lit.rgba()), qPremultiply(colors.unlit.rgba()));
    return image;
}

QImage renderMenu(const MenuDefinition &menu, QTime clock, int magnification,
                  const ScreenColors &colors)
{
    if (magnification < 1 || magnification > MaxMagnification)
        return QImage();
    const int m = magnification;
    const int rows = 1 + int(menu.itemLines.size());
    QImage image(DeviceScreen::Width * m, DeviceScreen::RowHeight * m * rows,
                 QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    // Premultiplied: a colour with alpha must be stored as such.
    const QRgb lit = qPremultiply(colors.lit.rgba());
    const QRgb unlit = qPremultiply(colors.unlit.rgba());
    const MenuTextSettings settings;
    // The title row inverted over the full width, an item line as plain text.
    // The title is a format on the device ("%%" prints "%"), but no argument
    // follows it: it is formatted here, so that a stray conversion shows as
    // written instead of reading one.
    for (int row = 0; row < rows; ++row) {
        const QByteArray text = row == 0
                ? formatText(DeviceScreen::titleRow(menu.title, clock).toUtf8(), {}).toUtf8()
                : menu.itemLines.at(row - 1).toUtf8();
        gfxClear();
        gfxPrint(0, 0, "%s", text.constData());
        if (row == 0)
            gfxBox(0, 0, DeviceScreen::Width - 1, DeviceScreen::RowHeight - 1, DrawInvert);
        copyPage(image, row, m, lit, unlit);
    }
    return image;
}

int screenEdgeRow(int magnification)
{
    return DeviceScreen::Height * magnification;
}

bool inScreenEdgeDash(int x, int magnification)
{
    // Dashes of three device pixels, gaps of two, at any magnification.
    constexpr int Dash = 3, Period = 5;
    return x / magnification % Period < Dash;
}

void markScreenEdge(QImage &screen, int magnification, QColor unlit, QColor mark)
{
    const int m = magnification;
    const int y = screenEdgeRow(m);
    if (m < 1 || y >= screen.height() || screen.format() != QImage::Format_ARGB32_Premultiplied)
        return;
    const QRgb off = qPremultiply(unlit.rgba());
    const QRgb on = qPremultiply(mark.rgba());
    auto *line = reinterpret_cast<QRgb *>(screen.scanLine(y));
    for (int x = 0; x < screen.width(); ++x) {
        if (inScreenEdgeDash(x, m) && line[x] == off)
            line[x] = on;
    }
}

QString screenArt(const QImage &screen)
{
    const QRgb lit = ScreenColors().lit.rgba();
    QString art;
    art.reserve((screen.width() + 1) * screen.height());
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x)
            art += screen.pixel(x, y) == lit ? QLatin1Char('#') : QLatin1Char('.');
        art += QLatin1Char('\n');
    }
    return art;
}

} // namespace VelkoMenuView
