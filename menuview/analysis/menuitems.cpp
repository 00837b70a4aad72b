// MenuItems: construction, destruction and the operations the pane uses.
#include "menuview/analysis/menuitems.h"

#include "coreplugin/editormanager/editormanager.h"
#include "menuview/params/parameterstore.h"
#include "utils/filepath.h"

#include <QBitmap>
#include <QSettings>

#include <climits>

MenuItems::MenuItems(QWidget *parent) : QFrame(parent)
{
    m_settings = VelkoMenuView::ParameterStore::openUserStore();

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
    // A period of 0 or less would poll without pause: the previous one stays.
    if (seconds <= 0)
        return;
    m_period = seconds;
    timer.setInterval(int(qMin(qint64(seconds) * 1000, qint64(INT_MAX))));
}

void MenuItems::setFixedTime(const QTime &time)
{
    m_fixedTime = time;
    update();
}

void MenuItems::loadSettingsParams()
{
    if (!document)
        return;
    menu.paramValues = VelkoMenuView::ParameterStore(m_settings)
                               .load(document->filePath().toString(), menu.name, menu.itemTexts);
}

void MenuItems::saveSettingsParam(int itemIndex, int paramNo, const QString &value)
{
    if (!document)
        return;
    VelkoMenuView::ParameterStore(m_settings)
            .save(document->filePath().toString(), menu.name, menu.itemTexts, itemIndex, paramNo,
                  value);
}

void MenuItems::deleteUnusedSettings(Core::IDocument *closed)
{
    if (!closed)
        return;
    VelkoMenuView::ParameterStore(m_settings)
            .prune(closed->filePath().toString(), decodeDocument(closed->contents()));
}
