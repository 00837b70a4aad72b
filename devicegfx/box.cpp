// Boxes: top and bottom rows as horizontal lines, the rows between column by column.
#include "devicegfx/box.h"

#include "devicegfx/buffer.h"
#include "devicegfx/lines.h"

#include <algorithm>

void gfxBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t mode)
{
    const int32_t xa = std::min(x1, x2);
    const int32_t xb = std::max(x1, x2);
    const int32_t step = y1 < y2 ? 1 : -1;
    if (xa == xb) {
        gfxVLine(xa, y1, y2, mode, 0xFF);
        return;
    }
    gfxHLine(xa, xb, y1, mode, 0xFF);
    if (y1 == y2)
        return;
    gfxHLine(xa, xb, y2, mode, 0xFF);
    if (int64_t(y2) - y1 > 1 || int64_t(y1) - y2 > 1) {
        // Columns off the screen would draw nothing; skipping them keeps a
        // huge box as cheap as a screen-sized one.
        const int32_t first = std::max(xa, 0);
        const int32_t last = std::min(xb, GFX_WIDTH - 1);
        for (int32_t x = first; x <= last; ++x)
            gfxVLine(x, y1 + step, y2 - step, mode, 0xFF);
    }
}
