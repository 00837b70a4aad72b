// StudioDocument: a C file open in the studio, as the plug-in sees it: its
// path, its text as UTF-8 bytes, and contentsChanged on every edit.
#pragma once

#include "textfileformat.h"

#include "coreplugin/idocument.h"

#include <optional>

class QTextDocument;

namespace VelkoMenuView {

class StudioDocument : public Core::IDocument
{
    Q_OBJECT

public:
    // Saving writes the text back in `format`, line by line.
    StudioDocument(const QString &path, QTextDocument *text, const TextFileFormat &format,
                   QObject *parent = nullptr);

    // Reads path as UTF-8 text ("\n" line ends) and its byte layout; false
    // with "PATH: reason" for a missing, unreadable, binary or non-UTF-8
    // file, as the command-line tool says it.
    static bool readFile(const QString &path, QString *text, QString *error,
                         TextFileFormat *format = nullptr);

    // The edits are dropped as the editor closes: from now on the document
    // stands for the file as saved, `saved`, while the editor still shows
    // the edits until it goes (nothing re-reads the text meanwhile).
    void discardEdits(const QByteArray &saved) { m_discardedFor = saved; }

    QByteArray contents() const override;
    bool setContents(const QByteArray &contents) override;
    bool save(QString *errorString, const Utils::FilePath &filePath, bool autoSave) override;
    bool isModified() const override;
    bool isSaveAsAllowed() const override { return true; }

private:
    // The editor's characters: raw, so that a no-break space stays one, with
    // the paragraph separators between lines as "\n".
    QString text() const;

    QTextDocument *m_text;
    TextFileFormat m_format;
    std::optional<QByteArray> m_discardedFor;
};

} // namespace VelkoMenuView
