// Horizontal lines touch one byte per column, vertical lines one byte per page.
#include "devicegfx/lines.h"

#include "devicegfx/buffer.h"

#include <algorithm>

static uint8_t rotateRight(uint8_t v, unsigned n)
{
    n &= 7;
    return n ? uint8_t((v >> n) | (v << (8 - n))) : v;
}

static uint8_t rotateLeft(uint8_t v, unsigned n)
{
    return rotateRight(v, 8 - (n & 7));
}

void gfxHLine(int32_t x1, int32_t x2, int32_t y, int32_t mode, uint8_t pattern)
{
    const int64_t xa = std::min(x1, x2);
    const int64_t xb = std::max(x1, x2);
    if (y < 0 || y >= GFX_HEIGHT || xb < 0 || xa >= GFX_WIDTH)
        return;
    int64_t start = xa;
    if (xa < 0) {
        pattern = rotateRight(pattern, unsigned((-xa) % 8));
        start = 0;
    }
    const int64_t last = std::min<int64_t>(xb, GFX_WIDTH - 1);
    const unsigned rowBit = unsigned(y % 8);
    uint8_t *byte = gfxFrameBuffer + GFX_WIDTH * (y / 8) + start;
    for (int64_t x = start; x <= last; ++x, ++byte) {
        gfxApplyMode(*byte, uint8_t((pattern & 1u) << rowBit), mode);
        pattern = rotateRight(pattern, 1);
    }
}

void gfxVLine(int32_t x, int32_t y1, int32_t y2, int32_t mode, uint8_t pattern)
{
    if (x < 0 || x >= GFX_WIDTH)
        return;
    const int64_t ya = std::min(y1, y2);
    const int64_t yb = std::max(y1, y2);
    if (yb < 0 || ya >= GFX_HEIGHT)
        return;
    int64_t start = ya;
    if (ya < 0) {
        pattern = rotateRight(pattern, unsigned((-ya) % 8));
        start = 0;
    }
    const int64_t last = std::min<int64_t>(yb, GFX_HEIGHT - 1);
    const unsigned s = unsigned(start % 8);
    const unsigned e = unsigned(last % 8);
    const uint8_t firstMask = uint8_t(pattern << s);
    const uint8_t middleMask = rotateLeft(pattern, s);
    const uint8_t lastMask = uint8_t(middleMask & ((2u << e) - 1));
    const int64_t firstPage = start / 8;
    const int64_t lastPage = last / 8;
    for (int64_t page = firstPage; page <= lastPage; ++page) {
        uint8_t mask = middleMask;
        if (page == firstPage && page == lastPage)
            mask = firstMask & lastMask;
        else if (page == firstPage)
            mask = firstMask;
        else if (page == lastPage)
            mask = lastMask;
        gfxApplyMode(gfxFrameBuffer[GFX_WIDTH * page + x], mask, mode);
    }
}
