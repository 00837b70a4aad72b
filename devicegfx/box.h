// Filled boxes.
#pragma once

#include <cstdint>

// Solid rectangle between two opposite corners, borders included. Every pixel
// is operated on exactly once, so DrawInvert inverts the box once.
void gfxBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t mode);
