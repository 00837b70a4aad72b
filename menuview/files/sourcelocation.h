// FILE, FILE:LINE or FILE:LINE:COLUMN, and the counts in them, on a command line.
#pragma once

#include <QString>

namespace VelkoMenuView {

struct SourceLocation
{
    QString path;
    int line = 0; // from 1; 0 when not given
    int column = 0; // from 1; 0 when not given
};

// A name that exists as given wins, so a file whose name ends in ":12" can
// still be named. Returns false with a one-line reason for a line or column
// of 0 or beyond the int range.
bool parseSourceLocation(const QString &argument, SourceLocation *location, QString *error);

// A positive decimal number that fits an int; `what` names it in errors
// ("the line number must be at least 1").
bool readCount(const QString &text, const QString &what, int *value, QString *error);

} // namespace VelkoMenuView
