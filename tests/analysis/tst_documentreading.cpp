// A document read edit by edit, each text going on from what was read of
// the one before, against the same text read afresh: what a cursor shows
// must not depend on what was read before.
#include "menusourcegenerator.h"
#include "menuview/analysis/menukeywords.h"

#include "creader/linemap.h"
#include "creader/readcount.h"
#include "menuview/analysis/documentreading.h"
#include "menuview/analysis/menublocks.h"
#include "menuview/analysis/menupreview.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

using namespace VelkoMenuView;

namespace {

// Everything a preview tells, in one line to compare.
QString described(const MenuPreview &preview)
{
    const MenuDefinition &menu = preview.block.menu;
    QStringList groups;
    for (const qsizetype group : preview.location.takenGroups)
        groups << QString::number(group);
    return QStringLiteral("outcome %1 at %2-%3 last %4 group %5 [%6] failure %7 \"%8\" | %9 | %10 "
                          "| %11")
            .arg(int(preview.outcome))
            .arg(preview.begin)
            .arg(preview.end)
            .arg(preview.last)
            .arg(preview.location.inactiveGroup)
            .arg(groups.join(u','))
            .arg(preview.failureAt)
            .arg(preview.failure, menu.name, menu.itemTexts.join(u'|'), menu.title);
}

MenuPreview preview(SourceReading &source, qsizetype cursor)
{
    return previewMenu(source, cursor, {},
                       [&](qsizetype at) { return LineMap(source.text).position(at); });
}

} // namespace

class tst_DocumentReading : public QObject
{
    Q_OBJECT

private slots:
    void editsReadAsAfresh_data();
    void editsReadAsAfresh();
    void editReadFromTheLineBeforeIt_data();
    void editReadFromTheLineBeforeIt();
    void editReadUntilTheOldReadingFits_data();
    void editReadUntilTheOldReadingFits();
    void lineMapFollowsEdits_data();
    void lineMapFollowsEdits();
};

void tst_DocumentReading::editsReadAsAfresh_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QString>("constructs");

    QTest::newRow("everything") << 13u << "all";
    // Seeds that once read an edit otherwise than afresh: a raw literal in a
    // #define, a definition the pass stopped in, a keyword under the cursor.
    QTest::newRow("everything, 101") << 101u << "all";
    QTest::newRow("everything, 190") << 190u << "all";
    QTest::newRow("everything, 203") << 203u << "all";
    QTest::newRow("groups, headers, macros") << 15u << "Conditionals,Includes,Macros,Constants";
    QTest::newRow("comments, splices, line ends") << 17u << "Comments,Splices,LineEnds,Literals";
}

void tst_DocumentReading::editsReadAsAfresh()
{
    QFETCH(quint32, seed);
    QFETCH(QString, constructs);

    const GeneratedSources generated(seed, constructs, 4);
    QVERIFY2(generated.error.isEmpty(), qPrintable(generated.error));
    const QDir folder(generated.folder.path());
    QRandomGenerator rng(seed);
    for (qsizetype index = 0; index < generated.sources.size(); ++index) {
        const MenuSourceGenerator::Source &source = generated.sources.at(index);
        ReadOptions context;
        context.path = folder.filePath(source.main.path);
        context.configuration = BuildConfiguration::fromArguments(source.options, folder.path());

        DocumentReading reading;
        QString text = QString::fromUtf8(source.main.bytes);
        for (int edit = 0; edit < 150; ++edit) {
            const qsizetype at = rng.bounded(text.size() + 1);
            const qsizetype removed = rng.bounded(3) == 0 ? 0 : rng.bounded(qsizetype(12));
            const QString inserted = MenuSourceGenerator::randomInsertion(rng, text);
            text.replace(at, qMin(removed, text.size() - at), inserted);

            SourceReading &kept = reading.read(text, context, 1);
            for (const qsizetype cursor :
                 {at, qsizetype(rng.bounded(text.size() + 1)), at + inserted.size() + 40}) {
                SourceReading afresh(text, VelkoMenuView::menuKeywords(), context);
                const QString expected = described(preview(afresh, cursor));
                QVERIFY2(described(preview(kept, cursor)) == expected,
                         qPrintable(
                                 QStringLiteral("source %1, edit %2 at %3, cursor %4:\n  kept:    "
                                                "%5\n  afresh:  %6")
                                         .arg(index)
                                         .arg(edit)
                                         .arg(at)
                                         .arg(cursor)
                                         .arg(described(preview(kept, cursor)), expected)));
            }
        }
    }
}

