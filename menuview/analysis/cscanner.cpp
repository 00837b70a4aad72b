// Token by token over C source, each character looked at a bounded number of
// times, so a scan costs one pass over what it covers.
#include "menuview/analysis/cscanner.h"

namespace VelkoMenuView {

bool isIdentifierStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isIdentifierPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool isWholeWordAt(QStringView text, qsizetype at, QStringView word)
{
    if (at < 0 || at + word.size() > text.size() || text.sliced(at, word.size()) != word)
        return false;
    const qsizetype after = at + word.size();
    return (at == 0 || !isIdentifierPart(text[at - 1]))
            && (after == text.size() || !isIdentifierPart(text[after]));
}

namespace {

// Length of a line splice (backslash, line feed or CR LF) at `pos`, or 0.
qsizetype spliceAt(QStringView text, qsizetype pos)
{
    if (pos + 1 >= text.size() || text[pos] != u'\\')
        return 0;
    if (text[pos + 1] == u'\n')
        return 2;
    if (text[pos + 1] == u'\r' && pos + 2 < text.size() && text[pos + 2] == u'\n')
        return 3;
    return 0;
}

} // namespace

void CScanner::skipSpaceAndComments()
{
    const qsizetype size = m_text.size();
    while (m_pos < size) {
        const QChar c = m_text[m_pos];
        if (c.isSpace()) {
            ++m_pos;
        } else if (const qsizetype splice = spliceAt(m_text, m_pos)) {
            m_pos += splice;
        } else if (c == u'/' && m_pos + 1 < size && m_text[m_pos + 1] == u'/') {
            m_pos += 2;
            while (m_pos < size && m_text[m_pos] != u'\n') {
                const qsizetype splice = spliceAt(m_text, m_pos);
                m_pos += splice ? splice : 1;
            }
        } else if (c == u'/' && m_pos + 1 < size && m_text[m_pos + 1] == u'*') {
            const qsizetype close = m_text.indexOf(u"*/", m_pos + 2);
            m_pos = close < 0 ? size : close + 2;
        } else {
            return;
        }
    }
}

qsizetype CScanner::literalEnd(qsizetype open, bool *unterminated) const
{
    const QChar quote = m_text[open];
    const qsizetype size = m_text.size();
    qsizetype pos = open + 1;
    while (pos < size) {
        const QChar c = m_text[pos];
        if (c == quote)
            return pos + 1;
        if (c == u'\n')
            break;
        if (c == u'\\' && pos + 1 < size) {
            const qsizetype splice = spliceAt(m_text, pos);
            pos += splice ? splice : 2;
            continue;
        }
        ++pos;
    }
    *unterminated = true;
    // Before the line feed, and before a carriage return that precedes it.
    if (pos < size && pos > open + 1 && m_text[pos - 1] == u'\r')
        --pos;
    return pos;
}

Token CScanner::next()
{
    skipSpaceAndComments();
    Token token;
    token.begin = m_pos;
    const qsizetype size = m_text.size();
    if (m_pos >= size) {
        token.end = m_pos;
        return token;
    }
    const QChar c = m_text[m_pos];
    token.m_first = c;
    const bool digitStart
            = c.isDigit() || (c == u'.' && m_pos + 1 < size && m_text[m_pos + 1].isDigit());
    if (c == u'"' || c == u'\'') {
        token.kind = c == u'"' ? Token::Kind::String : Token::Kind::Character;
        m_pos = literalEnd(m_pos, &token.unterminated);
    } else if (digitStart) {
        token.kind = Token::Kind::Number;
        ++m_pos;
        while (m_pos < size) {
            const QChar d = m_text[m_pos];
            const QChar before = m_text[m_pos - 1].toLower();
            const bool exponentSign
                    = (d == u'+' || d == u'-') && (before == u'e' || before == u'p');
            if (!isIdentifierPart(d) && d != u'.' && !exponentSign)
                break;
            ++m_pos;
        }
    } else if (isIdentifierStart(c)) {
        token.kind = Token::Kind::Identifier;
        ++m_pos;
        while (m_pos < size && isIdentifierPart(m_text[m_pos]))
            ++m_pos;
    } else {
        token.kind = Token::Kind::Punctuation;
        ++m_pos;
    }
    token.end = m_pos;
    return token;
}

} // namespace VelkoMenuView
