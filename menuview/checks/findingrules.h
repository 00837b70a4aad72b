// The kinds of finding `check` reports, each with a stable id and help
// text, for the machine-readable reports that code-scanning services read.
#pragma once

#include <QList>
#include <QString>

namespace VelkoMenuView {

enum class FindingRule {
    Unreadable, // a definition that does not parse for a reason not listed below
    MissingClosing,
    WrongClosing,
    NoName,
    ClosingArguments,
    NameMismatch,
    UnclosedItem,
    StrayClosing,
    EscapeOutOfRange,
    UnterminatedTitle,
    ClosingNotClosed,
    EmptyName,
    EmptyTitle,
    TitleLength,
    TextUnreadable,
    MacroTwice,
    ControlEscapes,
    ZeroInText,
    WideLiteral,
    Conversions,
    LineOverflow,
    PossibleOverflow,
    MissingGlyph,
    BelowScreen,
    ZeroBytes,
    ErrorDirective,
    CompilerNotRun,
};

struct FindingRuleInfo
{
    FindingRule rule;
    const char *id; // "name-mismatch": stable, as results name it
    const char *name; // "NameMismatch"
    const char *summary; // one sentence
    const char *help; // what it means and what to do
    const char *level; // "error", "warning" or "note", as check reports it
};

// Every rule, in the order of the enumeration.
const QList<FindingRuleInfo> &findingRules();
const FindingRuleInfo &findingRule(FindingRule rule);

} // namespace VelkoMenuView
