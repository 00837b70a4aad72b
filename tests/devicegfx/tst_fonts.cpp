// Device fonts: the table's metrics, font 3's records and coverage, both
// lookups over every code point, glyph hygiene, and a specimen snapshot.
#include "screenart.h"
#include "testfont.h"

#include "devicegfx/gfx.h"

#include <QtTest>

#include <set>

namespace {

using Ranges = QList<QPair<uint32_t, uint32_t>>;

std::set<uint32_t> expand(const Ranges &ranges)
{
    std::set<uint32_t> s;
    for (const auto &r : ranges)
        for (uint32_t c = r.first; c <= r.second; ++c)
            s.insert(c);
    return s;
}

const Ranges cyrillic = {{0x401, 0x401}, {0x410, 0x44F}, {0x451, 0x451}};

const Ranges coverage0 = {
    {0x20, 0x25}, {0x27, 0x3F}, {0x41, 0x7E}, {0xB0, 0xB1}, {0xD7, 0xD7}, {0xF7, 0xF7},
    {0x394, 0x394}, {0x2026, 0x2026}, {0x2212, 0x2212}, {0x221A, 0x221A}, {0x2261, 0x2261},
    {0x2264, 0x2265}, {0x25B2, 0x25B2}, {0x25BA, 0x25BA}, {0x25BC, 0x25BC}, {0x25C4, 0x25C4},
    {0x25CF, 0x25CF},
};

const Ranges coverage3Base = {
    {0x20, 0x7E}, {0xA7, 0xA7}, {0xA9, 0xA9}, {0xAB, 0xAB}, {0xAE, 0xAE}, {0xB0, 0xB3},
    {0xB9, 0xB9}, {0xBB, 0xBB}, {0xD7, 0xD7}, {0xF7, 0xF7}, {0x394, 0x394}, {0x3C0, 0x3C0},
    {0x401, 0x401}, {0x410, 0x44F}, {0x451, 0x451}, {0x2014, 0x2014}, {0x2026, 0x2026},
    {0x2070, 0x2070}, {0x2074, 0x207B}, {0x2080, 0x208B}, {0x20AC, 0x20AC}, {0x20BD, 0x20BD},
    {0x2116, 0x2116}, {0x2122, 0x2122}, {0x2190, 0x2195}, {0x2212, 0x2212}, {0x221A, 0x221A},
    {0x221E, 0x221E}, {0x2248, 0x2248}, {0x2260, 0x2261}, {0x2264, 0x2265}, {0x25B2, 0x25B2},
    {0x25BA, 0x25BA}, {0x25BC, 0x25BC}, {0x25C4, 0x25C4}, {0x25CF, 0x25CF},
};

const Ranges coverage11 = {
    {0x20, 0x7E}, {0xA7, 0xA7}, {0xA9, 0xA9}, {0xAB, 0xAB}, {0xAE, 0xAE}, {0xB0, 0xB3},
    {0xBB, 0xBB}, {0xD7, 0xD7}, {0xF7, 0xF7}, {0x394, 0x394}, {0x3C0, 0x3C0}, {0x401, 0x401},
    {0x410, 0x44F}, {0x451, 0x451}, {0x2026, 0x2026}, {0x20AC, 0x20AC}, {0x20BD, 0x20BD},
    {0x2116, 0x2116}, {0x2122, 0x2122}, {0x2190, 0x2195}, {0x2212, 0x2212}, {0x221A, 0x221A},
    {0x221E, 0x221E}, {0x2248, 0x2248}, {0x2260, 0x2261}, {0x2264, 0x2265}, {0x25B2, 0x25B2},
    {0x25BA, 0x25BA}, {0x25BC, 0x25BC}, {0x25C4, 0x25C4}, {0x25CF, 0x25CF},
};

struct FontRow
{
    uint32_t width, height, bytesPerColumn, glyphs, size, minWidth, maxWidth;
    Ranges coverage;
};

// Metrics and coverage of every font of the table, as the device defines them.
const FontRow fontRows[GFX_FONT_COUNT] = {
    {4, 6, 1, 109, 763, 4, 4, coverage0},
    {6, 6, 1, 175, 1266, 3, 6, coverage0 + cyrillic},
    {6, 6, 1, 160, 1162, 2, 6, Ranges{{0x20, 0x23}, {0x25, 0x7E}} + cyrillic},
    {6, 8, 1, 227, 2043, 6, 6, coverage3Base + Ranges{{0xE000, 0xE001}, {0xE01D, 0xE020}}},
    {6, 8, 1, 230, 2070, 6, 6, coverage3Base + Ranges{{0xE000, 0xE008}}},
    {8, 8, 1, 165, 1815, 8, 8, Ranges{{0x20, 0x7E}, {0xB1, 0xB1}} + cyrillic + Ranges{{0xE000, 0xE001}, {0xE003, 0xE003}}},
    {8, 11, 2, 153, 1991, 2, 8,
     Ranges{{0x20, 0x21}, {0x23, 0x24}, {0x27, 0x29}, {0x2B, 0x3B}, {0x3D, 0x3D}, {0x3F, 0x3F}, {0x41, 0x7A},
            {0x7C, 0x7C}, {0x7E, 0x7E}} + cyrillic + Ranges{{0x25BA, 0x25BA}}},
    {8, 14, 2, 163, 3097, 8, 8, Ranges{{0x20, 0x7E}} + cyrillic + Ranges{{0x25BA, 0x25BA}, {0xE000, 0xE000}}},
    {10, 6, 1, 158, 1569, 2, 10, Ranges{{0x20, 0x22}, {0x24, 0x24}, {0x27, 0x7E}} + cyrillic},
    {10, 10, 2, 161, 3703, 10, 10, Ranges{{0x20, 0x7E}} + cyrillic},
    {11, 9, 2, 65, 1337, 5, 11, Ranges{{0x20, 0x20}, {0x22, 0x23}, {0x30, 0x39}, {0x41, 0x5A}, {0x61, 0x7A}}},
    {11, 11, 2, 198, 3256, 2, 11, coverage11},
    {11, 20, 3, 159, 3804, 3, 11, Ranges{{0x20, 0x5F}, {0x61, 0x7B}, {0x7D, 0x7E}} + cyrillic},
    {18, 30, 4, 95, 6397, 6, 18, Ranges{{0x20, 0x7E}}},
};

// The 6 x 8 fonts keep their bottom row for what reaches below the baseline.
const Ranges belowBaseline6x8 = {
    {',', ','}, {';', ';'}, {'_', '_'}, {'g', 'g'}, {'j', 'j'}, {'p', 'q'}, {'y', 'y'},
    {0x414, 0x414}, {0x426, 0x426}, {0x429, 0x429},   // Д Ц Щ
    {0x434, 0x434}, {0x440, 0x440}, {0x443, 0x444},   // д р у ф
    {0x446, 0x446}, {0x449, 0x449},                   // ц щ
    {0x2080, 0x2089}, {0x2264, 0x2265},
};

// Signs drawn across the whole cell, spacing column included.
const std::set<uint32_t> fullWidth = {0xA9, 0xAE, 0x2014, 0x2116, 0x2122, 0x429, 0x449};

// Letters that are the same shape in Latin and Cyrillic print.
const QList<QPair<uint32_t, uint32_t>> lookAlikes = {
    {'A', 0x410}, {'B', 0x412}, {'C', 0x421}, {'E', 0x415}, {'H', 0x41D}, {'K', 0x41A},
    {'M', 0x41C}, {'O', 0x41E}, {'P', 0x420}, {'T', 0x422}, {'X', 0x425}, {'a', 0x430},
    {'c', 0x441}, {'e', 0x435}, {'o', 0x43E}, {'p', 0x440}, {'x', 0x445}, {'y', 0x443},
};

struct Record
{
    uint32_t codePoint;
    QByteArray bytes; // whole record, header included
};

QList<Record> recordsOf(const DeviceFont &font)
{
    QList<Record> list;
    const uint32_t bpc = gfxBytesPerColumn(&font);
    uint32_t offset = 0;
    while (offset + 3 <= font.size) {
        const uint8_t *r = font.glyphs + offset;
        const uint32_t length = 3 + r[2] * bpc;
        list << Record{uint32_t(r[0]) << 8 | r[1],
                       QByteArray(reinterpret_cast<const char *>(r), qsizetype(qMin(length, font.size - offset)))};
        offset += length;
    }
    return list;
}

QByteArray hexBytes(const char *hex)
{
    return QByteArray::fromHex(hex);
}

} // namespace

