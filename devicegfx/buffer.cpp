// The process-wide frame buffer.
#include "devicegfx/buffer.h"

#include <cstring>

uint8_t gfxFrameBuffer[1024];

void gfxClear()
{
    std::memset(gfxFrameBuffer, 0, sizeof gfxFrameBuffer);
}
