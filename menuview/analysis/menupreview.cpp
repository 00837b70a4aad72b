// The steps of a preview, each one call to the unit that does it.
#include "menuview/analysis/menupreview.h"

#include "menuview/analysis/itemformat.h"

namespace VelkoMenuView {

MenuPreview previewBlock(SourceReading &source, const MenuBlock &block, const StoredValues &values,
                         const PositionOf &positionOf, const ParseMessageTexts &texts,
                         const MenuDefinition *shown)
{
    MenuPreview preview;
    preview.block = block;
    const MenuParse &p = block.parse;
    preview.begin = block.start;
    preview.end = qMax(p.end, block.start);
    if (!block.parsed) {
        preview.outcome = MenuPreview::Outcome::CannotRead;
        preview.failureAt = p.errorOffset >= 0 ? p.errorOffset : block.start;
        preview.last = preview.failureAt;
        if (positionOf)
            preview.failure = parseErrorMessage(source.text, positionOf(block.start), block, texts);
        return preview;
    }
    preview.outcome = MenuPreview::Outcome::Shown;
    preview.last = p.closingClose >= 0 ? p.closingClose : p.closing;
    if (values) {
        MenuDefinition &menu = preview.block.menu;
        menu.paramValues = values(menu.name, menu.itemTexts, p.itemTags());
        formatItems(menu, shown);
    }
    return preview;
}

MenuPreview previewMenu(SourceReading &source, qsizetype cursor, const StoredValues &values,
                        const PositionOf &positionOf, const ParseMessageTexts &texts,
                        const MenuDefinition *shown)
{
    const MenuLocation location = locateMenuAt(source, cursor);
    MenuPreview preview;
    preview.outcome = location.outcome;
    switch (location.outcome) {
    case MenuOutcome::StrayClosing:
        preview.begin = preview.failureAt = preview.last = location.start;
        preview.end = location.start;
        preview.failure = strayClosingMessage(source, location.start, texts);
        break;
    case MenuOutcome::Inside:
        preview = previewBlock(source, parseLocatedBlock(source, location), values, positionOf,
                               texts, shown);
        break;
    default:
        break;
    }
    preview.location = location;
    return preview;
}

} // namespace VelkoMenuView
