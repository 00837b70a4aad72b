// The walk over a text's opening keywords.
#include "menuwalk.h"

namespace {

const QLatin1StringView beginMenu("BEGIN_MENU");
const QLatin1StringView beginEditableMenu("BEGIN_EDITABLE_MENU");

// Next occurrence at or after `from`, remembered so that a keyword that is
// far away or gone is not searched for again and again.
qsizetype nextOccurrence(QStringView text, QLatin1StringView keyword, qsizetype from,
                         qsizetype *cached)
{
    if (*cached == -2 || (*cached >= 0 && *cached < from))
        *cached = text.indexOf(keyword, from);
    return *cached;
}

} // namespace

QList<MenuBlock> findMenuBlocks(QStringView text)
{
    QList<MenuBlock> blocks;
    qsizetype nextPlain = -2;
    qsizetype nextEditable = -2;
    qsizetype from = 0;
    for (;;) {
        const qsizetype plain = nextOccurrence(text, beginMenu, from, &nextPlain);
        const qsizetype editable = nextOccurrence(text, beginEditableMenu, from, &nextEditable);
        if (plain < 0 && editable < 0)
            break;
        MenuBlock block;
        block.editable = plain < 0 || (editable >= 0 && editable < plain);
        block.start = block.editable ? editable : plain;
        qsizetype offset = -1;
        block.parsed = parseMenuText(block.menu, text.first(block.start), text.sliced(block.start),
                                     &block.error, &offset);
        block.errorOffset = offset < 0 ? -1 : block.start + offset;
        from = block.start + 1;
        blocks.append(std::move(block));
    }
    return blocks;
}

const MenuBlock *blockAround(const QList<MenuBlock> &blocks, qsizetype offset)
{
    const MenuBlock *found = nullptr;
    for (const MenuBlock &block : blocks) {
        if (block.start > offset)
            break;
        found = &block;
    }
    return found;
}
