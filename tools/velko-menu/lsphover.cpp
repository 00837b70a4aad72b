// Hover screens, parsed and drawn as the pane does it for the same text.
#include "lsphover.h"

#include "menuview/analysis/menupreview.h"
#include "menuview/analysis/textmessages.h"
#include "menuview/params/parameterstore.h"
#include "menuview/screen/menurenderer.h"

#include <QBuffer>
#include <QRegularExpression>

#include <cstring>

namespace VelkoMenuView {

namespace {

constexpr int ImageMagnification = 2;

// The screen at magnification 1 as a PNG at `magnification`.
QByteArray pngBytes(const QImage &screen, int magnification)
{
    // The screen has two colours: one bit a pixel encodes the same picture
    // many times faster and smaller than 32.
    const ScreenColors colors;
    const QRgb lit = qPremultiply(colors.lit.rgba());
    const int width = screen.width();
    const int m = magnification;
    QImage bits(screen.size() * m, QImage::Format_Mono);
    bits.setColorTable({colors.unlit.rgba(), colors.lit.rgba()});
    bits.fill(0);
    for (int y = 0; y < screen.height(); ++y) {
        const QRgb *pixels = reinterpret_cast<const QRgb *>(screen.constScanLine(y));
        uchar *row = bits.scanLine(y * m);
        for (int x = 0; x < width; ++x) {
            for (int i = 0; pixels[x] == lit && i < m; ++i)
                row[(x * m + i) >> 3] |= uchar(0x80 >> ((x * m + i) & 7));
        }
        for (int i = 1; i < m; ++i)
            std::memcpy(bits.scanLine(y * m + i), row, size_t(bits.bytesPerLine()));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    // A picture that could not be encoded is left out, never sent broken.
    if (!buffer.open(QIODevice::WriteOnly) || !bits.save(&buffer, "PNG"))
        return QByteArray();
    return bytes;
}

// A screen at magnification 1 as text, two pixel rows per line: '█' both
// lit, '▀' the upper one, '▄' the lower one, ' ' neither.
QString halfBlockArt(const QImage &screen)
{
    const QRgb lit = qPremultiply(ScreenColors().lit.rgba());
    const QImage pixels = screen.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int width = pixels.width();
    const int height = pixels.height();
    QString art;
    art.reserve((width + 1) * (height + 1) / 2);
    for (int y = 0; y < height; y += 2) {
        const QRgb *upperRow = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        const QRgb *lowerRow = y + 1 < height
                ? reinterpret_cast<const QRgb *>(pixels.constScanLine(y + 1))
                : nullptr;
        for (int x = 0; x < width; ++x) {
            const bool upper = upperRow[x] == lit;
            const bool lower = lowerRow && lowerRow[x] == lit;
            art += upper && lower ? u'\u2588' : upper ? u'\u2580' : lower ? u'\u2584' : u' ';
        }
        art += u'\n';
    }
    return art;
}

// The name as alt text, unless it could break the Markdown around it.
QString altText(const QString &name)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return identifier.match(name).hasMatch() ? name : QStringLiteral("menu");
}

} // namespace

LspHover menuHoverAt(SourceReading &source, const LineMap &lines, qsizetype offset,
                     const ParameterStore &store, const QString &storePath, QTime clock)
{
    const QStringView text = source.text;
    const MenuPreview preview = previewMenu(
            source, offset,
            [&](const QString &name, const QStringList &texts, const QStringList &tags) {
                return store.load(storePath, name, texts, tags);
            },
            [&](qsizetype at) { return lines.position(at); });
    LspHover hover;
    switch (preview.outcome) {
    case MenuPreview::Outcome::NoMenu:
    case MenuPreview::Outcome::Unsettled:
        return hover;
    case MenuPreview::Outcome::StrayClosing:
    case MenuPreview::Outcome::CannotRead:
        hover.found = true;
        hover.begin = preview.begin;
        hover.end = qBound(preview.begin, qMax(preview.failureAt, offset), text.size());
        hover.plainText = QStringLiteral("No screen: ") + preview.failure;
        hover.markdown = hover.plainText;
        return hover;
    case MenuPreview::Outcome::Inside: // located only: never a preview's
    case MenuPreview::Outcome::Shown:
        break;
    }
    const MenuParse &parse = preview.block.parse;
    hover.found = true;
    hover.begin = preview.begin;
    // A title literal that runs on reaches to the end of the text, as the locator reads it.
    hover.end = parse.closingClose >= 0 ? parse.closingClose + 1 : text.size();
    const MenuDefinition &menu = preview.block.menu;
    const QImage screen = renderMenu(menu, clock, 1);
    const QString art = halfBlockArt(screen);
    const QByteArray png = pngBytes(screen, ImageMagnification);
    // What the screen cannot show as the firmware would, and why.
    TextMessageTexts texts = TextMessageTexts::english();
    texts.declareTextFunction = QStringLiteral("add \"%1\" to initializationOptions.textFunctions");
    QString notes;
    for (const TextFinding &finding :
         unreadableTexts(preview.block, source.facts, texts,
                         [&](qsizetype at) { return lines.position(at).line; }))
        notes += QStringLiteral("Line %1: %2\n")
                         .arg(lines.position(finding.begin).line)
                         .arg(finding.message);
    hover.plainText = art + notes;
    hover.markdown
            = (png.isEmpty()
                       ? QStringLiteral("```text\n%1```\n").arg(art)
                       : QStringLiteral("![%1](data:image/png;base64,%2)\n\n```text\n%3```\n")
                                 .arg(altText(menu.name), QString::fromLatin1(png.toBase64()), art))
            + (notes.isEmpty() ? QString() : u'\n' + notes);
    return hover;
}

} // namespace VelkoMenuView
