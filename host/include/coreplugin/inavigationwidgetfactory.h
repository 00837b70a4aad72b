// Core::INavigationWidgetFactory: a pane offered in the host's navigation side bar.
// At least as large as the host's own class (QObject, name, priority, id,
// shortcut): the data sits behind a pointer with reserved room.
#pragma once

#include "utils/id.h"

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>

class QIcon;
class QSettings;
class QToolButton;
class QWidget;

namespace Utils {
class FilePath;
class QtcSettings;
} // namespace Utils

namespace Core {

struct NavigationView
{
    QWidget *widget = nullptr;
    QList<QToolButton *> dockToolBarWidgets;
};

namespace Internal {
class NavigationWidgetFactoryPrivate;
}

class INavigationWidgetFactory : public QObject
{
    Q_OBJECT

public:
    INavigationWidgetFactory();
    ~INavigationWidgetFactory() override;

    static QList<INavigationWidgetFactory *> allNavigationFactories();

    void setDisplayName(const QString &displayName);
    void setPriority(int priority);
    void setId(Utils::Id id);
    void setActivationSequence(const QKeySequence &keys);

    // Stand-in conveniences: the host inlines these over its own layout, so
    // plug-in code must never call them.
    QString displayName() const;
    int priority() const;
    Utils::Id id() const;

    QKeySequence activationSequence() const;

    virtual NavigationView createWidget() = 0;
    virtual void saveSettings(Utils::QtcSettings *settings, int position, QWidget *widget);
    virtual void restoreSettings(QSettings *settings, int position, QWidget *widget);
    virtual void addRootPath(Utils::Id id, const QString &displayName, const QIcon &icon,
                             const Utils::FilePath &path);
    virtual void removeRootPath(Utils::Id id);

private:
    Internal::NavigationWidgetFactoryPrivate *d;
    void *m_reserved[7] = {};
};

} // namespace Core
