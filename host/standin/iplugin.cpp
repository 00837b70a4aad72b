// Plug-in base: nothing beyond the defaults.
#include "extensionsystem/iplugin.h"

namespace ExtensionSystem {

IPlugin::IPlugin() = default;

IPlugin::~IPlugin() = default;

QVector<QObject *> IPlugin::createTestObjects() const
{
    return {};
}

PluginModule *IPlugin::pluginSpec() const
{
    return nullptr;
}

} // namespace ExtensionSystem
