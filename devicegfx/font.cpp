// The font table. Glyph data is generated from the art in fonts/ at build time.
#include "devicegfx/font.h"

#include "font00data.h"
#include "font01data.h"
#include "font02data.h"
#include "font03data.h"
#include "font04data.h"
#include "font05data.h"
#include "font06data.h"
#include "font07data.h"
#include "font08data.h"
#include "font09data.h"
#include "font10data.h"
#include "font11data.h"
#include "font12data.h"
#include "font13data.h"

const DeviceFont gfxFonts[GFX_FONT_COUNT] = {
    {font00Width, font00Height, sizeof font00Glyphs, font00Glyphs},
    {font01Width, font01Height, sizeof font01Glyphs, font01Glyphs},
    {font02Width, font02Height, sizeof font02Glyphs, font02Glyphs},
    {font03Width, font03Height, sizeof font03Glyphs, font03Glyphs},
    {font04Width, font04Height, sizeof font04Glyphs, font04Glyphs},
    {font05Width, font05Height, sizeof font05Glyphs, font05Glyphs},
    {font06Width, font06Height, sizeof font06Glyphs, font06Glyphs},
    {font07Width, font07Height, sizeof font07Glyphs, font07Glyphs},
    {font08Width, font08Height, sizeof font08Glyphs, font08Glyphs},
    {font09Width, font09Height, sizeof font09Glyphs, font09Glyphs},
    {font10Width, font10Height, sizeof font10Glyphs, font10Glyphs},
    {font11Width, font11Height, sizeof font11Glyphs, font11Glyphs},
    {font12Width, font12Height, sizeof font12Glyphs, font12Glyphs},
    {font13Width, font13Height, sizeof font13Glyphs, font13Glyphs},
};

const DeviceFont *gfxFont = &gfxFonts[3];