class tst_Fonts : public QObject
{
    Q_OBJECT

private slots:
    void currentFontIsFont3();
    void fonts_data();
    void metrics_data() { fonts_data(); }
    void metrics();
    void records_data() { fonts_data(); }
    void records();
    void coverage_data() { fonts_data(); }
    void coverage();
    void glyphHygiene_data() { fonts_data(); }
    void glyphHygiene();
    void lookupsFindExactlyTheCoverage_data() { fonts_data(); }
    void lookupsFindExactlyTheCoverage();
    void tellingRecords_data();
    void tellingRecords();
    void scanningLookupStepsByEachWidth();
    void indexedLookupOverTableSizes();
    void drawsAtUnalignedPositions_data() { fonts_data(); }
    void drawsAtUnalignedPositions();
    void specimens_data() { fonts_data(); }
    void specimens();
    void font3SampleScreen();
};

void tst_Fonts::currentFontIsFont3()
{
    QCOMPARE(gfxFont, &gfxFonts[3]);
}

void tst_Fonts::fonts_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < GFX_FONT_COUNT; ++i)
        QTest::addRow("font-%d", i) << i;
}

void tst_Fonts::metrics()
{
    QFETCH(int, index);
    const DeviceFont &font = gfxFonts[index];
    const FontRow &row = fontRows[index];
    QCOMPARE(font.width, row.width);
    QCOMPARE(font.height, row.height);
    QCOMPARE(gfxBytesPerColumn(&font), row.bytesPerColumn);
    QCOMPARE(font.size, row.size);
    QVERIFY(font.glyphs);
}

