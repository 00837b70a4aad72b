// Command line parsing. Each option is declared once, in its group's table:
// the one walk over the arguments reads it from there and --help lists it from
// there. Options may stand anywhere after the command, as "--name value" or
// "--name=value" ("-o FILE" or "-oFILE"); "--" ends them. Not QCommandLineParser:
// its errors name neither the command nor another command's options.
#include "options.h"

#include "menuview/screen/theme.h"

#include "creader/buildconfiguration.h"
#include "menuview/files/sourcelocation.h"

#include <QHash>
#include <QRegularExpression>

using namespace Qt::StringLiterals;
namespace VelkoMenuView {

namespace {

struct OptionSpec
{
    // Without dashes, apart by spaces; a one-letter name is typed with one
    // dash and takes a value, which may be joined to it ("-oFILE").
    const char *names = "";
    const char *valueName = ""; // empty for a switch
    const char *description = "";
    // Returns why the value does not do, or nothing. value is empty for a
    // switch; name is the option as typed.
    QString (*apply)(Command &command, const QString &name, const QString &value) = nullptr;
    // What an empty value lacks ("a folder name"), when one is refused.
    const char *needs = nullptr;

    QStringList nameList() const { return QString::fromLatin1(names).split(u' '); }
    bool takesValue() const { return *valueName; }
};

// A switch that sets a flag of the command's options.
template<auto Options, auto Flag>
QString setFlag(Command &command, const QString &, const QString &)
{
    (command.*Options).*Flag = true;
    return {};
}

// An option whose value is taken as it is.
template<auto Options, auto Text>
QString setText(Command &command, const QString &, const QString &value)
{
    (command.*Options).*Text = value;
    return {};
}

QString addBuildArgument(Command &command, const QString &name, const QString &value)
{
    command.build.arguments << name << value;
    return {};
}

QString setTime(Command &command, const QString &, const QString &value)
{
    static const QRegularExpression pattern(u"^([0-9]{1,2}):([0-9]{2})$"_s);
    const QRegularExpressionMatch match = pattern.match(value);
    const int hour = match.captured(1).toInt();
    const int minute = match.captured(2).toInt();
    if (!match.hasMatch() || hour > 23 || minute > 59)
        return u"--time takes HH:MM from 00:00 to 23:59, not '%1'"_s.arg(value);
    command.render.time = QTime(hour, minute);
    return {};
}

QString setTheme(Command &command, const QString &, const QString &value)
{
    command.render.theme = findTheme(value);
    if (command.render.theme)
        return {};
    QStringList names;
    for (const Theme &known : themes())
        names << known.name;
    return u"unknown theme '%1' (choose from: %2)"_s.arg(value, names.join(u", "_s));
}

QString setRealDigits(Command &command, const QString &name, const QString &value)
{
    QString error;
    if (readCount(value, name, &command.check.realDigits, &error) && command.check.realDigits > 309)
        error = u"--real-digits goes up to 309, the integer digits of the largest double"_s;
    return error;
}

QString addVariant(Command &command, const QString &, const QString &value)
{
    static const QRegularExpression name(u"^[A-Za-z0-9_.+-]+$"_s);
    const qsizetype colon = value.indexOf(u':');
    GalleryVariant variant {value.left(colon), {}};
    if (colon < 0 || !name.match(variant.name).hasMatch())
        return u"--variant takes NAME:OPTIONS, a name of letters, digits, '_', '.', '+' and '-', "
               "not '%1'"_s.arg(value);
    for (const GalleryVariant &known : std::as_const(command.gallery.variants)) {
        if (known.name == variant.name)
            return u"--variant %1 is given twice"_s.arg(variant.name);
    }
    const QStringList words = BuildConfiguration::splitCommand(value.mid(colon + 1));
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString &word = words.at(i);
        const bool known = QRegularExpression(u"^-[DUI]."_s).match(word).hasMatch();
        const bool spaced = word == "-D"_L1 || word == "-U"_L1 || word == "-I"_L1;
        if (!known && !(spaced && i + 1 < words.size()))
            return u"--variant %1: '%2' is not -DNAME[=VALUE], -UNAME or -IDIR"_s.arg(variant.name,
                                                                                      word);
        variant.arguments << word;
        if (spaced)
            variant.arguments << words.at(++i);
    }
    command.gallery.variants << variant;
    return {};
}

// The options of the groups, in order.
QList<const OptionSpec *> options(const QList<OptionGroup> &groups)
{
    using G = OptionGroup;
    static const QHash<G, QList<OptionSpec>> tables = {
            {G::Build,
             {{"D", "NAME[=VALUE]", "define a macro (VALUE 1 by default); -DNAME=1 too",
               addBuildArgument, "a macro name"},
              {"U", "NAME", "undefine a macro", addBuildArgument, "a macro name"},
              {"I", "DIR",
               "look for headers in DIR; \"name\" headers are looked for beside the including "
               "file first",
               addBuildArgument, "a folder"},
              {"compile-commands", "FILE", "take this compile_commands.json instead",
               setText<&Command::build, &BuildOptions::compileCommands>},
              {"compiler", "PATH",
               "the build's compiler, instead of the one compile_commands.json names: its own "
               "macros (__GNUC__, __AVR__ ...) and system headers are asked of it, when "
               "--query-driver allows it to run",
               setText<&Command::build, &BuildOptions::compiler>, "a program"},
              {"query-driver", "GLOBS",
               "the compilers that may be run to ask for their macros, as globs apart by "
               "commas (default /usr/bin/*gcc*,/usr/bin/*cc,/usr/bin/clang*); another is "
               "never run, and a gcc-like host's macros stand in",
               [](Command &command, const QString &name, const QString &value) {
                   command.build.allowedCompilers << value.split(u',', Qt::SkipEmptyParts);
                   return value.trimmed().isEmpty() ? u"%1 needs globs"_s.arg(name) : QString();
               }},
              {"text-function", "NAME",
               "a function that returns its argument: a text passed through NAME(...) is "
               "read as its argument (repeat for several; gettext and dgettext are known)",
               [](Command &command, const QString &, const QString &value) {
                   command.build.textFunctions << value;
                   return QString();
               },
               "a function name"}}},
            {G::Branches,
             {{"all-branches", "",
               "(render, check) the menus of the conditional groups the build leaves out too",
               setFlag<&Command::build, &BuildOptions::allBranches>},
              {"verbose", "",
               "(render, check) say on standard error, per file, which build variant it is "
               "read in: the compile_commands.json taken and its macros, or where one was "
               "looked for",
               setFlag<&Command::build, &BuildOptions::verbose>}}},
            {G::Render,
             {{"o output", "OUT.png",
               "write a PNG, 128 x scale pixels wide and 8 x scale pixels per row, lit and "
               "unlit pixels in the theme's colours",
               setText<&Command::render, &RenderOptions::output>, "a file or folder name"},
              {"ascii", "",
               "print the screen to standard output at scale 1: one line per pixel row, 128 "
               "characters, '#' lit and '.' unlit, 8 lines per screen row, title row first; "
               "nothing else goes to standard output",
               setFlag<&Command::render, &RenderOptions::ascii>},
              {"scale", "1|2|3", "PNG magnification (default 1)",
               [](Command &command, const QString &, const QString &value) {
                   command.render.scale = value.toInt();
                   return QStringList {u"1"_s, u"2"_s, u"3"_s}.contains(value)
                           ? QString()
                           : u"--scale takes 1, 2 or 3, not '%1'"_s.arg(value);
               }},
              {"time", "HH:MM", "the clock of the title row (default: the local time)", setTime},
              {"screen-edge", "",
               "mark the screen's lower edge in the PNG of a menu longer than the screen: a "
               "dashed line, in a colour the theme's panel never shows, over the unlit pixels "
               "of the first row below it",
               setFlag<&Command::render, &RenderOptions::screenEdge>},
              {"theme", "NAME", "PNG colours, lit on unlit, one of:", setTheme}}},
            {G::RenderAll,
             {{"all", "",
               "instead of the menu at a position: every menu of FILE, into the folder that -o "
               "names",
               setFlag<&Command::render, &RenderOptions::all>}}},
            {G::Check,
             {{"werror", "", "warnings count as errors for the exit status",
               setFlag<&Command::check, &CheckOptions::werror>},
              {"real-digits", "N",
               "integer digits of the widest real value (default 10, as many as a 32-bit "
               "integer; a double could print 309)",
               setRealDigits},
              {"format", "text|sarif|json",
               "text: one line per finding (the default); sarif: a SARIF 2.1.0 log, one run "
               "with the rules of every finding kind; json: an array of one object per "
               "finding",
               [](Command &command, const QString &, const QString &value) {
                   using F = CheckOptions::Format;
                   static const QHash<QString, F> formats
                           = {{u"text"_s, F::Text}, {u"sarif"_s, F::Sarif}, {u"json"_s, F::Json}};
                   command.check.format = formats.value(value, F::Text);
                   return formats.contains(value)
                           ? QString()
                           : u"--format takes text, sarif or json, not '%1'"_s.arg(value);
               }}}},
            {G::Gallery,
             {{"o output", "DIR",
               "the folder to write index.html, changes.json and the pictures into (created "
               "if missing)",
               setText<&Command::gallery, &GalleryOptions::output>, "a folder name"},
              {"variant", "NAME:OPTIONS",
               "a variant of the build, its -D, -U and -I options after the colon (\"de:-DLANG_DE "
               "-Iinclude/de\"); repeated, the variants stand side by side",
               addVariant},
              {"baseline", "DIR", "compare with the gallery written into DIR before",
               setText<&Command::gallery, &GalleryOptions::baseline>},
              {"against", "REV",
               "compare with the files of the git revision REV (a commit, branch or tag), read "
               "from the repository without touching the work tree",
               setText<&Command::gallery, &GalleryOptions::against>},
              {"fail-on-change", "", "exit with 1 when a menu was added, removed, changed or moved",
               setFlag<&Command::gallery, &GalleryOptions::failOnChange>},
              {"time", "HH:MM",
               "the clock of the title rows (default 12:00, the same on every run)",
               [](Command &command, const QString &name, const QString &value) {
                   const QString error = setTime(command, name, value);
                   command.gallery.time = command.render.time;
                   return error;
               }}}},
            {G::Lsp,
             {{"stdio", "",
               "accepted for clients that pass it: standard input and output are the only "
               "transport",
               [](Command &, const QString &, const QString &) { return QString(); }}}}};
    QList<const OptionSpec *> options;
    for (const G group : groups) {
        for (const OptionSpec &spec : *tables.constFind(group))
            options << &spec;
    }
    return options;
}

QList<const OptionSpec *> commandTable(Command::Kind kind)
{
    using G = OptionGroup;
    switch (kind) {
    case Command::Kind::Render:
        return options({G::Render, G::RenderAll, G::Branches, G::Build});
    case Command::Kind::Check:
        return options({G::Check, G::Branches, G::Build});
    case Command::Kind::Gallery:
        return options({G::Gallery, G::Branches, G::Build});
    case Command::Kind::Help:
    case Command::Kind::Version:
    case Command::Kind::Lsp:
        break;
    }
    return options({G::Lsp, G::Build});
}

QString dashed(const QString &name)
{
    return (name.size() == 1 ? u"-"_s : u"--"_s) + name;
}

const OptionSpec *findOption(const QList<const OptionSpec *> &table, const QString &typed)
{
    for (const OptionSpec *spec : table) {
        for (const QString &name : spec->nameList()) {
            if (dashed(name) == typed)
                return spec;
        }
    }
    return nullptr;
}

bool finishRender(const QStringList &positional, Command *command, QString *error)
{
    RenderOptions &render = command->render;
    if (positional.size() != 1) {
        *error = positional.isEmpty()
                ? u"render needs FILE:LINE[:COLUMN] (or FILE --all -o DIR)"_s
                : u"render takes one FILE:LINE[:COLUMN], not %1 arguments"_s.arg(positional.size());
        return false;
    }
    if (!render.theme)
        render.theme = &defaultTheme();
    if (render.all) {
        render.file = positional.first();
        // A line picks one menu; --all renders every menu of the file.
        SourceLocation location;
        QString unused;
        if (parseSourceLocation(render.file, &location, &unused) && location.line > 0) {
            *error = u"--all takes a FILE without a line (%1, not %2)"_s.arg(location.path,
                                                                             render.file);
            return false;
        }
        *error = render.ascii ? u"--ascii prints one screen and cannot be used with --all"_s
                : render.output.isEmpty() ? u"--all needs -o DIR, the folder for the PNG files"_s
                                          : QString();
        return error->isEmpty();
    }
    // FILE:LINE or FILE:LINE:COLUMN; the file name itself may hold colons.
    SourceLocation location;
    if (!parseSourceLocation(positional.first(), &location, error))
        return false;
    if (location.line == 0) {
        *error = u"'%1' gives no line: use FILE:LINE[:COLUMN], or FILE --all -o DIR"_s.arg(
                positional.first());
        return false;
    }
    render.file = location.path;
    render.line = location.line;
    render.column = qMax(location.column, 1);
    if (render.output.isEmpty() && !render.ascii) {
        *error = u"render needs -o OUT.png, --ascii, or both"_s;
        return false;
    }
    return true;
}

} // namespace

