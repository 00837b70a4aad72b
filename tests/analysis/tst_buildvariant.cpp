// The variant being built: where its options are found, how headers are
// looked up, and menus of groups the build leaves out. What the compiler
// makes of conditionals and includes itself is judged by tst_gccoracle.
#include "creader/compilecommands.h"
#include "creader/compilerquery.h"
#include "creader/linemap.h"
#include "menuview/analysis/menublocks.h"
#include "menuview/analysis/menukeywords.h"
#include "menuview/analysis/menulocator.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace VelkoMenuView;

class tst_BuildVariant : public QObject
{
    Q_OBJECT

private slots:
    void discovery_data();
    void discovery();
    void newestDatabaseWins_data();
    void newestDatabaseWins();
    void headers_data();
    void headers();
    void menuOfAnotherVariant_data();
    void menuOfAnotherVariant();
    void unsavedHeaderWins();
    void compilerMacros_data();
    void compilerMacros();

private:
    bool write(const QString &path, const QByteArray &contents);

    QTemporaryDir m_dir;
};

bool tst_BuildVariant::write(const QString &path, const QByteArray &contents)
{
    const QString full = m_dir.filePath(path);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && file.write(contents) == contents.size();
}

// A one-menu source whose item is the macro STR: which definition wins
// shows which options were taken.
static const QByteArray itemSource = "#ifndef STR\n#define STR \"none\"\n#endif\n"
                                     "BEGIN_MENU(M)\n    MENU_ITEM(STR)\nEND_MENU(M, \"T\")\n";

// The options of the database found for `source`, taken as the pane takes them.
static BuildConfiguration configurationFound(const QString &source)
{
    const QString database = CompileCommands::search(source).database;
    return database.isEmpty() ? BuildConfiguration()
                              : CompileCommands::configurationFor(source, database);
}

static QString itemOf(const QString &text, const ReadOptions &context)
{
    MenuBlocks walk(text, MenuBlocks::Keywords::Live, context);
    MenuBlock block;
    if (!walk.next(block) || !block.parsed || block.menu.itemTexts.size() != 1)
        return QStringLiteral("<no menu>");
    return block.menu.itemTexts.first();
}

void tst_BuildVariant::discovery_data()
{
    QTest::addColumn<QString>("database"); // where compile_commands.json is written, or ""
    QTest::addColumn<QByteArray>("json"); // "SRC" stands for the source's absolute path
    QTest::addColumn<QString>("item");

    const QByteArray arguments
            = R"([{"directory": "DIR", "file": "SRC", "arguments": ["cc", "-D", "STR=\"args\"", "-c", "SRC"]}])";
    QTest::addRow("beside-the-file") << "fw/app/compile_commands.json" << arguments << "args";
    QTest::addRow("in-a-parent") << "fw/compile_commands.json" << arguments << "args";
    QTest::addRow("in-build-of-a-parent")
            << "fw/build/compile_commands.json" << arguments << "args";
    QTest::addRow("command-with-shell-quotes")
            << "fw/build/compile_commands.json"
            << QByteArray(
                       R"([{"directory": "DIR", "file": "SRC", "command": "cc '-DSTR=\"cmd\"' -c SRC"}])")
            << "cmd";
    QTest::addRow("glued-define-then-undefine")
            << "fw/compile_commands.json"
            << QByteArray(
                       R"([{"directory": "DIR", "file": "SRC", "arguments": ["cc", "-DSTR=\"x\"", "-U", "STR", "SRC"]}])")
            << "none";
    QTest::addRow("entry-of-the-same-folder")
            << "fw/compile_commands.json"
            << QByteArray(
                       R"([{"directory": "DIR", "file": "other.c", "arguments": ["cc", "-DSTR=\"sibling\"", "other.c"]}])")
            << "sibling";
    QTest::addRow("no-entry-for-the-folder")
            << "fw/compile_commands.json"
            << QByteArray(
                       R"([{"directory": "/elsewhere", "file": "x.c", "arguments": ["cc", "-DSTR=\"x\""]}])")
            << "none";
    QTest::addRow("not-json") << "fw/compile_commands.json" << QByteArray("[{") << "none";
    QTest::addRow("none") << QString() << QByteArray() << "none";
}

