// One finding of `check`, and its line in the compiler format.
#pragma once

#include <QList>
#include <QString>

class SourceFile;

struct Diagnostic
{
    enum class Severity { Error, Warning };

    qsizetype offset = 0; // where it points, in the file's text
    Severity severity = Severity::Warning;
    QString message;
};

// "FILE:LINE:COLUMN: error|warning: message", FILE as the user named it.
QString formatDiagnostic(const SourceFile &file, const Diagnostic &diagnostic);

// Orders by position; findings at one position keep their order.
void sortByPosition(QList<Diagnostic> &diagnostics);
