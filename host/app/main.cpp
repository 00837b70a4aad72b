// velko-menu-studio: a small host for the plug-in without the IDE. Loads the
// plug-ins of its plug-in folder, opens the C files named on the command line
// (FILE or FILE:LINE[:COLUMN]) and shows the navigation pane beside them.
#include "mainwindow.h"
#include "navigationpane.h"

#include "extensionsystem/pluginmanager.h"
#include "extensionsystem/pluginspec.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

struct Location
{
    QString path;
    int line = 1;
    int column = 1;
};

// FILE, FILE:LINE or FILE:LINE:COLUMN; a name that exists as given wins.
Location parseLocation(const QString &argument)
{
    static const QRegularExpression suffix(QStringLiteral("^(.*?):(\\d+)(?::(\\d+))?$"));
    const QRegularExpressionMatch m = suffix.match(argument);
    if (QFileInfo::exists(argument) || !m.hasMatch())
        return {argument};
    return {m.captured(1), qMax(1, m.captured(2).toInt()), m.captured(3).isEmpty() ? 1 : qMax(1, m.captured(3).toInt())};
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velko-menu-studio"));
    QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Edit VELKO-OS menu sources beside their live device preview."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption pluginPath(QStringLiteral("plugin-path"),
                                        QStringLiteral("Load plug-ins from <dir> (default: %1).").arg(QStringLiteral("../plugins beside the program")),
                                        QStringLiteral("dir"));
    const QCommandLineOption pane(QStringLiteral("pane"), QStringLiteral("Open the navigation pane named <name>."),
                                  QStringLiteral("name"), QStringLiteral("Velko Menu View"));
    parser.addOption(pluginPath);
    parser.addOption(pane);
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("C files to open, as FILE[:LINE[:COLUMN]]."));
    parser.process(app);

    const QString plugins = parser.isSet(pluginPath)
            ? parser.value(pluginPath)
            : QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../plugins"));
    ExtensionSystem::PluginManager::setPluginPaths({plugins});
    ExtensionSystem::PluginManager::loadPlugins();

    int status = 0;
    {
        MainWindow window;
        window.navigationPane()->choose(parser.value(pane));
        for (const QString &argument : parser.positionalArguments()) {
            const Location location = parseLocation(argument);
            window.openFile(location.path, location.line, location.column);
        }
        window.show();
        status = app.exec();
    }
    ExtensionSystem::PluginManager::shutdown();
    return status;
}
