// The quick pass is one tight loop over code: comments and literals are
// passed over whole by the pieces the tokens are cut with, identifiers are
// read only to compare them with the keywords, and a directive is read as
// tokens up to its macro's name, then passed over to its line's end.
#include "menuview/analysis/sourcereader.h"

#include <algorithm>

namespace VelkoMenuView {

namespace {

enum Class : quint8 { Plain, LineEnd, Slash, Quote, Backslash, Digit, Dot, Word, Initial };

struct Classes
{
    Class of[128] = {};
    constexpr Classes()
    {
        for (int c = 'a'; c <= 'z'; ++c)
            of[c] = Word;
        for (int c = 'A'; c <= 'Z'; ++c)
            of[c] = Word;
        of[int('_')] = Word;
        of[int('$')] = Word;
        // Every menu keyword starts with one of these.
        of[int('B')] = Initial;
        of[int('E')] = Initial;
        of[int('M')] = Initial;
        for (int c = '0'; c <= '9'; ++c)
            of[c] = Digit;
        of[int('\n')] = LineEnd;
        of[int('\r')] = LineEnd;
        of[int('/')] = Slash;
        of[int('"')] = Quote;
        of[int('\'')] = Quote;
        of[int('\\')] = Backslash;
        of[int('.')] = Dot;
    }
};

constexpr Classes classes;

bool isHorizontalSpace(char16_t u)
{
    return u == ' ' || u == '\t' || u == '\f' || u == '\v';
}

// A raw literal's prefix (R, u8R, uR, UR, LR) written without splices.
bool isRawPrefix(QStringView word)
{
    return word.size() <= 3 && word.endsWith(u'R')
            && (word.size() == 1 || word == u"u8R" || word == u"uR" || word == u"UR"
                || word == u"LR");
}

} // namespace

qsizetype SourceFacts::lineStartBefore(qsizetype pos) const
{
    const auto after = std::upper_bound(lineStarts.cbegin(), lineStarts.cend(), pos);
    return after == lineStarts.cbegin() ? 0 : *(after - 1);
}

SourceReader::SourceReader(QStringView text, qsizetype from, SourceFacts *facts,
                           Recording recording)
    : m_text(text)
    , m_facts(facts)
    , m_record(facts && recording == Recording::On && from <= facts->readTo)
    , m_pos(qBound(qsizetype(0), from, text.size()))
    , m_atLineStart(isLogicalLineStart(text, m_pos))
    , m_lexer(text, m_pos)
{ }

void SourceReader::noteRead(qsizetype pos)
{
    if (m_record && pos > m_facts->readTo)
        m_facts->readTo = pos;
}

KeywordHit SourceReader::nextKeyword(qsizetype limit)
{
    const qsizetype stop = limit < 0 ? m_text.size() : qMin(limit, m_text.size());
    KeywordHit hit;
    m_pos = skim(stop, &hit, false);
    noteRead(m_pos);
    return hit;
}

void SourceReader::finishDirective()
{
    KeywordHit none;
    m_pos = skim(m_text.size(), &none, true);
}

Token SourceReader::nextToken()
{
    if (m_inDirective)
        finishDirective();
    m_lexer.setPosition(m_pos, m_atLineStart);
    for (;;) {
        const Token token = m_lexer.next();
        if (!token.startsDirective()) {
            m_pos = m_lexer.position();
            m_atLineStart = false;
            noteRead(m_pos);
            return token;
        }
        // The directive, then its line passed over as the quick pass does.
        m_pos = directive(token.begin);
        finishDirective();
        m_lexer.setPosition(m_pos, m_atLineStart);
    }
}

// Records the start of a logical line at `pos`, then passes over white space
// and comments: a directive's "#" may follow them. Returns where the quick
// pass goes on.
qsizetype SourceReader::lineStart(qsizetype pos)
{
    if (recording(pos) && m_facts->lineStarts.constLast() < pos)
        m_facts->lineStarts.append(pos);
    const qsizetype size = m_text.size();
    while (pos < size) {
        const char16_t c = m_text[pos].unicode();
        if (isHorizontalSpace(c)) {
            ++pos;
        } else if (c == '\\') {
            const qsizetype splice = spliceLength(m_text, pos);
            if (!splice)
                break;
            pos += splice;
        } else if (c == '/') {
            const qsizetype end = commentEnd(m_text, pos);
            if (end == pos)
                break;
            pos = end;
        } else if (c == 0xFEFF && pos == 0) {
            ++pos;
        } else {
            break;
        }
    }
    if (pos < size && (m_text[pos] == u'#' || m_text[pos] == u'%')) {
        CScanner lexer(m_text);
        lexer.setPosition(pos, true);
        const Token hash = lexer.next();
        if (hash.is(u'#'))
            return directive(hash.begin);
    }
    return pos;
}

// Reads the directive whose "#" is at `hash` as far as it matters and
// returns where the quick pass goes on, in the directive's line.
qsizetype SourceReader::directive(qsizetype hash)
{
    m_inDirective = true;
    CScanner lexer(m_text);
    lexer.setPosition(hash, true);
    lexer.next(); // "#"
    const qsizetype afterHash = lexer.position();
    const Token name = lexer.next();
    if (name.kind != Token::Kind::Identifier || name.atLineStart)
        return afterHash;
    const QString word = lexer.spelling(name);
    const bool define = word == u"define";
    if (!define && word != u"undef")
        return name.end;
    const Token macro = lexer.next();
    if (macro.kind != Token::Kind::Identifier || macro.atLineStart)
        return name.end;
    if (recording(hash)) {
        MacroDefinition definition;
        definition.name = macro.spliced ? m_facts->macros.keep(lexer.spelling(macro))
                                        : lexer.textOf(macro);
        definition.source = m_text;
        definition.at = hash;
        definition.nameAt = macro.begin;
        definition.body = macro.end;
        if (define) {
            // A "(" right after the name, without space, makes it function-like.
            const Token after = lexer.next();
            definition.kind = after.is(u'(') && !after.spaceBefore && !after.atLineStart
                    ? MacroDefinition::Kind::Function
                    : MacroDefinition::Kind::Object;
        }
        m_facts->macros.record(definition);
    }
    return macro.end;
}

qsizetype SourceReader::skim(qsizetype stop, KeywordHit *hit, bool untilDirectiveEnd)
{
    const QChar *t = m_text.data();
    const qsizetype size = m_text.size();
    qsizetype p = m_pos;
    if (m_atLineStart) {
        m_atLineStart = false;
        p = lineStart(p);
    }
    while (p < stop) {
        const char16_t c = t[p].unicode();
        if (c >= 0x80) {
            // Letters of other scripts start identifiers, which hold no keyword.
            const qsizetype end = identifierEnd(m_text, p);
            p = end > p ? end : p + 1;
            continue;
        }
        switch (classes.of[c]) {
        case Plain:
            ++p;
            break;
        case LineEnd:
            p += lineEndLength(m_text, p);
            if (m_inDirective) {
                m_inDirective = false;
                if (untilDirectiveEnd) {
                    m_atLineStart = true;
                    return p;
                }
            }
            if (p >= stop) {
                // Where a later call goes on: a logical line starts there.
                m_atLineStart = true;
                return p;
            }
            p = lineStart(p);
            break;
        case Slash: {
            const qsizetype end = commentEnd(m_text, p);
            p = end == p ? p + 1 : end;
            break;
        }
        case Quote:
            p = literalEnd(m_text, p);
            break;
        case Backslash: {
            const qsizetype splice = spliceLength(m_text, p);
            p += splice ? splice : 1;
            break;
        }
        case Digit:
            p = numberEnd(m_text, p);
            break;
        case Dot:
            p = startsNumber(m_text, p) ? numberEnd(m_text, p) : p + 1;
            break;
        case Word:
        case Initial: {
            const qsizetype begin = p;
            p = identifierEnd(m_text, p);
            const QStringView word = m_text.sliced(begin, p - begin);
            if (isRawPrefix(word)) {
                const qsizetype quote = skipSplices(m_text, p);
                const qsizetype end
                        = quote < size && t[quote] == u'"' ? rawLiteralEnd(m_text, quote) : -1;
                if (end >= 0) {
                    p = end;
                    break;
                }
            }
            if (classes.of[c] != Initial || m_inDirective)
                break;
            MenuKeyword keyword = menuKeyword(word);
            if (keyword == MenuKeyword::None && word.contains(u'\\')) {
                Token token;
                token.begin = begin;
                token.end = p;
                token.spliced = true;
                keyword = menuKeyword(m_lexer.spelling(token));
            }
            if (keyword != MenuKeyword::None) {
                *hit = {keyword, begin, p};
                return p;
            }
            break;
        }
        }
    }
    return p;
}

} // namespace VelkoMenuView
