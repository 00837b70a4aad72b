// The build's options for a source file, found as established C tooling
// finds them and where IDEs put them: a compile_commands.json in the file's
// folder or one of its parents, or in a build*/ folder of one of them (such
// as an IDE's build-<project>-<kit>-<configuration>/ beside the source
// tree). Where several hold an entry for the file, the one written last is
// taken.
#pragma once

#include "creader/buildconfiguration.h"

#include <QString>
#include <QStringList>

namespace VelkoMenuView {

class CompileCommands
{
public:
    // What a database holds for a file.
    enum class Entry {
        None, // nothing for it (or the database cannot be read)
        Folder, // an entry for another file in the same folder
        File, // an entry for the file itself
    };

    struct Search
    {
        QString database; // the one taken; empty when none holds an entry for the file
        QStringList places; // where databases were looked for, nearest first (patterns)
        QStringList older; // other databases with an entry as good, written before
    };

    // Looks for the database that applies to `sourcePath`: the best entry
    // wins, and among those as good the database written last.
    static Search search(const QString &sourcePath);
    static Entry entryFor(const QString &sourcePath, const QString &databasePath);

    // A short name for the variant a database describes: its folder's
    // ("build-fw-Desktop-Debug"), with the parent's for a plain "build" ("fw/build").
    static QString variantName(const QString &databasePath);

    // The options of the entry for `sourcePath` in the database `databasePath`
    // (or, failing that, of an entry for a file in the same folder). Sets
    // *error, when given, when the database cannot be read; a database
    // without a fitting entry gives an empty configuration.
    static BuildConfiguration configurationFor(const QString &sourcePath,
                                               const QString &databasePath,
                                               QString *error = nullptr);
};

} // namespace VelkoMenuView