void tst_BuildVariant::discovery()
{
    QFETCH(QString, database);
    QFETCH(QByteArray, json);
    QVERIFY(QDir(m_dir.filePath(QStringLiteral("fw"))).removeRecursively() || true);
    QVERIFY(write(QStringLiteral("fw/app/menu.c"), itemSource));
    const QString source = m_dir.filePath(QStringLiteral("fw/app/menu.c"));
    if (!database.isEmpty()) {
        json.replace("SRC", source.toUtf8())
                .replace("DIR", m_dir.filePath(QStringLiteral("fw/app")).toUtf8());
        QVERIFY(write(database, json));
    }
    ReadOptions context;
    context.path = source;
    context.configuration = configurationFound(source);
    QTEST(itemOf(QString::fromUtf8(itemSource), context), "item");
}

void tst_BuildVariant::newestDatabaseWins_data()
{
    // Each database as "FOLDER:ENTRY:STR", written in this order, a second
    // apart: ENTRY is "file" for an entry for the source, "folder" for one of
    // another file beside it, "none" for one elsewhere. Folders are relative
    // to the tree holding fw/app/menu.c.
    QTest::addColumn<QStringList>("databases");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("variant"); // the name of the database taken; "" for none

    QTest::addRow("ide-folder-beside-the-tree")
            << QStringList {"build-fw-Desktop-Debug:file:de"} << "de"
            << "build-fw-Desktop-Debug";
    QTest::addRow("build-star-of-a-parent") << QStringList {"fw/build-arm:file:arm"} << "arm"
                                            << "build-arm";
    QTest::addRow("plain-build-named-with-its-parent") << QStringList {"fw/build:file:b"} << "b"
                                                       << "fw/build";
    QTest::addRow("newest-of-two-configurations")
            << QStringList {"build-fw-Desktop-Debug:file:de", "build-fw-Desktop-Release:file:en"}
            << "en"
            << "build-fw-Desktop-Release";
    QTest::addRow("newer-nearer-one-wins")
            << QStringList {"build-fw-Desktop-Release:file:en", "fw:file:near"} << "near"
            << "fw";
    QTest::addRow("entry-for-the-file-beats-a-newer-one-for-its-folder")
            << QStringList {"build-fw-Desktop-Debug:file:de", "fw/build:folder:folder"} << "de"
            << "build-fw-Desktop-Debug";
    QTest::addRow("one-without-an-entry-hides-nothing")
            << QStringList {"build-fw-Desktop-Debug:file:de", "fw/build:none:x"} << "de"
            << "build-fw-Desktop-Debug";
    QTest::addRow("only-ones-without-an-entry")
            << QStringList {"fw/build:none:x", "build-fw-Desktop-Debug:none:y"} << "none"
            << "";
    QTest::addRow("a-folder-not-named-build-is-not-looked-in")
            << QStringList {"out-fw-Desktop-Debug:file:out"} << "none"
            << "";
}

void tst_BuildVariant::newestDatabaseWins()
{
    QFETCH(QStringList, databases);
    QFETCH(QString, variant);
    QTemporaryDir tree;
    const auto write = [&](const QString &path, const QByteArray &contents) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
    };
    const QString source = tree.filePath(QStringLiteral("fw/app/menu.c"));
    QVERIFY(write(source, itemSource));
    const QDateTime start = QDateTime::currentDateTime().addSecs(-100);
    for (qsizetype i = 0; i < databases.size(); ++i) {
        const QStringList fields = databases.at(i).split(u':');
        const QString database
                = tree.filePath(fields.at(0) + QStringLiteral("/compile_commands.json"));
        const QString file = fields.at(1) == u"file" ? source
                : fields.at(1) == u"folder" ? tree.filePath(QStringLiteral("fw/app/other.c"))
                                            : tree.filePath(QStringLiteral("lib/x.c"));
        const QByteArray json = QStringLiteral(R"([{"directory": "%1", "file": "%2",
            "arguments": ["cc", "-DSTR=\"%3\"", "-c", "%2"]}])")
                                        .arg(tree.path(), file, fields.at(2))
                                        .toUtf8();
        QVERIFY(write(database, json));
        QFile written(database);
        QVERIFY(written.open(QIODevice::ReadWrite));
        QVERIFY(written.setFileTime(start.addSecs(i), QFileDevice::FileModificationTime));
    }
    const CompileCommands::Search search = CompileCommands::search(source);
    QCOMPARE(search.database.isEmpty() ? QString() : CompileCommands::variantName(search.database),
             variant);
    ReadOptions context;
    context.path = source;
    context.configuration = configurationFound(source);
    QTEST(itemOf(QString::fromUtf8(itemSource), context), "item");
}