void tst_DocumentReading::editReadFromTheLineBeforeIt_data()
{
    QTest::addColumn<QString>("before"); // the code before the menu
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("typed"); // typed before the first item's "%d"
    QTest::addColumn<QString>("item"); // the first item's text after it

    const QString code = QStringLiteral("static int counter%1 = %1; /* MENU %1 */\n");
    QString lines;
    for (int i = 0; i < 6000; ++i)
        lines += code.arg(i);
    QTest::newRow("menu at the end") << lines << QString() << "x"
                                     << "Speed x%d";
    QTest::newRow("menu in the middle") << lines << lines << "x"
                                        << "Speed x%d";
    QTest::newRow("in a group that is compiled")
            << QStringLiteral("#define WITH_MENUS 1\n#if WITH_MENUS\n") + lines
            << QStringLiteral("#endif\n") + lines << "x"
            << "Speed x%d";
    QTest::newRow("a line split") << lines << lines << "\"\n\""
                                  << "Speed %d";
}

void tst_DocumentReading::editReadFromTheLineBeforeIt()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, typed);
    QFETCH(QString, item);

    const QString menu
            = QStringLiteral("BEGIN_MENU(Main)\n    MENU_ITEM(\"Speed %d\", onSpeed)\n"
                             "    MENU_ITEM(\"Exit\", onExit)\nEND_MENU(Main, \"Main\")\n");
    const QString text = before + menu + after;
    const qsizetype typedAt = before.size() + menu.indexOf(u'%');
    DocumentReading reading;
    QVERIFY(described(preview(reading.read(text, {}, 1), typedAt)).contains("Speed %d"));

    QString edited = text;
    edited.insert(typedAt, typed);
    const TextPosition typing = LineMap(edited).position(typedAt + typed.size());
    // The lines before the menu counted once, as a cursor moved there would.
    reading.lines().cursorOffset(typing.line, typing.column);
    const qint64 readBefore = charactersRead();
    SourceReading &kept = reading.read(edited, {}, 1);
    const qsizetype cursor = reading.lines().cursorOffset(typing.line, typing.column);
    QCOMPARE(cursor, typedAt + typed.size());
    const MenuPreview shown = preview(kept, cursor);
    const qint64 read = charactersRead() - readBefore;

    SourceReading afresh(edited, VelkoMenuView::menuKeywords(), {});
    QCOMPARE(described(shown), described(preview(afresh, cursor)));
    QCOMPARE(shown.block.menu.itemTexts.value(0), item);
    // The lines before the edit's line are not read again, nor counted.
    QVERIFY2(read < 8 * 1024, qPrintable(QString::number(read)));
}

void tst_DocumentReading::editReadUntilTheOldReadingFits_data()
{
    QTest::addColumn<QString>("typed"); // at the start of the tenth line
    QTest::addColumn<bool>("around"); // only the text around the edit is read again

    QTest::newRow("a word in code") << "int x; " << true;
    QTest::newRow("a line of code") << "int x;\n" << true;
    QTest::newRow("a comment closed on its line") << "/* x */" << true;
    // What follows reads differently: read on to the end.
    QTest::newRow("a comment left open") << "/* x " << false;
    QTest::newRow("a macro defined") << "#define LIMIT_7 8\n" << false;
    QTest::newRow("a group opened") << "#if 0\n" << false;
}

