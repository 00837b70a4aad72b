// Synthetic fonts of any height for exercising the general glyph path, and a
// per-pixel model of how a glyph lands on the screen.
#pragma once

#include "devicegfx/font.h"

#include <QList>
#include <QStringList>

#include <vector>

struct TestGlyph
{
    uint32_t codePoint;
    QStringList rows; // '#' lit, anything else unlit; all rows as wide as the glyph
};

class TestFont
{
public:
    // spareBits: set the unused high bits of each column's last band, which
    // must never show on the screen.
    TestFont(uint32_t cellWidth, uint32_t height, const QList<TestGlyph> &glyphs, bool spareBits = false);

    const DeviceFont *font() const { return &m_font; }
    const QList<TestGlyph> &glyphs() const { return m_glyphs; }

    // Pseudo-random glyphs of widths 1..cellWidth (and one of width 0),
    // code points 'A' upwards.
    static QList<TestGlyph> noiseGlyphs(uint32_t cellWidth, uint32_t height, int count, quint32 seed);

private:
    std::vector<uint8_t> m_data;
    DeviceFont m_font;
    QList<TestGlyph> m_glyphs;
};

// Where the glyph's pixels land under the current text settings, pixel by pixel.
void modelGlyph(uint8_t *buffer, const TestGlyph &glyph, uint32_t height, int64_t x, int64_t y);
