// MenuItems::analyze: find the menu definition the cursor stands in, parse it,
// load its stored values and format its lines.
#include "menuview/analysis/menuitems.h"

#include "menuview/analysis/itemformat.h"
#include "menuview/analysis/menuparser.h"
#include "menuview/analysis/sourcescan.h"

namespace {

const QLatin1StringView beginMenu("BEGIN_MENU");
const QLatin1StringView beginEditableMenu("BEGIN_EDITABLE_MENU");
const QLatin1StringView endMenu("END_MENU");
const QLatin1StringView endEditableMenu("END_EDITABLE_MENU");

// Start of the last occurrence of keyword that starts at or before offset.
qsizetype lastAtOrBefore(QStringView text, QLatin1StringView keyword, qsizetype offset)
{
    if (offset < 0)
        return -1;
    return lastIndexAtOrBefore(text, keyword, qMin(offset, text.size()));
}

// The opening keyword of either kind that starts last at or before offset,
// found in one backward search that stops at the nearest one.
qsizetype lastOpeningAtOrBefore(QStringView text, qsizetype offset, bool *editable)
{
    const QLatin1StringView common("BEGIN_");
    for (qsizetype at = lastAtOrBefore(text, common, offset); at >= 0;
         at = lastAtOrBefore(text, common, at - 1)) {
        const QStringView rest = text.sliced(at);
        if (rest.startsWith(beginMenu) || rest.startsWith(beginEditableMenu)) {
            *editable = rest.startsWith(beginEditableMenu);
            return at;
        }
    }
    return -1;
}

// Index just after the cursor. Lines past the last one wrap around to the
// start of the text, so only the remainder of a full cycle needs walking;
// the line feeds are counted only when the walk runs out of them.
qsizetype cursorOffset(QStringView text, qint32 line, qint32 column)
{
    qsizetype steps = qMax<qint64>(0, qint64(line) - 1);
    qsizetype offset = 0;
    for (qsizetype n = 0; n < steps; ++n) {
        const qsizetype lineFeed = text.indexOf(QLatin1Char('\n'), offset);
        if (lineFeed < 0) {
            // The text has n line feeds: lines cycle with period n + 1.
            steps %= n + 1;
            offset = 0;
            for (qsizetype k = 0; k < steps; ++k)
                offset = text.indexOf(QLatin1Char('\n'), offset) + 1;
            break;
        }
        offset = lineFeed + 1;
    }
    return offset + qsizetype(column) - 1;
}

enum class EndMark { Found, LeaveAlone };

// End of the closing macro: its ")" after the title literals, the text's end
// for an unterminated literal or a missing ")", -1 when there is no closing
// keyword or no title literal.
EndMark closingMacroEnd(QStringView text, QLatin1StringView closing, qsizetype offset, qsizetype *end)
{
    *end = -1;
    const qsizetype keyword = lastAtOrBefore(text, closing, offset);
    if (keyword < 0)
        return EndMark::Found;
    const qsizetype open = text.indexOf(QLatin1Char('('), keyword);
    const qsizetype comma = open < 0 ? -1 : text.indexOf(QLatin1Char(','), open);
    if (comma < 0)
        return EndMark::LeaveAlone;
    qsizetype quote = text.indexOf(QLatin1Char('"'), comma);
    while (quote >= 0) {
        const qsizetype close = closingQuote(text, quote + 1);
        if (close < 0) {
            *end = text.size();
            return EndMark::Found;
        }
        qsizetype next = close + 1;
        while (next < text.size() && text[next] != QLatin1Char('"') && text[next] != QLatin1Char(')'))
            ++next;
        if (next >= text.size()) {
            *end = text.size();
            return EndMark::Found;
        }
        if (text[next] == QLatin1Char(')')) {
            *end = next;
            return EndMark::Found;
        }
        quote = next;
    }
    return EndMark::Found;
}

} // namespace

void MenuItems::analyze()
{
    const QStringView text(documentText);
    const qsizetype offset = cursorOffset(text, cursorLine, cursorColumn);

    bool editable = false;
    const qsizetype start = lastOpeningAtOrBefore(text, offset, &editable);
    if (start < 0) {
        menuValid = false;
        update();
        return;
    }
    const QLatin1StringView closing = editable ? endEditableMenu : endMenu;

    qsizetype end = -1;
    if (closingMacroEnd(text, closing, offset, &end) == EndMark::LeaveAlone)
        return;

    const bool inside = (start <= offset && offset <= end) || (end <= start && start <= offset);
    if (!inside) {
        menuValid = false;
        update();
        return;
    }

    menu.preamble = documentText.left(start);
    menu.source = documentText.mid(start);
    menuValid = parseMenu(menu);
    if (menuValid) {
        loadSettingsParams();
        formatItems(menu);
    }
    update();
    emit analyzed();
}
