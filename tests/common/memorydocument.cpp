// In-memory document.
#include "memorydocument.h"

#include "utils/filepath.h"

namespace VelkoMenuView {

MemoryDocument::MemoryDocument(const QString &path, const QByteArray &contents, QObject *parent)
    : Core::IDocument(parent)
    , m_contents(contents)
{
    setFilePath(Utils::FilePath::fromString(path));
}

QByteArray MemoryDocument::contents() const
{
    return m_contents;
}

bool MemoryDocument::setContents(const QByteArray &contents)
{
    m_contents = contents;
    m_modified = true;
    emit contentsChanged();
    return true;
}

} // namespace VelkoMenuView
