// Fuzzes the parser with arbitrary source and preamble ("preamble\0source"):
// the record and the report agree, every reported position lies inside the
// text, the parts stand in order and the items' argument lists are ordered
// and disjoint; then whatever was read is formatted.
#include "fuzzinput.h"

#include "creader/cscanner.h"
#include "menuview/analysis/itemformat.h"
#include "menuview/analysis/menublocks.h"
#include "menuview/analysis/menukeywords.h"
#include "menuview/analysis/menuparser.h"

using VelkoMenuView::ItemPosition;
using VelkoMenuView::MenuParse;
using VelkoMenuView::ParseError;

namespace {

void checkPositions(const MenuParse &p, qsizetype size, qsizetype start)
{
    const auto inside = [&](qsizetype at) { return at >= start && at < size; };
    if (p.error != ParseError::None) {
        FUZZ_CHECK(p.errorOffset == -1 || inside(p.errorOffset));
        return;
    }
    FUZZ_CHECK(inside(p.opening) && inside(p.nameOpen) && inside(p.nameClose) && inside(p.closing));
    // What a macro writes stands at its invocation: the parts share its place.
    const bool openedByMacro = !p.openingMacro.isEmpty();
    const bool closedByMacro = !p.closingMacro.isEmpty();
    // (an invocation of a one-letter macro is one character long).
    FUZZ_CHECK(openedByMacro ? p.opening == p.nameOpen && p.nameOpen <= p.nameClose
                             : p.opening < p.nameOpen && p.nameOpen < p.nameClose);
    FUZZ_CHECK(closedByMacro ? p.closing == p.closingOpen && p.closingOpen == p.comma
                             : p.closing < p.closingOpen && p.closingOpen < p.comma);
    FUZZ_CHECK(inside(p.comma));
    FUZZ_CHECK(p.closingClose == -1
               || ((closedByMacro ? p.comma <= p.closingClose : p.comma < p.closingClose)
                   && inside(p.closingClose)));
    qsizetype previous = openedByMacro ? p.opening : p.nameClose;
    for (const ItemPosition &item : p.items) {
        const bool written = !item.macro.isEmpty();
        FUZZ_CHECK(written ? previous <= item.keyword && item.keyword == item.open
                           : previous < item.keyword && item.keyword < item.open);
        FUZZ_CHECK(written ? item.open <= item.close : item.open < item.close);
        FUZZ_CHECK(item.close < p.closing || (closedByMacro && item.close <= p.closingClose));
        FUZZ_CHECK(item.notes.definition < item.close);
        previous = written ? item.keyword : item.close;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QString> texts = splitInput(data, size, 2);
    MenuDefinition menu;
    menu.preamble = texts[0];
    menu.source = texts[1];

    const bool ok = parseMenu(menu);

    // The same definition inside the whole text: the same reading, and
    // positions that fit it.
    const QString whole = menu.preamble + menu.source;
    const qsizetype start = menu.preamble.size();
    VelkoMenuView::SourceReading source(whole, VelkoMenuView::menuKeywords());
    const VelkoMenuView::MenuBlock block = VelkoMenuView::parseBlockAt(source, start);
    const MenuDefinition &placed = block.menu;
    const MenuParse &parse = block.parse;
    const bool placedOk = block.parsed;
    // The keyword at fault, in the definition's own text.
    const qsizetype offset = parse.errorOffset < 0 ? -1 : parse.errorOffset - start;
    FUZZ_CHECK(placedOk == (parse.error == ParseError::None));
    FUZZ_CHECK(offset >= -1 && offset < qMax<qsizetype>(menu.source.size(), 1));
    FUZZ_CHECK(placedOk || parse.error == ParseError::NoOpeningKeyword || offset >= 0);
    // Unless the join glues an identifier of the preamble to the source's first one.
    const bool glued = start > 0 && !menu.source.isEmpty()
            && VelkoMenuView::isIdentifierPart(menu.preamble.back())
            && VelkoMenuView::isIdentifierPart(menu.source.front());
    if (!glued) {
        FUZZ_CHECK(placedOk == ok);
        FUZZ_CHECK(placed.name == menu.name && placed.title == menu.title
                   && placed.itemTexts == menu.itemTexts);
    }
    FUZZ_CHECK(!placedOk || parse.items.size() == placed.itemTexts.size());
    checkPositions(parse, whole.size(), start);

    // Every block of the text, as check and the pruning walk them.
    for (const auto keywords : {VelkoMenuView::MenuBlocks::Keywords::Live,
                                VelkoMenuView::MenuBlocks::Keywords::Anywhere}) {
        VelkoMenuView::MenuBlocks blocks(whole, keywords);
        VelkoMenuView::MenuBlock each;
        qsizetype last = -1;
        while (blocks.next(each)) {
            FUZZ_CHECK(each.start > last && each.start < whole.size());
            last = each.start;
            checkPositions(each.parse, whole.size(), each.start);
        }
        for (const VelkoMenuView::KeywordHit &stray : blocks.strayClosings())
            FUZZ_CHECK(stray.begin >= 0 && stray.begin < stray.end && stray.end <= whole.size());
    }

    if (ok) {
        formatItems(menu);
        FUZZ_CHECK(menu.itemLines.size() == menu.itemTexts.size());
        FUZZ_CHECK(menu.itemParams.size() == menu.itemTexts.size());
    }
    return 0;
}