void tst_BuildVariant::headers_data()
{
    QTest::addColumn<QString>("include"); // the directive's header name, as written
    QTest::addColumn<QStringList>("folders"); // -I
    QTest::addColumn<QStringList>("quoteFolders"); // -iquote
    QTest::addColumn<QString>("item");

    // strings.h in three places: beside the source, in quote/ and in inc/.
    const QStringList inc {"inc"};
    QTest::addRow("quoted-beside-the-source-first")
            << "\"strings.h\"" << inc << QStringList() << "beside";
    QTest::addRow("angled-not-beside-the-source") << "<strings.h>" << inc << QStringList() << "inc";
    QTest::addRow("angled-without-folders")
            << "<strings.h>" << QStringList() << QStringList() << "none";
    QTest::addRow("iquote-before-I-for-quoted")
            << "\"only.h\"" << inc << QStringList {"quote"} << "quote";
    QTest::addRow("iquote-not-for-angled") << "<only.h>" << inc << QStringList {"quote"} << "inc";
    QTest::addRow("nested-quoted-beside-the-header")
            << "<nested/outer.h>" << inc << QStringList() << "nested";
    QTest::addRow("missing-header-skipped") << "\"missing.h\"" << inc << QStringList() << "none";
    QTest::addRow("including-itself") << "\"loop.h\"" << QStringList() << QStringList() << "loop";
    // The second inclusion sees what the first one defined.
    QTest::addRow("included-twice") << "\"guard.h\"" << QStringList() << QStringList() << "second";
}

void tst_BuildVariant::headers()
{
    QFETCH(QString, include);
    QFETCH(QStringList, folders);
    QFETCH(QStringList, quoteFolders);
    QVERIFY(write(QStringLiteral("h/strings.h"), "#define STR \"beside\"\n"));
    QVERIFY(write(QStringLiteral("h/inc/strings.h"), "#define STR \"inc\"\n"));
    QVERIFY(write(QStringLiteral("h/inc/only.h"), "#define STR \"inc\"\n"));
    QVERIFY(write(QStringLiteral("h/quote/only.h"), "#define STR \"quote\"\n"));
    QVERIFY(write(QStringLiteral("h/inc/nested/outer.h"), "#include \"inner.h\"\n"));
    QVERIFY(write(QStringLiteral("h/inc/nested/inner.h"), "#define STR \"nested\"\n"));
    QVERIFY(write(QStringLiteral("h/inc/inner.h"), "#define STR \"wrong inner\"\n"));
    QVERIFY(write(QStringLiteral("h/loop.h"), "#include \"loop.h\"\n#define STR \"loop\"\n"));
    QVERIFY(write(QStringLiteral("h/guard.h"),
                  "#ifdef GUARD_H\n#undef STR\n#define STR \"second\"\n#else\n#define GUARD_H\n"
                  "#define STR \"first\"\n#endif\n"));
    const QByteArray text
            = "#include " + include.toUtf8() + "\n#include " + include.toUtf8() + "\n" + itemSource;
    QVERIFY(write(QStringLiteral("h/menu.c"), text));
    ReadOptions context;
    context.path = m_dir.filePath(QStringLiteral("h/menu.c"));
    for (const QString &folder : folders)
        context.configuration.includeFolders << m_dir.filePath(QStringLiteral("h/") + folder);
    for (const QString &folder : quoteFolders)
        context.configuration.quoteFolders << m_dir.filePath(QStringLiteral("h/") + folder);
    QTEST(itemOf(QString::fromUtf8(text), context), "item");
}

