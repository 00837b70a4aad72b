// The IDE's build configuration first, when it names one whose database
// holds the document; else the search on disk.
#include "menuview/contextrefresh.h"

#include "coreplugin/editormanager/documentmodel.h"
#include "coreplugin/idocument.h"
#include "creader/compilecommands.h"
#include "utils/filepath.h"

#include <QDir>
#include <QFileInfo>

namespace VelkoMenuView {

ContextRefresh::ContextRefresh(QObject *parent)
    : QObject(parent)
{
    m_timer.setInterval(CheckInterval);
    connect(&m_timer, &QTimer::timeout, this, &ContextRefresh::check);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &ContextRefresh::check);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &ContextRefresh::check);
}

bool ContextRefresh::renew(const QString &path)
{
    if (path == m_path && !m_outOfDate && m_age.isValid() && !m_age.hasExpired(Lifetime))
        return false;
    make(path);
    return true;
}

void ContextRefresh::make(const QString &path)
{
    m_path = path;
    m_outOfDate = false;
    m_age.start();
    m_ticks = 0;
    m_headers = std::make_shared<FileStamps>();
    m_databases.clear();
    m_context = compose(path, &m_variant, &m_ide, &m_databases, m_headers);
    if (path.isEmpty())
        m_timer.stop();
    else if (!m_timer.isActive())
        m_timer.start();
    watch(m_variant.database);
}

SourceContext ContextRefresh::contextFor(const QString &path)
{
    BuildVariant variant;
    IdeBuild ide;
    FileStamps databases;
    return compose(path, &variant, &ide, &databases, std::make_shared<FileStamps>());
}

SourceContext ContextRefresh::compose(const QString &path, BuildVariant *variant, IdeBuild *ide,
                                      FileStamps *databases,
                                      const std::shared_ptr<FileStamps> &headers)
{
    SourceContext context;
    context.path = path;
    *variant = BuildVariant();

    *ide = IdeBuild::forDocument(path);
    QString database;
    if (!ide->folder.isEmpty()) {
        const QString ideDatabase
                = QDir(ide->folder).filePath(QStringLiteral("compile_commands.json"));
        databases->note(ideDatabase);
        if (CompileCommands::entryFor(path, ideDatabase) != CompileCommands::Entry::None) {
            database = ideDatabase;
            variant->ideConfiguration = ide->configuration;
            variant->ideKit = ide->kit;
        } else {
            variant->ideFolder = ide->folder;
        }
    }
    if (database.isEmpty() && !path.isEmpty()) {
        const CompileCommands::Search search = CompileCommands::search(path);
        database = search.database;
        variant->places = search.places;
        variant->older = search.older;
    }
    if (!database.isEmpty()) {
        databases->note(database);
        context.configuration = CompileCommands::configurationFor(path, database);
        variant->database = database;
        variant->options = context.configuration.macroOptions();
    }

    // A header open in an editor is read as it stands there; the others are
    // watched on disk.
    context.openText = [headers](const QString &header, QString *text) {
        for (Core::IDocument *open : Core::DocumentModel::openedDocuments()) {
            if (open && open->filePath().toString() == header) {
                *text = QString::fromUtf8(open->contents());
                return true;
            }
        }
        headers->note(header);
        return false;
    };
    return context;
}

void ContextRefresh::watch(const QString &database)
{
    // The IDE's build folder (its parent while the IDE has not made it yet)
    // and the database read: where a switch or a new configuration shows.
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

void ContextRefresh::check()
{
    if (m_path.isEmpty() || m_outOfDate)
        return;
    watch(m_variant.database); // the IDE's build folder may have come meanwhile
    bool stale = IdeBuild::forDocument(m_path) != m_ide || m_databases.changed()
            || m_headers->changed();
    // The search on disk lists folders up to the root: less often.
    if (!stale && ++m_ticks % SearchEvery == 0 && m_variant.ideConfiguration.isEmpty())
        stale = CompileCommands::search(m_path).database != m_variant.database;
    if (!stale)
        return;
    m_outOfDate = true;
    emit changed();
}

} // namespace VelkoMenuView
