// Lines and boxes: exact bytes for hand-picked cases, and a per-pixel model
// for sweeps across the screen edges, patterns and modes.
#include "screenart.h"

#include "devicegfx/gfx.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

using ScreenArt::Buffer;
using ScreenArt::describeDifference;
using ScreenArt::expectedBytes;
using ScreenArt::frameBuffer;

// The obvious per-pixel model of the primitives.
void modelPixel(Buffer &b, int64_t x, int64_t y, int32_t mode)
{
    if (x < 0 || x > 127 || y < 0 || y > 63)
        return;
    uint8_t &byte = b[128 * (y / 8) + x];
    const uint8_t bit = uint8_t(1u << (y % 8));
    if (mode == DrawSet)
        byte |= bit;
    else if (mode == DrawClear)
        byte &= uint8_t(~bit);
    else if (mode == DrawInvert)
        byte ^= bit;
}

void modelHLine(Buffer &b, int32_t x1, int32_t x2, int32_t y, int32_t mode, uint8_t pattern)
{
    const int64_t xa = std::min(x1, x2), xb = std::max(x1, x2);
    for (int64_t x = std::max<int64_t>(xa, 0); x <= std::min<int64_t>(xb, 127); ++x)
        if (pattern >> ((x - xa) % 8) & 1)
            modelPixel(b, x, y, mode);
}

void modelVLine(Buffer &b, int32_t x, int32_t y1, int32_t y2, int32_t mode, uint8_t pattern)
{
    const int64_t ya = std::min(y1, y2), yb = std::max(y1, y2);
    for (int64_t y = std::max<int64_t>(ya, 0); y <= std::min<int64_t>(yb, 63); ++y)
        if (pattern >> ((y - ya) % 8) & 1)
            modelPixel(b, x, y, mode);
}

void modelBox(Buffer &b, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t mode)
{
    for (int64_t x = std::max<int64_t>(std::min(x1, x2), 0); x <= std::min<int64_t>(std::max(x1, x2), 127); ++x)
        for (int64_t y = std::max<int64_t>(std::min(y1, y2), 0); y <= std::min<int64_t>(std::max(y1, y2), 63); ++y)
            modelPixel(b, x, y, mode);
}

Buffer noise()
{
    QRandomGenerator rng(20261207);
    Buffer b;
    for (uint8_t &byte : b)
        byte = uint8_t(rng.bounded(256));
    return b;
}

const QList<int32_t> edgeCoordinates = {INT_MIN, -300, -9, -8, -7, -1, 0, 1, 5, 7, 8, 9,
                                        62, 63, 64, 65, 120, 126, 127, 128, 200, INT_MAX};
const QList<int32_t> modes = {0, DrawSet, DrawClear, DrawInvert, 4};
const QList<uint8_t> patterns = {0xFF, 0x55, 0x0F, 0x81, 0x01, 0x00};

} // namespace

class tst_Primitives : public QObject
{
    Q_OBJECT

private slots:
    void init() { gfxClear(); }

    void clear();
    void hline_data();
    void hline();
    void vline_data();
    void vline();
    void box_data();
    void box();
    void boxInvertTwiceRestores();
    void linesMatchPixelModel();
    void boxesMatchPixelModel();
};

void tst_Primitives::clear()
{
    std::memset(gfxFrameBuffer, 0xA5, 1024);
    gfxClear();
    QCOMPARE(frameBuffer(), expectedBytes(0, QString()));
}

void tst_Primitives::hline_data()
{
    QTest::addColumn<int>("x1");
    QTest::addColumn<int>("x2");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("pattern");
    QTest::addColumn<int>("fill");
    QTest::addColumn<QString>("changes");

    QTest::addRow("clip-left") << -3 << 2 << 5 << 1 << 0xFF << 0 << "0:20 1:20 2:20";
    QTest::addRow("below-screen") << 0 << 10 << 64 << 1 << 0xFF << 0 << "";
    QTest::addRow("above-screen") << 0 << 10 << -1 << 1 << 0xFF << 0 << "";
    QTest::addRow("right-of-screen") << 130 << 200 << 3 << 1 << 0xFF << 0 << "";
    QTest::addRow("clip-right") << 120 << 200 << 3 << 1 << 0xFF << 0
                                << "120:8 121:8 122:8 123:8 124:8 125:8 126:8 127:8";
    QTest::addRow("phase-from-clipped-start") << -1 << 3 << 0 << 1 << 0x55 << 0 << "1:1 3:1";
    QTest::addRow("reversed-ends") << 3 << -1 << 0 << 1 << 0x55 << 0 << "1:1 3:1";
    QTest::addRow("single-pixel-last-page") << 127 << 127 << 63 << 1 << 0xFF << 0 << "1023:80";
    QTest::addRow("clear") << 0 << 1 << 9 << 2 << 0xFF << 0xFF << "128:fd 129:fd";
    QTest::addRow("invert") << 0 << 1 << 9 << 3 << 0xFF << 0x0F << "128:0d 129:0d";
    QTest::addRow("mode-0") << 0 << 127 << 9 << 0 << 0xFF << 0x0F << "";
    QTest::addRow("mode-4") << 0 << 127 << 9 << 4 << 0xFF << 0x0F << "";
    QTest::addRow("pattern-wraps") << 0 << 9 << 0 << 1 << 0x81 << 0 << "0:1 7:1 8:1";
}

