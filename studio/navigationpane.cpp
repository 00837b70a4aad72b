// The studio's navigation side bar.
#include "navigationpane.h"

#include "coreplugin/inavigationwidgetfactory.h"
#include "extensionsystem/pluginmanager.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace VelkoMenuView {

NavigationPane::NavigationPane(QWidget *parent)
    : QWidget(parent)
    , m_chooser(new QComboBox)
    , m_toolBar(new QToolBar)
    , m_layout(new QVBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    auto header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(m_chooser, 1);
    header->addWidget(m_toolBar);
    m_layout->addLayout(header);
    m_toolBar->setIconSize(QSize(16, 16));

    auto manager = ExtensionSystem::PluginManager::instance();
    connect(manager, &ExtensionSystem::PluginManager::objectAdded, this,
            &NavigationPane::refreshFactories);
    connect(manager, &ExtensionSystem::PluginManager::aboutToRemoveObject, this,
            [this](QObject *obj) {
                if (m_chooser->currentIndex() >= 0
                    && m_factories.value(m_chooser->currentIndex()) == obj)
                    dropPane();
                m_factories.removeAll(qobject_cast<Core::INavigationWidgetFactory *>(obj));
                QSignalBlocker block(m_chooser);
                m_chooser->clear();
                for (const auto &factory : std::as_const(m_factories))
                    m_chooser->addItem(factory->displayName());
            });
    connect(m_chooser, &QComboBox::activated, this, &NavigationPane::showFactory);
    refreshFactories();
}

NavigationPane::~NavigationPane()
{
    dropPane();
}

void NavigationPane::refreshFactories()
{
    const QString current = m_chooser->currentText();
    m_factories.clear();
    QList<Core::INavigationWidgetFactory *> found;
    for (QObject *obj : ExtensionSystem::PluginManager::allObjects())
        if (auto factory = qobject_cast<Core::INavigationWidgetFactory *>(obj))
            found << factory;
    std::stable_sort(found.begin(), found.end(),
                     [](auto *a, auto *b) { return a->priority() < b->priority(); });
    QSignalBlocker block(m_chooser);
    m_chooser->clear();
    for (Core::INavigationWidgetFactory *factory : found) {
        m_factories << factory;
        m_chooser->addItem(factory->displayName());
    }
    const int index = m_chooser->findText(current);
    m_chooser->setCurrentIndex(index >= 0 ? index : (m_factories.isEmpty() ? -1 : 0));
    if (!m_pane && !m_factories.isEmpty())
        showFactory(m_chooser->currentIndex());
}

bool NavigationPane::choose(const QString &displayName)
{
    const int index = m_chooser->findText(displayName);
    if (index < 0)
        return false;
    m_chooser->setCurrentIndex(index);
    showFactory(index);
    return true;
}

void NavigationPane::dropPane()
{
    // The host owns what a factory hands out; an action takes its button along.
    for (const QPointer<QAction> &action : std::as_const(m_paneButtons))
        delete action.data();
    m_paneButtons.clear();
    delete m_pane.data();
}

void NavigationPane::showFactory(int index)
{
    Core::INavigationWidgetFactory *factory = m_factories.value(index);
    if (!factory)
        return;
    dropPane();
    const Core::NavigationView view = factory->createWidget();
    m_pane = view.widget;
    for (QToolButton *button : view.dockToolBarWidgets)
        m_paneButtons << m_toolBar->addWidget(button);
    if (m_pane)
        m_layout->addWidget(m_pane, 1);
}

} // namespace VelkoMenuView
