// ExtensionSystem::PluginModule (our host only; the plug-in never sees it):
// what the plug-in manager knows of one plug-in module, from its metadata to
// its running instance.
#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

class QPluginLoader;

namespace ExtensionSystem {

class IPlugin;

struct PluginDependency
{
    QString name;
    QString version;
};

class PluginModule
{
public:
    enum State { Invalid, Read, Resolved, Loaded, Initialized, Running, Stopped, Deleted };

    explicit PluginModule(const QString &filePath);
    ~PluginModule();

    QString name() const { return m_name; }
    QString filePath() const { return m_filePath; }
    QJsonObject metaData() const { return m_metaData; }
    QList<PluginDependency> dependencies() const { return m_dependencies; }
    State state() const { return m_state; }
    bool hasError() const { return !m_errorString.isEmpty(); }
    QString errorString() const { return m_errorString; }
    IPlugin *plugin() const { return m_plugin; }

    // True when this plug-in can stand in for a dependency on name at version.
    bool provides(const QString &name, const QString &version) const;
    // -1, 0 or 1; versions are up to four dot-separated numbers.
    static int versionCompare(const QString &a, const QString &b);
    static bool isValidVersion(const QString &version);

private:
    friend class PluginManager;

    bool read();

    QString m_filePath;
    QString m_name;
    QString m_version;
    QString m_compatVersion;
    QJsonObject m_metaData;
    QList<PluginDependency> m_dependencies;
    State m_state = Invalid;
    QString m_errorString;
    QPluginLoader *m_loader = nullptr;
    IPlugin *m_plugin = nullptr;
};

} // namespace ExtensionSystem
