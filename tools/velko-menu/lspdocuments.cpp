// Edits are all or nothing: a change that cannot be applied leaves the text
// as it was, so that the draft never holds half of what the client typed.
#include "lspdocuments.h"

using namespace Qt::StringLiterals;

void LspDocuments::open(const DidOpenParams &params)
{
    m_documents.insert(params.uri, LspDocument(params.uri, params.text, params.version));
}

QString LspDocuments::change(const DidChangeParams &params)
{
    QString error;
    LspDocument *open = find(params.uri, &error);
    if (!open)
        return error;
    if (!params.changes)
        return u"no contentChanges array"_s;
    LspDocument edited = *open;
    for (qsizetype i = 0; i < params.changes->size(); ++i) {
        const LspContentChange &change = params.changes->at(i);
        error = change.fault;
        if (change.whole && error.isEmpty())
            edited.setText(change.text);
        else if (error.isEmpty())
            edited.replace(change.start, change.end, change.text, &error);
        if (!error.isEmpty())
            return u"change %1 of %2 cannot be applied, %3 keeps its text: %4"_s.arg(i + 1)
                    .arg(params.changes->size())
                    .arg(params.uri, error);
    }
    edited.setVersion(params.version.value_or(open->version()));
    *open = edited;
    return QString();
}

const LspDocument *LspDocuments::find(const QString &uri) const
{
    const auto it = m_documents.constFind(uri);
    return it == m_documents.cend() ? nullptr : &*it;
}

LspDocument *LspDocuments::find(const QString &uri, QString *error)
{
    const auto it = m_documents.find(uri);
    if (it != m_documents.end())
        return &*it;
    *error = u"%1 is not open"_s.arg(uri);
    return nullptr;
}

bool LspDocuments::textAt(const QString &path, QString *text) const
{
    for (const LspDocument &document : m_documents) {
        if (document.path() == path) {
            *text = document.text();
            return true;
        }
    }
    return false;
}
