// The texts an editor hands over differ little from one to the next: the
// part before the first change is compared, not read.
#include "menuview/analysis/documentreading.h"
#include "menuview/analysis/menukeywords.h"

#include <cstring>

namespace VelkoMenuView {

namespace {

// How many characters two texts have in common from their starts.
qsizetype commonPrefix(QStringView a, QStringView b)
{
    const qsizetype size = qMin(a.size(), b.size());
    const QChar *x = a.data();
    const QChar *y = b.data();
    // Whole blocks by the C library's comparison, the one that differs by characters.
    constexpr qsizetype Block = 2048;
    qsizetype i = 0;
    while (i + Block <= size && std::memcmp(x + i, y + i, Block * sizeof(QChar)) == 0)
        i += Block;
    while (i < size && x[i] == y[i])
        ++i;
    return i;
}

// How many characters they have in common at their ends, at most `limit`.
qsizetype commonSuffix(QStringView a, QStringView b, qsizetype limit)
{
    const qsizetype size = qMin(limit, qMin(a.size(), b.size()));
    const QChar *x = a.data() + a.size();
    const QChar *y = b.data() + b.size();
    constexpr qsizetype Block = 2048;
    qsizetype i = 0;
    while (i + Block <= size
           && std::memcmp(x - i - Block, y - i - Block, Block * sizeof(QChar)) == 0)
        i += Block;
    while (i < size && x[-i - 1] == y[-i - 1])
        ++i;
    return i;
}

} // namespace

SourceReading &DocumentReading::read(const QString &text, const ReadOptions &context,
                                     quint64 generation)
{
    if (!m_source || generation != m_generation) {
        m_text = text;
        m_source = std::make_unique<SourceReading>(m_text, menuKeywords(), context);
        m_generation = generation;
        m_lines = LineMap(m_text);
        return *m_source;
    }
    if (text.constData() == m_text.constData() && text.size() == m_text.size())
        return *m_source;
    const qsizetype same = commonPrefix(m_text, text);
    if (same == text.size() && same == m_text.size())
        return *m_source; // the views into the text kept stay as they are
    // A line start before the first change, not at it: a change there can
    // join a CR before it to an LF.
    const TextRecord &facts = m_source->facts;
    const qsizetype keepAt = same == 0 ? 0 : facts.lineStartBefore(qMin(same - 1, facts.readTo));
    const qsizetype oldEnd
            = m_text.size() - commonSuffix(m_text, text, qMin(m_text.size(), text.size()) - same);
    // keep() still reads the old text (what it sets aside): hold it until then.
    const QString previous = m_text;
    m_text = text;
    m_source->keep(m_text, keepAt, same, oldEnd);
    m_lines.update(m_text, same, oldEnd - same, text.size() - (previous.size() - oldEnd) - same);
    return *m_source;
}

} // namespace VelkoMenuView
