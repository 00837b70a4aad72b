// The menu around a cursor, found in one forward pass up to the cursor.
#include "menuview/analysis/menulocator.h"

#include "menuview/analysis/cscanner.h"
#include "menuview/analysis/keywordscan.h"

namespace VelkoMenuView {

namespace {

// Where the closing macro whose keyword ends at `from` ends: its ")", the
// text's end for an unterminated title literal or a missing ")"; -1 (and
// *unsettled) when it has no "(" or no "," yet.
qsizetype closingMacroEnd(QStringView text, qsizetype from, bool *unsettled)
{
    CScanner scanner(text, from);
    Token token = scanner.next();
    if (!token.is(u'(')) {
        *unsettled = true;
        return -1;
    }
    qsizetype depth = 0;
    bool comma = false;
    for (token = scanner.next(); token.kind != Token::Kind::End; token = scanner.next()) {
        if (token.kind == Token::Kind::Identifier) {
            if (isOpeningKeyword(scanner.textOf(token)))
                break; // the next menu: this macro is not finished
        } else if (token.kind == Token::Kind::String && token.unterminated && comma) {
            return text.size();
        } else if (token.is(u'(')) {
            ++depth;
        } else if (token.is(u')')) {
            if (depth == 0) {
                if (!comma)
                    break;
                return token.begin;
            }
            --depth;
        } else if (token.is(u',') && depth == 0) {
            comma = true;
        }
    }
    if (!comma) {
        *unsettled = true;
        return -1;
    }
    return text.size();
}

} // namespace

qsizetype cursorOffset(QStringView text, qint32 line, qint32 column, qsizetype *lineStart)
{
    if (lineStart)
        *lineStart = -1;
    // Only the remainder of a full cycle of lines needs walking; the line
    // feeds are counted only when the walk runs out of them.
    qsizetype steps = qMax<qint64>(0, qint64(line) - 1);
    qsizetype offset = 0;
    for (qsizetype n = 0; n < steps; ++n) {
        const qsizetype lineFeed = text.indexOf(u'\n', offset);
        if (lineFeed < 0) {
            // The text has n line feeds: lines cycle with period n + 1.
            steps %= n + 1;
            offset = 0;
            for (qsizetype k = 0; k < steps; ++k)
                offset = text.indexOf(u'\n', offset) + 1;
            return offset + qsizetype(column) - 1;
        }
        offset = lineFeed + 1;
    }
    if (lineStart && line >= 1)
        *lineStart = offset;
    return offset + qsizetype(column) - 1;
}

MenuLocation locateMenuAt(QStringView text, qsizetype offset)
{
    MenuLocation location;
    location.offset = offset;
    qsizetype start = -1;
    bool editable = false;
    // The last END_MENU and END_EDITABLE_MENU: where each starts and ends.
    qsizetype lastEnd[2] = {-1, -1};
    qsizetype lastEndAfter[2] = {-1, -1};
    KeywordScan scan(text);
    // A keyword that starts at the offset counts.
    const qsizetype limit = offset < 0 ? 0 : qMin(offset, text.size() - 1) + 1;
    for (KeywordHit hit = scan.next(limit); hit.keyword != MenuKeyword::None;
         hit = scan.next(limit)) {
        switch (hit.keyword) {
        case MenuKeyword::Begin:
        case MenuKeyword::BeginEditable:
            start = hit.begin;
            editable = hit.keyword == MenuKeyword::BeginEditable;
            break;
        case MenuKeyword::End:
        case MenuKeyword::EndEditable: {
            const int kind = hit.keyword == MenuKeyword::EndEditable ? 1 : 0;
            lastEnd[kind] = hit.begin;
            lastEndAfter[kind] = hit.end;
            break;
        }
        case MenuKeyword::Item:
        case MenuKeyword::None:
            break;
        }
    }
    if (start < 0)
        return location;

    // A closing keyword before the opening one belongs to an earlier menu,
    // however unfinished that menu's macro is.
    qsizetype end = -1;
    const int kind = editable ? 1 : 0;
    if (lastEnd[kind] > start) {
        bool unsettled = false;
        end = closingMacroEnd(text, lastEndAfter[kind], &unsettled);
        if (unsettled) {
            location.outcome = MenuLocation::Outcome::Unsettled;
            return location;
        }
    }
    const bool inside = (start <= offset && offset <= end) || (end <= start && start <= offset);
    if (inside) {
        location.outcome = MenuLocation::Outcome::Inside;
        location.start = start;
    }
    return location;
}

} // namespace VelkoMenuView
