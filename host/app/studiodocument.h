// StudioDocument: a C file open in the studio, as the plug-in sees it: its
// path, its text as UTF-8 bytes, and contentsChanged on every edit.
#pragma once

#include "coreplugin/idocument.h"

class QTextDocument;

class StudioDocument : public Core::IDocument
{
    Q_OBJECT

public:
    StudioDocument(const QString &path, QTextDocument *text, QObject *parent = nullptr);

    // Reads path as UTF-8 text; false with "PATH: reason" for a missing,
    // unreadable, binary or non-UTF-8 file, as the command-line tool says it.
    static bool readFile(const QString &path, QString *text, QString *error);

    QByteArray contents() const override;
    bool setContents(const QByteArray &contents) override;
    bool save(QString *errorString, const Utils::FilePath &filePath, bool autoSave) override;
    bool isModified() const override;
    bool isSaveAsAllowed() const override { return true; }

private:
    QTextDocument *m_text;
};
