// The menus the analysis reads from random firmware sources must be the ones
// the C compiler sees, byte for byte: gcc is the judge. Environment:
// VELKO_ORACLE_SEED, VELKO_ORACLE_MENUS (at least this many live menus) and
// VELKO_ORACLE_CONSTRUCTS (group names, see MenuSourceGenerator, or "default",
// "all") to narrow a disagreement down; VELKO_ORACLE_REPORT (how many files
// to report, 10), VELKO_ORACLE_KEEP (keep the sources of a passing run) and
// VELKO_ORACLE_SOURCE with VELKO_ORACLE_OPTIONS (judge one file of one's own).
#include "gccoracle.h"
#include "menusourcegenerator.h"

#include "creader/compilerquery.h"
#include "menuview/analysis/menublocks.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

class tst_GccOracle : public QObject
{
    Q_OBJECT

private slots:
    void agreesWithGcc();
    void stringTables_data();
    void stringTables();
};

namespace {

constexpr quint32 ciSeed = 12;
constexpr int ciMenus = 2000;
// What CI runs: every group of constructs.
const char ciConstructs[] = "all";

struct ReadMenu
{
    bool parsed = false;
    QString name;
    QStringList items;
    QString title;
};

// The reader under test; the one place that names it. It gets the source's
// path (quoted includes are looked for beside it first), the compiler and
// its options, whose own macros and headers it asks of it as a build's
// database would name them, and the functions the source declares to
// return their argument.
QList<ReadMenu> readMenus(const QString &text, const QString &fileName, const QString &compiler,
                          const QStringList &compilerOptions, const QStringList &textFunctions)
{
    VelkoMenuView::ReadOptions context;
    context.path = fileName;
    context.configuration = VelkoMenuView::BuildConfiguration::fromArguments(
            compilerOptions, QFileInfo(fileName).absolutePath());
    context.configuration.compiler = compiler;
    context.configuration.compilerOptions = VelkoMenuView::BuildConfiguration::predefiningOptions(
            GccOracle::languageOptions() + compilerOptions);
    VelkoMenuView::CompilerQuery::apply(&context.configuration, {compiler});
    context.textFunctions = textFunctions;
    QList<ReadMenu> menus;
    VelkoMenuView::MenuBlocks walk(text, VelkoMenuView::MenuBlocks::Keywords::Live, context);
    for (VelkoMenuView::MenuBlock block; walk.next(block);)
        menus.append({block.parsed, block.menu.name, block.menu.itemTexts, block.menu.title});
    return menus;
}

// What the device shows of a C string: its bytes without the control
// characters, read as UTF-8, a byte that starts no character skipped. A
// U+FFFD the source wrote ("\ufffd") stays: its bytes are a character.
QString deviceText(const QByteArray &bytes)
{
    QByteArray shown;
    for (const char byte : bytes) {
        if (quint8(byte) >= 0x20)
            shown += byte;
    }
    // Apart at each 0xEF: a U+FFFD the bytes spell is told from the one the
    // decoder puts for bytes that start no character.
    const QList<QByteArray> pieces = shown.split('\xef');
    QString text;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        QByteArray piece = i == 0 ? pieces[i] : '\xef' + pieces[i];
        if (piece.startsWith("\xef\xbf\xbd")) {
            text += QChar::ReplacementCharacter;
            piece.remove(0, 3);
        }
        // A U+FEFF at a piece's start is a character too, not a byte-order mark.
        QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        text += QString(decode(piece)).remove(QChar::ReplacementCharacter);
    }
    return text;
}

QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const char32_t c : text.toUcs4()) {
        if (c == u'"' || c == u'\\')
            out += u'\\';
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0xFFFD || c == 0xFEFF
            || (c >= 0xD800 && c < 0xE000))
            out += QStringLiteral("\\u{%1}").arg(uint(c), 0, 16);
        else
            out += QString::fromUcs4(&c, 1);
    }
    return out + u'"';
}

QString expectedActual(const QByteArray &gcc, const QString &read)
{
    return QStringLiteral("\n    gcc:  %1 (bytes %2)\n    read: %3")
            .arg(quoted(deviceText(gcc)), QString::fromLatin1(gcc.toHex(' ')), quoted(read));
}

