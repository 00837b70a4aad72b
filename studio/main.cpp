// velko-menu-studio: a small host for the plug-in without the IDE. Loads the
// plug-ins of its plug-in folder, opens the C files named on the command line
// (FILE or FILE:LINE[:COLUMN]) and shows the navigation pane beside them.
#include "codeeditor.h"
#include "mainwindow.h"
#include "navigationpane.h"
#include "studioeditor.h"

#include "extensionsystem/pluginmanager.h"
#include "menuview/files/sourcelocation.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextStream>

#include <cstdlib>
#include <cstring>

using namespace VelkoMenuView;

namespace {

constexpr char Description[]
        = "Edit VELKO-OS menu sources beside their live device preview.\n"
          "\n"
          "Opens the C files named on the command line in editor tabs, with the cursor\n"
          "at the given line and column, and shows the \"Velko Menu View\" pane beside\n"
          "them: the menu under the cursor drawn on the device's 128x64 one-bit\n"
          "screen. Click an item with printf conversions to type sample values for it.\n"
          "File > Open adds files, Ctrl+S saves, and closing a changed tab asks first.\n"
          "Saving writes back the file's own line endings (LF, CRLF or CR, as its\n"
          "first line ends) and its UTF-8 byte-order mark, if it has one.\n"
          "\n"
          "The studio needs a window system (X11 or Wayland). Without a display it\n"
          "says so and exits with status 2; `velko-menu render` draws menus without\n"
          "one. Unknown options, an unknown pane and no display exit with status 2.\n"
          "Qt's own options (such as -platform) are accepted too; --help-all lists\n"
          "them.";

// Help and version need no window system: they are answered before one is
// asked for, so that they work on a machine without a display.
bool asksForInformation(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"-h", "-?", "--help", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

// Our arguments without the window system's own (-platform NAME and the
// like), which QApplication takes away; *platform gets the one asked for.
QStringList ownArguments(int argc, char **argv, QString *platform)
{
    static const QStringList withValue {"-platform",
                                        "-platformpluginpath",
                                        "-platformtheme",
                                        "-plugin",
                                        "-qwindowgeometry",
                                        "-qwindowtitle",
                                        "-qwindowicon",
                                        "-display",
                                        "-geometry",
                                        "-style",
                                        "-stylesheet",
                                        "-session",
                                        "-name",
                                        "-title"};
    static const QStringList flags {"-reverse", "-nograb", "-dograb", "-sync", "-widgetcount"};
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        const QString name = argument.section(QLatin1Char('='), 0, 0);
        const QString bare = name.startsWith(QLatin1String("--")) ? name.mid(1) : name;
        if (i > 0 && withValue.contains(bare)) {
            const bool joined = argument.contains(QLatin1Char('='));
            const QString value = joined
                    ? argument.section(QLatin1Char('='), 1)
                    : (i + 1 < argc ? QString::fromLocal8Bit(argv[i + 1]) : QString());
            if (bare == QLatin1String("-platform"))
                *platform = value;
            if (!joined)
                ++i;
            continue;
        }
        if (i > 0 && flags.contains(bare))
            continue;
        arguments << argument;
    }
    return arguments;
}

// Why no window can be opened, when that is plain before Qt tries: the
// platform it would choose needs a display server that is not named.
QString missingDisplay(const QString &platformArgument)
{
    const QString platform = !platformArgument.isEmpty()
            ? platformArgument
            : QString::fromLocal8Bit(qgetenv("QT_QPA_PLATFORM"));
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (platform.isEmpty())
        return x11 || wayland ? QString() : QStringLiteral("no display (DISPLAY is not set)");
    // Qt tries "a;b" in order: one that can start is enough.
    for (const QString &choice : platform.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = choice.section(QLatin1Char(':'), 0, 0);
        if ((name != QLatin1String("xcb") || x11) && (name != QLatin1String("wayland") || wayland))
            return QString();
    }
    return platform.startsWith(QLatin1String("wayland"))
            ? QStringLiteral("no display (WAYLAND_DISPLAY is not set)")
            : QStringLiteral("no display (DISPLAY is not set)");
}

constexpr char NoWindowHint[] = "; `velko-menu render` draws menus without one";

QtMessageHandler qtHandler = nullptr;

// While the window system starts, its complaints become one line and a
// status of 2 instead of several lines and an abort.
void windowSystemMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    static QString cause;
    if (type == QtFatalMsg) {
        const QString line = cause.isEmpty() ? message.section(QLatin1Char('\n'), 0, 0) : cause;
        QTextStream(stderr) << "velko-menu-studio: cannot open a window: " << line << NoWindowHint
                            << Qt::endl;
        std::exit(2);
    }
    if (QByteArray(context.category ? context.category : "").startsWith("qt.qpa")) {
        if (cause.isEmpty())
            cause = message;
        return;
    }
    if (qtHandler)
        qtHandler(type, context, message);
}

