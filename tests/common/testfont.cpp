// Synthetic fonts and the per-pixel glyph model.
#include "testfont.h"

#include "devicegfx/text.h"

#include <QRandomGenerator>

TestFont::TestFont(uint32_t cellWidth, uint32_t height, const QList<TestGlyph> &glyphs, bool spareBits)
    : m_glyphs(glyphs)
{
    const uint32_t bpc = (height - 1) / 8 + 1;
    for (const TestGlyph &g : glyphs) {
        const int w = g.rows.isEmpty() ? 0 : int(g.rows.first().size());
        m_data.push_back(uint8_t(g.codePoint >> 8));
        m_data.push_back(uint8_t(g.codePoint));
        m_data.push_back(uint8_t(w));
        for (int c = 0; c < w; ++c) {
            for (uint32_t band = 0; band < bpc; ++band) {
                uint8_t b = 0;
                for (uint32_t bit = 0; bit < 8; ++bit) {
                    const uint32_t row = band * 8 + bit;
                    if (row < height ? g.rows[row][c] == QLatin1Char('#') : spareBits)
                        b |= uint8_t(1u << bit);
                }
                m_data.push_back(b);
            }
        }
    }
    m_font = DeviceFont{cellWidth, height, uint32_t(m_data.size()), m_data.data()};
}

QList<TestGlyph> TestFont::noiseGlyphs(uint32_t cellWidth, uint32_t height, int count, quint32 seed)
{
    QRandomGenerator rng(seed);
    QList<TestGlyph> glyphs;
    for (int i = 0; i < count; ++i) {
        const uint32_t w = i == 1 ? 0 : i == 0 ? cellWidth : 1 + rng.bounded(cellWidth);
        TestGlyph g{uint32_t('A' + i), {}};
        for (uint32_t r = 0; r < height && w; ++r) {
            QString row;
            for (uint32_t c = 0; c < w; ++c)
                row += rng.bounded(2) ? QLatin1Char('#') : QLatin1Char('.');
            g.rows << row;
        }
        glyphs << g;
    }
    return glyphs;
}

void modelGlyph(uint8_t *buffer, const TestGlyph &glyph, uint32_t height, int64_t x, int64_t y)
{
    const int64_t w = glyph.rows.isEmpty() ? 0 : glyph.rows.first().size();
    if (gfxClipWhole && (x < 0 || x + w > 128 || y < 0 || y + height > 64))
        return;
    for (int64_t r = 0; r < int64_t(height) && w; ++r) {
        for (int64_t c = 0; c < w; ++c) {
            const int64_t sx = x + c, sy = y + r;
            if (sx < 0 || sx > 127 || sy < 0 || sy > 63)
                continue;
            bool pixel = glyph.rows[r][c] == QLatin1Char('#');
            if (gfxInverse)
                pixel = !pixel;
            uint8_t &byte = buffer[128 * (sy / 8) + sx];
            const uint8_t bit = uint8_t(1u << (sy % 8));
            if (gfxOpaque)
                byte = pixel ? (byte | bit) : (byte & ~bit);
            else if (!gfxInverse && pixel)
                byte |= bit;
            else if (gfxInverse && !pixel)
                byte &= uint8_t(~bit);
        }
    }
}
