// The cost of reading set against the peer: `velko-menu check FILE` and
// `gcc -E -o /dev/null FILE` on the same files, each timed as a whole process
// (start-up included) with its peak memory, run in turn in one run.
#pragma once

#include <QString>

class QTextStream;

// Writes the table of ordinary files of 1 and 4 MiB and of conditional
// groups nested 20,000 deep; false when a figure is missing or misses its
// goal (check in at most gcc's time, at most 16 MiB more memory than gcc).
bool writePeerFigures(QTextStream &out, const QString &checkTool, int runs);
