// The one way from a cursor in a text to what the screen shows: locate the
// menu, parse it with positions, take the values stored for its items,
// format its lines, or say why there is nothing to show and where. The pane,
// render, hover, the checks and the pruning all come through here.
#pragma once

#include "menuview/analysis/menublocks.h"
#include "menuview/analysis/menulocator.h"
#include "menuview/analysis/parsemessages.h"

#include <functional>

namespace VelkoMenuView {

// The values stored for a menu's items, one list per item (empty for none);
// items of one text are told apart by their tags (MenuParse::itemTags).
using StoredValues = std::function<QList<QStringList>(
        const QString &menuName, const QStringList &itemTexts, const QStringList &itemTags)>;
// The line and column of an offset, as the caller counts them cheapest.
using PositionOf = std::function<TextPosition(qsizetype offset)>;

struct MenuPreview
{
    using Outcome = MenuOutcome; // never Inside

    Outcome outcome = Outcome::NoMenu;
    MenuLocation location; // where the menu starts; the group it needs taken
    MenuBlock block; // the parse with its positions, and the menu read
    qsizetype begin = -1; // the definition: its opening keyword
    qsizetype end = -1; // past its closing macro, or where reading stopped
    qsizetype last = -1; // its last character a reader names: the closing ")" or keyword
    qsizetype failureAt = -1;
    QString failure;
};

// The menu around `cursor` of the text `source` reads. `positionOf` gives
// the lines messages name; lines formatted before in `shown` are kept.
MenuPreview previewMenu(SourceReading &source, qsizetype cursor, const StoredValues &values,
                        const PositionOf &positionOf,
                        const ParseMessageTexts &texts = ParseMessageTexts::english(),
                        const MenuDefinition *shown = nullptr);

// The same for a block a walk over all menus found. Without `values` the
// lines are not formatted (the pruning needs only names and item texts);
// without `positionOf` no failure is put in words.
MenuPreview previewBlock(SourceReading &source, const MenuBlock &block, const StoredValues &values,
                         const PositionOf &positionOf = {},
                         const ParseMessageTexts &texts = ParseMessageTexts::english(),
                         const MenuDefinition *shown = nullptr);

} // namespace VelkoMenuView