void tst_Fonts::records()
{
    QFETCH(int, index);
    const DeviceFont &font = gfxFonts[index];
    const FontRow &row = fontRows[index];
    const QList<Record> list = recordsOf(font);
    QCOMPARE(uint32_t(list.size()), row.glyphs);
    QCOMPARE(list.first().codePoint, 0x20u);
    uint32_t minWidth = UINT32_MAX, maxWidth = 0, total = 0;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const uint32_t w = uint8_t(list[i].bytes[2]);
        QCOMPARE(uint32_t(list[i].bytes.size()), 3 + w * row.bytesPerColumn); // no record cut short
        minWidth = qMin(minWidth, w);
        maxWidth = qMax(maxWidth, w);
        total += uint32_t(list[i].bytes.size());
        if (i > 0)
            QVERIFY2(list[i].codePoint > list[i - 1].codePoint, qPrintable(QString::number(list[i].codePoint, 16)));
    }
    QCOMPARE(total, row.size);
    QCOMPARE(minWidth, row.minWidth);
    QCOMPARE(maxWidth, row.maxWidth);
}

void tst_Fonts::coverage()
{
    QFETCH(int, index);
    std::set<uint32_t> actual;
    for (const Record &r : recordsOf(gfxFonts[index]))
        actual.insert(r.codePoint);
    const std::set<uint32_t> expected = expand(fontRows[index].coverage);
    QStringList missing, extra;
    for (uint32_t c : expected)
        if (!actual.count(c))
            missing << QString::number(c, 16);
    for (uint32_t c : actual)
        if (!expected.count(c))
            extra << QString::number(c, 16);
    QVERIFY2(missing.isEmpty() && extra.isEmpty(),
             qPrintable(QStringLiteral("missing: %1; extra: %2").arg(missing.join(' '), extra.join(' '))));
}

