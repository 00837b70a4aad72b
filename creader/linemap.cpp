// Every MarkStep-th line start, found once; the lines after a mark are
// counted by blocks of eight characters at a time.
#include "creader/linemap.h"

#include "creader/readcount.h"

#include <algorithm>
#include <limits>

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

// The start of the line `lines` line ends after `from`; -1, with the number
// of line ends there are in *found, when the text has fewer.
qsizetype skipLines(QStringView text, qsizetype from, qsizetype lines, qsizetype *found)
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

} // namespace

void LineMap::update(QStringView text, qsizetype from, qsizetype removed, qsizetype inserted)
{
    m_text = text;
    m_lastStart = 0;
    m_lastLine = 1;
    // Marks before the edit stay; a mark at it may be one no longer (a CR
    // before it may now end a CR LF). Those after it are found again until
    // one lands where the old one lands, moved by the edit, in the text
    // after it: from there on the lines are the same.
    qsizetype mark = qMax<qsizetype>(
            1, std::lower_bound(m_marks.cbegin(), m_marks.cend(), from) - m_marks.cbegin());
    for (; mark < m_marks.size(); ++mark) {
        const qsizetype next = skipLines(text, m_marks.at(mark - 1), MarkStep, nullptr);
        if (next >= 0 && m_marks.at(mark) > from + removed
            && next == m_marks.at(mark) + inserted - removed) {
            for (; mark < m_marks.size(); ++mark)
                m_marks[mark] += inserted - removed;
            return;
        }
        if (next < 0 || next > from + inserted) {
            // Lines came or went: the marks after this one are found when asked for.
            if (next >= 0)
                m_marks[mark++] = next;
            break;
        }
        m_marks[mark] = next;
    }
    m_marks.resize(mark);
    m_lineCount = -1;
}

void LineMap::markTo(qsizetype mark) const
{
    while (m_marks.size() <= mark && m_lineCount < 0) {
        qsizetype found = 0;
        const qsizetype next = skipLines(m_text, m_marks.constLast(), MarkStep, &found);
        if (next < 0)
            m_lineCount = int((m_marks.size() - 1) * MarkStep + found + 1);
        else
            m_marks.append(next);
    }
}

int LineMap::lineCount() const
{
    markTo(std::numeric_limits<qsizetype>::max());
    return m_lineCount;
}

qsizetype LineMap::lineStart(int line) const
{
    if (line < 1)
        return -1;
    const qsizetype mark = (line - 1) / MarkStep;
    markTo(mark);
    return mark < m_marks.size()
            ? skipLines(m_text, m_marks.at(mark), (line - 1) % MarkStep, nullptr)
            : -1;
}

qsizetype LineMap::lineLength(int line) const
{
    const qsizetype start = lineStart(line);
    qsizetype end = start;
    while (end >= 0 && end < m_text.size() && m_text[end] != u'\n' && m_text[end] != u'\r')
        ++end;
    return end - start;
}

TextPosition LineMap::position(qsizetype offset) const
{
    offset = qBound(qsizetype(0), offset, m_text.size());
    while (m_marks.constLast() <= offset && m_lineCount < 0)
        markTo(m_marks.size());
    const qsizetype mark
            = std::upper_bound(m_marks.cbegin(), m_marks.cend(), offset) - m_marks.cbegin() - 1;
    // Between the CR and the LF of a line end: on the line they end.
    const qsizetype at = offset > 0 && offset < m_text.size() && m_text[offset - 1] == u'\r'
                    && m_text[offset] == u'\n'
            ? offset - 1
            : offset;
    // Questions come mostly in the order of the text: the line of the last
    // answer is nearer than the mark, if it is not past the offset.
    const bool afterLast = m_lastStart > m_marks.at(mark) && m_lastStart <= at;
    qsizetype ends = 0;
    skipLines(m_text.first(at), afterLast ? m_lastStart : m_marks.at(mark),
              std::numeric_limits<qsizetype>::max(), &ends);
    m_lastLine = int((afterLast ? m_lastLine : mark * MarkStep + 1) + ends);
    m_lastStart = lineStartOf(m_text, at);
    return {m_lastLine, int(offset - m_lastStart + 1)};
}

qsizetype LineMap::cursorOffset(qint32 line, qint32 column) const
{
    const qint64 steps = qMax<qint64>(0, qint64(line) - 1);
    qsizetype start = lineStart(int(steps + 1));
    if (start < 0) // past the last line: lines cycle with the text's line count as period
        start = lineStart(int(steps % lineCount()) + 1);
    return start + qsizetype(column) - 1;
}

} // namespace VelkoMenuView
