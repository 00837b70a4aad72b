// The menu around a cursor, found in one forward pass up to the cursor.
#include "menuview/analysis/menulocator.h"

#include "menuview/analysis/cscanner.h"

namespace VelkoMenuView {

namespace {

enum class Keyword { None, Begin, BeginEditable, End, EndEditable };

Keyword keywordOf(QStringView word)
{
    if (word == u"BEGIN_MENU")
        return Keyword::Begin;
    if (word == u"BEGIN_EDITABLE_MENU")
        return Keyword::BeginEditable;
    if (word == u"END_MENU")
        return Keyword::End;
    if (word == u"END_EDITABLE_MENU")
        return Keyword::EndEditable;
    return Keyword::None;
}

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
            const Keyword k = keywordOf(scanner.textOf(token));
            if (k == Keyword::Begin || k == Keyword::BeginEditable)
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

qsizetype cursorOffset(QStringView text, qint32 line, qint32 column)
{
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
            break;
        }
        offset = lineFeed + 1;
    }
    return offset + qsizetype(column) - 1;
}

MenuLocation locateMenuAt(QStringView text, qsizetype offset)
{
    MenuLocation location;
    location.offset = offset;
    qsizetype start = -1;
    bool editable = false;
    Token lastEnd[2]; // END_MENU, END_EDITABLE_MENU
    bool seenEnd[2] = {false, false};
    CScanner scanner(text);
    for (Token token = scanner.next(); token.kind != Token::Kind::End && token.begin <= offset;
         token = scanner.next()) {
        if (token.kind != Token::Kind::Identifier)
            continue;
        switch (keywordOf(scanner.textOf(token))) {
        case Keyword::Begin:
        case Keyword::BeginEditable:
            start = token.begin;
            editable = keywordOf(scanner.textOf(token)) == Keyword::BeginEditable;
            break;
        case Keyword::End:
        case Keyword::EndEditable: {
            const int kind = keywordOf(scanner.textOf(token)) == Keyword::EndEditable ? 1 : 0;
            lastEnd[kind] = token;
            seenEnd[kind] = true;
            break;
        }
        case Keyword::None:
            break;
        }
    }
    if (start < 0)
        return location;

    // A closing keyword before the opening one belongs to an earlier menu,
    // however unfinished that menu's macro is.
    qsizetype end = -1;
    const int kind = editable ? 1 : 0;
    if (seenEnd[kind] && lastEnd[kind].begin > start) {
        bool unsettled = false;
        end = closingMacroEnd(text, lastEnd[kind].end, &unsettled);
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
