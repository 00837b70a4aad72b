// EditorFollower: the host's current editor, its document and cursor,
// followed by its signals, a burst window and the period's tick.
#include "menuview/editorfollower.h"

#include "coreplugin/editormanager/editormanager.h"
#include "coreplugin/editormanager/ieditor.h"
#include "creader/compilerquery.h"
#include "menuview/params/settingskeys.h"
#include "menuview/screenstatus.h"
#include "utils/filepath.h"

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QSettings>

#include <climits>

namespace VelkoMenuView {

namespace {

// A setting of the store that holds a list, apart by commas: the store's
// text format reads "a, b" as a list and "a" as a string.
QStringList listSetting(const QSettings &settings, const QString &key)
{
    QStringList list;
    for (const QString &entry : settings.value(key).toStringList()) {
        for (const QString &part : entry.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            if (!part.trimmed().isEmpty())
                list << part.trimmed();
        }
    }
    return list;
}

// What the user's settings add to a build's reading: the compilers that may
// be asked for their macros, the functions that return their text.
void applyReadingSettings(const QSettings &settings, SourceContext *context)
{
    CompilerQuery::apply(&context->configuration,
                         listSetting(settings, SettingsKeys::queryDriver()));
    context->textFunctions = listSetting(settings, SettingsKeys::textFunctions());
}

} // namespace

EditorFollower::EditorFollower(QSettings *settings, ScreenStatus *status, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_status(status)
{
    connect(&m_timer, &QTimer::timeout, this, &EditorFollower::look);
    m_timer.setInterval(m_period * 1000);
    m_timer.start();

    m_followTimer.setSingleShot(true);
    m_followTimer.setInterval(FollowDelay);
    connect(&m_followTimer, &QTimer::timeout, this, &EditorFollower::followBurstEnd);
    connect(Core::EditorManager::instance(), &Core::EditorManager::currentEditorChanged, this,
            &EditorFollower::scheduleFollow);
    // A pane opened on a text editor shows its menu at once, not a period later.
    if (textWidgetOf(Core::EditorManager::currentEditor()))
        scheduleFollow();
    // A build configuration switched, a header saved elsewhere: shown with the cursor still.
    connect(&m_contextRefresh, &ContextRefresh::changed, this, [this] {
        if (m_document)
            emit moved();
    });
}

void EditorFollower::setPeriod(int seconds)
{
    // A period of 0 or less would poll without pause: the previous one stays.
    if (seconds <= 0)
        return;
    m_period = seconds;
    m_timer.setInterval(int(qMin(qint64(seconds) * 1000, qint64(INT_MAX))));
}

QString EditorFollower::path() const
{
    return m_document ? m_document->filePath().toString() : QString();
}

QPlainTextEdit *EditorFollower::textWidgetOf(Core::IEditor *editor)
{
    return editor ? qobject_cast<QPlainTextEdit *>(editor->widget()) : nullptr;
}

void EditorFollower::watch(Core::IEditor *editor)
{
    QPlainTextEdit *widget = textWidgetOf(editor);
    if (widget == m_textWidget)
        return;
    if (m_textWidget)
        disconnect(m_textWidget, &QPlainTextEdit::cursorPositionChanged, this,
                   &EditorFollower::scheduleFollow);
    m_textWidget = widget;
    if (m_textWidget)
        connect(m_textWidget, &QPlainTextEdit::cursorPositionChanged, this,
                &EditorFollower::scheduleFollow);
}

void EditorFollower::scheduleFollow()
{
    // The first move after a quiet spell is looked at as soon as the event
    // that moved it is done (an edit has been read by then); the moves of a
    // burst that follows are looked at once, when the burst window ends.
    if (m_followTimer.isActive()) {
        m_followPending = true;
        return;
    }
    m_followTimer.start();
    QMetaObject::invokeMethod(this, &EditorFollower::follow, Qt::QueuedConnection);
}

void EditorFollower::followBurstEnd()
{
    if (!m_followPending)
        return;
    m_followPending = false;
    m_followTimer.start();
    follow();
}

void EditorFollower::follow()
{
    watch(Core::EditorManager::currentEditor());
    // Editors without a watchable widget keep to the timer's pace.
    if (m_textWidget)
        look();
}

void EditorFollower::look()
{
    emit looking();
    Core::IEditor *editor = Core::EditorManager::currentEditor();
    watch(editor);
    if (!editor)
        return;
    Core::IDocument *editorDocument = editor->document();
    const int line = editor->currentLine();
    const int column = editor->currentColumn();
    if (line == m_line && column == m_column && editorDocument == m_document)
        return;
    m_line = line;
    m_column = column;
    if (editorDocument == m_document) {
        emit moved();
        return;
    }
    if (m_document)
        disconnect(m_document, &Core::IDocument::contentsChanged, this, &EditorFollower::reread);
    m_document = editorDocument;
    if (m_document)
        connect(m_document, &Core::IDocument::contentsChanged, this, &EditorFollower::reread);
    reread();
}

void EditorFollower::reread()
{
    // An editor without a document leaves nothing to read.
    if (!m_document)
        return;
    // A watched editor tells where its cursor stands after the edit: lines
    // added above it move the menu under it.
    Core::IEditor *editor = Core::EditorManager::currentEditor();
    if (editor && m_textWidget && textWidgetOf(editor) == m_textWidget
        && editor->document() == m_document) {
        m_line = editor->currentLine();
        m_column = editor->currentColumn();
    }
    emit edited();
}

void EditorFollower::close(Core::IDocument *closed)
{
    if (!closed || closed != m_document)
        return;
    disconnect(m_document, &Core::IDocument::contentsChanged, this, &EditorFollower::reread);
    m_document = nullptr;
    m_status->setDocumentClosed(QFileInfo(closed->filePath().toString()).fileName());
}

const SourceContext &EditorFollower::context()
{
    // The build's options are looked for when the document changes, now and
    // again, and when what they came from changes; not on every keystroke.
    if (m_contextRefresh.renew(path())) {
        m_context = m_contextRefresh.context();
        applyReadingSettings(*m_settings, &m_context);
        ++m_generation;
        m_status->setVariant(m_contextRefresh.variant());
    }
    return m_context;
}

SourceContext EditorFollower::contextFor(const QString &path) const
{
    SourceContext context = ContextRefresh::contextFor(path);
    applyReadingSettings(*m_settings, &context);
    return context;
}

} // namespace VelkoMenuView
