// One finding about a menu definition, and its line in the compiler format.
#pragma once

#include "findingrules.h"

#include <QList>
#include <QString>

namespace VelkoMenuView {
class LineMap;
}

struct Diagnostic
{
    enum class Severity { Error, Warning, Note };

    // A place that explains the finding, such as the #define a text comes from.
    struct Related
    {
        qsizetype begin = 0;
        qsizetype end = 0;
        QString message;
    };

    // The text it covers: the offending keyword, item, title argument or
    // character, as offsets into the file's text.
    qsizetype begin = 0;
    qsizetype end = 0;
    Severity severity = Severity::Warning;
    QString message;
    FindingRule rule = FindingRule::Unreadable;
    QList<Related> related; // in the same text
    // What the device shows differs from the source as written there: a
    // text not read, cut, or with characters skipped.
    bool changesScreen = false;
    // For what a macro writes: the macro's definition, a second place that
    // may lie in another file.
    QString relatedFile {}; // empty: none
    int relatedLine = 0;
    int relatedColumn = 0;
    QString relatedMessage {};
};

// "FILE:LINE:COLUMN: error|warning|note: message" at the start of the range,
// FILE as the user named it, and a "note:" line for a second place in
// another file.
QString formatDiagnostic(const QString &file, const VelkoMenuView::LineMap &lines,
                         const Diagnostic &diagnostic);

// "error", "warning" or "note".
QLatin1StringView severityName(Diagnostic::Severity severity);

// Orders by position; findings at one position keep their order.
void sortByPosition(QList<Diagnostic> &diagnostics);
