// Text paths: gfxPrint and the cell path with the 6 x 8 font, the general
// path against a per-pixel model with synthetic fonts of every band count,
// alignment, measuring, and inputs that must draw nothing.
#include "screenart.h"
#include "testfont.h"

#include "devicegfx/gfx.h"

#include <QRandomGenerator>
#include <QtTest>

#include <climits>
#include <cstring>

using ScreenArt::Buffer;
using ScreenArt::describeDifference;
using ScreenArt::expectedBytes;
using ScreenArt::frameBuffer;

namespace {

const DeviceFont *font3 = &gfxFonts[3];

// Column bytes of a font 3 glyph placed at a cell of page `row`, as "i:v" changes.
QString cellChanges(int row, int col, uint32_t codePoint, bool inverse = false)
{
    const uint8_t *record = gfxFindCellGlyph(font3, codePoint);
    if (!record)
        return QStringLiteral("missing-glyph");
    QStringList changes;
    for (int j = 0; j < 6; ++j)
        changes << QStringLiteral("%1:%2").arg(128 * row + 6 * col + j).arg(record[3 + j] ^ (inverse ? 0xFF : 0), 0, 16);
    return changes.join(QLatin1Char(' '));
}

Buffer noise(quint32 seed)
{
    QRandomGenerator rng(seed);
    Buffer b;
    for (uint8_t &byte : b)
        byte = uint8_t(rng.bounded(256));
    return b;
}

struct Settings
{
    bool opaque, inverse, clipWhole;
};

class SettingsScope
{
public:
    explicit SettingsScope(const Settings &s) { apply(s); }
    ~SettingsScope() { apply({true, false, false}); gfxAlign = 0; gfxFont = &gfxFonts[3]; }
    static void apply(const Settings &s)
    {
        gfxOpaque = s.opaque;
        gfxInverse = s.inverse;
        gfxClipWhole = s.clipWhole;
    }
};

} // namespace

Q_DECLARE_METATYPE(Settings)
Q_DECLARE_METATYPE(DeviceFont)

class tst_Text : public QObject
{
    Q_OBJECT

private slots:
    void init() { gfxClear(); }

    void print_data();
    void print();
    void printFormats();
    void printInverse();
    void printCutsAt127Bytes_data();
    void printCutsAt127Bytes();
    void printEncodingErrorDrawsNothing();
    void printNullFormat();
    void printWithTallFontTakesGeneralPath();
    void cellTextRejectsBadCells_data();
    void cellTextRejectsBadCells();
    void glyphMatchesPixelModel_data();
    void glyphMatchesPixelModel();
    void drawTextAlignment_data();
    void drawTextAlignment();
    void renderTextMeasuresWithoutDrawing();
    void unusableFontsDrawNothing_data();
    void unusableFontsDrawNothing();
};

void tst_Text::print_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("changes");

    QTest::addRow("A-at-origin") << 0 << 0 << QByteArray("A") << 6 << "1:7e 2:11 3:11 4:11 5:7e 0:0";
    QTest::addRow("AB") << 0 << 0 << QByteArray("AB") << 12 << cellChanges(0, 0, 'A') + ' ' + cellChanges(0, 1, 'B');
    QTest::addRow("zhe") << 2 << 3 << QByteArray("\xD0\x96") << 6 << "396:0 397:77 398:8 399:7f 400:8 401:77";
    QTest::addRow("pointer") << 0 << 7 << QByteArray("\xE2\x96\xBA") << 6 << "896:0 897:0 898:7f 899:3e 900:1c 901:8";
    QTest::addRow("zero-with-dot") << 0 << 1 << QByteArray("0") << 6 << "128:0 129:3e 130:41 131:49 132:41 133:3e";
    QTest::addRow("missing-glyph-takes-no-cell")
            << 0 << 0 << QByteArray("a\xC3\xA9" "b") << 12 << cellChanges(0, 0, 'a') + ' ' + cellChanges(0, 1, 'b');
    QTest::addRow("malformed-takes-no-cell")
            << 0 << 0 << QByteArray("a\xF0\x9F\x98\x80\xFF\x80" "b") << 12
            << cellChanges(0, 0, 'a') + ' ' + cellChanges(0, 1, 'b');
    QTest::addRow("space-clears-cell") << 1 << 0 << QByteArray(" ") << 6 << "6:0 7:0 8:0 9:0 10:0 11:0";
    QTest::addRow("empty") << 0 << 0 << QByteArray("") << 0 << "";
    QTest::addRow("stops-before-right-edge") << 20 << 0 << QByteArray("AA") << 6 << cellChanges(0, 20, 'A');
    QTest::addRow("cell-21-general-path") << 21 << 0 << QByteArray("A") << 6 << "126:0 127:7e";
    QTest::addRow("row-8-below-screen") << 0 << 8 << QByteArray("A") << 6 << "";
    QTest::addRow("col-minus-1-pixel-position") << -1 << 0 << QByteArray("A") << 6 << "0:7e 1:11 2:11 3:11 4:7e";
    QTest::addRow("row-minus-1-pixel-position") << 0 << -1 << QByteArray("A") << 6 << "0:80 1:bf 2:88 3:88 4:88 5:bf";

    QString row;
    for (int c = 0; c < 21; ++c)
        row += cellChanges(0, c, 'A' + c) + ' ';
    QTest::addRow("25-chars-fill-21-cells") << 0 << 0 << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXY") << 126 << row;
}

