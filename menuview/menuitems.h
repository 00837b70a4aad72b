// MenuItems: the emulated device screen and the owner of all menu state. It
// hands the text its EditorFollower says to look at to the document's
// reading, the menu found at the cursor to its ScreenView, which paints it
// and keeps the values typed, and what it shows to its ScreenStatus.
#pragma once

#include "coreplugin/idocument.h"
#include "menuview/analysis/documentreading.h"
#include "menuview/editorfollower.h"
#include "menuview/screenstatus.h"
#include "menuview/screenview.h"

#include <QFrame>
#include <QTime>

class QPainter;
class QSettings;

class MenuItems : public QFrame
{
    Q_OBJECT

public:
    explicit MenuItems(QWidget *parent = nullptr);
    ~MenuItems() override;

    // Screen rows: the title plus one per item while a menu is shown, else 0.
    int rowCount() const { return m_screen.rowCount(); }

    int multiplier() const { return m_screen.multiplier(); }
    void setMultiplier(int multiplier) { m_screen.setMultiplier(multiplier); }
    int period() const { return m_follower.period(); }
    void setPeriod(int seconds) { m_follower.setPeriod(seconds); }
    QSettings *settings() const { return m_settings; }

    // The clock of the title row shows this time instead of the local time
    // while it is valid; an invalid time returns to the local time.
    void setFixedTime(const QTime &time) { m_screen.setFixedTime(time); }
    QTime fixedTime() const { return m_screen.fixedTime(); }

    // The parsed menu and whether it is shown (for tools that report on it).
    // Its source and preamble are views into the document's text, valid
    // until the next analysis.
    const MenuDefinition &menuDefinition() const { return m_screen.menu(); }
    bool isMenuValid() const { return m_screen.isShown(); }

    // What is shown, or why nothing is.
    VelkoMenuView::ScreenStatus *status() { return &m_status; }

    // The screen as shown, at the current magnification, in the device's
    // colours (lit black on #F4F4F4); a null image while no menu is shown.
    QImage screenImage() const { return m_screen.image(); }

    // How long the view waits after the last cursor move or editor switch in
    // an editor it can watch before it looks again.
    static constexpr int FollowDelay = VelkoMenuView::EditorFollower::FollowDelay;

signals:
    void analyzed();

private slots:
    void drawString(QPainter *g, int row);
    void documentOpened(Core::IDocument *document) { m_screen.values()->follow(document); }
    void documentClosed(Core::IDocument *document)
    {
        m_follower.close(document);
        deleteUnusedSettings(document);
    }
    void onTimeout() { m_follower.look(); }
    void contentsChanged() { m_follower.reread(); }
    void analyze();
    void loadSettingsParams() { m_screen.loadValues(); }
    void saveSettingsParam(int itemIndex, int paramNo, const QString &value)
    {
        m_screen.save(itemIndex, paramNo, value);
    }
    void deleteUnusedSettings(Core::IDocument *document);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Sets the menu's preamble and source around `begin` in documentText.
    void frameMenu(qsizetype begin);

    QSettings *m_settings;
    VelkoMenuView::ScreenStatus m_status;
    VelkoMenuView::EditorFollower m_follower;
    VelkoMenuView::ScreenView m_screen;
    QString documentText;
    qsizetype m_menuBegin = 0;
    // What was read of the document's previous text, for the next one.
    VelkoMenuView::DocumentReading m_reading;
};
