// ScreenView: the menu on the view's widget. It paints the rows the device
// library draws, repaints only those whose text changed, and asks for an
// item's values when it is clicked, keeping them in the store.
#pragma once

#include "creader/sourcereader.h"
#include "menuview/analysis/menudefinition.h"
#include "menuview/documentvalues.h"
#include "menuview/screen/shownrows.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPointF>
#include <QTime>

class QPaintEvent;
class QWidget;

namespace VelkoMenuView {

class EditorFollower;
class ScreenStatus;

class ScreenView
{
public:
    // Paints on `widget` and asks over it; the values of `follower`'s document
    // are kept in `settings`, and `status` hears when they cannot be written.
    ScreenView(QWidget *widget, QSettings *settings, const EditorFollower *follower,
               ScreenStatus *status);

    // The menu the reading last made, with the values typed; shown while
    // isShown(). Its source and preamble are views the reading sets.
    MenuDefinition &menu() { return m_menu; }
    const MenuDefinition &menu() const { return m_menu; }
    bool isShown() const { return m_shown; }
    // What the reading made of the menu at the cursor: `read`, whose items
    // `itemTags` tell apart; without `shown`, its name and texts only.
    void take(const MenuDefinition &read, const QStringList &itemTags, bool shown);
    void hide() { m_shown = false; }
    // The title plus one per item while a menu is shown, else 0.
    int rowCount() const;

    int multiplier() const { return m_multiplier; }
    void setMultiplier(int multiplier);
    QTime fixedTime() const { return m_fixedTime; }
    void setFixedTime(const QTime &time);

    QImage image() const;
    void paint(QPaintEvent *event);
    QRect rowRect(int row) const;
    // Paints again the rows whose text changed since they were last shown.
    void updateChangedRows();

    // A click at `position` on the widget asks for the values of the item
    // there; true when the menu took what was typed. The widget may be gone
    // when it returns false.
    bool press(QPointF position);

    DocumentValues *values() { return &m_values; }
    // The values stored for a menu of the followed document (without one, those
    // shown: edits made then stay in memory).
    QList<QStringList> storedValues(const QString &menuName, const QStringList &itemTexts,
                                    const QStringList &itemTags);
    void loadValues();
    void save(int itemIndex, int paramNo, const QString &value);
    // Prunes the values of the document at `path` as `context` reads it.
    void prune(const QString &path, const ReadOptions &context);

private:
    QTime shownTime() const;
    void setStoreWritten(bool written);

    QWidget *m_widget;
    QSettings *m_settings;
    const EditorFollower *m_follower;
    ScreenStatus *m_status;
    DocumentValues m_values;
    MenuDefinition m_menu;
    bool m_shown = false;
    QStringList m_itemTags; // what tells the shown menu's items of one text apart
    int m_multiplier = 1;
    QTime m_fixedTime;
    mutable QTime m_clock; // the local time, looked at once a second
    mutable QElapsedTimer m_clockAge;
    ShownRows m_shownRows;
};

} // namespace VelkoMenuView
