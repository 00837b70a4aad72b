// The studio with the real plug-in module loaded from the plug-in folder:
// open an example, let the pane's timer find the menu, type, close, and the
// ways a file can fail to open.
#include "../menuview/dialoganswer.h"
#include "screenart.h"
#include "widgetscreen.h"

#include "codeeditor.h"
#include "mainwindow.h"
#include "navigationpane.h"
#include "studioeditor.h"
#include "textfileformat.h"

#include "coreplugin/idocument.h"
#include "devicegfx/gfx.h"
#include "extensionsystem/pluginmanager.h"
#include "utils/filepath.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace VelkoMenuView;

namespace {

using ScreenArt::deviceRow;

const QByteArray example = "#include \"menu.h\"\n"
                           "BEGIN_MENU(Main)\n"
                           "  MENU_ITEM(\"Speed %d\")\n"
                           "  MENU_ITEM(\"Exit\")\n"
                           "END_MENU(Main, \"Main menu\")\n";

QSettings store()
{
    return {QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ombrix"),
            QStringLiteral("VelkoMenuView")};
}

// Leaves the changes unsaved when the window asks about them.
void discard(QDialog *question)
{
    static_cast<QMessageBox *>(question)->button(QMessageBox::Discard)->click();
}

} // namespace

class tst_Studio : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void followsEditingAndPrunesOnClose();
    void followsTheBuildsVariant();
    void refusesBadFiles_data();
    void refusesBadFiles();
    void windowTitleNamesTheFile();
    void savesOnlyTheEdit_data();
    void savesOnlyTheEdit();
    void keepsTheLineEndsOfLinesNotEdited_data();
    void keepsTheLineEndsOfLinesNotEdited();
    void keepsTheLineEndsThroughManyEdits();
    void commandLine_data();
    void commandLine();

private:
    QTemporaryDir m_dir;
};

void tst_Studio::initTestCase()
{
    ExtensionSystem::PluginManager::setPluginPaths({QStringLiteral(PLUGIN_DIR)});
    ExtensionSystem::PluginManager::loadPlugins();
}

void tst_Studio::cleanupTestCase()
{
    ExtensionSystem::PluginManager::shutdown();
}