void tst_Primitives::hline()
{
    QFETCH(int, x1);
    QFETCH(int, x2);
    QFETCH(int, y);
    QFETCH(int, mode);
    QFETCH(int, pattern);
    QFETCH(int, fill);
    QFETCH(QString, changes);
    std::memset(gfxFrameBuffer, fill, 1024);
    gfxHLine(x1, x2, y, mode, uint8_t(pattern));
    const Buffer expected = expectedBytes(uint8_t(fill), changes);
    QVERIFY2(frameBuffer() == expected, qPrintable(describeDifference(expected, frameBuffer())));
}

void tst_Primitives::vline_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y1");
    QTest::addColumn<int>("y2");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("pattern");
    QTest::addColumn<int>("fill");
    QTest::addColumn<QString>("changes");

    QTest::addRow("two-pages") << 0 << 3 << 12 << 1 << 0xFF << 0 << "0:f8 128:1f";
    QTest::addRow("two-pages-reversed") << 0 << 12 << 3 << 1 << 0xFF << 0 << "0:f8 128:1f";
    QTest::addRow("one-page") << 0 << 2 << 4 << 1 << 0xFF << 0 << "0:1c";
    QTest::addRow("pattern-from-start") << 0 << 2 << 9 << 1 << 0x0F << 0 << "0:3c";
    QTest::addRow("right-of-screen") << 128 << 0 << 63 << 1 << 0xFF << 0 << "";
    QTest::addRow("left-of-screen") << -1 << 0 << 63 << 1 << 0xFF << 0 << "";
    QTest::addRow("whole-column")
            << 5 << -100 << 100 << 1 << 0xFF << 0 << "5:ff 133:ff 261:ff 389:ff 517:ff 645:ff 773:ff 901:ff";
    QTest::addRow("middle-pages-rotated")
            << 0 << 5 << 28 << 1 << 0x01 << 0 << "0:20 128:20 256:20";
    QTest::addRow("phase-from-clipped-start") << 0 << -3 << 7 << 1 << 0x01 << 0 << "0:20";
    QTest::addRow("bottom-edge") << 127 << 60 << 70 << 1 << 0xFF << 0 << "1023:f0";
    QTest::addRow("clear") << 1 << 8 << 15 << 2 << 0xFF << 0xFF << "129:00";
    QTest::addRow("invert") << 1 << 6 << 9 << 3 << 0xFF << 0x81 << "1:41 129:82";
    QTest::addRow("mode-0") << 1 << 0 << 63 << 0 << 0xFF << 0x81 << "";
}

void tst_Primitives::vline()
{
    QFETCH(int, x);
    QFETCH(int, y1);
    QFETCH(int, y2);
    QFETCH(int, mode);
    QFETCH(int, pattern);
    QFETCH(int, fill);
    QFETCH(QString, changes);
    std::memset(gfxFrameBuffer, fill, 1024);
    gfxVLine(x, y1, y2, mode, uint8_t(pattern));
    const Buffer expected = expectedBytes(uint8_t(fill), changes);
    QVERIFY2(frameBuffer() == expected, qPrintable(describeDifference(expected, frameBuffer())));
}

