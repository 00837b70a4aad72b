// MenuItems: construction, destruction and the operations the pane uses.
#include "menuview/analysis/menuitems.h"

#include "coreplugin/editormanager/editormanager.h"

#include <QBitmap>
#include <QSettings>

#include <climits>

MenuItems::MenuItems(QWidget *parent) : QFrame(parent)
{
    // Named explicitly rather than through the application-wide names: those
    // belong to the host, whose own data paths follow them.
    m_settings = new QSettings(QSettings::NativeFormat, QSettings::UserScope,
                               QStringLiteral("Ombrix"), QStringLiteral("VelkoMenuView"));

    editorManager = Core::EditorManager::instance();

    connect(&timer, &QTimer::timeout, this, &MenuItems::onTimeout);
    timer.setInterval(m_period * 1000);
    timer.start();

    connect(editorManager, &Core::EditorManager::documentOpened, this, &MenuItems::documentOpened);
    connect(editorManager, &Core::EditorManager::documentClosed, this, &MenuItems::documentClosed);

    offPixelBrush = QBrush(QColor(0xF4, 0xF4, 0xF4), Qt::SolidPattern);
    onPixelBrush = QBrush(Qt::black, Qt::SolidPattern);
    rowBitmap = new QBitmap(128, 8);
}

MenuItems::~MenuItems()
{
    timer.stop();
    delete rowBitmap;
    delete m_settings;
}

int MenuItems::rowCount() const
{
    return menuValid ? int(menu.itemLines.size()) + 1 : 0;
}

void MenuItems::setMultiplier(int multiplier)
{
    m_multiplier = multiplier;
    update();
}

void MenuItems::setPeriod(int seconds)
{
    m_period = seconds;
    timer.setInterval(int(qBound(qint64(0), qint64(seconds) * 1000, qint64(INT_MAX))));
}

void MenuItems::setFixedTime(const QTime &time)
{
    m_fixedTime = time;
    update();
}
