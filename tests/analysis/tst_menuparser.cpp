// Reading menu definitions from C source: keywords, names, titles, comments,
// item arguments, literals, constants and escapes.
#include "menuview/analysis/menublocks.h"
#include "menuview/analysis/menukeywords.h"
#include "menuview/analysis/menulocator.h"
#include "menuview/analysis/menuparser.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using VelkoMenuView::ItemPosition;
using VelkoMenuView::MenuParse;
using VelkoMenuView::ParseError;
using VelkoMenuView::parseMenuAt;

class tst_MenuParser : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void errors_data();
    void errors();
    void positions_data();
    void positions();
    void compilerReading_data();
    void compilerReading();
    void itemTextsOfKnownSourcesUnchanged();
    void decode_data();
    void decode();
};

static MenuDefinition menuFrom(const QString &source, const QString &preamble = QString())
{
    MenuDefinition menu;
    menu.source = source;
    menu.preamble = preamble;
    return menu;
}

void tst_MenuParser::parse_data()
{
    QTest::addColumn<QString>("preamble");
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("items");

    const QString end = QStringLiteral("\nEND_MENU(Main, \"Main menu\")\n");

    QTest::addRow("plain")
            << QString()
            << u"BEGIN_MENU(Main)\n  MENU_ITEM(\"Start\", start)\n  MENU_ITEM(\"Stop\", stop)\n"_qs
                    + end
            << true << "Main"
            << "Main menu" << QStringList {"Start", "Stop"};
    QTest::addRow("editable")
            << QString()
            << u"BEGIN_EDITABLE_MENU( Setup )\nMENU_ITEM(\"A\")\nEND_EDITABLE_MENU( Setup , \"Set\")"_qs
            << true << "Setup"
            << "Set" << QStringList {"A"};
    QTest::addRow("no-items") << QString() << u"BEGIN_MENU(Main)"_qs + end << true << "Main"
                              << "Main menu" << QStringList();
    QTest::addRow("text-before-keyword")
            << QString() << u"int x; BEGIN_MENU(Main) MENU_ITEM(\"A\")"_qs + end << true << "Main"
            << "Main menu" << QStringList {"A"};
    QTest::addRow("other-begin-words-before-keyword")
            << QString()
            << u"BEGIN_CRITICAL(); BEGIN_ BEGIN_EDITABLE BEGIN_EDITABLE_MENU(Main) MENU_ITEM(\"A\")"_qs
                    + u"\nEND_EDITABLE_MENU(Main, \"E\")"_qs
            << true << "Main"
            << "E" << QStringList {"A"};
    QTest::addRow("first-keyword-wins-over-later-other-kind")
            << QString()
            << u"BEGIN_MENU(Main) MENU_ITEM(\"A\")"_qs + end
                    + u"BEGIN_EDITABLE_MENU(Main) MENU_ITEM(\"B\") END_EDITABLE_MENU(Main, \"E\")"_qs
            << true << "Main"
            << "Main menu" << QStringList {"A"};
    // Keywords are whole identifiers.
    QTest::addRow("longer-identifier-is-no-closing-keyword")
            << QString() << u"BEGIN_MENU(Main) MENU_ITEM(\"A\")\nEND_MENU_ITEM(Main, \"T\")"_qs
            << false << ""
            << "" << QStringList();
    QTest::addRow("closing-keyword-with-suffix-skipped")
            << QString() << u"BEGIN_MENU(Main) MENU_ITEM(\"A\") END_MENUQ(Main, \"Q\")"_qs + end
            << true << "Main"
            << "Main menu" << QStringList {"A"};
    QTest::addRow("helper-named-like-opening-keyword")
            << QString()
            << u"BEGIN_MENU(Main) MY_BEGIN_MENU_HELPER(x) MENU_ITEM(\"A\") MY_MENU_ITEMS"_qs + end
            << true << "Main"
            << "Main menu" << QStringList {"A"};
    QTest::addRow("keywords-in-literals-skipped")
            << QString()
            << u"BEGIN_MENU(Main) log(\"END_MENU(Main, x) MENU_ITEM(\") MENU_ITEM(\"A\")"_qs + end
            << true << "Main"
            << "Main menu" << QStringList {"A"};
    QTest::addRow("items-after-closing-keyword-ignored")
            << QString() << u"BEGIN_MENU(Main) MENU_ITEM(\"A\")"_qs + end + u"MENU_ITEM(\"B\")"_qs
            << true << "Main"
            << "Main menu" << QStringList {"A"};

    QTest::addRow("name-mismatch")
            << QString() << u"BEGIN_MENU(Main) MENU_ITEM(\"A\") END_MENU(Other, \"T\")"_qs << false
            << ""
            << "" << QStringList();
    QTest::addRow("plain-closed-as-editable")
            << QString() << u"BEGIN_MENU(Main) END_EDITABLE_MENU(Main, \"T\")"_qs << false << ""
            << "" << QStringList();
    QTest::addRow("editable-closed-as-plain")
            << QString() << u"BEGIN_EDITABLE_MENU(Main) END_MENU(Main, \"T\")"_qs << false << ""
            << "" << QStringList();

    QTest::addRow("title-adjacent-literals")
            << QString() << u"BEGIN_MENU(Main) END_MENU(Main, \"Main\" \"menu\")"_qs << true
            << "Main"
            << "Mainmenu" << QStringList();
    QTest::addRow("title-escapes-decoded")
            << QString() << u"BEGIN_MENU(Main) END_MENU(Main, \"Q\\\"t\\x41\\n\")"_qs << true
            << "Main"
            << "Q\"tA" << QStringList();
    QTest::addRow("title-constant") << u"#define TITLE_A \"Alpha\"\n"_qs
                                    << u"BEGIN_MENU(A) END_MENU(A, TITLE_A)"_qs << true << "A"
                                    << "Alpha" << QStringList();
    QTest::addRow("title-unknown-constant-takes-nothing-after")
            << QString() << u"BEGIN_MENU(A) END_MENU(A, TITLE_A) MENU_ITEM(\"later\")"_qs << true
            << "A"
            << "" << QStringList();
    QTest::addRow("title-without-literal")
            << QString() << u"BEGIN_MENU(Main) END_MENU(Main, )"_qs << true << "Main"
            << "" << QStringList();
    QTest::addRow("title-unterminated-is-empty")
            << QString() << u"BEGIN_MENU(Main) END_MENU(Main, \"Ma\" \"in)\n"_qs << true << "Main"
            << "" << QStringList();
    QTest::addRow("title-ends-at-parenthesis")
            << QString() << u"BEGIN_MENU(Main) END_MENU(Main, \"T\") \"later\""_qs << true << "Main"
            << "T" << QStringList();

    QTest::addRow("item-unclosed-fails-after-read-items")
            << QString() << u"BEGIN_MENU(Main) MENU_ITEM(\"A\") MENU_ITEM(\"B\""_qs + end << false
            << "Main"
            << "Main menu" << QStringList {"A"};
    QTest::addRow("item-without-parenthesis-before-end")
            << QString() << u"BEGIN_MENU(Main) MENU_ITEM"_qs + end << false << "Main"
            << "Main menu" << QStringList();
    QTest::addRow("item-constant")
            << u"#define STR_EXIT \"Exit\"\n"_qs
            << u"BEGIN_MENU(Main) MENU_ITEM(STR_EXIT, 0)"_qs + end << true << "Main"
            << "Main menu" << QStringList {"Exit"};
    QTest::addRow("item-unreadable-keeps-its-row")
            << QString()
            << u"BEGIN_MENU(Main) MENU_ITEM(STR_NONE) MENU_ITEM(\"\\xZZ\") MENU_ITEM(\"B\")"_qs
                    + end
            << true << "Main"
            << "Main menu" << QStringList {"", "", "B"};

    // Comments between items.
    QTest::addRow("comment-line-same-line")
            << QString()
            << u"BEGIN_MENU(Main)\n  MENU_ITEM(\"A\") // MENU_ITEM(\"X\")\n  MENU_ITEM(\"B\")"_qs
                    + end
            << true << "Main"
            << "Main menu" << QStringList {"A", "B"};
    QTest::addRow("comment-line-ends-before-unindented-item")
            << QString()
            << u"BEGIN_MENU(Main) // main menu\nMENU_ITEM(\"A\")\nMENU_ITEM(\"B\")"_qs + end << true
            << "Main"
            << "Main menu" << QStringList {"A", "B"};
    QTest::addRow("comment-line-crlf")
            << QString() << u"BEGIN_MENU(Main) // main\r\nMENU_ITEM(\"A\")"_qs + end << true
            << "Main"
            << "Main menu" << QStringList {"A"};
    QTest::addRow("comment-block-one-item")
            << QString() << u"BEGIN_MENU(Main) /* MENU_ITEM(\"X\") */ MENU_ITEM(\"A\")"_qs + end
            << true << "Main"
            << "Main menu" << QStringList {"A"};
    QTest::addRow("comment-block-several-items")
            << QString()
            << u"BEGIN_MENU(Main)\n/*\nMENU_ITEM(\"X\")\nMENU_ITEM(\"Y\")\nMENU_ITEM(\"Z\")\n*/\nMENU_ITEM(\"A\")"_qs
                    + end
            << true << "Main"
            << "Main menu" << QStringList {"A"};
    QTest::addRow("comment-line-then-block")
            << QString()
            << u"BEGIN_MENU(Main) // x /*\nMENU_ITEM(\"A\") /* MENU_ITEM(\"X\") MENU_ITEM(\"Y\") */ MENU_ITEM(\"B\")"_qs
                    + end
            << true << "Main"
            << "Main menu" << QStringList {"A", "B"};
    QTest::addRow("comment-unclosed-hides-closing-keyword")
            << QString() << u"BEGIN_MENU(Main) MENU_ITEM(\"A\") /* MENU_ITEM(\"X\")"_qs + end
            << false << ""
            << "" << QStringList();
    QTest::addRow("closing-keyword-in-comment")
            << QString()
            << u"BEGIN_MENU(Main) /* END_MENU(Main, \"Old\") */ MENU_ITEM(\"A\")"_qs + end << true
            << "Main"
            << "Main menu" << QStringList {"A"};
    QTest::addRow("closing-keyword-in-comment-other-name")
            << QString() << u"BEGIN_MENU(Main) // END_MENU(Old, \"T\")\nMENU_ITEM(\"A\")"_qs + end
            << true << "Main"
            << "Main menu" << QStringList {"A"};

    // Item argument lists.
    QTest::addRow("args-nested-parentheses")
            << QString()
            << u"BEGIN_MENU(Main) MENU_ITEM(\"A\", f(g(1), (2)), 3) MENU_ITEM(\"B\")"_qs + end
            << true << "Main"
            << "Main menu" << QStringList {"A", "B"};
    QTest::addRow("args-comments")
            << QString()
            << u"BEGIN_MENU(Main) MENU_ITEM(\"A\" /* ) */, f // (\n) MENU_ITEM(\"B\")"_qs + end
            << true << "Main"
            << "Main menu" << QStringList {"A", "B"};
    QTest::addRow("args-closing-parenthesis-in-literal")
            << QString() << u"BEGIN_MENU(Main) MENU_ITEM(\"Smile :)\") MENU_ITEM(\"B\")"_qs + end
            << true << "Main"
            << "Main menu" << QStringList {"Smile :)", "B"};
    QTest::addRow("args-opening-parenthesis-in-literal")
            << QString()
            << u"BEGIN_MENU(Main) MENU_ITEM(\"Volume (\", vol) MENU_ITEM(\"B\")"_qs + end << true
            << "Main"
            << "Main menu" << QStringList {"Volume (", "B"};
    QTest::addRow("args-comment-markers-in-literal")
            << QString()
            << u"BEGIN_MENU(Main) MENU_ITEM(\"http://x\") MENU_ITEM(\"a/*b\") MENU_ITEM(\"B\")"_qs
                    + end
            << true << "Main"
            << "Main menu" << QStringList {"http://x", "a/*b", "B"};
    QTest::addRow("args-character-literals")
            << QString()
            << u"BEGIN_MENU(Main) MENU_ITEM(\"A\", '(', '\\'', '\"') MENU_ITEM(\"B\")"_qs + end
            << true << "Main"
            << "Main menu" << QStringList {"A", "B"};
    QTest::addRow("args-escaped-quote-and-parenthesis")
            << QString()
            << u"BEGIN_MENU(Main) MENU_ITEM(\"say \\\")\\\"\") MENU_ITEM(\"B\")"_qs + end << true
            << "Main"
            << "Main menu" << QStringList {"say \")\"", "B"};
    QTest::addRow("args-literal-ends-at-line-feed")
            << QString() << u"BEGIN_MENU(Main) MENU_ITEM(\"A\", 'x)\n) MENU_ITEM(\"B\")"_qs + end
            << true << "Main"
            << "Main menu" << QStringList {"A", "B"};
    QTest::addRow("args-unterminated-literal-fails")
            << QString() << u"BEGIN_MENU(Main) MENU_ITEM(\"A)\nMENU_ITEM(\"B\")"_qs + end << false
            << "Main"
            << "Main menu" << QStringList();
}

