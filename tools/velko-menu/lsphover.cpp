// Hover screens, parsed and drawn as the pane does it for the same text.
#include "lsphover.h"

#include "menuview/analysis/itemformat.h"
#include "menuview/analysis/menublocks.h"
#include "menuview/analysis/menulocator.h"
#include "menuview/analysis/parsemessages.h"
#include "menuview/params/parameterstore.h"
#include "menuview/screen/menurenderer.h"

#include <QBuffer>
#include <QRegularExpression>

using namespace VelkoMenuView;

namespace {

constexpr int ImageMagnification = 2;

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    // A picture that could not be encoded is left out, never sent broken.
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return QByteArray();
    return bytes;
}

// The name as alt text, unless it could break the Markdown around it.
QString altText(const QString &name)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return identifier.match(name).hasMatch() ? name : QStringLiteral("menu");
}

} // namespace

LspHover menuHoverAt(QStringView text, const LineMap &lines, qsizetype offset,
                     const ParameterStore &store, const QString &storePath, QTime clock,
                     const SourceContext &context)
{
    LspHover hover;
    SourceText source(text, context);
    const MenuLocation location = locateMenuAt(source, offset);
    if (location.outcome == MenuLocation::Outcome::StrayClosing) {
        hover.found = true;
        hover.begin = location.start;
        hover.end = qBound(location.start, offset, text.size());
        hover.plainText
                = QStringLiteral("No screen: ") + strayClosingMessage(source, location.start);
        hover.markdown = hover.plainText;
        return hover;
    }
    if (location.outcome != MenuLocation::Outcome::Inside)
        return hover;

    const MenuBlock block = parseLocatedBlock(source, location);
    hover.found = true;
    hover.begin = block.start;
    if (!block.parsed) {
        hover.end = qBound(block.start, qMax(block.parse.errorOffset, offset), text.size());
        hover.plainText = QStringLiteral("No screen: ")
                + parseErrorMessage(text, lines.position(block.start), block);
        hover.markdown = hover.plainText;
        return hover;
    }
    // A title literal that runs on reaches to the end of the text, as the locator reads it.
    hover.end = block.parse.closingClose >= 0 ? block.parse.closingClose + 1 : text.size();

    MenuDefinition menu = block.menu;
    menu.paramValues = store.load(storePath, menu.name, menu.itemTexts);
    formatItems(menu);
    hover.screen = renderMenu(menu, clock, 1);
    const QString art = halfBlockArt(hover.screen);
    const QByteArray png = pngBytes(renderMenu(menu, clock, ImageMagnification));
    hover.plainText = art;
    hover.markdown = png.isEmpty()
            ? QStringLiteral("```text\n%1```\n").arg(art)
            : QStringLiteral("![%1](data:image/png;base64,%2)\n\n```text\n%3```\n")
                      .arg(altText(menu.name), QString::fromLatin1(png.toBase64()), art);
    return hover;
}

QString halfBlockArt(const QImage &screen)
{
    const QRgb lit = ScreenColors().lit.rgb();
    const auto isLit
            = [&](int x, int y) { return y < screen.height() && screen.pixel(x, y) == lit; };
    QString art;
    art.reserve((screen.width() + 1) * (screen.height() + 1) / 2);
    for (int y = 0; y < screen.height(); y += 2) {
        for (int x = 0; x < screen.width(); ++x) {
            const bool upper = isLit(x, y);
            const bool lower = isLit(x, y + 1);
            art += upper && lower ? u'\u2588' : upper ? u'\u2580' : lower ? u'\u2584' : u' ';
        }
        art += u'\n';
    }
    return art;
}
