// Which lines of a text are still those of an earlier one: the longest
// common subsequence of their lines (Myers' difference), so that saving can
// leave the bytes of the lines the user did not touch as they were.
#pragma once

#include <QList>

namespace VelkoMenuView {

// Lines are given by hashes. For each line of `now`, the index of the line
// of `before` it is the same as, or -1 for a line that is new or edited.
// Where the texts differ in more than `maxEdits` inserted and removed lines
// together, which would cost too much to match, only their common first and
// last lines are matched.
QList<qsizetype> matchLines(const QList<size_t> &before, const QList<size_t> &now,
                            qsizetype maxEdits);

} // namespace VelkoMenuView
