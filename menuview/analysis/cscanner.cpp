// Token by token over C source, each character looked at a bounded number of
// times, so a scan costs one pass over what it covers.
#include "menuview/analysis/cscanner.h"

namespace VelkoMenuView {

bool isWholeWordAt(QStringView text, qsizetype at, QStringView word)
{
    if (at < 0 || at + word.size() > text.size() || text.sliced(at, word.size()) != word)
        return false;
    const qsizetype after = at + word.size();
    return (at == 0 || !isIdentifierPart(text[at - 1]))
            && (after == text.size() || !isIdentifierPart(text[after]));
}

namespace {

bool isSpace(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return u == ' ' || (u >= '\t' && u <= '\r');
    return c.isSpace();
}

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

qsizetype commentEnd(QStringView text, qsizetype pos)
{
    const qsizetype size = text.size();
    if (pos + 1 >= size || text[pos] != u'/')
        return pos;
    if (text[pos + 1] == u'*') {
        const qsizetype close = text.indexOf(u"*/", pos + 2);
        return close < 0 ? size : close + 2;
    }
    if (text[pos + 1] != u'/')
        return pos;
    // To the first line feed that no backslash splices away.
    for (pos += 2;;) {
        const qsizetype lineFeed = text.indexOf(u'\n', pos);
        if (lineFeed < 0)
            return size;
        const qsizetype last
                = lineFeed >= 1 && text[lineFeed - 1] == u'\r' ? lineFeed - 2 : lineFeed - 1;
        if (last < 0 || text[last] != u'\\')
            return lineFeed;
        pos = lineFeed + 1;
    }
}

qsizetype literalEnd(QStringView text, qsizetype open, bool *unterminated)
{
    const QChar quote = text[open];
    const qsizetype size = text.size();
    qsizetype pos = open + 1;
    while (pos < size) {
        const QChar c = text[pos];
        if (c == quote)
            return pos + 1;
        if (c == u'\n')
            break;
        if (c == u'\\' && pos + 1 < size) {
            const qsizetype splice = spliceAt(text, pos);
            pos += splice ? splice : 2;
            continue;
        }
        ++pos;
    }
    if (unterminated)
        *unterminated = true;
    // Before the line feed, and before a carriage return that precedes it.
    if (pos < size && pos > open + 1 && text[pos - 1] == u'\r')
        --pos;
    return pos;
}

bool startsNumber(QStringView text, qsizetype pos)
{
    const QChar c = text[pos];
    return c.isDigit() || (c == u'.' && pos + 1 < text.size() && text[pos + 1].isDigit());
}

qsizetype numberEnd(QStringView text, qsizetype pos)
{
    const qsizetype size = text.size();
    for (++pos; pos < size; ++pos) {
        const QChar d = text[pos];
        const char16_t before = text[pos - 1].unicode();
        const bool exponentSign = (d == u'+' || d == u'-')
                && (before == 'e' || before == 'E' || before == 'p' || before == 'P');
        if (!isIdentifierPart(d) && d != u'.' && !exponentSign)
            break;
    }
    return pos;
}

qsizetype identifierEnd(QStringView text, qsizetype pos)
{
    const qsizetype size = text.size();
    for (++pos; pos < size && isIdentifierPart(text[pos]);)
        ++pos;
    return pos;
}

void CScanner::skipSpaceAndComments()
{
    const qsizetype size = m_text.size();
    while (m_pos < size) {
        if (isSpace(m_text[m_pos])) {
            ++m_pos;
        } else if (const qsizetype splice = spliceAt(m_text, m_pos)) {
            m_pos += splice;
        } else {
            const qsizetype end = commentEnd(m_text, m_pos);
            if (end == m_pos)
                return;
            m_pos = end;
        }
    }
}

Token CScanner::next()
{
    skipSpaceAndComments();
    Token token;
    token.begin = m_pos;
    if (m_pos >= m_text.size()) {
        token.end = m_pos;
        return token;
    }
    const QChar c = m_text[m_pos];
    token.m_first = c;
    if (c == u'"' || c == u'\'') {
        token.kind = c == u'"' ? Token::Kind::String : Token::Kind::Character;
        m_pos = literalEnd(m_text, m_pos, &token.unterminated);
    } else if (startsNumber(m_text, m_pos)) {
        token.kind = Token::Kind::Number;
        m_pos = numberEnd(m_text, m_pos);
    } else if (isIdentifierStart(c)) {
        token.kind = Token::Kind::Identifier;
        m_pos = identifierEnd(m_text, m_pos);
    } else {
        token.kind = Token::Kind::Punctuation;
        ++m_pos;
    }
    token.end = m_pos;
    return token;
}

} // namespace VelkoMenuView
