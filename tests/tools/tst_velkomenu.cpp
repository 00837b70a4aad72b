// velko-menu as a user runs it: screens compared with the device library's own
// rendering of the same rows, PNG sizes and colours, --all, every check
// diagnostic at its exact position, and the ways a command can fail.
#include "screenart.h"
#include "toolrun.h"

#include "devicegfx/gfx.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

Run runTool(const QStringList &arguments, const QProcessEnvironment &environment,
            const QString &workingDirectory = QString())
{
    return runProgram(QStringLiteral(VELKO_MENU_TOOL), arguments, environment, workingDirectory);
}

Run runTool(const QStringList &arguments)
{
    return runTool(arguments, toolEnvironment());
}

QSettings store()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ombrix"),
                     QStringLiteral("VelkoMenuView"));
}

// The settings group of a document, as the pane names it.
QString documentKey(const QString &path)
{
    return QString(path).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

void storeValues(const QString &path, const QVariantMap &values)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ombrix"),
                       QStringLiteral("VelkoMenuView"));
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings.setValue(documentKey(path) + QLatin1Char('/') + it.key(), it.value());
    settings.sync();
}

QByteArray menu(const QByteArray &name, const QByteArray &title, const QList<QByteArray> &items)
{
    QByteArray text = "BEGIN_MENU(" + name + ")\n";
    for (const QByteArray &item : items)
        text += "    MENU_ITEM(\"" + item + "\", handler)\n";
    return text + "END_MENU(" + name + ", \"" + title + "\")\n";
}

// The screen the device library draws for these rows, title first and inverted.
QString deviceScreen(const QStringList &rows)
{
    QString art;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        gfxClear();
        gfxPrint(0, 0, "%s", rows[i].toUtf8().constData());
        if (i == 0)
            gfxBox(0, 0, 127, 7, DrawInvert);
        art += ScreenArt::capture(0, 0, 128, 8);
    }
    return art;
}

QString sourceDir()
{
    return qEnvironmentVariable("VELKO_SOURCE_DIR");
}

} // namespace

class tst_VelkoMenu : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void asciiMatchesDevice_data();
    void asciiMatchesDevice();
    void pngSizeAndColours_data();
    void pngSizeAndColours();
    void renderAllWritesOnePngPerMenu();
    void screenEdgeMarksOnlyUnlitPixels_data();
    void screenEdgeMarksOnlyUnlitPixels();
    void checkDiagnostics_data();
    void checkDiagnostics();
    void checkUsesStoredValuesAndKeepsThem();
    void unreadableStoreIsReported_data();
    void unreadableStoreIsReported();
    void errorPaths_data();
    void errorPaths();
    void helpDocumentsEveryOption();
    void examplesShowOnlyTheBrokenMenu();
    void findsTheIdesBuildFolders_data();
    void findsTheIdesBuildFolders();

private:
    QString write(const QString &name, const QByteArray &contents);

    QTemporaryDir m_dir;
};

void tst_VelkoMenu::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Never the user's own settings: CTest gives the test (and so the tool)
    // folders of its own.
    QVERIFY(qEnvironmentVariableIsSet("HOME"));
    QVERIFY(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"));
    QVERIFY(!sourceDir().isEmpty());
}

void tst_VelkoMenu::init()
{
    store().clear();
    store().sync();
}

QString tst_VelkoMenu::write(const QString &name, const QByteArray &contents)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(contents) != contents.size())
        return QString();
    return path;
}

void tst_VelkoMenu::asciiMatchesDevice_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("position");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<QStringList>("rows");

    const QVariantMap none;
    QTest::addRow("title-clock-and-items")
            << menu("Main", "Main menu", {"Start", "Stop"}) << ":2"
            << "09:05" << none << QStringList {"Main menu       09:05", "Start", "Stop"};
    QTest::addRow("midnight") << menu("Main", "T", {"A"}) << ":1"
                              << "00:00" << none << QStringList {"T               00:00", "A"};
    QTest::addRow("cyrillic-percent-and-default-values")
            << menu("Main", "Меню", {"Скорость %d", "Нагрузка 50%%", "Усиление %.1f", "Имя: %s"})
            << ":3"
            << "23:59" << none
            << QStringList {"Меню            23:59", "Скорость 0", "Нагрузка 50%", "Усиление 0.0",
                            "Имя: "};
    QTest::addRow("stored-values-as-in-the-pane")
            << menu("Main", "Values", {"Speed %d", "Gain %.1f", "Name: %s"}) << ":2"
            << "12:30"
            << QVariantMap {{"Main/Speed %d/Param1", "42"},
                            {"Main/Gain %.1f/Param1", "2,5"},
                            {"Main/Name: %s/Param1", "Alexander the Great of Macedon"}}
            << QStringList {"Values          12:30", "Speed 42", "Gain 2.5",
                            "Name: Alexander the G"};
    QTest::addRow("long-title-cut-without-clock")
            << menu("Main", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", {"x"}) << ":2"
            << "09:05" << none << QStringList {"ABCDEFGHIJKLMNOPQRSTU", "x"};
    // Two menus on one line: the column decides.
    const QByteArray oneLine
            = "BEGIN_MENU(A) MENU_ITEM(\"a\") END_MENU(A, \"First\") "
              "BEGIN_EDITABLE_MENU(B) MENU_ITEM(\"b\") END_EDITABLE_MENU(B, \"Second\")\n";
    QTest::addRow("column-1-first-menu")
            << oneLine << ":1"
            << "09:05" << none << QStringList {"First           09:05", "a"};
    QTest::addRow("column-in-second-menu")
            << oneLine << ":1:60"
            << "09:05" << none << QStringList {"Second          09:05", "b"};
    QTest::addRow("cursor-inside-closing-macro")
            << oneLine << ":1:45"
            << "09:05" << none << QStringList {"First           09:05", "a"};
}

void tst_VelkoMenu::asciiMatchesDevice()
{
    QFETCH(QByteArray, source);
    QFETCH(QString, position);
    QFETCH(QString, time);
    QFETCH(QVariantMap, stored);
    QFETCH(QStringList, rows);

    const QString path = write(QStringLiteral("screen.c"), source);
    QVERIFY(!path.isEmpty());
    storeValues(path, stored);
    const Run run = runTool({"render", path + position, "--ascii", "--time", time});
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, 0);
    COMPARE_ART(run.out, deviceScreen(rows));
    // What render says on standard error are check's findings of the menu.
    const Run check = runTool({"check", path});
    for (const QString &line : run.err.split(u'\n', Qt::SkipEmptyParts))
        QVERIFY2(check.out.contains(line + u'\n'), qPrintable(line));
}

void tst_VelkoMenu::pngSizeAndColours_data()
{
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QRgb>("lit");
    QTest::addColumn<QRgb>("unlit");

    QTest::addRow("x1-default") << 1 << QString() << qRgb(0, 0, 0) << qRgb(0xF4, 0xF4, 0xF4);
    QTest::addRow("x2-default") << 2 << QString() << qRgb(0, 0, 0) << qRgb(0xF4, 0xF4, 0xF4);
    QTest::addRow("x3-default-named") << 3 << "default" << qRgb(0, 0, 0) << qRgb(0xF4, 0xF4, 0xF4);
    QTest::addRow("x2-white-on-black")
            << 2 << "white-on-black" << qRgb(0xFF, 0xFF, 0xFF) << qRgb(0, 0, 0);
    QTest::addRow("x1-blue-oled") << 1 << "blue-oled" << qRgb(0x4C, 0xC9, 0xFF)
                                  << qRgb(0x05, 0x0A, 0x14);
    QTest::addRow("x3-green-lcd") << 3 << "green-lcd" << qRgb(0x23, 0x31, 0x17)
                                  << qRgb(0xA6, 0xC2, 0x4A);
}

