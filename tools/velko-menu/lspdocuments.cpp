// Edits are all or nothing: a change that cannot be applied leaves the text
// as it was, so that the draft never holds half of what the client typed.
#include "lspdocuments.h"

using namespace Qt::StringLiterals;

namespace VelkoMenuView {

void LspDocuments::open(const DidOpenParams &params)
{
    m_documents.insert(params.uri, LspDocument(params.uri, params.text, params.version));
    ++m_openings;
}

QString LspDocuments::change(const DidChangeParams &params)
{
    QString error;
    LspDocument *open = find(params.uri, &error);
    if (!open)
        return error;
    if (!params.changes)
        return u"no contentChanges array"_s;
    // One change is applied in place, or refused before it changes
    // anything; several are applied to a copy, which replaces the draft only
    // when all of them could be applied.
    LspDocument copy;
    LspDocument &edited = params.changes->size() == 1 ? *open : (copy = *open);
    const int version = open->version();
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
    edited.setVersion(params.version.value_or(version));
    if (&edited != open)
        *open = std::move(edited);
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

quint64 LspDocuments::othersRevision(const QString &uri) const
{
    quint64 revision = m_openings;
    for (auto it = m_documents.cbegin(); it != m_documents.cend(); ++it) {
        if (it.key() != uri)
            revision += it->edits();
    }
    return revision;
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

} // namespace VelkoMenuView
