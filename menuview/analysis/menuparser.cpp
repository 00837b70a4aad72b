// The menu definition parser: the body's keywords from the quick pass, each
// macro's arguments from the tokens, texts from the text argument reader.
#include "menuview/analysis/menuparser.h"
#include "menuview/analysis/menukeywords.h"

#include "creader/macroarguments.h"
#include "creader/sourcereading.h"

#include <QHash>

using namespace VelkoMenuView;

namespace {

using Range = MacroArguments::Range;

// Tokens as the preprocessor's "#" would spell them: one space where the
// source has white space or a comment.
QString spelled(QStringView text, qsizetype begin, qsizetype end, bool spaced = false)
{
    QString result;
    CScanner lexer(text, begin);
    lexer.setPosition(begin, false);
    for (Token token = lexer.next(); token.kind != Token::Kind::End && token.begin < end;
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
    for (KeywordHit hit = reader.nextKeyword(); keywordOf(hit) != MenuKeyword::None;
         hit = reader.nextKeyword()) {
        if (!hit.active())
            continue; // in a group the compiler leaves out
        if (keywordOf(hit) == MenuKeyword::Item) {
            body.items.append(hit);
        } else if (keywordOf(hit) == closing) {
            body.closing = hit;
            break;
        } else if (keywordOf(hit) == MenuKeyword::End
                   || keywordOf(hit) == MenuKeyword::EndEditable) {
            if (body.otherClosing < 0)
                body.otherClosing = hit.begin;
        } else {
            body.next = hit.begin;
            break;
        }
    }
    return body;
}

// An argument as text: read again from the text, where a reading of
// literals alone is kept, unless a directive within it leaves some out.
QString readArgument(QStringView text, const Range &range, const TextLookup &context,
                     LiteralNotes *notes)
{
    if (range.directives)
        return readTextTokens(range.tokens, range.begin, context, notes);
    return readTextArgument(text, range.begin, range.end, range.begin, context, notes);
}

} // namespace

bool parseMenu(MenuDefinition &menu)
{
    // The preamble is read as the text before the definition.
    const QString whole = menu.preamble + menu.source;
    SourceReading source(whole, menuKeywords());
    const qsizetype start = menu.preamble.size();
    SourceReader preamble(whole, 0, &source.facts);
    while (keywordOf(preamble.nextKeyword(start)) != MenuKeyword::None) { }
    return parseMenuAt(menu, source, start);
}

namespace VelkoMenuView {

bool parseMenuAt(MenuDefinition &menu, SourceReading &source, qsizetype start, MenuParse *parse,
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
    while (keywordOf(opening) != MenuKeyword::None && keywordOf(opening) != MenuKeyword::Begin
           && keywordOf(opening) != MenuKeyword::BeginEditable)
        opening = reader.nextKeyword();
    if (keywordOf(opening) == MenuKeyword::None)
        return fail(ParseError::NoOpeningKeyword, -1);
    p.opening = opening.begin;
    p.editable = keywordOf(opening) == MenuKeyword::BeginEditable;
    p.end = text.size();

    const Body body = readBody(reader, p.editable ? MenuKeyword::EndEditable : MenuKeyword::End);
    // A keyword a macro writes: its call as the invocation's expansion has it.
    QHash<qsizetype, QList<KeywordCall>> invocations;
    const auto callOf = [&](const KeywordHit &hit) {
        auto known = invocations.constFind(hit.begin);
        if (known == invocations.cend()) {
            SourceReader invocation(text, hit.begin, &source.facts, recording);
            qsizetype end = hit.end;
            known = invocations.insert(hit.begin, invocation.expandInvocation(hit.begin, &end));
        }
        return known->value(hit.piece);
    };
    // The further arguments an expansion gave, spaced as a written item's.
    const auto tagOf = [](const KeywordCall &call) {
        QStringList spellings;
        for (qsizetype i = 1; i < call.arguments.size(); ++i) {
            if (i > 1)
                spellings << QStringLiteral(",");
            for (const PPToken &token : call.arguments.at(i))
                if (!token.isPadding())
                    spellings << token.spelled();
        }
        return spellings.join(QLatin1Char(' '));
    };
    // The name of the macro whose invocation wrote a keyword.
    const auto macroOf = [&](const KeywordHit &hit) {
        CScanner lexer(text, hit.begin);
        return lexer.spelling(lexer.next());
    };
    // The name: "(" right after the keyword, up to the ")" that balances it.
    QString menuName;
    if (opening.expanded) {
        const KeywordCall call = callOf(opening);
        p.openingMacro = macroOf(opening);
        if (call.called && !call.arguments.isEmpty()) {
            p.nameOpen = opening.begin;
            p.nameClose = opening.end - 1;
            menuName = MacroExpander::spelled(call.arguments.first());
        }
    } else {
        SourceReader nameReader(text, opening.end, &source.facts, recording);
        const MacroArguments name = readMacroArguments(nameReader, [&](const Token &token) {
            return keywordOf(nameReader, token) != MenuKeyword::None;
        });
        if (name.open >= 0 && name.close >= 0) {
            p.nameOpen = name.open;
            p.nameClose = name.close;
            menuName = spelled(text, name.open + 1, name.close);
        }
    }
    if (keywordOf(body.closing) == MenuKeyword::None) {
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
    const TextLookup context = source.context();

    if (body.closing.expanded) {
        // A closing keyword a macro writes: its arguments are the expansion's.
        const KeywordCall call = callOf(body.closing);
        p.closingMacro = macroOf(body.closing);
        if (!call.called || call.arguments.size() < 2)
            return fail(ParseError::NoClosingArguments, p.closing);
        p.closingOpen = p.comma = p.closing;
        if (MacroExpander::spelled(call.arguments.first()) != menuName)
            return fail(ParseError::NameMismatch, p.closing);
        p.closingClose = body.closing.end - 1;
        p.titleBegin = body.closing.begin;
        p.titleEnd = body.closing.end;
        menu.title = readTextTokens(call.arguments.at(1), body.closing.begin, context, &p.title);
    } else {
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
        if (spelled(text, closing.list.first().begin, closing.list.first().end) != menuName)
            return fail(ParseError::NameMismatch, p.closing);

        menu.title.clear();
        p.closingClose = closing.close;
        p.end = closing.close >= 0 ? closing.close + 1 : closing.stop;
        const Range title = closing.list.at(1);
        p.titleBegin = title.begin;
        p.titleEnd = title.end;
        p.titleUnterminated = title.unterminated;
        // While the title is being typed the menu still shows, with no title.
        if (!p.titleUnterminated)
            menu.title = readArgument(text, title, context, &p.title);
    }
    menu.name = menuName;

    menu.itemTexts.clear();
    qsizetype scan = p.nameClose + 1;
    qsizetype invocation = p.openingMacro.isEmpty() ? -1 : p.opening;
    for (const KeywordHit &keyword : body.items) {
        // Inside the name's parentheses or an earlier item's arguments; the
        // items one invocation writes share its place.
        if (keyword.begin < scan && !(keyword.expanded && keyword.begin == invocation))
            continue;
        if (keyword.expanded) {
            // Every item an invocation writes, however many share its place.
            const KeywordCall call = callOf(keyword);
            if (!call.called)
                return fail(ParseError::UnclosedItem, keyword.begin);
            ItemPosition item {keyword.begin, keyword.begin,   keyword.end - 1,
                               keyword.begin, keyword.end,     {},
                               tagOf(call),   macroOf(keyword)};
            menu.itemTexts.append(
                    readTextTokens(call.arguments.value(0), keyword.begin, context, &item.notes));
            p.items.append(item);
            invocation = keyword.begin;
            scan = qMax(scan, keyword.end);
            continue;
        }
        SourceReader itemReader(text, keyword.end, &source.facts, recording);
        const MacroArguments arguments = readMacroArguments(
                itemReader, [&](const Token &token) { return token.begin >= p.closing; });
        // Without "(" it is no macro call, and the compiler stops there too.
        if (arguments.open < 0 || arguments.close < 0)
            return fail(ParseError::UnclosedItem, keyword.begin);
        const Range first = arguments.list.first();
        ItemPosition item {
                keyword.begin, arguments.open, arguments.close, first.begin, first.end, {}, {},
                QString()};
        // Spaced alike whatever the layout: reformatting keeps the twins' keys.
        if (arguments.list.size() > 1)
            item.tag = spelled(text, arguments.list.at(1).begin, arguments.list.constLast().end,
                               true);
        menu.itemTexts.append(readArgument(text, first, context, &item.notes));
        p.items.append(item);
        scan = arguments.close + 1;
    }
    return true;
}

} // namespace VelkoMenuView