void tst_VelkoMenu::pngSizeAndColours()
{
    QFETCH(int, scale);
    QFETCH(QString, theme);
    QFETCH(QRgb, lit);
    QFETCH(QRgb, unlit);

    const QString path
            = write(QStringLiteral("colours.c"), menu("Main", "Main", {"Start", "Скорость %d"}));
    const QString png = m_dir.filePath(QStringLiteral("colours.png"));
    QFile::remove(png);
    QStringList arguments {
            "render", path + ":2", "-o", png, "--ascii", "--scale", QString::number(scale),
            "--time", "10:20"};
    if (!theme.isEmpty())
        arguments << "--theme" << theme;
    const Run run = runTool(arguments);
    QVERIFY(!run.crashed);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    COMPARE_ART(run.out, deviceScreen({"Main            10:20", "Start", "Скорость 0"}));

    QImage image(png);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), QSize(128 * scale, 3 * 8 * scale));
    // Every block of scale x scale pixels is one device pixel, in the theme's
    // colour for what the text art says it is.
    const QStringList art = run.out.split(QLatin1Char('\n'));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb expected = art[y / scale][x / scale] == QLatin1Char('#') ? lit : unlit;
            if (image.pixel(x, y) != expected)
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is %3, expected %4")
                                         .arg(x)
                                         .arg(y)
                                         .arg(image.pixel(x, y), 8, 16)
                                         .arg(expected, 8, 16)));
        }
    }
}

void tst_VelkoMenu::renderAllWritesOnePngPerMenu()
{
    const QByteArray source = menu("Main", "One", {"a"}) + "#if A\n"
            + menu("main", "Two", {"a", "b"}) + "#else\n" + menu("Main", "Three", {"a", "b", "c"})
            + "#endif\n" + menu("Bad name!", "Four", {}) + menu("", "Five", {"x"})
            + "BEGIN_MENU(Broken)\n    MENU_ITEM(\"x\")\nEND_MENU(Other, \"Six\")\n";
    const QString path = write(QStringLiteral("all.c"), source);
    const QString out = m_dir.filePath(QStringLiteral("all-out/nested"));
    // The menus the build compiles: A is not defined, the #else group's
    // menu is the second Main; with --all-branches the other group's too.
    for (const bool allBranches : {false, true}) {
        QDir(out).removeRecursively();
        QStringList arguments {"render", path,    "--all",   "-o", out,
                               "--time", "08:00", "--scale", "2"};
        if (allBranches)
            arguments << "--all-branches";
        const Run run = runTool(arguments);
        QVERIFY(!run.crashed);
        QCOMPARE(run.exitCode, 1); // the broken menu
        QCOMPARE(run.err,
                 path
                         + ":23:1: error: name mismatch: END_MENU(Other, ...) closes "
                           "BEGIN_MENU(Broken) at 21:1\n");
        const QStringList names = allBranches
                ? QStringList {"Main", "main-2", "Main-3", "Bad_name_", "menu"}
                : QStringList {"Main", "Main-2", "Bad_name_", "menu"};
        const QList<int> rows = allBranches ? QList<int> {2, 3, 4, 1, 2} : QList<int> {2, 4, 1, 2};
        QStringList written;
        for (const QString &name : names)
            written << QDir(out).filePath(name + ".png");
        QCOMPARE(run.out, written.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        for (qsizetype i = 0; i < names.size(); ++i) {
            const QImage image(written[i]);
            QCOMPARE(image.size(), QSize(256, 16 * rows[i]));
        }
    }
    const QStringList names {"Main", "main-2", "Main-3", "Bad_name_", "menu"};
    QStringList written;
    for (const QString &name : names)
        written << QDir(out).filePath(name + ".png");

    // Each file holds the menu that render draws with the cursor in it.
    const QString single = m_dir.filePath(QStringLiteral("single.png"));
    const Run one
            = runTool({"render", path + ":6", "-o", single, "--time", "08:00", "--scale", "2"});
    QCOMPARE(one.exitCode, 0);
    QCOMPARE(QImage(single), QImage(written[1]));
}

void tst_VelkoMenu::screenEdgeMarksOnlyUnlitPixels_data()
{
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("theme");
    QTest::addRow("7-items") << 7 << 2 << "default";
    QTest::addRow("8-items") << 8 << 1 << "default";
    QTest::addRow("12-items-x3-oled") << 12 << 3 << "blue-oled";
}

void tst_VelkoMenu::screenEdgeMarksOnlyUnlitPixels()
{
    QFETCH(int, items);
    QFETCH(int, scale);
    QFETCH(QString, theme);
    QList<QByteArray> texts;
    for (int i = 1; i <= items; ++i)
        texts << "Item " + QByteArray::number(i) + " \xd0\x99"; // "Й" reaches the top pixel row
    const QString path = write(QStringLiteral("long.c"), menu("Long", "T", texts));
    const QString plain = m_dir.filePath(QStringLiteral("plain.png"));
    const QString marked = m_dir.filePath(QStringLiteral("marked.png"));
    const QStringList common {"render",  path + ":2", "--time",
                              "10:00",   "--scale",   QString::number(scale),
                              "--theme", theme};
    QCOMPARE(runTool(common + QStringList {"-o", plain}).exitCode, 0);
    QCOMPARE(runTool(common + QStringList {"-o", marked, "--screen-edge"}).exitCode, 0);
    const QImage before(plain);
    const QImage after(marked);
    QCOMPARE(after.size(), before.size());
    int differing = 0;
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            if (before.pixel(x, y) == after.pixel(x, y))
                continue;
            // Only the first pixel row below the screen, and only where it is unlit.
            QCOMPARE(y, 64 * scale);
            // Column 127 of an item row carries no text: unlit.
            QCOMPARE(before.pixel(x, y), before.pixel(127 * scale, 8 * scale));
            ++differing;
        }
    }
    if (items <= 7)
        QCOMPARE(differing, 0);
    else
        QVERIFY(differing > after.width() / 3);
}