void tst_MenuParser::parse()
{
    QFETCH(QString, preamble);
    QFETCH(QString, source);
    MenuDefinition menu = menuFrom(source, preamble);
    // What the formatter and the parameter store own must survive any parse.
    menu.itemLines = QStringList {"line"};
    menu.itemParams = {{ParamType::Real, 2}};
    menu.paramValues = {{"1", "2", "3"}};

    QTEST(parseMenu(menu), "ok");
    QTEST(menu.name, "name");
    QTEST(menu.title, "title");
    QTEST(menu.itemTexts, "items");
    QCOMPARE(menu.itemLines, QStringList {"line"});
    QCOMPARE(menu.itemParams.size(), 1);
    QCOMPARE(menu.itemParams[0].type, ParamType::Real);
    QCOMPARE(menu.itemParams[0].count, 2);
    QCOMPARE(menu.paramValues, (QList<QStringList> {{"1", "2", "3"}}));
}

void tst_MenuParser::errors_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<ParseError>("error");
    QTest::addColumn<qsizetype>("offset");

    QTest::addRow("none") << u"BEGIN_MENU(M) MENU_ITEM(\"A\") END_MENU(M, \"T\")"_qs
                          << ParseError::None << qsizetype(-1);
    QTest::addRow("no-opening-keyword") << u"MENU_ITEM(\"A\") END_MENU(M, \"T\")"_qs
                                        << ParseError::NoOpeningKeyword << qsizetype(-1);
    QTest::addRow("no-closing-keyword") << u"x; BEGIN_MENU(M) MENU_ITEM(\"A\")"_qs
                                        << ParseError::NoClosingKeyword << qsizetype(3);
    QTest::addRow("no-name-parentheses")
            << u"x; BEGIN_MENU END_MENU"_qs << ParseError::NoNameParentheses << qsizetype(3);
    QTest::addRow("no-closing-comma")
            << u"BEGIN_MENU(M) END_MENU(M)"_qs << ParseError::NoClosingArguments << qsizetype(14);
    QTest::addRow("no-closing-parenthesis")
            << u"BEGIN_MENU(M) END_MENU"_qs << ParseError::NoClosingArguments << qsizetype(14);
    QTest::addRow("name-mismatch")
            << u"BEGIN_MENU(M) END_MENU(N, \"T\")"_qs << ParseError::NameMismatch << qsizetype(14);
    QTest::addRow("unclosed-item")
            << u"BEGIN_MENU(M) MENU_ITEM(\"A\") MENU_ITEM(\"B\" END_MENU(M, \"T\")"_qs
            << ParseError::UnclosedItem << qsizetype(29);
    QTest::addRow("item-literal-hides-closing-keyword")
            << u"BEGIN_MENU(M) MENU_ITEM(\"A) END_MENU(M, T)"_qs << ParseError::NoClosingKeyword
            << qsizetype(0);
    QTest::addRow("item-literal-unterminated-on-its-line")
            << u"BEGIN_MENU(M) MENU_ITEM(\"A)\nEND_MENU(M, T)"_qs << ParseError::UnclosedItem
            << qsizetype(14);
    QTest::addRow("closing-keyword-only-after-next-menu")
            << u"BEGIN_MENU(A) MENU_ITEM(\"x\")\nBEGIN_MENU(B) END_MENU(B, \"T\")"_qs
            << ParseError::NoClosingKeyword << qsizetype(0);
    QTest::addRow("closed-by-the-other-kind") << u"BEGIN_MENU(A) END_EDITABLE_MENU(A, \"T\")"_qs
                                              << ParseError::WrongClosingKeyword << qsizetype(14);
    QTest::addRow("no-name-after-keyword") << u"BEGIN_MENU MENU_ITEM(\"A\") END_MENU(A, \"T\")"_qs
                                           << ParseError::NoNameParentheses << qsizetype(0);
    QTest::addRow("name-never-closed") << u"BEGIN_MENU(M END_MENU(M, \"T\""_qs
                                       << ParseError::NoNameParentheses << qsizetype(0);
    QTest::addRow("closing-macro-runs-into-next-menu")
            << u"BEGIN_MENU(M) END_MENU(M\nBEGIN_MENU(N), x"_qs << ParseError::NoClosingArguments
            << qsizetype(14);
}

