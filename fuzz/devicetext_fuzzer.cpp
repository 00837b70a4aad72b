// Fuzzes the device library's text operations with arbitrary bytes as text
// and as gfxPrint format, at arbitrary positions, in all 14 fonts and both
// paths. AddressSanitizer guards the 1,024 bytes of the frame buffer; the
// checks hold the paths to what they promise about each other.
//
// Input: font, settings, alignment, x and y (4 bytes each, of which only the
// low byte counts unless the alignment byte asks for all), a fill byte,
// eight int arguments, a code point, then the text.
#include "fuzzinput.h"

#include "devicegfx/gfx.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

using Screen = std::array<uint8_t, 1024>;

Screen screen()
{
    Screen s;
    std::memcpy(s.data(), gfxFrameBuffer, s.size());
    return s;
}

void restore(const Screen &s)
{
    std::memcpy(gfxFrameBuffer, s.data(), s.size());
}

// Fonts whose glyphs all fill one 8-pixel page at the cell width: the only
// ones for which the cell path and the general path must agree.
bool isCellFont(const DeviceFont *font)
{
    if (font->height != 8 || font->size % (font->width + GFX_GLYPH_HEADER) != 0)
        return false;
    for (uint32_t at = 0; at < font->size; at += font->width + GFX_GLYPH_HEADER) {
        if (font->glyphs[at + 2] != font->width)
            return false;
    }
    return true;
}

// The format with every directive that the eight int arguments cannot serve
// turned into "%%": a format that reads other arguments than it is given is
// undefined in C, not a finding.
std::string safeFormat(const std::string &text)
{
    std::string out;
    int used = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        size_t j = i + 1;
        while (j < text.size() && std::strchr("-+ #0", text[j]))
            ++j;
        size_t digits = 0;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9' && digits < 2)
            ++j, ++digits;
        if (j < text.size() && text[j] == '.') {
            ++j;
            digits = 0;
            while (j < text.size() && text[j] >= '0' && text[j] <= '9' && digits < 2)
                ++j, ++digits;
        }
        if (j < text.size() && std::strchr("diuxXoc", text[j]) && used < 8) {
            out.append(text, i, j + 1 - i);
            ++used;
            i = j;
        } else {
            out += "%%";
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 48)
        return 0;
    const DeviceFont *font = &gfxFonts[data[0] % GFX_FONT_COUNT];
    gfxOpaque = data[1] & 1;
    gfxInverse = data[1] & 2;
    gfxClipWhole = data[1] & 4;
    gfxAlign = data[1] >> 4;
    const int32_t align = data[2] & 15;
    int32_t x, y;
    if (data[2] & 0x80) { // anywhere, cell coordinates and the extremes included
        std::memcpy(&x, data + 3, 4);
        std::memcpy(&y, data + 7, 4);
    } else { // around the screen, where pixels land
        x = int32_t(int8_t(data[3])) * 2 + 64;
        y = int32_t(int8_t(data[7])) + 32;
    }
    int args[8];
    std::memcpy(args, data + 12, sizeof args);
    const std::string text(reinterpret_cast<const char *>(data + 48), size - 48);
    const char *cText = text.c_str(); // ends at the first zero byte, as in C
    std::memset(gfxFrameBuffer, data[11], sizeof gfxFrameBuffer);
    const Screen before = screen();

    // General path: returns the width it measures; drawing twice changes
    // nothing more, since every merge is idempotent and glyphs never overlap.
    const int32_t width = gfxDrawText(font, align, x, y, cText);
    FUZZ_CHECK(width == gfxRenderText(cText, 0, font, x, y));
    FUZZ_CHECK(width >= 0);
    const Screen once = screen();
    gfxDrawText(font, align, x, y, cText);
    FUZZ_CHECK(screen() == once);

    // Cell path: draws into its own page only, from its cell rightwards.
    restore(before);
    const int32_t col = int32_t(uint32_t(x) % 24);
    const int32_t row = int32_t(uint32_t(y) % 9); // row 8 lies off the screen
    const int32_t cells = gfxCellText(font, col, row, cText);
    const Screen cell = screen();
    for (int i = 0; i < 1024; ++i) {
        const bool inCells = i / GFX_WIDTH == row && uint32_t(i % GFX_WIDTH) >= col * font->width;
        FUZZ_CHECK(inCells || cell[i] == before[i]);
    }
    FUZZ_CHECK(cells == 0 || (font->height == 8 && cells % int32_t(font->width) == 0));
    FUZZ_CHECK(cells == 0 || int64_t(col) * font->width + cells <= GFX_WIDTH);

    // Both paths draw the same pixels where both apply in full.
    static const bool cellFonts[GFX_FONT_COUNT]
            = {isCellFont(&gfxFonts[0]),  isCellFont(&gfxFonts[1]),  isCellFont(&gfxFonts[2]),
               isCellFont(&gfxFonts[3]),  isCellFont(&gfxFonts[4]),  isCellFont(&gfxFonts[5]),
               isCellFont(&gfxFonts[6]),  isCellFont(&gfxFonts[7]),  isCellFont(&gfxFonts[8]),
               isCellFont(&gfxFonts[9]),  isCellFont(&gfxFonts[10]), isCellFont(&gfxFonts[11]),
               isCellFont(&gfxFonts[12]), isCellFont(&gfxFonts[13])};
    const int64_t measured = gfxRenderText(cText, 0, font, 0, 0);
    if (cellFonts[data[0] % GFX_FONT_COUNT] && gfxOpaque && row < GFX_PAGES
        && int64_t(col) * font->width + measured <= GFX_WIDTH) {
        FUZZ_CHECK(cells == measured);
        restore(before);
        gfxDrawText(font, GfxAlignStart | GfxAlignStart << 2, col * int32_t(font->width), row * 8,
                    cText);
        FUZZ_CHECK(screen() == cell);
    }

    // gfxPrint formats into 128 bytes, then draws as the text it made.
    const std::string format = safeFormat(text.substr(0, std::strlen(cText)));
    const DeviceFont *previous = gfxFont;
    gfxFont = font;
    restore(before);
    const int32_t printed = gfxPrint(col, row, format.c_str(), args[0], args[1], args[2], args[3],
                                     args[4], args[5], args[6], args[7]);
    const Screen viaFormat = screen();
    char expected[128];
    std::snprintf(expected, sizeof expected, format.c_str(), args[0], args[1], args[2], args[3],
                  args[4], args[5], args[6], args[7]);
    restore(before);
    FUZZ_CHECK(gfxPrint(col, row, "%s", expected) == printed);
    FUZZ_CHECK(screen() == viaFormat);
    gfxFont = previous;

    // A single glyph, anywhere: its width or nothing.
    uint32_t codePoint = 0;
    std::memcpy(&codePoint, data + 44, 4);
    const int32_t glyph = gfxDrawGlyph(font, x, y, codePoint % 0x10100);
    FUZZ_CHECK(glyph >= 0 && glyph <= 255);
    return 0;
}