void tst_VelkoMenu::checkDiagnostics_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("expected"); // "FILE" stands for the file's path
    QTest::addColumn<int>("exitCode");

    const QStringList none;
    QTest::addRow("clean-menu") << menu("Main", "Main", {"Start", "Speed %d"}) << none
                                << QStringList() << 0;

    // A text through a function: read once declared to return its argument.
    const QByteArray translated
            = "#define _T(x) lang_get_translation(x)\n"
              "BEGIN_MENU(M)\n    MENU_ITEM(_T(\"Home\"), f)\nEND_MENU(M, \"T\")\n";
    QTest::addRow("text-through-an-undeclared-function")
            << translated << none
            << QStringList {"FILE:3:5: warning: item text cannot be read: the text passes through "
                            "lang_get_translation(), which the preview cannot run; if it returns "
                            "its argument, add --text-function lang_get_translation (from the "
                            "definition of _T at FILE:1); the item shows an empty line"}
            << 0;
    QTest::addRow("text-through-a-text-function")
            << translated << QStringList {"--text-function", "lang_get_translation"}
            << QStringList() << 0;
    // A compiler outside the allowed globs is named, not run.
    QTest::addRow("compiler-not-allowed")
            << menu("Main", "Main", {"Start"}) << QStringList {"--compiler", "/bin/true"}
            << QStringList {"FILE:1:1: warning: the compiler /bin/true of the build is not run, "
                            "as it is not among the compilers allowed to run (/usr/bin/*gcc*, "
                            "/usr/bin/*cc, /usr/bin/clang*): the preview takes the macros of a "
                            "gcc-like host for its own; to run it, add --query-driver '/bin/true'"}
            << 0;
    // A zero byte is white space to the compiler; one warning names the first.
    QTest::addRow("zero-bytes-read-as-white-space")
            << QByteArray("int x;\0\nBEGIN_MENU(\0Main)\n    MENU_ITEM(\"Start\" /* \0 */)\n"
                          "END_MENU(Main,\0\"Main\")\n",
                          80)
            << none
            << QStringList {"FILE:1:7: warning: 4 zero bytes in the file, the first here: the "
                            "compiler reads them as white space (in a literal, as the end of its "
                            "text)"}
            << 0;

    // Errors, at the keyword the parser stopped at.
    QTest::addRow("missing-closing-macro")
            << QByteArray("int x;\n  BEGIN_MENU(Main)\n    MENU_ITEM(\"a\")\n") << none
            << QStringList {"FILE:2:3: error: missing closing macro: BEGIN_MENU(Main) has no "
                            "END_MENU after it"}
            << 1;
    QTest::addRow("closed-by-the-other-kind")
            << QByteArray("BEGIN_EDITABLE_MENU(Set)\n    MENU_ITEM(\"a\")\nEND_MENU(Set, \"T\")\n")
            << none
            << QStringList {"FILE:3:1: error: wrong closing macro: END_MENU closes "
                            "BEGIN_EDITABLE_MENU(Set) at 1:1, which needs END_EDITABLE_MENU"}
            << 1;
    QTest::addRow("missing-closing-macro-before-next-menu")
            << QByteArray("BEGIN_MENU(A)\n    MENU_ITEM(\"a\")\n") + menu("B", "T", {"b"}) << none
            << QStringList {"FILE:1:1: error: missing closing macro: BEGIN_MENU(A) has no END_MENU "
                            "after it"}
            << 1;
    QTest::addRow("no-name-before-items")
            << QByteArray("BEGIN_MENU\n    MENU_ITEM(\"a\")\nEND_MENU(a, \"T\")\n") << none
            << QStringList {"FILE:1:1: error: BEGIN_MENU is not followed by the menu's name in "
                            "parentheses"}
            << 1;
    QTest::addRow("unterminated-title")
            << QByteArray("BEGIN_MENU(M)\nEND_MENU(M, \"Tit)\nint x;\n") << none
            << QStringList {"FILE:2:13: error: unterminated title literal: the title row shows no "
                            "title until the literal is closed"}
            << 1;
    QTest::addRow("empty-name-and-title")
            << QByteArray("BEGIN_MENU( )\nEND_MENU( , )\n") << none
            << QStringList {"FILE:1:1: warning: the menu has an empty name: values typed for its "
                            "items are not kept",
                            "FILE:2:1: warning: the closing macro has an empty title argument: the "
                            "title row shows only the clock"}
            << 0;
    QTest::addRow("keywords-in-comments-and-literals") << QByteArray(
            "/* BEGIN_MENU(Old) */\nBEGIN_MENU(M)\n  // END_MENU(M, \"Old\")\n"
            "  MENU_ITEM(\"END_MENU(M, x)\")\nEND_MENUQ(M, \"Q\")\nEND_MENU(M, \"T\")\n")
                                                       << none << QStringList() << 0;
    QTest::addRow("missing-closing-macro-name-not-shown-when-far")
            << QByteArray("BEGIN_MENU\n  f(a);\n") << none
            << QStringList {"FILE:1:1: error: missing closing macro: BEGIN_MENU has no END_MENU "
                            "after it"}
            << 1;
    QTest::addRow("no-name") << QByteArray("x;\n BEGIN_MENU END_MENU\n") << none
                             << QStringList {"FILE:2:2: error: BEGIN_MENU is not followed by the "
                                             "menu's name in parentheses"}
                             << 1;
    QTest::addRow("closing-macro-arguments")
            << QByteArray("BEGIN_MENU(M)\n    MENU_ITEM(\"a\")\n    END_MENU(M)\n") << none
            << QStringList {"FILE:3:5: error: END_MENU that closes BEGIN_MENU(M) at 1:1 has no "
                            "\"(\" and \",\" "
                            "after it; expected END_MENU(M, \"title\")"}
            << 1;
    QTest::addRow("name-mismatch")
            << QByteArray("BEGIN_MENU(Main)\n    MENU_ITEM(\"a\")\nEND_MENU(Mian, \"T\")\n") << none
            << QStringList {"FILE:3:1: error: name mismatch: END_MENU(Mian, ...) closes "
                            "BEGIN_MENU(Main) at 1:1"}
            << 1;
    QTest::addRow("unclosed-item-argument")
            << QByteArray("BEGIN_MENU(M)\n    MENU_ITEM(\"a\")\n    MENU_ITEM(\"b\", "
                          "f(1)\nEND_MENU(M, \"T\")\n")
            << none
            << QStringList {"FILE:3:5: error: unclosed item argument: the argument list of "
                            "MENU_ITEM does not end "
                            "before END_MENU (a missing \")\" or an unterminated literal)"}
            << 1;

    // Titles, at the title literal.
    QTest::addRow("title-without-room-for-clock")
            << menu("M", "ABCDEFGHIJKLMNOP", {"a"}) << none
            << QStringList {"FILE:3:13: warning: title \"ABCDEFGHIJKLMNOP\" is 16 characters long: "
                            "only a title "
                            "of up to 15 characters leaves room for the clock"}
            << 0;
    QTest::addRow("title-fifteen-is-fine")
            << menu("M", "ABCDEFGHIJKLMNO", {"a"}) << none << QStringList() << 0;
    QTest::addRow("title-cut")
            << menu("M", "Калибровка датчика температуры", {"a"}) << none
            << QStringList {"FILE:3:13: warning: title \"Калибровка датчика температуры\" is 30 "
                            "characters long: "
                            "the screen shows its first 21, \"Калибровка датчика те\""}
            << 0;
    QTest::addRow("title-missing-glyph")
            << menu("M", "R, Ω", {"a"}) << none
            << QStringList {"FILE:3:17: warning: character U+03A9 'Ω' in the title is not in the "
                            "6x8 font: the device skips it"}
            << 0;

    // Items, at their MENU_ITEM unless a character is pointed at.
    QTest::addRow("undefined-constant")
            << QByteArray("BEGIN_MENU(M)\n    MENU_ITEM(STR_EXIT, f)\n    MENU_ITEM(\"\", "
                          "f)\nEND_MENU(M, \"T\")\n")
            << none
            << QStringList {"FILE:2:5: warning: item text cannot be read: the preview finds no "
                            "macro or string constant 'STR_EXIT' before this menu (#define "
                            "STR_EXIT \"...\" or static const char STR_EXIT[] = \"...\";); the "
                            "item shows an empty line"}
            << 0;
    QTest::addRow("unreadable-escape")
            << menu("M", "T", {"ok\\xZZ"}) << none
            << QStringList {"FILE:2:5: warning: item text cannot be read: an escape the compiler "
                            "refuses (\\x without a hex digit, or a \\u or \\U that is incomplete "
                            "or names a character C does not allow); the item shows an empty line"}
            << 0;
    QTest::addRow("unsupported-conversion")
            << menu("M", "T", {"Code %x"}) << none
            << QStringList {"FILE:2:5: warning: conversion '%x' is not supported in item texts "
                            "(only d, u, f and s "
                            "take values): it is shown as written"}
            << 0;
    QTest::addRow("star-width") << menu("M", "T", {"N %*d"}) << none
                                << QStringList {"FILE:2:5: warning: conversion '%*d' is shown as "
                                                "written: a \"*\" width or precision needs "
                                                "an argument that item values cannot supply"}
                                << 0;
    QTest::addRow("unfinished-conversion")
            << menu("M", "T", {"Load %d %5"}) << none
            << QStringList {"FILE:2:5: warning: unfinished conversion '%5' at the end of the item "
                            "text is shown as written"}
            << 0;
    QTest::addRow("mixed-kinds") << menu("M", "T", {"%d of %f"}) << none
                                 << QStringList {"FILE:2:5: warning: conversion '%f' is shown as "
                                                 "written: the item takes integer values "
                                                 "(set by its first conversion '%d')"}
                                 << 0;
    QTest::addRow("kind-set-by-stray-letter")
            << menu("M", "T", {"%x of %d"}) << none
            << QStringList {"FILE:2:5: warning: conversion '%x' is not supported in item texts "
                            "(only d, u, f and s "
                            "take values): it is shown as written",
                            "FILE:2:5: warning: conversion '%d' is shown as written: the item "
                            "takes real values (set "
                            "by the 'f' in '%x of': after a '%', the first d, u, f or s decides)"}
            << 0;
    QTest::addRow("percent-after-percent-pair")
            << menu("M", "T", {"%%%d"}) << none
            << QStringList {"FILE:2:5: warning: conversion '%d' is shown as written: a '%' right "
                            "after another '%' "
                            "does not start a parameter"}
            << 0;
    QTest::addRow("fourth-real") << menu("M", "T", {"%.0f %.0f %.0f %.0f"})
                                 << QStringList {"--real-digits", "1"}
                                 << QStringList {"FILE:2:5: warning: conversion '%.0f' is shown as "
                                                 "written: an item takes at most three "
                                                 "real values"}
                                 << 0;
    QTest::addRow("second-string") << menu("M", "T", {"%s/%s"}) << none
                                   << QStringList {"FILE:2:5: warning: conversion '%s' is shown as "
                                                   "written: an item takes one string value"}
                                   << 0;
    QTest::addRow("integers-beyond-the-dialog")
            << menu("M", "T", {"%hhu%hhu%hhu%hhu%hhu"}) << none
            << QStringList {"FILE:2:5: warning: conversion '%hhu' always shows 0: it takes the "
                            "item's value 4, and "
                            "the parameter dialog enters only the first 3",
                            "FILE:2:5: warning: conversion '%hhu' always shows 0: it takes the "
                            "item's value 5, and "
                            "the parameter dialog enters only the first 3"}
            << 0;
    QTest::addRow("ninth-integer")
            << menu("M", "T", {"%hhu%hhu%hhu%hhu%hhu%hhu%hhu%hhu%c%hhu"}) << none
            << QStringList {"FILE:2:5: warning: conversion '%hhu' always shows 0: it takes the "
                            "item's value 4, and the parameter dialog enters only the first 3",
                            "FILE:2:5: warning: conversion '%hhu' always shows 0: it takes the "
                            "item's value 5, and the parameter dialog enters only the first 3",
                            "FILE:2:5: warning: conversion '%hhu' always shows 0: it takes the "
                            "item's value 6, and the parameter dialog enters only the first 3",
                            "FILE:2:5: warning: conversion '%hhu' always shows 0: it takes the "
                            "item's value 7, and the parameter dialog enters only the first 3",
                            "FILE:2:5: warning: conversion '%hhu' always shows 0: it takes the "
                            "item's value 8, and the parameter dialog enters only the first 3",
                            "FILE:2:5: warning: conversion '%c' is not supported in item texts "
                            "(only d, u, f and s take values): it is shown as written",
                            "FILE:2:5: warning: conversion '%hhu' is shown as written: an item "
                            "takes at most eight integer values"}
            << 0;
    QTest::addRow("line-too-long-as-written")
            << menu("M", "T", {"Максимальная температура"}) << none
            << QStringList {"FILE:2:5: warning: item \"Максимальная температура\" takes 24 "
                            "cells; the screen shows 21"}
            << 0;
    QTest::addRow("line-too-long-around-values")
            << menu("M", "T", {"Максимальная температура %d"}) << none
            << QStringList {"FILE:2:5: warning: item \"Максимальная температура %d\" takes 26 "
                            "cells with no stored "
                            "values; the text around its values alone takes 25 cells; the screen "
                            "shows 21"}
            << 0;
    QTest::addRow("d-can-overflow") << menu("M", "T", {"Громкость: %d"}) << none
                                    << QStringList {"FILE:2:5: warning: item \"Громкость: %d\" can "
                                                    "overflow the 21 cells: '%d' can print 11 "
                                                    "characters, and the line has room for 10"}
                                    << 0;
    QTest::addRow("d-just-fits") << menu("M", "T", {"Скорость: %d"}) << none << QStringList() << 0;
    QTest::addRow("narrow-types-fit")
            << menu("M", "T", {"%02hhu.%02hhu.%04hu"}) << none << QStringList() << 0;
    QTest::addRow("two-integers-can-overflow")
            << menu("M", "T", {"T %lu..%hu"}) << none
            << QStringList {"FILE:2:5: warning: item \"T %lu..%hu\" can overflow the 21 cells: "
                            "'%lu' and '%hu' can "
                            "print 25 characters together (20 + 5), and the line has room for 17"}
            << 0;
    QTest::addRow("two-reals-can-overflow")
            << menu("M", "T", {"T %.1f..%5.2f"}) << none
            << QStringList {"FILE:2:5: warning: item \"T %.1f..%5.2f\" can overflow the 21 cells: "
                            "'%.1f' and '%5.2f' "
                            "can print 27 characters together (13 + 14) (a real taken with up to "
                            "10 integer digits), "
                            "and the line has room for 17"}
            << 0;
    QTest::addRow("real-digits-option") << menu("M", "T", {"Усиление %.1f дБ"})
                                        << QStringList {"--real-digits", "4"} << QStringList() << 0;
    QTest::addRow("real-digits-default")
            << menu("M", "T", {"Усиление %.1f дБ"}) << none
            << QStringList {"FILE:2:5: warning: item \"Усиление %.1f дБ\" can overflow the 21 "
                            "cells: '%.1f' can print "
                            "13 characters (a real taken with up to 10 integer digits), and the "
                            "line has room for 9"}
            << 0;
    QTest::addRow("string-leaves-no-room")
            << menu("M", "T", {"Название прибора ТК: %s"}) << none
            << QStringList {"FILE:2:5: warning: item \"Название прибора ТК: %s\" leaves no room "
                            "for its string value: "
                            "the rest of the line takes 21 of the 21 cells"}
            << 0;
    QTest::addRow("string-item-cut") << menu("M", "T", {"Очень длинное название: %s"}) << none
                                     << QStringList {"FILE:2:5: warning: item \"Очень длинное "
                                                     "название: %s\" is 24 characters long with no "
                                                     "stored value; a string item's line is cut to "
                                                     "21 characters: \"Очень длинное названи\""}
                                     << 0;
    QTest::addRow("missing-glyph-at-character")
            << menu("M", "T", {"R %u Ω"}) << none
            << QStringList {"FILE:2:21: warning: character U+03A9 'Ω' in the item is not in the "
                            "6x8 font: the device skips it"}
            << 0;
    QTest::addRow("missing-glyph-from-escape")
            << menu("M", "T", {"R \\u03a9"}) << none
            << QStringList {"FILE:2:5: warning: character U+03A9 'Ω' in the item is not in the 6x8 "
                            "font: the device skips it"}
            << 0;
    // A character outside the BMP takes two UTF-16 units, so the next one
    // stands two columns further.
    QTest::addRow("columns-count-utf16-units")
            << menu("M", "T", {"\xF0\x9F\x98\x80Ω"}) << none
            << QStringList {"FILE:2:16: warning: character U+1F600 '\xF0\x9F\x98\x80' in the item "
                            "is not in the 6x8 font: the device skips it",
                            "FILE:2:18: warning: character U+03A9 'Ω' in the item is not in the "
                            "6x8 font: the device skips it"}
            << 0;
    QTest::addRow("item-quoted-as-written-and-shortened")
            << menu("M", "T", {"%999d"})
                    + menu("N", "T", {"Вся эта строка слишком длинная для экрана прибора"})
            << none
            << QStringList {"FILE:2:5: warning: item \"%999d\" takes 127 cells with no stored "
                            "values; "
                            "its values have room for 21 characters; the screen shows 21",
                            "FILE:5:5: warning: item \"Вся эта строка слишком длинная для "
                            "экр\u2026 "
                            "takes 49 cells; the screen shows 21"}
            << 0;
    QTest::addRow("positional-conversion-quoted-whole")
            << menu("M", "T", {"%1$d"}) << none
            << QStringList {"FILE:2:5: warning: conversion '%1$d' is not supported in item texts "
                            "(only d, u, f and s take values): it is shown as written"}
            << 0;
    QTest::addRow("control-characters-written-as-escapes")
            << menu("M", "A\\tB", {"x\\n\\x01y\\n"}) << none
            << QStringList {"FILE:2:5: warning: escapes '\\n' and '\\x01' in the item are control "
                            "characters: the device drops them",
                            "FILE:3:13: warning: escape '\\t' in the title is a control character: "
                            "the device drops it"}
            << 0;
    QTest::addRow("macro-defined-twice")
            << QByteArray("#define S_BACK \"Назад\"\n\n#define S_BACK \"Back\"\n")
                    + "BEGIN_MENU(M)\n    MENU_ITEM(S_BACK)\nEND_MENU(M, \"T\")\n"
            << none
            << QStringList {"FILE:5:5: warning: 'S_BACK' is defined more than once before this "
                            "menu (lines 1 and 3): the last definition is used"}
            << 0;
    // What the compiler reads differently from how the text looks.
    QTest::addRow("undefined-then-defined-again")
            << QByteArray("#define X \"Old\"\n#undef X\n#define X \"New\"\n")
                    + "BEGIN_MENU(M)\n    MENU_ITEM(X)\nEND_MENU(M, \"T\")\n"
            << none << QStringList() << 0;
    QTest::addRow("line-spliced-inside-literal")
            << QByteArray("BEGIN_MENU(M)\n    MENU_ITEM(\"Sp\\\nlit\")\nEND_MENU(M, \"T\")\n")
            << none << QStringList() << 0;
    QTest::addRow("hex-escape-out-of-range")
            << menu("M", "T", {"Hex \\x42ad"}) << none
            << QStringList {"FILE:2:5: error: escape \\x42ad in the item is out of range for a "
                            "character: the compiler keeps only its low 8 bits"}
            << 1;
    QTest::addRow("zero-hides-the-rest")
            << menu("M", "T", {"Stop\\0Hidden"}) << none
            << QStringList {"FILE:2:5: warning: a zero in the item ends its text: the device "
                            "shows only \"Stop\""}
            << 0;
    QTest::addRow("wide-literal")
            << QByteArray("BEGIN_MENU(M)\n    MENU_ITEM(L\"Wide\")\nEND_MENU(M, \"T\")\n") << none
            << QStringList {"FILE:2:5: warning: the item is a wide literal (u\"\", U\"\" or "
                            "L\"\"): "
                            "the device reads its code units as bytes and shows \"W\""}
            << 0;
    QTest::addRow("menu-in-a-macro-body")
            << QByteArray("#define MENU_HEADER(n) BEGIN_MENU(n)\n") + menu("M", "T", {"a"}) << none
            << QStringList() << 0;
    QTest::addRow("empty-string-macro") << QByteArray("#define E \"\"\n")
                    + "BEGIN_MENU(M)\n    MENU_ITEM(E)\nEND_MENU(M, \"T\")\n"
                                        << none << QStringList() << 0;
    QTest::addRow("stray-closing-macro")
            << menu("A", "T", {"a"}) + "END_MENU(B, \"B\")\n"
            << none
            << QStringList {"FILE:4:1: error: stray closing macro: END_MENU(B, ...) closes no "
                            "menu; no BEGIN_MENU is open before it"}
            << 1;
    // The variant being built.
    const QByteArray variants = "#ifdef LANG_EN\n" + menu("M", "ABCDEFGHIJKLMNOPQ", {"Back"})
            + "#else\n" + menu("M", "Меню", {"Назад"}) + "#endif\n";
    QTest::addRow("variant-of-the-build") << variants << none << QStringList() << 0;
    QTest::addRow("variant-by-define")
            << variants << QStringList {"-D", "LANG_EN"}
            << QStringList {"FILE:4:13: warning: title \"ABCDEFGHIJKLMNOPQ\" is 17 characters "
                            "long: only a title of up to 15 characters leaves room for the clock"}
            << 0;
    QTest::addRow("variant-undefined-again")
            << variants << QStringList {"-DLANG_EN", "-ULANG_EN"} << QStringList() << 0;
    const QByteArray draft = "#if 0\nBEGIN_MENU(Draft)\n    MENU_ITEM(\"a\")\n#endif\n";
    QTest::addRow("unfinished-menu-left-out") << draft << none << QStringList() << 0;
    QTest::addRow("unfinished-menu-all-branches")
            << draft << QStringList {"--all-branches"}
            << QStringList {"FILE:2:1: error: missing closing macro: BEGIN_MENU(Draft) has no "
                            "END_MENU after it"}
            << 1;
    QTest::addRow("one-definition-per-branch")
            << QByteArray("#ifdef RU\n#define S_BACK \"Назад\"\n#else\n#define S_BACK "
                          "\"Back\"\n#endif\n")
                    + "BEGIN_MENU(M)\n    MENU_ITEM(S_BACK)\nEND_MENU(M, \"T\")\n"
            << none << QStringList() << 0;
    QTest::addRow("header-not-found")
            << QByteArray("#include \"strings.h\"\n") + "BEGIN_MENU(M)\n    MENU_ITEM(STR_BACK)\n"
                    + "END_MENU(M, \"T\")\n"
            << none
            << QStringList {"FILE:3:5: warning: item text cannot be read: the preview finds no "
                            "macro or string constant 'STR_BACK' before this menu (#define "
                            "STR_BACK \"...\" or static const char STR_BACK[] = \"...\";); not "
                            "found: \"strings.h\" (line 1) (give its folder with -I or in "
                            "compile_commands.json); the item shows an empty line"}
            << 0;
    QTest::addRow("commented-item-not-checked")
            << QByteArray("BEGIN_MENU(M)\n    // MENU_ITEM(\"%x\", f)\n    MENU_ITEM(\"Code %x\", "
                          "f)\nEND_MENU(M, \"T\")\n")
            << none
            << QStringList {"FILE:3:5: warning: conversion '%x' is not supported in item texts "
                            "(only d, u, f and s "
                            "take values): it is shown as written"}
            << 0;

    // Several menus: one report sorted by position; --werror.
    const QByteArray several = menu("A", "ABCDEFGHIJKLMNOPQ", {"%x"})
            + "BEGIN_MENU(B)\nEND_MENU(C, \"T\")\n" + menu("D", "T", {"Ω"});
    const QStringList severalReport {
            "FILE:2:5: warning: conversion '%x' is not supported in item texts (only d, u, f and s "
            "take values): it is shown as written",
            "FILE:3:13: warning: title \"ABCDEFGHIJKLMNOPQ\" is 17 characters long: only a title "
            "of up to 15 characters leaves room for the clock",
            "FILE:5:1: error: name mismatch: END_MENU(C, ...) closes BEGIN_MENU(B) at 4:1",
            "FILE:7:16: warning: character U+03A9 'Ω' in the item is not in the 6x8 font: the "
            "device skips it"};
    QTest::addRow("sorted-by-position") << several << none << severalReport << 1;
    const QByteArray warningsOnly = menu("A", "ABCDEFGHIJKLMNOPQ", {"a"});
    const QString titleWarning = "FILE:3:13: warning: title \"ABCDEFGHIJKLMNOPQ\" is 17 characters "
                                 "long: only a title of "
                                 "up to 15 characters leaves room for the clock";
    QTest::addRow("warnings-exit-0") << warningsOnly << none << QStringList {titleWarning} << 0;
    QTest::addRow("werror-exit-1")
            << warningsOnly << QStringList {"--werror"} << QStringList {titleWarning} << 1;
}

