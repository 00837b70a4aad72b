// Diagnostic lines.
#include "diagnostic.h"

#include "menuview/analysis/linemap.h"

#include <algorithm>

QString formatDiagnostic(const QString &file, const VelkoMenuView::LineMap &lines,
                         const Diagnostic &diagnostic)
{
    const VelkoMenuView::TextPosition position = lines.position(diagnostic.begin);
    const QLatin1StringView severity = diagnostic.severity == Diagnostic::Severity::Error
            ? QLatin1StringView("error")
            : QLatin1StringView("warning");
    QString line = QStringLiteral("%1:%2:%3: %4: %5")
                           .arg(file, QString::number(position.line),
                                QString::number(position.column), severity, diagnostic.message);
    if (!diagnostic.relatedFile.isEmpty())
        line += QStringLiteral("\n%1:%2:%3: note: %4")
                        .arg(diagnostic.relatedFile, QString::number(diagnostic.relatedLine),
                             QString::number(diagnostic.relatedColumn), diagnostic.relatedMessage);
    return line;
}

void sortByPosition(QList<Diagnostic> &diagnostics)
{
    std::stable_sort(diagnostics.begin(), diagnostics.end(),
                     [](const Diagnostic &a, const Diagnostic &b) { return a.begin < b.begin; });
}
