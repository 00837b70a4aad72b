// UTF-8 decoding as the device does it: up to three bytes, malformed bytes skipped.
#pragma once

#include <cstdint>

// Decodes the character at *text and moves *text past it. Malformed input (a
// stray continuation byte, a four-byte lead or above, a sequence cut short)
// is skipped together with the continuation bytes that follow it. Overlong
// forms are accepted. Returns false at the terminating zero; never reads
// past it.
bool gfxDecodeUtf8(const char **text, uint32_t *codePoint);
