// Literal and white-space scanning for item texts.
#include "menuview/analysis/sourcescan.h"

static bool isEscapedAt(QStringView text, qsizetype pos)
{
    return pos >= 1 && text[pos - 1] == u'\\' && !(pos >= 2 && text[pos - 2] == u'\\');
}

qsizetype closingQuote(QStringView text, qsizetype from)
{
    for (qsizetype pos = qMax<qsizetype>(from, 0); pos < text.size(); ++pos) {
        if (text[pos] == u'"' && !isEscapedAt(text, pos))
            return pos;
    }
    return -1;
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
