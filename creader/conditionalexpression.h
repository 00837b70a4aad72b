// The value of an #if or #elif expression as the preprocessor computes it:
// `defined` and __has_include, macros expanded as they stand at the
// directive, names that are no macro counted as 0, integer arithmetic in
// the widest types.
#pragma once

#include "creader/macroexpander.h"

#include <functional>

namespace VelkoMenuView {

struct ConditionResult
{
    bool value = false;
    bool valid = true; // false for what the compiler refuses (a syntax error, a division by 0)
    qint64 counter = 0; // __COUNTER__'s next value after the expression
};

struct ConditionContext
{
    MacroExpander::Environment environment; // where macros are looked up, and the predefined ones
    // __has_include: whether the header named (in quotes when `quoted`) is
    // found; `next` for __has_include_next.
    std::function<bool(const QString &name, bool quoted, bool next)> hasInclude;
};

// Evaluates the tokens of `text` from `begin` to the end of its logical line.
ConditionResult evaluateCondition(QStringView text, qsizetype begin,
                                  const ConditionContext &context);

// Whether tokens, their macros expanded, are an integer constant expression
// of C (numbers, characters, operators) that is not 0; false in *valid for
// anything else, a name for one.
bool isNonZeroConstant(const PPTokens &tokens, bool *valid);

} // namespace VelkoMenuView