void tst_VelkoMenu::checkDiagnostics()
{
    QFETCH(QByteArray, source);
    QFETCH(QStringList, options);
    QFETCH(QStringList, expected);
    QFETCH(int, exitCode);

    const QString path = write(QStringLiteral("check.c"), source);
    QVERIFY(!path.isEmpty());
    const Run run = runTool(QStringList {"check", path} + options);
    QVERIFY(!run.crashed);
    QCOMPARE(run.err, QString());
    const QString report = expected.isEmpty()
            ? QString()
            : expected.join(QLatin1Char('\n')).replace("FILE", path) + '\n';
    QCOMPARE(run.out, report);
    QCOMPARE(run.exitCode, exitCode);
}

void tst_VelkoMenu::checkUsesStoredValuesAndKeepsThem()
{
    const QString path = write(QStringLiteral("stored.c"),
                               menu("Main", "T", {"Value %d units", "Name: %s", "Gain %.1f"}));
    storeValues(path,
                {{"Main/Value %d units/Param1", "2000000000"},
                 {"Main/Name: %s/Param1", "Alexander the Great"},
                 {"Main/Removed item/Param1", "kept"}});
    const Run run = runTool({"check", path});
    QVERIFY(!run.crashed);
    QCOMPARE(run.out,
             path
                     + ":2:5: warning: item \"Value %d units\" takes 22 cells with "
                       "its stored values; its "
                       "values have room for 9 characters; the screen shows 21\n"
                     + path
                     + ":3:5: warning: item \"Name: %s\" is 25 characters "
                       "long with its stored "
                       "value; a string item's line is cut to 21 characters: \"Name: Alexander the "
                       "G\"\n");
    QCOMPARE(run.exitCode, 0);

    // The tool never closes the document, so the pane's pruning never runs:
    // a value of an item that no longer exists is still there.
    QCOMPARE(runTool({"render", path + ":2", "--ascii"}).exitCode, 0);
    QSettings settings = store();
    QCOMPARE(settings.value(documentKey(path) + "/Main/Removed item/Param1").toString(),
             QStringLiteral("kept"));
    QCOMPARE(settings.value(documentKey(path) + "/Main/Value %d units/Param1").toString(),
             QStringLiteral("2000000000"));
}

