// EditorFollower: which document and cursor the screen looks at, and when,
// and how it is read. A text editor's cursor is followed as it moves, other
// editors at each tick of the period; an edit, another document or a changed
// build says so at once: another build configuration chosen in the IDE, a
// database written, a header saved by another program show without a
// keystroke or a cursor move.
#pragma once

#include "coreplugin/idocument.h"
#include "menuview/files/buildvariant.h"
#include "menuview/files/contextrefresh.h"
#include "menuview/idebuild.h"

#include <QFileSystemWatcher>
#include <QPointer>
#include <QTimer>

class QPlainTextEdit;
class QSettings;

namespace Core {
class IEditor;
} // namespace Core

namespace VelkoMenuView {

class ScreenStatus;

class EditorFollower : public QObject
{
    Q_OBJECT

public:
    // The reading settings come from `settings`; `status` hears where the
    // build's options came from and when the followed document closed.
    EditorFollower(QSettings *settings, ScreenStatus *status, QObject *parent = nullptr);

    int period() const { return m_period; }
    void setPeriod(int seconds);

    // Looks at the current editor now, as the period's tick does.
    void look();
    // The followed document's text changed.
    void reread();
    // `closed` is followed no longer.
    void close(Core::IDocument *closed);

    Core::IDocument *document() const { return m_document; }
    QString path() const; // empty without a document
    qint32 line() const { return m_line; }
    qint32 column() const { return m_column; }

    // How the followed document is read: its path, the build's options (the
    // IDE's build configuration, when it names one whose database holds the
    // document, else the search on disk), open headers, with what the user's
    // settings add; made afresh for another document and when the refresh
    // says so, a new generation each time.
    const ReadOptions &context();
    quint64 generation() const { return m_generation; }
    // The same for a document that closes, made now and not watched.
    ReadOptions contextFor(const QString &path) const;

    // How long a burst of cursor moves may pause and stay one burst.
    static constexpr int FollowDelay = 50; // ms
    // The IDE's choice, the databases and headers read are looked at this
    // often, the search on disk at every SearchEvery-th look: a change shows
    // within 2 s. The databases' folders are watched too, so that the
    // database the IDE writes a second or so after a switch shows at once.
    static constexpr int CheckInterval = 500; // ms
    static constexpr int SearchEvery = 3;

signals:
    // A look begins: the title row's clock may have moved on.
    void looking();
    // The followed document's text is to be read afresh (another document,
    // or an edit).
    void edited();
    // The cursor moved in the same text, or the build's options changed.
    void moved();

private:
    // Editors whose widget is a QPlainTextEdit (the IDE's text editors, the
    // studio's) are followed as the cursor moves; others wait for the timer.
    static QPlainTextEdit *textWidgetOf(Core::IEditor *editor);
    void watch(Core::IEditor *editor);
    void scheduleFollow();
    void followBurstEnd();
    void follow();
    void compose(const QString &path, BuildVariant *variant, IdeBuild *ide,
                 ContextRefresh *refresh) const;
    void watchBuild();
    void checkContext();

    QSettings *m_settings;
    ScreenStatus *m_status;
    QTimer m_timer;
    int m_period = 3;
    qint32 m_line = 0;
    qint32 m_column = 0;
    QPointer<Core::IDocument> m_document; // guarded: a host may delete a document unannounced
    QTimer m_followTimer; // single shot: the window of a burst of moves
    bool m_followPending = false; // a move came during the window
    QPointer<QPlainTextEdit> m_textWidget; // the watched editor's widget
    ContextRefresh m_refresh;
    quint64 m_generation = 0; // counts the contexts looked for
    BuildVariant m_variant;
    IdeBuild m_ide;
    QTimer m_contextTimer;
    int m_ticks = 0;
    QFileSystemWatcher m_watcher;
};

} // namespace VelkoMenuView
