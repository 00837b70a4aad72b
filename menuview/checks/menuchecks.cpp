// Findings for menu definitions. Item findings cover the item from its
// MENU_ITEM to its ")", title findings the title argument, a missing glyph
// the character itself where the source spells it out.
#include "menuview/checks/menuchecks.h"
#include "menuview/analysis/menukeywords.h"

#include "menuview/checks/widthestimate.h"

#include "creader/compilerquery.h"
#include "creader/cscanner.h"
#include "creader/linemap.h"
#include "menuview/analysis/devicescreen.h"
#include "menuview/analysis/formatdirective.h"
#include "menuview/analysis/itemformat.h"
#include "menuview/analysis/menupreview.h"
#include "menuview/analysis/textmessages.h"
#include "menuview/params/parameterstore.h"
#include "menuview/screen/devicetext.h"

#include <QRegularExpression>

namespace VelkoMenuView {

namespace {

const int Cells = DeviceScreen::Cells;

struct Range
{
    qsizetype begin = 0;
    qsizetype end = 0;
};

using R = FindingRule;

class Reporter
{
public:
    explicit Reporter(QList<Diagnostic> *diagnostics)
        : m_diagnostics(diagnostics)
    { }

    // `screen`: the finding changes what the device shows (see Diagnostic).
    void warn(Range range, FindingRule rule, const QString &message, bool screen = false)
    {
        add(range, Diagnostic::Severity::Warning, rule, message, screen);
    }
    void error(Range range, FindingRule rule, const QString &message, bool screen = false)
    {
        add(range, Diagnostic::Severity::Error, rule, message, screen);
    }
    void note(Range range, FindingRule rule, const QString &message)
    {
        add(range, Diagnostic::Severity::Note, rule, message, false);
    }

    qsizetype count() const { return m_diagnostics->size(); }
    // The findings from `first` on are about a text that `notes` expanded
    // from a macro or constant of `text`: they point at its definition.
    void relateToDefinition(qsizetype first, QStringView text, const LiteralNotes &notes)
    {
        const qsizetype at = notes.definition;
        // A definition in a header has an offset into the header's text.
        if (at < 0 || notes.definedName.isEmpty()
            || text.mid(at, notes.definedName.size()) != notes.definedName)
            return;
        const Diagnostic::Related definition {
                at, at + notes.definedName.size(),
                QStringLiteral("the text comes from '%1', defined here").arg(notes.definedName)};
        for (qsizetype i = first; i < m_diagnostics->size(); ++i)
            (*m_diagnostics)[i].related.append(definition);
    }

    QList<Diagnostic> &diagnostics() { return *m_diagnostics; }

private:
    void add(Range range, Diagnostic::Severity severity, FindingRule rule, const QString &message,
             bool screen)
    {
        m_diagnostics->append(
                {range.begin, qMax(range.begin, range.end), severity, message, rule, {}, screen});
    }

