// Programs run as a user runs them, for the suites that drive velko-menu and
// the tools around it (git, a browser, node).
#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct Run
{
    int exitCode = -1;
    bool crashed = true; // also when it did not finish in time
    QString out;
    QString err;
};

// Runs `program` to its end (at most two minutes), `input` on its standard input.
Run runProgram(const QString &program, const QStringList &arguments,
               const QProcessEnvironment &environment, const QString &workingDirectory = QString(),
               const QByteArray &input = QByteArray());

// The test's own environment: the same HOME and XDG_CONFIG_HOME as this
// process, which CTest points into the build tree; and no window system, which
// the tool must not need.
QProcessEnvironment toolEnvironment();
