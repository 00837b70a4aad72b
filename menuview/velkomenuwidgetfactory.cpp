// The pane factory.
#include "menuview/velkomenuwidgetfactory.h"

#include "menuview/velkomenuwidget.h"

#include <QToolButton>

VelkoMenuWidgetFactory::VelkoMenuWidgetFactory()
{
    setDisplayName(tr("Velko Menu View"));
    setId("VelkoMenuView");
    setPriority(202);
}

Core::NavigationView VelkoMenuWidgetFactory::createWidget()
{
    auto pane = new VelkoMenuWidget;
    Core::NavigationView view;
    view.widget = pane;
    view.dockToolBarWidgets = pane->toolButtons();
    return view;
}
