// The variant the screen shows: the IDE's active build configuration when
// the IDE names one for the document (its variables set here as the IDE 9
// sets them), else the newest database found on disk; a switch of build
// configuration, a database written and a header saved by another program
// show with the cursor still, within 2 s. The status line names the variant.
#include "viewfixture.h"

#include "menuview/statusline.h"
#include "utils/macroexpander.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The IDE's variables, as each test sets them.
QHash<QByteArray, QString> &ide()
{
    static QHash<QByteArray, QString> values;
    return values;
}

constexpr int Within = 2000; // ms: what the refresh promises

} // namespace

class tst_IdeBuild : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { Core::EditorManager::activateEditor(nullptr); }

    void takesTheIdesBuild_data();
    void takesTheIdesBuild();
    void followsASwitchWithTheCursorStill();
    void showsFilesChangedUnderneath_data();
    void showsFilesChangedUnderneath();

private:
    bool write(const QString &path, const QByteArray &contents, int secondsAgo = 0);
    // build-fw-Desktop-CONFIGURATION/compile_commands.json, for menu.c with -DMACRO.
    bool writeDatabase(const QString &configuration, const QString &macro, int secondsAgo = 0);
    QString folder(const QString &configuration) const
    {
        return m_tree.filePath(QStringLiteral("build-fw-Desktop-") + configuration);
    }
    // The IDE's active project is fw, built in CONFIGURATION; with
    // documentInProject false, it is another project, and menu.c lies outside it.
    void setIde(const QString &configuration, bool documentInProject = true);
    // menu.c in an editor, the cursor on its item.
    void openMenu(ViewFixture &f);
    static QString item(const ViewFixture &f)
    {
        return f.items->menuDefinition().itemTexts.value(0);
    }
    static QLabel *variantLabel(const VelkoMenuView::StatusLine &status)
    {
        return status.findChild<QLabel *>(QStringLiteral("variantLabel"));
    }
    static QString toolTip(const VelkoMenuView::StatusLine &status)
    {
        return variantLabel(status)->toolTip();
    }
    // The whole phrase (the label may show it cut short).
    static QString variantText(const VelkoMenuView::StatusLine &status)
    {
        return variantLabel(status)->accessibleName();
    }

    QTemporaryDir m_tree;
    QString m_source;
};

void tst_IdeBuild::initTestCase()
{
    for (const char *name : {"ActiveProject:FilePath", "ActiveProject:Path", "ActiveProject:Name",
                             "ActiveProject:BuildConfig:Path", "ActiveProject:BuildConfig:Name",
                             "ActiveProject:Kit:Name", "CurrentDocument:FilePath",
                             "CurrentDocument:Project:FilePath"}) {
        const QByteArray variable(name);
        Utils::globalMacroExpander()->registerVariable(
                variable, QString(), [variable] { return ide().value(variable); });
    }
    m_source = m_tree.filePath(QStringLiteral("fw/app/menu.c"));
}

void tst_IdeBuild::init()
{
    clearStore();
    ide().clear();
    QVERIFY(write(QStringLiteral("fw/include/strings.h"),
                  "#ifdef LANG_EN\n#define STR_BACK \"Back\"\n#else\n"
                  "#define STR_BACK \"Zurueck\"\n#endif\n"));
    QVERIFY(write(QStringLiteral("fw/app/menu.c"),
                  "#include \"strings.h\"\nBEGIN_MENU(M)\n  MENU_ITEM(STR_BACK)\n"
                  "END_MENU(M, \"T\")\n"));
    // Release was configured first; Debug, newer, is what a search on disk takes.
    QVERIFY(writeDatabase(QStringLiteral("Release"), QStringLiteral("LANG_EN"), 60));
    QVERIFY(writeDatabase(QStringLiteral("Debug"), QStringLiteral("LANG_DE"), 30));
    QVERIFY(QDir(folder(QStringLiteral("Profile"))).removeRecursively());
    QVERIFY(QDir().mkpath(folder(QStringLiteral("Profile"))));
}

bool tst_IdeBuild::write(const QString &path, const QByteArray &contents, int secondsAgo)
{
    const QString full = m_tree.filePath(path);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && file.write(contents) == contents.size()
            && (secondsAgo == 0
                || file.setFileTime(QDateTime::currentDateTime().addSecs(-secondsAgo),
                                    QFileDevice::FileModificationTime));
}

bool tst_IdeBuild::writeDatabase(const QString &configuration, const QString &macro, int secondsAgo)
{
    const QString json = QStringLiteral(R"([{"directory": "%1", "file": "%2",
        "arguments": ["cc", "-D%3", "-I", "%4", "-c", "%2"]}])")
                                 .arg(folder(configuration), m_source, macro,
                                      m_tree.filePath(QStringLiteral("fw/include")));
    return write(QStringLiteral("build-fw-Desktop-%1/compile_commands.json").arg(configuration),
                 json.toUtf8(), secondsAgo);
}

void tst_IdeBuild::setIde(const QString &configuration, bool documentInProject)
{
    const QString project = documentInProject ? QStringLiteral("fw") : QStringLiteral("lib");
    ide().insert("ActiveProject:FilePath", m_tree.filePath(project + "/CMakeLists.txt"));
    ide().insert("ActiveProject:Path", m_tree.filePath(project));
    ide().insert("ActiveProject:Name", project);
    ide().insert("ActiveProject:BuildConfig:Path", folder(configuration));
    ide().insert("ActiveProject:BuildConfig:Name", configuration);
    ide().insert("ActiveProject:Kit:Name", QStringLiteral("Desktop"));
    ide().insert("CurrentDocument:FilePath", m_source);
    ide().insert("CurrentDocument:Project:FilePath",
                 m_tree.filePath(QStringLiteral("fw/CMakeLists.txt")));
}

