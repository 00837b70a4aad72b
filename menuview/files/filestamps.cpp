// One stat per file and check.
#include "menuview/files/filestamps.h"

#include <QFileInfo>

namespace VelkoMenuView {

FileStamps::Stamp FileStamps::stampOf(const QString &path)
{
    const QFileInfo info(path); // a new one each time: QFileInfo keeps what it read
    if (!info.exists())
        return {};
    return {true, info.size(), info.lastModified()};
}

void FileStamps::note(const QString &path)
{
    if (!path.isEmpty() && !m_stamps.contains(path))
        m_stamps.insert(path, stampOf(path));
}

bool FileStamps::changed() const
{
    for (auto it = m_stamps.cbegin(); it != m_stamps.cend(); ++it) {
        if (!(stampOf(it.key()) == it.value()))
            return true;
    }
    return false;
}

} // namespace VelkoMenuView
