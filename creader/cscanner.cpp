// Token by token over C source, each character looked at a bounded number of
// times, so that reading costs one pass over what it covers.
#include "creader/cscanner.h"

#include "creader/readcount.h"

#include <QStringList>

#include <algorithm>
#include <iterator>

namespace VelkoMenuView {

namespace {

struct Range
{
    char32_t first;
    char32_t last;
};

// The characters C11 allows in identifiers beyond the basic ones, and those
// of them that may not start one.
constexpr Range allowed[] = {
        {0xA8, 0xA8},     {0xAA, 0xAA},       {0xAD, 0xAD},     {0xAF, 0xAF},     {0xB2, 0xB5},
        {0xB7, 0xBA},     {0xBC, 0xBE},       {0xC0, 0xD6},     {0xD8, 0xF6},     {0xF8, 0xFF},
        {0x100, 0x167F},  {0x1681, 0x180D},   {0x180F, 0x1FFF}, {0x200B, 0x200D}, {0x202A, 0x202E},
        {0x203F, 0x2040}, {0x2054, 0x2054},   {0x2060, 0x206F}, {0x2070, 0x218F}, {0x2460, 0x24FF},
        {0x2776, 0x2793}, {0x2C00, 0x2DFF},   {0x2E80, 0x2FFF}, {0x3004, 0x3007}, {0x3021, 0x302F},
        {0x3031, 0x303F}, {0x3040, 0xD7FF},   {0xF900, 0xFD3D}, {0xFD40, 0xFDCF}, {0xFDF0, 0xFE44},
        {0xFE47, 0xFFFD}, {0x10000, 0xEFFFD},
};
constexpr Range notInitially[]
        = {{0x300, 0x36F}, {0x1DC0, 0x1DFF}, {0x20D0, 0x20FF}, {0xFE20, 0xFE2F}};

template<std::size_t N> bool inRanges(const Range (&ranges)[N], char32_t c)
{
    const auto it = std::upper_bound(std::begin(ranges), std::end(ranges), c,
                                     [](char32_t v, const Range &r) { return v < r.first; });
    if (it == std::begin(ranges))
        return false;
    const Range &r = *std::prev(it);
    // Above U+FFFF only the last 65534 code points of each plane count.
    return c <= r.last && (c < 0x10000 || (c & 0xFFFF) <= 0xFFFD);
}

struct AsciiIdentifierParts
{
    bool is[128] = {};
    constexpr AsciiIdentifierParts()
    {
        for (int c = 'a'; c <= 'z'; ++c)
            is[c] = true;
        for (int c = 'A'; c <= 'Z'; ++c)
            is[c] = true;
        for (int c = '0'; c <= '9'; ++c)
            is[c] = true;
        is[int('_')] = true;
        is[int('$')] = true;
    }
};

constexpr AsciiIdentifierParts asciiParts;

inline bool isAsciiIdentifierPart(char16_t u)
{
    return u < 128 && asciiParts.is[u];
}

// The code point at `pos` and the units it takes (a surrogate pair takes two).
char32_t codePointAt(QStringView text, qsizetype pos, qsizetype *units)
{
    const QChar c = text[pos];
    if (c.isHighSurrogate() && pos + 1 < text.size() && text[pos + 1].isLowSurrogate()) {
        *units = 2;
        return QChar::surrogateToUcs4(c, text[pos + 1]);
    }
    *units = 1;
    return c.unicode();
}

// Units of the identifier character at `pos`, 0 when there is none.
qsizetype identifierPartAt(QStringView text, qsizetype pos)
{
    const char16_t u = text[pos].unicode();
    if (u < 0x80)
        return isAsciiIdentifierPart(u) ? 1 : 0;
    qsizetype units = 1;
    const char32_t c = codePointAt(text, pos, &units);
    return isIdentifierPart(c) ? units : 0;
}

// The characters a punctuator of several may continue with, longest first.
constexpr quint32 multi[] = {
        punctuator("..."), punctuator("<<="), punctuator(">>="), punctuator("->"), punctuator("++"),
        punctuator("--"),  punctuator("<<"),  punctuator(">>"),  punctuator("<="), punctuator(">="),
        punctuator("=="),  punctuator("!="),  punctuator("&&"),  punctuator("||"), punctuator("*="),
        punctuator("/="),  punctuator("%="),  punctuator("+="),  punctuator("-="), punctuator("&="),
        punctuator("^="),  punctuator("|="),  punctuator("##"),  punctuator("<:"), punctuator(":>"),
        punctuator("<%"),  punctuator("%>"),  punctuator("%:"),
};

// Digraphs read as what they stand for.
quint32 canonical(quint32 packed)
{
    switch (packed) {
    case punctuator("<:"):
        return '[';
    case punctuator(":>"):
        return ']';
    case punctuator("<%"):
        return '{';
    case punctuator("%>"):
        return '}';
    case punctuator("%:"):
        return '#';
    default:
        return packed;
    }
}

// Whether a preprocessing number starts at `pos`: a digit, or "." and one.
bool startsNumber(QStringView text, qsizetype pos)
{
    const char16_t c = text[pos].unicode();
    if (c >= '0' && c <= '9')
        return true;
    if (c != '.')
        return false;
    const qsizetype next = skipSplices(text, pos + 1);
    return next < text.size() && text[next] >= u'0' && text[next] <= u'9';
}

} // namespace

bool isIdentifierStart(char32_t c)
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$';
    return inRanges(allowed, c) && !inRanges(notInitially, c);
}

