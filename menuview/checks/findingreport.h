// Findings as the tool writes them: compiler-format lines, SARIF 2.1.0 for
// code-scanning services, and plain JSON.
#pragma once

#include "menuview/checks/diagnostic.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace VelkoMenuView {

// "FILE:LINE:COLUMN: error|warning|note: message" at the start of the range,
// FILE as the user named it, and a "note:" line for a second place in
// another file.
QString formatDiagnostic(const QString &file, const VelkoMenuView::LineMap &lines,
                         const VelkoMenuView::Diagnostic &diagnostic);

// One run of the tool over the files named; `unreadable` holds the files that
// could not be read, each "FILE: reason".
QByteArray sarifReport(const QList<VelkoMenuView::PlacedFinding> &findings,
                       const QStringList &unreadable);
// An array of one object per finding, each as findingJson() makes it.
QByteArray jsonReport(const QList<VelkoMenuView::PlacedFinding> &findings);
// {"file", "line", "column", "end": {"line", "column"}, "severity", "ruleId", "message"}
QJsonObject findingJson(const VelkoMenuView::PlacedFinding &finding);

} // namespace VelkoMenuView
