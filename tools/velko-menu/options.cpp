// Command line parsing. Options may stand anywhere after the command, as
// "--name value" or "--name=value" ("-o FILE" or "-oFILE"); "--" ends them.
#include "options.h"

#include "theme.h"

#include "menuview/files/sourcelocation.h"

#include <QRegularExpression>

namespace {

struct Option
{
    QString name; // as typed, for messages
    QString value;
    bool hasValue = false;
};

class Arguments
{
public:
    explicit Arguments(const QStringList &arguments)
        : m_arguments(arguments)
    { }

    bool atEnd() const { return m_index >= m_arguments.size(); }
    QString next() { return m_arguments.at(m_index++); }
    bool hasNext() const { return m_index < m_arguments.size(); }

private:
    QStringList m_arguments;
    qsizetype m_index = 0;
};

// FILE:LINE or FILE:LINE:COLUMN; the file name itself may hold colons.
bool readPosition(const QString &argument, RenderOptions *options, QString *error)
{
    VelkoMenuView::SourceLocation location;
    if (!VelkoMenuView::parseSourceLocation(argument, &location, error))
        return false;
    if (location.line == 0) {
        *error = QStringLiteral("'%1' gives no line: use FILE:LINE[:COLUMN], or FILE --all -o DIR")
                         .arg(argument);
        return false;
    }
    options->file = location.path;
    options->line = location.line;
    options->column = qMax(location.column, 1);
    return true;
}

bool readTime(const QString &text, QTime *time, QString *error)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,2}):([0-9]{2})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    const int hour = match.captured(1).toInt();
    const int minute = match.captured(2).toInt();
    if (!match.hasMatch() || hour > 23 || minute > 59) {
        *error = QStringLiteral("--time takes HH:MM from 00:00 to 23:59, not '%1'").arg(text);
        return false;
    }
    *time = QTime(hour, minute);
    return true;
}

bool readScale(const QString &text, int *scale, QString *error)
{
    if (text != QLatin1String("1") && text != QLatin1String("2") && text != QLatin1String("3")) {
        *error = QStringLiteral("--scale takes 1, 2 or 3, not '%1'").arg(text);
        return false;
    }
    *scale = text.toInt();
    return true;
}

bool readTheme(const QString &text, const Theme **theme, QString *error)
{
    *theme = findTheme(text);
    if (*theme)
        return true;
    QStringList names;
    for (const Theme &known : themes())
        names << known.name;
    *error = QStringLiteral("unknown theme '%1' (choose from: %2)")
                     .arg(text, names.join(QStringLiteral(", ")));
    return false;
}

// Splits an option argument; -o may carry its value attached ("-oOUT.png").
Option splitOption(const QString &argument)
{
    Option option;
    if (argument.startsWith(QLatin1String("--"))) {
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        option.name = equals < 0 ? argument : argument.left(equals);
        if (equals >= 0) {
            option.value = argument.mid(equals + 1);
            option.hasValue = true;
        }
    } else if (argument.size() > 2
               && (argument.startsWith(QLatin1String("-o")) || argument.startsWith(QLatin1String("-D"))
                   || argument.startsWith(QLatin1String("-U"))
                   || argument.startsWith(QLatin1String("-I")))) {
        option.name = argument.left(2);
        option.value = argument.mid(2);
        option.hasValue = true;
    } else {
        option.name = argument;
    }
    return option;
}

bool takesValue(const QString &name)
{
    static const QStringList names = {QStringLiteral("--scale"),  QStringLiteral("--time"),
                                      QStringLiteral("-o"),       QStringLiteral("--output"),
                                      QStringLiteral("--theme"),  QStringLiteral("--real-digits"),
                                      QStringLiteral("-D"),       QStringLiteral("-U"),
                                      QStringLiteral("-I"),       QStringLiteral("--compile-commands")};
    return names.contains(name);
}

// The build's options, which render, check and lsp all take.
bool isBuildOption(const QString &name)
{
    static const QStringList names
            = {QStringLiteral("-D"), QStringLiteral("-U"), QStringLiteral("-I"),
               QStringLiteral("--compile-commands"), QStringLiteral("--all-branches")};
    return names.contains(name);
}

bool isRenderOption(const QString &name)
{
    static const QStringList names
            = {QStringLiteral("--scale"),  QStringLiteral("--time"),  QStringLiteral("-o"),
               QStringLiteral("--output"), QStringLiteral("--theme"), QStringLiteral("--ascii"),
               QStringLiteral("--all")};
    return names.contains(name);
}

bool isCheckOption(const QString &name)
{
    return name == QLatin1String("--werror") || name == QLatin1String("--real-digits");
}

