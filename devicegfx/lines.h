// Horizontal and vertical patterned lines.
#pragma once

#include <cstdint>

// Both ends are included and may come in either order. Pixel d steps from the
// smaller end takes pattern bit d mod 8, counted before clipping, so a
// clipped line keeps its phase. Off-screen pixels are dropped.
void gfxHLine(int32_t x1, int32_t x2, int32_t y, int32_t mode, uint8_t pattern);
void gfxVLine(int32_t x, int32_t y1, int32_t y2, int32_t mode, uint8_t pattern);