void tst_IdeBuild::openMenu(ViewFixture &f)
{
    QFile file(m_source);
    QVERIFY(file.open(QIODevice::ReadOnly));
    f.open(m_source, file.readAll(), 3, 5);
    f.tick();
}

void tst_IdeBuild::takesTheIdesBuild_data()
{
    QTest::addColumn<QString>("configuration"); // the IDE's active one; "" for no project
    QTest::addColumn<bool>("documentInProject");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("variant");
    QTest::addColumn<QString>("detail"); // in the variant's tool tip

    const QString debug = QStringLiteral("вариант: build-fw-Desktop-Debug, -DLANG_DE");
    QTest::addRow("the-ides-over-a-newer-one")
            << "Release" << true << "Back"
            << "вариант: build-fw-Desktop-Release, -DLANG_EN"
            << "Конфигурация сборки IDE: Release, комплект Desktop";
    QTest::addRow("ide-folder-not-configured-yet")
            << "Profile" << true << "Zurueck" << debug << folder(QStringLiteral("Profile"));
    QTest::addRow("document-of-a-project-not-active")
            << "Release" << false << "Zurueck" << debug << "build-fw-Desktop-Release";
    QTest::addRow("no-project") << QString() << true << "Zurueck" << debug << "более старые";
}

void tst_IdeBuild::takesTheIdesBuild()
{
    QFETCH(QString, configuration);
    QFETCH(bool, documentInProject);
    QFETCH(QString, variant);
    QFETCH(QString, detail);
    if (!configuration.isEmpty())
        setIde(configuration, documentInProject);
    ViewFixture f;
    VelkoMenuView::StatusLine status(f.items.get());
    openMenu(f);
    QTEST(item(f), "item");
    QCOMPARE(variantText(status), variant);
    QVERIFY2(toolTip(status).contains(detail), qPrintable(toolTip(status)));
}

void tst_IdeBuild::followsASwitchWithTheCursorStill()
{
    setIde(QStringLiteral("Release"));
    ViewFixture f;
    f.items->setPeriod(100); // no tick: only the refresh may show a change
    VelkoMenuView::StatusLine status(f.items.get());
    openMenu(f);
    QCOMPARE(item(f), QStringLiteral("Back"));

    ide().insert("ActiveProject:BuildConfig:Path", folder(QStringLiteral("Debug")));
    ide().insert("ActiveProject:BuildConfig:Name", QStringLiteral("Debug"));
    QTRY_COMPARE_WITH_TIMEOUT(item(f), QStringLiteral("Zurueck"), Within);
    QCOMPARE(variantText(status), QStringLiteral("вариант: build-fw-Desktop-Debug, -DLANG_DE"));

    // A configuration whose database the IDE has not written yet shows the
    // newest found meanwhile, and its own once it is there.
    ide().insert("ActiveProject:BuildConfig:Path", folder(QStringLiteral("Profile")));
    ide().insert("ActiveProject:BuildConfig:Name", QStringLiteral("Profile"));
    QTRY_VERIFY_WITH_TIMEOUT(toolTip(status).contains(folder(QStringLiteral("Profile"))), Within);
    QCOMPARE(item(f), QStringLiteral("Zurueck"));
    QVERIFY(writeDatabase(QStringLiteral("Profile"), QStringLiteral("LANG_EN")));
    QTRY_COMPARE_WITH_TIMEOUT(item(f), QStringLiteral("Back"), Within);
    QCOMPARE(variantText(status), QStringLiteral("вариант: build-fw-Desktop-Profile, -DLANG_EN"));
}

void tst_IdeBuild::showsFilesChangedUnderneath_data()
{
    QTest::addColumn<QString>("configuration"); // the IDE's; "" for none
    QTest::addColumn<QString>("rewritten"); // "header", or the database's configuration
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    QTest::addRow("header") << QString() << "header"
                            << "Zurueck"
                            << "Retour";
    QTest::addRow("header-in-the-ides-build") << "Release"
                                              << "header"
                                              << "Back"
                                              << "Retour";
    QTest::addRow("database-found") << QString() << "Debug"
                                    << "Zurueck"
                                    << "Back";
    QTest::addRow("database-of-the-ide") << "Release"
                                         << "Release"
                                         << "Back"
                                         << "Zurueck";
}

void tst_IdeBuild::showsFilesChangedUnderneath()
{
    QFETCH(QString, configuration);
    QFETCH(QString, rewritten);
    QFETCH(QString, before);
    QFETCH(QString, after);
    if (!configuration.isEmpty())
        setIde(configuration);
    ViewFixture f;
    f.items->setPeriod(100); // no tick: only the refresh may show a change
    openMenu(f);
    QCOMPARE(item(f), before);
    if (rewritten == QLatin1String("header"))
        QVERIFY(write(QStringLiteral("fw/include/strings.h"), "#define STR_BACK \"Retour\"\n"));
    else
        QVERIFY(writeDatabase(rewritten,
                              before == QLatin1String("Back") ? QStringLiteral("LANG_DE")
                                                              : QStringLiteral("LANG_EN")));
    QTRY_COMPARE_WITH_TIMEOUT(item(f), after, Within);
}

QTEST_MAIN(tst_IdeBuild)
#include "tst_idebuild.moc"
