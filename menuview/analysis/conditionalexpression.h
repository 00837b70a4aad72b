// The value of an #if or #elif expression as the preprocessor computes it:
// `defined`, macros expanded as they stand at the directive, names that are
// no macro counted as 0, integer arithmetic in the widest types.
#pragma once

#include <QStringView>

namespace VelkoMenuView {

class MacroTable;

struct ConditionResult
{
    bool value = false;
    bool valid = true; // false for what the compiler refuses (a syntax error, a division by 0)
};

// Evaluates the tokens of `text` from `begin` to the end of its logical line,
// with the macros of `macros` in force at `at`.
ConditionResult evaluateCondition(QStringView text, qsizetype begin, const MacroTable &macros,
                                  qsizetype at);

} // namespace VelkoMenuView