bool applyOption(Command *command, const Option &option, QString *error)
{
    RenderOptions &render = command->render;
    const QString &name = option.name;
    if (name == QLatin1String("--scale"))
        return readScale(option.value, &render.scale, error);
    if (name == QLatin1String("--time"))
        return readTime(option.value, &render.time, error);
    if (name == QLatin1String("--theme"))
        return readTheme(option.value, &render.theme, error);
    if (name == QLatin1String("-o") || name == QLatin1String("--output")) {
        if (option.value.isEmpty()) {
            *error = QStringLiteral("%1 needs a file or folder name").arg(name);
            return false;
        }
        render.output = option.value;
        return true;
    }
    if (name == QLatin1String("--ascii")) {
        render.ascii = true;
        return true;
    }
    if (name == QLatin1String("--all")) {
        render.all = true;
        return true;
    }
    if (name == QLatin1String("--werror")) {
        command->check.werror = true;
        return true;
    }
    BuildOptions &build = command->build;
    if (name == QLatin1String("-D") || name == QLatin1String("-U") || name == QLatin1String("-I")) {
        if (option.value.isEmpty()) {
            *error = QStringLiteral("%1 needs a %2").arg(name, name == QLatin1String("-I")
                                                                       ? QStringLiteral("folder")
                                                                       : QStringLiteral("macro name"));
            return false;
        }
        build.arguments << name << option.value;
        return true;
    }
    if (name == QLatin1String("--compile-commands")) {
        build.compileCommands = option.value;
        return true;
    }
    if (name == QLatin1String("--all-branches")) {
        build.allBranches = true;
        return true;
    }
    if (name == QLatin1String("--real-digits")) {
        if (!VelkoMenuView::readCount(option.value, QStringLiteral("--real-digits"),
                                      &command->check.realDigits, error))
            return false;
        if (command->check.realDigits > 309) {
            *error = QStringLiteral(
                    "--real-digits goes up to 309, the integer digits of the largest double");
            return false;
        }
        return true;
    }
    *error = QStringLiteral("unknown option '%1'").arg(name);
    return false;
}

bool finishRender(const QStringList &positional, Command *command, QString *error)
{
    RenderOptions &render = command->render;
    if (positional.size() != 1) {
        *error = positional.isEmpty()
                ? QStringLiteral("render needs FILE:LINE[:COLUMN] (or FILE --all -o DIR)")
                : QStringLiteral("render takes one FILE:LINE[:COLUMN], not %1 arguments")
                          .arg(positional.size());
        return false;
    }
    if (!render.theme)
        render.theme = &defaultTheme();
    if (render.all) {
        render.file = positional.first();
        if (render.ascii) {
            *error = QStringLiteral("--ascii prints one screen and cannot be used with --all");
            return false;
        }
        if (render.output.isEmpty()) {
            *error = QStringLiteral("--all needs -o DIR, the folder for the PNG files");
            return false;
        }
        return true;
    }
    if (!readPosition(positional.first(), &render, error))
        return false;
    if (render.output.isEmpty() && !render.ascii) {
        *error = QStringLiteral("render needs -o OUT.png, --ascii, or both");
        return false;
    }
    return true;
}

} // namespace

bool parseCommandLine(const QStringList &arguments, Command *command, QString *error)
{
    *command = Command();
    // Help and version win wherever they stand.
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--"))
            break;
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            command->kind = Command::Kind::Help;
            return true;
        }
        if (argument == QLatin1String("--version")) {
            command->kind = Command::Kind::Version;
            return true;
        }
    }
    Arguments args(arguments);
    if (args.atEnd()) {
        *error = QStringLiteral("no command given");
        return false;
    }
    const QString name = args.next();
    if (name == QLatin1String("help")) {
        command->kind = Command::Kind::Help;
        return true;
    }
    if (name == QLatin1String("render")) {
        command->kind = Command::Kind::Render;
    } else if (name == QLatin1String("check")) {
        command->kind = Command::Kind::Check;
    } else if (name == QLatin1String("lsp")) {
        // Editors' generic clients often pass --stdio; it is the only transport anyway.
        command->kind = Command::Kind::Lsp;
        while (!args.atEnd()) {
            const QString argument = args.next();
            if (argument == QLatin1String("--stdio"))
                continue;
            Option option = splitOption(argument);
            if (!isBuildOption(option.name) || option.name == QLatin1String("--all-branches")) {
                *error = QStringLiteral("lsp takes only --stdio, -D, -U, -I and "
                                        "--compile-commands, not '%1'")
                                 .arg(argument);
                return false;
            }
            if (!option.hasValue) {
                if (!args.hasNext()) {
                    *error = QStringLiteral("%1 needs a value").arg(option.name);
                    return false;
                }
                option.value = args.next();
            }
            if (!applyOption(command, option, error))
                return false;
        }
        return true;
    } else {
        *error = QStringLiteral("unknown command '%1' (the commands are render, check and lsp)")
                         .arg(name);
        return false;
    }
    const bool render = command->kind == Command::Kind::Render;

    QStringList positional;
    bool optionsEnded = false;
    while (!args.atEnd()) {
        const QString argument = args.next();
        if (optionsEnded || !argument.startsWith(QLatin1Char('-'))
            || argument == QLatin1String("-")) {
            positional << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        Option option = splitOption(argument);
        if (!isRenderOption(option.name) && !isCheckOption(option.name)
            && !isBuildOption(option.name)) {
            *error = QStringLiteral("unknown option '%1'").arg(option.name);
            return false;
        }
        if (!isBuildOption(option.name) && render != isRenderOption(option.name)) {
            *error = QStringLiteral("%1 is not an option of %2").arg(option.name, name);
            return false;
        }
        if (takesValue(option.name) && !option.hasValue) {
            if (!args.hasNext()) {
                *error = QStringLiteral("%1 needs a value").arg(option.name);
                return false;
            }
            option.value = args.next();
            option.hasValue = true;
        } else if (!takesValue(option.name) && option.hasValue) {
            *error = QStringLiteral("%1 takes no value").arg(option.name);
            return false;
        }
        if (!applyOption(command, option, error))
            return false;
    }

    if (render)
        return finishRender(positional, command, error);
    if (positional.isEmpty()) {
        *error = QStringLiteral("check needs at least one FILE");
        return false;
    }
    command->check.files = positional;
    return true;
}
