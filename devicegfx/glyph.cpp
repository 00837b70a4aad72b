// General glyph path: any font, any pixel position, clipped band by band.
#include "devicegfx/glyph.h"

#include "devicegfx/buffer.h"
#include "devicegfx/text.h"

// Merges the pixels of mask; value holds the glyph's pixels (already inverted
// when drawing inverse) and never has bits outside mask.
static void merge(uint8_t &byte, uint8_t value, uint8_t mask)
{
    if (gfxOpaque)
        byte = uint8_t((byte & ~mask) | value);
    else if (!gfxInverse)
        byte |= value;
    else
        byte &= uint8_t(~(mask & ~value));
}

int32_t gfxPlaceGlyph(const DeviceFont *font, const uint8_t *record, int64_t x, int64_t y)
{
    const int64_t w = record[2];
    const int64_t h = font->height;
    if (x >= GFX_WIDTH || y >= GFX_HEIGHT)
        return int32_t(w);
    if (gfxClipWhole && (x < 0 || x + w > GFX_WIDTH || y < 0 || y + h > GFX_HEIGHT))
        return int32_t(w);
    if (w == 0)
        return 0;

    const int64_t bpc = gfxBytesPerColumn(font);
    const uint8_t lastBandMask = uint8_t(0xFF >> (8 * bpc - h));
    const uint8_t *columns = record + GFX_GLYPH_HEADER;
    const int64_t firstColumn = x < 0 ? -x : 0;
    const int64_t firstBand = y < -7 ? (-y) / 8 : 0;
    for (int64_t l = firstColumn; l < w && x + l < GFX_WIDTH; ++l) {
        const int64_t sx = x + l;
        for (int64_t i = firstBand; i < bpc; ++i) {
            const int64_t yb = y + 8 * i;
            if (yb < -7)
                continue;
            if (yb >= GFX_HEIGHT)
                break;
            const uint8_t mask = i == bpc - 1 ? lastBandMask : 0xFF;
            uint8_t value = columns[l * bpc + i];
            if (gfxInverse)
                value = uint8_t(~value);
            value &= mask;
            if (yb < 0) {
                const int up = int(-yb);
                merge(gfxFrameBuffer[sx], uint8_t(value >> up), uint8_t(mask >> up));
                continue;
            }
            const int64_t page = yb / 8;
            const int off = int(yb % 8);
            merge(gfxFrameBuffer[GFX_WIDTH * page + sx], uint8_t(value << off), uint8_t(mask << off));
            if (off && page + 1 < GFX_PAGES)
                merge(gfxFrameBuffer[GFX_WIDTH * (page + 1) + sx], uint8_t(value >> (8 - off)),
                      uint8_t(mask >> (8 - off)));
        }
    }
    return int32_t(w);
}
