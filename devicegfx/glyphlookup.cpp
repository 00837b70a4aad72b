// Glyph lookups by code point. Codes are 16 bits: nothing above U+FFFF exists.
#include "devicegfx/font.h"

static bool usable(const DeviceFont *font)
{
    return font && font->glyphs && font->width && font->height;
}

const uint8_t *gfxFindGlyph(const DeviceFont *font, uint32_t codePoint)
{
    if (!usable(font) || codePoint > 0xFFFF || font->size <= 2)
        return nullptr;
    const uint8_t high = uint8_t(codePoint >> 8);
    const uint8_t low = uint8_t(codePoint);
    const uint64_t bpc = gfxBytesPerColumn(font);
    uint64_t offset = 0;
    while (offset + 2 < font->size) {
        const uint8_t *record = font->glyphs + offset;
        const uint64_t next = offset + GFX_GLYPH_HEADER + record[2] * bpc;
        if (record[0] == high && record[1] == low)
            return next <= font->size ? record : nullptr; // never hand out a cut record
        offset = next;
    }
    return nullptr;
}

const uint8_t *gfxFindCellGlyph(const DeviceFont *font, uint32_t codePoint)
{
    if (!usable(font) || codePoint > 0xFFFF)
        return nullptr;
    const uint64_t stride = uint64_t(font->width) + GFX_GLYPH_HEADER;
    const int64_t count = int64_t(font->size / stride);
    int64_t index = count / 2;
    int64_t step = count / 2;
    enum { None, Down, Up } direction = None;
    for (;;) {
        if (index < 0 || index >= count)
            return nullptr;
        const uint8_t *record = font->glyphs + index * stride;
        const uint32_t key = uint32_t(record[0]) << 8 | record[1];
        if (codePoint == key)
            return record;
        if (step > 1)
            step /= 2;
        else if (step == 0)
            return nullptr;
        if (codePoint < key) {
            if (step == 1 && direction == Up)
                return nullptr;
            if (step == 1)
                direction = Down;
            index -= step;
        } else {
            if (step == 1 && direction == Down)
                return nullptr;
            if (step == 1)
                direction = Up;
            index += step;
        }
    }
}
