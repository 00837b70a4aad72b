// NavigationPane: the studio's side bar. A chooser of the navigation
// factories in the object pool (by display name, in priority order) over the
// chosen pane, whose tool buttons sit in the side bar's tool bar.
#pragma once

#include <QPointer>
#include <QWidget>

class QAction;
class QComboBox;
class QToolBar;
class QVBoxLayout;

namespace Core {
class INavigationWidgetFactory;
}

namespace VelkoMenuView {

class NavigationPane : public QWidget
{
    Q_OBJECT

public:
    explicit NavigationPane(QWidget *parent = nullptr);
    ~NavigationPane() override;

    QComboBox *chooser() const { return m_chooser; }
    // Opens the pane of the factory with this display name; false if none.
    bool choose(const QString &displayName);

private:
    void refreshFactories();
    void showFactory(int index);
    void dropPane();

    QComboBox *m_chooser;
    QToolBar *m_toolBar;
    QVBoxLayout *m_layout;
    QList<QPointer<Core::INavigationWidgetFactory>> m_factories;
    QPointer<QWidget> m_pane;
    QList<QPointer<QAction>> m_paneButtons; // the tool-bar actions that hold the pane's buttons
};

} // namespace VelkoMenuView