// Where the cursor ended up when the requested place lies past the end.
void reportClamped(StudioEditor *editor, const VelkoMenuView::SourceLocation &location)
{
    if (editor->currentLine() == location.line && editor->currentColumn() == location.column)
        return;
    const int lines = editor->editorWidget()->document()->blockCount();
    const QString reason = location.line > lines
            ? QStringLiteral("the file has %1 lines").arg(lines)
            : QStringLiteral("line %1 ends at column %2")
                      .arg(location.line)
                      .arg(editor->editorWidget()->textCursor().block().length());
    QTextStream(stderr) << location.path << ':' << location.line << ':' << location.column
                        << ": past the end (" << reason << "); opened at " << editor->currentLine()
                        << ':' << editor->currentColumn() << Qt::endl;
}

// ../plugins serves a build tree; an installed program has no such folder
// beside it and finds its plug-ins in its private library folder, at the
// place relative to the program that cmake/install.cmake lays out, so the
// installed tree can move as a whole.
QString defaultPluginPath()
{
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString buildTree = programDir.absoluteFilePath(QStringLiteral("../plugins"));
    if (QFileInfo(buildTree).isDir())
        return buildTree;
    return QDir::cleanPath(programDir.absoluteFilePath(QStringLiteral(VELKO_INSTALLED_PLUGIN_DIR)));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("velko-menu-studio"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    const QCommandLineOption pluginPath {
            QStringLiteral("plugin-path"),
            QStringLiteral("Load plug-ins from <dir> (default: ../plugins beside the program if "
                           "it exists, else the installed plug-in folder)."),
            QStringLiteral("dir")};
    const QCommandLineOption pane {QStringLiteral("pane"),
                                   QStringLiteral("Open the navigation pane named <name>."),
                                   QStringLiteral("name"), QStringLiteral("Velko Menu View")};
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(Description));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({pluginPath, pane});
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("C files to open, as FILE[:LINE[:COLUMN]]."));
    if (asksForInformation(argc, argv)) {
        QCoreApplication app(argc, argv);
        parser.process(app); // prints and exits
        return 0;
    }

    QString platform;
    if (!parser.parse(ownArguments(argc, argv, &platform))) {
        QTextStream(stderr) << "velko-menu-studio: " << parser.errorText()
                            << "\nTry 'velko-menu-studio --help' for more information." << Qt::endl;
        return 2;
    }
    if (const QString missing = missingDisplay(platform); !missing.isEmpty()) {
        QTextStream(stderr) << "velko-menu-studio: " << missing << NoWindowHint << Qt::endl;
        return 2;
    }

    qtHandler = qInstallMessageHandler(windowSystemMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtHandler);

    const QString plugins
            = parser.isSet(pluginPath) ? parser.value(pluginPath) : defaultPluginPath();
    ExtensionSystem::PluginManager::setPluginPaths({plugins});
    ExtensionSystem::PluginManager::loadPlugins();

    int status = 0;
    {
        MainWindow window;
        const QString paneName = parser.value(pane);
        if (!window.navigationPane()->choose(paneName)) {
            QStringList names;
            const QComboBox *chooser = window.navigationPane()->chooser();
            for (int i = 0; i < chooser->count(); ++i)
                names << QLatin1Char('"') + chooser->itemText(i) + QLatin1Char('"');
            QTextStream err(stderr);
            err << "velko-menu-studio: no pane named \"" << paneName << "\"; ";
            if (names.isEmpty())
                err << "no plug-in in " << QDir::toNativeSeparators(plugins) << " offers one"
                    << Qt::endl;
            else
                err << "the panes are " << names.join(QStringLiteral(", ")) << Qt::endl;
            status = 2;
        } else {
            for (const QString &argument : parser.positionalArguments()) {
                VelkoMenuView::SourceLocation location;
                QString error;
                if (!VelkoMenuView::parseSourceLocation(argument, &location, &error)) {
                    QTextStream(stderr)
                            << "velko-menu-studio: " << argument << ": " << error << Qt::endl;
                    continue;
                }
                location.line = qMax(location.line, 1);
                location.column = qMax(location.column, 1);
                if (StudioEditor *editor
                    = window.openFile(location.path, location.line, location.column))
                    reportClamped(editor, location);
            }
            window.show();
            status = app.exec();
        }
    }
    ExtensionSystem::PluginManager::shutdown();
    return status;
}