bool isIdentifierPart(char32_t c)
{
    if (c < 0x80)
        return isAsciiIdentifierPart(char16_t(c));
    return inRanges(allowed, c);
}

qsizetype lineEndLength(QStringView text, qsizetype pos)
{
    if (pos >= text.size())
        return 0;
    const char16_t c = text[pos].unicode();
    if (c == '\n')
        return 1;
    if (c == '\r')
        return pos + 1 < text.size() && text[pos + 1] == u'\n' ? 2 : 1;
    return 0;
}

qsizetype spliceLength(QStringView text, qsizetype pos)
{
    if (pos >= text.size() || text[pos] != u'\\')
        return 0;
    // gcc takes white space between the backslash and the line end as a splice too.
    qsizetype p = pos + 1;
    while (p < text.size() && isHorizontalSpace(text[p].unicode()))
        ++p;
    const qsizetype end = lineEndLength(text, p);
    return end ? p + end - pos : 0;
}

qsizetype skipSplices(QStringView text, qsizetype pos)
{
    while (const qsizetype splice = spliceLength(text, pos))
        pos += splice;
    return pos;
}

qsizetype spaceEnd(QStringView text, qsizetype pos, bool *lineEnd, bool *space)
{
    const qsizetype size = text.size();
    while (pos < size) {
        const char16_t c = text[pos].unicode();
        qsizetype end = pos;
        if (isHorizontalSpace(c)) {
            end = pos + 1;
        } else if ((c == '\n' || c == '\r') && lineEnd) {
            end = pos + lineEndLength(text, pos);
            *lineEnd = true;
        } else if (c == '\\') {
            pos += spliceLength(text, pos);
            if (end == pos)
                break;
            continue; // a splice is no space
        } else if (c == '/') {
            end = commentEnd(text, pos);
        } else if (c == 0xFEFF && pos == 0) {
            pos = 1; // a byte-order mark
            continue;
        }
        if (end == pos)
            break;
        pos = end;
        if (space)
            *space = true;
    }
    return pos;
}

