// The file cache behind #include. Reading happens on the GUI thread only, as
// all of the analysis does.
#include "creader/includefiles.h"

#include "creader/buildconfiguration.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace VelkoMenuView {

namespace {

constexpr qint64 MaxFileSize = 64 * 1024 * 1024;
constexpr qsizetype MaxCachedFiles = 1024;

struct Cached
{
    qint64 size = -1;
    QDateTime modified;
    QSharedPointer<const QString> text;
};

QHash<QString, Cached> &cache()
{
    static QHash<QString, Cached> files;
    return files;
}

} // namespace

QString IncludeFiles::find(const QString &name, bool quoted, const QString &includerFolder,
                           const BuildConfiguration &configuration, QString *folder,
                           const QString &after)
{
    if (name.isEmpty())
        return QString();
    if (QDir::isAbsolutePath(name)) {
        if (folder)
            folder->clear();
        return QFileInfo(name).isFile() ? QDir::cleanPath(name) : QString();
    }
    QStringList folders;
    if (quoted && after.isEmpty())
        folders << includerFolder;
    if (quoted)
        folders << configuration.quoteFolders;
    folders << configuration.includeFolders;
    if (!after.isEmpty())
        folders = folders.mid(folders.indexOf(after) + 1);
    for (const QString &candidate : std::as_const(folders)) {
        const QFileInfo info(QDir(candidate), name);
        if (!candidate.isEmpty() && info.isFile()) {
            if (folder)
                *folder = candidate;
            return QDir::cleanPath(info.absoluteFilePath());
        }
    }
    return QString();
}

QSharedPointer<const QString> IncludeFiles::text(const QString &path, const OpenText &open)
{
    QString unsaved;
    if (open && open(path, &unsaved))
        return QSharedPointer<const QString>::create(unsaved);
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaxFileSize)
        return {};
    Cached &entry = cache()[path];
    if (entry.text && entry.size == info.size() && entry.modified == info.lastModified())
        return entry.text;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        cache().remove(path);
        return {};
    }
    // Too many kept: start afresh with the one read now.
    if (cache().size() > MaxCachedFiles)
        cache().clear();
    Cached &fresh = cache()[path];
    fresh.size = info.size();
    fresh.modified = info.lastModified();
    fresh.text = QSharedPointer<const QString>::create(QString::fromUtf8(file.readAll()));
    return fresh.text;
}

} // namespace VelkoMenuView
