// Command line parsing. Each option is declared once, in its group's table:
// QCommandLineParser reads it from there and --help lists it from there.
// Options may stand anywhere after the command, as "--name value" or
// "--name=value" ("-o FILE" or "-oFILE"); "--" ends them.
#include "options.h"

#include "theme.h"

#include "menuview/files/sourcelocation.h"

#include <QCommandLineParser>
#include <QHash>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

struct OptionSpec
{
    QStringList names; // without dashes; a one-letter name takes one
    QString valueName; // empty for a switch
    QString description;
    // Returns why the value does not do, or nothing. value is empty for a
    // switch; name is the option as typed.
    QString (*apply)(Command &command, const QString &name, const QString &value) = nullptr;
};

QString addBuildArgument(Command &command, const QString &name, const QString &value)
{
    if (value.isEmpty())
        return u"%1 needs a %2"_s.arg(name, name == "-I"_L1 ? u"folder"_s : u"macro name"_s);
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
    if (!VelkoMenuView::readCount(value, name, &command.check.realDigits, &error))
        return error;
    if (command.check.realDigits > 309)
        return u"--real-digits goes up to 309, the integer digits of the largest double"_s;
    return {};
}

// Indexed by OptionGroup.
const QList<OptionSpec> &optionTable(OptionGroup group)
{
    static const QList<OptionSpec> tables[]
            = {{{{u"D"_s},
                 u"NAME[=VALUE]"_s,
                 u"define a macro (VALUE 1 by default); -DNAME=1 too"_s,
                 addBuildArgument},
                {{u"U"_s}, u"NAME"_s, u"undefine a macro"_s, addBuildArgument},
                {{u"I"_s},
                 u"DIR"_s,
                 u"look for headers in DIR; \"name\" headers are looked for beside the including "
                 "file first"_s,
                 addBuildArgument},
                {{u"compile-commands"_s},
                 u"FILE"_s,
                 u"take this compile_commands.json instead"_s,
                 [](Command &command, const QString &, const QString &value) {
                     command.build.compileCommands = value;
                     return QString();
                 }}},
               {{{u"all-branches"_s},
                 {},
                 u"(render, check) the menus of the conditional groups the build leaves out "
                 "too"_s,
                 [](Command &command, const QString &, const QString &) {
                     command.build.allBranches = true;
                     return QString();
                 }}},
               {{{u"o"_s, u"output"_s},
                 u"OUT.png"_s,
                 u"write a PNG, 128 x scale pixels wide and 8 x scale pixels per row, lit and "
                 "unlit pixels in the theme's colours"_s,
                 [](Command &command, const QString &name, const QString &value) {
                     command.render.output = value;
                     return value.isEmpty() ? u"%1 needs a file or folder name"_s.arg(name)
                                            : QString();
                 }},
                {{u"ascii"_s},
                 {},
                 u"print the screen to standard output at scale 1: one line per pixel row, 128 "
                 "characters, '#' lit and '.' unlit, 8 lines per screen row, title row first; "
                 "nothing else goes to standard output"_s,
                 [](Command &command, const QString &, const QString &) {
                     command.render.ascii = true;
                     return QString();
                 }},
                {{u"scale"_s},
                 u"1|2|3"_s,
                 u"PNG magnification (default 1)"_s,
                 [](Command &command, const QString &, const QString &value) {
                     command.render.scale = value.toInt();
                     return QStringList {u"1"_s, u"2"_s, u"3"_s}.contains(value)
                             ? QString()
                             : u"--scale takes 1, 2 or 3, not '%1'"_s.arg(value);
                 }},
                {{u"time"_s},
                 u"HH:MM"_s,
                 u"the clock of the title row (default: the local time)"_s,
                 setTime},
                {{u"theme"_s}, u"NAME"_s, u"PNG colours, lit on unlit, one of:"_s, setTheme}},
               {{{u"all"_s},
                 {},
                 u"instead of the menu at a position: every menu of FILE, into the folder that "
                 "-o names"_s,
                 [](Command &command, const QString &, const QString &) {
                     command.render.all = true;
                     return QString();
                 }}},
               {{{u"werror"_s},
                 {},
                 u"warnings count as errors for the exit status"_s,
                 [](Command &command, const QString &, const QString &) {
                     command.check.werror = true;
                     return QString();
                 }},
                {{u"real-digits"_s},
                 u"N"_s,
                 u"integer digits of the widest real value (default 10, as many as a 32-bit "
                 "integer; a double could print 309)"_s,
                 setRealDigits}},
               {{{u"stdio"_s},
                 {},
                 u"accepted for clients that pass it: standard input and output are the only "
                 "transport"_s,
                 [](Command &, const QString &, const QString &) { return QString(); }}}};
    return tables[int(group)];
}

