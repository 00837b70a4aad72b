// The menu definition parser: keywords, name, closing macro, title and item
// argument lists, over the tokens of the C scanner.
#include "menuview/analysis/menuparser.h"

#include "menuview/analysis/constantindex.h"
#include "menuview/analysis/cscanner.h"
#include "menuview/analysis/keywordscan.h"

using VelkoMenuView::ConstantIndex;
using VelkoMenuView::CScanner;
using VelkoMenuView::isOpeningKeyword;
using VelkoMenuView::MenuKeyword;
using VelkoMenuView::menuKeyword;
using VelkoMenuView::Token;

namespace {

const QStringView endMenu(u"END_MENU");
const QStringView endEditableMenu(u"END_EDITABLE_MENU");

// Position of the ")" that closes the argument list whose "(" is at `open`,
// or -1 when the text or `limit` comes first. Parentheses in comments and
// literals do not count.
qsizetype argumentsEnd(QStringView text, qsizetype open, qsizetype limit)
{
    CScanner scanner(text, open + 1);
    qsizetype depth = 0;
    for (Token token = scanner.next(); token.kind != Token::Kind::End && token.begin <= limit;
         token = scanner.next()) {
        if (token.is(u'(')) {
            ++depth;
        } else if (token.is(u')')) {
            if (depth == 0)
                return token.begin;
            --depth;
        }
    }
    return -1;
}

// The keywords of the body, read up to the closing keyword of the menu's kind.
// A menu ends where the next one begins: a keyword found beyond that belongs
// to another menu.
struct Body
{
    qsizetype closing = -1;
    qsizetype otherClosing = -1; // the first closing keyword of the other kind
    QList<qsizetype> items; // MENU_ITEM keywords before the closing one
};

Body readBody(QStringView text, qsizetype from, MenuKeyword closing, MenuKeyword otherClosing)
{
    Body body;
    VelkoMenuView::KeywordScan scan(text, from);
    for (VelkoMenuView::KeywordHit hit = scan.next(); hit.keyword != MenuKeyword::None;
         hit = scan.next()) {
        if (hit.keyword == MenuKeyword::Item) {
            body.items.append(hit.begin);
        } else if (hit.keyword == closing) {
            body.closing = hit.begin;
            break;
        } else if (hit.keyword == otherClosing) {
            if (body.otherClosing < 0)
                body.otherClosing = hit.begin;
        } else {
            break; // the next menu's opening keyword
        }
    }
    return body;
}

} // namespace

bool parseMenu(MenuDefinition &menu)
{
    return parseMenu(menu, nullptr, nullptr);
}

bool parseMenu(MenuDefinition &menu, ParseError *error, qsizetype *errorOffset)
{
    ConstantIndex constants(menu.preamble);
    MenuParse parse;
    const bool ok = parseMenuAt(menu, menu.source, 0, constants, menu.preamble.size(), &parse);
    if (error)
        *error = parse.error;
    if (errorOffset)
        *errorOffset = parse.errorOffset;
    return ok;
}

