// The block-by-block walk over a text's menus.
#include "menuview/analysis/menublocks.h"
#include "menuview/analysis/menukeywords.h"

namespace VelkoMenuView {

namespace {

// Next occurrence of `keyword` as a whole word at or after `from`, remembered
// so that a keyword that is far away or gone is not searched for again.
qsizetype nextWholeWord(QStringView text, QStringView keyword, qsizetype from, qsizetype *cached)
{
    if (*cached != -2 && (*cached < 0 || *cached >= from))
        return *cached;
    for (qsizetype at = text.indexOf(keyword, from); at >= 0; at = text.indexOf(keyword, at + 1)) {
        const qsizetype after = at + keyword.size();
        if ((at == 0 || !isIdentifierPart(text[at - 1]))
            && (after == text.size() || !isIdentifierPart(text[after])))
            return *cached = at;
    }
    return *cached = -1;
}

// Reads `source` at least as far as `pos`.
void readUpTo(SourceReading &source, qsizetype pos)
{
    if (source.facts.readTo >= pos)
        return;
    SourceReader reader(source.text, source.facts.lineStartBefore(source.facts.readTo),
                        &source.facts);
    while (keywordOf(reader.nextKeyword(pos)) != MenuKeyword::None) { }
}

} // namespace

MenuBlocks::MenuBlocks(QStringView text, Keywords keywords, const ReadOptions &context,
                       Branches branches)
    : m_own(std::make_unique<SourceReading>(text, menuKeywords(), context))
    , m_source(*m_own)
    , m_keywords(keywords)
    , m_branches(branches)
    , m_scan(text, 0, &m_source.facts)
{ }

MenuBlocks::MenuBlocks(SourceReading &source, Branches branches)
    : m_source(source)
    , m_keywords(Keywords::Live)
    , m_branches(branches)
    , m_scan(source.text, 0, &m_source.facts)
{ }

KeywordHit MenuBlocks::nextLive()
{
    for (KeywordHit hit = m_scan.nextKeyword(); keywordOf(hit) != MenuKeyword::None;
         hit = m_scan.nextKeyword()) {
        const MenuKeyword keyword = keywordOf(hit);
        if (keyword == MenuKeyword::Begin || keyword == MenuKeyword::BeginEditable) {
            if (hit.active() || m_branches == Branches::All)
                return hit;
        } else if ((keyword == MenuKeyword::End || keyword == MenuKeyword::EndEditable)
                   && hit.active() && hit.begin >= m_blockEnd) {
            m_strays.append(hit);
        }
    }
    return {0, -1, -1};
}

qsizetype MenuBlocks::nextAnywhere()
{
    const QStringView text = m_source.text;
    const qsizetype plain = nextWholeWord(text, u"BEGIN_MENU", m_from, &m_nextPlain);
    const qsizetype editable = nextWholeWord(text, u"BEGIN_EDITABLE_MENU", m_from, &m_nextEditable);
    if (plain < 0 || editable < 0)
        return qMax(plain, editable);
    return qMin(plain, editable);
}

bool MenuBlocks::next(MenuBlock &block)
{
    qsizetype start = -1;
    bool live = true;
    KeywordHit opening;
    if (m_keywords == Keywords::Live) {
        opening = nextLive();
        for (; opening.begin >= 0 && opening.begin == m_lastStart; opening = nextLive())
            m_passedWritten = true;
        start = opening.begin;
    } else {
        start = nextAnywhere();
        // Whether the compiler sees it: the live walk goes along.
        while (start >= 0 && m_liveAt != -1 && m_liveAt < start)
            m_liveAt = nextLive().begin;
        live = start >= 0 && m_liveAt == start;
    }
    if (start < 0)
        return false;
    m_from = start + 1;
    m_lastStart = start;
    block = MenuBlock();
    block.start = start;
    if (!opening.active()) {
        // A menu of another variant, read with its groups taken.
        MenuLocation location;
        location.outcome = MenuLocation::Outcome::Inside;
        location.start = start;
        location.takenGroups = groupsToTake(m_source, opening);
        block = parseLocatedBlock(m_source, location);
        return true;
    }
    block.parsed = parseMenuAt(block.menu, m_source, start, &block.parse, live);
    if (live)
        m_blockEnd = qMax(m_blockEnd, block.parse.end);
    return true;
}

MenuBlock parseBlockAt(SourceReading &source, qsizetype start)
{
    readUpTo(source, start);
    MenuBlock block;
    block.start = start;
    block.parsed = parseMenuAt(block.menu, source, start, &block.parse);
    return block;
}

MenuBlock parseLocatedBlock(SourceReading &source, const MenuLocation &location)
{
    if (location.takenGroups.isEmpty())
        return parseBlockAt(source, location.start);
    ReadOptions context = source.facts.context;
    context.forcedGroups = location.takenGroups;
    SourceReading taken(source.text, menuKeywords(), context);
    return parseBlockAt(taken, location.start);
}

} // namespace VelkoMenuView