void tst_BuildVariant::menuOfAnotherVariant_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cursorAt"); // the cursor stands just before this
    QTest::addColumn<int>("groupLine"); // of the group left out; 0 for a compiled menu
    QTest::addColumn<QStringList>("items");

    const QString variants = u"#ifdef LANG_EN\n#define STR_BACK \"Back\"\n"
                             "BEGIN_MENU(M)\n    MENU_ITEM(STR_BACK)\nEND_MENU(M, \"Setup\")\n"
                             "#else\n#define STR_BACK \"Назад\"\n"
                             "BEGIN_MENU(M)\n    MENU_ITEM(STR_BACK)\nEND_MENU(M, \"Меню\")\n"
                             "#endif\n"_qs;
    QTest::addRow("compiled-branch")
            << variants << "END_MENU(M, \"Меню" << 0 << QStringList {u"Назад"_qs};
    // The other language, with its own definition read as if it counted.
    QTest::addRow("branch-left-out")
            << variants << "END_MENU(M, \"Setup" << 1 << QStringList {"Back"};
    QTest::addRow("nested-groups")
            << u"#if 0\n#if 1\nBEGIN_MENU(M)\n#ifdef X\n    MENU_ITEM(\"x\")\n#endif\n"
               "    MENU_ITEM(\"a\")\nEND_MENU(M, \"T\")\n#endif\n#endif\n"_qs
            << "MENU_ITEM(\"a" << 1 << QStringList {"a"};
    QTest::addRow("items-of-groups-inside-a-compiled-menu")
            << u"#define X\nBEGIN_MENU(M)\n#ifdef X\n    MENU_ITEM(\"x\")\n#else\n"
               "    MENU_ITEM(\"y\")\n#endif\nEND_MENU(M, \"T\")\n"_qs
            << "END_MENU" << 0 << QStringList {"x"};
}

void tst_BuildVariant::menuOfAnotherVariant()
{
    QFETCH(QString, text);
    QFETCH(QString, cursorAt);
    QFETCH(int, groupLine);
    QFETCH(QStringList, items);
    SourceReading source(text, VelkoMenuView::menuKeywords());
    const MenuLocation location = locateMenuAt(source, text.indexOf(cursorAt));
    QCOMPARE(location.outcome, MenuLocation::Outcome::Inside);
    QCOMPARE(location.inactiveGroup < 0 ? 0 : LineMap(text).position(location.inactiveGroup).line,
             groupLine);
    const MenuBlock block = parseLocatedBlock(source, location);
    QVERIFY(block.parsed);
    QCOMPARE(block.menu.itemTexts, items);
    // The build's own walk has the menu only when it is compiled; asked for
    // all branches it has it either way, read alike.
    const auto walkHas = [&](MenuBlocks::Branches branches) {
        MenuBlocks walk(text, MenuBlocks::Keywords::Live, {}, branches);
        for (MenuBlock each; walk.next(each);) {
            if (each.start == location.start)
                return each.parsed && each.menu.itemTexts == items;
        }
        return false;
    };
    QCOMPARE(walkHas(MenuBlocks::Branches::Compiled), groupLine == 0);
    QVERIFY(walkHas(MenuBlocks::Branches::All));
}

void tst_BuildVariant::unsavedHeaderWins()
{
    // The header as it stands in an editor, not as it was last saved.
    QVERIFY(write(QStringLiteral("u/strings.h"), "#define STR \"saved\"\n"));
    const QByteArray text = "#include \"strings.h\"\n" + itemSource;
    ReadOptions context;
    context.path = m_dir.filePath(QStringLiteral("u/menu.c"));
    const QString header = m_dir.filePath(QStringLiteral("u/strings.h"));
    QCOMPARE(itemOf(QString::fromUtf8(text), context), QStringLiteral("saved"));
    context.openText = [&](const QString &path, QString *unsaved) {
        if (path != header)
            return false;
        *unsaved = QStringLiteral("#define STR \"unsaved\"\n");
        return true;
    };
    QCOMPARE(itemOf(QString::fromUtf8(text), context), QStringLiteral("unsaved"));
    // Read once from the disk while it stays the same: other bytes of the
    // same size under the same time are not read.
    context.openText = {};
    const QDateTime saved = QFileInfo(header).lastModified();
    QVERIFY(write(QStringLiteral("u/strings.h"), "#define STR \"SAVED\"\n"));
    QFile rewritten(header);
    QVERIFY(rewritten.open(QIODevice::ReadWrite));
    QVERIFY(rewritten.setFileTime(saved, QFileDevice::FileModificationTime));
    rewritten.close();
    for (int i = 0; i < 3; ++i)
        QCOMPARE(itemOf(QString::fromUtf8(text), context), QStringLiteral("saved"));
}

