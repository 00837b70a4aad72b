// Diagnostic lines.
#include "diagnostic.h"

#include "sourcefile.h"

#include <algorithm>

QString formatDiagnostic(const SourceFile &file, const Diagnostic &diagnostic)
{
    const SourcePosition position = file.position(diagnostic.offset);
    const QLatin1StringView severity = diagnostic.severity == Diagnostic::Severity::Error
            ? QLatin1StringView("error")
            : QLatin1StringView("warning");
    return QStringLiteral("%1:%2:%3: %4: %5")
            .arg(file.path(), QString::number(position.line), QString::number(position.column),
                 severity, diagnostic.message);
}

void sortByPosition(QList<Diagnostic> &diagnostics)
{
    std::stable_sort(diagnostics.begin(), diagnostics.end(),
                     [](const Diagnostic &a, const Diagnostic &b) { return a.offset < b.offset; });
}
