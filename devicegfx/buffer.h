// Frame buffer of the 128 x 64 screen and the pixel operations of the primitives.
//
// 8 pages of 8 pixel rows; byte 128 * page + x holds column x of the page,
// bit 0 being the page's top row:
//
//        x=0   x=1        x=127
//   p0  [b0 ] [b1 ] ...  [b127]   rows 0..7
//   p1  [b128] ...                rows 8..15
//   ...
//   p7  [b896] ...       [b1023]  rows 56..63
#pragma once

#include <cstdint>

enum DrawMode : int32_t { DrawSet = 1, DrawClear = 2, DrawInvert = 3 };

constexpr int32_t GFX_WIDTH = 128;
constexpr int32_t GFX_HEIGHT = 64;
constexpr int32_t GFX_PAGES = GFX_HEIGHT / 8;

extern uint8_t gfxFrameBuffer[1024];

void gfxClear();

// Applies mode to the bits of mask in byte; any other mode leaves it alone.
inline void gfxApplyMode(uint8_t &byte, uint8_t mask, int32_t mode)
{
    switch (mode) {
    case DrawSet: byte |= mask; break;
    case DrawClear: byte &= uint8_t(~mask); break;
    case DrawInvert: byte ^= mask; break;
    default: break;
    }
}
