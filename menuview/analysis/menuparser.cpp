// The menu definition parser: the body's keywords from the quick pass, each
// macro's arguments from the tokens, texts from the text argument reader.
#include "menuview/analysis/menuparser.h"

#include "menuview/analysis/macroarguments.h"
#include "menuview/analysis/sourcetext.h"

using namespace VelkoMenuView;

namespace {

using Range = MacroArguments::Range;

// Tokens as the preprocessor's "#" would spell them: one space where the
// source has white space or a comment.
QString spelled(QStringView text, Range range, bool spaced = false)
{
    QString result;
    CScanner lexer(text, range.begin);
    lexer.setPosition(range.begin, false);
    for (Token token = lexer.next(); token.kind != Token::Kind::End && token.begin < range.end;
         token = lexer.next()) {
        if (token.startsDirective()) {
            lexer.skipLine();
            continue;
        }
        if ((spaced || token.spaceBefore) && !result.isEmpty())
            result += QLatin1Char(' ');
        result += lexer.spelling(token);
    }
    return result;
}

// The keywords of the body, read up to the closing keyword of the menu's
// kind. A menu ends where the next one begins: a keyword beyond that belongs
// to another menu.
struct Body
{
    KeywordHit closing;
    qsizetype otherClosing = -1; // the first closing keyword of the other kind
    qsizetype next = -1; // the next menu's opening keyword
    QList<KeywordHit> items; // MENU_ITEM keywords before the closing one
};

Body readBody(SourceReader &reader, MenuKeyword closing)
{
    Body body;
    for (KeywordHit hit = reader.nextKeyword(); hit.keyword != MenuKeyword::None;
         hit = reader.nextKeyword()) {
        if (!hit.active())
            continue; // in a group the compiler leaves out
        if (hit.keyword == MenuKeyword::Item) {
            body.items.append(hit);
        } else if (hit.keyword == closing) {
            body.closing = hit;
            break;
        } else if (hit.keyword == MenuKeyword::End || hit.keyword == MenuKeyword::EndEditable) {
            if (body.otherClosing < 0)
                body.otherClosing = hit.begin;
        } else {
            body.next = hit.begin;
            break;
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
    // The preamble is read as the text before the definition.
    const QString whole = menu.preamble + menu.source;
    SourceText source(whole);
    const qsizetype start = menu.preamble.size();
    SourceReader preamble(whole, 0, &source.facts);
    while (preamble.nextKeyword(start).keyword != MenuKeyword::None) { }
    MenuParse parse;
    const bool ok = parseMenuAt(menu, source, start, &parse);
    if (error)
        *error = parse.error;
    if (errorOffset)
        *errorOffset = parse.errorOffset < 0 ? -1 : parse.errorOffset - start;
    return ok;
}

bool parseMenuAt(MenuDefinition &menu, SourceText &source, qsizetype start, MenuParse *parse,
                 bool live)
{
    MenuParse scratch;
    MenuParse &p = parse ? *parse : scratch;
    p = MenuParse();
    const QStringView text = source.text;
    const auto recording = live ? SourceReader::Recording::On : SourceReader::Recording::Off;
    const auto fail = [&](ParseError reason, qsizetype offset) {
        p.error = reason;
        p.errorOffset = offset;
        return false;
    };

    menu.name.clear();
    SourceReader reader(text, start, &source.facts, recording);
    KeywordHit opening = reader.nextKeyword();
    while (opening.keyword != MenuKeyword::None && opening.keyword != MenuKeyword::Begin
           && opening.keyword != MenuKeyword::BeginEditable)
        opening = reader.nextKeyword();
    if (opening.keyword == MenuKeyword::None)
        return fail(ParseError::NoOpeningKeyword, -1);
    p.opening = opening.begin;
    p.editable = opening.keyword == MenuKeyword::BeginEditable;
    p.end = text.size();

    const Body body = readBody(reader, p.editable ? MenuKeyword::EndEditable : MenuKeyword::End);
    // The name: "(" right after the keyword, up to the ")" that balances it.
    SourceReader nameReader(text, opening.end, &source.facts, recording);
    const MacroArguments name = readMacroArguments(nameReader, [&](const Token &token) {
        return keywordOf(nameReader, token) != MenuKeyword::None;
    });
    if (name.open >= 0 && name.close >= 0) {
        p.nameOpen = name.open;
        p.nameClose = name.close;
    }
    if (body.closing.keyword == MenuKeyword::None) {
        if (body.next >= 0)
            p.end = body.next;
        if (body.otherClosing >= 0)
            return fail(ParseError::WrongClosingKeyword, body.otherClosing);
        return fail(ParseError::NoClosingKeyword, p.opening);
    }
    p.closing = body.closing.begin;
    p.end = body.closing.end;
    if (p.nameClose < 0)
        return fail(ParseError::NoNameParentheses, p.opening);
    const QString menuName = spelled(text, {name.open + 1, name.close});

    // The closing macro: "(", the name, ",", the title, ")". It never holds
    // the next menu: an opening keyword ends it, however the parentheses stand.
    SourceReader closingReader(text, body.closing.end, &source.facts, recording);
    const MacroArguments closing = readMacroArguments(closingReader, [&](const Token &token) {
        const MenuKeyword keyword = keywordOf(closingReader, token);
        return keyword == MenuKeyword::Begin || keyword == MenuKeyword::BeginEditable;
    });
    if (closing.open < 0 || closing.commas.isEmpty())
        return fail(ParseError::NoClosingArguments, p.closing);
    p.closingOpen = closing.open;
    p.comma = closing.commas.first();
    if (spelled(text, closing.list.first()) != menuName)
        return fail(ParseError::NameMismatch, p.closing);

    menu.name = menuName;
    menu.title.clear();
    p.closingClose = closing.close;
    p.end = closing.close >= 0 ? closing.close + 1 : closing.stop;
    const Range title = closing.list.at(1);
    p.titleBegin = title.begin;
    p.titleEnd = title.end;
    p.titleUnterminated = title.unterminated;
    const TextContext context = source.context();
    // While the title is being typed the menu still shows, with no title.
    if (!p.titleUnterminated)
        menu.title = readTextArgument(text, title.begin, title.end, title.begin, context, &p.title);

    menu.itemTexts.clear();
    qsizetype scan = p.nameClose + 1;
    for (const KeywordHit &keyword : body.items) {
        if (keyword.begin < scan)
            continue; // inside the name's parentheses or an earlier item's arguments
        SourceReader itemReader(text, keyword.end, &source.facts, recording);
        const MacroArguments arguments = readMacroArguments(
                itemReader, [&](const Token &token) { return token.begin >= p.closing; });
        // Without "(" it is no macro call, and the compiler stops there too.
        if (arguments.open < 0 || arguments.close < 0)
            return fail(ParseError::UnclosedItem, keyword.begin);
        const Range first = arguments.list.first();
        ItemPosition item {
                keyword.begin, arguments.open, arguments.close, first.begin, first.end, {}, {}};
        // Spaced alike whatever the layout: reformatting keeps the twins' keys.
        if (arguments.list.size() > 1)
            item.tag = spelled(text, {arguments.list.at(1).begin, arguments.list.constLast().end},
                               true);
        menu.itemTexts.append(
                readTextArgument(text, first.begin, first.end, first.begin, context, &item.notes));
        p.items.append(item);
        scan = arguments.close + 1;
    }
    return true;
}
