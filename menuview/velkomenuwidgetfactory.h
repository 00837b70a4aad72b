// VelkoMenuWidgetFactory: offers the "Velko Menu View" navigation pane to the
// host and builds a new, independent pane each time the host asks.
#pragma once

#include "coreplugin/inavigationwidgetfactory.h"

class VelkoMenuWidgetFactory : public Core::INavigationWidgetFactory
{
    Q_OBJECT

public:
    VelkoMenuWidgetFactory();

    Core::NavigationView createWidget() override;
};