void tst_Fonts::glyphHygiene()
{
    QFETCH(int, index);
    const DeviceFont &font = gfxFonts[index];
    const uint32_t bpc = gfxBytesPerColumn(&font);
    const uint8_t spareMask = uint8_t(0xFF << (font.height - 8 * (bpc - 1)) & 0xFF);
    const bool sixByEight = font.width == 6 && font.height == 8;
    const std::set<uint32_t> belowBaseline = expand(belowBaseline6x8);
    const std::set<QPair<uint32_t, uint32_t>> allowedTwins(lookAlikes.cbegin(), lookAlikes.cend());

    QHash<QByteArray, uint32_t> seen;
    for (const Record &r : recordsOf(font)) {
        const QByteArray columns = r.bytes.mid(3);
        const QString name = QStringLiteral("U+%1").arg(r.codePoint, 4, 16, QLatin1Char('0'));
        const bool blank = columns.count('\0') == columns.size();
        // Only the space is blank; in the tile font it is the bare tile.
        QVERIFY2(blank ? r.codePoint == ' ' : r.codePoint != ' ' || index == 9, qPrintable(name + " blank"));
        bool firstColumnLit = false;
        for (uint32_t b = 0; b < bpc; ++b)
            firstColumnLit |= columns[b] != '\0';
        QVERIFY2(!firstColumnLit || fullWidth.count(r.codePoint), qPrintable(name + " fills the spacing column"));
        for (qsizetype c = bpc - 1; c < columns.size(); c += bpc)
            QVERIFY2((uint8_t(columns[c]) & spareMask) == 0, qPrintable(name + " sets a spare bit"));
        if (sixByEight) {
            bool usesBottomRow = false;
            for (char c : columns)
                usesBottomRow |= (uint8_t(c) & 0x80) != 0;
            QVERIFY2(!usesBottomRow || belowBaseline.count(r.codePoint), qPrintable(name + " reaches the bottom row"));
        }
        if (seen.contains(r.bytes.mid(2))) {
            const QPair<uint32_t, uint32_t> pair(seen.value(r.bytes.mid(2)), r.codePoint);
            QVERIFY2(allowedTwins.count(pair),
                     qPrintable(QStringLiteral("U+%1 and %2 are identical").arg(pair.first, 4, 16, QLatin1Char('0')).arg(name)));
        }
        seen.insert(r.bytes.mid(2), r.codePoint);
    }
}

void tst_Fonts::lookupsFindExactlyTheCoverage()
{
    QFETCH(int, index);
    const DeviceFont *font = &gfxFonts[index];
    const bool indexed = font->height <= 8 && fontRows[index].minWidth == font->width; // fixed stride
    const std::set<uint32_t> coverage = expand(fontRows[index].coverage);
    // Beyond 16 bits too: a lookup that compared only the low bytes would find U+10041.
    for (uint32_t c = 0; c <= 0x2FFFF; ++c) {
        const bool covered = coverage.count(c) != 0;
        const uint8_t *scanned = gfxFindGlyph(font, c);
        if (bool(scanned) != covered || (covered && (uint32_t(scanned[0]) << 8 | scanned[1]) != c))
            QFAIL(qPrintable(QStringLiteral("scanning U+%1").arg(c, 4, 16, QLatin1Char('0'))));
        if (indexed && gfxFindCellGlyph(font, c) != scanned)
            QFAIL(qPrintable(QStringLiteral("indexed U+%1").arg(c, 4, 16, QLatin1Char('0'))));
    }
    for (uint32_t c : {0xFFFFFFFFu, 0x80000020u, 0x100020u}) {
        QVERIFY(!gfxFindGlyph(font, c));
        QVERIFY(!gfxFindCellGlyph(font, c));
    }
}

