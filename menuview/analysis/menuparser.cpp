// The menu definition scanner: keywords, name, title and item argument lists.
#include "menuview/analysis/menuparser.h"

#include "menuview/analysis/commenttracker.h"
#include "menuview/analysis/sourcescan.h"

namespace {

struct Keywords
{
    QStringView closing;
    qsizetype start = -1;
};

Keywords openingKeyword(QStringView source)
{
    // The first opening keyword of either kind: both begin alike, so one
    // forward search finds it, however far the other kind is.
    for (qsizetype at = source.indexOf(u"BEGIN_"); at >= 0; at = source.indexOf(u"BEGIN_", at + 1)) {
        const QStringView rest = source.sliced(at);
        if (rest.startsWith(u"BEGIN_MENU"))
            return {u"END_MENU", at};
        if (rest.startsWith(u"BEGIN_EDITABLE_MENU"))
            return {u"END_EDITABLE_MENU", at};
    }
    return {u"END_MENU", -1};
}

// Adjacent literals up to the ")" of the closing keyword, as written: the
// device shows the title without decoding escapes.
QString readTitle(QStringView source, qsizetype from)
{
    QString title;
    qsizetype open = source.indexOf(u'"', from);
    while (open >= 0) {
        const qsizetype close = closingQuote(source, open + 1);
        if (close < 0)
            break;
        title += source.sliced(open + 1, close - open - 1);
        open = nextLiteral(source, close + 1, u')');
    }
    return title;
}

// Runs `comments` over [from, keyword) and tells whether the keyword ends up
// inside a comment. The tracker is the caller's, so that a block comment
// holding several item keywords hides all of them.
bool isCommentedOut(QStringView source, qsizetype from, qsizetype keyword, CommentTracker &comments)
{
    for (qsizetype pos = from; pos < keyword; ++pos)
        comments.step(source, pos);
    return comments.inComment();
}

// Position of the ")" that closes the argument list opened at `open`, or -1
// when it is not found up to `limit`. Parentheses in comments and literals
// do not count.
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

} // namespace

bool parseMenu(MenuDefinition &menu)
{
    return parseMenu(menu, nullptr, nullptr);
}

bool parseMenu(MenuDefinition &menu, ParseError *error, qsizetype *errorOffset)
{
    return parseMenuText(menu, menu.preamble, menu.source, error, errorOffset);
}

bool parseMenuText(MenuDefinition &menu, QStringView preamble, QStringView source, ParseError *error,
                   qsizetype *errorOffset)
{
    const auto finish = [&](ParseError reason, qsizetype offset) {
        if (error)
            *error = reason;
        if (errorOffset)
            *errorOffset = offset;
        return reason == ParseError::None;
    };

    menu.name.clear();

    const Keywords keywords = openingKeyword(source);
    if (keywords.start < 0)
        return finish(ParseError::NoOpeningKeyword, -1);
    const qsizetype start = keywords.start;
    const qsizetype endMark = source.indexOf(keywords.closing, start);
    if (endMark < 0)
        return finish(ParseError::NoClosingKeyword, start);

    const qsizetype nameOpen = source.indexOf(u'(', start);
    const qsizetype nameClose = nameOpen < 0 ? -1 : source.indexOf(u')', nameOpen);
    if (nameClose < 0)
        return finish(ParseError::NoNameParentheses, start);
    const QStringView name = source.sliced(nameOpen + 1, nameClose - nameOpen - 1).trimmed();

    const qsizetype closingOpen = source.indexOf(u'(', endMark);
    const qsizetype comma = closingOpen < 0 ? -1 : source.indexOf(u',', closingOpen);
    if (comma < 0)
        return finish(ParseError::NoClosingArguments, endMark);
    if (source.sliced(closingOpen + 1, comma - closingOpen - 1).trimmed() != name)
        return finish(ParseError::NameMismatch, endMark);

    menu.name = name.toString();
    menu.title = readTitle(source, comma);
    menu.itemTexts.clear();

    // Item keywords that start after the closing keyword do not count, so the
    // search for the next one need not run on to the end of the text.
    const QStringView itemRange = source.first(qMin(source.size(), endMark + 9));
    CommentTracker betweenItems;
    qsizetype scan = nameClose + 1;
    qsizetype open = -1; // first "(" at or after the current keyword, kept while valid
    for (;;) {
        const qsizetype keyword = itemRange.indexOf(u"MENU_ITEM", scan);
        if (keyword < 0 || keyword > endMark)
            return finish(ParseError::None, -1);
        if (open < keyword)
            open = source.indexOf(u'(', keyword);
        if (open < 0)
            return finish(ParseError::None, -1);
        if (isCommentedOut(source, scan, keyword, betweenItems)) {
            scan = keyword + 1;
            continue;
        }
        const qsizetype end = argumentsEnd(source, open, endMark);
        if (end < 0 || end > endMark)
            return finish(ParseError::UnclosedItem, keyword);
        menu.itemTexts.append(
                decodeLiteral(preamble, source.sliced(open + 1, end - open - 1)));
        scan = end + 1;
    }
}
