// Line starts, found once, searched by halving.
#include "creader/linemap.h"

#include "creader/readcount.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace VelkoMenuView {

namespace {

// The start of the line that `offset` is in: lines are short, a search
// back from the offset stops soon.
qsizetype lineStartOf(QStringView text, qsizetype offset)
{
    while (offset > 0 && text[offset - 1] != u'\n' && text[offset - 1] != u'\r')
        --offset;
    return offset;
}

// Where the line end before the line start `start` begins.
qsizetype lineEndBefore(QStringView text, qsizetype start)
{
    return start - (start >= 2 && text[start - 1] == u'\n' && text[start - 2] == u'\r' ? 2 : 1);
}

} // namespace

qsizetype LineEnds::nextLineStart(qsizetype pos)
{
    if (m_lineFeed != -1 && m_lineFeed < pos)
        m_lineFeed = m_text.indexOf(QChar(u'\n'), pos);
    if (m_carriageReturn != -1 && m_carriageReturn < pos)
        m_carriageReturn = m_text.indexOf(QChar(u'\r'), pos);
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
    countRead(part.size());
    const qsizetype carriageReturns = part.count(u'\r');
    qsizetype ends = part.count(u'\n') + carriageReturns;
    if (carriageReturns)
        ends -= part.count(u"\r\n");
    return ends;
}

qsizetype LineEnds::skip(QStringView text, qsizetype from, qsizetype lines, qsizetype *found)
{
    const char16_t *t = reinterpret_cast<const char16_t *>(text.data());
    const qsizetype size = text.size();
    qsizetype p = qBound(qsizetype(0), from, size);
    qsizetype counted = 0;
#if defined(__SSE2__)
    // Runs of blocks of eight characters that hold fewer line ends than are
    // left to pass; a CR LF counts at its LF. Each 16-bit lane counts up to
    // 64 blocks.
    constexpr qsizetype Run = 64 * 8;
    const __m128i lineFeed = _mm_set1_epi16('\n');
    const __m128i carriageReturn = _mm_set1_epi16('\r');
    const __m128i ones = _mm_set1_epi16(1);
    while (p + Run + 1 <= size) {
        __m128i lanes = _mm_setzero_si128();
        for (qsizetype q = p; q < p + Run; q += 8) {
            const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + q));
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + q + 1));
            const __m128i ends
                    = _mm_or_si128(_mm_cmpeq_epi16(here, lineFeed),
                                   _mm_andnot_si128(_mm_cmpeq_epi16(next, lineFeed),
                                                    _mm_cmpeq_epi16(here, carriageReturn)));
            lanes = _mm_sub_epi16(lanes, ends);
        }
        const __m128i pairs = _mm_madd_epi16(lanes, ones);
        alignas(16) qint32 sums[4];
        _mm_store_si128(reinterpret_cast<__m128i *>(sums), pairs);
        const qsizetype inRun = qsizetype(sums[0]) + sums[1] + sums[2] + sums[3];
        if (counted + inRun >= lines)
            break;
        counted += inRun;
        p += Run;
    }
#endif
    for (; p < size && counted < lines; ++p) {
        const char16_t c = t[p];
        if (c == '\n' || (c == '\r' && (p + 1 >= size || t[p + 1] != '\n')))
            ++counted;
    }
    countRead(p - from);
    if (counted < lines) {
        if (found)
            *found = counted;
        return -1;
    }
    return p;
}

LineMap::LineMap(QStringView text)
    : m_size(text.size())
{
    LineEnds ends(text);
    for (qsizetype start = ends.nextLineStart(0); start >= 0; start = ends.nextLineStart(start)) {
        m_ends.append(lineEndBefore(text, start));
        m_starts.append(start);
    }
    m_ends.append(m_size);
}

void LineMap::replace(QStringView text, qsizetype from, qsizetype removed, qsizetype inserted)
{
    const qsizetype delta = inserted - removed;
    const qsizetype lines = m_starts.size();
    // From the line before the edit (a CR there may now end a CR LF) to the
    // first line that starts after it, which starts there still.
    const qsizetype first
            = std::upper_bound(m_starts.cbegin(), m_starts.cend(), qMax<qsizetype>(from - 1, 0))
            - m_starts.cbegin() - 1;
    const qsizetype after = std::upper_bound(m_starts.cbegin(), m_starts.cend(), from + removed)
            - m_starts.cbegin();
    const qsizetype stop = after < lines ? m_starts[after] + delta : -1;
    QList<qsizetype> starts;
    QList<qsizetype> ends;
    LineEnds lineEnds(text);
    qsizetype start = lineEnds.nextLineStart(m_starts[first]);
    for (; start >= 0 && (stop < 0 || start < stop); start = lineEnds.nextLineStart(start)) {
        starts.append(start);
        ends.append(lineEndBefore(text, start));
    }
    if (stop >= 0 && start != stop) {
        *this = LineMap(text); // the edit was not the one described
        return;
    }
    ends.append(stop >= 0 ? lineEndBefore(text, stop) : text.size());
    for (qsizetype i = after; i < lines; ++i) {
        starts.append(m_starts[i] + delta);
        ends.append(m_ends[i] + delta);
    }
    m_starts.resize(first + 1);
    m_starts.append(starts);
    m_ends.resize(first);
    m_ends.append(ends);
    m_size = text.size();
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
    return {int(LineEnds::count(text, 0, offset) + 1), int(offset - lineStartOf(text, offset) + 1)};
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
