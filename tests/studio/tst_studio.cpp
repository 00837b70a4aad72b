// The studio with the real plug-in module loaded from the plug-in folder:
// open an example, let the pane's timer find the menu, type, close, and the
// ways a file can fail to open.
#include "screenart.h"
#include "widgetscreen.h"

#include "codeeditor.h"
#include "mainwindow.h"
#include "navigationpane.h"
#include "studioeditor.h"

#include "devicegfx/gfx.h"
#include "extensionsystem/pluginmanager.h"

#include <QComboBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using ScreenArt::deviceRow;

const QByteArray example = "#include \"menu.h\"\n"
                           "BEGIN_MENU(Main)\n"
                           "  MENU_ITEM(\"Speed %d\")\n"
                           "  MENU_ITEM(\"Exit\")\n"
                           "END_MENU(Main, \"Main menu\")\n";


QSettings store()
{
    return {QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ombrix"), QStringLiteral("VelkoMenuView")};
}

} // namespace

class tst_Studio : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void followsEditingAndPrunesOnClose();
    void refusesBadFiles_data();
    void refusesBadFiles();

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
    const QString menuGroup = QString(path).replace(QLatin1Char('/'), QLatin1Char('\\')) + QStringLiteral("/Main/");
    store().setValue(menuGroup + QStringLiteral("Speed %d/Param1"), QStringLiteral("42"));
    store().setValue(menuGroup + QStringLiteral("Removed %d/Param1"), QStringLiteral("7"));

    MainWindow window;
    window.setQuiet(true);
    QVERIFY(window.navigationPane()->choose(QStringLiteral("Velko Menu View")));
    QCOMPARE(window.navigationPane()->chooser()->currentText(), QStringLiteral("Velko Menu View"));
    window.show();
    StudioEditor *editor = window.openFile(path, 3, 5);
    QVERIFY(editor);
    QWidget *screen = window.navigationPane()->currentPane()->findChild<QWidget *>(QStringLiteral("menuItems"));
    QVERIFY(screen);

    // The pane's own timer (1 s from the store) finds the menu: 3 rows at magnification 2.
    QTRY_COMPARE_WITH_TIMEOUT(screen->size(), QSize(256, 48), 5000);
    WidgetScreen shot{screen->grab().toImage(), 2};
    COMPARE_ART(shot.row(1), deviceRow(QStringLiteral("Speed 42"), false));
    COMPARE_ART(shot.row(2), deviceRow(QStringLiteral("Exit"), false));

    // Typing re-analyses at once, without waiting for the timer.
    editor->gotoLine(4, 16, false); // between "Ex" and "it"
    QTest::keyClicks(editor->editorWidget(), QStringLiteral(" now"));
    shot.image = screen->grab().toImage();
    COMPARE_ART(shot.row(2), deviceRow(QStringLiteral("Ex nowit"), false));

    // Closing (discarding the edit) prunes against the file as saved.
    QVERIFY(window.closeEditor(editor));
    QVERIFY(window.editors().isEmpty());
    QVERIFY(store().contains(menuGroup + QStringLiteral("Speed %d/Param1")));
    QVERIFY(!store().contains(menuGroup + QStringLiteral("Removed %d/Param1")));
}

void tst_Studio::refusesBadFiles_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("error");

    QTest::addRow("missing") << QByteArray() << "does not exist";
    QTest::addRow("binary") << QByteArray("BEGIN_MENU\0\x01\x02", 13) << "binary";
    QTest::addRow("latin1") << QByteArray("MENU_ITEM(\"Gr\xF6\xDF" "e\")") << "not UTF-8";
    QTest::addRow("folder") << QByteArray() << "is a folder";
}

void tst_Studio::refusesBadFiles()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, error);
    QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    if (error == QLatin1String("is a folder")) {
        QVERIFY(QDir().mkpath(path));
    } else if (!contents.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    MainWindow window;
    window.setQuiet(true);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(error));
    QVERIFY(!window.openFile(path));
    QVERIFY(window.editors().isEmpty());
    QVERIFY2(window.lastError().contains(error), qPrintable(window.lastError()));
}

QTEST_MAIN(tst_Studio)
#include "tst_studio.moc"
