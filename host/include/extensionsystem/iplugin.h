// ExtensionSystem::IPlugin: the base of every plug-in object the host loads.
// Virtual functions stand in the host's order; data sits behind a private
// pointer with reserved room, so the host's own constructor fits.
#pragma once

#include <QObject>
#include <QStringList>
#include <QVector>

namespace ExtensionSystem {

class PluginModule;

namespace Internal {
class IPluginPrivate;
}

class IPlugin : public QObject
{
    Q_OBJECT

public:
    enum ShutdownFlag { SynchronousShutdown, AsynchronousShutdown };

    IPlugin();
    ~IPlugin() override;

    virtual bool initialize(const QStringList &arguments, QString *errorString) = 0;
    virtual void extensionsInitialized() { }
    virtual bool delayedInitialize() { return false; }
    virtual ShutdownFlag aboutToShutdown() { return SynchronousShutdown; }
    virtual QObject *remoteCommand(const QStringList & /*options*/,
                                   const QString & /*workingDirectory*/,
                                   const QStringList & /*arguments*/)
    {
        return nullptr;
    }
    virtual QVector<QObject *> createTestObjects() const;

    // The IDE exports this accessor under this name; the plug-in does not call it.
    PluginModule *pluginSpec() const;

signals:
    void asynchronousShutdownFinished();

private:
    Internal::IPluginPrivate *d = nullptr;
    void *m_reserved[4] = {};
};

} // namespace ExtensionSystem
