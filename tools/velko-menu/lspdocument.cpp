// Text edits by protocol positions. Lines end at LF, CR LF or a lone CR, as
// the protocol and `check` count them, so that positions agree with the
// command line.
#include "lspdocument.h"

#include <QUrl>

#include <limits>

namespace VelkoMenuView {

LspDocument::LspDocument(const QString &uri, const QString &text, int version)
    : m_uri(uri)
    , m_path(QUrl(uri).toLocalFile())
    , m_version(version)
{
    setText(text);
}

qsizetype LspDocument::offsetAt(LspPosition position) const
{
    // A line no int counts is past the last one as well.
    const int line = position.line < std::numeric_limits<int>::max()
            ? int(qMax<qint64>(position.line, 0)) + 1
            : -1;
    const qsizetype start = m_lines.lineStart(line);
    if (start < 0)
        return m_text.size();
    // A clamped position stays before the line end, the CR of a CR LF too.
    qsizetype offset = start + qBound<qint64>(0, position.character, m_lines.lineLength(line));
    // Between the halves of a surrogate pair: the character starts one back.
    if (offset > start && m_text.at(offset - 1).isHighSurrogate() && offset < m_text.size()
        && m_text.at(offset).isLowSurrogate())
        --offset;
    return offset;
}

LspPosition LspDocument::positionAt(qsizetype offset) const
{
    const TextPosition position = m_lines.position(offset);
    return {position.line - 1, position.column - 1};
}

void LspDocument::setText(const QString &text)
{
    m_text = text;
    m_lines = LineMap(m_text);
    ++m_edits;
}

bool LspDocument::replace(LspPosition start, LspPosition end, const QString &text, QString *error)
{
    const qsizetype from = offsetAt(start);
    const qsizetype to = offsetAt(end);
    if (to < from) {
        *error = QStringLiteral("the range ends (%1:%2) before it starts (%3:%4)")
                         .arg(end.line)
                         .arg(end.character)
                         .arg(start.line)
                         .arg(start.character);
        return false;
    }
    m_text.replace(from, to - from, text);
    m_lines.update(m_text, from, to - from, text.size());
    ++m_edits;
    return true;
}

} // namespace VelkoMenuView
