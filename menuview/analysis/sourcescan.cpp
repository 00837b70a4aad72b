// Literal and white-space scanning shared by the parser's passes.
#include "menuview/analysis/sourcescan.h"

static bool isEscapedAt(QStringView text, qsizetype pos)
{
    return pos >= 1 && text[pos - 1] == u'\\' && !(pos >= 2 && text[pos - 2] == u'\\');
}

static qsizetype closingQuoteOf(QStringView text, qsizetype from, QChar quote)
{
    for (qsizetype pos = qMax<qsizetype>(from, 0); pos < text.size(); ++pos) {
        if (text[pos] == quote && !isEscapedAt(text, pos))
            return pos;
    }
    return -1;
}

qsizetype closingQuote(QStringView text, qsizetype from)
{
    return closingQuoteOf(text, from, u'"');
}

qsizetype skipLiteral(QStringView text, qsizetype open)
{
    const QChar quote = text[open];
    for (qsizetype pos = open + 1; pos < text.size(); ++pos) {
        if (text[pos] == u'\n')
            return pos;
        if (text[pos] == quote && !isEscapedAt(text, pos))
            return pos + 1;
    }
    return text.size();
}

qsizetype skipWhiteSpace(QStringView text, qsizetype from)
{
    qsizetype pos = qMax<qsizetype>(from, 0);
    while (pos < text.size() && text[pos].isSpace())
        ++pos;
    return pos;
}

qsizetype nextLiteral(QStringView text, qsizetype from, QChar stop)
{
    for (qsizetype pos = qMax<qsizetype>(from, 0); pos < text.size(); ++pos) {
        if (text[pos] == u'"')
            return pos;
        if (text[pos] == stop)
            return -1;
    }
    return -1;
}
