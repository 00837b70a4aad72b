// Parse failure messages. Names are quoted as written, so that a reader can
// find both ends of a mismatch.
#include "parseerrors.h"

#include "sourcefile.h"

namespace {

struct Argument
{
    bool found = false;
    QString text;
};

// The trimmed text between the first "(" at or after `from` and the first
// `stop` after it, as one short line: what the parser compared as a name.
// With `direct`, the "(" must follow the keyword with nothing but white
// space between.
Argument argumentText(QStringView text, qsizetype from, qsizetype keywordLength, QChar stop,
                      bool direct)
{
    const qsizetype open = text.indexOf(u'(', from);
    const qsizetype end = open < 0 ? -1 : text.indexOf(stop, open);
    if (end < 0
        || (direct
            && !text.sliced(from + keywordLength, open - from - keywordLength).trimmed().isEmpty()))
        return {};
    QString name = text.sliced(open + 1, end - open - 1).toString().simplified();
    if (name.size() > 40)
        name = name.left(39) + QChar(0x2026);
    return {true, name};
}

QString opening(const MenuBlock &block)
{
    return block.editable ? QStringLiteral("BEGIN_EDITABLE_MENU") : QStringLiteral("BEGIN_MENU");
}

QString closing(const MenuBlock &block)
{
    return block.editable ? QStringLiteral("END_EDITABLE_MENU") : QStringLiteral("END_MENU");
}

} // namespace

QString parseErrorMessage(const SourceFile &file, const MenuBlock &block)
{
    const QStringView text(file.text());
    const qsizetype openingLength = opening(block).size();
    const SourcePosition start = file.position(block.start);
    const QString where = QStringLiteral(" at %1:%2")
                                  .arg(QString::number(start.line), QString::number(start.column));
    switch (block.error) {
    case ParseError::None:
    case ParseError::NoOpeningKeyword:
        break;
    case ParseError::NoClosingKeyword: {
        // The parser stopped before reading the name: show it only where it
        // plainly belongs to the keyword.
        const Argument name = argumentText(text, block.start, openingLength, u')', true);
        const QString call = name.found ? QStringLiteral("%1(%2)").arg(opening(block), name.text)
                                        : opening(block);
        return QStringLiteral("missing closing macro: %1 has no %2 after it")
                .arg(call, closing(block));
    }
    case ParseError::NoNameParentheses:
        return QStringLiteral("%1 is not followed by the menu's name in parentheses")
                .arg(opening(block));
    case ParseError::NoClosingArguments: {
        const QString name = argumentText(text, block.start, openingLength, u')', false).text;
        return QStringLiteral("%1 that closes %2(%3)%4 has no \"(\" and \",\" after it; expected "
                              "%1(%3, \"title\")")
                .arg(closing(block), opening(block), name, where);
    }
    case ParseError::NameMismatch: {
        const QString name = argumentText(text, block.start, openingLength, u')', false).text;
        const QString other
                = argumentText(text, block.errorOffset, closing(block).size(), u',', false).text;
        return QStringLiteral("name mismatch: %1(%2, ...) closes %3(%4)%5")
                .arg(closing(block), other, opening(block), name, where);
    }
    case ParseError::UnclosedItem:
        return QStringLiteral("unclosed item argument: the argument list of MENU_ITEM does not end "
                              "before %1 (a missing \")\" or an unterminated literal)")
                .arg(closing(block));
    }
    return QStringLiteral("the menu definition does not parse");
}
