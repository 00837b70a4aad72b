// Document base: a path and do-nothing defaults; concrete documents override.
#include "coreplugin/idocument.h"

#include "utils/filepath.h"

namespace Core {
namespace Internal {
class IDocumentPrivate
{
public:
    Utils::FilePath filePath;
};
} // namespace Internal

IDocument::IDocument(QObject *parent) : QObject(parent), d(new Internal::IDocumentPrivate) {}

IDocument::~IDocument()
{
    delete d;
}

IDocument::OpenResult IDocument::open(QString *errorString, const Utils::FilePath &, const Utils::FilePath &)
{
    if (errorString)
        *errorString = tr("This document cannot be opened.");
    return OpenResult::CannotHandle;
}

bool IDocument::save(QString *errorString, const Utils::FilePath &, bool)
{
    if (errorString)
        *errorString = tr("This document cannot be saved.");
    return false;
}

QByteArray IDocument::contents() const
{
    return QByteArray();
}

bool IDocument::setContents(const QByteArray &)
{
    return false;
}

void IDocument::setFilePath(const Utils::FilePath &filePath)
{
    if (filePath.toString() == d->filePath.toString())
        return;
    const Utils::FilePath old = d->filePath;
    d->filePath = filePath;
    emit filePathChanged(old, filePath);
    emit changed();
}

Utils::FilePath IDocument::fallbackSaveAsPath() const
{
    return Utils::FilePath();
}

QString IDocument::fallbackSaveAsFileName() const
{
    return QString();
}

bool IDocument::shouldAutoSave() const
{
    return false;
}

bool IDocument::isModified() const
{
    return false;
}

bool IDocument::isSaveAsAllowed() const
{
    return false;
}

IDocument::ReloadBehavior IDocument::reloadBehavior(ChangeTrigger, ChangeType) const
{
    return BehaviorAsk;
}

bool IDocument::reload(QString *, ReloadFlag, ChangeType)
{
    return true;
}

const Utils::FilePath &IDocument::filePath() const
{
    return d->filePath;
}

} // namespace Core