// A walk over every menu after an edit far above them reads the edit's
// surroundings, then goes on with what was read before where the old
// reading had the same state.
void tst_DocumentReading::editReadUntilTheOldReadingFits()
{
    QFETCH(QString, typed);
    QFETCH(bool, around);

    QString text;
    for (int i = 0; i < 4000; ++i) {
        text += i % 6 == 0
                ? QStringLiteral("#define LIMIT_%1 (%1 * 4)\n").arg(i)
                : QStringLiteral("static int counter%1 = LIMIT_%2; // %1\n").arg(i).arg(i - i % 6);
        if (i % 500 == 499)
            text += QStringLiteral("BEGIN_MENU(M%1)\n    MENU_ITEM(\"Limit %d\", f)\nEND_MENU(M%1, "
                                   "\"T\")\n")
                            .arg(i);
    }
    const auto walk = [](SourceReading &source) {
        QStringList blocks;
        MenuBlocks all(source);
        for (MenuBlock block; all.next(block);)
            blocks << QStringLiteral("%1 %2 %3 %4")
                              .arg(block.start)
                              .arg(block.parsed)
                              .arg(block.menu.name, block.menu.itemTexts.join(u'|'));
        return blocks;
    };
    DocumentReading reading;
    walk(reading.read(text, {}, 1));

    const qsizetype at = LineMap(text).lineStart(10);
    text.insert(at, typed);
    const qint64 readBefore = charactersRead();
    const QStringList blocks = walk(reading.read(text, {}, 1));
    const qint64 read = charactersRead() - readBefore;
    SourceReading afresh(text, VelkoMenuView::menuKeywords(), {});
    QCOMPARE(blocks, walk(afresh));
    if (around)
        QVERIFY2(read < 16 * 1024, qPrintable(QString::number(read)));
    else
        QVERIFY2(read > text.size() / 2, qPrintable(QString::number(read)));
}

void tst_DocumentReading::lineMapFollowsEdits_data()
{
    QTest::addColumn<QString>("alphabet"); // what texts and edits are made of
    QTest::addColumn<int>("size"); // of the first text: larger ones have many marks

    QTest::newRow("line feeds") << "ab\n" << 200;
    QTest::newRow("all three line ends") << "a\r\n" << 200;
    QTest::newRow("carriage returns alone") << "ab\r" << 200;
    QTest::newRow("line feeds, many marks") << "ab\n" << 4000;
    QTest::newRow("all three line ends, many marks") << "a\r\n" << 4000;
}

// Edited in place, asked in any order, against the line starts by their
// definition.
void tst_DocumentReading::lineMapFollowsEdits()
{
    QFETCH(QString, alphabet);
    QFETCH(int, size);

    QRandomGenerator rng(7);
    const auto randomText = [&](qsizetype size) {
        QString text;
        for (qsizetype i = 0; i < size; ++i)
            text += alphabet.at(rng.bounded(alphabet.size()));
        return text;
    };
    QString text = randomText(size);
    LineMap lines(text);
    for (int edit = 0; edit < 600000 / size; ++edit) {
        const qsizetype from = rng.bounded(text.size() + 1);
        const qsizetype removed = qMin(qsizetype(rng.bounded(6)), text.size() - from);
        const QString inserted = randomText(rng.bounded(6));
        text.replace(from, removed, inserted);
        lines.update(text, from, removed, inserted.size());
        QList<qsizetype> starts {0};
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == u'\n' || (text[i] == u'\r' && text.mid(i + 1, 1) != u"\n"))
                starts.append(i + 1);
        }
        const qsizetype at = rng.bounded(text.size() + 1);
        const qsizetype line
                = std::upper_bound(starts.cbegin(), starts.cend(), at) - starts.cbegin();
        QCOMPARE(lines.position(at).line, line);
        QCOMPARE(lines.position(at).column, at - starts[line - 1] + 1);
        const int cursorLine = int(rng.bounded(2 * starts.size())) + 1;
        QCOMPARE(lines.cursorOffset(cursorLine, 3), starts[(cursorLine - 1) % starts.size()] + 2);
        if (edit % 8)
            continue; // the marks stay as far as these questions took them
        QCOMPARE(lines.lineCount(), starts.size());
        QCOMPARE(lines.lineStart(int(starts.size()) + 1), -1);
        for (int line = 1; line <= starts.size(); ++line) {
            QCOMPARE(lines.lineStart(line), starts[line - 1]);
            const qsizetype next = line < starts.size() ? starts[line] : text.size();
            QStringView whole = QStringView(text).sliced(starts[line - 1], next - starts[line - 1]);
            if (line < starts.size())
                whole.chop(whole.endsWith(u"\r\n") ? 2 : 1);
            QCOMPARE(lines.lineLength(line), whole.size());
        }
        QCOMPARE(lines.position(text.size()).column, text.size() - starts.constLast() + 1);
    }
}

QTEST_GUILESS_MAIN(tst_DocumentReading)
#include "tst_documentreading.moc"