    QList<Diagnostic> *m_diagnostics;
};

// Text in double quotes, control characters shown as escapes, shortened.
QString quoted(const QString &text)
{
    QString result;
    for (const QChar c : text) {
        if (c.unicode() < 0x20)
            result += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            result += c;
    }
    return QLatin1Char('"') + shortened(result) + QLatin1Char('"');
}

QString written(QStringView text, Range range)
{
    return shortened(text.sliced(range.begin, range.end - range.begin).toString().simplified());
}

QString kindName(ParamType type)
{
    static const char *const names[] = {"no", "integer", "real", "string"};
    return QLatin1String(names[int(type)]);
}

QString count(qint64 n, const QString &one, const QString &many)
{
    return QString::number(n) + QLatin1Char(' ') + (n == 1 ? one : many);
}

// "'%d'", "'%d' and '%u'", "'%d', '%u' and '%f'"
QString conversionList(const QStringList &texts)
{
    QStringList quotedTexts;
    for (const QString &text : texts)
        quotedTexts << QLatin1Char('\'') + text + QLatin1Char('\'');
    if (quotedTexts.size() <= 1)
        return quotedTexts.join(QString());
    const QString last = quotedTexts.takeLast();
    return quotedTexts.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

// Where the kind of the item was decided, for a reader puzzled by a conversion
// that takes no value.
QString kindOrigin(const QString &itemText)
{
    QString decidedBy;
    itemParamInfo(itemText, &decidedBy);
    const QByteArray bytes = decidedBy.toUtf8();
    const FormatDirective directive
            = parseFormatDirective(bytes.constData(), bytes.constData() + bytes.size());
    if (directive.size == bytes.size())
        return QStringLiteral("set by its first conversion '%1'").arg(decidedBy);
    return QStringLiteral("set by the '%1' in '%2': after a '%', the first d, u, f or s decides")
            .arg(decidedBy.right(1), decidedBy);
}

QString conversionMessage(const ItemConversion &conversion, const QString &itemText,
                          ParamInfo params)
{
    using Reason = ItemConversion::Reason;
    const QString text = QLatin1Char('\'') + conversion.text + QLatin1Char('\'');
    if (conversion.fate == ItemConversion::Fate::AlwaysZero)
        return QStringLiteral("conversion %1 always shows 0: it takes the item's value %2, and the "
                              "parameter dialog enters only the first %3")
                .arg(text, QString::number(conversion.valueIndex + 1),
                     QString::number(DeviceScreen::DialogParameters));
    const QString asWritten = QStringLiteral("conversion %1 is shown as written: ").arg(text);
    switch (conversion.reason) {
    case Reason::None:
        break;
    case Reason::Unsupported:
        return QStringLiteral("conversion %1 is not supported in item texts (only d, u, f and s "
                              "take values): it is shown as written")
                .arg(text);
    case Reason::Star:
        return asWritten
                + QStringLiteral("a \"*\" width or precision needs an argument that item values "
                                 "cannot supply");
    case Reason::Unfinished:
        return QStringLiteral(
                       "unfinished conversion %1 at the end of the item text is shown as written")
                .arg(text);
    case Reason::NotAParameter:
        return asWritten
                + QStringLiteral("a '%' right after another '%' does not start a parameter");
    case Reason::OtherKind:
        return asWritten
                + QStringLiteral("the item takes %1 values (%2)")
                          .arg(kindName(params.type), kindOrigin(itemText));
    case Reason::NoValueLeft:
        if (params.type == ParamType::Real)
            return asWritten + QStringLiteral("an item takes at most three real values");
        if (params.type == ParamType::String)
            return asWritten + QStringLiteral("an item takes one string value");
        if (conversion.valueIndex >= DeviceScreen::MaxIntegers)
            return asWritten + QStringLiteral("an item takes at most eight integer values");
        return asWritten
                + QStringLiteral("the item counts only %1")
                          .arg(count(params.count, QStringLiteral("parameter"),
                                     QStringLiteral("parameters")));
    }
    return QString();
}

// What the compiler reads differently from how it looks: a macro defined
// twice, escapes out of range, control characters written as escapes, a zero
// that ends the text early, wide literals.
void checkNotes(Reporter &report, Range at, const LiteralNotes &notes, const QString &shown,
                const QString &what, const CheckContext &context)
{
    if (notes.redefinition >= 0) {
        report.warn(at, R::MacroTwice,
                    QStringLiteral("'%1' is defined more than once before this menu (lines %2 "
                                   "and %3): the last definition is used")
                            .arg(notes.definedName)
                            .arg(context.lines->position(notes.redefinition).line)
                            .arg(context.lines->position(notes.definition).line));
    }
    for (const QString &escape : notes.outOfRange) {
        report.error(at, R::EscapeOutOfRange,
                     QStringLiteral("escape %1 in the %2 is out of range for a character: the "
                                    "compiler keeps only its low 8 bits")
                             .arg(escape, what),
                     true);
    }
    if (!notes.droppedEscapes.isEmpty()) {
        QStringList escapes = notes.droppedEscapes;
        escapes.removeDuplicates();
        report.warn(at, R::ControlEscapes,
                    escapes.size() == 1
                            ? QStringLiteral("escape %1 in the %2 is a control character: the "
                                             "device drops it")
                                      .arg(conversionList(escapes), what)
                            : QStringLiteral("escapes %1 in the %2 are control characters: the "
                                             "device drops them")
                                      .arg(conversionList(escapes), what),
                    true);
    }
    if (notes.hiddenByZero)
        report.warn(at, R::ZeroInText,
                    QStringLiteral("a zero in the %1 ends its text: the device shows only %2")
                            .arg(what, quoted(shown)),
                    true);
    if (notes.wide)
        report.warn(at, R::WideLiteral,
                    QStringLiteral("the %1 is a wide literal (u\"\", U\"\" or L\"\"): the device "
                                   "reads its code units as bytes and shows %2")
                            .arg(what, quoted(shown)),
                    true);
}

void checkWidth(Reporter &report, Range at, const QString &item, const QString &itemText,
                const QString &line, const QStringList &stored, ParamInfo params,
                const ItemWidth &width, int realDigits)
{
    const int room = Cells - width.fixedCells;
    if (params.type == ParamType::String) {
        // The formatter cuts a string item's line to 21 characters; what is
        // lost is the stored value or the text after it.
        const QByteArray value = stored.isEmpty() ? QByteArray() : stored.first().toUtf8();
        const qsizetype characters = formatText(itemText.toUtf8(), {value}).toUcs4().size();
        if (characters > Cells) {
            report.warn(at, R::LineOverflow,
                        QStringLiteral("item %1 is %2 characters long %3; a string item's line "
                                       "is cut to 21 characters: %4")
                                .arg(item, QString::number(characters),
                                     stored.isEmpty() ? QStringLiteral("with no stored value")
                                                      : QStringLiteral("with its stored value"),
                                     quoted(line)),
                        true);
        } else if (width.stringValue && room <= 0) {
            report.warn(at, R::LineOverflow,
                        QStringLiteral("item %1 leaves no room for its string value: the rest "
                                       "of the line takes %2 of the 21 cells")
                                .arg(item, QString::number(width.fixedCells)),
                        true);
        }
        return;
    }

    QStringList values;
    QStringList widths;
    for (const ItemConversion &conversion : width.conversions) {
        if (conversion.fate != ItemConversion::Fate::Value)
            continue;
        values << conversion.text;
        widths << QString::number(conversion.widest);
    }

    const int cells = deviceCells(line);
    if (cells > Cells) {
        QString message
                = QStringLiteral("item %1 takes %2 cells").arg(item, QString::number(cells));
        if (!values.isEmpty()) {
            message += stored.isEmpty() ? QStringLiteral(" with no stored values")
                                        : QStringLiteral(" with its stored values");
            message += room > 0
                    ? QStringLiteral("; its values have room for %1")
                              .arg(count(room, QStringLiteral("character"),
                                         QStringLiteral("characters")))
                    : QStringLiteral("; the text around its values alone takes %1 cells")
                              .arg(width.fixedCells);
        }
        report.warn(at, R::LineOverflow, message + QStringLiteral("; the screen shows 21"), true);
        return;
    }
    if (values.isEmpty() || width.fixedCells + width.widestValues <= Cells)
        return;
    const QString widest = values.size() == 1
            ? QStringLiteral("%1 can print %2 characters")
                      .arg(conversionList(values), widths.first())
            : QStringLiteral("%1 can print %2 characters together (%3)")
                      .arg(conversionList(values), QString::number(width.widestValues),
                           widths.join(QStringLiteral(" + ")));
    const QString reals = params.type == ParamType::Real
            ? QStringLiteral(" (a real taken with up to %1 integer digits)").arg(realDigits)
            : QString();
    report.warn(at, R::PossibleOverflow,
                QStringLiteral("item %1 can overflow the 21 cells: %2%3, and the line has room "
                               "for %4")
                        .arg(item, widest, reals, QString::number(qMax(room, 0))));
}

// "U+00B5 'µ'", or just "U+0009" for a character that does not print.
QString describeCharacter(char32_t c)
{
    const QString code = QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
    if (!QChar::isPrint(c))
        return code;
    return QStringLiteral("%1 '%2'").arg(code, QString::fromUcs4(&c, 1));
}

// Each character of `shown` the font lacks, pointed at where the source
// spells it out within `argument`, else at the whole of `fallback`.
void checkGlyphs(Reporter &report, const QString &shown, QStringView text, Range argument,
                 Range fallback, const QString &writtenText, const QString &what)
{
    for (const char32_t c : missingGlyphs(shown)) {
        const QString character = QString::fromUcs4(&c, 1);
        const qsizetype found
                = text.sliced(argument.begin, argument.end - argument.begin).indexOf(character);
        const Range at = found < 0
                ? fallback
                : Range {argument.begin + found, argument.begin + found + character.size()};
        QString message = QStringLiteral("character %1 in the %2 is not in the 6x8 font: the "
                                         "device skips it")
                                  .arg(describeCharacter(c), what);
        if (!writtenText.contains(character))
            message += QStringLiteral(" (it comes from the stored value)");
        report.warn(at, R::MissingGlyph, message, true);
    }
}

void checkTitle(Reporter &report, QStringView text, const MenuBlock &block,
                const CheckContext &context)
{
    const MenuParse &p = block.parse;
    const QString &title = block.menu.title;
    const Range argument {p.titleBegin, p.titleEnd};
    const Range macro {p.closing, p.closingClose >= 0 ? p.closingClose + 1 : argument.end};
    if (p.closingClose < 0 && !p.titleUnterminated)
        report.error(macro, R::ClosingNotClosed,
                     QStringLiteral("the closing macro is not closed: a \")\" is missing "
                                    "after its title"));
    if (argument.begin == argument.end) {
        report.warn(macro, R::EmptyTitle,
                    QStringLiteral("the closing macro has an empty title argument: the "
                                   "title row shows only the clock"));
        return;
    }
    if (p.titleUnterminated) {
        report.error(argument, R::UnterminatedTitle,
                     QStringLiteral("unterminated title literal: the title row shows no "
                                    "title until the literal is closed"),
                     true);
        return;
    }
    const qsizetype first = report.count();
    checkNotes(report, argument, p.title, title, QStringLiteral("title"), context);
    const qsizetype length = title.size();
    if (length > Cells) {
        report.warn(argument, R::TitleLength,
                    QStringLiteral("title %1 is %2 characters long: the screen shows its "
                                   "first 21, %3")
                            .arg(quoted(title), QString::number(length), quoted(title.left(Cells))),
                    true);
    } else if (length > DeviceScreen::ClockTitleLength) {
        report.warn(argument, R::TitleLength,
                    QStringLiteral("title %1 is %2 characters long: only a title of up "
                                   "to 15 characters leaves room for the clock")
                            .arg(quoted(title), QString::number(length)),
                    true);
    }
    // The device prints the title as a format without arguments.
    const QString shown = formatText(title.toUtf8(), {});
    checkGlyphs(report, shown, text, argument, argument, shown, QStringLiteral("title"));
    report.relateToDefinition(first, text, p.title);
}

void checkItems(Reporter &report, QStringView text, const MenuBlock &block,
                const CheckContext &context)
{
    const MenuDefinition &menu = block.menu;
    const QList<ItemPosition> &items = block.parse.items;
    for (qsizetype i = 0; i < items.size() && i < menu.itemTexts.size(); ++i) {
        const ItemPosition &item = items[i];
        const QString &itemText = menu.itemTexts[i];
        const Range at {item.keyword, item.close + 1};
        const Range argument {item.textBegin, item.textEnd};
        const ParamInfo params = menu.itemParams[i];
        const QStringList stored = menu.paramValues.value(i);
        const qsizetype first = report.count();

        checkNotes(report, at, item.notes, itemText, QStringLiteral("item"), context);
        const ItemWidth width = estimateItemWidth(itemText, params, context.realDigits);
        for (const ItemConversion &conversion : width.conversions) {
            const QString message = conversionMessage(conversion, itemText, params);
            if (!message.isEmpty())
                report.warn(at, R::Conversions, message);
        }
        checkWidth(report, at, written(text, argument), itemText, menu.itemLines[i], stored, params,
                   width, context.realDigits);
        checkGlyphs(report, menu.itemLines[i], text, argument, at, itemText,
                    QStringLiteral("item"));
        report.relateToDefinition(first, text, item.notes);
    }
}

// Findings of what a macro writes point at the invocation; the macro's
// definition is their second place, as the compiler's "in expansion of" is.
void noteMacros(QList<Diagnostic> &diagnostics, qsizetype from, const SourceReading &source,
                const MenuBlock &block)
{
    const MenuParse &p = block.parse;
    const auto macroAt = [&](qsizetype at) -> QString {
        for (const ItemPosition &item : p.items) {
            if (item.keyword == at && !item.macro.isEmpty())
                return item.macro;
        }
        if (at == p.titleBegin && !p.closingMacro.isEmpty())
            return p.closingMacro;
        if (at == p.opening && !p.openingMacro.isEmpty())
            return p.openingMacro;
        return QString();
    };
    for (qsizetype i = from; i < diagnostics.size(); ++i) {
        Diagnostic &d = diagnostics[i];
        const QString macro = macroAt(d.begin);
        const MacroDefinition *definition
                = macro.isEmpty() ? nullptr : source.facts.macros.find(macro, d.begin);
        if (!definition)
            continue;
        const SourcePlace place = source.facts.placeOf(definition->source, definition->nameAt);
        const qsizetype lineStart
                = definition->source.left(definition->nameAt)
                          .lastIndexOf(QRegularExpression(QStringLiteral("[\\r\\n]")))
                + 1;
        d.relatedFile = place.file;
        d.relatedLine = int(place.line);
        d.relatedColumn = int(definition->nameAt - lineStart + 1);
        d.relatedMessage = QStringLiteral("written by macro '%1', defined here").arg(macro);
    }
}

void checkShown(Reporter &report, SourceReading &source, const MenuBlock &block,
                const CheckContext &context)
{
    const qsizetype first = report.count();
    const MenuParse &p = block.parse;
    if (block.menu.name.isEmpty())
        report.warn({p.opening, p.nameClose + 1}, R::EmptyName,
                    QStringLiteral("the menu has an empty name: values typed for its items "
                                   "are not kept"));
    const qsizetype items = block.menu.itemTexts.size();
    if (items > DeviceScreen::ItemsOnScreen)
        report.note({p.opening, p.nameClose + 1}, R::BelowScreen,
                    QStringLiteral("the screen shows %1 of the menu's %2 items at once, "
                                   "under the title; the rest lie below its lower edge")
                            .arg(DeviceScreen::ItemsOnScreen)
                            .arg(items));
    for (const TextFinding &finding :
         unreadableTexts(block, source.facts, context.texts,
                         [&](qsizetype at) { return context.lines->position(at).line; }))
        report.warn({finding.begin, finding.end}, R::TextUnreadable, finding.message, true);
    checkTitle(report, source.text, block, context);
    checkItems(report, source.text, block, context);
    noteMacros(report.diagnostics(), first, source, block);
}

FindingRule ruleOf(ParseError error)
{
    switch (error) {
    case ParseError::None:
    case ParseError::NoOpeningKeyword:
        break;
    case ParseError::NoClosingKeyword:
        return R::MissingClosing;
    case ParseError::NoNameParentheses:
        return R::NoName;
    case ParseError::NoClosingArguments:
        return R::ClosingArguments;
    case ParseError::NameMismatch:
        return R::NameMismatch;
    case ParseError::UnclosedItem:
        return R::UnclosedItem;
    case ParseError::WrongClosingKeyword:
        return R::WrongClosing;
    }
    return R::Unreadable;
}

// Once per file: an editor hides them, and the compiler passes over them.
void checkZeroBytes(Reporter &report, QStringView text)
{
    const qsizetype first = text.indexOf(QChar(0));
    if (first < 0)
        return;
    const qsizetype count = text.count(QChar(0));
    report.warn({first, first + 1}, R::ZeroBytes,
                count == 1 ? QStringLiteral("a zero byte in the file: the compiler reads it as "
                                            "white space (in a literal, as the end of its text)")
                           : QStringLiteral("%1 zero bytes in the file, the first here: the "
                                            "compiler reads them as white space (in a literal, "
                                            "as the end of its text)")
                                     .arg(count));
}

} // namespace

QList<Diagnostic> checkShownMenu(SourceReading &source, const MenuPreview &preview,
                                 const CheckContext &context)
{
    QList<Diagnostic> diagnostics;
    if (preview.outcome != MenuPreview::Outcome::Shown)
        return diagnostics;
    Reporter report(&diagnostics);
    checkShown(report, source, preview.block, context);
    sortByPosition(diagnostics);
    return diagnostics;
}

QList<Diagnostic> checkMenus(QStringView text, const CheckContext &context)
{
    SourceReading source(text, menuKeywords(), context.source);
    return checkMenus(source, context);
}

QList<Diagnostic> checkMenus(SourceReading &source, const CheckContext &context)
{
    const QStringView text = source.text;
    QList<Diagnostic> diagnostics;
    Reporter report(&diagnostics);
    MenuBlocks blocks(source,
                      context.allBranches ? MenuBlocks::Branches::All
                                          : MenuBlocks::Branches::Compiled);
    const StoredValues values
            = [&](const QString &name, const QStringList &texts, const QStringList &tags) {
                  return context.store ? context.store->load(context.storePath, name, texts, tags)
                                       : QList<QStringList>();
              };
    const PositionOf positionOf = [&](qsizetype at) { return context.lines->position(at); };
    for (MenuBlock found; blocks.next(found);) {
        const MenuPreview preview = previewBlock(blocks.source(), found, values, positionOf);
        if (context.onMenu)
            context.onMenu(preview);
        const MenuParse &p = preview.block.parse;
        if (preview.outcome != MenuPreview::Outcome::Shown) {
            CScanner scanner(text, preview.failureAt);
            const Token keyword = scanner.next();
            report.error({preview.failureAt, keyword.end}, ruleOf(p.error), preview.failure);
            continue;
        }
        checkShown(report, blocks.source(), preview.block, context);
    }
    for (const KeywordHit &stray : blocks.strayClosings())
        report.error({stray.begin, stray.end}, R::StrayClosing,
                     strayClosingMessage(blocks.source(), stray.begin));
    // What the compiler stops at, once the whole text is read.
    for (const UnitRecord::DirectiveError &stop : blocks.source().facts.errors) {
        CScanner scanner(text, stop.at);
        const Token hash = scanner.next();
        report.error(
                {stop.at, qMax(hash.end, scanner.next().end)}, R::ErrorDirective,
                stop.file.isEmpty()
                        ? QStringLiteral("#error %1: the compiler stops here").arg(stop.message)
                        : QStringLiteral("#error %1 in %2:%3, which this #include reads: the "
                                         "compiler stops there")
                                  .arg(stop.message, stop.file)
                                  .arg(stop.line));
    }
    const QString compiler = CompilerQuery::message(blocks.source().facts.context.configuration,
                                                    context.allowCompiler);
    if (!compiler.isEmpty())
        report.warn({0, 0}, R::CompilerNotRun, compiler);
    checkZeroBytes(report, text);
    sortByPosition(diagnostics);
    return diagnostics;
}

} // namespace VelkoMenuView
