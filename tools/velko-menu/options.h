// The command line of velko-menu, read into what each command needs.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

struct Theme;

// The build's options given on the command line; they win over those of a
// discovered compile_commands.json.
struct BuildOptions
{
    QStringList arguments; // -D, -U and -I as given, in order
    QString compileCommands; // --compile-commands FILE instead of the discovered one
    bool allBranches = false; // --all-branches: menus of groups the build leaves out too
    bool verbose = false; // --verbose: say where the build's options came from
};

struct RenderOptions
{
    QString file;
    int line = 0; // from 1; 0 with --all
    int column = 1; // from 1, UTF-16 code units
    bool all = false;
    int scale = 1;
    QTime time; // invalid: the local time
    QString output; // PNG file, or the folder with --all
    bool ascii = false;
    const Theme *theme = nullptr;
};

struct CheckOptions
{
    QStringList files;
    bool werror = false;
    int realDigits = 10; // integer digits taken for the widest real value
};

struct Command
{
    enum class Kind { Help, Version, Render, Check, Lsp };
    Kind kind = Kind::Help;
    RenderOptions render;
    CheckOptions check;
    BuildOptions build; // for render, check and lsp
};

// The options in groups, as --help lists them; each command takes some of the
// groups: render all but Check and Lsp, check Check, Branches and Build, lsp
// Lsp and Build.
enum class OptionGroup { Build, Branches, Render, RenderAll, Check, Lsp };

// The --help lines of the groups' options, aligned in one block.
QString optionHelp(const QList<OptionGroup> &groups);

// Reads the arguments that follow the program name. Returns false and sets
// *error to a one-line reason when they do not make a valid command.
bool parseCommandLine(const QStringList &arguments, Command *command, QString *error);
