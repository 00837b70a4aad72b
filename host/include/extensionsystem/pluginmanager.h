// ExtensionSystem::PluginManager: the host's object pool (and, in our own
// host, the loader of plug-in modules).
#pragma once

#include <QObject>
#include <QStringList>
#include <QVector>

namespace ExtensionSystem {

class PluginModule;

class PluginManager : public QObject
{
    Q_OBJECT

public:
    static PluginManager *instance();

    static void addObject(QObject *obj);
    static void removeObject(QObject *obj);
    static QVector<QObject *> allObjects();

    template<typename T> static T *getObject()
    {
        for (QObject *obj : allObjects()) {
            if (T *result = qobject_cast<T *>(obj))
                return result;
        }
        return nullptr;
    }

    // Our host: loadPlugins() reads the modules in these folders, checks them
    // against their dependencies, loads and initialises them; shutdown() asks
    // them to stop and deletes them, last loaded first. A module with bad
    // metadata or unmet dependencies is reported in its PluginModule and skipped.
    static void loadPlugins(const QStringList &paths);
    static void shutdown();
    static QList<PluginModule *> plugins();

signals:
    void objectAdded(QObject *obj);
    void aboutToRemoveObject(QObject *obj);

private:
    PluginManager();
    ~PluginManager() override;
};

} // namespace ExtensionSystem
