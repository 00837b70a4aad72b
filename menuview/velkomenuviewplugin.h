// The plug-in object the host loads: pools the pane factory while it lives.
#pragma once

#include "extensionsystem/iplugin.h"

class VelkoMenuWidgetFactory;

namespace VelkoMenuView {
namespace Internal {

class VelkoMenuViewPlugin : public ExtensionSystem::IPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QtCreatorPlugin" FILE "VelkoMenuView.json")

public:
    VelkoMenuViewPlugin();
    ~VelkoMenuViewPlugin() override;

    bool initialize(const QStringList &arguments, QString *errorString) override;
    void extensionsInitialized() override;
    ShutdownFlag aboutToShutdown() override;

private:
    VelkoMenuWidgetFactory *factory = nullptr;
};

} // namespace Internal
} // namespace VelkoMenuView
