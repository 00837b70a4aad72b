// Navigation factories register themselves in one list for the host to offer.
#include "coreplugin/inavigationwidgetfactory.h"

#include "utils/filepath.h"

namespace Core {
namespace Internal {
class NavigationWidgetFactoryPrivate
{
public:
    QString displayName;
    int priority = 0;
    Utils::Id id;
    QKeySequence activationSequence;
};
} // namespace Internal

namespace {
QList<INavigationWidgetFactory *> &factories()
{
    // Never destroyed: a factory may be deleted by Qt's library cleanup at exit.
    static auto *list = new QList<INavigationWidgetFactory *>;
    return *list;
}
} // namespace

INavigationWidgetFactory::INavigationWidgetFactory()
    : d(new Internal::NavigationWidgetFactoryPrivate)
{
    factories().append(this);
}

INavigationWidgetFactory::~INavigationWidgetFactory()
{
    factories().removeAll(this);
    delete d;
}

QList<INavigationWidgetFactory *> INavigationWidgetFactory::allNavigationFactories()
{
    return factories();
}

void INavigationWidgetFactory::setDisplayName(const QString &displayName)
{
    d->displayName = displayName;
}

void INavigationWidgetFactory::setPriority(int priority)
{
    d->priority = priority;
}

void INavigationWidgetFactory::setId(Utils::Id id)
{
    d->id = id;
}

void INavigationWidgetFactory::setActivationSequence(const QKeySequence &keys)
{
    d->activationSequence = keys;
}

QString INavigationWidgetFactory::displayName() const
{
    return d->displayName;
}

int INavigationWidgetFactory::priority() const
{
    return d->priority;
}

Utils::Id INavigationWidgetFactory::id() const
{
    return d->id;
}

QKeySequence INavigationWidgetFactory::activationSequence() const
{
    return d->activationSequence;
}

void INavigationWidgetFactory::saveSettings(Utils::QtcSettings *, int, QWidget *) { }

void INavigationWidgetFactory::restoreSettings(QSettings *, int, QWidget *) { }

void INavigationWidgetFactory::addRootPath(Utils::Id, const QString &, const QIcon &,
                                           const Utils::FilePath &)
{ }

void INavigationWidgetFactory::removeRootPath(Utils::Id) { }

} // namespace Core