// The first difference of one menu, or nothing.
QString difference(const GccOracle::Menu &gcc, const ReadMenu &menu)
{
    if (!menu.parsed) {
        QStringList items;
        for (const QByteArray &item : gcc.items)
            items << quoted(deviceText(item));
        return QStringLiteral("not read; gcc has items %1 and title %2")
                .arg(items.join(u' '), quoted(deviceText(gcc.title)));
    }
    if (deviceText(gcc.name) != menu.name)
        return "name" + expectedActual(gcc.name, menu.name);
    if (deviceText(gcc.title) != menu.title)
        return "title" + expectedActual(gcc.title, menu.title);
    for (qsizetype i = 0; i < qMin(gcc.items.size(), menu.items.size()); ++i) {
        if (deviceText(gcc.items.at(i)) != menu.items.at(i))
            return QStringLiteral("item %1").arg(i)
                    + expectedActual(gcc.items.at(i), menu.items.at(i));
    }
    if (gcc.items.size() != menu.items.size())
        return QStringLiteral("%1 items read, gcc has %2")
                .arg(menu.items.size())
                .arg(gcc.items.size());
    return QString();
}

// The differing menus of a file. Menus are paired by name along the longest
// common run, so that one menu missed or read too many leaves the rest paired.
QStringList differences(const QList<GccOracle::Menu> &expected, const QList<ReadMenu> &read)
{
    const qsizetype e = expected.size();
    const qsizetype r = read.size();
    QList<QList<int>> common(e + 1, QList<int>(r + 1, 0));
    for (qsizetype i = e - 1; i >= 0; --i) {
        for (qsizetype j = r - 1; j >= 0; --j) {
            common[i][j] = deviceText(expected.at(i).name) == read.at(j).name
                    ? common[i + 1][j + 1] + 1
                    : qMax(common[i + 1][j], common[i][j + 1]);
        }
    }
    QStringList found;
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < e || j < r) {
        if (i < e && j < r && deviceText(expected.at(i).name) == read.at(j).name) {
            const QString what = difference(expected.at(i), read.at(j));
            if (!what.isEmpty())
                found << QStringLiteral("menu %1 (%2): %3").arg(i).arg(read.at(j).name, what);
            ++i;
            ++j;
        } else if (j == r || (i < e && common[i + 1][j] >= common[i][j + 1])) {
            found << QStringLiteral("menu %1 (%2): gcc's, not read as such; the reader has %3")
                             .arg(i)
                             .arg(QString::fromUtf8(expected.at(i).name),
                                  j < r ? quoted(read.at(j).name) : QStringLiteral("no more"));
            ++i;
        } else {
            found << QStringLiteral("read menu %1 (%2): gcc has no such live menu")
                             .arg(j)
                             .arg(quoted(read.at(j).name));
            ++j;
        }
    }
    return found;
}

quint32 environmentNumber(const char *name, quint32 fallback)
{
    bool ok = false;
    const quint32 value = qEnvironmentVariable(name).toUInt(&ok);
    return ok ? value : fallback;
}

} // namespace

