// Compiler options, read as gcc reads them.
#include "creader/buildconfiguration.h"

#include <QDir>

namespace VelkoMenuView {

namespace {

QString absolute(const QString &path, const QString &directory)
{
    if (path.isEmpty() || QDir::isAbsolutePath(path) || directory.isEmpty())
        return path;
    return QDir::cleanPath(QDir(directory).filePath(path));
}

BuildConfiguration::Macro macroOption(bool define, const QString &text)
{
    BuildConfiguration::Macro macro;
    macro.define = define;
    const qsizetype equals = define ? text.indexOf(QLatin1Char('=')) : -1;
    macro.name = (equals < 0 ? text : text.left(equals)).trimmed();
    macro.value = equals < 0 ? QStringLiteral("1") : text.mid(equals + 1);
    return macro;
}

} // namespace

QStringList BuildConfiguration::splitCommand(const QString &command)
{
    QStringList words;
    QString word;
    bool inWord = false;
    QChar quote;
    for (qsizetype i = 0; i < command.size(); ++i) {
        const QChar c = command[i];
        if (!quote.isNull()) {
            if (c == quote) {
                quote = QChar();
            } else if (c == QLatin1Char('\\') && quote == QLatin1Char('"') && i + 1 < command.size()
                       && QStringView(u"\"\\$`").contains(command[i + 1])) {
                word += command[++i];
            } else {
                word += c;
            }
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            inWord = true;
        } else if (c == QLatin1Char('\\') && i + 1 < command.size()) {
            word += command[++i];
            inWord = true;
        } else if (c.isSpace()) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words << word;
    return words;
}

BuildConfiguration BuildConfiguration::fromArguments(const QStringList &arguments,
                                                     const QString &directory)
{
    BuildConfiguration configuration;
    // An option that takes its value in the next argument, or glued to it.
    const auto value = [&](qsizetype *i, const QString &option, QString *out) {
        const QString &argument = arguments.at(*i);
        if (!argument.startsWith(option))
            return false;
        if (argument.size() > option.size()) {
            *out = argument.mid(option.size());
            return true;
        }
        if (*i + 1 >= arguments.size())
            return false;
        *out = arguments.at(++*i);
        return true;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString text;
        if (value(&i, QStringLiteral("-iquote"), &text)) {
            configuration.quoteFolders << absolute(text, directory);
        } else if (value(&i, QStringLiteral("-isystem"), &text)) {
            configuration.includeFolders << absolute(text, directory);
        } else if (value(&i, QStringLiteral("-include"), &text)) {
            configuration.forcedIncludes << absolute(text, directory);
        } else if (value(&i, QStringLiteral("-D"), &text)) {
            configuration.macros << macroOption(true, text);
        } else if (value(&i, QStringLiteral("-U"), &text)) {
            configuration.macros << macroOption(false, text);
        } else if (value(&i, QStringLiteral("-I"), &text)) {
            configuration.includeFolders << absolute(text, directory);
        }
    }
    return configuration;
}

void BuildConfiguration::append(const BuildConfiguration &other)
{
    macros << other.macros;
    // Folders given explicitly are looked in first.
    quoteFolders = other.quoteFolders + quoteFolders;
    includeFolders = other.includeFolders + includeFolders;
    forcedIncludes << other.forcedIncludes;
    if (!other.compiler.isEmpty()) {
        compiler = other.compiler;
        compilerOptions = other.compilerOptions;
        compilerDirectory = other.compilerDirectory;
    }
    if (!other.origin.isEmpty())
        origin = origin.isEmpty() ? other.origin : origin + QStringLiteral(", ") + other.origin;
}

QStringList BuildConfiguration::predefiningOptions(const QStringList &arguments)
{
    QStringList options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        const bool withValue = a == u"-target" || a == u"--sysroot" || a == u"-isysroot";
        if (withValue && i + 1 < arguments.size()) {
            options << a << arguments.at(++i);
        } else if (a.startsWith(u"-std=") || a == u"-ansi" || a == u"-undef" || a == u"-pthread"
                   || a == u"-nostdinc" || a.startsWith(u"--target=") || a.startsWith(u"--sysroot=")
                   || (a.startsWith(u"-m") && a.size() > 2) || (a.startsWith(u"-f") && a.size() > 2)
                   || a.startsWith(u"-O")) {
            options << a;
        }
    }
    return options;
}

QStringList BuildConfiguration::macroOptions() const
{
    QStringList options;
    for (const Macro &macro : macros) {
        if (!macro.define)
            options << QStringLiteral("-U") + macro.name;
        else if (macro.value == QLatin1String("1"))
            options << QStringLiteral("-D") + macro.name;
        else
            options << QStringLiteral("-D%1=%2").arg(macro.name, macro.value);
    }
    return options;
}

QString BuildConfiguration::predefinedText() const
{
    QString text = predefinedMacros;
    for (const Macro &macro : macros) {
        if (macro.name.isEmpty())
            continue;
        text += macro.define ? QStringLiteral("#define %1 %2\n").arg(macro.name, macro.value)
                             : QStringLiteral("#undef %1\n").arg(macro.name);
    }
    for (const QString &file : forcedIncludes)
        text += QStringLiteral("#include \"%1\"\n").arg(file);
    return text;
}

} // namespace VelkoMenuView
