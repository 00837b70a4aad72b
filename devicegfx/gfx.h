// The device graphics library: a 128 x 64 one-bit screen drawn by free
// functions over process-wide state, exactly as the device firmware does.
#pragma once

#include "devicegfx/buffer.h"
#include "devicegfx/lines.h"
#include "devicegfx/box.h"
#include "devicegfx/font.h"
#include "devicegfx/text.h"
