// The cursor moves through the studio's own editor widget, as a user's would;
// a screen that notes when its paint ends tells when the move is shown.
#include "followlatency.h"

#include "benchdocuments.h"
#include "codeeditor.h"
#include "studioeditor.h"

#include "coreplugin/editormanager/editormanager.h"
#include "menuview/menuitems.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTextBlock>

#include <algorithm>

using namespace VelkoMenuView;

namespace {

class TimedScreen : public MenuItems
{
public:
    QElapsedTimer clock;
    qint64 paintedAt = -1;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        MenuItems::paintEvent(event);
        paintedAt = clock.nsecsElapsed();
    }
};

void moveTo(StudioEditor &editor, int line)
{
    QTextCursor cursor(editor.editorWidget()->document()->findBlockByNumber(line - 1));
    editor.editorWidget()->setTextCursor(cursor);
}

} // namespace

FollowLatency measureFollowLatency(qsizetype bytes, int moves)
{
    FollowLatency result;
    const BenchDocument document = manyMenusDocument(bytes, 100);
    StudioEditor editor(QStringLiteral("/bench/follow.c"), QString::fromUtf8(document.text));
    // Lines inside the menus, far apart: the third line of each menu.
    QList<int> lines;
    const QStringList textLines = QString::fromUtf8(document.text).split(u'\n');
    for (int i = 0; i < textLines.size(); ++i) {
        if (textLines[i].startsWith(QLatin1String("BEGIN_")))
            lines << i + 2;
    }
    if (lines.size() < 2) {
        result.error = QStringLiteral("the document has no menus to move between");
        return result;
    }
    Core::EditorManager::activateEditor(&editor);
    TimedScreen screen;
    screen.settings()->clear();
    screen.setPeriod(100); // only the following, never the timer
    QObject::connect(&screen, &MenuItems::analyzed, &screen,
                     [&] { screen.resize(128, 8 * qMax(1, screen.rowCount())); });
    screen.resize(128, 8);
    screen.show();
    screen.clock.start();

    QList<double> latencies;
    for (int i = 0; i < moves; ++i) {
        // An isolated move: the window of the burst before it has ended.
        QElapsedTimer quiet;
        quiet.start();
        while (!quiet.hasExpired(MenuItems::FollowDelay + 10))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const QString before = screen.menuDefinition().name;
        const qint64 movedAt = screen.clock.nsecsElapsed();
        moveTo(editor, lines[(i * 37 + 1) % lines.size()]);
        const qint64 deadline = movedAt + 2'000'000'000;
        // Shown: analysed, and a paint has ended since.
        while (!(screen.paintedAt > movedAt && screen.menuDefinition().name != before)
               && screen.clock.nsecsElapsed() < deadline)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (screen.clock.nsecsElapsed() >= deadline) {
            result.error = QStringLiteral("a move was not shown within 2 s");
            break;
        }
        latencies << (screen.paintedAt - movedAt) / 1e6;
    }
    Core::EditorManager::activateEditor(nullptr);
    if (latencies.isEmpty())
        return result;
    std::sort(latencies.begin(), latencies.end());
    result.moves = int(latencies.size());
    result.medianMs = latencies[latencies.size() / 2];
    result.p95Ms = latencies[qMin(latencies.size() - 1, qsizetype(latencies.size() * 95 / 100))];
    return result;
}
