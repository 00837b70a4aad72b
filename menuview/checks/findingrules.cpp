// The rule table; ids never change once published, as code-scanning services
// track findings by them.
#include "menuview/checks/findingrules.h"

namespace VelkoMenuView {

const QList<FindingRuleInfo> &findingRules()
{
    using R = FindingRule;
    static const QList<FindingRuleInfo> rules = {
            {R::Unreadable, "unreadable-definition", "UnreadableDefinition",
             "The menu definition cannot be read.",
             "The menu is not shown until its definition reads as BEGIN_MENU(Name), MENU_ITEM(...) "
             "lines and END_MENU(Name, \"title\").",
             "error"},
            {R::MissingClosing, "missing-closing-macro", "MissingClosingMacro",
             "No closing macro follows the opening one.",
             "No END_MENU (END_EDITABLE_MENU) follows before the next menu or the end of the file; "
             "the menu is not shown.",
             "error"},
            {R::WrongClosing, "wrong-closing-macro", "WrongClosingMacro",
             "The menu is closed by the other kind's macro.",
             "A BEGIN_MENU is closed only by END_EDITABLE_MENU, or the other way round.", "error"},
            {R::NoName, "no-name", "NoName", "The opening macro has no name.",
             "BEGIN_MENU must be followed by (Name).", "error"},
            {R::ClosingArguments, "closing-macro-arguments", "ClosingMacroArguments",
             "The closing macro lacks its arguments.",
             "END_MENU must be followed by (Name, \"title\").", "error"},
            {R::NameMismatch, "name-mismatch", "NameMismatch",
             "The closing macro names another menu.",
             "END_MENU names a menu other than the BEGIN_MENU it closes; the menu is not shown.",
             "error"},
            {R::UnclosedItem, "unclosed-item-argument", "UnclosedItemArgument",
             "An item's argument list is not closed.",
             "A MENU_ITEM has no \"(\", or its \")\" is missing before the closing macro.",
             "error"},
            {R::StrayClosing, "stray-closing-macro", "StrayClosingMacro",
             "A closing macro closes no menu.",
             "An END_MENU (END_EDITABLE_MENU) stands where no menu is open.", "error"},
            {R::EscapeOutOfRange, "escape-out-of-range", "EscapeOutOfRange",
             "An escape is out of range for a character.",
             "A hex or octal escape beyond 8 bits: the compiler keeps only its low bits.", "error"},
            {R::UnterminatedTitle, "unterminated-title", "UnterminatedTitle",
             "The title literal is not terminated.",
             "The title literal runs to the end of its line; the screen shows no title.", "error"},
            {R::ClosingNotClosed, "closing-macro-not-closed", "ClosingMacroNotClosed",
             "The closing macro has no \")\".", "A \")\" is missing after the title.", "error"},
            {R::EmptyName, "empty-name", "EmptyName", "The menu has an empty name.",
             "BEGIN_MENU() keeps no values typed for its items.", "warning"},
            {R::EmptyTitle, "empty-title", "EmptyTitle", "The menu has an empty title.",
             "END_MENU(M, ) shows only the clock in the title row.", "warning"},
            {R::TitleLength, "title-length", "TitleLength", "The title is too long.",
             "A title over 15 characters leaves no room for the clock; over 21 it is cut.",
             "warning"},
            {R::TextUnreadable, "text-cannot-be-read", "TextCannotBeRead",
             "An item or title text cannot be read.",
             "No literal, macro standing for one or string constant defined before it, an "
             "unterminated literal or an escape the compiler refuses: the text shows empty.",
             "warning"},
            {R::MacroTwice, "macro-defined-twice", "MacroDefinedTwice",
             "A macro of the text is defined twice.",
             "Defined again without #undef before the menu: the last definition is used.",
             "warning"},
            {R::ControlEscapes, "control-escapes", "ControlEscapes",
             "The text holds control characters.",
             "Escapes such as \\t, \\n or \\x01 are control characters, which the device drops.",
             "warning"},
            {R::ZeroInText, "zero-in-text", "ZeroInText", "A zero ends the text early.",
             "The C string ends at the zero: the device shows only the text before it.", "warning"},
            {R::WideLiteral, "wide-literal", "WideLiteral", "The text is a wide literal.",
             "L\"\", u\"\" or U\"\": the device reads the code units' bytes, up to the first zero.",
             "warning"},
            {R::Conversions, "conversions", "Conversions", "A conversion gets no value.",
             "A conversion that is not d, u, f or s, a \"*\", \"%1$d\", another kind than the "
             "item's, one too many, or an integer beyond the third, which the parameter dialog "
             "cannot enter.",
             "warning"},
            {R::LineOverflow, "item-line-overflow", "ItemLineOverflow",
             "The item's line takes more than 21 cells.",
             "With its stored values the line is wider than the screen's 21 cells; a string "
             "item's line is cut.",
             "warning"},
            {R::PossibleOverflow, "possible-overflow", "PossibleOverflow",
             "The item's line can overflow with its values at their widest.",
             "The line fits as written but not with its values at their widest.", "warning"},
            {R::MissingGlyph, "missing-glyph", "MissingGlyph",
             "A character is not in the 6x8 font.", "The device skips the character.", "warning"},
            {R::BelowScreen, "items-below-screen", "ItemsBelowScreen",
             "Not every item fits on the screen at once.",
             "The 64-pixel screen shows the title and 7 items at once; the others lie below its "
             "lower edge.",
             "note"},
            {R::ZeroBytes, "zero-bytes", "ZeroBytes", "The file holds zero bytes.",
             "An editor hides them; the compiler reads them as white space, and a literal's "
             "text ends at one.",
             "warning"},
            {R::ErrorDirective, "error-directive", "ErrorDirective",
             "An #error in a group the build takes.",
             "The compiler stops at it: the build fails in this configuration.", "error"},
            {R::CompilerNotRun, "compiler-macros", "CompilerMacros",
             "The build's compiler was not asked for its own macros.",
             "The compiler is not among those allowed to run, is missing or failed: a gcc-like "
             "host's macros stand in, and conditions on the compiler's macros may read "
             "otherwise than in the build. Allow it with --query-driver.",
             "warning"},
    };
    return rules;
}

const FindingRuleInfo &findingRule(FindingRule rule)
{
    return findingRules().at(qsizetype(rule));
}

} // namespace VelkoMenuView
