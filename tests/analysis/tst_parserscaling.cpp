// Parsing grows linearly with the text: large files with the menu at the
// end, long menus, long comments and literals full of escapes. The reader
// counts the characters it passes over; the times are the benchmark's.
#include "menuview/analysis/menuparser.h"
#include "menuview/analysis/readcount.h"

#include <QtTest>

class tst_ParserScaling : public QObject
{
    Q_OBJECT

private slots:
    void linear_data();
    void linear();
};

namespace {

enum class Shape { MenuAtEnd, WholeFileAsSource, ManyItems, CommentedItems, EscapeHeavyItem };

constexpr qsizetype MiB = 1024 * 1024;

// Ordinary firmware code that mentions the constant without defining it.
QString codeOfSize(qsizetype size)
{
    const QString chunk
            = QStringLiteral("static void showExit(int n)\n{\n    /* draw (n) items */\n"
                             "    drawText(STR_EXIT); // STR_EXIT_ALT\n    puts(\"(\\\"\");\n}\n");
    QString code;
    code.reserve(size + chunk.size());
    while (code.size() < size)
        code += chunk;
    return code;
}

QString repeated(const QString &chunk, qsizetype size)
{
    QString text;
    text.reserve(size + chunk.size());
    while (text.size() < size)
        text += chunk;
    return text;
}

MenuDefinition menuOfShape(Shape shape, qsizetype size)
{
    const QString end = QStringLiteral("END_MENU(Main, \"Main\")\n");
    MenuDefinition menu;
    switch (shape) {
    case Shape::MenuAtEnd:
        menu.preamble = codeOfSize(size) + "#define STR_EXIT \"Exit\"\n";
        menu.source = "BEGIN_MENU(Main)\n  MENU_ITEM(STR_EXIT)\n  MENU_ITEM(\"Back\")\n" + end;
        break;
    case Shape::WholeFileAsSource:
        menu.source = codeOfSize(size) + "BEGIN_MENU(Main)\n  MENU_ITEM(\"Exit\")\n" + end;
        break;
    case Shape::ManyItems:
        menu.source = "BEGIN_MENU(Main)\n"
                + repeated(QStringLiteral("  MENU_ITEM(\"Item (%d) \\x41\", f(g(1)), ')') /* x */\n"
                                          "  // MENU_ITEM(\"old\")\n"),
                           size)
                + end;
        break;
    case Shape::CommentedItems:
        menu.source = "BEGIN_MENU(Main)\n/*\n" + repeated(QStringLiteral("MENU_ITEM "), size)
                + "*/\n  MENU_ITEM(\"A\")\n" + end;
        break;
    case Shape::EscapeHeavyItem:
        menu.source = "BEGIN_MENU(Main)\n  MENU_ITEM(\""
                + repeated(QStringLiteral("\\x41\\101\\n\\\\"), size) + "\")\n" + end;
        break;
    }
    return menu;
}

// The characters the reader passes over for one parse.
qint64 parseWork(MenuDefinition &menu)
{
    const qint64 before = VelkoMenuView::charactersRead();
    if (!parseMenu(menu))
        return -1;
    return VelkoMenuView::charactersRead() - before;
}

} // namespace

void tst_ParserScaling::linear_data()
{
    QTest::addColumn<Shape>("shape");
    QTest::addColumn<qsizetype>("items");

    QTest::addRow("menu-at-end-of-file") << Shape::MenuAtEnd << qsizetype(2);
    QTest::addRow("whole-file-as-source") << Shape::WholeFileAsSource << qsizetype(1);
    QTest::addRow("many-items") << Shape::ManyItems << qsizetype(-1);
    QTest::addRow("commented-out-items") << Shape::CommentedItems << qsizetype(1);
    QTest::addRow("escape-heavy-item") << Shape::EscapeHeavyItem << qsizetype(1);
}

void tst_ParserScaling::linear()
{
    QFETCH(Shape, shape);
    QFETCH(qsizetype, items);

    QList<qint64> work;
    for (const qsizetype size : {1 * MiB, 2 * MiB, 4 * MiB}) {
        MenuDefinition menu = menuOfShape(shape, size);
        const qint64 read = parseWork(menu);
        QVERIFY2(read >= 0, "the generated menu must parse");
        if (items >= 0)
            QCOMPARE(menu.itemTexts.size(), items);
        else
            QVERIFY(menu.itemTexts.size() > size / 200);
        QVERIFY(!menu.itemTexts.first().isEmpty());
        work.append(read);
    }
    // Linear growth reads about four times as much at 4 MiB as at 1 MiB,
    // quadratic sixteen times; each character a few times at most.
    QVERIFY2(work[2] < 5 * work[0] && work[2] < 4 * 4 * MiB,
             qPrintable(QStringLiteral("read %1, %2 and %3 characters at 1, 2 and 4 MiB")
                                .arg(work[0])
                                .arg(work[1])
                                .arg(work[2])));
}

QTEST_APPLESS_MAIN(tst_ParserScaling)
#include "tst_parserscaling.moc"
