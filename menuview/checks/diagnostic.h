// One finding about a menu definition: the text it covers as offsets, and
// the same placed by line and column for reports.
#pragma once

#include "menuview/checks/findingrules.h"

#include <QList>
#include <QString>

namespace VelkoMenuView {

class LineMap;

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

// "error", "warning" or "note".
QLatin1StringView severityName(Diagnostic::Severity severity);

// Orders by position; findings at one position keep their order.
void sortByPosition(QList<Diagnostic> &diagnostics);

// Lines and columns count from 1, columns in UTF-16 code units; the end is
// the position just past the text covered.
struct PlacedFinding
{
    struct Place
    {
        int line = 0;
        int column = 0;
        int endLine = 0;
        int endColumn = 0;
    };
    struct Related
    {
        Place place;
        QString message;
    };

    QString file; // as the user named it
    Place place;
    Diagnostic::Severity severity = Diagnostic::Severity::Warning;
    FindingRule rule = FindingRule::Unreadable;
    QString message;
    QList<Related> related; // in the same file
};

PlacedFinding placeFinding(const QString &file, const LineMap &lines, const Diagnostic &diagnostic);

} // namespace VelkoMenuView
