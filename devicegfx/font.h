// Device fonts: the table of fourteen bitmap fonts and the two glyph lookups.
//
// Glyph data is a plain sequence of records, ascending by code point:
//
//   offset  length     content
//   0       1          code point, high byte
//   1       1          code point, low byte
//   2       1          glyph width w in columns
//   3       w * bpc    columns left to right; each column bpc bytes, top band
//                      first; bit 0 of a band is its top row
//
// bpc = (height - 1) / 8 + 1. In a column's last band only the low
// height - 8 * (bpc - 1) bits are pixels; the spare bits stay 0.
//
// A 6 x 8 cell (bit 0 on top, baseline above the descender row):
//
//   row 0  . # # # # .    <- cap height
//   ...
//   row 6  . # . . . #    <- baseline
//   row 7  . . . . . .    <- descenders only
//          ^ blank first column spaces the glyphs
#pragma once

#include <cstdint>

struct DeviceFont
{
    uint32_t width;
    uint32_t height;
    uint32_t size;
    const uint8_t *glyphs;
};

extern const DeviceFont gfxFonts[14];
extern const DeviceFont *gfxFont; // &gfxFonts[3]

constexpr int GFX_FONT_COUNT = 14;
constexpr int GFX_GLYPH_HEADER = 3;

// Bytes per glyph column; 0 for a font without rows.
inline uint32_t gfxBytesPerColumn(const DeviceFont *font)
{
    return font->height ? (font->height - 1) / 8 + 1 : 0;
}

// Both return a pointer to the glyph record (its 3-byte header) or nullptr.
// The scanning lookup walks every record and suits any font; the indexed one
// halves over fixed-stride records and suits only one-byte-per-column fonts
// whose glyphs all have the cell width.
const uint8_t *gfxFindGlyph(const DeviceFont *font, uint32_t codePoint);
const uint8_t *gfxFindCellGlyph(const DeviceFont *font, uint32_t codePoint);
