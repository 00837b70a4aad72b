// Marker-leaving plug-in body.
#include "testplugin.h"

#include "extensionsystem/pluginmanager.h"

bool TestPlugin::initialize(const QStringList &, QString *)
{
    auto marker = new QObject(this);
    marker->setObjectName(QStringLiteral("refused plug-in ran"));
    ExtensionSystem::PluginManager::addObject(marker);
    return true;
}
