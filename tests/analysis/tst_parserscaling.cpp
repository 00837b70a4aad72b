// Parsing time grows linearly with the text: large files with the menu at
// the end, long menus, long comments and literals full of escapes.
#include "menuview/analysis/menuparser.h"

#include <QElapsedTimer>
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

// Best of a few runs, in nanoseconds.
qint64 parseTime(MenuDefinition &menu)
{
    qint64 best = std::numeric_limits<qint64>::max();
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        const bool ok = parseMenu(menu);
        best = qMin(best, timer.nsecsElapsed());
        if (!ok)
            return -1;
    }
    return best;
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

    QList<qint64> times;
    for (const qsizetype size : {1 * MiB, 2 * MiB, 4 * MiB}) {
        MenuDefinition menu = menuOfShape(shape, size);
        const qint64 time = parseTime(menu);
        QVERIFY2(time >= 0, "the generated menu must parse");
        if (items >= 0)
            QCOMPARE(menu.itemTexts.size(), items);
        else
            QVERIFY(menu.itemTexts.size() > size / 200);
        QVERIFY(!menu.itemTexts.first().isEmpty());
        times.append(time);
    }
    qInfo("1/2/4 MiB: %.2f / %.2f / %.2f ms", times[0] / 1e6, times[1] / 1e6, times[2] / 1e6);
    // Linear growth makes 4 MiB about four times as slow as 1 MiB, quadratic
    // growth sixteen times; the margin absorbs timer noise on a busy machine.
    const qint64 allowed = 8 * times[0] + 20'000'000;
    QVERIFY2(times[2] < allowed,
             qPrintable(QStringLiteral("4 MiB took %1 ms, more than %2 ms")
                                .arg(times[2] / 1e6)
                                .arg(allowed / 1e6)));
}

QTEST_APPLESS_MAIN(tst_ParserScaling)
#include "tst_parserscaling.moc"
