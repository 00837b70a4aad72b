// Screen text art for tests: '#' lit, '.' unlit, one line per pixel row.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace ScreenArt {

using Buffer = std::array<uint8_t, 1024>;

// A copy of the device frame buffer.
Buffer frameBuffer();

// All bytes `fill` but those listed as "index:hexvalue index:hexvalue ...".
Buffer expectedBytes(uint8_t fill, const QString &changes);

// The first differing bytes, one per line.
QString describeDifference(const Buffer &expected, const Buffer &actual);

// Pixels (x, y) .. (x + w - 1, y + h - 1) of the device frame buffer.
QString capture(int x, int y, int w, int h);

// The row the device library draws for text at cell (0, 0), inverted for a
// title row, as art: what a screen row must look like.
QString deviceRow(const QString &text, bool inverted);

// Expected and actual art beside each other, differing rows marked with '<'.
QString sideBySide(const QString &expected, const QString &actual);

// Compares art with a snapshot file under the source tree; with
// VELKO_UPDATE_SNAPSHOTS=1 in the environment the file is rewritten instead.
bool matchesSnapshot(const QString &relativePath, const QString &art, QString *message);

} // namespace ScreenArt

// QCOMPARE for art, printing both pictures side by side on failure.
#define COMPARE_ART(actual, expected)                                                              \
    do {                                                                                           \
        const QString actualArt_ = (actual);                                                       \
        const QString expectedArt_ = (expected);                                                   \
        if (actualArt_ != expectedArt_)                                                            \
            QFAIL(qPrintable("screen differs (expected | actual):\n"                              \
                             + ScreenArt::sideBySide(expectedArt_, actualArt_)));                  \
    } while (false)
