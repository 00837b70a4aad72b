// Stored integers on the screen against the C library's printf, for every
// length modifier, and the width check agreeing with what the screen shows.
#include "menuview/analysis/itemformat.h"
#include "menuview/checks/widthestimate.h"

#include <QtTest>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const char *const Lengths[] = {"hh", "h", "", "l", "ll", "j", "z", "t"};

// Around every type's limits, and the values the firmware's people type.
const char *const StoredValues[] = {
        "0",
        "-1",
        "+42",
        " 7 ",
        "127",
        "128",
        "-128",
        "-129",
        "255",
        "256",
        "32767",
        "-32768",
        "-32769",
        "65535",
        "65536",
        "2147483647",
        "2147483648",
        "-2147483648",
        "-2147483649",
        "3000000000",
        "4294967295",
        "4294967296",
        "5000000000",
        "9223372036854775807",
        "9223372036854775808",
        "-9223372036854775808",
        "18446744073709551615",
};

// The stored number handed to printf as the C variables S and U would be.
template<typename S, typename U>
QString print(const QByteArray &conversion, unsigned long long bits)
{
    char line[128];
    if (conversion.endsWith('d'))
        std::snprintf(line, sizeof line, conversion.constData(), static_cast<S>(bits));
    else
        std::snprintf(line, sizeof line, conversion.constData(), static_cast<U>(bits));
    return QString::fromLatin1(line);
}

// The line the firmware prints: the stored number as the C variable the
// conversion's length modifier names.
QString printedByC(const QByteArray &conversion, const QByteArray &stored)
{
    const QByteArray digits = stored.trimmed();
    errno = 0;
    const unsigned long long bits = digits.startsWith('-')
            ? static_cast<unsigned long long>(std::strtoll(digits.constData(), nullptr, 10))
            : std::strtoull(digits.constData(), nullptr, 10);
    if (errno != 0)
        qFatal("%s is no 64-bit number", digits.constData());
    const QByteArray length = conversion.mid(1, conversion.size() - 2);
    if (length == "hh")
        return print<signed char, unsigned char>(conversion, bits);
    if (length == "h")
        return print<short, unsigned short>(conversion, bits);
    if (length.isEmpty())
        return print<int, unsigned>(conversion, bits);
    if (length == "l")
        return print<long, unsigned long>(conversion, bits);
    if (length == "ll")
        return print<long long, unsigned long long>(conversion, bits);
    if (length == "j")
        return print<intmax_t, uintmax_t>(conversion, bits);
    if (length == "z")
        return print<ssize_t, size_t>(conversion, bits);
    return print<ptrdiff_t, size_t>(conversion, bits);
}

QString shownLine(const QString &itemText, const QStringList &stored)
{
    MenuDefinition menu;
    menu.itemTexts = {itemText};
    menu.paramValues = {stored};
    formatItems(menu);
    return menu.itemLines.value(0);
}

} // namespace

class tst_IntegerValues : public QObject
{
    Q_OBJECT

private slots:
    void asTheFirmwarePrints_data();
    void asTheFirmwarePrints();
    void notAnInteger_data();
    void notAnInteger();
    void widestAsEstimated_data();
    void widestAsEstimated();
};

void tst_IntegerValues::asTheFirmwarePrints_data()
{
    QTest::addColumn<QByteArray>("conversion");
    QTest::addColumn<QByteArray>("stored");
    for (const char *length : Lengths) {
        for (const char letter : {'d', 'u'}) {
            const QByteArray conversion = QByteArray("%") + length + letter;
            for (const char *stored : StoredValues)
                QTest::addRow("%s:%s", conversion.constData(), stored)
                        << conversion << QByteArray(stored);
        }
    }
}

void tst_IntegerValues::asTheFirmwarePrints()
{
    QFETCH(QByteArray, conversion);
    QFETCH(QByteArray, stored);
    QCOMPARE(shownLine(QString::fromLatin1(conversion), {QString::fromLatin1(stored)}),
             printedByC(conversion, stored));
}

void tst_IntegerValues::notAnInteger_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("line");
    QTest::addRow("letters") << "abc"
                             << "0";
    QTest::addRow("trailing-letters") << "12abc"
                                      << "0";
    QTest::addRow("sign-alone") << "-"
                                << "0";
    QTest::addRow("empty") << ""
                           << "0";
    QTest::addRow("exponent") << "1e3"
                              << "0";
    QTest::addRow("decimal-point") << "2.5"
                                   << "0";
    QTest::addRow("inner-space") << "1 000"
                                 << "0";
    QTest::addRow("two-signs") << "--1"
                               << "0";
    // Wider than 64 bits: the low 64 bits, as a C conversion to unsigned keeps them.
    QTest::addRow("beyond-64-bits") << "99999999999999999999"
                                    << "7766279631452241919";
    QTest::addRow("beyond-64-bits-negative") << "-18446744073709551617"
                                             << "18446744073709551615";
}

void tst_IntegerValues::notAnInteger()
{
    QFETCH(QString, stored);
    QTEST(shownLine(QStringLiteral("%llu"), {stored}), "line");
}

void tst_IntegerValues::widestAsEstimated_data()
{
    QTest::addColumn<QString>("conversion");
    for (const char *length : Lengths) {
        for (const char letter : {'d', 'u'}) {
            const QString conversion
                    = QLatin1Char('%') + QLatin1String(length) + QLatin1Char(letter);
            QTest::addRow("%s", qPrintable(conversion)) << conversion;
        }
    }
}

// check warns of a line that can overflow by the widest value it reckons
// with: that must be the widest value the screen can show, not less.
void tst_IntegerValues::widestAsEstimated()
{
    QFETCH(QString, conversion);
    qsizetype widest = 0;
    for (const char *stored : StoredValues)
        widest = qMax(widest, shownLine(conversion, {QString::fromLatin1(stored)}).size());
    const VelkoMenuView::ItemWidth estimate
            = VelkoMenuView::estimateItemWidth(conversion, {ParamType::Integer, 1}, 10);
    QCOMPARE(estimate.conversions.size(), 1);
    QCOMPARE(estimate.conversions.at(0).widest, qint64(widest));
}

QTEST_APPLESS_MAIN(tst_IntegerValues)
#include "tst_integervalues.moc"
