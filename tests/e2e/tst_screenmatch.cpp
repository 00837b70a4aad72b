// The screenshot matcher of the end-to-end test: it must find the screen
// wherever it is, whatever the unlit colour, and miss any one wrong pixel.
#include "screenmatch.h"

#include <QtTest>

namespace {

const QRgb lit = qRgb(0, 0, 0);
const QRgb unlit = qRgb(0xF4, 0xF4, 0xF4);

// A 16 x 8 reference with an irregular lit pattern.
QImage reference()
{
    QImage image(16, 8, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, (x * 7 + y * 3) % 5 == 0 || x == y ? lit : unlit);
    return image;
}

// A screenshot with the reference at `at`, unlit pixels in `background`.
QImage shotWith(const QImage &screen, QPoint at, QRgb background)
{
    QImage shot(60, 40, QImage::Format_RGB32);
    shot.fill(qRgb(0x40, 0x80, 0xC0));
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            shot.setPixel(at.x() + x, at.y() + y, screen.pixel(x, y) == lit ? lit : background);
    return shot;
}

} // namespace

class tst_ScreenMatch : public QObject
{
    Q_OBJECT

private slots:
    void findsTheScreen_data();
    void findsTheScreen();
    void oneWrongPixelIsAMiss_data();
    void oneWrongPixelIsAMiss();
    void ignoredAreaIsNotCompared();
    void closestPlaceIsReported();
};

void tst_ScreenMatch::findsTheScreen_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QRgb>("background");
    QTest::addRow("corner") << QPoint(0, 0) << unlit;
    QTest::addRow("inside") << QPoint(23, 17) << unlit;
    QTest::addRow("far-corner") << QPoint(44, 32) << unlit;
    QTest::addRow("dark-pane") << QPoint(5, 9) << qRgb(0x30, 0x30, 0x40);
}

void tst_ScreenMatch::findsTheScreen()
{
    QFETCH(QPoint, at);
    QFETCH(QRgb, background);
    const ScreenMatch match = locateScreen(shotWith(reference(), at, background), reference(), lit, {}, 0);
    QCOMPARE(match.mismatches, 0);
    QCOMPARE(match.at, at);
    QCOMPARE(match.compared, 16 * 8);
    int lits = 0;
    const QImage ref = reference();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            lits += ref.pixel(x, y) == lit;
    QCOMPARE(match.lit, lits);
}

void tst_ScreenMatch::oneWrongPixelIsAMiss_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QRgb>("colour");
    QTest::addRow("unlit-shown-lit") << QPoint(1, 0) << lit;
    QTest::addRow("lit-shown-unlit") << QPoint(0, 0) << unlit;
    QTest::addRow("lit-shown-grey") << QPoint(3, 3) << qRgb(0x20, 0x20, 0x20);
    QTest::addRow("unlit-off-colour") << QPoint(15, 7) << qRgb(0xF3, 0xF4, 0xF4);
}

void tst_ScreenMatch::oneWrongPixelIsAMiss()
{
    QFETCH(QPoint, pixel);
    QFETCH(QRgb, colour);
    QImage shot = shotWith(reference(), QPoint(10, 10), unlit);
    shot.setPixel(QPoint(10, 10) + pixel, colour);
    QCOMPARE(locateScreen(shot, reference(), lit, {}, 0).mismatches, -1);
}

void tst_ScreenMatch::ignoredAreaIsNotCompared()
{
    QImage shot = shotWith(reference(), QPoint(10, 10), unlit);
    shot.setPixel(10 + 12, 10 + 2, reference().pixel(12, 2) == lit ? unlit : lit);
    const ScreenMatch match = locateScreen(shot, reference(), lit, QRect(11, 0, 5, 8), 0);
    QCOMPARE(match.mismatches, 0);
    QCOMPARE(match.at, QPoint(10, 10));
    QCOMPARE(match.compared, 11 * 8);
}

void tst_ScreenMatch::closestPlaceIsReported()
{
    QImage shot = shotWith(reference(), QPoint(30, 20), unlit);
    shot.setPixel(30 + 1, 20 + 0, lit);
    shot.setPixel(30 + 0, 20 + 0, unlit);
    const ScreenMatch match = locateScreen(shot, reference(), lit, {}, 10);
    QCOMPARE(match.mismatches, 2);
    QCOMPARE(match.at, QPoint(30, 20));
}

QTEST_GUILESS_MAIN(tst_ScreenMatch)
#include "tst_screenmatch.moc"
