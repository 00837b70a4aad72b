// MenuItems: the emulated device screen and the owner of all menu state. It
// follows the host's current editor, finds and parses the menu around the
// cursor, keeps the user's parameter values and paints the menu through the
// device graphics library. Slot bodies live by concern: the block locator and
// document tracking here in analysis/, the parameter store in params/, the
// painting in screen/.
#pragma once

#include "coreplugin/idocument.h"
#include "menuview/analysis/documentreading.h"
#include "menuview/analysis/menudefinition.h"
#include "menuview/contextrefresh.h"
#include "menuview/documentvalues.h"
#include "menuview/screen/shownrows.h"
#include "menuview/screenstatus.h"

#include <QBrush>
#include <QElapsedTimer>
#include <QFrame>
#include <QPointer>
#include <QTime>
#include <QTimer>

class QBitmap;
class QPainter;
class QPlainTextEdit;
class QSettings;

namespace Core {
class EditorManager;
class IEditor;
} // namespace Core

class MenuItems : public QFrame
{
    Q_OBJECT

public:
    explicit MenuItems(QWidget *parent = nullptr);
    ~MenuItems() override;

    // Screen rows: the title plus one per item while a menu is shown, else 0.
    int rowCount() const;

    int multiplier() const { return m_multiplier; }
    void setMultiplier(int multiplier);
    int period() const { return m_period; }
    void setPeriod(int seconds);
    QSettings *settings() const { return m_settings; }

    // The clock of the title row shows this time instead of the local time
    // while it is valid; an invalid time returns to the local time.
    void setFixedTime(const QTime &time);
    QTime fixedTime() const { return m_fixedTime; }

    // The parsed menu and whether it is shown (for tools that report on it).
    // Its source and preamble are views into the document's text, valid
    // until the next analysis.
    const MenuDefinition &menuDefinition() const { return menu; }
    bool isMenuValid() const { return menuValid; }

    // What is shown, or why nothing is.
    VelkoMenuView::ScreenStatus *status() { return &m_status; }

    // The screen as shown, at the current magnification, in the device's
    // colours (lit black on #F4F4F4); a null image while no menu is shown.
    QImage screenImage() const;

    // How long the view waits after the last cursor move or editor switch in
    // an editor it can watch before it looks again.
    static constexpr int FollowDelay = 50; // ms

signals:
    void analyzed();

private slots:
    void drawString(QPainter *g, int row);
    void documentOpened(Core::IDocument *document);
    void documentClosed(Core::IDocument *document);
    void onTimeout();
    void contentsChanged();
    void analyze();
    void loadSettingsParams();
    void saveSettingsParam(int itemIndex, int paramNo, const QString &value);
    void deleteUnusedSettings(Core::IDocument *document);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Document bytes as text, UTF-8, as both the analysis and the pruning read them.
    static QString decodeDocument(const QByteArray &bytes);
    // Sets menu.preamble and menu.source around `begin` in documentText.
    void frameMenu(qsizetype begin);
    // The values stored for a menu of the tracked document (without one, those
    // shown: edits made then stay in memory).
    QList<QStringList> storedValues(const QString &menuName, const QStringList &itemTexts,
                                    const QStringList &itemTags);
    // How the tracked document is read: its path, the build's options, open headers.
    const VelkoMenuView::SourceContext &sourceContext();
    // A setting of the store that holds a list, apart by commas.
    QStringList listSetting(const QString &key) const;
    // What the user's settings add to a build's reading: the compilers that
    // may be asked for their macros, the functions that return their text.
    void applyReadingSettings(VelkoMenuView::SourceContext *context) const;
    // The store changed for `path` (any document when empty).
    void storeChanged(const QString &path);

    // Editors whose widget is a QPlainTextEdit (the IDE's text editors, the
    // studio's) are followed as the cursor moves; others wait for the timer.
    static QPlainTextEdit *textWidgetOf(Core::IEditor *editor);
    void watch(Core::IEditor *editor);
    void scheduleFollow();
    void followBurstEnd();
    void follow();
    // Paints again the rows whose text changed since they were last shown.
    void updateChangedRows();
    QRect rowRect(int row) const;
    QTime shownTime() const;

    Core::EditorManager *editorManager = nullptr;
    QSettings *m_settings = nullptr;
    QTimer timer;
    qint32 cursorLine = 0;
    qint32 cursorColumn = 0;
    QPointer<Core::IDocument> document; // guarded: a host may delete a document unannounced
    QString documentText;
    MenuDefinition menu;
    qsizetype m_menuBegin = 0;
    bool menuValid = false;
    QBitmap *rowBitmap = nullptr;
    qint32 m_multiplier = 1;
    qint32 m_period = 3;
    QBrush offPixelBrush;
    QBrush onPixelBrush;
    QTime m_fixedTime;
    mutable QTime m_clock; // the local time, looked at once a second
    mutable QElapsedTimer m_clockAge;
    QTimer followTimer; // single shot: the window of a burst of moves
    bool followPending = false; // a move came during the window
    QPointer<QPlainTextEdit> textWidget; // the watched editor's widget
    VelkoMenuView::ScreenStatus m_status;
    VelkoMenuView::ShownRows m_shownRows;
    VelkoMenuView::ContextRefresh m_contextRefresh;
    VelkoMenuView::SourceContext m_context; // as the refresh made it, with the reading settings
    quint64 m_contextGeneration = 0; // counts the contexts looked for
    // What was read of the document's previous text, for the next one.
    VelkoMenuView::DocumentReading m_reading;
    VelkoMenuView::DocumentValues *m_values = nullptr;
    QStringList m_itemTags; // what tells the shown menu's items of one text apart
};