void tst_Fonts::tellingRecords_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<uint32_t>("codePoint");
    QTest::addColumn<QByteArray>("record");

    QTest::addRow("font3-space") << 3 << 0x20u << hexBytes("002006000000000000");
    QTest::addRow("font3-zero-with-dot") << 3 << 0x30u << hexBytes("003006003E4149413E");
    QTest::addRow("font3-A") << 3 << 0x41u << hexBytes("004106007E1111117E");
    QTest::addRow("font3-cyrillic-zhe") << 3 << 0x416u << hexBytes("0416060077087F0877");
    QTest::addRow("font3-pointer-right") << 3 << 0x25BAu << hexBytes("25BA0600007F3E1C08");
    QTest::addRow("font6-A") << 6 << 0x41u << hexBytes("0041050000F00148004800F001");
}

void tst_Fonts::tellingRecords()
{
    QFETCH(int, index);
    QFETCH(uint32_t, codePoint);
    QFETCH(QByteArray, record);
    const uint8_t *r = gfxFindGlyph(&gfxFonts[index], codePoint);
    QVERIFY(r);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(r), record.size()).toHex(' '), record.toHex(' '));
    if (index == 3)
        QCOMPARE(gfxFindCellGlyph(&gfxFonts[index], codePoint), r);
}

void tst_Fonts::scanningLookupStepsByEachWidth()
{
    // Two bytes per column and a 3-column space before wider glyphs: stepping
    // by the cell width instead of each record's own width would miss them.
    const QList<TestGlyph> glyphs = {
        {0x20, QStringList(11, QStringLiteral("..."))},
        {0x21, QStringList(11, QStringLiteral(".#"))},
        {0x41, QStringList(11, QStringLiteral(".####.#."))},
        {0x0416, QStringList(11, QStringLiteral("#"))},
    };
    const TestFont font(8, 11, glyphs);
    QCOMPARE(font.font()->size, uint32_t(9 + 7 + 19 + 5));
    QCOMPARE(gfxFindGlyph(font.font(), 0x21), font.font()->glyphs + 9);
    for (const TestGlyph &g : glyphs) {
        const uint8_t *r = gfxFindGlyph(font.font(), g.codePoint);
        QVERIFY(r);
        QCOMPARE(int(r[2]), int(g.rows.first().size()));
    }
    for (uint32_t missing : {0x0u, 0x22u, 0x40u, 0x42u, 0x415u, 0x417u, 0xFFFFu})
        QVERIFY(!gfxFindGlyph(font.font(), missing));
}

void tst_Fonts::indexedLookupOverTableSizes()
{
    // Keys with gaps, so that misses fall between, below and above records.
    for (int n = 1; n <= 64; ++n) {
        QList<TestGlyph> glyphs;
        for (int i = 0; i < n; ++i)
            glyphs << TestGlyph{uint32_t(0x20 + 3 * i + (i > n / 2 ? 0x100 : 0)), QStringList(8, QStringLiteral("#.#"))};
        const TestFont font(3, 8, glyphs);
        std::set<uint32_t> keys;
        for (const TestGlyph &g : glyphs)
            keys.insert(g.codePoint);
        for (uint32_t c = 0; c < 0x300; ++c) {
            const uint8_t *r = gfxFindCellGlyph(font.font(), c);
            if (bool(r) != bool(keys.count(c)) || (r && (uint32_t(r[0]) << 8 | r[1]) != c))
                QFAIL(qPrintable(QStringLiteral("%1 records: U+%2").arg(n).arg(c, 4, 16, QLatin1Char('0'))));
        }
    }
}

