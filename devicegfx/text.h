// Text operations: UTF-8 strings into the frame buffer with the device fonts.
//
// Two paths: the fast cell path copies whole glyph columns of an 8-pixel-high
// monospaced font into one page; the general path draws any font at any
// pixel position with clipping and alignment. gfxPrint formats and picks one.
#pragma once

#include "devicegfx/font.h"

#include <cstdint>

// A coordinate that is positive and has this bit set is a cell index (low 16 bits).
constexpr int32_t GFX_CELL = 0x40000000;

// Alignment codes, two bits each: horizontal in bits 0-1, vertical in bits 2-3.
enum GfxAlign : int32_t {
    GfxAlignDefault = 0, // take the field from gfxAlign
    GfxAlignStart = 1,   // left / top edge
    GfxAlignEnd = 2,     // right / bottom edge
    GfxAlignCentre = 3,
};

extern bool gfxOpaque, gfxInverse, gfxClipWhole;
extern int32_t gfxAlign;

#if defined(__GNUC__)
#define GFX_PRINTF_FORMAT __attribute__((format(printf, 3, 4)))
#else
#define GFX_PRINTF_FORMAT
#endif

// printf into a 128-byte buffer (127 bytes of text survive) drawn with gfxFont
// at cell (col, row): the cell path when it applies, else the general path.
int32_t gfxPrint(int32_t col, int32_t row, const char *format, ...) GFX_PRINTF_FORMAT;

// Fast cell path; draws nothing unless font is 8 pixels high and the cell is
// on the screen. Stops before a cell that would cross the right edge.
int32_t gfxCellText(const DeviceFont *font, int32_t col, int32_t row, const char *text);

// General path with alignment; x and y are pixels, or cells with GFX_CELL.
int32_t gfxDrawText(const DeviceFont *font, int32_t align, int32_t x, int32_t y, const char *text);

// Draws (draw == 1) or only measures; returns the width of the glyphs found.
int32_t gfxRenderText(const char *text, int32_t draw, const DeviceFont *font, int32_t x, int32_t y);

// One glyph with its top-left pixel at (x, y); returns its width, 0 if missing.
int32_t gfxDrawGlyph(const DeviceFont *font, int32_t x, int32_t y, uint32_t codePoint);
