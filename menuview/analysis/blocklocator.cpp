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
    return text.lastIndexOf(keyword, qMin(offset, text.size()));
}

// Index just after the cursor. Lines past the last one wrap around to the
// start of the text, so only the remainder of a full cycle needs walking.
qsizetype cursorOffset(QStringView text, qint32 line, qint32 column)
{
    qsizetype steps = qMax<qint64>(0, qint64(line) - 1);
    if (steps > 0) {
        const qsizetype lineFeeds = text.count(QLatin1Char('\n'));
        steps %= lineFeeds + 1;
    }
    qsizetype offset = 0;
    for (qsizetype n = 0; n < steps; ++n)
        offset = text.indexOf(QLatin1Char('\n'), offset) + 1;
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

    const qsizetype b = lastAtOrBefore(text, beginMenu, offset);
    const qsizetype e = lastAtOrBefore(text, beginEditableMenu, offset);
    if (b < 0 && e < 0) {
        menuValid = false;
        update();
        return;
    }
    const qsizetype start = b > e ? b : e;
    const QLatin1StringView closing = b > e ? endMenu : endEditableMenu;

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
