// The object pool, a process-wide list created on first use, and the loader
// of plug-in modules from folders.
#include "extensionsystem/pluginmanager.h"

#include "extensionsystem/iplugin.h"
#include "extensionsystem/pluginmodule.h"

#include <QDir>
#include <QLibrary>
#include <QPluginLoader>

namespace ExtensionSystem {

namespace {

// Process-wide lists are never destroyed: plug-in objects that a host leaves
// to Qt's library cleanup are deleted after the exit handlers have run, and
// their destructors still withdraw objects from the pool.
QVector<QObject *> &pool()
{
    static auto *objects = new QVector<QObject *>;
    return *objects;
}

QStringList &paths()
{
    static auto *list = new QStringList;
    return *list;
}

QList<PluginModule *> &modules()
{
    static auto *list = new QList<PluginModule *>;
    return *list;
}

// The host's own plug-ins that modules may depend on: name, version, compatible version.
struct BuiltIn
{
    const char *name;
    const char *version;
    const char *compatVersion;
};
const BuiltIn builtIns[] = {{"Core", "9.0.2", "9.0.0"}, {"ProjectExplorer", "9.0.2", "9.0.0"}};

bool builtInProvides(const PluginDependency &d)
{
    for (const BuiltIn &b : builtIns) {
        if (d.name == QLatin1String(b.name)
            && PluginModule::versionCompare(QLatin1String(b.compatVersion), d.version) <= 0
            && PluginModule::versionCompare(d.version, QLatin1String(b.version)) <= 0)
            return true;
    }
    return false;
}

} // namespace

PluginManager::PluginManager() = default;

PluginManager::~PluginManager() = default;

PluginManager *PluginManager::instance()
{
    static PluginManager *manager = new PluginManager; // lives as long as the process
    return manager;
}

void PluginManager::addObject(QObject *obj)
{
    if (!obj || pool().contains(obj))
        return;
    pool().append(obj);
    emit instance()->objectAdded(obj);
}

void PluginManager::removeObject(QObject *obj)
{
    if (!pool().contains(obj))
        return;
    emit instance()->aboutToRemoveObject(obj);
    pool().removeAll(obj);
}

QVector<QObject *> PluginManager::allObjects()
{
    return pool();
}

void PluginManager::setPluginPaths(const QStringList &pluginPaths)
{
    paths() = pluginPaths;
}

QStringList PluginManager::pluginPaths()
{
    return paths();
}

QList<PluginModule *> PluginManager::plugins()
{
    return modules();
}

void PluginManager::loadPlugins()
{
    QList<PluginModule *> read;
    for (const QString &path : std::as_const(paths())) {
        const QDir dir(path);
        for (const QString &file : dir.entryList(QDir::Files, QDir::Name)) {
            if (!QLibrary::isLibrary(file))
                continue;
            auto module = new PluginModule(dir.absoluteFilePath(file));
            modules().append(module);
            if (module->read())
                read.append(module);
            else
                qWarning("%s", qPrintable(module->errorString()));
        }
    }

    // Resolve in rounds, so that a plug-in loads after those it depends on;
    // what is left when a round makes no progress has unmet dependencies.
    QList<PluginModule *> order;
    bool progress = true;
    while (progress) {
        progress = false;
        for (PluginModule *module : std::as_const(read)) {
            if (module->state() != PluginModule::Read)
                continue;
            bool met = true;
            for (const PluginDependency &d : module->dependencies()) {
                bool found = builtInProvides(d);
                for (PluginModule *other : std::as_const(order))
                    found = found || other->provides(d.name, d.version);
                met = met && found;
            }
            if (met) {
                module->m_state = PluginModule::Resolved;
                order.append(module);
                progress = true;
            }
        }
    }
    for (PluginModule *module : std::as_const(read)) {
        if (module->state() != PluginModule::Read)
            continue;
        QStringList missing;
        for (const PluginDependency &d : module->dependencies())
            missing << d.name + QLatin1Char(' ') + d.version;
        module->m_errorString = QStringLiteral("%1: dependencies not met (%2)")
                                        .arg(module->name(), missing.join(QLatin1String(", ")));
        qWarning("%s", qPrintable(module->errorString()));
    }

    QList<PluginModule *> initialized;
    for (PluginModule *module : std::as_const(order)) {
        module->m_loader = new QPluginLoader(module->filePath());
        auto plugin = qobject_cast<IPlugin *>(module->m_loader->instance());
        if (!plugin) {
            module->m_errorString = QStringLiteral("%1: cannot load (%2)")
                                            .arg(module->name(), module->m_loader->errorString());
            qWarning("%s", qPrintable(module->errorString()));
            continue;
        }
        module->m_plugin = plugin;
        module->m_state = PluginModule::Loaded;
        QString error;
        if (!plugin->initialize(QStringList(), &error)) {
            module->m_errorString
                    = QStringLiteral("%1: initialisation failed: %2").arg(module->name(), error);
            qWarning("%s", qPrintable(module->errorString()));
            delete module->m_plugin;
            module->m_plugin = nullptr;
            module->m_state = PluginModule::Deleted;
            continue;
        }
        module->m_state = PluginModule::Initialized;
        initialized.append(module);
    }
    for (PluginModule *module : std::as_const(initialized)) {
        module->plugin()->extensionsInitialized();
        module->m_state = PluginModule::Running;
    }
}

void PluginManager::shutdown()
{
    QList<PluginModule *> &list = modules();
    for (auto it = list.crbegin(); it != list.crend(); ++it) {
        if ((*it)->plugin()) {
            (*it)->plugin()->aboutToShutdown();
            (*it)->m_state = PluginModule::Stopped;
        }
    }
    while (!list.isEmpty())
        delete list.takeLast();
}

} // namespace ExtensionSystem
