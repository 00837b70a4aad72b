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

const Ranges coverage3 = {
    {0x20, 0x7E}, {0xA7, 0xA7}, {0xA9, 0xA9}, {0xAB, 0xAB}, {0xAE, 0xAE}, {0xB0, 0xB3},
    {0xB9, 0xB9}, {0xBB, 0xBB}, {0xD7, 0xD7}, {0xF7, 0xF7}, {0x394, 0x394}, {0x3C0, 0x3C0},
    {0x401, 0x401}, {0x410, 0x44F}, {0x451, 0x451}, {0x2014, 0x2014}, {0x2026, 0x2026},
    {0x2070, 0x2070}, {0x2074, 0x207B}, {0x2080, 0x208B}, {0x20AC, 0x20AC}, {0x20BD, 0x20BD},
    {0x2116, 0x2116}, {0x2122, 0x2122}, {0x2190, 0x2195}, {0x2212, 0x2212}, {0x221A, 0x221A},
    {0x221E, 0x221E}, {0x2248, 0x2248}, {0x2260, 0x2261}, {0x2264, 0x2265}, {0x25B2, 0x25B2},
    {0x25BA, 0x25BA}, {0x25BC, 0x25BC}, {0x25C4, 0x25C4}, {0x25CF, 0x25CF}, {0xE000, 0xE001},
    {0xE01D, 0xE020},
};

// Glyphs that reach into the bottom row: descenders and the like.
const Ranges belowBaseline3 = {
    {',', ','}, {';', ';'}, {'_', '_'}, {'g', 'g'}, {'j', 'j'}, {'p', 'q'}, {'y', 'y'},
    {0x414, 0x414}, {0x426, 0x426}, {0x429, 0x429},   // Д Ц Щ
    {0x434, 0x434}, {0x440, 0x440}, {0x443, 0x444},   // д р у ф
    {0x446, 0x446}, {0x449, 0x449},                   // ц щ
    {0x2080, 0x2089}, {0x2264, 0x2265},
};

// Signs drawn across the whole cell, spacing column included.
const std::set<uint32_t> fullWidth3 = {0xA9, 0xAE, 0x2014, 0x2116, 0x2122};

// Letters that are the same shape in Latin and Cyrillic print.
const QList<QPair<uint32_t, uint32_t>> lookAlikes3 = {
    {'A', 0x410}, {'B', 0x412}, {'C', 0x421}, {'E', 0x415}, {'H', 0x41D}, {'K', 0x41A},
    {'M', 0x41C}, {'O', 0x41E}, {'P', 0x420}, {'T', 0x422}, {'X', 0x425}, {'a', 0x430},
    {'c', 0x441}, {'e', 0x435}, {'o', 0x43E}, {'p', 0x440}, {'x', 0x445}, {'y', 0x443},
};

struct Record
{
    uint32_t codePoint;
    QByteArray bytes; // whole record, header included
};

QList<Record> records(const DeviceFont &font)
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
    void tableMetrics_data();
    void tableMetrics();
    void currentFontIsFont3();
    void font3Records();
    void font3Coverage();
    void font3TellingRecords_data();
    void font3TellingRecords();
    void font3GlyphHygiene();
    void lookupsFindExactlyTheCoverage();
    void scanningLookupStepsByEachWidth();
    void indexedLookupOverTableSizes();
    void font3Specimen();
};

void tst_Fonts::tableMetrics_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    const int metrics[14][2] = {{4, 6},  {6, 6},   {6, 6},   {6, 8},  {6, 8},   {8, 8},   {8, 11},
                                {8, 14}, {10, 6}, {10, 10}, {11, 9}, {11, 11}, {11, 20}, {18, 30}};
    for (int i = 0; i < 14; ++i)
        QTest::addRow("font-%d", i) << i << metrics[i][0] << metrics[i][1];
}

void tst_Fonts::tableMetrics()
{
    QFETCH(int, index);
    QFETCH(int, width);
    QFETCH(int, height);
    const DeviceFont &font = gfxFonts[index];
    QCOMPARE(int(font.width), width);
    QCOMPARE(int(font.height), height);
    QCOMPARE(font.glyphs == nullptr, font.size == 0);
}

void tst_Fonts::currentFontIsFont3()
{
    QCOMPARE(gfxFont, &gfxFonts[3]);
}

void tst_Fonts::font3Records()
{
    const DeviceFont &font = gfxFonts[3];
    QCOMPARE(font.size, 2043u);
    const QList<Record> list = records(font);
    QCOMPARE(list.size(), 227);
    QCOMPARE(list.first().codePoint, 0x20u);
    for (qsizetype i = 0; i < list.size(); ++i) {
        QCOMPARE(list[i].bytes.size(), 9);
        QCOMPARE(int(uint8_t(list[i].bytes[2])), 6);
        if (i > 0)
            QVERIFY2(list[i].codePoint > list[i - 1].codePoint, qPrintable(QString::number(list[i].codePoint, 16)));
    }
}

void tst_Fonts::font3Coverage()
{
    std::set<uint32_t> actual;
    for (const Record &r : records(gfxFonts[3]))
        actual.insert(r.codePoint);
    const std::set<uint32_t> expected = expand(coverage3);
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

void tst_Fonts::font3TellingRecords_data()
{
    QTest::addColumn<uint32_t>("codePoint");
    QTest::addColumn<QByteArray>("record");

    QTest::addRow("space") << 0x20u << hexBytes("002006000000000000");
    QTest::addRow("zero-with-dot") << 0x30u << hexBytes("003006003E4149413E");
    QTest::addRow("A") << 0x41u << hexBytes("004106007E1111117E");
    QTest::addRow("cyrillic-zhe") << 0x416u << hexBytes("0416060077087F0877");
    QTest::addRow("pointer-right") << 0x25BAu << hexBytes("25BA0600007F3E1C08");
}

void tst_Fonts::font3TellingRecords()
{
    QFETCH(uint32_t, codePoint);
    QFETCH(QByteArray, record);
    for (const uint8_t *r : {gfxFindGlyph(&gfxFonts[3], codePoint), gfxFindCellGlyph(&gfxFonts[3], codePoint)}) {
        QVERIFY(r);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(r), 9).toHex(' '), record.toHex(' '));
    }
}

