// Parse failure messages. Names are quoted as written, so that a reader can
// find both ends of a mismatch.
#include "menuview/analysis/parsemessages.h"
#include "menuview/analysis/menukeywords.h"

#include "creader/macroarguments.h"

namespace VelkoMenuView {

QString shortened(const QString &text)
{
    constexpr qsizetype Length = 40;
    return text.size() <= Length ? text : text.left(Length - 1) + QChar(0x2026);
}

namespace {

// Text between two offsets as one short line.
QString between(QStringView text, qsizetype open, qsizetype close)
{
    if (open < 0 || close <= open)
        return QString();
    return shortened(text.sliced(open + 1, close - open - 1).toString().simplified());
}

// "KEYWORD(name)" when the name's parentheses stand on the keyword's line.
QString call(QStringView text, const MenuParse &parse, const QString &word)
{
    if (parse.nameOpen < 0 || parse.nameClose < 0)
        return word;
    const QStringView inside = text.sliced(parse.nameOpen, parse.nameClose - parse.nameOpen);
    if (inside.contains(u'\n') || inside.contains(u'\r'))
        return word;
    return QStringLiteral("%1(%2)").arg(word, between(text, parse.nameOpen, parse.nameClose));
}

} // namespace

ParseMessageTexts ParseMessageTexts::english()
{
    return {QStringLiteral("missing closing macro: %1 has no %2 after it"),
            QStringLiteral("wrong closing macro: %1 closes %2%3, which needs %4"),
            QStringLiteral("%1 is not followed by the menu's name in parentheses"),
            QStringLiteral("%1 that closes %2(%3)%4 has no \"(\" and \",\" after it; expected "
                           "%1(%3, \"title\")"),
            QStringLiteral("name mismatch: %1(%2, ...) closes %3(%4)%5"),
            QStringLiteral("unclosed item argument: the argument list of MENU_ITEM does not end "
                           "before %1 (a missing \")\" or an unterminated literal)"),
            QStringLiteral("stray closing macro: %1(%2, ...) closes no menu; no %3 is open "
                           "before it"),
            QStringLiteral(" at %1:%2"),
            QStringLiteral("the menu definition does not parse")};
}

QString parseErrorMessage(QStringView text, TextPosition opening, const MenuBlock &block,
                          const ParseMessageTexts &texts)
{
    const MenuParse &p = block.parse;
    const QString openingWord
            = p.editable ? QStringLiteral("BEGIN_EDITABLE_MENU") : QStringLiteral("BEGIN_MENU");
    const QString closing
            = p.editable ? QStringLiteral("END_EDITABLE_MENU") : QStringLiteral("END_MENU");
    const QString other
            = p.editable ? QStringLiteral("END_MENU") : QStringLiteral("END_EDITABLE_MENU");
    const QString where = texts.where.arg(opening.line).arg(opening.column);
    const QString name = between(text, p.nameOpen, p.nameClose);
    switch (p.error) {
    case ParseError::None:
    case ParseError::NoOpeningKeyword:
        break;
    case ParseError::NoClosingKeyword:
        return texts.missingClosing.arg(call(text, p, openingWord), closing);
    case ParseError::WrongClosingKeyword:
        return texts.wrongClosing.arg(other, call(text, p, openingWord), where, closing);
    case ParseError::NoNameParentheses:
        return texts.noName.arg(openingWord);
    case ParseError::NoClosingArguments:
        return texts.closingArguments.arg(closing, openingWord, name, where);
    case ParseError::NameMismatch:
        return texts.nameMismatch.arg(closing, between(text, p.closingOpen, p.comma), openingWord,
                                      name, where);
    case ParseError::UnclosedItem:
        return texts.unclosedItem.arg(closing);
    }
    return texts.other;
}

QString strayClosingMessage(SourceReading &source, qsizetype keyword,
                            const ParseMessageTexts &texts)
{
    SourceReader reader(source.text, keyword, &source.facts, SourceReader::Recording::Off);
    const Token closing = reader.nextToken();
    const bool editable = keywordOf(reader, closing) == MenuKeyword::EndEditable;
    const MacroArguments arguments = readMacroArguments(reader, [&](const Token &token) {
        return keywordOf(reader, token) != MenuKeyword::None;
    });
    QString name;
    if (arguments.open >= 0) {
        const MacroArguments::Range first = arguments.list.first();
        name = between(source.text, first.begin - 1, first.end);
    }
    return texts.strayClosing.arg(
            editable ? QStringLiteral("END_EDITABLE_MENU") : QStringLiteral("END_MENU"), name,
            editable ? QStringLiteral("BEGIN_EDITABLE_MENU") : QStringLiteral("BEGIN_MENU"));
}

} // namespace VelkoMenuView