qsizetype commentEnd(QStringView text, qsizetype pos)
{
    const qsizetype size = text.size();
    if (pos >= size || text[pos] != u'/')
        return pos;
    const qsizetype second = skipSplices(text, pos + 1);
    if (second >= size)
        return pos;
    if (text[second] == u'*') {
        for (qsizetype star = text.indexOf(QChar(u'*'), second + 1); star >= 0;
             star = text.indexOf(QChar(u'*'), star + 1)) {
            const qsizetype after = skipSplices(text, star + 1);
            if (after < size && text[after] == u'/')
                return after + 1;
        }
        return size;
    }
    if (text[second] != u'/')
        return pos;
    // To the first line end that no splice joins to the next line.
    for (qsizetype p = second + 1; p < size; ++p) {
        const char16_t c = text[p].unicode();
        if (c == '\\') {
            const qsizetype splice = spliceLength(text, p);
            if (splice)
                p += splice - 1;
        } else if (c == '\n' || c == '\r') {
            return p;
        }
    }
    return size;
}

qsizetype literalEnd(QStringView text, qsizetype quote, bool *unterminated)
{
    const QChar close = text[quote];
    const qsizetype size = text.size();
    qsizetype pos = quote + 1;
    while (pos < size) {
        const QChar c = text[pos];
        if (c == close)
            return pos + 1;
        if (c == u'\n' || c == u'\r')
            break;
        if (c == u'\\') {
            const qsizetype splice = spliceLength(text, pos);
            if (splice) {
                pos += splice;
                continue;
            }
            // An escape takes the character after it, wherever splices put it.
            pos = skipSplices(text, pos + 1);
            if (pos < size && text[pos] != u'\n' && text[pos] != u'\r')
                ++pos;
            continue;
        }
        ++pos;
    }
    if (unterminated)
        *unterminated = true;
    return pos;
}

qsizetype rawLiteralEnd(QStringView text, qsizetype quote, bool *unterminated, bool inDirective)
{
    // The delimiter is read as written: splices are undone in raw literals.
    qsizetype size = text.size();
    if (inDirective) {
        for (qsizetype p = quote; p < size; ++p) {
            if (text[p] == u'\n' || text[p] == u'\r') {
                size = p;
                break;
            }
        }
    }
    qsizetype open = quote + 1;
    while (open < size && open - quote <= 17) {
        const char16_t c = text[open].unicode();
        if (c == '(')
            break;
        if (c == ')' || c == '\\' || isHorizontalSpace(c) || c == '\n' || c == '\r' || c >= 0x80)
            return -1;
        ++open;
    }
    if (open >= size || text[open] != u'(')
        return -1;
    const QStringView delimiter = text.sliced(quote + 1, open - quote - 1);
    for (qsizetype close = text.indexOf(QChar(u')'), open + 1); close >= 0 && close < size;
         close = text.indexOf(QChar(u')'), close + 1)) {
        const qsizetype quoteAt = close + 1 + delimiter.size();
        if (quoteAt < size && text[quoteAt] == u'"'
            && text.sliced(close + 1, delimiter.size()) == delimiter)
            return quoteAt + 1;
    }
    if (unterminated)
        *unterminated = true;
    return size;
}

qsizetype identifierEnd(QStringView text, qsizetype pos)
{
    const qsizetype size = text.size();
    const char16_t *t = reinterpret_cast<const char16_t *>(text.data());
    while (pos < size) {
        const char16_t u = t[pos];
        if (isAsciiIdentifierPart(u)) {
            ++pos;
        } else if (u == '\\') {
            // A splice inside the identifier, not one after it.
            const qsizetype after = skipSplices(text, pos);
            if (after == pos || after >= size || !identifierPartAt(text, after))
                break;
            pos = after;
        } else if (const qsizetype units = u >= 0x80 ? identifierPartAt(text, pos) : 0) {
            pos += units;
        } else {
            break;
        }
    }
    return pos;
}

qsizetype numberEnd(QStringView text, qsizetype pos)
{
    char16_t before = text[pos].unicode();
    for (++pos;;) {
        // A splice inside the number, not one after it.
        const qsizetype at = skipSplices(text, pos);
        if (at >= text.size())
            break;
        const char16_t d = text[at].unicode();
        const bool exponentSign = (d == '+' || d == '-')
                && (before == 'e' || before == 'E' || before == 'p' || before == 'P');
        qsizetype units = d == '.' || exponentSign ? 1 : identifierPartAt(text, at);
        if (!units)
            break;
        before = d;
        pos = at + units;
    }
    return pos;
}

