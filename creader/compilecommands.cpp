// Databases are read once and kept while their size and modification time
// stay the same: a keystroke asks again, and must not parse JSON again.
#include "creader/compilecommands.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace VelkoMenuView {

namespace {

constexpr qint64 MaxDatabaseSize = 256 * 1024 * 1024;

struct Command
{
    QString file; // absolute, links resolved
    QString directory;
    QStringList arguments;
};

struct Database
{
    qint64 size = -1;
    QDateTime modified;
    QList<Command> entries;
    QString error;
};

QHash<QString, Database> &databases()
{
    static QHash<QString, Database> cache;
    return cache;
}

QString canonical(const QString &path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : resolved;
}

const Database &load(const QString &path)
{
    const QFileInfo info(path);
    Database &database = databases()[path];
    if (database.size == info.size() && database.modified == info.lastModified())
        return database;
    database = Database();
    database.size = info.size();
    database.modified = info.lastModified();
    QFile file(path);
    if (info.size() > MaxDatabaseSize || !file.open(QIODevice::ReadOnly)) {
        database.error = QStringLiteral("cannot be read");
        return database;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isArray()) {
        database.error = parseError.error != QJsonParseError::NoError
                ? QStringLiteral("is not JSON: %1 at byte %2")
                          .arg(parseError.errorString())
                          .arg(parseError.offset)
                : QStringLiteral("is not a list of compile commands");
        return database;
    }
    for (const QJsonValue &value : document.array()) {
        const QJsonObject object = value.toObject();
        Command entry;
        entry.directory = object.value(QLatin1String("directory")).toString();
        const QString file = object.value(QLatin1String("file")).toString();
        if (file.isEmpty())
            continue;
        entry.file = canonical(QDir(entry.directory).absoluteFilePath(file));
        const QJsonValue arguments = object.value(QLatin1String("arguments"));
        if (arguments.isArray()) {
            for (const QJsonValue &argument : arguments.toArray())
                entry.arguments << argument.toString();
        } else {
            entry.arguments = BuildConfiguration::splitCommand(
                    object.value(QLatin1String("command")).toString());
        }
        database.entries.append(entry);
    }
    return database;
}

const Command *entryIn(const Database &database, const QString &source,
                       CompileCommands::Entry *kind)
{
    const QString folder = QFileInfo(source).absolutePath();
    const Command *found = nullptr;
    *kind = CompileCommands::Entry::None;
    for (const Command &entry : database.entries) {
        if (entry.file == source) {
            *kind = CompileCommands::Entry::File;
            return &entry;
        }
        if (!found && QFileInfo(entry.file).absolutePath() == folder) {
            found = &entry;
            *kind = CompileCommands::Entry::Folder;
        }
    }
    return found;
}

} // namespace

CompileCommands::Search CompileCommands::search(const QString &sourcePath)
{
    Search result;
    if (sourcePath.isEmpty())
        return result;
    const QString source = canonical(sourcePath);
    struct Found
    {
        QString path;
        Entry entry;
        QDateTime written;
    };
    QList<Found> found;
    const auto consider = [&](const QDir &folder, const QString &subfolders) {
        const QString name = QStringLiteral("compile_commands.json");
        result.places << folder.filePath(subfolders.isEmpty() ? name : subfolders + u'/' + name);
        QStringList paths;
        if (subfolders.isEmpty()) {
            paths << folder.filePath(name);
        } else {
            for (const QString &sub :
                 folder.entryList({subfolders}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
                paths << folder.filePath(sub + u'/' + name);
        }
        for (const QString &path : std::as_const(paths)) {
            const QFileInfo info(path);
            const bool seen = std::any_of(found.cbegin(), found.cend(),
                                          [&](const Found &f) { return f.path == path; });
            if (!seen && info.isFile())
                found.append({path, entryFor(source, path), info.lastModified()});
        }
    };
    // A parent's build*/ folders hold its children's siblings named
    // build-<child>-* too: an IDE's build folders beside the source tree.
    QDir folder = QFileInfo(sourcePath).absoluteDir();
    do {
        consider(folder, QString());
        consider(folder, QStringLiteral("build*"));
    } while (folder.cdUp());
    // The best entry, then the newest; the nearest of equals.
    const Found *best = nullptr;
    for (const Found &candidate : std::as_const(found)) {
        if (candidate.entry != Entry::None
            && (!best || candidate.entry > best->entry
                || (candidate.entry == best->entry && candidate.written > best->written)))
            best = &candidate;
    }
    for (const Found &candidate : std::as_const(found)) {
        if (best && &candidate == best)
            result.database = candidate.path;
        else if (best && candidate.entry == best->entry)
            result.older << candidate.path;
    }
    return result;
}

CompileCommands::Entry CompileCommands::entryFor(const QString &sourcePath,
                                                 const QString &databasePath)
{
    Entry kind;
    entryIn(load(databasePath), canonical(sourcePath), &kind);
    return kind;
}

QString CompileCommands::variantName(const QString &databasePath)
{
    const QDir folder = QFileInfo(databasePath).absoluteDir();
    const QString name = folder.dirName();
    if (name != QLatin1String("build"))
        return name;
    const QString parent = QFileInfo(folder.absolutePath()).dir().dirName();
    return parent.isEmpty() ? name : parent + u'/' + name;
}

BuildConfiguration CompileCommands::configurationFor(const QString &sourcePath,
                                                     const QString &databasePath, QString *error)
{
    const Database &database = load(databasePath);
    if (!database.error.isEmpty()) {
        if (error)
            *error = database.error;
        return {};
    }
    Entry kind;
    const Command *found = entryIn(database, canonical(sourcePath), &kind);
    if (!found)
        return {};
    BuildConfiguration configuration
            = BuildConfiguration::fromArguments(found->arguments, found->directory);
    configuration.origin = databasePath;
    if (!found->arguments.isEmpty() && !found->arguments.first().startsWith(u'-')) {
        configuration.compiler = found->arguments.first();
        configuration.compilerOptions
                = BuildConfiguration::predefiningOptions(found->arguments.mid(1));
        configuration.compilerDirectory = found->directory;
    }
    return configuration;
}

} // namespace VelkoMenuView