bool parseMenuAt(MenuDefinition &menu, QStringView text, qsizetype start, ConstantIndex &constants,
                 qsizetype preambleEnd, MenuParse *parse)
{
    MenuParse scratch;
    MenuParse &p = parse ? *parse : scratch;
    p = MenuParse();
    const auto fail = [&](ParseError reason, qsizetype offset) {
        p.error = reason;
        p.errorOffset = offset;
        return false;
    };

    menu.name.clear();

    VelkoMenuView::KeywordScan openings(text, start);
    VelkoMenuView::KeywordHit opening = openings.next();
    while (opening.keyword != MenuKeyword::None && opening.keyword != MenuKeyword::Begin
           && opening.keyword != MenuKeyword::BeginEditable)
        opening = openings.next();
    if (opening.keyword == MenuKeyword::None)
        return fail(ParseError::NoOpeningKeyword, -1);
    p.opening = opening.begin;
    p.editable = opening.keyword == MenuKeyword::BeginEditable;
    const qsizetype afterOpening = opening.end;
    CScanner scanner(text, afterOpening);
    Token token;

    const Body body
            = readBody(text, afterOpening, p.editable ? MenuKeyword::EndEditable : MenuKeyword::End,
                       p.editable ? MenuKeyword::End : MenuKeyword::EndEditable);
    if (body.closing < 0) {
        if (body.otherClosing >= 0)
            return fail(ParseError::WrongClosingKeyword, body.otherClosing);
        return fail(ParseError::NoClosingKeyword, p.opening);
    }
    const qsizetype endMark = body.closing;

    // The name: "(" right after the keyword, up to the first ")".
    scanner.setPosition(afterOpening);
    token = scanner.next();
    if (!token.is(u'('))
        return fail(ParseError::NoNameParentheses, p.opening);
    p.nameOpen = token.begin;
    p.nameClose = text.indexOf(u')', p.nameOpen);
    if (p.nameClose < 0)
        return fail(ParseError::NoNameParentheses, p.opening);
    const QStringView name = text.sliced(p.nameOpen + 1, p.nameClose - p.nameOpen - 1).trimmed();

    // The closing macro: "(", the name up to ",", the title up to its ")".
    p.closing = endMark;
    scanner.setPosition(endMark + (p.editable ? endEditableMenu : endMenu).size());
    token = scanner.next();
    if (!token.is(u'('))
        return fail(ParseError::NoClosingArguments, endMark);
    p.closingOpen = token.begin;
    // A closing macro never holds the next menu: its opening keyword ends
    // the search, however the parentheses stand.
    const auto endsMacro = [&](const Token &t) {
        return t.kind == Token::Kind::End
                || (t.kind == Token::Kind::Identifier && isOpeningKeyword(scanner.textOf(t)));
    };
    qsizetype depth = 0;
    while (p.comma < 0) {
        token = scanner.next();
        if (endsMacro(token) || (token.is(u')') && depth == 0))
            return fail(ParseError::NoClosingArguments, endMark);
        if (token.is(u'('))
            ++depth;
        else if (token.is(u')'))
            --depth;
        else if (token.is(u',') && depth == 0)
            p.comma = token.begin;
    }
    if (text.sliced(p.closingOpen + 1, p.comma - p.closingOpen - 1).trimmed() != name)
        return fail(ParseError::NameMismatch, endMark);

    menu.name = name.toString();
    menu.title.clear();
    qsizetype titleEnd = text.size();
    for (token = scanner.next(); !endsMacro(token); token = scanner.next()) {
        if (token.kind == Token::Kind::String && token.unterminated)
            p.titleUnterminated = true;
        if (token.is(u'(')) {
            ++depth;
        } else if (token.is(u')')) {
            if (depth == 0) {
                titleEnd = p.closingClose = token.begin;
                break;
            }
            --depth;
        }
    }
    if (p.closingClose < 0)
        titleEnd = token.begin;
    // While the title is being typed the menu still shows, with no title.
    if (!p.titleUnterminated)
        menu.title = readLiteral(text.sliced(p.comma + 1, titleEnd - p.comma - 1), constants,
                                 preambleEnd, &p.title);

    menu.itemTexts.clear();
    qsizetype scan = p.nameClose + 1;
    for (const qsizetype keyword : body.items) {
        if (keyword < scan)
            continue; // inside the name's parentheses or an earlier item's arguments
        const qsizetype open = text.indexOf(u'(', keyword);
        if (open < 0)
            return true;
        const qsizetype end = argumentsEnd(text, open, endMark);
        if (end < 0 || end > endMark)
            return fail(ParseError::UnclosedItem, keyword);
        ItemPosition item {keyword, open, end, {}};
        menu.itemTexts.append(readLiteral(text.sliced(open + 1, end - open - 1), constants,
                                          preambleEnd, &item.notes));
        p.items.append(item);
        scan = end + 1;
    }
    return true;
}
