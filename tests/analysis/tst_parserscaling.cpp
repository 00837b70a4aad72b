// Parsing grows linearly with the text: large files with the menu at the
// end, long menus, long comments and literals full of escapes. The reader
// counts the characters it passes over; the times are the benchmark's.
// Pathological sources read in bounded memory, measured in a child process.
#include "creader/readcount.h"
#include "menuview/analysis/menublocks.h"
#include "menuview/analysis/menuparser.h"

#include <QtTest>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

class tst_ParserScaling : public QObject
{
    Q_OBJECT

private slots:
    void linear_data();
    void linear();
    void boundedMemory_data();
    void boundedMemory();
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

namespace {

// The peak memory, in KiB, of a child process that reads every menu of
// `text` (as check does), or -1 when it fails, crashes or takes a minute.
long peakOfReading(const QString &text, const QString &expectedItem)
{
    const pid_t child = fork();
    if (child == 0) {
        alarm(60);
        VelkoMenuView::MenuBlocks walk(text);
        bool found = false;
        for (VelkoMenuView::MenuBlock block; walk.next(block);)
            found = found || block.menu.itemTexts.contains(expectedItem);
        _exit(found ? 0 : 3);
    }
    int status = 0;
    rusage usage {};
    if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status)
        || WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss;
}

QString nested(int depth)
{
    return QStringLiteral("#define X 1\n") + QStringLiteral("#if X\n").repeated(depth)
            + QStringLiteral("#define DEEP \"deep\"\n") + QStringLiteral("#endif\n").repeated(depth)
            + QStringLiteral("BEGIN_MENU(M)\n  MENU_ITEM(DEEP, f)\nEND_MENU(M, \"T\")\n");
}

} // namespace

void tst_ParserScaling::boundedMemory_data()
{
    QTest::addColumn<QString>("small");
    QTest::addColumn<QString>("large");
    QTest::addColumn<QString>("item");

    // Each conditional directive once kept the whole stack of open groups.
    QTest::addRow("conditionals-nested-20000-deep") << nested(200) << nested(20000) << "deep";
}

void tst_ParserScaling::boundedMemory()
{
    QFETCH(QString, small);
    QFETCH(QString, large);
    QFETCH(QString, item);
    const long baseline = peakOfReading(small, item);
    const long peak = peakOfReading(large, item);
    QVERIFY2(baseline > 0 && peak > 0, "the reading must finish and read the item");
    // The text itself takes a few MiB; the reading may take a few more.
    constexpr long AllowedKiB = 64 * 1024;
    QVERIFY2(peak - baseline < AllowedKiB,
             qPrintable(QStringLiteral("%1 KiB against %2 KiB").arg(peak).arg(baseline)));
}

QTEST_APPLESS_MAIN(tst_ParserScaling)
#include "tst_parserscaling.moc"
