// Files in and out of the studio's editors.
#include "studiodocument.h"

#include "menuview/files/sourcefile.h"
#include "utils/filepath.h"

#include <QSaveFile>
#include <QTextDocument>

namespace VelkoMenuView {

StudioDocument::StudioDocument(const QString &path, QTextDocument *text,
                               const TextFileFormat &format, QObject *parent)
    : Core::IDocument(parent)
    , m_text(text)
    , m_format(format)
{
    setFilePath(Utils::FilePath::fromString(path));
    connect(m_text, &QTextDocument::contentsChanged, this, &Core::IDocument::contentsChanged);
    connect(m_text, &QTextDocument::modificationChanged, this, &Core::IDocument::changed);
}

bool StudioDocument::readFile(const QString &path, QString *text, QString *error,
                              TextFileFormat *format)
{
    VelkoMenuView::SourceFile file;
    QString reason;
    if (!file.load(path, &reason)) {
        *error = QStringLiteral("%1: %2").arg(path, reason);
        return false;
    }
    const TextFileFormat layout = TextFileFormat::detect(file.bytes());
    *text = layout.decode(file.bytes());
    if (format)
        *format = layout;
    return true;
}

QString StudioDocument::text() const
{
    return m_text->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

QByteArray StudioDocument::contents() const
{
    return m_discardedFor ? *m_discardedFor : text().toUtf8();
}

bool StudioDocument::setContents(const QByteArray &contents)
{
    m_text->setPlainText(m_format.decode(contents));
    return true;
}

bool StudioDocument::save(QString *errorString, const Utils::FilePath &filePath, bool)
{
    const QString path = filePath.isEmpty() ? this->filePath().toString() : filePath.toString();
    QSaveFile file(path);
    const QByteArray bytes = m_format.encode(text());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0 || !file.commit()) {
        if (errorString)
            *errorString = tr("%1 cannot be saved: %2.").arg(path, file.errorString());
        return false;
    }
    if (path != this->filePath().toString())
        setFilePath(Utils::FilePath::fromString(path));
    m_text->setModified(false);
    m_format = TextFileFormat::detect(bytes); // the next save changes only what is edited after
    return true;
}

bool StudioDocument::isModified() const
{
    return m_text->isModified();
}

} // namespace VelkoMenuView
