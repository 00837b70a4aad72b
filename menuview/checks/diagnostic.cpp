// Findings ordered and placed.
#include "menuview/checks/diagnostic.h"

#include "creader/linemap.h"

#include <algorithm>

namespace VelkoMenuView {

namespace {

PlacedFinding::Place placeOf(const LineMap &lines, qsizetype begin, qsizetype end)
{
    const TextPosition from = lines.position(begin);
    const TextPosition to = lines.position(qMax(begin, end));
    return {from.line, from.column, to.line, to.column};
}

} // namespace

QLatin1StringView severityName(Diagnostic::Severity severity)
{
    switch (severity) {
    case Diagnostic::Severity::Error:
        return QLatin1StringView("error");
    case Diagnostic::Severity::Warning:
        break;
    case Diagnostic::Severity::Note:
        return QLatin1StringView("note");
    }
    return QLatin1StringView("warning");
}

void sortByPosition(QList<Diagnostic> &diagnostics)
{
    std::stable_sort(diagnostics.begin(), diagnostics.end(),
                     [](const Diagnostic &a, const Diagnostic &b) { return a.begin < b.begin; });
}

PlacedFinding placeFinding(const QString &file, const LineMap &lines, const Diagnostic &diagnostic)
{
    PlacedFinding placed {file,
                          placeOf(lines, diagnostic.begin, diagnostic.end),
                          diagnostic.severity,
                          diagnostic.rule,
                          diagnostic.message,
                          {}};
    for (const Diagnostic::Related &related : diagnostic.related)
        placed.related.append({placeOf(lines, related.begin, related.end), related.message});
    return placed;
}

} // namespace VelkoMenuView