void tst_MenuParser::errors()
{
    QFETCH(QString, source);
    QFETCH(ParseError, error);
    QFETCH(qsizetype, offset);

    // The reason and the keyword at fault as the checks are told them.
    VelkoMenuView::SourceReading text(source, VelkoMenuView::menuKeywords());
    const VelkoMenuView::MenuBlock reported = VelkoMenuView::parseBlockAt(text, 0);
    QCOMPARE(reported.parse.error, error);
    QCOMPARE(reported.parse.errorOffset, offset);
    QCOMPARE(reported.parsed, error == ParseError::None);

    MenuDefinition plain = menuFrom(source);
    QCOMPARE(parseMenu(plain), reported.parsed);
    QCOMPARE(plain.name, reported.menu.name);
    QCOMPARE(plain.title, reported.menu.title);
    QCOMPARE(plain.itemTexts, reported.menu.itemTexts);
}

// The parts of a parse as "what@offset" words, so that a row reads like the source.
static QString layout(const MenuParse &p)
{
    QStringList words {
            QStringLiteral("open@%1").arg(p.opening),
            QStringLiteral("name@%1-%2").arg(p.nameOpen).arg(p.nameClose),
            QStringLiteral("close@%1").arg(p.closing),
            QStringLiteral("args@%1,%2,%3").arg(p.closingOpen).arg(p.comma).arg(p.closingClose)};
    if (p.titleUnterminated)
        words << QStringLiteral("title-unterminated");
    for (const ItemPosition &item : p.items) {
        QString word
                = QStringLiteral("item@%1(%2-%3)").arg(item.keyword).arg(item.open).arg(item.close);
        if (item.notes.definition >= 0)
            word += QStringLiteral("def@%1").arg(item.notes.definition);
        if (item.notes.redefinition >= 0)
            word += QStringLiteral("+%1").arg(item.notes.redefinition);
        if (!item.notes.droppedEscapes.isEmpty())
            word += QLatin1Char('!') + item.notes.droppedEscapes.join(QLatin1Char(' '));
        words << word;
    }
    return words.join(QLatin1Char(' '));
}

