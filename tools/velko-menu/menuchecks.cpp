// Warnings for a parsed menu. Item findings point at the item's MENU_ITEM,
// a missing glyph at the character itself where the source spells it out.
#include "menuchecks.h"

#include "blocklayout.h"
#include "devicecells.h"
#include "sourcefile.h"
#include "widthestimate.h"

#include "menuview/analysis/formatdirective.h"
#include "menuview/analysis/itemformat.h"

#include <QRegularExpression>

namespace {

constexpr int ClockTitleLength = 15;
constexpr int ParametersInDialog = 3;

class Reporter
{
public:
    explicit Reporter(QList<Diagnostic> *diagnostics)
        : m_diagnostics(diagnostics)
    { }

    void warn(qsizetype offset, const QString &message)
    {
        m_diagnostics->append({offset, Diagnostic::Severity::Warning, message});
    }

private:
    QList<Diagnostic> *m_diagnostics;
};

// Text in double quotes, control characters shown as escapes.
QString quoted(const QString &text)
{
    QString result = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c.unicode() < 0x20)
            result += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            result += c;
    }
    return result + QLatin1Char('"');
}

QString kindName(ParamType type)
{
    switch (type) {
    case ParamType::Integer:
        return QStringLiteral("integer");
    case ParamType::Real:
        return QStringLiteral("real");
    case ParamType::String:
        return QStringLiteral("string");
    case ParamType::None:
        break;
    }
    return QStringLiteral("no");
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
    const QString decidedBy = kindDecidedBy(itemText);
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
                     QString::number(ParametersInDialog));
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
        if (conversion.valueIndex >= 8)
            return asWritten + QStringLiteral("an item takes at most eight integer values");
        return asWritten
                + QStringLiteral("the item counts only %1")
                          .arg(count(params.count, QStringLiteral("parameter"),
                                     QStringLiteral("parameters")));
    }
    return QString();
}

