// Internal: draws an already found glyph record through the general path.
#pragma once

#include "devicegfx/font.h"

#include <cstdint>

// Returns the glyph's width, drawn or not (0 for a zero-width glyph).
// Coordinates are wide so that callers advancing along a line never overflow.
int32_t gfxPlaceGlyph(const DeviceFont *font, const uint8_t *record, int64_t x, int64_t y);
