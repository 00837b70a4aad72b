// The C scanner: what is code, comment or literal, as the compiler reads it.
#include "creader/cscanner.h"
#include "creader/sourcereader.h"
#include "menuview/analysis/menukeywords.h"

#include <QRandomGenerator>

#include <QtTest>

using VelkoMenuView::CScanner;
using VelkoMenuView::Token;

class tst_CScanner : public QObject
{
    Q_OBJECT

private slots:
    void tokens_data();
    void tokens();
    void keywordScanAgreesWithTokens();
};

void tst_CScanner::tokens_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("tokens"); // "kind:text", "!" marks an unterminated literal

    QTest::addRow("identifiers-and-punctuation")
            << u"BEGIN_MENU(Main)"_qs << QStringList {"I:BEGIN_MENU", "P:(", "I:Main", "P:)"};
    QTest::addRow("unicode-identifier") << u"Меню_1 x"_qs << QStringList {"I:Меню_1", "I:x"};
    QTest::addRow("numbers-swallow-letters")
            << u"3END_MENU 0x1F 1e-3 .5"_qs
            << QStringList {"N:3END_MENU", "N:0x1F", "N:1e-3", "N:.5"};
    QTest::addRow("comments-skipped")
            << u"a /* END_MENU */ b // END_MENU\nc"_qs << QStringList {"I:a", "I:b", "I:c"};
    QTest::addRow("line-comment-continued")
            << u"a // x \\\n END_MENU\nb"_qs << QStringList {"I:a", "I:b"};
    QTest::addRow("block-comment-unclosed") << u"a /* b"_qs << QStringList {"I:a"};
    QTest::addRow("comment-markers-in-literal")
            << u"\"/*\" x '//' y"_qs << QStringList {"S:\"/*\"", "I:x", "C:'//'", "I:y"};
    QTest::addRow("escaped-quotes")
            << u"\"a\\\"b\" '\\'' c"_qs << QStringList {"S:\"a\\\"b\"", "C:'\\''", "I:c"};
    QTest::addRow("escaped-backslash-ends-literal")
            << u"\"a\\\\\" b"_qs << QStringList {"S:\"a\\\\\"", "I:b"};
    QTest::addRow("literal-ends-at-line-feed") << u"\"abc\nd"_qs << QStringList {"S!:\"abc", "I:d"};
    QTest::addRow("literal-ends-before-crlf")
            << u"\"abc\r\nd"_qs << QStringList {"S!:\"abc", "I:d"};
    QTest::addRow("literal-spliced") << u"\"a\\\nb\" c"_qs << QStringList {"S:\"a\\\nb\"", "I:c"};
    QTest::addRow("literal-at-text-end") << u"x \"ab"_qs << QStringList {"I:x", "S!:\"ab"};
    // Lines are joined before tokens are cut: one identifier.
    QTest::addRow("splice-inside-identifier") << u"a\\\nb c"_qs << QStringList {"I:a\\\nb", "I:c"};
    // A splice may hold spaces before its line end, inside a literal's prefix too.
    QTest::addRow("splice-inside-prefix")
            << u"u\\ \n8\"x\" L\\\n'y'"_qs << QStringList {"S:u\\ \n8\"x\"", "C:L\\\n'y'"};
}

void tst_CScanner::tokens()
{
    QFETCH(QString, text);
    QFETCH(QStringList, tokens);
    CScanner scanner(text);
    QStringList actual;
    for (Token token = scanner.next(); token.kind != Token::Kind::End; token = scanner.next()) {
        QString kind;
        switch (token.kind) {
        case Token::Kind::Identifier:
            kind = "I";
            break;
        case Token::Kind::String:
            kind = "S";
            break;
        case Token::Kind::Character:
            kind = "C";
            break;
        case Token::Kind::Number:
            kind = "N";
            break;
        case Token::Kind::Punctuation:
            kind = "P";
            break;
        case Token::Kind::End:
            break;
        }
        actual << kind + (token.unterminated ? "!" : "") + ":" + scanner.textOf(token).toString();
    }
    QCOMPARE(actual, tokens);
}

static QString toString(const QList<qsizetype> &offsets)
{
    QStringList words;
    for (const qsizetype offset : offsets)
        words << QString::number(offset);
    return words.join(QLatin1Char(','));
}

void tst_CScanner::keywordScanAgreesWithTokens()
{
    // The quick keyword scan and the token scanner must see the same code:
    // random texts built from the pieces where they could part ways.
    const QStringList pieces {"BEGIN_MENU",
                              "END_MENU",
                              "MENU_ITEM",
                              "END_EDITABLE_MENU",
                              "BEGIN_EDITABLE_MENU",
                              "/*",
                              "*/",
                              "//",
                              "\"",
                              "'",
                              "\\",
                              "\n",
                              "\r\n",
                              " ",
                              "x",
                              "_",
                              "1",
                              ".5e+",
                              "0x",
                              "(",
                              "Ж",
                              "٣",
                              "\U0001F600"};
    QRandomGenerator random(20261207);
    for (int round = 0; round < 2000; ++round) {
        QString text;
        for (int i = int(random.bounded(30)); i > 0; --i)
            text += pieces.at(int(random.bounded(pieces.size())));
        QList<qsizetype> fromTokens;
        CScanner scanner(text);
        for (Token t = scanner.next(); t.kind != Token::Kind::End; t = scanner.next()) {
            if (t.kind == Token::Kind::Identifier
                && VelkoMenuView::menuKeyword(scanner.spelling(t))
                        != VelkoMenuView::MenuKeyword::None)
                fromTokens << t.begin;
        }
        QList<qsizetype> fromScan;
        VelkoMenuView::UnitRecord facts;
        facts.keywordSet = VelkoMenuView::menuKeywords();
        VelkoMenuView::SourceReader scan(text, 0, &facts);
        for (auto hit = scan.nextKeyword();
             VelkoMenuView::keywordOf(hit) != VelkoMenuView::MenuKeyword::None;
             hit = scan.nextKeyword())
            fromScan << hit.begin;
        if (fromScan != fromTokens)
            QFAIL(qPrintable(QStringLiteral("they differ on \"%1\": tokens at %2, scan at %3")
                                     .arg(text, toString(fromTokens), toString(fromScan))));
    }
}

QTEST_APPLESS_MAIN(tst_CScanner)
#include "tst_cscanner.moc"
