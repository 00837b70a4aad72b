// Files in and out of the studio's editors.
#include "studiodocument.h"

#include "utils/filepath.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextDocument>

StudioDocument::StudioDocument(const QString &path, QTextDocument *text, QObject *parent)
    : Core::IDocument(parent), m_text(text)
{
    setFilePath(Utils::FilePath::fromString(path));
    connect(m_text, &QTextDocument::contentsChanged, this, &Core::IDocument::contentsChanged);
    connect(m_text, &QTextDocument::modificationChanged, this, &Core::IDocument::changed);
}

bool StudioDocument::readFile(const QString &path, QString *text, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = tr("%1 does not exist.").arg(path);
        return false;
    }
    if (info.isDir()) {
        *error = tr("%1 is a folder, not a file.").arg(path);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = tr("%1 cannot be read: %2.").arg(path, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.contains('\0')) {
        *error = tr("%1 is a binary file, not C source text.").arg(path);
        return false;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString decoded = decoder.decode(bytes);
    if (decoder.hasError()) {
        *error = tr("%1 is not UTF-8 text; convert it to UTF-8 to open it here.").arg(path);
        return false;
    }
    *text = decoded;
    return true;
}

QByteArray StudioDocument::contents() const
{
    return m_text->toPlainText().toUtf8();
}

bool StudioDocument::setContents(const QByteArray &contents)
{
    m_text->setPlainText(QString::fromUtf8(contents));
    return true;
}

bool StudioDocument::save(QString *errorString, const Utils::FilePath &filePath, bool)
{
    const QString path = filePath.isEmpty() ? this->filePath().toString() : filePath.toString();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents()) < 0 || !file.commit()) {
        if (errorString)
            *errorString = tr("%1 cannot be saved: %2.").arg(path, file.errorString());
        return false;
    }
    if (path != this->filePath().toString())
        setFilePath(Utils::FilePath::fromString(path));
    m_text->setModified(false);
    return true;
}

bool StudioDocument::isModified() const
{
    return m_text->isModified();
}