// The item's text as written is not a readable literal or constant.
QString unreadableMessage(QStringView argument)
{
    static const QRegularExpression blank(QStringLiteral("^\\s*(\"\"\\s*)+(,.*)?$"),
                                          QRegularExpression::DotMatchesEverythingOption);
    if (blank.match(argument.toString()).hasMatch())
        return QString(); // an intentionally empty line
    const QStringView trimmed = argument.trimmed();
    static const QRegularExpression name(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*"));
    const QRegularExpressionMatch match = name.match(trimmed.toString());
    const QString empty = QStringLiteral("; the item shows an empty line");
    if (trimmed.startsWith(u'"'))
        return QStringLiteral("item text cannot be read: an unterminated literal, or an escape "
                              "the device does not accept (\\x without a hex digit, \\u or \\U "
                              "outside the allowed range)")
                + empty;
    if (match.hasMatch())
        return QStringLiteral("item text cannot be read: '%1' is not defined as a string before "
                              "this menu (#define %1 \"...\" or static const char %1[] = \"...\";)")
                       .arg(match.captured())
                + empty;
    return QStringLiteral("item text cannot be read: its argument is neither a string literal "
                          "nor the name of a string constant")
            + empty;
}

QString valuesClause(const QStringList &stored)
{
    return stored.isEmpty() ? QStringLiteral("with no stored values")
                            : QStringLiteral("with its stored values");
}

void checkWidth(Reporter &report, qsizetype at, const QString &itemText, const QString &line,
                const QStringList &stored, ParamInfo params, const ItemWidth &width, int realDigits)
{
    const int room = ScreenCells - width.fixedCells;
    if (params.type == ParamType::String) {
        // The formatter cuts a string item's line to 21 characters; what is
        // lost is the stored value or the text after it.
        const QByteArray value = stored.isEmpty() ? QByteArray() : stored.first().toUtf8();
        const QString uncut = formatText(itemText.toUtf8(), {value});
        const qsizetype characters = uncut.toUcs4().size();
        if (characters > ScreenCells) {
            report.warn(at,
                        QStringLiteral("item line %1 is %2 characters long %3; a string item's "
                                       "line is cut to 21 characters: %4")
                                .arg(quoted(uncut), QString::number(characters),
                                     stored.isEmpty() ? QStringLiteral("with no stored value")
                                                      : QStringLiteral("with its stored value"),
                                     quoted(line)));
        } else if (width.stringValue && room <= 0) {
            report.warn(at,
                        QStringLiteral("item %1 leaves no room for its string value: the rest of "
                                       "the line takes %2 of the 21 cells")
                                .arg(quoted(itemText), QString::number(width.fixedCells)));
        }
        return;
    }

    QStringList values;
    QStringList widths;
    bool anyReal = false;
    for (const ItemConversion &conversion : width.conversions) {
        if (conversion.fate != ItemConversion::Fate::Value)
            continue;
        values << conversion.text;
        widths << QString::number(conversion.widest);
        anyReal |= params.type == ParamType::Real;
    }

    const int cells = deviceCells(line);
    if (cells > ScreenCells) {
        QString message = QStringLiteral("item line %1 takes %2 cells")
                                  .arg(quoted(line), QString::number(cells));
        if (!values.isEmpty()) {
            message += QLatin1Char(' ') + valuesClause(stored);
            message += room > 0
                    ? QStringLiteral("; its values have room for %1")
                              .arg(count(room, QStringLiteral("character"),
                                         QStringLiteral("characters")))
                    : QStringLiteral("; the text around its values alone takes %1 cells")
                              .arg(width.fixedCells);
        }
        report.warn(at, message + QStringLiteral("; the screen shows 21"));
        return;
    }
    if (values.isEmpty() || width.fixedCells + width.widestValues <= ScreenCells)
        return;
    const QString widest = values.size() == 1
            ? QStringLiteral("%1 can print %2 characters")
                      .arg(conversionList(values), widths.first())
            : QStringLiteral("%1 can print %2 characters together (%3)")
                      .arg(conversionList(values), QString::number(width.widestValues),
                           widths.join(QStringLiteral(" + ")));
    const QString reals = anyReal
            ? QStringLiteral(" (a real taken with up to %1 integer digits)").arg(realDigits)
            : QString();
    report.warn(
            at,
            QStringLiteral("item %1 can overflow the 21 cells: %2%3, and the line has room for %4")
                    .arg(quoted(itemText), widest, reals, QString::number(qMax(room, 0))));
}

// Each character of `shown` the font lacks, pointed at where `source` spells
// it out between `from` and `to`, else at `fallback`.
void checkGlyphs(Reporter &report, const QString &shown, QStringView source, qsizetype from,
                 qsizetype to, qsizetype fallback, const QString &writtenText, const QString &what)
{
    for (const char32_t c : missingGlyphs(shown)) {
        const QString character = QString::fromUcs4(&c, 1);
        qsizetype at = -1;
        if (from >= 0 && to > from)
            at = source.sliced(from, to - from).indexOf(character);
        at = at < 0 ? fallback : from + at;
        QString message
                = QStringLiteral(
                          "character %1 in the %2 is not in the 6x8 font: the device skips it")
                          .arg(describeCharacter(c), what);
        if (!writtenText.contains(character))
            message += QStringLiteral(" (it comes from the stored value)");
        report.warn(at, message);
    }
}

void checkTitle(Reporter &report, const SourceFile &file, const MenuBlock &block,
                const BlockLayout &layout)
{
    const QString &title = block.menu.title;
    const qsizetype at = layout.title >= 0 ? layout.title
            : layout.closing >= 0          ? layout.closing
                                           : block.start;
    const qsizetype length = title.size();
    if (length > ScreenCells) {
        report.warn(
                at,
                QStringLiteral("title %1 is %2 characters long: the screen shows its first 21, %3")
                        .arg(quoted(title), QString::number(length),
                             quoted(title.left(ScreenCells))));
    } else if (length > ClockTitleLength) {
        report.warn(at,
                    QStringLiteral("title %1 is %2 characters long: only a title of up to 15 "
                                   "characters leaves room for the clock")
                            .arg(quoted(title), QString::number(length)));
    }
    // The device prints the title as a format without arguments.
    const QString shown = formatText(title.toUtf8(), {});
    const qsizetype end = layout.title < 0
            ? -1
            : qMin(file.text().size(), layout.title + 2 * (title.size() + 1) + 256);
    checkGlyphs(report, shown, file.text(), layout.title, end, at, shown, QStringLiteral("title"));
}

} // namespace

void checkMenu(const SourceFile &file, const MenuBlock &block, const MenuDefinition &shown,
               int realDigits, QList<Diagnostic> *diagnostics)
{
    Reporter report(diagnostics);
    const BlockLayout layout = layoutOf(file.text(), block);
    checkTitle(report, file, block, layout);

    const QStringList &texts = block.menu.itemTexts;
    if (shown.itemLines.size() != texts.size() || shown.itemParams.size() != texts.size())
        return;
    const bool located = layout.items.size() == texts.size();
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QString &text = texts[i];
        const ItemSpan span = located ? layout.items[i] : ItemSpan();
        const qsizetype at = located ? span.keyword : block.start;
        const ParamInfo params = shown.itemParams[i];
        const QStringList stored = shown.paramValues.value(i);

        if (text.isEmpty() && located) {
            const QString message = unreadableMessage(
                    QStringView(file.text()).sliced(span.open + 1, span.close - span.open - 1));
            if (!message.isEmpty())
                report.warn(at, message);
        }
        const ItemWidth width = estimateItemWidth(text, params, realDigits);
        for (const ItemConversion &conversion : width.conversions) {
            const QString message = conversionMessage(conversion, text, params);
            if (!message.isEmpty())
                report.warn(at, message);
        }
        checkWidth(report, at, text, shown.itemLines[i], stored, params, width, realDigits);
        checkGlyphs(report, shown.itemLines[i], file.text(), span.open, span.close, at, text,
                    QStringLiteral("item"));
    }
}
