// Macro argument lists, over the reader's tokens.
#include "creader/macroarguments.h"

#include "creader/bracketdepth.h"

namespace VelkoMenuView {

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
            continue;
        }
        if (current.tokens.isEmpty())
            current.begin = token.begin;
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
