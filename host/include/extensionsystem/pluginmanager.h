// ExtensionSystem::PluginManager: the host's object pool (and, in our own
// host, the loader of plug-in modules).
#pragma once

#include <QObject>
#include <QVector>

namespace ExtensionSystem {

class PluginManager : public QObject
{
    Q_OBJECT

public:
    static PluginManager *instance();

    static void addObject(QObject *obj);
    static void removeObject(QObject *obj);
    static QVector<QObject *> allObjects();

    template <typename T>
    static T *getObject()
    {
        for (QObject *obj : allObjects()) {
            if (T *result = qobject_cast<T *>(obj))
                return result;
        }
        return nullptr;
    }

signals:
    void objectAdded(QObject *obj);
    void aboutToRemoveObject(QObject *obj);

private:
    PluginManager();
    ~PluginManager() override;
};

} // namespace ExtensionSystem
