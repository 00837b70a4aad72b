// The argument lists of the menu macros, over the reader's tokens.
#include "menuview/analysis/macroarguments.h"

#include "menuview/analysis/bracketdepth.h"

namespace VelkoMenuView {

MenuKeyword keywordOf(const SourceReader &reader, const Token &token)
{
    if (token.kind != Token::Kind::Identifier)
        return MenuKeyword::None;
    if (!token.spliced)
        return menuKeyword(reader.scanner().textOf(token));
    return menuKeyword(reader.scanner().spelling(token));
}

MacroArguments readMacroArguments(SourceReader &reader,
                                  const std::function<bool(const Token &)> &stops)
{
    MacroArguments arguments;
    Token token = reader.nextToken();
    if (!token.is(u'(')) {
        arguments.stop = token.begin;
        return arguments;
    }
    arguments.open = token.begin;
    MacroArguments::Range current;
    current.begin = current.end = reader.position();
    bool empty = true;
    qsizetype directives = reader.directivesPassed();
    BracketDepth depth;
    for (token = reader.nextToken();; token = reader.nextToken()) {
        if (token.kind == Token::Kind::End || stops(token)) {
            arguments.stop = token.begin;
            break;
        }
        if (depth.closes(token)) {
            arguments.close = token.begin;
            break;
        }
        if (depth.outermost() && token.is(u',')) {
            arguments.list.append(current);
            arguments.commas.append(token.begin);
            current = MacroArguments::Range();
            current.begin = current.end = token.end;
            empty = true;
            continue;
        }
        if (empty)
            current.begin = token.begin;
        empty = false;
        current.end = token.end;
        current.unterminated |= token.kind == Token::Kind::String && token.unterminated;
        current.directives |= reader.directivesPassed() != directives;
        directives = reader.directivesPassed();
        current.tokens.append(PPToken::written(reader.text(), token));
    }
    arguments.list.append(current);
    return arguments;
}

} // namespace VelkoMenuView