void tst_Text::print()
{
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QByteArray, text);
    QFETCH(int, width);
    QFETCH(QString, changes);
    std::memset(gfxFrameBuffer, 0xAA, 1024);
    QCOMPARE(gfxPrint(col, row, "%s", text.constData()), width);
    const Buffer expected = expectedBytes(0xAA, changes);
    QVERIFY2(frameBuffer() == expected, qPrintable(describeDifference(expected, frameBuffer())));
}

void tst_Text::printFormats()
{
    QCOMPARE(gfxPrint(0, 0, "%d", 42), 12);
    const Buffer formatted = frameBuffer();
    gfxClear();
    QCOMPARE(gfxCellText(font3, 0, 0, "42"), 12);
    QVERIFY(frameBuffer() == formatted);

    gfxClear();
    QCOMPARE(gfxPrint(0, 2, "%s=%4.1f%%", "\xD0\xA2", 2.25), 6 * 7); // "Т= 2.2%"
    QVERIFY(frameBuffer() != Buffer{});
}

void tst_Text::printInverse()
{
    SettingsScope scope({true, true, false});
    std::memset(gfxFrameBuffer, 0x5A, 1024);
    QCOMPARE(gfxPrint(3, 4, "AB"), 12);
    const Buffer expected = expectedBytes(0x5A, cellChanges(4, 3, 'A', true) + ' ' + cellChanges(4, 4, 'B', true));
    QVERIFY2(frameBuffer() == expected, qPrintable(describeDifference(expected, frameBuffer())));
}

void tst_Text::printCutsAt127Bytes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("width");

    const QByteArray a126(126, 'a');
    QTest::addRow("fits-127") << QByteArray(127, 'a') << 127 * 6;
    QTest::addRow("cut-at-127") << QByteArray(300, 'a') << 127 * 6;
    QTest::addRow("cut-inside-two-byte") << a126 + "\xD0\x96" << 126 * 6;
    QTest::addRow("two-byte-ends-at-127") << QByteArray(125, 'a') + "\xD0\x96" << 126 * 6;
    QTest::addRow("cut-inside-three-byte") << a126 + "\xE2\x96\xBA" << 126 * 6;
    QTest::addRow("cut-after-first-of-three") << QByteArray(125, 'a') + "\xE2\x96\xBA" << 125 * 6;
}

void tst_Text::printCutsAt127Bytes()
{
    QFETCH(QByteArray, text);
    QFETCH(int, width);
    // Pixel position -6 sends the line down the general path, which measures every glyph.
    QCOMPARE(gfxPrint(-6, 0, "%s", text.constData()), width);
}

void tst_Text::printEncodingErrorDrawsNothing()
{
    // A wide character with no multibyte form makes the formatting fail as
    // a whole: nothing of it is drawn, not even the text before it.
    std::memset(gfxFrameBuffer, 0x3C, 1024);
    QCOMPARE(gfxPrint(0, 0, "AB%ls", L"\x110000"), 0);
    QVERIFY(frameBuffer() == expectedBytes(0x3C, QString()));
}

void tst_Text::printNullFormat()
{
    std::memset(gfxFrameBuffer, 0x3C, 1024);
    const char *volatile format = nullptr;
    QCOMPARE(gfxPrint(0, 0, format), 0);
    QVERIFY(frameBuffer() == expectedBytes(0x3C, QString()));
}

void tst_Text::printWithTallFontTakesGeneralPath()
{
    const TestFont tall(4, 11, TestFont::noiseGlyphs(4, 11, 3, 7));
    SettingsScope scope({true, false, false});
    gfxFont = tall.font();
    const Buffer background = noise(3);
    std::memcpy(gfxFrameBuffer, background.data(), 1024);
    const int32_t width = gfxPrint(1, 2, "AC");
    Buffer expected = background;
    const TestGlyph &a = tall.glyphs()[0];
    const TestGlyph &c = tall.glyphs()[2];
    modelGlyph(expected.data(), a, 11, 4, 22);
    modelGlyph(expected.data(), c, 11, 4 + a.rows.first().size(), 22);
    QCOMPARE(width, int(a.rows.first().size() + c.rows.first().size()));
    QVERIFY2(frameBuffer() == expected, qPrintable(describeDifference(expected, frameBuffer())));
}

