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

    // Our host: modules in these folders are read, checked against their
    // dependencies, loaded and initialised by loadPlugins(); shutdown() asks
    // them to stop and deletes them, last loaded first. A module with bad
    // metadata or unmet dependencies is reported in its PluginModule and skipped.
    // The loader's three calls keep the IDE's own signatures (exported by its
    // libExtensionSystem.so.9), so code written against this header runs in both.
    static void setPluginPaths(const QStringList &paths);
    static QStringList pluginPaths();
    static void loadPlugins();
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
