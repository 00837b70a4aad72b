// Line starts, found once, searched by halving.
#include "menuview/analysis/linemap.h"

#include <algorithm>

namespace VelkoMenuView {

namespace {

// The start of the line that `offset` is in.
qsizetype lineStartOf(QStringView text, qsizetype offset)
{
    const QStringView before = text.first(offset);
    return qMax(before.lastIndexOf(u'\n'), before.lastIndexOf(u'\r')) + 1;
}

} // namespace

qsizetype LineEnds::nextLineStart(qsizetype pos)
{
    if (m_lineFeed != -1 && m_lineFeed < pos)
        m_lineFeed = m_text.indexOf(u'\n', pos);
    if (m_carriageReturn != -1 && m_carriageReturn < pos)
        m_carriageReturn = m_text.indexOf(u'\r', pos);
    if (m_lineFeed < 0 && m_carriageReturn < 0)
        return -1;
    if (m_carriageReturn < 0 || (m_lineFeed >= 0 && m_lineFeed < m_carriageReturn))
        return m_lineFeed + 1;
    return m_carriageReturn + (m_lineFeed == m_carriageReturn + 1 ? 2 : 1);
}

qsizetype LineEnds::count(QStringView text, qsizetype from, qsizetype to)
{
    from = qBound(qsizetype(0), from, text.size());
    to = qBound(from, to, text.size());
    const QStringView part = text.sliced(from, to - from);
    const qsizetype carriageReturns = part.count(u'\r');
    qsizetype ends = part.count(u'\n') + carriageReturns;
    if (carriageReturns)
        ends -= part.count(u"\r\n");
    return ends;
}

LineMap::LineMap(QStringView text)
    : m_size(text.size())
{
    LineEnds ends(text);
    for (qsizetype start = ends.nextLineStart(0); start >= 0; start = ends.nextLineStart(start)) {
        m_ends.append(start - (start >= 2 && text[start - 1] == u'\n' && text[start - 2] == u'\r'
                                       ? 2
                                       : 1));
        m_starts.append(start);
    }
    m_ends.append(m_size);
}

qsizetype LineMap::lineStart(int line) const
{
    return line >= 1 && line <= lineCount() ? m_starts[line - 1] : -1;
}

qsizetype LineMap::lineLength(int line) const
{
    const qsizetype start = lineStart(line);
    return start < 0 ? 0 : m_ends[line - 1] - start;
}

TextPosition LineMap::position(qsizetype offset) const
{
    offset = qBound(qsizetype(0), offset, m_size);
    const auto next = std::upper_bound(m_starts.cbegin(), m_starts.cend(), offset);
    const qsizetype index = (next - m_starts.cbegin()) - 1;
    return {int(index + 1), int(offset - m_starts[index] + 1)};
}

TextPosition LineMap::positionIn(QStringView text, qsizetype offset)
{
    offset = qBound(qsizetype(0), offset, text.size());
    return {int(LineEnds::count(text, 0, offset) + 1),
            int(offset - lineStartOf(text, offset) + 1)};
}

TextPosition LineMap::positionNear(QStringView text, qsizetype offset, qsizetype knownLineStart,
                                   int knownLine)
{
    if (knownLineStart < 0 || knownLineStart > text.size() || knownLine < 1)
        return positionIn(text, offset);
    offset = qBound(qsizetype(0), offset, text.size());
    const qsizetype line = offset < knownLineStart
            ? knownLine - LineEnds::count(text, offset, knownLineStart)
            : knownLine + LineEnds::count(text, knownLineStart, offset);
    return {int(line), int(offset - lineStartOf(text, offset) + 1)};
}

} // namespace VelkoMenuView
