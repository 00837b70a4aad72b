// How the tools read a source file: its path, and the build's options from
// the compile_commands.json that applies to it (discovered, or given) with
// those of the command line on top; and where they came from, in words.
#pragma once

#include "options.h"

#include "creader/sourcereader.h"

#include <QStringList>

namespace VelkoMenuView {

// Where the options a file is read with came from.
struct BuildOrigin
{
    QString database; // the compile_commands.json read; empty when none applied
    bool given = false; // named by --compile-commands
    QStringList older; // other databases with an entry for the file, written before
    QStringList places; // where databases were looked for
    QStringList databaseOptions; // its macros for the file
    QStringList commandLine; // -D, -U and -I of the command line, on top

    // One line, for the end of a hover: "variant: build-fw-Desktop-Debug, -DLANG_DE".
    QString phrase() const;
    // For --verbose: the database's path, why it was taken, or where none was found.
    QString details() const;
};

// False, with a one-line reason, when a given compile_commands.json cannot be read.
bool sourceContextFor(const QString &absolutePath, const BuildOptions &options,
                      ReadOptions *context, QString *error, BuildOrigin *origin = nullptr);

} // namespace VelkoMenuView