void tst_MenuParser::positions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::addRow("plain")
            << u"int x;\nBEGIN_MENU( M ) /* ( */ MENU_ITEM(\"(\", f(1))\nEND_MENU(M, \"T\")"_qs
            << "open@7 name@17-21 close@52 args@60,62,67 item@31(40-50)";
    QTest::addRow("title-unterminated")
            << u"BEGIN_EDITABLE_MENU(S) END_EDITABLE_MENU(S, \"Tit"_qs
            << "open@0 name@19-21 close@23 args@40,42,-1 title-unterminated";
    QTest::addRow("constant-defined-twice-and-dropped-escape")
            << u"#define S \"a\"\n#define S \"b\"\nBEGIN_MENU(M) MENU_ITEM(S) MENU_ITEM(\"\\tx\\x01\") END_MENU(M, \"T\")"_qs
            << "open@28 name@38-40 close@76 args@84,86,91 item@42(51-53)def@22+8 "
               "item@55(64-74)!\\t \\x01";
    // C allows the same definition again; only a different one replaces it.
    QTest::addRow("identical-redefinition")
            << u"#define S \"a\" \"b\"\n#define S \"a\"  /**/ \"b\"\nBEGIN_MENU(M) MENU_ITEM(S) END_MENU(M, \"T\")"_qs
            << "open@42 name@52-54 close@69 args@77,79,84 item@56(65-67)def@26";
    QTest::addRow("redefinition-differing-in-white-space")
            << u"#define S \"a\" \"b\"\n#define S \"a\"\"b\"\nBEGIN_MENU(M) MENU_ITEM(S) END_MENU(M, \"T\")"_qs
            << "open@35 name@45-47 close@62 args@70,72,77 item@49(58-60)def@26+8";
}

