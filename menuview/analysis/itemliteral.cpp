// Item texts from item arguments: literals, named string constants, escapes.
#include "menuview/analysis/menuparser.h"

#include "menuview/analysis/escapes.h"
#include "menuview/analysis/sourcescan.h"

namespace {

bool isIdentifierChar(QChar c)
{
    return c.isLetter() || c.isDigit() || c == u'_';
}

QStringView identifierAt(QStringView text, qsizetype from)
{
    qsizetype end = from;
    while (end < text.size() && isIdentifierChar(text[end]))
        ++end;
    return text.sliced(from, end - from);
}

// Appends the literal opening at `open` and those adjacent to it to `text`.
// In an argument list anything may stand between them up to a ","; in a
// constant's definition only white space. False for an unterminated literal.
bool appendLiterals(QStringView source, qsizetype open, bool inArguments, QString *text)
{
    while (open >= 0) {
        const qsizetype close = closingQuote(source, open + 1);
        if (close < 0)
            return false;
        text->append(source.sliced(open + 1, close - open - 1));
        if (inArguments) {
            open = nextLiteral(source, close + 1, u',');
        } else {
            const qsizetype next = skipWhiteSpace(source, close + 1);
            open = next < source.size() && source[next] == u'"' ? next : -1;
        }
    }
    return true;
}

// End of the first occurrence of `name` in the preamble that is followed by
// white space or "[" (a #define or an array definition), or -1.
qsizetype definitionOf(QStringView preamble, QStringView name)
{
    for (qsizetype at = preamble.indexOf(name); at >= 0; at = preamble.indexOf(name, at + 1)) {
        const qsizetype after = at + name.size();
        if (after < preamble.size() && (preamble[after].isSpace() || preamble[after] == u'['))
            return after;
    }
    return -1;
}

bool appendConstant(QStringView preamble, QStringView name, QString *text)
{
    if (name.isEmpty())
        return false;
    const qsizetype definition = definitionOf(preamble, name);
    if (definition < 0)
        return false;
    const qsizetype open = preamble.indexOf(u'"', definition);
    return open >= 0 && appendLiterals(preamble, open, false, text);
}

} // namespace

QString decodeLiteral(const MenuDefinition &menu, const QString &argument)
{
    return decodeLiteral(menu.preamble, argument);
}

QString decodeLiteral(QStringView preamble, QStringView argument)
{
    const qsizetype first = skipWhiteSpace(argument, 0);
    if (first >= argument.size())
        return QString();
    QString text;
    const bool read = argument[first] == u'"'
            ? appendLiterals(argument, first, true, &text)
            : appendConstant(preamble, identifierAt(argument, first), &text);
    return read ? decodeEscapes(text) : QString();
}

bool isHexDigit(QChar c)
{
    const QChar lower = c.toLower();
    return lower.isDigit() || (lower >= u'a' && lower <= u'f');
}
