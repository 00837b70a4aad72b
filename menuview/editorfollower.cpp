// EditorFollower: the host's current editor, its document and cursor,
// followed by its signals, a burst window and the period's tick.
#include "menuview/editorfollower.h"

#include "coreplugin/editormanager/documentmodel.h"
#include "coreplugin/editormanager/editormanager.h"
#include "coreplugin/editormanager/ieditor.h"
#include "creader/compilecommands.h"
#include "creader/compilerquery.h"
#include "menuview/params/settingskeys.h"
#include "menuview/screenstatus.h"
#include "utils/filepath.h"

#include <QDir>
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
void applyReadingSettings(const QSettings &settings, ReadOptions *context)
{
    CompilerQuery::apply(&context->configuration,
                         listSetting(settings, SettingsKeys::queryDriver()));
    context->textFunctions = listSetting(settings, SettingsKeys::textFunctions());
}

// A header open in an editor is read as it stands there.
bool openInEditor(const QString &path, QString *text)
{
    for (Core::IDocument *open : Core::DocumentModel::openedDocuments()) {
        if (open && open->filePath().toString() == path) {
            *text = QString::fromUtf8(open->contents());
            return true;
        }
    }
    return false;
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
    m_contextTimer.setInterval(CheckInterval);
    connect(&m_contextTimer, &QTimer::timeout, this, &EditorFollower::checkContext);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &EditorFollower::checkContext);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &EditorFollower::checkContext);
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

const ReadOptions &EditorFollower::context()
{
    // The build's options are looked for when the document changes, now and
    // again, and when what they came from changes; not on every keystroke.
    const QString path = this->path();
    if (path != m_refresh.context().path || m_refresh.due()) {
        m_ticks = 0;
        compose(path, &m_variant, &m_ide, &m_refresh);
        if (path.isEmpty())
            m_contextTimer.stop();
        else if (!m_contextTimer.isActive())
            m_contextTimer.start();
        watchBuild();
        ++m_generation;
        m_status->setVariant(m_variant);
    }
    return m_refresh.context();
}

ReadOptions EditorFollower::contextFor(const QString &path) const
{
    BuildVariant variant;
    IdeBuild ide;
    ContextRefresh refresh;
    compose(path, &variant, &ide, &refresh);
    return refresh.context();
}

void EditorFollower::compose(const QString &path, BuildVariant *variant, IdeBuild *ide,
                             ContextRefresh *refresh) const
{
    ReadOptions context;
    context.path = path;
    *variant = BuildVariant();
    FileStamps databases; // the one read, and the IDE's build folder's

    *ide = IdeBuild::forDocument(path);
    QString database;
    if (!ide->folder.isEmpty()) {
        const QString ideDatabase
                = QDir(ide->folder).filePath(QStringLiteral("compile_commands.json"));
        databases.note(ideDatabase);
        if (CompileCommands::entryFor(path, ideDatabase) != CompileCommands::Entry::None) {
            database = ideDatabase;
            variant->ideConfiguration = ide->configuration;
            variant->ideKit = ide->kit;
        } else {
            variant->ideFolder = ide->folder;
        }
    }
    if (database.isEmpty() && !path.isEmpty()) {
        variant->search(path);
        database = variant->database;
    }
    if (!database.isEmpty()) {
        databases.note(database);
        context.configuration = CompileCommands::configurationFor(path, database);
        variant->database = database;
        variant->options = context.configuration.macroOptions();
    }
    applyReadingSettings(*m_settings, &context);
    refresh->renew(std::move(context), database, variant->ideConfiguration.isEmpty(), openInEditor,
                   std::move(databases));
}

void EditorFollower::watchBuild()
{
    // The IDE's build folder (its parent while the IDE has not made it yet)
    // and the database read: where a switch or a new configuration shows.
    const QString &database = m_variant.database;
    QStringList paths;
    if (!m_ide.folder.isEmpty())
        paths << (QFileInfo(m_ide.folder).isDir() ? m_ide.folder
                                                  : QFileInfo(m_ide.folder).absolutePath());
    if (!database.isEmpty())
        paths << database << QFileInfo(database).absolutePath();
    paths.removeDuplicates();
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    if (QSet<QString>(paths.cbegin(), paths.cend())
        == QSet<QString>(watched.cbegin(), watched.cend()))
        return;
    if (!watched.isEmpty())
        m_watcher.removePaths(watched);
    if (!paths.isEmpty())
        m_watcher.addPaths(paths);
}

void EditorFollower::checkContext()
{
    const QString &path = m_refresh.context().path;
    if (path.isEmpty() || m_refresh.outOfDate())
        return;
    watchBuild(); // the IDE's build folder may have come meanwhile
    // The search on disk lists folders up to the root: less often.
    if (IdeBuild::forDocument(path) != m_ide)
        m_refresh.setOutOfDate();
    else if (!m_refresh.takeOutOfDate(++m_ticks % SearchEvery == 0))
        return;
    // A build configuration switched, a header saved elsewhere: shown with the cursor still.
    if (m_document)
        emit moved();
}

} // namespace VelkoMenuView
