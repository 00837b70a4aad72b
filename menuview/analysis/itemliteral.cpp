// Item texts from a piece of argument text, with the preamble's macros and
// string constants.
#include "menuview/analysis/menukeywords.h"
#include "menuview/analysis/menuparser.h"

#include "creader/bracketdepth.h"
#include "creader/sourcereading.h"

QString decodeLiteral(const MenuDefinition &menu, const QString &argument)
{
    const QString &preamble = menu.preamble;
    VelkoMenuView::SourceReading source(preamble, VelkoMenuView::menuKeywords());
    VelkoMenuView::SourceReader reader(preamble, 0, &source.facts);
    while (keywordOf(reader.nextKeyword()) != VelkoMenuView::MenuKeyword::None) { }
    // The first argument, used after all of the preamble.
    VelkoMenuView::CScanner lexer(argument);
    VelkoMenuView::BracketDepth depth;
    VelkoMenuView::Token token = lexer.next();
    for (; token.kind != VelkoMenuView::Token::Kind::End; token = lexer.next()) {
        if (depth.closes(token) || (depth.outermost() && token.is(u',')))
            break;
    }
    return readTextArgument(argument, 0, token.begin, preamble.size() + 1, source.context());
}

bool isHexDigit(QChar c)
{
    const QChar lower = c.toLower();
    return lower.isDigit() || (lower >= u'a' && lower <= u'f');
}
