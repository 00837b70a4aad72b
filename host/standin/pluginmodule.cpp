// What the plug-in manager knows of a module: metadata read without loading it, and version rules.
#include "extensionsystem/pluginmodule.h"

#include "extensionsystem/iplugin.h"

#include <QJsonArray>
#include <QPluginLoader>
#include <QRegularExpression>

namespace ExtensionSystem {

namespace {
const QString pluginIid = QStringLiteral("org.qt-project.Qt.QtCreatorPlugin");
}

PluginModule::PluginModule(const QString &filePath)
    : m_filePath(filePath)
{ }

PluginModule::~PluginModule()
{
    delete m_plugin;
    delete m_loader; // the module itself stays loaded: panes it made may outlive the plug-in
}

bool PluginModule::isValidVersion(const QString &version)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d+(\\.\\d+){0,3}$"));
    return pattern.match(version).hasMatch();
}

int PluginModule::versionCompare(const QString &a, const QString &b)
{
    const QStringList x = a.split(QLatin1Char('.'));
    const QStringList y = b.split(QLatin1Char('.'));
    for (qsizetype i = 0; i < qMax(x.size(), y.size()); ++i) {
        const qlonglong u = x.value(i, QStringLiteral("0")).toLongLong();
        const qlonglong v = y.value(i, QStringLiteral("0")).toLongLong();
        if (u != v)
            return u < v ? -1 : 1;
    }
    return 0;
}

bool PluginModule::provides(const QString &name, const QString &version) const
{
    return name == m_name && versionCompare(m_compatVersion, version) <= 0
            && versionCompare(version, m_version) <= 0;
}

bool PluginModule::read()
{
    QPluginLoader loader(m_filePath);
    const QJsonObject data = loader.metaData();
    if (data.isEmpty()) {
        m_errorString = QStringLiteral("%1: no plug-in metadata (%2)")
                                .arg(m_filePath, loader.errorString());
        return false;
    }
    if (data.value(QLatin1String("IID")).toString() != pluginIid) {
        m_errorString = QStringLiteral("%1: not a plug-in of this host (interface \"%2\")")
                                .arg(m_filePath, data.value(QLatin1String("IID")).toString());
        return false;
    }
    m_metaData = data.value(QLatin1String("MetaData")).toObject();
    m_name = m_metaData.value(QLatin1String("Name")).toString();
    m_version = m_metaData.value(QLatin1String("Version")).toString();
    m_compatVersion = m_metaData.value(QLatin1String("CompatVersion")).toString(m_version);
    if (m_name.isEmpty() || !isValidVersion(m_version) || !isValidVersion(m_compatVersion)
        || versionCompare(m_compatVersion, m_version) > 0) {
        m_errorString
                = QStringLiteral("%1: metadata needs a name, a version and a compatible version no "
                                 "later than the version")
                          .arg(m_filePath);
        return false;
    }
    const QJsonValue dependencies = m_metaData.value(QLatin1String("Dependencies"));
    if (!dependencies.isUndefined() && !dependencies.isArray()) {
        m_errorString = QStringLiteral("%1: \"Dependencies\" is not a list").arg(m_filePath);
        return false;
    }
    for (const QJsonValue &entry : dependencies.toArray()) {
        const QJsonObject dependency = entry.toObject();
        PluginDependency d {dependency.value(QLatin1String("Name")).toString(),
                            dependency.value(QLatin1String("Version")).toString()};
        if (d.name.isEmpty() || !isValidVersion(d.version)) {
            m_errorString
                    = QStringLiteral("%1: a dependency needs a name and a version").arg(m_filePath);
            return false;
        }
        m_dependencies.append(d);
    }
    m_state = Read;
    return true;
}

} // namespace ExtensionSystem
