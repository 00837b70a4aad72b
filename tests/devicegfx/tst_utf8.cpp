// The device's UTF-8 decoder: well-formed, malformed and cut-short input, whole
// and as every prefix in a buffer of exactly that size (so a read past the
// terminator trips AddressSanitizer).
#include "devicegfx/utf8.h"

#include <QtTest>

#include <memory>

namespace {

QList<uint32_t> decodeAll(const char *text)
{
    QList<uint32_t> codePoints;
    uint32_t cp = 0;
    while (gfxDecodeUtf8(&text, &cp))
        codePoints << cp;
    return codePoints;
}

QList<uint32_t> decodeExact(const QByteArray &bytes)
{
    std::unique_ptr<char[]> copy(new char[size_t(bytes.size()) + 1]);
    std::memcpy(copy.get(), bytes.constData(), size_t(bytes.size()));
    copy[bytes.size()] = '\0';
    return decodeAll(copy.get());
}

} // namespace

class tst_Utf8 : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void everyPrefixStopsAtTerminator_data() { decode_data(); }
    void everyPrefixStopsAtTerminator();
};

void tst_Utf8::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<uint32_t>>("codePoints");

    QTest::addRow("empty") << QByteArray() << QList<uint32_t>{};
    QTest::addRow("ascii") << QByteArray("Ab~") << QList<uint32_t>{0x41, 0x62, 0x7E};
    QTest::addRow("two-byte") << QByteArray("\xD0\x96") << QList<uint32_t>{0x416};
    QTest::addRow("three-byte") << QByteArray("\xE2\x96\xBA!") << QList<uint32_t>{0x25BA, 0x21};
    QTest::addRow("highest-bmp") << QByteArray("\xEF\xBF\xBF") << QList<uint32_t>{0xFFFF};
    QTest::addRow("four-byte-skipped") << QByteArray("a\xF0\x9F\x98\x80z") << QList<uint32_t>{0x61, 0x7A};
    QTest::addRow("lone-ff") << QByteArray("\xFF" "b") << QList<uint32_t>{0x62};
    QTest::addRow("stray-continuation") << QByteArray("\x80" "a") << QList<uint32_t>{0x61};
    QTest::addRow("continuation-run") << QByteArray("\x80\x80\x80\x80\x80") << QList<uint32_t>{};
    QTest::addRow("lead-then-ascii") << QByteArray("\xC3" "A") << QList<uint32_t>{0x41};
    QTest::addRow("three-byte-cut-by-ascii") << QByteArray("\xE2\x80" "A") << QList<uint32_t>{0x41};
    QTest::addRow("two-byte-cut-at-end") << QByteArray("a\xD0") << QList<uint32_t>{0x61};
    QTest::addRow("three-byte-cut-at-end") << QByteArray("a\xE2\x96") << QList<uint32_t>{0x61};
    QTest::addRow("lead-lead") << QByteArray("\xD0\xD0\x96") << QList<uint32_t>{0x416};
    QTest::addRow("overlong-accepted") << QByteArray("\xC1\x81") << QList<uint32_t>{0x41};
    QTest::addRow("overlong-zero") << QByteArray("\xE0\x80\x80x") << QList<uint32_t>{0, 0x78};
    QTest::addRow("surrogate-accepted") << QByteArray("\xED\xA0\x80") << QList<uint32_t>{0xD800};
    QTest::addRow("five-byte-lead") << QByteArray("\xF8\x88\x80\x80\x80y") << QList<uint32_t>{0x79};
}

void tst_Utf8::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<uint32_t>, codePoints);
    QCOMPARE(decodeExact(bytes), codePoints);
}

void tst_Utf8::everyPrefixStopsAtTerminator()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<uint32_t>, codePoints);
    for (qsizetype n = 0; n <= bytes.size(); ++n) {
        const QList<uint32_t> got = decodeExact(bytes.left(n));
        // A cut can only drop characters, never invent one that was not there.
        QVERIFY2(got.size() <= codePoints.size(), qPrintable(QString::number(n)));
        for (uint32_t cp : got)
            QVERIFY(codePoints.contains(cp));
    }
}

QTEST_APPLESS_MAIN(tst_Utf8)
#include "tst_utf8.moc"
