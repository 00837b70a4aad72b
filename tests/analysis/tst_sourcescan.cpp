// The backward keyword search the locator relies on must answer exactly as
// QStringView::lastIndexOf, whatever the text: repeats, near misses,
// characters beyond Latin-1, the keyword at either end.
#include "menuview/analysis/sourcescan.h"

#include <QRandomGenerator>
#include <QtTest>

class tst_SourceScan : public QObject
{
    Q_OBJECT

private slots:
    void lastIndexAtOrBefore_data();
    void lastIndexAtOrBefore();
    void lastIndexAtOrBeforeEdges();
};

void tst_SourceScan::lastIndexAtOrBefore_data()
{
    QTest::addColumn<QString>("alphabet");
    QTest::addColumn<QString>("keyword");

    // Small alphabets built from the keyword's own letters give many partial
    // matches, the cases where a skip that is too long would miss one.
    QTest::addRow("end-menu") << QStringLiteral("END_MU \n") << QStringLiteral("END_MENU");
    QTest::addRow("end-editable-menu")
            << QStringLiteral("END_ITABLMU") << QStringLiteral("END_EDITABLE_MENU");
    QTest::addRow("begin-common-prefix") << QStringLiteral("BEGIN_MU") << QStringLiteral("BEGIN_");
    QTest::addRow("repeated-letter") << QStringLiteral("ab") << QStringLiteral("abab");
    QTest::addRow("one-letter-keyword") << QStringLiteral("xyz") << QStringLiteral("y");
    QTest::addRow("beyond-latin1")
            << QStringLiteral("ENDĒŃ_МЕНЮ\u4E2D") << QStringLiteral("END_MENU");
    QTest::addRow("latin1-high-letters")
            << QStringLiteral("ÉNDé_\u00FF") << QStringLiteral("\u00C9ND\u00E9");
}

void tst_SourceScan::lastIndexAtOrBefore()
{
    QFETCH(QString, alphabet);
    QFETCH(QString, keyword);
    const QByteArray latin1 = keyword.toLatin1();
    const QLatin1StringView needle(latin1);
    QRandomGenerator random(20240611);
    for (int round = 0; round < 300; ++round) {
        QString text;
        const int length = int(random.bounded(60));
        while (text.size() < length) {
            if (random.bounded(6) == 0)
                text += keyword.left(int(random.bounded(keyword.size() + 1)));
            else
                text += alphabet.at(int(random.bounded(alphabet.size())));
        }
        for (qsizetype from = -2; from <= text.size(); ++from) {
            const qsizetype expected = from < 0 ? -1 : QStringView(text).lastIndexOf(needle, from);
            const qsizetype actual = ::lastIndexAtOrBefore(text, needle, from);
            if (actual != expected)
                QFAIL(qPrintable(QStringLiteral("text \"%1\" from %2: %3, expected %4")
                                         .arg(text)
                                         .arg(from)
                                         .arg(actual)
                                         .arg(expected)));
        }
    }
}

void tst_SourceScan::lastIndexAtOrBeforeEdges()
{
    const QLatin1StringView keyword("END_MENU");
    QCOMPARE(::lastIndexAtOrBefore(QString(), keyword, 0), -1);
    QCOMPARE(::lastIndexAtOrBefore(u"END_MEN", keyword, 7), -1); // shorter than the keyword
    QCOMPARE(::lastIndexAtOrBefore(u"END_MENU", keyword, 0), 0); // the keyword is the text
    QCOMPARE(::lastIndexAtOrBefore(u"xEND_MENU", keyword, 0), -1); // starts after `from`
    QCOMPARE(::lastIndexAtOrBefore(u"END_MENU END_MENU", keyword, 8), 0);
    QCOMPARE(::lastIndexAtOrBefore(u"END_MENU END_MENU", keyword, 9), 9);
    QCOMPARE(::lastIndexAtOrBefore(u"END_MENU", keyword, -1), -1);
    QCOMPARE(::lastIndexAtOrBefore(u"END_MENU", QLatin1StringView(), 3), -1);
}

QTEST_MAIN(tst_SourceScan)
#include "tst_sourcescan.moc"