void tst_Fonts::font3GlyphHygiene()
{
    const std::set<uint32_t> belowBaseline = expand(belowBaseline3);
    std::set<QPair<uint32_t, uint32_t>> lookAlikes;
    for (const auto &pair : lookAlikes3)
        lookAlikes.insert(pair);

    QHash<QByteArray, uint32_t> seen;
    for (const Record &r : records(gfxFonts[3])) {
        const QByteArray columns = r.bytes.mid(3);
        const QString name = QStringLiteral("U+%1").arg(r.codePoint, 4, 16, QLatin1Char('0'));
        const bool blank = columns.count('\0') == columns.size();
        QVERIFY2(blank == (r.codePoint == ' '), qPrintable(name + " blank"));
        bool usesBottomRow = false;
        for (char c : columns)
            usesBottomRow |= (uint8_t(c) & 0x80) != 0;
        QVERIFY2(usesBottomRow == false || belowBaseline.count(r.codePoint), qPrintable(name + " reaches the bottom row"));
        QVERIFY2(columns[0] == '\0' || fullWidth3.count(r.codePoint), qPrintable(name + " fills the spacing column"));
        if (seen.contains(columns)) {
            const QPair<uint32_t, uint32_t> pair(seen.value(columns), r.codePoint);
            QVERIFY2(lookAlikes.count(pair),
                     qPrintable(QStringLiteral("U+%1 and %2 are identical").arg(pair.first, 4, 16, QLatin1Char('0')).arg(name)));
        }
        seen.insert(columns, r.codePoint);
    }
}

void tst_Fonts::lookupsFindExactlyTheCoverage()
{
    const DeviceFont *font = &gfxFonts[3];
    const std::set<uint32_t> coverage = expand(coverage3);
    // Beyond 16 bits too: a lookup that compared only the low bytes would find U+10041.
    for (uint32_t c = 0; c <= 0x2FFFF; ++c) {
        const bool covered = coverage.count(c) != 0;
        const uint8_t *scanned = gfxFindGlyph(font, c);
        const uint8_t *indexed = gfxFindCellGlyph(font, c);
        if (bool(scanned) != covered || bool(indexed) != covered || scanned != indexed)
            QFAIL(qPrintable(QStringLiteral("U+%1: covered %2, scanning %3, indexed %4")
                                     .arg(c, 4, 16, QLatin1Char('0')).arg(covered).arg(bool(scanned)).arg(bool(indexed))));
        if (covered && (uint32_t(scanned[0]) << 8 | scanned[1]) != c)
            QFAIL("wrong record");
    }
    for (uint32_t c : {0xFFFFFFFFu, 0x80000020u, 0x100020u}) {
        QVERIFY(!gfxFindGlyph(font, c));
        QVERIFY(!gfxFindCellGlyph(font, c));
    }
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

void tst_Fonts::font3Specimen()
{
    QString art;
    const QList<Record> list = records(gfxFonts[3]);
    for (qsizetype first = 0; first < list.size(); first += 16) {
        gfxClear();
        QStringList names;
        QByteArray text;
        for (qsizetype i = first; i < qMin(first + 16, list.size()); ++i) {
            names << QString::number(list[i].codePoint, 16).toUpper().rightJustified(4, QLatin1Char('0'));
            text += QString(QChar(char16_t(list[i].codePoint))).toUtf8();
        }
        QCOMPARE(gfxCellText(&gfxFonts[3], 0, 0, text.constData()), int(6 * names.size()));
        art += QStringLiteral("U+%1 .. U+%2\n").arg(names.first(), names.last())
                + ScreenArt::capture(0, 0, 6 * int(names.size()), 8) + QLatin1Char('\n');
    }

    const char *sample[] = {
        "Меню: Громкость 75%", "Яркость \xE2\x96\xB2\xE2\x96\xBC \xE2\x96\xBA" "Выход",
        "The quick brown fox", "jumps over 13 dogs.", "Съешь же ещё этих", "мягких булок, Ёж!",
        "H\xE2\x82\x82O x\xC2\xB2 5\xE2\x82\xAC 99\xE2\x82\xBD \xE2\x84\x96" "1",
        "\xC2\xB1\xC3\x97\xC3\xB7\xC2\xB0 \xE2\x89\x88\xE2\x89\xA0\xE2\x89\xA4\xE2\x89\xA5\xE2\x88\x9E\xE2\x88\x9A\xCF\x80\xCE\x94 \xEE\x80\x80\xEE\x80\x81\xEE\x80\x9D\xEE\x80\x9E\xEE\x80\x9F\xEE\x80\xA0",
    };
    gfxClear();
    for (int row = 0; row < 8; ++row)
        gfxPrint(0, row, "%s", sample[row]);
    art += QStringLiteral("Sample screen\n") + ScreenArt::capture(0, 0, 128, 64);

    QString message;
    QVERIFY2(ScreenArt::matchesSnapshot(QStringLiteral("docs/specimens/font03.txt"), art, &message),
             qPrintable(message));
}

QTEST_APPLESS_MAIN(tst_Fonts)
#include "tst_fonts.moc"