void tst_Studio::followsEditingAndPrunesOnClose()
{
    const QString path = m_dir.filePath(QStringLiteral("main.c"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(example);
    file.close();
    store().clear();
    store().setValue(QStringLiteral("Period"), 1);
    const QString menuGroup
            = QString(path).replace(QLatin1Char('/'), QLatin1Char('\\')) + QStringLiteral("/Main/");
    store().setValue(menuGroup + QStringLiteral("Speed %d/Param1"), QStringLiteral("42"));
    store().setValue(menuGroup + QStringLiteral("Removed %d/Param1"), QStringLiteral("7"));

    MainWindow window;
    QVERIFY(window.navigationPane()->choose(QStringLiteral("Velko Menu View")));
    QCOMPARE(window.navigationPane()->chooser()->currentText(), QStringLiteral("Velko Menu View"));
    window.show();
    StudioEditor *editor = window.openFile(path, 3, 5);
    QVERIFY(editor);
    QWidget *screen = window.navigationPane()->findChild<QWidget *>(QStringLiteral("menuItems"));
    QVERIFY(screen);

    // The pane's own timer (1 s from the store) finds the menu: 3 rows at magnification 2.
    QTRY_COMPARE_WITH_TIMEOUT(screen->size(), QSize(256, 48), 5000);
    WidgetScreen shot {screen->grab().toImage(), 2};
    COMPARE_ART(shot.row(1), deviceRow(QStringLiteral("Speed 42"), false));
    COMPARE_ART(shot.row(2), deviceRow(QStringLiteral("Exit"), false));

    // Typing re-analyses at once, without waiting for the timer.
    editor->gotoLine(4, 16, false); // between "Ex" and "it"
    QTest::keyClicks(editor->editorWidget(), QStringLiteral(" now"));
    shot.image = screen->grab().toImage();
    COMPARE_ART(shot.row(2), deviceRow(QStringLiteral("Ex nowit"), false));

    // Closing (discarding the edit) prunes against the file as saved, while
    // the screen keeps the menu as it was last shown and says whose it was.
    DialogAnswer discarding(discard);
    QVERIFY(window.closeEditor(editor));
    QVERIFY(discarding.answered());
    QVERIFY(!window.currentEditor());
    shot.image = screen->grab().toImage();
    COMPARE_ART(shot.row(2), deviceRow(QStringLiteral("Ex nowit"), false));
    auto status = window.navigationPane()->findChild<QLabel *>(QStringLiteral("statusLabel"));
    QVERIFY(status);
    QCOMPARE(status->text(), QStringLiteral("Меню Main, строки 2–5; документ main.c закрыт"));
    QVERIFY(store().contains(menuGroup + QStringLiteral("Speed %d/Param1")));
    QVERIFY(!store().contains(menuGroup + QStringLiteral("Removed %d/Param1")));
}

void tst_Studio::followsTheBuildsVariant()
{
    // A firmware tree with two variants, configured by CMake, which writes
    // build/compile_commands.json: the pane shows the variant configured.
    const QString cmake = QStandardPaths::findExecutable(QStringLiteral("cmake"));
    if (cmake.isEmpty())
        QSKIP("cmake is not installed");
    const QDir tree(m_dir.filePath(QStringLiteral("fw")));
    QVERIFY(tree.mkpath(QStringLiteral("include")));
    const auto write = [&](const QString &name, const QByteArray &contents) {
        QFile file(tree.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
    };
    QVERIFY(write(QStringLiteral("CMakeLists.txt"),
                  "cmake_minimum_required(VERSION 3.13)\nproject(fw C)\n"
                  "set(CMAKE_EXPORT_COMPILE_COMMANDS ON)\noption(LANG_EN \"English\" OFF)\n"
                  "add_library(fw OBJECT main.c)\n"
                  "target_include_directories(fw PRIVATE include)\n"
                  "if(LANG_EN)\n  target_compile_definitions(fw PRIVATE LANG_EN)\nendif()\n"));
    QVERIFY(write(QStringLiteral("include/strings.h"),
                  "#ifdef LANG_EN\n#define STR_BACK \"Back\"\n#else\n#define STR_BACK "
                  "\"Назад\"\n#endif\n"));
    QVERIFY(write(QStringLiteral("main.c"),
                  "#include \"strings.h\"\n/* menu */\nBEGIN_MENU(Main)\n  MENU_ITEM(STR_BACK)\n"
                  "END_MENU(Main, \"Main\")\n"));
    const auto configure = [&](const QString &language) {
        QProcess process;
        process.start(cmake,
                      {QStringLiteral("-S"), tree.path(), QStringLiteral("-B"),
                       tree.filePath(QStringLiteral("build")),
                       QStringLiteral("-DLANG_EN=") + language});
        return process.waitForFinished(120000) && process.exitCode() == 0;
    };
    QVERIFY(configure(QStringLiteral("ON")));
    QVERIFY(QFile::exists(tree.filePath(QStringLiteral("build/compile_commands.json"))));

    MainWindow window;
    QVERIFY(window.navigationPane()->choose(QStringLiteral("Velko Menu View")));
    window.show();
    StudioEditor *editor = window.openFile(tree.filePath(QStringLiteral("main.c")), 4, 5);
    QVERIFY(editor);
    QWidget *screen = window.navigationPane()->findChild<QWidget *>(QStringLiteral("menuItems"));
    QVERIFY(screen);
    QTRY_COMPARE_WITH_TIMEOUT(screen->size(), QSize(256, 32), 5000);
    WidgetScreen shot {screen->grab().toImage(), 2};
    COMPARE_ART(shot.row(1), deviceRow(QStringLiteral("Back"), false));

    // Configured again for the other language: shown with the cursor still,
    // within 2 s of the database being written.
    QVERIFY(configure(QStringLiteral("OFF")));
    const QString german = deviceRow(QStringLiteral("Назад"), false);
    QTRY_VERIFY_WITH_TIMEOUT((WidgetScreen {screen->grab().toImage(), 2}.row(1) == german), 2000);

    // The header saved by another program: the same.
    QVERIFY(write(QStringLiteral("include/strings.h"), "#define STR_BACK \"Выход\"\n"));
    const QString edited = deviceRow(QStringLiteral("Выход"), false);
    QTRY_VERIFY_WITH_TIMEOUT((WidgetScreen {screen->grab().toImage(), 2}.row(1) == edited), 2000);
}

void tst_Studio::refusesBadFiles_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("error");

    QTest::addRow("missing") << QByteArray() << "no such file";
    QTest::addRow("binary") << QByteArray("BEGIN_MENU\0\x01\x02", 13) << "binary";
    QTest::addRow("latin1") << QByteArray("MENU_ITEM(\"Gr\xF6\xDF"
                                          "e\")")
                            << "not UTF-8";
    QTest::addRow("folder") << QByteArray() << "is a directory";
    QTest::addRow("utf16") << QByteArray("\xFF\xFEi\0n\0t\0 \0x\0;\0\n\0", 16)
                           << "is UTF-16 text: save it as UTF-8";
}

void tst_Studio::refusesBadFiles()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, error);
    QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    if (error == QLatin1String("is a directory")) {
        QVERIFY(QDir().mkpath(path));
    } else if (!contents.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    MainWindow window;
    QString told;
    DialogAnswer warning([&](QDialog *box) {
        told = static_cast<QMessageBox *>(box)->text();
        box->accept();
    });
    QVERIFY(!window.openFile(path));
    QVERIFY(!window.currentEditor());
    QVERIFY2(told.contains(error), qPrintable(told));
}

void tst_Studio::windowTitleNamesTheFile()
{
    const QString path = m_dir.filePath(QStringLiteral("title.c"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(example);
    file.close();
    MainWindow window;
    StudioEditor *editor = window.openFile(path);
    QVERIFY(editor);
    QVERIFY(window.windowTitle().startsWith(QStringLiteral("title.c[*]")));
    QVERIFY(!window.isWindowModified());
    QTest::keyClicks(editor->editorWidget(), QStringLiteral("x"));
    QVERIFY(window.isWindowModified());
    // A place past the end opens at the nearest one there is.
    editor->gotoLine(99, 1, false);
    QCOMPARE(editor->currentLine(), editor->editorWidget()->document()->blockCount());
    DialogAnswer discarding(discard);
    QVERIFY(window.closeEditor(editor));
    QVERIFY(discarding.answered());
    QVERIFY(!window.windowTitle().contains(QStringLiteral("title.c")));
}

void tst_Studio::savesOnlyTheEdit_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("saved"); // after typing "x" at line 2, column 3

    QTest::addRow("lf") << QByteArray("int a;\nint b;\n") << QByteArray("int a;\ninxt b;\n");
    QTest::addRow("crlf") << QByteArray("int a;\r\nint b;\r\n")
                          << QByteArray("int a;\r\ninxt b;\r\n");
    QTest::addRow("cr") << QByteArray("int a;\rint b;\r") << QByteArray("int a;\rinxt b;\r");
    QTest::addRow("byte-order-mark-crlf") << QByteArray("\xEF\xBB\xBF"
                                                        "int a;\r\nint b;")
                                          << QByteArray("\xEF\xBB\xBF"
                                                        "int a;\r\ninxt b;");
    QTest::addRow("byte-order-mark-lf")
            << QByteArray("\xEF\xBB\xBF// \xD0\xBC\xD0\xB5\xD0\xBD\xD1\x8E\nint b;\n")
            << QByteArray("\xEF\xBB\xBF// \xD0\xBC\xD0\xB5\xD0\xBD\xD1\x8E\ninxt b;\n");
    QTest::addRow("zero-byte-in-a-comment") << QByteArray("int a; /* \0 */\nint b;\n", 22)
                                            << QByteArray("int a; /* \0 */\ninxt b;\n", 23);
    QTest::addRow("no-break-space-and-separators") << QByteArray("a\xC2\xA0"
                                                                 "b\r\ncd\xE2\x80\xA8"
                                                                 "e\r\n")
                                                   << QByteArray("a\xC2\xA0"
                                                                 "b\r\ncdx\xE2\x80\xA8"
                                                                 "e\r\n");
}

void tst_Studio::savesOnlyTheEdit()
{
    QFETCH(QByteArray, file);
    const QString path = m_dir.filePath(QStringLiteral("save-") + QTest::currentDataTag() + ".c");
    {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
    }
    MainWindow window;
    StudioEditor *editor = window.openFile(path, 2, 3);
    QVERIFY(editor);
    QTest::keyClicks(editor->editorWidget(), QStringLiteral("x"));
    QString error;
    QVERIFY2(editor->document()->save(&error, Utils::FilePath(), false), qPrintable(error));
    QFile in(path);
    QVERIFY(in.open(QIODevice::ReadOnly));
    QTEST(in.readAll(), "saved");
    QVERIFY(window.closeEditor(editor));
}

void tst_Studio::keepsTheLineEndsOfLinesNotEdited_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("line"); // where the edit starts
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("removed"); // characters, "\n" between lines counting as one
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<QByteArray>("saved");

    const QByteArray mixed("int a;\nint b;\r\nint c;\r\nint d;\r\n");
    QTest::addRow("space-at-the-end-of-a-line")
            << mixed << 2 << 7 << 0 << " " << QByteArray("int a;\nint b; \r\nint c;\r\nint d;\r\n");
    QTest::addRow("line-inserted")
            << mixed << 2 << 7 << 0 << "\nint x;"
            << QByteArray("int a;\nint b;\r\nint x;\r\nint c;\r\nint d;\r\n");
    QTest::addRow("line-inserted-at-the-top")
            << mixed << 1 << 1 << 0 << "int x;\n"
            << QByteArray("int x;\nint a;\nint b;\r\nint c;\r\nint d;\r\n");
    QTest::addRow("line-split") << mixed << 2 << 4 << 0 << "\n"
                                << QByteArray("int a;\nint\r\n b;\r\nint c;\r\nint d;\r\n");
    QTest::addRow("lines-joined") << mixed << 1 << 7 << 1 << ""
                                  << QByteArray("int a;int b;\r\nint c;\r\nint d;\r\n");
    QTest::addRow("line-removed") << mixed << 3 << 1 << 7 << ""
                                  << QByteArray("int a;\nint b;\r\nint d;\r\n");
    QTest::addRow("lines-replaced") << mixed << 2 << 1 << 13 << "x;\ny;\nz;"
                                    << QByteArray("int a;\nx;\r\ny;\r\nz;\r\nint d;\r\n");
    QTest::addRow("line-added-after-a-last-line-without-end")
            << QByteArray("int a;\nint b;\r\nint c;") << 3 << 7 << 0 << "\nint d;"
            << QByteArray("int a;\nint b;\r\nint c;\r\nint d;");
    QTest::addRow("lone-carriage-returns")
            << QByteArray("a\rb\nc\r\n") << 2 << 2 << 0 << "x" << QByteArray("a\rbx\nc\r\n");
}

// The edit, undone, saves the file as it was; made again, only its lines change.
void tst_Studio::keepsTheLineEndsOfLinesNotEdited()
{
    QFETCH(QByteArray, file);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(int, removed);
    QFETCH(QString, inserted);
    const QString path = m_dir.filePath(QStringLiteral("ends-") + QTest::currentDataTag() + ".c");
    const auto saved = [&]() -> QByteArray {
        QFile in(path);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("(unreadable)");
    };
    {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
    }
    MainWindow window;
    StudioEditor *editor = window.openFile(path);
    QVERIFY(editor);
    QTextDocument *text = editor->editorWidget()->document();
    const auto edit = [&] {
        QTextCursor cursor(text->findBlockByNumber(line - 1));
        cursor.setPosition(cursor.position() + column - 1);
        cursor.setPosition(cursor.position() + removed, QTextCursor::KeepAnchor);
        cursor.insertText(inserted);
    };
    QString error;
    edit();
    while (text->isUndoAvailable())
        text->undo();
    QVERIFY2(editor->document()->save(&error, Utils::FilePath(), false), qPrintable(error));
    QCOMPARE(saved(), file);
    edit();
    QVERIFY2(editor->document()->save(&error, Utils::FilePath(), false), qPrintable(error));
    QTEST(saved(), "saved");
    QVERIFY(window.closeEditor(editor));
}

// Random edits of a file whose lines end in every way: each line left as it
// was keeps its own ending, and the text is what was edited.
void tst_Studio::keepsTheLineEndsThroughManyEdits()
{
    struct Line
    {
        QByteArray text;
        QByteArray end; // as read; none for the last line and new ones
    };
    const auto split = [](const QByteArray &bytes) {
        QList<Line> lines {{}};
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if (bytes[i] != '\n' && bytes[i] != '\r') {
                lines.last().text += bytes[i];
                continue;
            }
            const bool crLf = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
            lines.last().end = bytes.mid(i, crLf ? 2 : 1);
            i += crLf ? 1 : 0;
            lines.append(Line());
        }
        return lines;
    };
    QRandomGenerator rng(29);
    const char *const ends[] = {"\n", "\r\n", "\r"};
    for (int round = 0; round < 300; ++round) {
        QByteArray file;
        for (int i = 0, n = int(rng.bounded(1, 60)); i < n; ++i)
            file += "line " + QByteArray::number(i) + (i + 1 < n ? ends[rng.bounded(3)] : "");
        const TextFileFormat format = TextFileFormat::detect(file);
        QList<Line> edited = split(file);
        for (int e = 0, edits = int(rng.bounded(1, 2 + int(edited.size()) / 2)); e < edits; ++e) {
            const int at = int(rng.bounded(edited.size()));
            const int kind = edited.size() > 1 ? int(rng.bounded(3)) : 1;
            if (kind == 0)
                edited.removeAt(at);
            else if (kind == 1)
                edited.insert(at, {"new " + QByteArray::number(e), {}});
            else
                edited[at] = {"edited " + QByteArray::number(e), {}};
        }
        QByteArrayList texts;
        for (const Line &line : std::as_const(edited))
            texts << line.text;
        const QString text = QString::fromLatin1(texts.join('\n'));
        const QByteArray saved = format.encode(text);
        const QList<Line> written = split(saved);
        QCOMPARE(written.size(), edited.size());
        for (qsizetype i = 0; i < written.size(); ++i) {
            QCOMPARE(written[i].text, edited[i].text);
            if (!edited[i].end.isEmpty() && i + 1 < edited.size())
                QVERIFY2(written[i].end == edited[i].end,
                         qPrintable(QStringLiteral("round %1, line %2").arg(round).arg(i + 1)));
        }
    }
}