QList<const OptionSpec *> commandTable(Command::Kind kind)
{
    using G = OptionGroup;
    const QList<G> groups = kind == Command::Kind::Render
            ? QList<G> {G::Render, G::RenderAll, G::Branches, G::Build}
            : kind == Command::Kind::Check ? QList<G> {G::Check, G::Branches, G::Build}
                                           : QList<G> {G::Lsp, G::Build};
    QList<const OptionSpec *> table;
    for (const OptionGroup group : groups) {
        for (const OptionSpec &spec : optionTable(group))
            table << &spec;
    }
    return table;
}

QString dashed(const QString &name)
{
    return (name.size() == 1 ? u"-"_s : u"--"_s) + name;
}

const OptionSpec *findOption(const QList<const OptionSpec *> &table, const QString &typed)
{
    for (const OptionSpec *spec : table) {
        for (const QString &name : spec->names) {
            if (dashed(name) == typed)
                return spec;
        }
    }
    return nullptr;
}

// The option as typed: "--name" of "--name=value", "-o" of "-oFILE".
QString optionName(const QString &argument, const QList<const OptionSpec *> &known)
{
    if (argument.startsWith("--"_L1))
        return argument.section(u'=', 0, 0);
    const OptionSpec *spec = argument.size() > 2 ? findOption(known, argument.left(2)) : nullptr;
    return spec && !spec->valueName.isEmpty() ? argument.left(2) : argument;
}

// The arguments up to the first that the command does not take, for
// QCommandLineParser, with *stray saying why that one is not taken. Checked
// here since the parser names an option without its dashes, neither the
// command nor where a fault stood, and knows no other command's options.
// "-oFILE" is handed on as "-o FILE": the parser drops the "=" of "-o=FILE".
QStringList readable(const QStringList &arguments, Command::Kind kind, const QString &command,
                     QString *stray)
{
    const QList<const OptionSpec *> own = commandTable(kind);
    const QList<const OptionSpec *> known
            = commandTable(Command::Kind::Render) + commandTable(Command::Kind::Check);
    const bool lsp = kind == Command::Kind::Lsp;
    QStringList taken;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (!lsp && argument == "--"_L1)
            return taken + arguments.mid(i);
        if (!lsp && (!argument.startsWith(u'-') || argument == "-"_L1)) {
            taken << argument;
            continue;
        }
        const QString name = optionName(argument, known);
        const OptionSpec *spec = findOption(own, name);
        const bool attached = name != argument;
        if (spec && !spec->valueName.isEmpty() && !attached && i + 1 == arguments.size()) {
            *stray = u"%1 needs a value"_s.arg(name);
        } else if (spec && (!spec->valueName.isEmpty() || !attached)) {
            if (attached && !argument.startsWith("--"_L1))
                taken << name << argument.mid(2);
            else if (!attached && !spec->valueName.isEmpty())
                taken << argument << arguments.at(++i);
            else
                taken << argument;
            continue;
        } else if (lsp) {
            QStringList names;
            for (const OptionSpec *option : own)
                names << dashed(option->names.first());
            *stray = u"lsp takes only %1 and %2, not '%3'"_s.arg(
                    names.mid(0, names.size() - 1).join(u", "_s), names.last(), argument);
        } else if (spec) {
            *stray = u"%1 takes no value"_s.arg(name);
        } else if (findOption(known, name)) {
            *stray = u"%1 is not an option of %2"_s.arg(name, command);
        } else {
            *stray = u"unknown option '%1'"_s.arg(name);
        }
        return taken;
    }
    return taken;
}