void tst_VelkoMenu::errorPaths_data()
{
    QTest::addColumn<QStringList>("arguments"); // "TMP" stands for the temporary folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error"); // standard error, "TMP" as above

    const QString tryHelp = QStringLiteral("\nTry 'velko-menu --help'.\n");
    QTest::addRow("no-arguments") << QStringList() << 2 << "velko-menu: no command given" + tryHelp;
    QTest::addRow("unknown-command") << QStringList {"draw", "TMP/ok.c:1"} << 2
                                     << "velko-menu: unknown command 'draw' (the commands are "
                                        "render, check, gallery and lsp)"
                    + tryHelp;
    QTest::addRow("unknown-option") << QStringList {"render", "TMP/ok.c:1", "--ascii", "--colour"}
                                    << 2 << "velko-menu: unknown option '--colour'" + tryHelp;
    QTest::addRow("option-of-other-command")
            << QStringList {"check", "TMP/ok.c", "--ascii"} << 2
            << "velko-menu: --ascii is not an option of check" + tryHelp;
    QTest::addRow("option-without-value")
            << QStringList {"render", "TMP/ok.c:1", "--ascii", "--scale"} << 2
            << "velko-menu: --scale needs a value" + tryHelp;
    QTest::addRow("bad-scale") << QStringList {"render", "TMP/ok.c:1", "--ascii", "--scale=4"} << 2
                               << "velko-menu: --scale takes 1, 2 or 3, not '4'" + tryHelp;
    QTest::addRow("gallery-without-folder") << QStringList {"gallery", "TMP/ok.c"} << 2
                                            << "velko-menu: gallery needs -o DIR, the folder for "
                                               "the page"
                    + tryHelp;
    QTest::addRow("gallery-into-a-file") << QStringList {"gallery", "TMP/ok.c", "-o", "TMP/ok.c"}
                                         << 2 << "TMP/ok.c: error: not a folder\n";
    QTest::addRow("variant-without-colon")
            << QStringList {"gallery", "TMP", "-oTMP/g", "--variant", "de"} << 2
            << "velko-menu: --variant takes NAME:OPTIONS, a name of letters, digits, '_', '.', '+' "
               "and '-', not 'de'"
                    + tryHelp;
    QTest::addRow("variant-other-option")
            << QStringList {"gallery", "TMP", "-oTMP/g", "--variant", "de:-DLANG_DE -O2"} << 2
            << "velko-menu: --variant de: '-O2' is not -DNAME[=VALUE], -UNAME or -IDIR" + tryHelp;
    QTest::addRow("variant-twice")
            << QStringList {"gallery", "TMP", "-oTMP/g", "--variant", "a:", "--variant=a:-DX"} << 2
            << "velko-menu: --variant a is given twice" + tryHelp;
    QTest::addRow("baseline-and-against")
            << QStringList {"gallery", "TMP", "-oTMP/g", "--baseline", "TMP", "--against", "HEAD"}
            << 2 << "velko-menu: --baseline and --against cannot be used together" + tryHelp;
    QTest::addRow("baseline-no-gallery")
            << QStringList {"gallery", "TMP/ok.c", "-oTMP/g", "--baseline", "TMP/none"} << 2
            << "velko-menu: TMP/none/changes.json: cannot read it (No such file or directory): "
               "--baseline takes a folder a gallery was written into\n";
    QTest::addRow("bad-format") << QStringList {"check", "TMP/ok.c", "--format", "xml"} << 2
                                << "velko-menu: --format takes text, sarif or json, not 'xml'"
                    + tryHelp;
    QTest::addRow("bad-time") << QStringList {"render", "TMP/ok.c:1", "--ascii", "--time", "24:00"}
                              << 2
                              << "velko-menu: --time takes HH:MM from 00:00 to 23:59, not '24:00'"
                    + tryHelp;
    QTest::addRow("bad-theme") << QStringList {"render", "TMP/ok.c:1", "-oTMP/x.png", "--theme",
                                               "amber"}
                               << 2
                               << "velko-menu: unknown theme 'amber' (choose from: default, "
                                  "white-on-black, blue-oled, "
                                  "green-lcd)"
                    + tryHelp;
    QTest::addRow("no-output-chosen")
            << QStringList {"render", "TMP/ok.c:1"} << 2
            << "velko-menu: render needs -o OUT.png, --ascii, or both" + tryHelp;
    QTest::addRow("no-line")
            << QStringList {"render", "TMP/ok.c", "--ascii"} << 2
            << "velko-menu: 'TMP/ok.c' gives no line: use FILE:LINE[:COLUMN], or FILE --all -o DIR"
                    + tryHelp;
    QTest::addRow("line-zero")
            << QStringList {"render", "TMP/ok.c:0", "--ascii"} << 2
            << "velko-menu: the line number must be at least 1: lines and columns count from 1"
                    + tryHelp;
    QTest::addRow("huge-line-number")
            << QStringList {"render", "TMP/ok.c:99999999999999999999", "--ascii"} << 2
            << "velko-menu: the line number 99999999999999999999 is out of range" + tryHelp;
    QTest::addRow("all-without-folder")
            << QStringList {"render", "TMP/ok.c", "--all"} << 2
            << "velko-menu: --all needs -o DIR, the folder for the PNG files" + tryHelp;
    QTest::addRow("all-with-ascii")
            << QStringList {"render", "TMP/ok.c", "--all", "-o", "TMP/pngs", "--ascii"} << 2
            << "velko-menu: --ascii prints one screen and cannot be used with --all" + tryHelp;
    QTest::addRow("all-with-a-line")
            << QStringList {"render", "TMP/ok.c:3", "--all", "-o", "TMP/pngs"} << 2
            << "velko-menu: --all takes a FILE without a line (TMP/ok.c, not TMP/ok.c:3)" + tryHelp;
    QTest::addRow("check-without-files") << QStringList {"check", "--werror"} << 2
                                         << "velko-menu: check needs at least one FILE" + tryHelp;

    QTest::addRow("unreadable-compile-commands")
            << QStringList {"check", "TMP/ok.c", "--compile-commands", "TMP/nothing.json"} << 2
            << "velko-menu: TMP/nothing.json: cannot be read\n";
    QTest::addRow("missing-file") << QStringList {"render", "TMP/nothing.c:1", "--ascii"} << 2
                                  << "TMP/nothing.c: error: no such file\n";
    QTest::addRow("symlink-loop") << QStringList {"check", "TMP/loop.c"} << 2
                                  << "TMP/loop.c: error: too many levels of symbolic links\n";
    QTest::addRow("directory") << QStringList {"render", "TMP:1", "--ascii"} << 2
                               << "TMP: error: is a directory\n";
    QTest::addRow("binary-file")
            << QStringList {"check", "TMP/binary.c"} << 2
            << "TMP/binary.c: error: is a binary file (20 control bytes among the first 24)\n";
    QTest::addRow("utf16-with-byte-order-mark")
            << QStringList {"check", "TMP/utf16le.c"} << 2
            << "TMP/utf16le.c: error: is UTF-16 text: save it as UTF-8\n";
    QTest::addRow("utf16-big-endian-without-mark")
            << QStringList {"render", "TMP/utf16be.c:1", "--ascii"} << 2
            << "TMP/utf16be.c: error: is UTF-16 text: save it as UTF-8\n";
    QTest::addRow("sixteen-bit-data-is-no-text")
            << QStringList {"check", "TMP/data16.c"} << 2
            << "TMP/data16.c: error: is a binary file (128 control bytes among the first 128)\n";
    QTest::addRow("not-utf8")
            << QStringList {"render", "TMP/latin1.c:1", "--ascii"} << 2
            << "TMP/latin1.c: error: is not UTF-8 text (an invalid byte sequence on line 3)\n";
    QTest::addRow("unwritable-png")
            << QStringList {"render", "TMP/ok.c:1", "-o", "TMP/no/such/folder/x.png"} << 2
            << "TMP/no/such/folder/x.png: error: cannot write the PNG file: Cannot open device "
               "for writing: No such file or directory\n";
    QTest::addRow("all-into-a-file")
            << QStringList {"render", "TMP/ok.c", "--all", "-o", "TMP/ok.c"} << 2
            << "TMP/ok.c: error: not a folder\n";

    QTest::addRow("no-menu-at-position")
            << QStringList {"render", "TMP/ok.c:5", "--ascii"} << 1
            << "TMP/ok.c:5:1: error: no menu definition around this position\n";
    QTest::addRow("menu-does-not-parse")
            << QStringList {"render", "TMP/broken.c:2:3", "--ascii"} << 1
            << "TMP/broken.c:2:3: error: the menu definition around this position does not parse\n"
               "TMP/broken.c:3:1: error: name mismatch: END_MENU(Y, ...) closes BEGIN_MENU(X) at "
               "1:1\n";
    QTest::addRow("stray-closing-macro")
            << QStringList {"render", "TMP/stray.c:4:5", "--ascii"} << 1
            << "TMP/stray.c:4:5: error: no menu opens here\n"
               "TMP/stray.c:4:1: error: stray closing macro: END_MENU(B, ...) closes no menu; no "
               "BEGIN_MENU is open before it\n";
    QTest::addRow("line-past-the-end") << QStringList {"render", "TMP/ok.c:6", "--ascii"} << 1
                                       << "TMP/ok.c:6: error: the file has only 5 lines\n";
    QTest::addRow("column-past-the-end")
            << QStringList {"render", "TMP/ok.c:1:2147483647", "--ascii"} << 1
            << "TMP/ok.c:1:2147483647: error: line 1 has only 16 columns (the cursor can "
               "stand up to column 17)\n";
    QTest::addRow("all-on-a-file-without-menus")
            << QStringList {"render", "TMP/latin1-free.c", "--all", "-o", "TMP/pngs"} << 1
            << "TMP/latin1-free.c: error: no menu definitions in this file\n";
}

