// Item texts from item arguments: literals, named string constants, escapes.
#include "menuview/analysis/menuparser.h"

#include "menuview/analysis/constantindex.h"
#include "menuview/analysis/escapes.h"
#include "menuview/analysis/sourcescan.h"

namespace {

bool isNameChar(QChar c)
{
    return c.isLetter() || c.isDigit() || c == u'_';
}

QStringView nameAt(QStringView text, qsizetype from)
{
    qsizetype end = from;
    while (end < text.size() && isNameChar(text[end]))
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

bool appendConstant(VelkoMenuView::ConstantIndex &constants, qsizetype preambleEnd,
                    QStringView name, QString *text, LiteralNotes *notes)
{
    if (name.isEmpty())
        return false;
    const VelkoMenuView::ConstantIndex::Definitions found = constants.find(name, preambleEnd);
    if (found.first < 0)
        return false;
    notes->definition = found.first;
    notes->redefinition = found.second;
    const qsizetype open = constants.literalAfter(found.first + name.size(), preambleEnd);
    return open >= 0 && appendLiterals(constants.text().first(preambleEnd), open, false, text);
}

} // namespace

QString readLiteral(QStringView argument, VelkoMenuView::ConstantIndex &constants,
                    qsizetype preambleEnd, LiteralNotes *notes)
{
    LiteralNotes scratch;
    LiteralNotes &n = notes ? *notes : scratch;
    n = LiteralNotes();
    const qsizetype first = skipWhiteSpace(argument, 0);
    QString text;
    const bool read = first < argument.size()
            && (argument[first] == u'"' ? appendLiterals(argument, first, true, &text)
                                        : appendConstant(constants, preambleEnd,
                                                         nameAt(argument, first), &text, &n));
    if (!read) {
        n.readable = false;
        return QString();
    }
    bool malformed = false;
    text = decodeEscapes(text, &n.droppedEscapes, &malformed);
    n.readable = !malformed;
    return text;
}

QString decodeLiteral(const MenuDefinition &menu, const QString &argument)
{
    return decodeLiteral(menu.preamble, argument);
}

QString decodeLiteral(QStringView preamble, QStringView argument)
{
    VelkoMenuView::ConstantIndex constants(preamble);
    return readLiteral(argument, constants, preamble.size());
}

bool isHexDigit(QChar c)
{
    const QChar lower = c.toLower();
    return lower.isDigit() || (lower >= u'a' && lower <= u'f');
}