void tst_Text::cellTextRejectsBadCells_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("tallFont");

    QTest::addRow("negative-col") << -1 << 0 << false;
    QTest::addRow("col-past-edge") << 21 << 0 << false;
    QTest::addRow("huge-col") << INT_MAX << 0 << false;
    QTest::addRow("negative-row") << 0 << -1 << false;
    QTest::addRow("row-8") << 0 << 8 << false;
    QTest::addRow("not-8-high") << 0 << 0 << true;
}

void tst_Text::cellTextRejectsBadCells()
{
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(bool, tallFont);
    const TestFont tall(6, 11, TestFont::noiseGlyphs(6, 11, 2, 1));
    std::memset(gfxFrameBuffer, 0x11, 1024);
    QCOMPARE(gfxCellText(tallFont ? tall.font() : font3, col, row, "AB"), 0);
    QVERIFY(frameBuffer() == expectedBytes(0x11, QString()));
}

void tst_Text::glyphMatchesPixelModel_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<Settings>("settings");

    const QList<QPair<const char *, Settings>> modes = {
        {"opaque", {true, false, false}},
        {"transparent", {false, false, false}},
        {"opaque-inverse", {true, true, false}},
        {"transparent-inverse", {false, true, false}},
        {"clip-whole", {true, false, true}},
    };
    for (int height : {1, 5, 6, 8, 9, 11, 14, 16, 20, 30})
        for (const auto &mode : modes)
            QTest::addRow("h%d-%s", height, mode.first) << height << mode.second;
}

void tst_Text::glyphMatchesPixelModel()
{
    QFETCH(int, height);
    QFETCH(Settings, settings);
    const uint32_t cellWidth = 9;
    // Set spare bits: they must never reach the screen.
    const TestFont font(cellWidth, uint32_t(height), TestFont::noiseGlyphs(cellWidth, uint32_t(height), 3, uint32_t(height)), true);
    SettingsScope scope(settings);
    const Buffer background = noise(11);

    QList<int> xs = {INT_MIN, -100, -10, -9, -8, -1, 0, 1, 60, 119, 120, 121, 126, 127, 128, INT_MAX};
    QList<int> ys = {INT_MIN, -100, INT_MAX};
    for (int y = -height - 9; y <= 72; ++y)
        ys << y;
    for (const TestGlyph &glyph : font.glyphs()) {
        const int w = glyph.rows.isEmpty() ? 0 : int(glyph.rows.first().size());
        for (int x : xs) {
            for (int y : ys) {
                Buffer expected = background;
                modelGlyph(expected.data(), glyph, uint32_t(height), x, y);
                std::memcpy(gfxFrameBuffer, background.data(), 1024);
                const int32_t result = gfxDrawGlyph(font.font(), x, y, glyph.codePoint);
                if (result != w || frameBuffer() != expected)
                    QFAIL(qPrintable(QStringLiteral("glyph %1 (width %2) at (%3, %4) returned %5\n%6")
                                             .arg(QChar(glyph.codePoint)).arg(w).arg(x).arg(y).arg(result)
                                             .arg(describeDifference(expected, frameBuffer()))));
            }
        }
    }
    QCOMPARE(gfxDrawGlyph(font.font(), 0, 0, 'Z'), 0);
}

void tst_Text::drawTextAlignment_data()
{
    QTest::addColumn<int>("align");
    QTest::addColumn<int>("defaultAlign");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("expectedX");
    QTest::addColumn<int>("expectedY");

    // The text "ABC" is 3 + 5 + 2 = 10 pixels wide; the font is 4 x 11.
    QTest::addRow("left-top") << 5 << 0 << 20 << 7 << 20 << 7;
    QTest::addRow("default-is-left-top") << 0 << 0 << 20 << 7 << 20 << 7;
    QTest::addRow("right") << 2 << 0 << 20 << 7 << 10 << 7;
    QTest::addRow("centre") << 3 << 0 << 20 << 7 << 15 << 7;
    QTest::addRow("bottom") << (1 | 2 << 2) << 0 << 20 << 30 << 20 << 19;
    QTest::addRow("middle") << (1 | 3 << 2) << 0 << 20 << 30 << 20 << 25;
    QTest::addRow("right-from-default") << 0 << 2 << 20 << 7 << 10 << 7;
    QTest::addRow("middle-from-default") << 1 << 12 << 20 << 30 << 20 << 25;
    QTest::addRow("explicit-overrides-default") << 5 << 15 << 20 << 7 << 20 << 7;
    QTest::addRow("cells") << 5 << 0 << (GFX_CELL | 3) << (GFX_CELL | 2) << 12 << 22;
    QTest::addRow("cell-bit-on-negative-is-pixel") << 5 << 0 << (GFX_CELL | -2) << 3 << -2 << 3;
    QTest::addRow("cell-low-16-bits") << 5 << 0 << (GFX_CELL | 0x10001) << 0 << 4 << 0;
    QTest::addRow("centre-left-of-screen") << 3 << 0 << 1 << 0 << -4 << 0;
    QTest::addRow("right-at-int-min") << 2 << 0 << INT_MIN << 0 << 0 << 0;
}

