// The font table. Glyph data is generated from the art in fonts/ at build time.
#include "devicegfx/font.h"

#include "font03data.h"

const DeviceFont gfxFonts[GFX_FONT_COUNT] = {
    {4, 6, 0, nullptr},
    {6, 6, 0, nullptr},
    {6, 6, 0, nullptr},
    {font03Width, font03Height, sizeof font03Glyphs, font03Glyphs},
    {6, 8, 0, nullptr},
    {8, 8, 0, nullptr},
    {8, 11, 0, nullptr},
    {8, 14, 0, nullptr},
    {10, 6, 0, nullptr},
    {10, 10, 0, nullptr},
    {11, 9, 0, nullptr},
    {11, 11, 0, nullptr},
    {11, 20, 0, nullptr},
    {18, 30, 0, nullptr},
};

const DeviceFont *gfxFont = &gfxFonts[3];
