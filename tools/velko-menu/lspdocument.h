// A document open in the language server: its text as the client has it,
// edited by ranges in the protocol's positions (lines and characters from 0,
// characters in UTF-16 code units, which is what QString counts).
#pragma once

#include "lspparams.h"

#include "creader/linemap.h"

#include <QString>

namespace VelkoMenuView {

class LspDocument final
{
public:
    LspDocument() = default;
    LspDocument(const QString &uri, const QString &text, int version);

    QString uri() const { return m_uri; }
    // The local file the URI names, as the parameter store keys it; empty
    // for other schemes (an unsaved buffer has no stored values).
    QString path() const { return m_path; }
    const QString &text() const { return m_text; }
    const LineMap &lines() const { return m_lines; }
    int version() const { return m_version; }
    // How often the text changed since it was opened.
    quint64 edits() const { return m_edits; }
    void setVersion(int version) { m_version = version; }

    // As the protocol has it, a character past the end of its line means the
    // line's end (before its line break) and a line past the last one the
    // end of the text. A position inside a surrogate pair means the pair's
    // start, so that no edit splits a character.
    qsizetype offsetAt(LspPosition position) const;
    LspPosition positionAt(qsizetype offset) const;

    void setText(const QString &text);
    // Replaces the range; false, with the text unchanged, when it ends before
    // it starts.
    bool replace(LspPosition start, LspPosition end, const QString &text, QString *error);

private:
    QString m_uri;
    QString m_path;
    QString m_text;
    LineMap m_lines;
    int m_version = 0;
    quint64 m_edits = 0;
};

} // namespace VelkoMenuView
