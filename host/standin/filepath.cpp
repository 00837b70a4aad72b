// Paths as plain strings.
#include "utils/filepath.h"

namespace Utils {

FilePath FilePath::fromString(const QString &path)
{
    FilePath p;
    p.m_path = path;
    return p;
}

bool FilePath::isEmpty() const
{
    return m_path.isEmpty();
}

QString FilePath::toString() const
{
    return m_path;
}

} // namespace Utils
