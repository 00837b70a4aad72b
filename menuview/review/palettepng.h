// PNG files of few colours, written straight from device pixels: a palette
// of up to 16 colours packed 1, 2 or 4 bits a pixel, compressed by zlib.
// A gallery writes a thousand of them; this takes a fraction of the time of
// a general image writer with 8 or 32 bits a pixel.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRgb>

#include <cstring>

namespace VelkoMenuView {

class PalettePng
{
public:
    explicit PalettePng(const QList<QRgb> &palette); // up to 16 opaque colours

    // The PNG of `image` magnified `scale` times; every colour of it must be
    // in the palette (others take the first colour). On picture row
    // `markRow`, `mark(x, index)` may give a pixel another palette index.
    template<typename Mark>
    QByteArray encode(const QImage &image, int scale, int markRow, Mark mark) const;
    QByteArray encode(const QImage &image, int scale) const
    {
        return encode(image, scale, -1, [](int, int index) { return index; });
    }

private:
    int indexOf(QRgb colour) const;
    QByteArray finish(int width, int height, const QByteArray &rows) const;

    QList<QRgb> m_palette;
    int m_bits = 1;
};

template<typename Mark>
QByteArray PalettePng::encode(const QImage &image, int scale, int markRow, Mark mark) const
{
    const int columns = image.width();
    const int width = columns * scale;
    const int height = image.height() * scale;
    const int stride = 1 + (width * m_bits + 7) / 8; // a filter byte, then the packed row
    QByteArray rows(qsizetype(stride) * height, '\0');
    auto *bytes = reinterpret_cast<uchar *>(rows.data());
    const int perByte = 8 / m_bits;
    QList<int> indexes(columns);
    const auto pack = [&](int y, bool marked) {
        uchar *to = bytes + qsizetype(stride) * y + 1;
        unsigned byte = 0;
        int filled = 0;
        for (int source = 0, x = 0; source < columns; ++source) {
            for (int copy = 0; copy < scale; ++copy, ++x) {
                byte = byte << m_bits
                        | unsigned(marked ? mark(x, indexes[source]) : indexes[source]);
                if (++filled == perByte) {
                    *to++ = uchar(byte);
                    byte = 0;
                    filled = 0;
                }
            }
        }
        if (filled > 0)
            *to = uchar(byte << (m_bits * (perByte - filled)));
    };
    for (int source = 0; source < image.height(); ++source) {
        const auto *from = reinterpret_cast<const QRgb *>(image.constScanLine(source));
        QRgb last = m_palette.first();
        int index = 0;
        for (int x = 0; x < columns; ++x) {
            if ((from[x] | 0xFF000000) != last) {
                last = from[x] | 0xFF000000;
                index = indexOf(last);
            }
            indexes[x] = index;
        }
        // Each device row once; its copies below it as they are, but for the mark.
        pack(source * scale, source * scale == markRow);
        for (int y = source * scale + 1; y < (source + 1) * scale; ++y) {
            if (y == markRow)
                pack(y, true);
            else
                memcpy(bytes + qsizetype(stride) * y, bytes + qsizetype(stride) * (y - 1), stride);
        }
    }
    return finish(width, height, rows);
}

} // namespace VelkoMenuView
