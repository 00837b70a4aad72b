// The documents open in the language server, by URI: the drafts the client
// edits, which are checked and shown instead of the files on disk.
#pragma once

#include "lspdocument.h"
#include "lspparams.h"

#include <QHash>

namespace VelkoMenuView {

class LspDocuments final
{
public:
    void open(const DidOpenParams &params);
    // Applies all of the changes or, with the reason, none.
    QString change(const DidChangeParams &params);
    void close(const QString &uri)
    {
        m_documents.remove(uri);
        ++m_openings;
    }

    const LspDocument *find(const QString &uri) const;
    // The open document, or null with the reason.
    LspDocument *find(const QString &uri, QString *error);
    // The draft of the document at a local path, for the #include of another.
    bool textAt(const QString &path, QString *text) const;
    // Changes when a document other than `uri` opens, closes or changes:
    // what an #include of `uri` reads may have changed.
    quint64 othersRevision(const QString &uri) const;

private:
    QHash<QString, LspDocument> m_documents;
    quint64 m_openings = 0;
};

} // namespace VelkoMenuView