void tst_MenuParser::positions()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    MenuDefinition menu;
    MenuParse parse;
    VelkoMenuView::SourceReading source(text, VelkoMenuView::menuKeywords());
    QVERIFY(parseMenuAt(menu, source, 0, &parse));
    QCOMPARE(layout(parse), expected);
    for (const ItemPosition &item : parse.items)
        QVERIFY(item.keyword < item.open && item.open < item.close && item.close < parse.closing);
}

void tst_MenuParser::compilerReading_data()
{
    // Whole texts as the compiler reads them, and the title and items of
    // their one live menu.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("items");

    const auto menu = [](const QString &items, const QString &closing = u"END_MENU(M, \"T\")"_qs) {
        return u"BEGIN_MENU(M)\n"_qs + items + u"\n"_qs + closing + u"\n"_qs;
    };
    QTest::addRow("line-comment-with-quotes-between-literals")
            << menu(u"MENU_ITEM(\"a\" // note \"zzz\"\n \"b\", f)"_qs) << "T" << QStringList {"ab"};
    QTest::addRow("block-comment-with-punctuation-between-literals")
            << menu(u"MENU_ITEM(\"a\" /* ) , \" */ \"b\", f)"_qs) << "T" << QStringList {"ab"};
    QTest::addRow("comment-with-literal-before-item-text")
            << menu(u"MENU_ITEM(/* \"fake\" */ \"real\", f)"_qs) << "T" << QStringList {"real"};
    QTest::addRow("comment-before-title")
            << menu(u"MENU_ITEM(\"a\", f)"_qs, u"END_MENU(M, /* t */ \"Title\")"_qs) << "Title"
            << QStringList {"a"};
    QTest::addRow("macro-pieces-across-comment")
            << u"#define S \"Con\" /* c */ \"cat\"\n"_qs + menu(u"MENU_ITEM(S, f)"_qs) << "T"
            << QStringList {"Concat"};
    QTest::addRow("macro-continued-on-next-line")
            << u"#define S \"Line1 \" \\\n  \"Line2\"\n"_qs + menu(u"MENU_ITEM(S, f)"_qs) << "T"
            << QStringList {"Line1 Line2"};
    QTest::addRow("macro-naming-macro") << u"#define MAJOR \"1\"\n#define V \"v\" MAJOR \".2\"\n"_qs
                    + menu(u"MENU_ITEM(V, f)"_qs, u"END_MENU(M, V)"_qs)
                                        << "v1.2" << QStringList {"v1.2"};
    // The macro's "(" is never closed: no text, and nothing read past the pieces.
    QTest::addRow("macro-opening-parenthesis-unclosed")
            << u"#define P (\n"_qs + menu(u"MENU_ITEM(P (), f)\nMENU_ITEM(\"b\", f)"_qs) << "T"
            << QStringList {"", "b"};
    QTest::addRow("literal-then-macro")
            << u"#define STR_OK \"OK\"\n"_qs + menu(u"MENU_ITEM(\"Pre\" STR_OK, f)"_qs) << "T"
            << QStringList {"PreOK"};
    QTest::addRow("constant-with-attribute")
            << u"const char S[] __attribute__((section(\".rodata\"))) = \"Attr\";\n"_qs
                    + menu(u"MENU_ITEM(S, f)"_qs)
            << "T" << QStringList {"Attr"};
    QTest::addRow("constant-pointer")
            << u"static const char *const S = \"Po\" \"inter\";\n"_qs + menu(u"MENU_ITEM(S, f)"_qs)
            << "T" << QStringList {"Pointer"};
    QTest::addRow("undefined-and-defined-again")
            << u"#define X \"Old\"\n#undef X\n#define X \"New\"\n"_qs + menu(u"MENU_ITEM(X, f)"_qs)
            << "T" << QStringList {"New"};
    QTest::addRow("macro-as-it-stands-at-the-item") << u"#define X \"Old\"\n"_qs
                    + menu(u"MENU_ITEM(X, f)\n#undef X\n#define X \"New\"\nMENU_ITEM(X, f)"_qs)
                                                    << "T" << QStringList {"Old", "New"};
    QTest::addRow("splice-between-tokens")
            << menu(u"MENU_ITEM(\\\n \"x\", f)"_qs, u"END_MENU(M, \\\n \"T\")"_qs) << "T"
            << QStringList {"x"};
    QTest::addRow("splice-inside-keyword-and-literal")
            << menu(u"MENU_\\\nITEM(\"a\\\nb\", f)"_qs) << "T" << QStringList {"ab"};
    QTest::addRow("prefixed-literals")
            << menu(u"MENU_ITEM(u8\"x\", f)\nMENU_ITEM(L\"y\", f)\nMENU_ITEM(u8\"a\" \"b\", f)"_qs)
            << "T" << QStringList {"x", "y", "ab"};
    QTest::addRow("zero-ends-the-string")
            << menu(u"MENU_ITEM(\"Stop\\0Hidden\", f)\nMENU_ITEM(\"\\18\", f)"_qs) << "T"
            << QStringList {"Stop", "8"};
    QTest::addRow("hex-escape-takes-every-digit")
            << menu(u"MENU_ITEM(\"Hex \\x42ad\", f)"_qs) << "T" << QStringList {"Hex "};
    QTest::addRow("menu-keyword-in-macro-body")
            << u"#define MENU_HEADER(n) BEGIN_MENU(n)\n"_qs + menu(u"MENU_ITEM(\"a\", f)"_qs) << "T"
            << QStringList {"a"};
    QTest::addRow("empty-string-macro")
            << u"#define E \"\"\n"_qs + menu(u"MENU_ITEM(E, f)"_qs, u"END_MENU(M, E)"_qs) << ""
            << QStringList {""};
    // gcc's reading of #if numbers: what it refuses leaves the group out.
    QTest::addRow("if-numbers-as-the-compiler-reads-them")
            << menu(u"#if 1ULL && 0x1Fu && 0b101 && 07 && 1lu && 2LLU && 0XaBl && 1uLL && 1llu\n"
                    "MENU_ITEM(\"taken\", f)\n#endif\n"
                    "#if 0x0x1\nMENU_ITEM(\"0x0x1\", f)\n#elif 1uu\nMENU_ITEM(\"1uu\", f)\n"
                    "#elif 1lL\nMENU_ITEM(\"1lL\", f)\n#elif 1lul\nMENU_ITEM(\"1lul\", f)\n"
                    "#elif 08\nMENU_ITEM(\"08\", f)\n#elif 0b2\nMENU_ITEM(\"0b2\", f)\n"
                    "#elif 1e1 || 0x1p1 || 1i\nMENU_ITEM(\"float\", f)\n"
                    "#else\nMENU_ITEM(\"else\", f)\n#endif"_qs)
            << "T" << QStringList {"taken", "else"};
    QTest::addRow("carriage-return-line-ends")
            << u"#define S \"cr\"\rBEGIN_MENU(M)\rMENU_ITEM(S, f) // \"no\"\rMENU_ITEM(\"b\")\r"
               "END_MENU(M, \"T\")\r"_qs
            << "T" << QStringList {"cr", "b"};
    QTest::addRow("byte-order-mark")
            << u"\uFEFF#define S \"bom\"\n"_qs + menu(u"MENU_ITEM(S, f)"_qs) << "T"
            << QStringList {"bom"};
    QTest::addRow("raw-literal") << menu(u"MENU_ITEM(R\"x(a\"b)x\", f)"_qs) << "T"
                                 << QStringList {"a\"b"};
    QTest::addRow("group-inside-an-argument") << u"#define EN\n"_qs
                    + menu(u"MENU_ITEM(\n#ifdef EN\n\"Back\"\n#else\n\"Назад\"\n#endif\n, f)"_qs)
                                              << "T" << QStringList {"Back"};
}

