// A small lexical scanner for C source: what the compiler's first phases see
// of the text, enough to tell code from comments and literals.
#pragma once

#include <QStringView>

namespace VelkoMenuView {

struct Token
{
    enum class Kind {
        End, // no token left
        Identifier, // letters (any script), digits and "_", not starting with a digit
        String, // "...", from its opening to past its closing quote
        Character, // '...'
        Number, // a preprocessing number: 12, 0x1F, 1e-3, 3rd
        Punctuation, // any other single character
    };

    Kind kind = Kind::End;
    qsizetype begin = 0;
    qsizetype end = 0; // one past the token
    // A literal whose line (or the text) ends before its closing quote; it
    // then ends before the line feed, as in C.
    bool unterminated = false;

    bool is(QChar c) const { return kind == Kind::Punctuation && end - begin == 1 && c == m_first; }

private:
    friend class CScanner;
    QChar m_first;
};

// Reads tokens forward from a position, passing over white space, comments
// ("//" to the end of the line, a backslash before the line feed continuing
// it; "/* */", running to the end of the text when not closed) and line
// splices. Escapes in literals are honoured as C does: a backslash takes the
// character after it, so "a\\" ends at its second quote.
class CScanner
{
public:
    explicit CScanner(QStringView text, qsizetype from = 0)
        : m_text(text)
        , m_pos(from)
    { }

    Token next();
    qsizetype position() const { return m_pos; }
    void setPosition(qsizetype pos) { m_pos = pos; }
    QStringView text() const { return m_text; }

    // The token's text.
    QStringView textOf(const Token &token) const
    {
        return m_text.sliced(token.begin, token.end - token.begin);
    }

private:
    void skipSpaceAndComments();

    QStringView m_text;
    qsizetype m_pos;
};

// Letters of any script, digits and "_"; ASCII decided inline, as nearly
// every character of C source is.
inline bool isIdentifierStart(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_';
    return c.isLetter();
}

inline bool isIdentifierPart(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')
                || u == '_';
    return c.isLetterOrNumber();
}

// The pieces both scanners read alike. Each takes the position where the
// piece starts and returns the position just past it.
// A comment ("//" or "/*") at `pos`; `pos` itself when none starts there.
qsizetype commentEnd(QStringView text, qsizetype pos);
// The string or character literal whose quote is at `open`; one that the
// line or the text ends first stops before the line feed (*unterminated set).
qsizetype literalEnd(QStringView text, qsizetype open, bool *unterminated = nullptr);
// A preprocessing number ("12", "0x1F", "1e-3", ".5") at `pos`.
bool startsNumber(QStringView text, qsizetype pos);
qsizetype numberEnd(QStringView text, qsizetype pos);
// An identifier at `pos`.
qsizetype identifierEnd(QStringView text, qsizetype pos);

// Whether `word` stands at `at` as a whole identifier: no identifier
// character directly before or after it. Comments and literals are not
// considered.
bool isWholeWordAt(QStringView text, qsizetype at, QStringView word);

} // namespace VelkoMenuView
