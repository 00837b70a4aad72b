// The object pool, a process-wide list created on first use, and the loader
// of plug-in modules from folders.
#include "extensionsystem/pluginmanager.h"

#include "extensionsystem/iplugin.h"
#include "extensionsystem/pluginspec.h"

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

QList<PluginSpec *> &specs()
{
    static auto *list = new QList<PluginSpec *>;
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
            && PluginSpec::versionCompare(QLatin1String(b.compatVersion), d.version) <= 0
            && PluginSpec::versionCompare(d.version, QLatin1String(b.version)) <= 0)
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

QList<PluginSpec *> PluginManager::plugins()
{
    return specs();
}

void PluginManager::loadPlugins()
{
    QList<PluginSpec *> read;
    for (const QString &path : std::as_const(paths())) {
        const QDir dir(path);
        for (const QString &file : dir.entryList(QDir::Files, QDir::Name)) {
            if (!QLibrary::isLibrary(file))
                continue;
            auto spec = new PluginSpec(dir.absoluteFilePath(file));
            specs().append(spec);
            if (spec->read())
                read.append(spec);
            else
                qWarning("%s", qPrintable(spec->errorString()));
        }
    }

    // Resolve in rounds, so that a plug-in loads after those it depends on;
    // what is left when a round makes no progress has unmet dependencies.
    QList<PluginSpec *> order;
    bool progress = true;
    while (progress) {
        progress = false;
        for (PluginSpec *spec : std::as_const(read)) {
            if (spec->state() != PluginSpec::Read)
                continue;
            bool met = true;
            for (const PluginDependency &d : spec->dependencies()) {
                bool found = builtInProvides(d);
                for (PluginSpec *other : std::as_const(order))
                    found = found || other->provides(d.name, d.version);
                met = met && found;
            }
            if (met) {
                spec->m_state = PluginSpec::Resolved;
                order.append(spec);
                progress = true;
            }
        }
    }
    for (PluginSpec *spec : std::as_const(read)) {
        if (spec->state() != PluginSpec::Read)
            continue;
        QStringList missing;
        for (const PluginDependency &d : spec->dependencies())
            missing << d.name + QLatin1Char(' ') + d.version;
        spec->setError(QStringLiteral("%1: dependencies not met (%2)")
                               .arg(spec->name(), missing.join(QLatin1String(", "))));
        qWarning("%s", qPrintable(spec->errorString()));
    }

    QList<PluginSpec *> initialized;
    for (PluginSpec *spec : std::as_const(order)) {
        spec->m_loader = new QPluginLoader(spec->filePath());
        auto plugin = qobject_cast<IPlugin *>(spec->m_loader->instance());
        if (!plugin) {
            spec->setError(QStringLiteral("%1: cannot load (%2)")
                                   .arg(spec->name(), spec->m_loader->errorString()));
            qWarning("%s", qPrintable(spec->errorString()));
            continue;
        }
        spec->m_plugin = plugin;
        spec->m_state = PluginSpec::Loaded;
        QString error;
        if (!plugin->initialize(QStringList(), &error)) {
            spec->setError(
                    QStringLiteral("%1: initialisation failed: %2").arg(spec->name(), error));
            qWarning("%s", qPrintable(spec->errorString()));
            delete spec->m_plugin;
            spec->m_plugin = nullptr;
            spec->m_state = PluginSpec::Deleted;
            continue;
        }
        spec->m_state = PluginSpec::Initialized;
        initialized.append(spec);
    }
    for (PluginSpec *spec : std::as_const(initialized)) {
        spec->plugin()->extensionsInitialized();
        spec->m_state = PluginSpec::Running;
    }
}

void PluginManager::shutdown()
{
    QList<PluginSpec *> &list = specs();
    for (auto it = list.crbegin(); it != list.crend(); ++it) {
        if ((*it)->plugin()) {
            (*it)->plugin()->aboutToShutdown();
            (*it)->m_state = PluginSpec::Stopped;
        }
    }
    while (!list.isEmpty())
        delete list.takeLast();
}

} // namespace ExtensionSystem
