// The build's options for a source file, found as established C tooling
// finds them: a compile_commands.json in the file's folder, one of its
// parents, or a build/ folder of one of them.
#pragma once

#include "menuview/analysis/buildconfiguration.h"

#include <QString>

namespace VelkoMenuView {

class CompileCommands
{
public:
    // The compile_commands.json that applies to `sourcePath`; empty when none.
    static QString discover(const QString &sourcePath);

    // The options of the entry for `sourcePath` in the database `databasePath`
    // (or, failing that, of an entry for a file in the same folder). Sets
    // *error, when given, when the database cannot be read; a database
    // without a fitting entry gives an empty configuration.
    static BuildConfiguration configurationFor(const QString &sourcePath,
                                               const QString &databasePath,
                                               QString *error = nullptr);

    // Both: the discovered database's options, or none.
    static BuildConfiguration discoverFor(const QString &sourcePath);
};

} // namespace VelkoMenuView
