// Line starts, found once, searched by halving.
#include "menuview/analysis/linemap.h"

#include <algorithm>

namespace VelkoMenuView {

LineMap::LineMap(QStringView text)
    : m_size(text.size())
{
    for (qsizetype i = text.indexOf(u'\n'); i >= 0; i = text.indexOf(u'\n', i + 1))
        m_starts.append(i + 1);
}

qsizetype LineMap::lineStart(int line) const
{
    return line >= 1 && line <= lineCount() ? m_starts[line - 1] : -1;
}

qsizetype LineMap::lineLength(int line) const
{
    const qsizetype start = lineStart(line);
    if (start < 0)
        return 0;
    const qsizetype end = line < lineCount() ? m_starts[line] - 1 : m_size;
    return end - start;
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
    const QStringView before = text.first(offset);
    const qsizetype lineStart = before.lastIndexOf(u'\n') + 1;
    return {int(before.count(u'\n') + 1), int(offset - lineStart + 1)};
}

TextPosition LineMap::positionNear(QStringView text, qsizetype offset, qsizetype knownLineStart,
                                   int knownLine)
{
    if (knownLineStart < 0 || knownLineStart > text.size() || knownLine < 1)
        return positionIn(text, offset);
    offset = qBound(qsizetype(0), offset, text.size());
    const qsizetype lineStart = offset == 0 ? 0 : text.lastIndexOf(u'\n', offset - 1) + 1;
    const qsizetype line = offset < knownLineStart
            ? knownLine - text.sliced(offset, knownLineStart - offset).count(u'\n')
            : knownLine + text.sliced(knownLineStart, offset - knownLineStart).count(u'\n');
    return {int(line), int(offset - lineStart + 1)};
}

} // namespace VelkoMenuView
