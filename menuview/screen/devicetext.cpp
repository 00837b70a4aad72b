// Cells and missing glyphs, asked of the device library itself: its UTF-8
// decoder (which skips four-byte sequences) and the menu font's glyph table.
#include "menuview/screen/devicetext.h"

#include "devicegfx/gfx.h"
#include "devicegfx/utf8.h"
#include "menuview/analysis/devicescreen.h"

namespace VelkoMenuView {

int deviceCells(const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    const char *p = bytes.constData();
    uint32_t codePoint = 0;
    int cells = 0;
    while (gfxDecodeUtf8(&p, &codePoint)) {
        if (gfxFindCellGlyph(&gfxFonts[DeviceScreen::MenuFont], codePoint))
            ++cells;
    }
    return cells;
}

QList<char32_t> missingGlyphs(const QString &line)
{
    QList<char32_t> missing;
    for (const char32_t c : line.toUcs4()) {
        const bool found
                = c <= 0xFFFF && gfxFindCellGlyph(&gfxFonts[DeviceScreen::MenuFont], c) != nullptr;
        if (!found && !missing.contains(c))
            missing.append(c);
    }
    return missing;
}

} // namespace VelkoMenuView
