// The PNG chunks: IHDR, PLTE, one IDAT, IEND, each with its CRC.
#include "menuview/review/palettepng.h"

#include <QtEndian>

#include <zlib.h>

namespace VelkoMenuView {

namespace {

void appendChunk(QByteArray &png, const char *type, const QByteArray &data)
{
    uchar length[4];
    qToBigEndian(quint32(data.size()), length);
    png.append(reinterpret_cast<const char *>(length), 4);
    const qsizetype start = png.size();
    png.append(type, 4);
    png.append(data);
    uLong crc = crc32(0, reinterpret_cast<const Bytef *>(png.constData() + start),
                      uInt(png.size() - start));
    uchar sum[4];
    qToBigEndian(quint32(crc), sum);
    png.append(reinterpret_cast<const char *>(sum), 4);
}

} // namespace

PalettePng::PalettePng(const QList<QRgb> &palette)
    : m_palette(palette.mid(0, 16))
{
    for (QRgb &colour : m_palette)
        colour |= 0xFF000000;
    while ((1 << m_bits) < m_palette.size())
        m_bits *= 2;
}

int PalettePng::indexOf(QRgb colour) const
{
    return int(qMax(qsizetype(0), m_palette.indexOf(colour)));
}

QByteArray PalettePng::finish(int width, int height, const QByteArray &rows) const
{
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header(13, '\0');
    qToBigEndian(quint32(width), header.data());
    qToBigEndian(quint32(height), header.data() + 4);
    header[8] = char(m_bits);
    header[9] = 3; // palette; compression, filter and interlace methods 0
    appendChunk(png, "IHDR", header);
    QByteArray palette;
    for (const QRgb colour : m_palette)
        palette.append(char(qRed(colour))).append(char(qGreen(colour))).append(char(qBlue(colour)));
    appendChunk(png, "PLTE", palette);
    uLongf size = compressBound(uLong(rows.size()));
    QByteArray compressed(qsizetype(size), '\0');
    if (compress2(reinterpret_cast<Bytef *>(compressed.data()), &size,
                  reinterpret_cast<const Bytef *>(rows.constData()), uLong(rows.size()), 6)
        != Z_OK)
        return QByteArray();
    compressed.resize(qsizetype(size));
    appendChunk(png, "IDAT", compressed);
    appendChunk(png, "IEND", QByteArray());
    return png;
}

} // namespace VelkoMenuView