void tst_BuildVariant::compilerMacros_data()
{
    QTest::addColumn<QString>("compiler"); // "SCRIPT" and "MARK" stand for the stand-in's paths
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("allowed"); // empty: the default globs
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("state");

    using State = BuildConfiguration::CompilerState;
    // Which of these the reading takes tells whose macros it has.
    QTest::addRow("no-compiler-the-host-set")
            << QString() << QStringList() << QStringList() << "host" << int(State::None);
    QTest::addRow("a-stand-in-allowed-by-a-glob")
            << "SCRIPT" << QStringList {"-mfake"} << QStringList {"FOLDER/*"} << "stand-in -mfake"
            << int(State::Queried);
    // A file of a checked-out repository may name any program.
    QTest::addRow("a-compiler-not-allowed-is-never-run")
            << "SCRIPT" << QStringList() << QStringList() << "host" << int(State::NotAllowed);
    QTest::addRow("a-compiler-that-is-nowhere")
            << "no-such-cc" << QStringList() << QStringList() << "host" << int(State::NotFound);
    if (!QStandardPaths::findExecutable(QStringLiteral("avr-gcc")).isEmpty())
        QTest::addRow("avr-gcc-decides-the-part")
                << "avr-gcc" << QStringList {"-mmcu=atmega2560"} << QStringList() << "ATmega2560"
                << int(State::Queried);
}

void tst_BuildVariant::compilerMacros()
{
    QFETCH(QString, compiler);
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, allowed);
    QFETCH(int, state);
    // A stand-in compiler that answers -dM with a macro of its own and the
    // options it was given, and leaves a mark that it ran.
    const QString folder = m_dir.filePath(QStringLiteral("cc"));
    const QString script = folder + QStringLiteral("/fake-cc");
    const QString mark = folder + QStringLiteral("/ran");
    QFile::remove(mark);
    QVERIFY(write(QStringLiteral("cc/fake-cc"),
                  "#!/bin/sh\ntouch '" + mark.toUtf8()
                          + "'\necho \"#define FAKE_CC $1\"\necho '#define __STDC__ 1'\n"));
    QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    compiler.replace(QStringLiteral("SCRIPT"), script);
    allowed.replaceInStrings(QStringLiteral("FOLDER"), folder);

    // As the database of a build names it.
    const QString source = m_dir.filePath(QStringLiteral("cc/menu.c"));
    const QByteArray text = "#if defined(__AVR_ATmega2560__) && __SIZEOF_POINTER__ == 2\n"
                            "#define STR \"ATmega2560\"\n"
                            "#elif defined FAKE_CC\n#define S_(x) #x\n#define S(x) S_(x)\n"
                            "#define STR \"stand-in \" S(FAKE_CC)\n"
                            "#elif __GNUC__ >= 4 && __SIZEOF_POINTER__ == 8 && defined __linux__\n"
                            "#define STR \"host\"\n#endif\n"
                            "BEGIN_MENU(M)\n    MENU_ITEM(STR)\nEND_MENU(M, \"T\")\n";
    QVERIFY(write(QStringLiteral("cc/menu.c"), text));
    QJsonArray command {compiler.isEmpty() ? QStringLiteral("cc") : compiler};
    for (const QString &argument : std::as_const(arguments))
        command.append(argument);
    command.append(QStringLiteral("-c"));
    command.append(source);
    QVERIFY(write(
            QStringLiteral("cc/compile_commands.json"),
            QJsonDocument(QJsonArray {QJsonObject {
                                  {"directory", folder}, {"file", source}, {"arguments", command}}})
                    .toJson()));
    ReadOptions context;
    context.path = source;
    context.configuration = configurationFound(source);
    if (compiler.isEmpty())
        context.configuration.compiler.clear();
    CompilerQuery::apply(&context.configuration, allowed);
    QCOMPARE(int(context.configuration.compilerState), state);
    QTEST(itemOf(QString::fromUtf8(text), context), "item");
    QCOMPARE(QFileInfo::exists(mark),
             state == int(BuildConfiguration::CompilerState::Queried) && compiler == script);
}

QTEST_GUILESS_MAIN(tst_BuildVariant)
#include "tst_buildvariant.moc"
