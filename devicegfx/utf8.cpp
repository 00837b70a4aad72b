// UTF-8 decoder shared by both text paths.
#include "devicegfx/utf8.h"

static bool isContinuation(uint8_t b)
{
    return (b & 0xC0) == 0x80;
}

bool gfxDecodeUtf8(const char **text, uint32_t *codePoint)
{
    auto p = reinterpret_cast<const uint8_t *>(*text);
    for (;;) {
        const uint8_t b0 = p[0];
        if (b0 == 0) {
            *text = reinterpret_cast<const char *>(p);
            return false;
        }
        if (b0 < 0x80) {
            *codePoint = b0;
            p += 1;
            break;
        }
        // Short-circuit order matters: a zero ends the test before the next byte is read.
        if ((b0 & 0xE0) == 0xC0 && isContinuation(p[1])) {
            *codePoint = uint32_t(b0 & 0x1F) << 6 | (p[1] & 0x3F);
            p += 2;
            break;
        }
        if ((b0 & 0xF0) == 0xE0 && isContinuation(p[1]) && isContinuation(p[2])) {
            *codePoint = uint32_t(b0 & 0x0F) << 12 | uint32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
            p += 3;
            break;
        }
        ++p;
        while (isContinuation(*p))
            ++p;
    }
    *text = reinterpret_cast<const char *>(p);
    return true;
}
