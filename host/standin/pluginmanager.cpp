// The object pool: a process-wide list, created on first use.
#include "extensionsystem/pluginmanager.h"

namespace ExtensionSystem {

namespace {
QVector<QObject *> &pool()
{
    static QVector<QObject *> objects;
    return objects;
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

} // namespace ExtensionSystem
