// Plug-in entry: the factory goes into the host's pool and leaves it again.
#include "menuview/velkomenuviewplugin.h"

#include "extensionsystem/pluginmanager.h"
#include "menuview/velkomenuwidgetfactory.h"

namespace VelkoMenuView {
namespace Internal {

VelkoMenuViewPlugin::VelkoMenuViewPlugin() = default;

VelkoMenuViewPlugin::~VelkoMenuViewPlugin()
{
    // Panes made by the factory belong to the host and keep working without it.
    ExtensionSystem::PluginManager::removeObject(factory);
    delete factory;
}

bool VelkoMenuViewPlugin::initialize(const QStringList &, QString *)
{
    factory = new VelkoMenuWidgetFactory;
    ExtensionSystem::PluginManager::addObject(factory);
    return true;
}

void VelkoMenuViewPlugin::extensionsInitialized()
{
}

ExtensionSystem::IPlugin::ShutdownFlag VelkoMenuViewPlugin::aboutToShutdown()
{
    return SynchronousShutdown;
}

} // namespace Internal
} // namespace VelkoMenuView
