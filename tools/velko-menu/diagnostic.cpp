// Diagnostic lines.
#include "diagnostic.h"

#include "creader/linemap.h"

#include <algorithm>

QString formatDiagnostic(const QString &file, const VelkoMenuView::LineMap &lines,
                         const Diagnostic &diagnostic)
{
    const VelkoMenuView::TextPosition position = lines.position(diagnostic.begin);
    QString line
            = QStringLiteral("%1:%2:%3: %4: %5")
                      .arg(file, QString::number(position.line), QString::number(position.column),
                           severityName(diagnostic.severity), diagnostic.message);
    if (!diagnostic.relatedFile.isEmpty())
        line += QStringLiteral("\n%1:%2:%3: note: %4")
                        .arg(diagnostic.relatedFile, QString::number(diagnostic.relatedLine),
                             QString::number(diagnostic.relatedColumn), diagnostic.relatedMessage);
    return line;
}

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
