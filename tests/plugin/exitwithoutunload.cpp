// A host that loads the module, initialises it and returns from main without
// unloading: Qt's library cleanup then deletes the plug-in object after the
// exit handlers have run, and the process must still end cleanly.
#include "extensionsystem/iplugin.h"

#include <QApplication>
#include <QPluginLoader>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QPluginLoader loader(QStringLiteral(PLUGIN_FILE));
    auto plugin = qobject_cast<ExtensionSystem::IPlugin *>(loader.instance());
    if (!plugin) {
        std::fprintf(stderr, "cannot load: %s\n", qPrintable(loader.errorString()));
        return 1;
    }
    QString error;
    if (!plugin->initialize({}, &error)) {
        std::fprintf(stderr, "initialize failed\n");
        return 1;
    }
    plugin->extensionsInitialized();
    return 0;
}