qsizetype logicalLineEnd(QStringView text, qsizetype pos)
{
    const qsizetype size = text.size();
    while (pos < size) {
        const char16_t c = text[pos].unicode();
        if (c == '\n' || c == '\r')
            return pos;
        if (c == '\\') {
            const qsizetype splice = spliceLength(text, pos);
            pos += splice ? splice : 1;
        } else if (c == '/') {
            const qsizetype end = commentEnd(text, pos);
            pos = end == pos ? pos + 1 : end;
        } else if (c == '"' || c == '\'') {
            pos = literalEnd(text, pos);
        } else {
            ++pos;
        }
    }
    return size;
}

bool isLogicalLineStart(QStringView text, qsizetype pos)
{
    if (pos <= 0)
        return true;
    if (pos > text.size() || lineEndLength(text, pos - 1) == 0)
        return false;
    qsizetype lineEnd = pos - 1;
    if (text[lineEnd] == u'\n' && lineEnd > 0 && text[lineEnd - 1] == u'\r')
        --lineEnd;
    qsizetype before = lineEnd;
    while (before > 0 && isHorizontalSpace(text[before - 1].unicode()))
        --before;
    return before == 0 || text[before - 1] != u'\\';
}

CScanner::CScanner(QStringView text, qsizetype from)
    : m_text(text)
    , m_pos(from)
    , m_atLineStart(isLogicalLineStart(text, from))
{ }

void CScanner::skipLine()
{
    const qsizetype size = m_text.size();
    while (m_pos < size) {
        const qsizetype before = m_pos;
        const Token token = next();
        if (token.kind == Token::Kind::End)
            return;
        if (token.atLineStart) {
            m_pos = before;
            m_atLineStart = true;
            return;
        }
    }
}

QString CScanner::spelling(const Token &token) const
{
    const QStringView written = textOf(token);
    if (!token.spliced)
        return written.toString();
    QString result;
    result.reserve(written.size());
    for (qsizetype pos = token.begin; pos < token.end;) {
        const qsizetype splice = spliceLength(m_text, pos);
        if (splice) {
            pos += splice;
        } else {
            result += m_text[pos];
            ++pos;
        }
    }
    return result;
}