void tst_VelkoMenu::errorPaths()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, error);

    const QString dir = m_dir.path();
    QVERIFY(!write(QStringLiteral("ok.c"), menu("Main", "Main", {"a", "b"}))
                     .isEmpty()); // 5 lines, the last empty
    QVERIFY(!write(QStringLiteral("broken.c"),
                   "BEGIN_MENU(X)\n  MENU_ITEM(\"a\")\nEND_MENU(Y, \"T\")\n")
                     .isEmpty());
    QVERIFY(!write(QStringLiteral("stray.c"), menu("A", "A", {"a"}) + "END_MENU(B, \"B\")\n")
                     .isEmpty());
    QVERIFY(!write(QStringLiteral("binary.c"),
                   QByteArray("\x7f"
                              "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x02\0>\0\x01\0\0\0",
                              24))
                     .isEmpty());
    QVERIFY(!write(QStringLiteral("latin1.c"), "// menus\n// of the\n// caf\xE9\n").isEmpty());
    const QString wide = QStringLiteral("BEGIN_MENU(Main)\n  MENU_ITEM(\"Скорость\")\n");
    QByteArray utf16le("\xFF\xFE");
    QByteArray utf16be;
    for (const QChar c : wide) {
        utf16le += char(c.unicode() & 0xFF);
        utf16le += char(c.unicode() >> 8);
        utf16be += char(c.unicode() >> 8);
        utf16be += char(c.unicode() & 0xFF);
    }
    QVERIFY(!write(QStringLiteral("utf16le.c"), utf16le).isEmpty());
    QVERIFY(!write(QStringLiteral("utf16be.c"), utf16be).isEmpty());
    QByteArray data16;
    for (int i = 0; i < 64; ++i)
        data16 += QByteArray(1, char(i % 7 + 1)) + QByteArray(1, '\0');
    QVERIFY(!write(QStringLiteral("data16.c"), data16).isEmpty());
    QVERIFY(!write(QStringLiteral("latin1-free.c"), "int main(void) { return 0; }\n").isEmpty());
    QFile::remove(dir + QStringLiteral("/loop.c"));
    QVERIFY(QFile::link(dir + QStringLiteral("/loop.c"), dir + QStringLiteral("/loop.c")));

    for (QString &argument : arguments)
        argument.replace(QLatin1String("TMP"), dir);
    const Run run = runTool(arguments);
    QVERIFY(!run.crashed);
    QCOMPARE(run.err, QString(error).replace(QLatin1String("TMP"), dir));
    QCOMPARE(run.out, QString());
    QCOMPARE(run.exitCode, exitCode);
}

