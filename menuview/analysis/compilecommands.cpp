// Databases are read once and kept while their size and modification time
// stay the same: a keystroke asks again, and must not parse JSON again.
#include "menuview/analysis/compilecommands.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace VelkoMenuView {

namespace {

constexpr qint64 MaxDatabaseSize = 256 * 1024 * 1024;

struct Entry
{
    QString file; // absolute, links resolved
    QString directory;
    QStringList arguments;
};

struct Database
{
    qint64 size = -1;
    QDateTime modified;
    QList<Entry> entries;
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
        Entry entry;
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

} // namespace

QString CompileCommands::discover(const QString &sourcePath)
{
    if (sourcePath.isEmpty())
        return QString();
    QDir folder = QFileInfo(sourcePath).absoluteDir();
    for (;;) {
        for (const QString &candidate : {QStringLiteral("compile_commands.json"),
                                         QStringLiteral("build/compile_commands.json")}) {
            const QString path = folder.filePath(candidate);
            if (QFileInfo(path).isFile())
                return path;
        }
        if (!folder.cdUp())
            return QString();
    }
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
    const QString source = canonical(sourcePath);
    const QString folder = QFileInfo(source).absolutePath();
    const Entry *found = nullptr;
    for (const Entry &entry : database.entries) {
        if (entry.file == source) {
            found = &entry;
            break;
        }
        if (!found && QFileInfo(entry.file).absolutePath() == folder)
            found = &entry;
    }
    if (!found)
        return {};
    BuildConfiguration configuration
            = BuildConfiguration::fromArguments(found->arguments, found->directory);
    configuration.origin = databasePath;
    if (!found->arguments.isEmpty() && !found->arguments.first().startsWith(u'-')) {
        configuration.compiler = found->arguments.first();
        configuration.compilerOptions = BuildConfiguration::macroOptions(found->arguments.mid(1));
        configuration.compilerDirectory = found->directory;
    }
    return configuration;
}

BuildConfiguration CompileCommands::discoverFor(const QString &sourcePath)
{
    const QString database = discover(sourcePath);
    return database.isEmpty() ? BuildConfiguration() : configurationFor(sourcePath, database);
}

} // namespace VelkoMenuView
