// What the compiler's first phases make of C source: line ends (LF, CR LF or
// a lone CR), a leading byte-order mark, lines joined by backslash-newline
// anywhere, and preprocessing tokens, each comment counting as one space.
// Positions always point into the text as written, splices included.
#pragma once

#include <QString>
#include <QStringView>

namespace VelkoMenuView {

// Punctuators are packed, up to three ASCII characters, digraphs spelled as
// what they stand for: punctuator("##"), punctuator("<<=").
constexpr quint32 punctuator(const char *spelling)
{
    quint32 packed = 0;
    for (int i = 0; spelling[i] && i < 3; ++i)
        packed |= quint32(quint8(spelling[i])) << (8 * i);
    return packed;
}

struct Token
{
    enum class Kind : quint8 {
        End, // no token left
        Identifier,
        Number, // a preprocessing number: 12, 0x1F, 1e-3, 3rd
        String, // from its prefix or opening quote to past its closing quote
        Character,
        Punctuation,
    };
    // The prefix of a string or character literal.
    enum class Encoding : quint8 { Plain, Utf8, Utf16, Utf32, Wide };

    Kind kind = Kind::End;
    Encoding encoding = Encoding::Plain;
    bool atLineStart = false; // the first token of a logical line
    bool spaceBefore = false; // white space or a comment before it
    bool spliced = false; // holds a backslash-newline: see CScanner::spelling
    bool raw = false; // R"delimiter(...)delimiter"
    // A literal whose line (or the text) ends before its closing quote; it
    // then ends before the line end, as in C.
    bool unterminated = false;
    qsizetype begin = 0;
    qsizetype end = 0; // one past the token
    quint32 punct = 0; // for Punctuation: see punctuator()

    bool is(QChar c) const { return kind == Kind::Punctuation && punct == c.unicode(); }
    bool is(quint32 packed) const { return kind == Kind::Punctuation && punct == packed; }
    bool isLiteral() const { return kind == Kind::String || kind == Kind::Character; }
    // '#' (or "%:") first on its line: a directive follows.
    bool startsDirective() const { return atLineStart && is(u'#'); }
};

// Reads tokens forward from a position that lies between tokens of code (not
// in a comment or literal).
class CScanner
{
public:
    explicit CScanner(QStringView text, qsizetype from = 0);

    Token next();
    qsizetype position() const { return m_pos; }
    // Resumes at `pos`; `atLineStart` tells whether a logical line starts there.
    void setPosition(qsizetype pos, bool atLineStart = false)
    {
        m_pos = pos;
        m_atLineStart = atLineStart;
    }
    QStringView text() const { return m_text; }
    // Whether the tokens read are a directive's: a raw literal ends with the
    // line there. A "#" that starts a line turns it on, a new line off.
    void setDirective(bool directive) { m_directive = directive; }

    // The token as written, splices included.
    QStringView textOf(const Token &token) const
    {
        return m_text.sliced(token.begin, token.end - token.begin);
    }
    // The token as the compiler reads it: splices removed.
    QString spelling(const Token &token) const;

    // Passes over the rest of the current logical line (a directive's).
    void skipLine();

private:
    qsizetype punctuatorEnd(quint32 *punct) const;

    QStringView m_text;
    qsizetype m_pos = 0;
    bool m_atLineStart = true;
    bool m_directive = false;
};

// The pieces every reader of the text shares. Each takes a position and
// returns one; none reads past the text.
// Length of a line end (LF, CR LF, CR) at `pos`, 0 when there is none.
qsizetype lineEndLength(QStringView text, qsizetype pos);
// White space within a line; the compiler ignores a zero byte as such too.
inline bool isHorizontalSpace(char16_t u)
{
    return u == ' ' || u == '\t' || u == '\f' || u == '\v' || u == 0;
}
// Length of a splice at `pos`: a backslash, optional spaces or tabs, a line end.
qsizetype spliceLength(QStringView text, qsizetype pos);
// The first position at or after `pos` that starts no splice.
qsizetype skipSplices(QStringView text, qsizetype pos);
// White space, splices, comments and a leading byte-order mark from `pos`;
// line ends too when `lineEnd` is given, which then tells whether one was
// passed. *space, when given, tells whether white space or a comment was.
qsizetype spaceEnd(QStringView text, qsizetype pos, bool *lineEnd = nullptr, bool *space = nullptr);
// The end of a comment ("//" or "/*") at `pos`; `pos` itself when none starts
// there. A block comment that is not closed runs to the end of the text.
qsizetype commentEnd(QStringView text, qsizetype pos);
// The literal whose opening quote is at `quote`: past its closing quote, or
// before the line end when it has none (*unterminated set then).
qsizetype literalEnd(QStringView text, qsizetype quote, bool *unterminated = nullptr);
// A raw literal R"d(...)d" whose quote is at `quote`: past its closing quote,
// or -1 when the delimiter is malformed.
// In a directive (`inDirective`) a raw literal ends with its line at the
// latest, as the compiler reads it there.
qsizetype rawLiteralEnd(QStringView text, qsizetype quote, bool *unterminated = nullptr,
                        bool inDirective = false);
// An identifier at `pos` (splices inside it included).
qsizetype identifierEnd(QStringView text, qsizetype pos);
// A preprocessing number at `pos` ("12", "0x1F", "1e-3", ".5").
qsizetype numberEnd(QStringView text, qsizetype pos);

// The end of the logical line `pos` is in: the first line end no splice
// joins (a block comment may carry it further), or the text's end.
qsizetype logicalLineEnd(QStringView text, qsizetype pos);

// Whether a logical line starts at `pos`: after a line end that no splice joins.
bool isLogicalLineStart(QStringView text, qsizetype pos);

// Characters of identifiers as C11 allows them beyond ASCII; `$` as gcc does.
bool isIdentifierStart(char32_t c);
bool isIdentifierPart(char32_t c);
inline bool isIdentifierStart(QChar c)
{
    return isIdentifierStart(char32_t(c.unicode()));
}
inline bool isIdentifierPart(QChar c)
{
    return isIdentifierPart(char32_t(c.unicode()));
}

} // namespace VelkoMenuView
