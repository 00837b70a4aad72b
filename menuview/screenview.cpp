// ScreenView: painting the menu, repainting changed rows, and the values
// typed for a clicked item.
#include "menuview/screenview.h"

#include "menuview/analysis/devicescreen.h"
#include "menuview/analysis/itemformat.h"
#include "menuview/editorfollower.h"
#include "menuview/params/parameterentry.h"
#include "menuview/params/parameterstore.h"
#include "menuview/screen/menurenderer.h"
#include "menuview/screenstatus.h"

#include <QDateTime>
#include <QPaintEvent>
#include <QPainter>
#include <QSettings>
#include <QTimer>
#include <QWidget>

#include <climits>

namespace VelkoMenuView {

ScreenView::ScreenView(QWidget *widget, QSettings *settings, const EditorFollower *follower,
                       ScreenStatus *status)
    : m_widget(widget)
    , m_settings(settings)
    , m_follower(follower)
    , m_status(status)
    , m_values(settings)
{ }

void ScreenView::take(const MenuDefinition &read, const QStringList &itemTags, bool shown)
{
    m_menu.name = read.name;
    m_menu.title = read.title;
    m_menu.itemTexts = read.itemTexts;
    m_itemTags = itemTags;
    m_shown = shown;
    if (shown) {
        m_menu.paramValues = read.paramValues;
        m_menu.itemLines = read.itemLines;
        m_menu.itemParams = read.itemParams;
    }
}

int ScreenView::rowCount() const
{
    return m_shown ? int(m_menu.itemLines.size()) + 1 : 0;
}

void ScreenView::setMultiplier(int multiplier)
{
    m_multiplier = multiplier;
    m_widget->update();
}

void ScreenView::setFixedTime(const QTime &time)
{
    m_fixedTime = time;
    updateChangedRows();
}

QImage ScreenView::image() const
{
    if (!m_shown)
        return QImage();
    return renderMenu(m_menu, shownTime(), m_multiplier);
}

void ScreenView::paint(QPaintEvent *event)
{
    if (!m_shown)
        return;
    QPainter p(m_widget);
    // Lit pixels take the painter's pen, as the device's one-bit rows drawn
    // through a bitmap would; unlit ones let the background show.
    const QImage screen = renderMenu(m_menu, shownTime(), 1, {p.pen().color(), Qt::transparent});
    const qint64 width = qint64(screen.width()) * m_multiplier;
    const qint64 height = qint64(screen.height()) * m_multiplier;
    if (width <= 0 || width > INT_MAX || height > INT_MAX)
        return;
    // Only the rows asked for: a keystroke repaints the lines it changed.
    const QRect dirty = event->rect();
    const int rowHeight = rowRect(0).height();
    const int first = qMax(0, dirty.top() / rowHeight);
    const int last = qMin(rowCount() - 1, dirty.bottom() / rowHeight);
    if (first > last)
        return;
    const int rows = last - first + 1;
    // The device shows 64 pixel rows: a dashed line of the theme's highlight,
    // which the device never draws, marks where its screen ends. Drawn first,
    // it shows only through unlit pixels.
    const int edgeRow = DeviceScreen::Height / DeviceScreen::RowHeight;
    if (first <= edgeRow && edgeRow <= last) {
        QPen edge(m_widget->palette().color(QPalette::Highlight), 1);
        edge.setDashPattern({3.0 * m_multiplier, 2.0 * m_multiplier});
        p.setPen(edge);
        const int y = edgeRow * rowHeight;
        p.drawLine(0, y, int(width) - 1, y);
    }
    p.drawImage(QRect(0, first * rowHeight, int(width), rows * rowHeight), screen,
                QRect(0, first * DeviceScreen::RowHeight, screen.width(),
                      rows * DeviceScreen::RowHeight));
}

QTime ScreenView::shownTime() const
{
    if (m_fixedTime.isValid())
        return m_fixedTime;
    // The local time costs a look at the time zone file: once a second is
    // enough for a clock that shows minutes.
    if (!m_clockAge.isValid() || m_clockAge.hasExpired(1000)) {
        m_clock = QDateTime::currentDateTime().time();
        m_clockAge.start();
    }
    return m_clock;
}

QRect ScreenView::rowRect(int row) const
{
    const int m = m_multiplier;
    return QRect(0, DeviceScreen::RowHeight * m * row, DeviceScreen::Width * m,
                 DeviceScreen::RowHeight * m);
}

void ScreenView::updateChangedRows()
{
    const QStringList rows = ShownRows::rowsOf(m_shown ? &m_menu : nullptr, shownTime());
    for (const int row : m_shownRows.show(rows))
        m_widget->update(rowRect(row));
}

bool ScreenView::press(QPointF position)
{
    const qsizetype items = m_menu.itemTexts.size();
    if (!m_shown || m_menu.itemLines.size() != items || m_menu.itemParams.size() != items)
        return false;
    const qint64 rowHeight = qint64(DeviceScreen::RowHeight) * m_multiplier;
    if (rowHeight <= 0)
        return false;
    const qsizetype index = qsizetype(position.toPoint().y() / rowHeight) - 1;
    if (index < 0 || index >= items)
        return false;
    const ParamInfo info = m_menu.itemParams.at(index);
    if (info.type != ParamType::Integer && info.type != ParamType::Real
        && info.type != ParamType::String)
        return false;
    if (info.count <= 0)
        return false;

    const QString itemText = m_menu.itemTexts.at(index);
    const QString menuName = m_menu.name;
    const QPointer<Core::IDocument> editedDocument = m_follower->document();
    const bool hadDocument = editedDocument;
    const QPointer<QWidget> self(m_widget);
    // What the store holds now: another view may have written since this
    // one loaded.
    const QStringList stored = hadDocument
            ? m_values.current(m_follower->path(), menuName, m_menu.itemTexts, m_itemTags, index)
            : m_menu.paramValues.value(index);
    const std::optional<QStringList> entered = askParameterValues(m_widget, info, stored);
    if (!self || !entered)
        return false;

    // A re-analysis during the dialog may have rebuilt the menu, or shown
    // another document's or another menu's: take the values only for the
    // same item of the same menu of the same document, never by a stale index
    // and never into another document's group. A menu left on the screen by
    // a document closed before the click is still edited, in memory only.
    Core::IDocument *document = m_follower->document();
    const bool sameDocument = hadDocument ? document && document == editedDocument : !document;
    if (!m_shown || !sameDocument || m_menu.name != menuName || index >= m_menu.itemTexts.size()
        || m_menu.itemTexts.at(index) != itemText)
        return false;
    if (m_menu.paramValues.size() <= index)
        m_menu.paramValues.resize(index + 1);
    QStringList &values = m_menu.paramValues[index];
    if (values.size() < entered->size())
        values.resize(entered->size());
    for (int n = 0; n < entered->size(); ++n) {
        values[n] = entered->at(n);
        // Only what the user changed: a field left as it was must not take
        // back what another view wrote meanwhile.
        if (n >= stored.size() || entered->at(n) != stored.at(n))
            save(int(index), n + 1, entered->at(n));
    }
    formatItems(m_menu);
    updateChangedRows();
    return true;
}

QList<QStringList> ScreenView::storedValues(const QString &menuName, const QStringList &itemTexts,
                                            const QStringList &itemTags)
{
    if (!m_follower->document())
        return m_menu.paramValues;
    return m_values.values(m_follower->path(), menuName, itemTexts, itemTags);
}

void ScreenView::loadValues()
{
    m_menu.paramValues = storedValues(m_menu.name, m_menu.itemTexts, m_itemTags);
}

void ScreenView::save(int itemIndex, int paramNo, const QString &value)
{
    if (!m_follower->document())
        return;
    setStoreWritten(m_values.save(m_follower->path(), m_menu.name, m_menu.itemTexts, m_itemTags,
                                  itemIndex, paramNo, value));
}

void ScreenView::prune(const QString &path, const ReadOptions &context)
{
    m_values.prune(path, context);
    // Written once the host is idle again, as the store would anyway: closing stays quick.
    QTimer::singleShot(0, m_widget,
                       [this] { setStoreWritten(ParameterStore(m_settings).flush()); });
}

void ScreenView::setStoreWritten(bool written)
{
    m_status->setStoreFailure(written ? QString() : m_settings->fileName());
}

} // namespace VelkoMenuView