void tst_Studio::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("platform"); // QT_QPA_PLATFORM; unset when empty
    QTest::addColumn<QString>("display"); // DISPLAY; unset when empty
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output"); // expected in standard output and error

    const QString noDisplay = "velko-menu-studio: no display (DISPLAY is not set); `velko-menu "
                              "render` draws menus without one\n";
    // No window system is asked for: DISPLAY and QT_QPA_PLATFORM are unset.
    QTest::addRow("help") << QStringList {"--help"} << ""
                          << "" << 0 << "FILE[:LINE[:COLUMN]]";
    QTest::addRow("version") << QStringList {"--version"} << ""
                             << "" << 0 << "velko-menu-studio 1.0.0";
    QTest::addRow("unknown-pane") << QStringList {"--pane", "Outline"} << "offscreen"
                                  << "" << 2
                                  << "no pane named \"Outline\"; the panes are \"Velko Menu View\"";
    QTest::addRow("no-display") << QStringList {"main.c"} << ""
                                << "" << 2 << noDisplay;
    QTest::addRow("no-display-for-xcb") << QStringList {"main.c"} << "xcb"
                                        << "" << 2 << noDisplay;
    QTest::addRow("no-display-platform-argument")
            << QStringList {"-platform", "xcb", "main.c"} << "offscreen"
            << "" << 2 << noDisplay;
    QTest::addRow("no-display-server")
            << QStringList {"main.c"} << "xcb"
            << ":59999" << 2 << "velko-menu-studio: cannot open a window: ";
    QTest::addRow("unknown-option-before-display")
            << QStringList {"--bogus", "main.c"} << ""
            << "" << 2
            << "velko-menu-studio: Unknown option 'bogus'.\nTry 'velko-menu-studio --help' for "
               "more information.\n";
}

void tst_Studio::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, platform);
    QFETCH(QString, display);
    QFETCH(int, status);
    QFETCH(QString, output);
    QProcess studio;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (!platform.isEmpty())
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    if (!display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), display);
    studio.setProcessEnvironment(environment);
    studio.setProcessChannelMode(QProcess::MergedChannels);
    studio.start(QStringLiteral(STUDIO_BINARY), arguments);
    QVERIFY(studio.waitForFinished(20000));
    const QString printed = QString::fromUtf8(studio.readAll());
    QCOMPARE(studio.exitStatus(), QProcess::NormalExit);
    QVERIFY2(printed.contains(output), qPrintable(printed));
    QCOMPARE(studio.exitCode(), status);
    // A failure to start says so in one line (two with the hint to --help).
    if (output.endsWith(u'\n'))
        QCOMPARE(printed, output);
    if (!display.isEmpty())
        QCOMPARE(printed.count(u'\n'), 1);
}

QTEST_MAIN(tst_Studio)
#include "tst_studio.moc"
