// One finding about a menu definition, and its line in the compiler format.
#pragma once

#include <QList>
#include <QString>

namespace VelkoMenuView {
class LineMap;
}

struct Diagnostic
{
    enum class Severity { Error, Warning };

    // The text it covers: the offending keyword, item, title argument or
    // character, as offsets into the file's text.
    qsizetype begin = 0;
    qsizetype end = 0;
    Severity severity = Severity::Warning;
    QString message;
    // What the device shows differs from the source as written there: a
    // text not read, cut, or with characters skipped.
    bool changesScreen = false;
    // For what a macro writes: the macro's definition, a second place.
    QString relatedFile {}; // empty: none
    int relatedLine = 0;
    int relatedColumn = 0;
    QString relatedMessage {};
};

// "FILE:LINE:COLUMN: error|warning: message" at the start of the range,
// FILE as the user named it, and a "note:" line for the second place.
QString formatDiagnostic(const QString &file, const VelkoMenuView::LineMap &lines,
                         const Diagnostic &diagnostic);

// Orders by position; findings at one position keep their order.
void sortByPosition(QList<Diagnostic> &diagnostics);