void tst_MenuParser::compilerReading()
{
    QFETCH(QString, text);
    QList<VelkoMenuView::MenuBlock> blocks;
    VelkoMenuView::MenuBlocks walk(text);
    for (VelkoMenuView::MenuBlock block; walk.next(block);)
        blocks.append(block);
    QCOMPARE(blocks.size(), 1);
    QVERIFY(blocks.first().parsed);
    QTEST(blocks.first().menu.title, "title");
    QTEST(blocks.first().menu.itemTexts, "items");
    // The cursor in the menu finds the same reading.
    VelkoMenuView::SourceReading source(text, VelkoMenuView::menuKeywords());
    const VelkoMenuView::MenuLocation location
            = VelkoMenuView::locateMenuAt(source, blocks.first().parse.closing);
    QCOMPARE(location.start, blocks.first().start);
    QCOMPARE(VelkoMenuView::parseBlockAt(source, location.start).menu.itemTexts,
             blocks.first().menu.itemTexts);
}

void tst_MenuParser::itemTextsOfKnownSourcesUnchanged()
{
    // Item texts key the stored values: those of the examples and the fuzz
    // seeds, recorded before keywords were read as the compiler reads them,
    // must come out the same.
    const QString root = qEnvironmentVariable("VELKO_SOURCE_DIR");
    QFile recorded(root + QStringLiteral("/tests/analysis/data/item-texts.json"));
    QVERIFY(recorded.open(QIODevice::ReadOnly));
    const QJsonArray blocks = QJsonDocument::fromJson(recorded.readAll()).array();
    QVERIFY(!blocks.isEmpty());
    for (const QJsonValue &value : blocks) {
        const QJsonObject expected = value.toObject();
        QFile source(root + QLatin1Char('/') + expected.value("file").toString());
        QVERIFY(source.open(QIODevice::ReadOnly));
        // Inputs with zero bytes are recorded piece by piece and joined.
        const QByteArray bytes = source.readAll();
        const QList<QByteArray> pieces = bytes.split('\0');
        const int piece = expected.value("piece").toInt();
        const QString text = QString::fromUtf8(
                piece < pieces.size() ? pieces.at(piece) : QByteArray(bytes).replace('\0', ""));
        VelkoMenuView::MenuBlocks walk(text, VelkoMenuView::MenuBlocks::Keywords::Anywhere);
        VelkoMenuView::MenuBlock block;
        while (walk.next(block) && block.start < expected.value("start").toInteger()) { }
        QCOMPARE(block.start, expected.value("start").toInteger());
        QVERIFY(block.parsed);
        QCOMPARE(block.menu.name, expected.value("name").toString());
        QStringList items;
        for (const QJsonValue &item : expected.value("items").toArray())
            items << item.toString();
        QCOMPARE(block.menu.itemTexts, items);
    }
}