void tst_GccOracle::agreesWithGcc()
{
    const QString gcc = QStandardPaths::findExecutable(QStringLiteral("gcc"));
    if (gcc.isEmpty())
        QSKIP("gcc is not installed; it is the judge of this test (scripts/install-deps.sh "
              "installs it)");
    const quint32 seed = environmentNumber("VELKO_ORACLE_SEED", ciSeed);
    int wanted = int(environmentNumber("VELKO_ORACLE_MENUS", ciMenus));
    bool known = false;
    const MenuSourceGenerator::Constructs constructs = MenuSourceGenerator::constructsFromNames(
            qEnvironmentVariable("VELKO_ORACLE_CONSTRUCTS", QString::fromLatin1(ciConstructs)),
            &known);
    QVERIFY2(known, "VELKO_ORACLE_CONSTRUCTS names an unknown group");
    const QString own = qEnvironmentVariable("VELKO_ORACLE_SOURCE");
    const QString run = !own.isEmpty()
            ? own
            : QStringLiteral("seed %1, constructs %2")
                      .arg(seed)
                      .arg(MenuSourceGenerator::names(constructs).join(u','));

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    GccOracle oracle(gcc, folder.path());
    QString error;
    QVERIFY2(oracle.prepare(&error), qPrintable(error));
    MenuSourceGenerator generator(seed, constructs);
    QElapsedTimer timer;
    timer.start();
    int live = 0;
    int index = 0;
    int differing = 0;
    QStringList report;
    const int reported = int(environmentNumber("VELKO_ORACLE_REPORT", 10));
    while (live < wanted) {
        QList<MenuSourceGenerator::Source> batch;
        QList<GccOracle::Source> compiled;
        if (!own.isEmpty()) { // with all its differences
            QFile file(own);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(own));
            MenuSourceGenerator::Source source;
            source.main.bytes = file.readAll();
            source.options
                    = qEnvironmentVariable("VELKO_ORACLE_OPTIONS").split(u' ', Qt::SkipEmptyParts);
            batch << source;
            compiled << GccOracle::Source {QFileInfo(own).absoluteFilePath(), source.options};
            wanted = 0;
        }
        for (int count = own.isEmpty() ? qBound(1, (wanted - live) / 25 + 1, 60) : 0; count > 0;
             --count) {
            const MenuSourceGenerator::Source source = generator.generate(index++, folder.path());
            QVERIFY(MenuSourceGenerator::write(source, folder.path()));
            batch << source;
            compiled << GccOracle::Source {folder.filePath(source.main.path), source.options};
        }
        QList<QList<GccOracle::Menu>> expected;
        if (!oracle.run(compiled, &expected, &error)) {
            folder.setAutoRemove(false);
            QFAIL(qPrintable(
                    QStringLiteral("%1: the generated source is not valid C\n%2").arg(run, error)));
        }
        for (int i = 0; i < batch.size(); ++i) {
            const MenuSourceGenerator::Source &source = batch.at(i);
            live += int(expected.at(i).size());
            const QList<ReadMenu> read
                    = readMenus(QString::fromUtf8(source.main.bytes), compiled.at(i).path, gcc,
                                source.options, source.textFunctions);
            const QStringList found = differences(expected.at(i), read);
            differing += int(found.size());
            if (!found.isEmpty() && report.size() < reported)
                report << QStringLiteral("%1\n  gcc %2\n  %3")
                                  .arg(compiled.at(i).path,
                                       oracle.compileArguments(compiled.at(i), i).join(u' '),
                                       own.isEmpty() ? found.first() : found.join("\n  "));
        }
    }
    if (differing > 0) {
        folder.setAutoRemove(false);
        QFAIL(qPrintable(
                QStringLiteral("%1: %2 differences from gcc over %3 live menus (the sources are "
                               "kept; the first difference of a file each):\n%4")
                        .arg(run)
                        .arg(differing)
                        .arg(live)
                        .arg(report.join(u'\n'))));
    }
    if (qEnvironmentVariableIsSet("VELKO_ORACLE_KEEP")) {
        folder.setAutoRemove(false);
        qInfo("the sources are kept in %s", qPrintable(folder.path()));
    }
    qInfo("%d menus in %d files agree with gcc (%s) in %lld ms", live, index, qPrintable(run),
          timer.elapsed());
}

// A string table written as firmware writes one, with its menus, read in the
// build's configurations as gcc compiles it.
void tst_GccOracle::stringTables_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("english, wide display") << QStringList {"-DUI_COLUMNS=21"};
    QTest::newRow("german, narrow display") << QStringList {"-DUI_LANG=de", "-DUI_COLUMNS=16"};
    QTest::newRow("defaults") << QStringList();
}

void tst_GccOracle::stringTables()
{
    QFETCH(QStringList, options);
    const QString gcc = QStandardPaths::findExecutable(QStringLiteral("gcc"));
    if (gcc.isEmpty())
        QSKIP("gcc is not installed; it is the judge of this test");
    const QString menus = QFINDTESTDATA("data/stringtables/menus.c");
    QVERIFY(!menus.isEmpty());
    QTemporaryDir folder;
    GccOracle oracle(gcc, folder.path());
    QString error;
    QVERIFY2(oracle.prepare(&error), qPrintable(error));
    QList<QList<GccOracle::Menu>> expected;
    QVERIFY2(oracle.run({{menus, options}}, &expected, &error), qPrintable(error));
    QCOMPARE(expected.value(0).size(), 3);

    QFile file(menus);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<ReadMenu> read = readMenus(QString::fromUtf8(file.readAll()), menus, gcc, options,
                                           {QStringLiteral("ui_translate")});
    const QStringList found = differences(expected.first(), read);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
}

QTEST_GUILESS_MAIN(tst_GccOracle)
#include "tst_gccoracle.moc"
