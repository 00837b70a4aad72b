// The block-by-block walk over a text's menus.
#include "menuview/analysis/menublocks.h"

namespace VelkoMenuView {

namespace {

// Next occurrence of `keyword` as a whole word at or after `from`, remembered
// so that a keyword that is far away or gone is not searched for again.
qsizetype nextWholeWord(QStringView text, QStringView keyword, qsizetype from, qsizetype *cached)
{
    if (*cached != -2 && (*cached < 0 || *cached >= from))
        return *cached;
    for (qsizetype at = text.indexOf(keyword, from); at >= 0; at = text.indexOf(keyword, at + 1)) {
        if (isWholeWordAt(text, at, keyword))
            return *cached = at;
    }
    return *cached = -1;
}

} // namespace

MenuBlocks::MenuBlocks(QStringView text, Keywords keywords)
    : m_text(text)
    , m_keywords(keywords)
    , m_scan(text)
    , m_constants(text)
{ }

qsizetype MenuBlocks::nextLive()
{
    for (KeywordHit hit = m_scan.next(); hit.keyword != MenuKeyword::None; hit = m_scan.next()) {
        if (hit.keyword == MenuKeyword::Begin || hit.keyword == MenuKeyword::BeginEditable)
            return hit.begin;
    }
    return -1;
}

qsizetype MenuBlocks::nextAnywhere()
{
    const qsizetype plain = nextWholeWord(m_text, u"BEGIN_MENU", m_from, &m_nextPlain);
    const qsizetype editable
            = nextWholeWord(m_text, u"BEGIN_EDITABLE_MENU", m_from, &m_nextEditable);
    if (plain < 0 || editable < 0)
        return qMax(plain, editable);
    return qMin(plain, editable);
}

bool MenuBlocks::next(MenuBlock &block)
{
    const qsizetype start = m_keywords == Keywords::Live ? nextLive() : nextAnywhere();
    if (start < 0)
        return false;
    m_from = start + 1;
    block.start = start;
    block.menu.name.clear();
    block.menu.title.clear();
    block.menu.itemTexts.clear();
    block.parsed = parseMenuAt(block.menu, m_text, start, m_constants, start, &block.parse);
    return true;
}

MenuBlock parseBlockAt(QStringView text, qsizetype start)
{
    MenuBlock block;
    block.start = start;
    ConstantIndex constants(text);
    block.parsed = parseMenuAt(block.menu, text, start, constants, start, &block.parse);
    return block;
}

QList<MenuBlock> menuBlocks(QStringView text)
{
    QList<MenuBlock> blocks;
    MenuBlocks walk(text);
    MenuBlock block;
    while (walk.next(block))
        blocks.append(block);
    return blocks;
}

} // namespace VelkoMenuView