void tst_MenuParser::decode_data()
{
    QTest::addColumn<QString>("preamble");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("text");

    const QString none;
    // Literal forms.
    QTest::addRow("literal") << none << u" \"Start\", 1"_qs << "Start";
    QTest::addRow("adjacent") << none << u"\"Ex\" \"it\""_qs << "Exit";
    // A name that stands for nothing makes no text: the compiler stops there.
    QTest::addRow("adjacent-across-undefined-name") << none << u"\"a\" UNIT /* c */ \"b\""_qs << "";
    QTest::addRow("adjacent-across-comment-with-quote")
            << none << u"\"a\" /* ) , \" */ \"b\""_qs << "ab";
    QTest::addRow("adjacent-stops-at-comma") << none << u"\"a\", \"b\""_qs << "a";
    // Escapes are decoded before literals are joined: "\x" has no digit.
    QTest::addRow("escape-split-across-literals") << none << u"\"\\x\" \"41\""_qs << "";
    QTest::addRow("empty-argument") << none << u"  \t"_qs << "";
    QTest::addRow("unterminated") << none << u"\"abc"_qs << "";
    QTest::addRow("escaped-closing-quote") << none << u"\"a\\\""_qs << "";
    QTest::addRow("escaped-backslash-then-quote") << none << u"\"a\\\\\\\"b\""_qs << "a\\\"b";
    // A cast to a character pointer keeps the address, as the compiler does.
    QTest::addRow("cast-to-character-pointer") << none << u"(char *)\"x\""_qs << "x";
    QTest::addRow("neither-literal-nor-name") << none << u"42"_qs << "";

    // Escapes.
    QTest::addRow("simple-escape-dropped") << none << u"\"Line\\tEnd\""_qs << "LineEnd";
    QTest::addRow("all-simple-escapes") << none << u"\"<\\a\\b\\f\\n\\r\\t\\v\\e>\""_qs << "<>";
    QTest::addRow("kept-escapes") << none << u"\"\\\"\\'\\?\\\\\\q\""_qs << "\"'?\\q";
    QTest::addRow("hex-two-digits") << none << u"\"A\\x41\""_qs << "AA";
    // Hex escapes take every hex digit; the low 8 bits of 0x414 are a control character.
    QTest::addRow("hex-takes-every-digit") << none << u"\"\\x414\""_qs << "";
    QTest::addRow("hex-leading-zeros") << none << u"\"\\x0041!\""_qs << "A!";
    QTest::addRow("hex-one-digit-at-end") << none << u"\"ab\\x4\""_qs << "ab";
    QTest::addRow("hex-no-digit") << none << u"\"ok\\xZZ\""_qs << "";
    QTest::addRow("hex-no-digit-at-end") << none << u"\"ok\\x\""_qs << "";
    QTest::addRow("hex-control-dropped") << none << u"\"a\\x1F-b\""_qs << "a-b";
    QTest::addRow("octal-three-digits") << none << u"\"\\101\""_qs << "A";
    QTest::addRow("octal-two-digits-at-end") << none << u"\"a\\60\""_qs << "a0";
    QTest::addRow("octal-control-dropped") << none << u"\"\\7bell\""_qs << "bell";
    QTest::addRow("octal-single-digit-at-end") << none << u"\"a\\0\""_qs << "a";
    // 8 and 9 are no octal digits: "\1" then "89b".
    QTest::addRow("octal-stops-at-eight-or-nine") << none << u"\"a\\189b\""_qs << "a89b";
    QTest::addRow("octal-other-script-digits-stand-for-themselves")
            << none << u"\"\\\u0661\u0660\u0661\""_qs << u"\u0661\u0660\u0661"_qs;
    QTest::addRow("octal-bytes-of-utf8") << none << u"\"\\320\\237\""_qs << u"\u041F"_qs;
    // The string ends at a zero byte, with all that follows.
    QTest::addRow("zero-ends-text") << none << u"\"Stop\\0Hidden\" \"more\""_qs << "Stop";
    QTest::addRow("u-allowed") << none << u"\"\\u00e9\""_qs << u"é"_qs;
    QTest::addRow("u-not-allowed") << none << u"\"\\u0041\""_qs << "";
    QTest::addRow("u-allowed-ascii") << none << u"\"\\u0024\\u0040\\u0060\""_qs << "$@`";
    QTest::addRow("u-short-at-end") << none << u"\"ok\\u00e\""_qs << "";
    QTest::addRow("u-non-hex") << none << u"\"ok\\u00g9\""_qs << "";
    QTest::addRow("U-beyond-bmp-as-surrogate-pair")
            << none << u"\"\\U0001F600\""_qs << u"\U0001F600"_qs;
    QTest::addRow("U-private-plane-kept-whole")
            << none << u"\"\\U0001E01D\""_qs << u"\U0001E01D"_qs;
    QTest::addRow("U-beyond-unicode") << none << u"\"ok\\U00110000\""_qs << "";
    QTest::addRow("U-bmp") << none << u"\"\\U000000e9!\""_qs << u"é!"_qs;
    QTest::addRow("U-overflow-counts-as-zero") << none << u"\"ok\\U80000041\""_qs << "";
    QTest::addRow("U-largest-signed") << none << u"\"\\U7FFF00e9\""_qs << "";
    QTest::addRow("U-short-at-end") << none << u"\"ok\\U0000e9\""_qs << "";
    // A decoded backslash is a character, never a new escape.
    QTest::addRow("decoded-backslash-octal") << none << u"\"\\134x41\""_qs << "\\x41";
    QTest::addRow("decoded-backslash-hex") << none << u"\"a\\x5cnb\""_qs << "a\\nb";
    QTest::addRow("U-pair-between-text") << none << u"\"x\\U0001F600q\""_qs << u"x\U0001F600q"_qs;
    QTest::addRow("decoded-backslash-at-end") << none << u"\"a\\134\""_qs << "a\\";
    // A raw literal keeps a splice as written: the backslash stays.
    QTest::addRow("raw-keeps-splice") << none << u"R\"(a\\\nb)\""_qs << "a\\b";
    // An escaped backslash, then an escaped quote: the literal is not closed.
    QTest::addRow("three-backslashes-before-quote") << none << u"\"a\\\\\\\""_qs << "";

    // Named constants.
    QTest::addRow("constant-define")
            << u"#define STR_EXIT \"Exit\"\n"_qs << u" STR_EXIT "_qs << "Exit";
    QTest::addRow("constant-array")
            << u"const char STR_EXIT[] = \"Ex\"\n  \"it\";"_qs << u"STR_EXIT"_qs << "Exit";
    QTest::addRow("constant-escapes-decoded") << u"#define S \"a\\x42\"\n"_qs << u"S"_qs << "aB";
    QTest::addRow("constant-pieces-across-comment")
            << u"#define S \"a\" /* x */ \"b\"\n"_qs << u"S"_qs << "ab";
    QTest::addRow("constant-undefined") << u"int x;\n"_qs << u"STR_EXIT"_qs << "";
    QTest::addRow("constant-use-before-definition")
            << u"f(STR_EXIT);\n#define STR_EXIT \"Exit\"\n"_qs << u"STR_EXIT"_qs << "Exit";
    QTest::addRow("constant-name-at-end-of-preamble")
            << u"#define X 1\nSTR_EXIT"_qs << u"STR_EXIT"_qs << "";
    QTest::addRow("constant-without-literal") << u"#define STR_EXIT 5\n"_qs << u"STR_EXIT"_qs << "";
    QTest::addRow("constant-unterminated") << u"#define STR_EXIT \"Ex"_qs << u"STR_EXIT"_qs << "";
    QTest::addRow("constant-commented-out-definition-skipped")
            << u"// #define STR_BACK \"Return\"\n/* STR_BACK \"Old\" */\n#define STR_BACK \"Back\"\n"_qs
            << u"STR_BACK"_qs << "Back";
    // A macro defined again replaces the first definition.
    QTest::addRow("constant-last-definition-wins")
            << u"#define S \"ru\"\n#define S \"en\"\n"_qs << u"S"_qs << "en";
    QTest::addRow("constant-whole-identifier")
            << u"#define MY_S \"x\"\n#define S \"y\"\n"_qs << u"S"_qs << "y";
    QTest::addRow("constant-value-literal-not-in-comment")
            << u"#define S /* \"c\" */ \"v\"\n"_qs << u"S"_qs << "v";
    // Pointer arithmetic is no text.
    QTest::addRow("constant-in-expression") << u"#define STR \"s\"\n"_qs << u"STR+1"_qs << "";
}

void tst_MenuParser::decode()
{
    QFETCH(QString, preamble);
    QFETCH(QString, argument);
    QTEST(decodeLiteral(menuFrom(QString(), preamble), argument), "text");
}

QTEST_APPLESS_MAIN(tst_MenuParser)
#include "tst_menuparser.moc"