void tst_VelkoMenu::unreadableStoreIsReported_data()
{
    QTest::addColumn<bool>("folder"); // a folder where the file belongs; else garbage
    QTest::addColumn<QString>("reason");
    QTest::addRow("folder") << true << "access denied";
    QTest::addRow("garbage") << false << "not in the settings format";
}

void tst_VelkoMenu::unreadableStoreIsReported()
{
    QFETCH(bool, folder);
    QFETCH(QString, reason);
    const QTemporaryDir config;
    const QString store = config.filePath(QStringLiteral("Ombrix/VelkoMenuView.conf"));
    QVERIFY(QDir().mkpath(folder ? store : QFileInfo(store).path()));
    if (!folder) {
        QFile file(store);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("[General\0\xFF\nx", 12));
    }
    QProcessEnvironment environment = toolEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    const QString path = write(QStringLiteral("store.c"), menu("Main", "Main", {"a"}));
    const Run run = runTool({"check", path}, environment);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err,
             QStringLiteral("velko-menu: warning: the stored values cannot be read (%1: "
                            "%2); items are checked without them\n")
                     .arg(store, reason));
}

void tst_VelkoMenu::helpDocumentsEveryOption()
{
    const Run run = runTool({"render", "--help"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QString());
    for (const char *documented :
         {"render FILE:LINE[:COLUMN]", "render FILE --all -o DIR", "check FILE|DIR...",
          "gallery FILE|DIR... -o DIR", "--format text|sarif|json", "--screen-edge",
          "--scale 1|2|3", "--time HH:MM", "--ascii", "-o, --output", "--theme NAME",
          "white-on-black", "blue-oled", "green-lcd", "--werror", "--real-digits N",
          "UTF-16 code units", "Exit status"})
        QVERIFY2(run.out.contains(QLatin1String(documented)), documented);
    for (const QString &line : run.out.split(QLatin1Char('\n')))
        QVERIFY2(line.size() <= 80, qPrintable(line));

    // Without a platform chosen the tool still runs, offscreen.
    QProcessEnvironment environment = toolEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    const QString path = write(QStringLiteral("platform.c"), menu("Main", "Main", {"a"}));
    const Run rendered
            = runTool({"render", path + ":1", "--ascii", "--time", "09:05"}, environment);
    QCOMPARE(rendered.err, QString());
    QCOMPARE(rendered.exitCode, 0);
    COMPARE_ART(rendered.out, deviceScreen({"Main            09:05", "a"}));
}

void tst_VelkoMenu::examplesShowOnlyTheBrokenMenu()
{
    const QDir examples(sourceDir() + QStringLiteral("/examples"));
    const QStringList files = examples.entryList({QStringLiteral("*.c")}, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 3);
    const Run run = runTool(QStringList {"check"} + files, toolEnvironment(), examples.path());
    QVERIFY(!run.crashed);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 1);
    // Exactly one error, the broken menu's; every warning is one that the
    // examples explain in a comment.
    QCOMPARE(run.out,
             QStringLiteral("main_menu.c:60:5: warning: item \"Наработка %lu ч\" can overflow the "
                            "21 cells: '%lu' can "
                            "print 20 characters, and the line has room for 9\n"
                            "service_menu_broken.c:17:1: error: name mismatch: "
                            "END_MENU(SeviceMenu, ...) closes "
                            "BEGIN_MENU(ServiceMenu) at 12:1\n"
                            "settings_menu.c:14:1: note: the screen shows 7 of the menu's 8 items "
                            "at once, under the title; the rest lie below its lower edge\n"
                            "settings_menu.c:40:24: warning: character U+03A9 'Ω' in the item is "
                            "not in the 6x8 font: "
                            "the device skips it\n"
                            "settings_menu.c:48:36: warning: title \"Калибровка датчика\" is 18 "
                            "characters long: only "
                            "a title of up to 15 characters leaves room for the clock\n"));

    // Every menu of the sound examples renders.
    for (const QString &file : files) {
        if (file.contains(QLatin1String("broken")))
            continue;
        const QString out = m_dir.filePath(QStringLiteral("examples/") + file);
        const Run all = runTool({"render", examples.filePath(file), "--all", "-o", out});
        // Its findings are those of check that change what is drawn.
        for (const QString &line : all.err.split(u'\n', Qt::SkipEmptyParts)) {
            const QString relative = line.mid(examples.path().size() + 1);
            QVERIFY2(run.out.contains(relative + u'\n') && !relative.contains(u"can overflow"),
                     qPrintable(line));
        }
        QCOMPARE(all.exitCode, 0);
        QVERIFY(all.out.count(QLatin1Char('\n')) >= 3);
    }
}