QString optionHelp(const QList<OptionGroup> &groups)
{
    constexpr qsizetype Width = 77;
    QList<std::pair<QString, QString>> entries; // "  -o, --output OUT.png", description
    qsizetype column = 0;
    for (const OptionSpec *spec : options(groups)) {
        QStringList typed;
        for (const QString &name : spec->nameList())
            typed << dashed(name);
        const QString synopsis
                = u"  "_s + (typed.join(u", "_s) + u' ' + QLatin1String(spec->valueName)).trimmed();
        column = qMax(column, synopsis.size() + 2);
        entries.append({synopsis, QString::fromUtf8(spec->description)});
    }
    QString help;
    for (const auto &[synopsis, description] : entries) {
        QString line = synopsis.leftJustified(column);
        for (const QString &word : description.split(u' ')) {
            if (line.size() > column && line.size() + 1 + word.size() > Width) {
                help += line + u'\n';
                line = QString(column, u' ');
            }
            line += (line.size() > column ? u" "_s : QString()) + word;
        }
        help += line + u'\n';
    }
    return help;
}

bool parseCommandLine(const QStringList &arguments, Command *command, QString *error)
{
    using Kind = Command::Kind;
    *command = Command();
    error->clear();
    // Help and version win wherever they stand.
    for (const QString &argument : arguments.mid(0, arguments.indexOf(u"--"_s))) {
        if (argument == "-h"_L1 || argument == "--help"_L1 || argument == "--version"_L1) {
            command->kind = argument == "--version"_L1 ? Kind::Version : Kind::Help;
            return true;
        }
    }
    if (arguments.isEmpty()) {
        *error = u"no command given"_s;
        return false;
    }
    const QString name = arguments.first();
    static const QHash<QString, Kind> kinds = {{u"help"_s, Kind::Help},
                                               {u"render"_s, Kind::Render},
                                               {u"check"_s, Kind::Check},
                                               {u"gallery"_s, Kind::Gallery},
                                               {u"lsp"_s, Kind::Lsp}};
    if (!kinds.contains(name)) {
        *error = u"unknown command '%1' (the commands are render, check, gallery and lsp)"_s.arg(
                name);
        return false;
    }
    command->kind = kinds.value(name);
    if (command->kind == Kind::Help)
        return true;

    // Each argument in turn, so that -D and -U apply in the order typed and the
    // first fault is the one told.
    const QList<const OptionSpec *> own = commandTable(command->kind);
    const QList<const OptionSpec *> known
            = commandTable(Kind::Render) + commandTable(Kind::Check) + commandTable(Kind::Gallery);
    const bool lsp = command->kind == Kind::Lsp;
    QStringList positional;
    for (qsizetype i = 1; i < arguments.size() && error->isEmpty(); ++i) {
        const QString &argument = arguments.at(i);
        if (!lsp && argument == "--"_L1) {
            positional << arguments.mid(i + 1);
            break;
        }
        if (!lsp && (!argument.startsWith(u'-') || argument == "-"_L1)) {
            positional << argument;
            continue;
        }
        // As typed: "--name" of "--name=value", "-o" of "-oFILE" (and "=FILE" of "-o=FILE").
        const bool longName = argument.startsWith("--"_L1);
        const QString typed = longName ? argument.section(u'=', 0, 0)
                : argument.size() > 2 && findOption(known, argument.left(2)) ? argument.left(2)
                                                                             : argument;
        const OptionSpec *spec = findOption(own, typed);
        const bool attached = typed != argument;
        if (spec && spec->takesValue() && !attached && i + 1 == arguments.size()) {
            *error = u"%1 needs a value"_s.arg(typed);
        } else if (spec && (spec->takesValue() || !attached)) {
            const QString value = !spec->takesValue() ? QString()
                    : attached ? argument.mid(typed.size() + (longName ? 1 : 0))
                               : arguments.at(++i);
            *error = spec->needs && value.isEmpty()
                    ? u"%1 needs %2"_s.arg(typed, QLatin1String(spec->needs))
                    : spec->apply(*command, typed, value);
        } else if (lsp) {
            QStringList names;
            for (const OptionSpec *option : own)
                names << dashed(option->nameList().first());
            *error = u"lsp takes only %1 and %2, not '%3'"_s.arg(
                    names.mid(0, names.size() - 1).join(u", "_s), names.last(), argument);
        } else if (spec) {
            *error = u"%1 takes no value"_s.arg(typed);
        } else if (findOption(known, typed)) {
            *error = u"%1 is not an option of %2"_s.arg(typed, name);
        } else {
            *error = u"unknown option '%1'"_s.arg(typed);
        }
    }
    if (!error->isEmpty())
        return false;
    if (command->kind == Kind::Render)
        return finishRender(positional, command, error);
    if (command->kind == Kind::Gallery) {
        command->gallery.paths = positional;
        *error = positional.isEmpty() ? u"gallery needs at least one FILE or folder"_s
                : command->gallery.output.isEmpty()
                ? u"gallery needs -o DIR, the folder for the page"_s
                : !command->gallery.baseline.isEmpty() && !command->gallery.against.isEmpty()
                ? u"--baseline and --against cannot be used together"_s
                : QString();
        return error->isEmpty();
    }
    if (command->kind == Kind::Check && positional.isEmpty()) {
        *error = u"check needs at least one FILE"_s;
        return false;
    }
    command->check.files = positional;
    return true;
}

} // namespace VelkoMenuView
