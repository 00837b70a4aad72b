// The reasons a text is not read, put in words.
#include "menuview/analysis/textmessages.h"

namespace VelkoMenuView {

TextMessageTexts TextMessageTexts::english()
{
    TextMessageTexts t;
    t.cannotRead = QStringLiteral("%1 text cannot be read: %2; the %1 shows %3");
    t.item = QStringLiteral("item");
    t.title = QStringLiteral("title");
    t.emptyLine = QStringLiteral("an empty line");
    t.noTitle = QStringLiteral("no title");
    t.escape = QStringLiteral("an escape the compiler refuses (\\x without a hex digit, or a \\u "
                              "or \\U that is incomplete or names a character C does not allow)");
    t.unterminated = QStringLiteral("a literal is not terminated");
    t.notText = QStringLiteral(
            "the preview follows string literals, string constants, casts, &NAME[0], ({ ... }), "
            "conditions it can compute and functions declared to return their argument, and "
            "this is none of them");
    t.undefined = QStringLiteral("the preview finds no macro or string constant '%1' before "
                                 "this menu (#define %1 \"...\" or static const char %1[] = "
                                 "\"...\";)");
    t.prefixes = QStringLiteral("its literals have prefixes that the compiler does not join");
    t.tooLarge = QStringLiteral("its macros expand too deeply or too far for the preview to "
                                "follow");
    t.call = QStringLiteral("the text passes through %1(), which the preview cannot run; if it "
                            "returns its argument, %2");
    t.notConstant = QStringLiteral("'%1' is a variable the firmware may change, and the preview "
                                   "reads only constants (const char %1[] or const char *const "
                                   "%1)");
    t.arithmetic = QStringLiteral("the text comes from pointer arithmetic, which the preview does "
                                  "not follow");
    t.condition = QStringLiteral("the text depends on a condition the preview cannot compute (it "
                                 "computes integer constants only)");
    t.externOnly = QStringLiteral("'%1' is declared extern, and the preview finds its definition "
                                  "in neither this file nor the headers it includes");
    t.refused = QStringLiteral("the compiler refuses its macros: %1");
    t.fromMacro = QStringLiteral(" (from the definition of %1 at %2:%3)");
    t.fromPlace = QStringLiteral(" (from %1:%2)");
    t.declareTextFunction = QStringLiteral("add --text-function %1");
    t.missingHeaders = QStringLiteral("; not found: %1 (give its folder with -I or in "
                                      "compile_commands.json)");
    return t;
}

namespace {

// The message for notes that say the text cannot be read; empty for an
// empty argument and for texts that were read. `missing`: the headers not
// found before it, for a name that stands for nothing.
QString unreadableMessage(const LiteralNotes &notes, bool title, const TextMessageTexts &texts,
                          const QString &missing)
{
    using Why = LiteralNotes::Unreadable;
    QString reason;
    switch (notes.why) {
    case Why::No:
    case Why::Empty:
        return QString();
    case Why::Escape:
        reason = texts.escape;
        break;
    case Why::Unterminated:
        reason = texts.unterminated;
        break;
    case Why::NotText:
        reason = texts.notText;
        break;
    case Why::Undefined:
        reason = texts.undefined.arg(notes.name)
                + (missing.isEmpty() ? QString() : texts.missingHeaders.arg(missing));
        break;
    case Why::Prefixes:
        reason = texts.prefixes;
        break;
    case Why::TooLarge:
        reason = texts.tooLarge;
        break;
    case Why::Call:
        reason = texts.call.arg(notes.name, texts.declareTextFunction.arg(notes.name));
        break;
    case Why::NotConstant:
        reason = texts.notConstant.arg(notes.name);
        break;
    case Why::Arithmetic:
        reason = texts.arithmetic;
        break;
    case Why::Condition:
        reason = texts.condition;
        break;
    case Why::ExternOnly:
        reason = texts.externOnly.arg(notes.name);
        break;
    case Why::Refused:
        reason = texts.refused.arg(notes.detail);
        break;
    }
    if (!notes.culpritMacro.isEmpty())
        reason += texts.fromMacro.arg(notes.culpritMacro, notes.culpritFile).arg(notes.culpritLine);
    else if (!notes.culpritFile.isEmpty())
        reason += texts.fromPlace.arg(notes.culpritFile).arg(notes.culpritLine);
    const QString what = title ? texts.title : texts.item;
    return texts.cannotRead.arg(what, reason, title ? texts.noTitle : texts.emptyLine);
}

// The headers that were not found before `at`, as written, with their lines.
QString missingHeaders(const UnitRecord &facts, qsizetype at,
                       const std::function<int(qsizetype)> &lineOf)
{
    QStringList missing;
    for (const Inclusion &inclusion : facts.includes) {
        if (inclusion.path.isEmpty() && inclusion.at < at && inclusion.at >= 0)
            missing << QStringLiteral("%1 (line %2)")
                               .arg(inclusion.written)
                               .arg(lineOf(inclusion.at));
    }
    return missing.join(QStringLiteral(", "));
}

} // namespace

QList<TextFinding> unreadableTexts(const MenuBlock &block, const UnitRecord &facts,
                                   const TextMessageTexts &texts,
                                   const std::function<int(qsizetype)> &lineOf)
{
    QList<TextFinding> findings;
    if (!block.parsed)
        return findings;
    const MenuParse &p = block.parse;
    if (!p.titleUnterminated && p.titleBegin < p.titleEnd) {
        const QString message = unreadableMessage(p.title, true, texts,
                                                  missingHeaders(facts, p.titleBegin, lineOf));
        if (!message.isEmpty())
            findings.append({p.titleBegin, p.titleEnd, message});
    }
    for (const ItemPosition &item : p.items) {
        const QString message = unreadableMessage(item.notes, false, texts,
                                                  missingHeaders(facts, item.keyword, lineOf));
        if (!message.isEmpty())
            findings.append({item.keyword, item.close + 1, message});
    }
    return findings;
}

} // namespace VelkoMenuView
