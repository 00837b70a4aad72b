// The pruning's reading of a document: what may go is only what was read.
#include "menuview/params/menuclaims.h"
#include "menuview/analysis/menukeywords.h"

#include "menuview/analysis/menupreview.h"

#include <algorithm>

namespace VelkoMenuView {

namespace {

bool usesAnyOf(const LiteralNotes &notes, const QSet<QString> &names)
{
    return std::any_of(notes.names.cbegin(), notes.names.cend(),
                       [&](const QString &name) { return names.contains(name); });
}

// Whether a conditional directive stands between `begin` and `end`: items of
// the group not taken are another variant's.
bool holdsConditional(const TextRecord &facts, qsizetype begin, qsizetype end)
{
    const auto &marks = facts.conditions;
    const auto at = std::lower_bound(
            marks.cbegin(), marks.cend(), begin,
            [](const ConditionRecord &mark, qsizetype pos) { return mark.at < pos; });
    return at != marks.cend() && at->at < end;
}

// Whether every text of the block was read, and no other variant of the
// build could read them otherwise.
bool readCompletely(const MenuBlock &block, const UnitRecord &facts)
{
    const MenuParse &parse = block.parse;
    if (!parse.title.readable || parse.titleUnterminated
        || usesAnyOf(parse.title, facts.namesDefinedAside))
        return false;
    for (const ItemPosition &item : parse.items) {
        if (!item.notes.readable || usesAnyOf(item.notes, facts.namesDefinedAside))
            return false;
    }
    return !holdsConditional(facts, block.start, parse.end);
}

} // namespace

MenuClaims readMenuClaims(QStringView text, const ReadOptions &context)
{
    MenuClaims claims;
    const auto claim = [&](SourceReading &source, const MenuBlock &found) {
        const MenuPreview preview = previewBlock(source, found, {});
        const MenuDefinition &record = preview.block.menu;
        if (preview.outcome != MenuPreview::Outcome::Shown) {
            claims.complete = false;
            if (!record.name.isEmpty())
                claims.keepAll.insert(record.name);
            return;
        }
        if (record.name.isEmpty())
            return;
        if (!readCompletely(preview.block, source.facts)) {
            claims.keepAll.insert(record.name);
            return;
        }
        claims.menus[record.name].append({record.itemTexts, preview.block.parse.itemTags()});
    };
    MenuBlocks blocks(text, MenuBlocks::Keywords::Anywhere, context);
    for (MenuBlock found; blocks.next(found);)
        claim(blocks.source(), found);
    // A menu a macro writes stands in no text the walk above finds: the
    // compiler's walk does, over the same reading, where some macro may write
    // a keyword (the reading taken to the end to know).
    SourceReading &source = blocks.source();
    SourceReader rest(source.text, source.facts.lineStartBefore(source.facts.readTo),
                      &source.facts);
    while (keywordOf(rest.nextKeyword()) != MenuKeyword::None) { }
    if (source.facts.macros.producers().isEmpty())
        return claims;
    MenuBlocks written(source, MenuBlocks::Branches::All);
    for (MenuBlock found; written.next(found);) {
        if (!found.parse.openingMacro.isEmpty())
            claim(written.source(), found);
    }
    if (written.passedWrittenMenus())
        claims.complete = false;
    return claims;
}

} // namespace VelkoMenuView