// FILE:LINE or FILE:LINE:COLUMN; the file name itself may hold colons.
bool readPosition(const QString &argument, RenderOptions *options, QString *error)
{
    VelkoMenuView::SourceLocation location;
    if (!VelkoMenuView::parseSourceLocation(argument, &location, error))
        return false;
    if (location.line == 0) {
        *error = u"'%1' gives no line: use FILE:LINE[:COLUMN], or FILE --all -o DIR"_s.arg(
                argument);
        return false;
    }
    options->file = location.path;
    options->line = location.line;
    options->column = qMax(location.column, 1);
    return true;
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
        if (render.ascii) {
            *error = u"--ascii prints one screen and cannot be used with --all"_s;
            return false;
        }
        if (render.output.isEmpty()) {
            *error = u"--all needs -o DIR, the folder for the PNG files"_s;
            return false;
        }
        return true;
    }
    if (!readPosition(positional.first(), &render, error))
        return false;
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
    QStringList synopses;
    QStringList descriptions;
    for (const OptionGroup group : groups) {
        for (const OptionSpec &spec : optionTable(group)) {
            QStringList typed;
            for (const QString &name : spec.names)
                typed << dashed(name);
            synopses << typed.join(u", "_s)
                            + (spec.valueName.isEmpty() ? u""_s : u' ' + spec.valueName);
            descriptions << spec.description;
        }
    }
    qsizetype column = 0;
    for (const QString &synopsis : synopses)
        column = qMax(column, synopsis.size() + 4);
    QString help;
    for (qsizetype i = 0; i < synopses.size(); ++i) {
        QString line = (u"  "_s + synopses.at(i)).leftJustified(column);
        for (const QString &word : descriptions.at(i).split(u' ')) {
            if (line.size() > column && line.size() + 1 + word.size() > Width) {
                help += line + u'\n';
                line = QString(column, u' ');
            } else if (line.size() > column) {
                line += u' ';
            }
            line += word;
        }
        help += line + u'\n';
    }
    return help;
}

bool parseCommandLine(const QStringList &arguments, Command *command, QString *error)
{
    *command = Command();
    // Help and version win wherever they stand.
    for (const QString &argument : arguments) {
        if (argument == "--"_L1)
            break;
        if (argument == "-h"_L1 || argument == "--help"_L1) {
            command->kind = Command::Kind::Help;
            return true;
        }
        if (argument == "--version"_L1) {
            command->kind = Command::Kind::Version;
            return true;
        }
    }
    if (arguments.isEmpty()) {
        *error = u"no command given"_s;
        return false;
    }
    const QString name = arguments.first();
    static const QHash<QString, Command::Kind> kinds = {{u"help"_s, Command::Kind::Help},
                                                        {u"render"_s, Command::Kind::Render},
                                                        {u"check"_s, Command::Kind::Check},
                                                        {u"lsp"_s, Command::Kind::Lsp}};
    if (!kinds.contains(name)) {
        *error = u"unknown command '%1' (the commands are render, check and lsp)"_s.arg(name);
        return false;
    }
    command->kind = kinds.value(name);
    if (command->kind == Command::Kind::Help)
        return true;

    // The arguments before the first stray one are read and applied, so that a
    // bad value before it is the fault told.
    QString stray;
    const QStringList readArguments = readable(arguments.mid(1), command->kind, name, &stray);
    const QList<const OptionSpec *> table = commandTable(command->kind);
    QCommandLineParser parser;
    for (const OptionSpec *spec : table)
        parser.addOption(QCommandLineOption(spec->names, spec->description, spec->valueName));
    if (!parser.parse(QStringList(name) + readArguments)) {
        *error = parser.errorText();
        return false;
    }
    // In the order typed: -D and -U apply in turn, and the first bad value is told.
    QHash<const OptionSpec *, qsizetype> taken;
    for (const QString &found : parser.optionNames()) {
        const OptionSpec *spec = findOption(table, dashed(found));
        const QString value
                = spec->valueName.isEmpty() ? QString() : parser.values(found).at(taken[spec]++);
        *error = spec->apply(*command, dashed(found), value);
        if (!error->isEmpty())
            return false;
    }
    if (!stray.isEmpty()) {
        *error = stray;
        return false;
    }
    const QStringList positional = parser.positionalArguments();
    if (command->kind == Command::Kind::Render)
        return finishRender(positional, command, error);
    if (command->kind == Command::Kind::Check && positional.isEmpty()) {
        *error = u"check needs at least one FILE"_s;
        return false;
    }
    command->check.files = positional;
    return true;
}