void tst_Primitives::box_data()
{
    QTest::addColumn<QList<int>>("corners");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("art");

    QTest::addRow("single-pixel") << QList<int>{1, 1, 1, 1} << 1 << "....\n.#..\n....\n";
    QTest::addRow("two-rows") << QList<int>{0, 0, 3, 1} << 3 << "####\n####\n....\n";
    QTest::addRow("reversed-corners") << QList<int>{2, 2, 1, 0} << 1 << ".##.\n.##.\n.##.\n";
    QTest::addRow("column") << QList<int>{0, 2, 0, 0} << 1 << "#...\n#...\n#...\n";
    QTest::addRow("clipped") << QList<int>{-5, -5, 1, 1} << 1 << "##..\n##..\n....\n";
    QTest::addRow("mode-4") << QList<int>{0, 0, 3, 2} << 4 << "....\n....\n....\n";
}

void tst_Primitives::box()
{
    QFETCH(QList<int>, corners);
    QFETCH(int, mode);
    QFETCH(QString, art);
    gfxBox(corners[0], corners[1], corners[2], corners[3], mode);
    COMPARE_ART(ScreenArt::capture(0, 0, 4, 3), art);
    QVERIFY(!ScreenArt::capture(4, 0, 124, 3).contains(QLatin1Char('#')));
    QVERIFY(!ScreenArt::capture(0, 3, 128, 61).contains(QLatin1Char('#')));
}

void tst_Primitives::boxInvertTwiceRestores()
{
    const Buffer before = noise();
    std::memcpy(gfxFrameBuffer, before.data(), 1024);
    gfxBox(0, 0, 127, 7, DrawInvert);
    Buffer once = before;
    for (int i = 0; i < 128; ++i)
        once[i] = uint8_t(~once[i]);
    QVERIFY2(frameBuffer() == once, qPrintable(describeDifference(once, frameBuffer())));
    gfxBox(0, 7, 127, 0, DrawInvert);
    QVERIFY(frameBuffer() == before);
}

void tst_Primitives::linesMatchPixelModel()
{
    const Buffer background = noise();
    const QList<int32_t> rows = {INT_MIN, -1, 0, 7, 8, 31, 63, 64, INT_MAX};
    for (int32_t mode : modes) {
        for (uint8_t pattern : patterns) {
            for (int32_t a : edgeCoordinates) {
                for (int32_t b : edgeCoordinates) {
                    for (int32_t fixed : rows) {
                        Buffer expected = background;
                        modelHLine(expected, a, b, fixed, mode, pattern);
                        std::memcpy(gfxFrameBuffer, background.data(), 1024);
                        gfxHLine(a, b, fixed, mode, pattern);
                        if (frameBuffer() != expected)
                            QFAIL(qPrintable(QStringLiteral("gfxHLine(%1, %2, %3, %4, 0x%5)\n%6")
                                                     .arg(a).arg(b).arg(fixed).arg(mode)
                                                     .arg(pattern, 0, 16)
                                                     .arg(describeDifference(expected, frameBuffer()))));

                        expected = background;
                        modelVLine(expected, fixed, a, b, mode, pattern);
                        std::memcpy(gfxFrameBuffer, background.data(), 1024);
                        gfxVLine(fixed, a, b, mode, pattern);
                        if (frameBuffer() != expected)
                            QFAIL(qPrintable(QStringLiteral("gfxVLine(%1, %2, %3, %4, 0x%5)\n%6")
                                                     .arg(fixed).arg(a).arg(b).arg(mode)
                                                     .arg(pattern, 0, 16)
                                                     .arg(describeDifference(expected, frameBuffer()))));
                    }
                }
            }
        }
    }
}

void tst_Primitives::boxesMatchPixelModel()
{
    const Buffer background = noise();
    const QList<int32_t> xs = {INT_MIN, -3, 0, 1, 63, 126, 127, 128, INT_MAX};
    const QList<int32_t> ys = {INT_MIN, -9, -1, 0, 1, 2, 7, 8, 9, 62, 63, 64, INT_MAX};
    for (int32_t mode : modes)
        for (int32_t x1 : xs)
            for (int32_t x2 : xs)
                for (int32_t y1 : ys)
                    for (int32_t y2 : ys) {
                        Buffer expected = background;
                        modelBox(expected, x1, y1, x2, y2, mode);
                        std::memcpy(gfxFrameBuffer, background.data(), 1024);
                        gfxBox(x1, y1, x2, y2, mode);
                        if (frameBuffer() != expected)
                            QFAIL(qPrintable(QStringLiteral("gfxBox(%1, %2, %3, %4, %5)\n%6")
                                                     .arg(x1).arg(y1).arg(x2).arg(y2).arg(mode)
                                                     .arg(describeDifference(expected, frameBuffer()))));
                    }
}

QTEST_APPLESS_MAIN(tst_Primitives)
#include "tst_primitives.moc"