using namespace Qt::StringLiterals;

void tst_VelkoMenu::findsTheIdesBuildFolders_data()
{
    QTest::addColumn<QString>("newer"); // the configuration written last
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("out");

    // Only the German text is too long for the screen.
    const QString overflow
            = u"FILE:3:5: warning: item STR_BACK takes 28 cells; the screen shows 21\n"_s;
    QTest::addRow("check-debug") << "Debug"
                                 << "check" << overflow;
    QTest::addRow("check-release") << "Release"
                                   << "check" << QString();
    QTest::addRow("render-release") << "Release"
                                    << "render"
                                    << "Back";
}

void tst_VelkoMenu::findsTheIdesBuildFolders()
{
    QFETCH(QString, newer);
    QFETCH(QString, command);
    QFETCH(QString, out);
    // An IDE's build folders beside the source tree, one per configuration.
    const QString tree = m_dir.filePath(u"ide"_s);
    const QString source = tree + u"/fw/app/menu.c"_s;
    QVERIFY(QDir().mkpath(tree + u"/fw/app"_s));
    QVERIFY(!write(u"ide/fw/app/strings.h"_s,
                   "#ifdef LANG_EN\n#define STR_BACK \"Back\"\n#else\n"
                   "#define STR_BACK \"Zurueck zum Hauptmenue jetzt\"\n#endif\n")
                     .isEmpty());
    QVERIFY(!write(u"ide/fw/app/menu.c"_s,
                   "#include \"strings.h\"\nBEGIN_MENU(M)\n    MENU_ITEM(STR_BACK)\n"
                   "END_MENU(M, \"T\")\n")
                     .isEmpty());
    const QDateTime now = QDateTime::currentDateTime();
    for (const QString &configuration : {u"Debug"_s, u"Release"_s}) {
        const QString folder = tree + u"/build-fw-Desktop-"_s + configuration;
        QVERIFY(QDir().mkpath(folder));
        const QString macro = configuration == u"Debug"_s ? u"LANG_DE"_s : u"LANG_EN"_s;
        QFile database(folder + u"/compile_commands.json"_s);
        QVERIFY(database.open(QIODevice::WriteOnly));
        database.write(
                u"[{\"directory\": \"%1\", \"file\": \"%2\", \"command\": \"cc -D%3 -c %2\"}]"_s
                        .arg(folder, source, macro)
                        .toUtf8());
        QVERIFY(database.flush());
        QVERIFY(database.setFileTime(now.addSecs(configuration == newer ? -10 : -20),
                                     QFileDevice::FileModificationTime));
    }
    const QStringList arguments = command == u"check"_s
            ? QStringList {u"check"_s, source, u"--verbose"_s}
            : QStringList {u"render"_s, source + u":3"_s, u"--ascii"_s,
                           u"--time"_s, u"12:30"_s,       u"--verbose"_s};
    const Run run = runTool(arguments);
    QVERIFY(!run.crashed);
    if (command == u"check"_s)
        QCOMPARE(run.out, QString(out).replace(u"FILE"_s, source));
    else
        COMPARE_ART(run.out, deviceScreen({u"T               12:30"_s, out}));
    const QString older = newer == u"Debug"_s ? u"Release"_s : u"Debug"_s;
    const QString macro = newer == u"Debug"_s ? u"LANG_DE"_s : u"LANG_EN"_s;
    QCOMPARE(run.err,
             u"%1: variant: build-fw-Desktop-%2, -D%3, from %4/build-fw-Desktop-%2/"
             "compile_commands.json, the newest of 2 with an entry for the file (also "
             "%4/build-fw-Desktop-%5/compile_commands.json)\n"_s.arg(source, newer, macro, tree,
                                                                     older));
}

QTEST_MAIN(tst_VelkoMenu)
#include "tst_velkomenu.moc"
