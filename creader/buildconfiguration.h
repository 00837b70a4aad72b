// The variant being built, as the compiler's command line gives it: macros
// defined and undefined, the folders headers are looked for in, files
// included before the source.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace VelkoMenuView {

struct BuildConfiguration
{
    struct Macro
    {
        bool define = true; // -D; false for -U
        QString name; // for -D, NAME or NAME(params)
        QString value; // -D NAME=VALUE; "1" for a bare -D NAME
    };

    QList<Macro> macros; // in the order given, as the compiler takes them
    QStringList quoteFolders; // -iquote: for #include "..." only
    QStringList includeFolders; // -I (and -isystem): for both kinds
    QStringList forcedIncludes; // -include, read before the source
    QString origin; // where it came from, for messages: a compile_commands.json, the options

    // The compiler the build names, the options of its command that change
    // its own macros (-std, -m..., -f..., -O..., --target), and the folder
    // the command runs in.
    QString compiler;
    QStringList compilerOptions;
    QString compilerDirectory;
    // What became of asking the compiler for its macros.
    enum class CompilerState { None, Queried, NotFound, NotAllowed, Failed };
    CompilerState compilerState = CompilerState::None;
    QString compilerPath; // the program, found
    QString compilerProblem; // for Failed, in words
    QStringList allowedCompilers; // the globs that were in force
    QString predefinedMacros; // the compiler's own, as #define lines

    bool isEmpty() const
    {
        return macros.isEmpty() && quoteFolders.isEmpty() && includeFolders.isEmpty()
                && forcedIncludes.isEmpty();
    }

    // Takes the options it knows from a compiler's arguments, both
    // spellings (-DNAME=1 and -D NAME=1); relative folders and files are
    // taken from `directory`. Others are passed over.
    static BuildConfiguration fromArguments(const QStringList &arguments, const QString &directory);
    // Splits a command line as a POSIX shell would: quotes and backslashes.
    static QStringList splitCommand(const QString &command);

    // The options of `other` after these: explicit options win over
    // discovered ones.
    void append(const BuildConfiguration &other);

    // The macros as a command line gives them, in order: "-DLANG_DE",
    // "-DLEVEL=2", "-UNDEBUG"; what tells variants apart.
    QStringList macroOptions() const;

    // The command line as the preprocessor reads it before the source: the
    // compiler's own macros, a #define or #undef per macro, an #include per
    // forced include.
    QString predefinedText() const;

    // The options of a compiler's command that change the macros it
    // predefines.
    static QStringList predefiningOptions(const QStringList &arguments);
};

} // namespace VelkoMenuView
