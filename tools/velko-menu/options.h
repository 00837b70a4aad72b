// The command line of velko-menu, read into what each command needs.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

namespace VelkoMenuView {

struct Theme;

// The build's options given on the command line; they win over those of a
// discovered compile_commands.json.
struct BuildOptions
{
    QStringList arguments; // -D, -U and -I as given, in order
    QString compileCommands; // --compile-commands FILE instead of the discovered one
    bool allBranches = false; // --all-branches: menus of groups the build leaves out too
    QString compiler; // --compiler PATH instead of the one the database names
    QStringList allowedCompilers; // --query-driver GLOB,...: empty for the default ones
    QStringList textFunctions; // --text-function NAME
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
    bool screenEdge = false; // the PNG marks the screen's lower edge
    const Theme *theme = nullptr;
};

struct CheckOptions
{
    enum class Format { Text, Sarif, Json };
    QStringList files; // files and folders
    Format format = Format::Text;
    bool werror = false;
    int realDigits = 10; // integer digits taken for the widest real value
};

// A variant of the build for a gallery: --variant NAME:OPTIONS.
struct GalleryVariant
{
    QString name;
    QStringList arguments; // -D, -U and -I, after the command line's own
};

struct GalleryOptions
{
    QStringList paths; // files and folders
    QString output; // the folder written
    QList<GalleryVariant> variants; // none: the build as the options give it
    QString baseline; // a folder a gallery was written into before
    QString against; // a git revision
    bool failOnChange = false;
    QTime time = QTime(12, 0); // fixed, so that galleries compare
};

struct Command
{
    enum class Kind { Help, Version, Render, Check, Gallery, Lsp };
    Kind kind = Kind::Help;
    RenderOptions render;
    CheckOptions check;
    GalleryOptions gallery;
    BuildOptions build; // for render, check and lsp
};

// The options in groups, as --help lists them; each command takes some of the
// groups: render all but Check, Gallery and Lsp, check Check, Branches and
// Build, gallery Gallery, Branches and Build, lsp Lsp and Build.
enum class OptionGroup { Build, Branches, Render, RenderAll, Check, Gallery, Lsp };

// The --help lines of the groups' options, aligned in one block.
QString optionHelp(const QList<OptionGroup> &groups);

// Reads the arguments that follow the program name. Returns false and sets
// *error to a one-line reason when they do not make a valid command.
bool parseCommandLine(const QStringList &arguments, Command *command, QString *error);

} // namespace VelkoMenuView