void tst_Fonts::drawsAtUnalignedPositions()
{
    // Every glyph of the font, through the general path at positions that
    // straddle pages and the screen's edges, against the per-pixel model.
    QFETCH(int, index);
    const DeviceFont *font = &gfxFonts[index];
    const QList<int> xs = {-5, 0, 3, 127 - int(font->width) / 2, 125};
    const QList<int> ys = {-int(font->height) + 2, -3, 0, 5, 11, 61};
    ScreenArt::Buffer background;
    for (size_t i = 0; i < background.size(); ++i)
        background[i] = uint8_t(i * 37 + 11);
    for (const Record &r : recordsOf(*font)) {
        TestGlyph glyph{r.codePoint, {}};
        const uint32_t w = uint8_t(r.bytes[2]);
        const uint32_t bpc = gfxBytesPerColumn(font);
        for (uint32_t row = 0; row < font->height; ++row) {
            QString line;
            for (uint32_t c = 0; c < w; ++c)
                line += uint8_t(r.bytes[int(3 + c * bpc + row / 8)]) >> (row % 8) & 1 ? '#' : '.';
            glyph.rows << line;
        }
        for (int x : xs) {
            for (int y : ys) {
                ScreenArt::Buffer expected = background;
                modelGlyph(expected.data(), glyph, font->height, x, y);
                std::memcpy(gfxFrameBuffer, background.data(), 1024);
                QCOMPARE(gfxDrawGlyph(font, x, y, r.codePoint), int32_t(w));
                if (ScreenArt::frameBuffer() != expected)
                    QFAIL(qPrintable(QStringLiteral("U+%1 at (%2, %3)\n%4").arg(r.codePoint, 4, 16, QLatin1Char('0'))
                                             .arg(x).arg(y).arg(ScreenArt::describeDifference(expected, ScreenArt::frameBuffer()))));
            }
        }
    }
}

void tst_Fonts::specimens()
{
    // Every glyph, drawn by the library in lines as wide as the screen, under
    // the code point of each line's first glyph.
    QFETCH(int, index);
    const DeviceFont *font = &gfxFonts[index];
    const QList<Record> list = recordsOf(*font);
    QString art = QStringLiteral("Font %1: %2 x %3, %4 glyphs\n\n").arg(index).arg(font->width).arg(font->height).arg(list.size());
    for (qsizetype first = 0; first < list.size();) {
        QByteArray text;
        int width = 0;
        qsizetype last = first;
        while (last < list.size() && width + uint8_t(list[last].bytes[2]) <= 128) {
            width += uint8_t(list[last].bytes[2]);
            text += QString(QChar(char16_t(list[last].codePoint))).toUtf8();
            ++last;
        }
        gfxClear();
        QCOMPARE(gfxDrawText(font, 1 | 1 << 2, 0, 0, text.constData()), width);
        art += QStringLiteral("U+%1 .. U+%2\n")
                       .arg(list[first].codePoint, 4, 16, QLatin1Char('0'))
                       .arg(list[last - 1].codePoint, 4, 16, QLatin1Char('0'))
                       .toUpper()
                + ScreenArt::capture(0, 0, width, int(font->height)) + QLatin1Char('\n');
        first = last;
    }
    QString message;
    QVERIFY2(ScreenArt::matchesSnapshot(QStringLiteral("docs/fonts/font%1.txt").arg(index, 2, 10, QLatin1Char('0')), art, &message),
             qPrintable(message));
}

void tst_Fonts::font3SampleScreen()
{
    const char *sample[] = {
        "Меню: Громкость 75%", "Яркость \xE2\x96\xB2\xE2\x96\xBC \xE2\x96\xBA" "Выход",
        "The quick brown fox", "jumps over 13 dogs.", "Съешь же ещё этих", "мягких булок, Ёж!",
        "H\xE2\x82\x82O x\xC2\xB2 5\xE2\x82\xAC 99\xE2\x82\xBD \xE2\x84\x96" "1",
        "\xC2\xB1\xC3\x97\xC3\xB7\xC2\xB0 \xE2\x89\x88\xE2\x89\xA0\xE2\x89\xA4\xE2\x89\xA5\xE2\x88\x9E\xE2\x88\x9A\xCF\x80\xCE\x94 \xEE\x80\x80\xEE\x80\x81\xEE\x80\x9D\xEE\x80\x9E\xEE\x80\x9F\xEE\x80\xA0",
    };
    gfxClear();
    for (int row = 0; row < 8; ++row)
        gfxPrint(0, row, "%s", sample[row]);
    const QString art = ScreenArt::capture(0, 0, 128, 64);

    QString message;
    QVERIFY2(ScreenArt::matchesSnapshot(QStringLiteral("docs/fonts/font03-screen.txt"), art, &message),
             qPrintable(message));
}

QTEST_APPLESS_MAIN(tst_Fonts)
#include "tst_fonts.moc"
