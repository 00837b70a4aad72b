// Walking folders for C files.
#include "menuview/files/sourcepaths.h"

#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

namespace VelkoMenuView {

QStringList sourcePaths(const QStringList &paths)
{
    QStringList files;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (!info.isDir()) {
            files << path;
            continue;
        }
        const QString prefix = path.endsWith(u'/') ? path : path + u'/';
        QStringList found;
        // Hidden folders (.git, .cache) are never entered: QDir::Hidden is not asked for.
        QDirIterator walk(path, {QStringLiteral("*.c"), QStringLiteral("*.h")}, QDir::Files,
                          QDirIterator::Subdirectories);
        const QDir root(info.absoluteFilePath());
        while (walk.hasNext()) {
            walk.next();
            found << prefix + root.relativeFilePath(walk.fileInfo().absoluteFilePath());
        }
        std::sort(found.begin(), found.end());
        files << found;
    }
    return files;
}

} // namespace VelkoMenuView