void tst_Text::drawTextAlignment()
{
    QFETCH(int, align);
    QFETCH(int, defaultAlign);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, expectedX);
    QFETCH(int, expectedY);
    const QList<TestGlyph> glyphs = {
        {'A', {"#.#", ".#.", "#.#", "...", "###", "#.#", "...", "..#", "#..", "###", "#.."}},
        {'B', {"#####", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#####", ".....", "#.#.#", "##.##", "....#"}},
        {'C', {"##", ".#", "#.", "##", "..", "#.", ".#", "##", "#.", ".#", "##"}},
    };
    const TestFont font(4, 11, glyphs);
    SettingsScope scope({true, false, false});
    gfxAlign = defaultAlign;
    const Buffer background = noise(5);
    std::memcpy(gfxFrameBuffer, background.data(), 1024);
    QCOMPARE(gfxDrawText(font.font(), align, x, y, "ABC"), 10);
    Buffer expected = background;
    if (x != INT_MIN) {
        modelGlyph(expected.data(), glyphs[0], 11, expectedX, expectedY);
        modelGlyph(expected.data(), glyphs[1], 11, expectedX + 3, expectedY);
        modelGlyph(expected.data(), glyphs[2], 11, expectedX + 8, expectedY);
    }
    QVERIFY2(frameBuffer() == expected, qPrintable(describeDifference(expected, frameBuffer())));
}

void tst_Text::renderTextMeasuresWithoutDrawing()
{
    std::memset(gfxFrameBuffer, 0x99, 1024);
    for (int draw : {0, 2, -1})
        QCOMPARE(gfxRenderText("A\xC3\xA9\xD0\x96 ", draw, font3, 0, 0), 18);
    QVERIFY(frameBuffer() == expectedBytes(0x99, QString()));
    // Glyphs off the screen still count.
    QCOMPARE(gfxRenderText("AB", 1, font3, 500, -500), 12);
    QCOMPARE(gfxRenderText("AB", 1, font3, INT_MAX, INT_MAX), 12);
    QVERIFY(frameBuffer() == expectedBytes(0x99, QString()));
}

void tst_Text::unusableFontsDrawNothing_data()
{
    QTest::addColumn<DeviceFont>("font");
    QTest::addColumn<bool>("nullFont");

    QTest::addRow("null-font") << DeviceFont{6, 8, 9, nullptr} << true;
    QTest::addRow("null-glyphs") << DeviceFont{6, 8, 2043, nullptr} << false;
    QTest::addRow("zero-width") << DeviceFont{0, 8, font3->size, font3->glyphs} << false;
    QTest::addRow("zero-height") << DeviceFont{6, 0, font3->size, font3->glyphs} << false;
    QTest::addRow("no-records") << DeviceFont{6, 8, 2, font3->glyphs} << false;
    QTest::addRow("cut-record") << DeviceFont{6, 8, 5, font3->glyphs} << false;
}

void tst_Text::unusableFontsDrawNothing()
{
    QFETCH(DeviceFont, font);
    QFETCH(bool, nullFont);
    const DeviceFont *f = nullFont ? nullptr : &font;
    std::memset(gfxFrameBuffer, 0x77, 1024);
    QCOMPARE(gfxDrawText(f, 1, 0, 0, " A"), 0);
    QCOMPARE(gfxRenderText(" A", 1, f, 0, 0), 0);
    QCOMPARE(gfxDrawGlyph(f, 0, 0, ' '), 0);
    QCOMPARE(gfxCellText(f, 0, 0, " A"), 0);
    QVERIFY(!gfxFindGlyph(f, ' '));
    QVERIFY(!gfxFindCellGlyph(f, 'A'));
    QVERIFY(frameBuffer() == expectedBytes(0x77, QString()));
    QCOMPARE(gfxDrawText(font3, 1, 0, 0, nullptr), 0);
    QCOMPARE(gfxCellText(font3, 0, 0, nullptr), 0);
}

QTEST_APPLESS_MAIN(tst_Text)
#include "tst_text.moc"
