// Text settings, the fast cell path and the general text path.
#include "devicegfx/text.h"

#include "devicegfx/buffer.h"
#include "devicegfx/glyph.h"
#include "devicegfx/utf8.h"

#include <limits>

bool gfxOpaque = true;
bool gfxInverse = false;
bool gfxClipWhole = false;
int32_t gfxAlign = 0;

static bool drawable(const DeviceFont *font, const char *text)
{
    return font && font->glyphs && font->width && font->height && text;
}

static int32_t saturate(int64_t v)
{
    return v > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max() : int32_t(v);
}

int32_t gfxCellText(const DeviceFont *font, int32_t col, int32_t row, const char *text)
{
    // The caller is meant to have checked these; a bad cell must still never
    // write outside the frame buffer.
    if (!drawable(font, text) || font->height != 8 || col < 0 || row < 0 || row >= GFX_PAGES
        || (int64_t(col) + 1) * font->width > GFX_WIDTH)
        return 0;
    const uint32_t width = font->width;
    const uint8_t flip = gfxInverse ? 0xFF : 0x00;
    int32_t total = 0;
    uint32_t codePoint;
    while (gfxDecodeUtf8(&text, &codePoint)) {
        if (const uint8_t *record = gfxFindCellGlyph(font, codePoint)) {
            uint8_t *cell = gfxFrameBuffer + GFX_WIDTH * row + col * width;
            for (uint32_t j = 0; j < width; ++j)
                cell[j] = record[GFX_GLYPH_HEADER + j] ^ flip;
            ++col;
            total += int32_t(width);
        }
        if ((int64_t(col) + 1) * width > GFX_WIDTH)
            break;
    }
    return total;
}

static int64_t renderText(const char *text, bool draw, const DeviceFont *font, int64_t x, int64_t y)
{
    int64_t total = 0;
    uint32_t codePoint;
    while (gfxDecodeUtf8(&text, &codePoint)) {
        const uint8_t *record = gfxFindGlyph(font, codePoint);
        if (!record)
            continue;
        total += record[2];
        if (draw)
            x += gfxPlaceGlyph(font, record, x, y);
    }
    return total;
}

int32_t gfxRenderText(const char *text, int32_t draw, const DeviceFont *font, int32_t x, int32_t y)
{
    if (!drawable(font, text))
        return 0;
    return saturate(renderText(text, draw == 1, font, x, y));
}

static int64_t fromCell(int32_t v, uint32_t cellSize)
{
    return v > 0 && (v & GFX_CELL) ? int64_t(v & 0xFFFF) * cellSize : v;
}

int32_t gfxDrawText(const DeviceFont *font, int32_t align, int32_t x, int32_t y, const char *text)
{
    if (!drawable(font, text))
        return 0;
    int64_t px = fromCell(x, font->width);
    int64_t py = fromCell(y, font->height);

    int32_t h = align & 3;
    if (h == GfxAlignDefault)
        h = gfxAlign & 3;
    if (h == GfxAlignEnd || h == GfxAlignCentre) {
        const int64_t width = renderText(text, false, font, 0, 0);
        px -= h == GfxAlignEnd ? width : width / 2;
    }
    int32_t v = (align >> 2) & 3;
    if (v == GfxAlignDefault)
        v = (gfxAlign >> 2) & 3;
    if (v == GfxAlignEnd)
        py -= font->height;
    else if (v == GfxAlignCentre)
        py -= font->height / 2;

    return saturate(renderText(text, true, font, px, py));
}

int32_t gfxDrawGlyph(const DeviceFont *font, int32_t x, int32_t y, uint32_t codePoint)
{
    const uint8_t *record = gfxFindGlyph(font, codePoint);
    return record ? gfxPlaceGlyph(font, record, x, y) : 0;
}