Token CScanner::next()
{
    const qsizetype size = m_text.size();
    const qsizetype from = m_pos;
    Token token;
    // White space, comments and splices.
    bool lineEnd = false;
    m_pos = spaceEnd(m_text, m_pos, &lineEnd, &token.spaceBefore);
    m_atLineStart = m_atLineStart || lineEnd;
    token.begin = m_pos;
    token.atLineStart = m_atLineStart;
    if (m_atLineStart)
        m_directive = false;
    if (m_pos >= size) {
        token.end = m_pos;
        return token;
    }
    m_atLineStart = false;

    const char16_t c = m_text[m_pos].unicode();
    qsizetype units = 1;
    const char32_t point = c < 0x80 ? c : codePointAt(m_text, m_pos, &units);
    if (c == '"' || c == '\'') {
        token.kind = c == '"' ? Token::Kind::String : Token::Kind::Character;
        m_pos = literalEnd(m_text, m_pos, &token.unterminated);
    } else if (startsNumber(m_text, m_pos)) {
        token.kind = Token::Kind::Number;
        m_pos = numberEnd(m_text, m_pos);
    } else if (isIdentifierStart(point)) {
        token.kind = Token::Kind::Identifier;
        m_pos = identifierEnd(m_text, m_pos);
        // A literal's prefix: u8, u, U, L, each optionally followed by R.
        const qsizetype quote = skipSplices(m_text, m_pos);
        if (m_pos - token.begin <= 8 && quote < size
            && (m_text[quote] == u'"' || m_text[quote] == u'\'')) {
            Token word = token;
            word.end = m_pos;
            word.spliced = true;
            QString prefix = spelling(word);
            const bool raw = prefix.endsWith(u'R');
            if (raw)
                prefix.chop(1);
            const bool isString = m_text[quote] == u'"';
            // In the order of Token::Encoding.
            static const QStringList prefixes {QString(), QStringLiteral("u8"), QStringLiteral("u"),
                                               QStringLiteral("U"), QStringLiteral("L")};
            const auto encoding = Token::Encoding(qMax(prefixes.indexOf(prefix), 0));
            const bool known
                    = prefixes.contains(prefix) && (encoding != Token::Encoding::Utf8 || isString);
            if (known && !raw) {
                token.encoding = encoding;
                token.kind = isString ? Token::Kind::String : Token::Kind::Character;
                m_pos = literalEnd(m_text, quote, &token.unterminated);
            } else if (known && isString) {
                const qsizetype end
                        = rawLiteralEnd(m_text, quote, &token.unterminated, m_directive);
                if (end >= 0) {
                    token.encoding = encoding;
                    token.kind = Token::Kind::String;
                    token.raw = true;
                    m_pos = end;
                }
            }
        }
    } else {
        token.kind = Token::Kind::Punctuation;
        if (c >= 0x80) {
            token.punct = 0xFFFF0000u | c;
            m_pos += units;
        } else {
            token.punct = c;
            m_pos = punctuatorEnd(&token.punct);
        }
    }
    token.end = m_pos;
    if (token.startsDirective())
        m_directive = true;
    if (!token.raw) {
        // Only a splice puts a backslash outside a literal; a literal's own
        // splices are left to its decoding.
        bool backslash = false;
        bool lineEnd = false;
        for (qsizetype i = token.begin; i < token.end; ++i) {
            const char16_t u = m_text[i].unicode();
            backslash |= u == '\\';
            lineEnd |= u == '\n' || u == '\r';
        }
        token.spliced = backslash && (!token.isLiteral() || lineEnd);
    }
    countRead(m_pos - from);
    return token;
}

qsizetype CScanner::punctuatorEnd(quint32 *punct) const
{
    const qsizetype size = m_text.size();
    const char16_t c = char16_t(*punct);
    // Most punctuators never start a longer one.
    switch (c) {
    case '(':
    case ')':
    case '[':
    case ']':
    case '{':
    case '}':
    case ',':
    case ';':
    case '?':
    case '~':
        return m_pos + 1;
    default:
        break;
    }
    // The longest punctuator that the next characters spell.
    char16_t chars[3] = {c, 0, 0};
    qsizetype ends[3] = {m_pos + 1, 0, 0};
    for (int i = 1; i < 3; ++i) {
        const qsizetype at = skipSplices(m_text, ends[i - 1]);
        if (at >= size || m_text[at].unicode() >= 0x80)
            break;
        chars[i] = m_text[at].unicode();
        ends[i] = at + 1;
    }
    quint32 packed = c;
    qsizetype end = ends[0];
    for (const quint32 candidate : multi) {
        if ((candidate & 0xFF) != c)
            continue;
        const int length = candidate > 0xFFFF ? 3 : 2;
        bool matches = true;
        for (int i = 1; i < length && matches; ++i)
            matches = ends[i] && quint32(chars[i]) == ((candidate >> (8 * i)) & 0xFF);
        if (matches) {
            packed = candidate;
            end = ends[length - 1];
            break;
        }
    }
    // "%:%:" is "##".
    if (packed == punctuator("%:")) {
        const qsizetype third = skipSplices(m_text, end);
        if (third < size && m_text[third] == u'%') {
            const qsizetype fourth = skipSplices(m_text, third + 1);
            if (fourth < size && m_text[fourth] == u':') {
                packed = punctuator("##");
                end = fourth + 1;
            }
        }
    }
    *punct = canonical(packed);
    return end;
}

} // namespace VelkoMenuView
