// Cells and missing glyphs, asked of the device library itself: its UTF-8
// decoder (which skips four-byte sequences) and font 3's glyph table.
#include "devicecells.h"

#include "devicegfx/gfx.h"
#include "devicegfx/utf8.h"

namespace {

const DeviceFont *menuFont()
{
    return &gfxFonts[3];
}

bool hasGlyph(char32_t c)
{
    return c <= 0xFFFF && gfxFindCellGlyph(menuFont(), c) != nullptr;
}

} // namespace

int deviceCells(const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    const char *p = bytes.constData();
    uint32_t codePoint = 0;
    int cells = 0;
    while (gfxDecodeUtf8(&p, &codePoint)) {
        if (gfxFindCellGlyph(menuFont(), codePoint))
            ++cells;
    }
    return cells;
}

QList<char32_t> missingGlyphs(const QString &line)
{
    QList<char32_t> missing;
    for (const char32_t c : line.toUcs4()) {
        if (!hasGlyph(c) && !missing.contains(c))
            missing.append(c);
    }
    return missing;
}

QString describeCharacter(char32_t c)
{
    const QString code = QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
    if (!QChar::isPrint(c))
        return code;
    return QStringLiteral("%1 '%2'").arg(code, QString::fromUcs4(&c, 1));
}
