// Locating a parsed block's parts. The parser reports no positions for what it
// accepts, so the item keywords are found here with the parser's own rules
// (comments hide an item, literals and comments inside the arguments do not
// count) and then matched against the parser's item texts: any disagreement
// drops the item positions rather than pointing at the wrong item.
#include "blocklayout.h"

#include "menuview/analysis/commenttracker.h"
#include "menuview/analysis/menuparser.h"
#include "menuview/analysis/sourcescan.h"

namespace {

qsizetype argumentsEnd(QStringView source, qsizetype open, qsizetype limit)
{
    CommentTracker comments;
    qsizetype depth = 0;
    qsizetype pos = open + 1;
    while (pos < source.size() - 1 && pos <= limit) {
        const QChar c = source[pos];
        if (!comments.inComment() && (c == u'"' || c == u'\'')) {
            pos = skipLiteral(source, pos);
            continue;
        }
        comments.step(source, pos);
        if (!comments.inComment()) {
            if (c == u')') {
                if (depth == 0)
                    return pos;
                --depth;
            } else if (c == u'(') {
                ++depth;
            }
        }
        ++pos;
    }
    return -1;
}

QList<ItemSpan> itemSpans(QStringView source, qsizetype scan, qsizetype endMark)
{
    QList<ItemSpan> spans;
    CommentTracker betweenItems;
    for (;;) {
        const qsizetype keyword = source.indexOf(u"MENU_ITEM", scan);
        if (keyword < 0 || keyword > endMark)
            return spans;
        const qsizetype open = source.indexOf(u'(', keyword);
        if (open < 0)
            return spans;
        for (qsizetype pos = scan; pos < keyword; ++pos)
            betweenItems.step(source, pos);
        if (betweenItems.inComment()) {
            scan = keyword + 1;
            continue;
        }
        const qsizetype close = argumentsEnd(source, open, endMark);
        if (close < 0 || close > endMark)
            return {};
        spans.append({keyword, open, close});
        scan = close + 1;
    }
}

} // namespace

BlockLayout layoutOf(QStringView text, const MenuBlock &block)
{
    BlockLayout layout;
    if (!block.parsed)
        return layout;
    const QStringView source = text.sliced(block.start);
    const QStringView closing
            = block.editable ? QStringView(u"END_EDITABLE_MENU") : QStringView(u"END_MENU");
    const qsizetype endMark = source.indexOf(closing);
    const qsizetype nameOpen = source.indexOf(u'(');
    const qsizetype nameClose = nameOpen < 0 ? -1 : source.indexOf(u')', nameOpen);
    if (endMark < 0 || nameClose < 0)
        return layout;
    layout.closing = block.start + endMark;
    const qsizetype closingOpen = source.indexOf(u'(', endMark);
    const qsizetype comma = closingOpen < 0 ? -1 : source.indexOf(u',', closingOpen);
    const qsizetype quote = comma < 0 ? -1 : source.indexOf(u'"', comma);
    layout.title = quote < 0 ? -1 : block.start + quote;

    QList<ItemSpan> spans = itemSpans(source, nameClose + 1, endMark);
    if (spans.size() != block.menu.itemTexts.size())
        return layout;
    const QStringView preamble = text.first(block.start);
    for (qsizetype i = 0; i < spans.size(); ++i) {
        ItemSpan &span = spans[i];
        const QStringView argument = source.sliced(span.open + 1, span.close - span.open - 1);
        if (decodeLiteral(preamble, argument) != block.menu.itemTexts[i])
            return layout;
        span.keyword += block.start;
        span.open += block.start;
        span.close += block.start;
    }
    layout.items = spans;
    return layout;
}
