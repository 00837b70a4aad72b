// The menu around a cursor, found in one forward pass up to the cursor.
#include "menuview/analysis/menulocator.h"
#include "menuview/analysis/menukeywords.h"

#include "creader/macroarguments.h"
#include "creader/sourcereading.h"

namespace VelkoMenuView {

namespace {

// Where the closing macro of `keyword` ends: its ")", the text's end for an
// unterminated title literal or a missing ")"; -1 (and *unsettled) when it
// has no "(" or no "," yet. A keyword a macro writes ends with the invocation.
qsizetype closingMacroEnd(SourceReading &source, const KeywordHit &keyword, bool *unsettled)
{
    if (keyword.expanded)
        return keyword.end - 1;
    SourceReader reader(source.text, keyword.end, &source.facts);
    const MacroArguments arguments = readMacroArguments(reader, [&](const Token &token) {
        const MenuKeyword keyword = keywordOf(reader, token);
        return keyword == MenuKeyword::Begin || keyword == MenuKeyword::BeginEditable;
    });
    if (arguments.open < 0 || arguments.commas.isEmpty()) {
        *unsettled = true;
        return -1;
    }
    for (qsizetype i = 1; i < arguments.list.size(); ++i) {
        if (arguments.list[i].unterminated)
            return source.text.size();
    }
    return arguments.close >= 0 ? arguments.close : source.text.size();
}

} // namespace

QList<qsizetype> groupsToTake(SourceReading &source, const KeywordHit &keyword)
{
    QList<qsizetype> groups;
    // Nested groups come to light one by one.
    for (KeywordHit hit = keyword; !hit.active() && groups.size() < 16;) {
        if (groups.contains(hit.inactiveGroup))
            return {};
        groups.append(hit.inactiveGroup);
        ReadOptions context = source.facts.context;
        context.forcedGroups = groups;
        SourceReading taken(source.text, menuKeywords(), context);
        SourceReader reader(source.text, 0, &taken.facts);
        do
            hit = reader.nextKeyword(keyword.begin + 1);
        while (keywordOf(hit) != MenuKeyword::None && hit.begin < keyword.begin);
        if (hit.begin != keyword.begin)
            return {};
    }
    return groups;
}

MenuLocation locateMenuAt(SourceReading &source, qsizetype offset)
{
    const QStringView text = source.text;
    MenuLocation location;
    KeywordHit opening;
    MenuKeyword closingKind = MenuKeyword::None;
    KeywordHit ownClosing; // the first closing keyword of the menu's kind after it
    KeywordHit lastClosing; // the last closing keyword after that one, or of no menu
    const auto visit = [&](const KeywordHit &hit) {
        switch (keywordOf(hit)) {
        case MenuKeyword::Begin:
        case MenuKeyword::BeginEditable:
            opening = hit;
            closingKind = keywordOf(hit) == MenuKeyword::Begin ? MenuKeyword::End
                                                               : MenuKeyword::EndEditable;
            ownClosing = {};
            lastClosing = {};
            break;
        case MenuKeyword::End:
        case MenuKeyword::EndEditable:
            // Closing keywords the compiler leaves out close nothing.
            if (!hit.active())
                break;
            if (keywordOf(opening) != MenuKeyword::None && opening.active()
                && keywordOf(ownClosing) == MenuKeyword::None) {
                if (keywordOf(hit) == closingKind)
                    ownClosing = hit;
            } else {
                lastClosing = hit;
            }
            break;
        case MenuKeyword::Item:
        case MenuKeyword::None:
            break;
        }
    };
    // A keyword that starts at the offset counts. Those found before are
    // taken from the facts, one after the other.
    const qsizetype limit = offset < 0 ? 0 : qMin(offset, text.size() - 1) + 1;
    const QList<KeywordHit> &known = source.facts.keywords;
    qsizetype next = 0;
    for (; next < known.size() && known.at(next).begin < limit; ++next)
        visit(known.at(next));
    SourceReader reader(text, next > 0 ? known.at(next - 1).end : 0, &source.facts);
    for (KeywordHit hit = reader.nextKeyword(limit); keywordOf(hit) != MenuKeyword::None;
         hit = reader.nextKeyword(limit))
        visit(hit);

    if (keywordOf(opening) != MenuKeyword::None && !opening.active()) {
        // Read as if its groups were taken: there it is compiled.
        const QList<qsizetype> groups = groupsToTake(source, opening);
        if (!groups.isEmpty()) {
            ReadOptions context = source.facts.context;
            context.forcedGroups = groups;
            SourceReading taken(text, menuKeywords(), context);
            location = locateMenuAt(taken, offset);
            if (location.outcome == MenuLocation::Outcome::Inside
                && location.start == opening.begin) {
                location.inactiveGroup = opening.inactiveGroup;
                location.takenGroups = groups;
                return location;
            }
        }
        location = MenuLocation();
    } else if (keywordOf(opening) != MenuKeyword::None) {
        const qsizetype start = opening.begin;
        // A closing keyword before the opening one belongs to an earlier menu,
        // however unfinished that menu's macro is.
        qsizetype end = -1;
        if (keywordOf(ownClosing) != MenuKeyword::None) {
            bool unsettled = false;
            end = closingMacroEnd(source, ownClosing, &unsettled);
            if (unsettled) {
                location.outcome = MenuLocation::Outcome::Unsettled;
                return location;
            }
        }
        if (start <= offset && (end < 0 || offset <= end)) {
            location.outcome = MenuLocation::Outcome::Inside;
            location.start = start;
            return location;
        }
    }
    if (keywordOf(lastClosing) != MenuKeyword::None) {
        bool unsettled = false;
        const qsizetype end = closingMacroEnd(source, lastClosing, &unsettled);
        if (unsettled || offset <= end) {
            location.outcome = MenuLocation::Outcome::StrayClosing;
            location.start = lastClosing.begin;
        }
    }
    return location;
}

} // namespace VelkoMenuView
