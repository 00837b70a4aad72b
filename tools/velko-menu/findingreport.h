// Findings with their lines and columns, and the machine-readable reports of
// them: SARIF 2.1.0 for code-scanning services, and plain JSON.
#pragma once

#include "diagnostic.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace VelkoMenuView {
class LineMap;
}

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

PlacedFinding placeFinding(const QString &file, const VelkoMenuView::LineMap &lines,
                           const Diagnostic &diagnostic);

// One run of the tool over the files named; `unreadable` holds the files that
// could not be read, each "FILE: reason".
QByteArray sarifReport(const QList<PlacedFinding> &findings, const QStringList &unreadable);
// An array of one object per finding, each as findingJson() makes it.
QByteArray jsonReport(const QList<PlacedFinding> &findings);
// {"file", "line", "column", "end": {"line", "column"}, "severity", "ruleId", "message"}
QJsonObject findingJson(const PlacedFinding &finding);
