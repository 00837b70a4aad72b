// gfxPrint: printf into a fixed buffer, then the cell path or the general path.
#include "devicegfx/text.h"

#include "devicegfx/buffer.h"

#include <cstdarg>
#include <cstdio>

int32_t gfxPrint(int32_t col, int32_t row, const char *format, ...)
{
    if (!format || !gfxFont)
        return 0;
    char buffer[128];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0)
        buffer[0] = '\0';
    buffer[sizeof buffer - 1] = '\0';

    const DeviceFont *font = gfxFont;
    if (font->height == 8 && col >= 0 && (int64_t(col) + 1) * font->width <= GFX_WIDTH && row >= 0
        && row < GFX_PAGES)
        return gfxCellText(font, col, row, buffer);
    // Setting the cell bit leaves a small negative value unchanged: it then
    // arrives as a pixel position.
    return gfxDrawText(font, gfxAlign, col | GFX_CELL, row | GFX_CELL, buffer);
}
