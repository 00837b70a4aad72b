// The build's options for the tools.
#include "buildcontext.h"

#include "creader/compilecommands.h"
#include "creader/compilerquery.h"

#include <QDir>

namespace VelkoMenuView {
using namespace Qt::StringLiterals;

QString BuildOrigin::phrase() const
{
    QStringList options = databaseOptions + commandLine;
    if (database.isEmpty() && options.isEmpty())
        return u"no build options: no compile_commands.json has an entry for the file"_s;
    QStringList parts;
    parts << (database.isEmpty() ? u"the command line"_s : CompileCommands::variantName(database));
    if (!options.isEmpty())
        parts << options.join(u' ');
    return u"variant: "_s + parts.join(u", "_s);
}

QString BuildOrigin::details() const
{
    QString text;
    if (database.isEmpty()) {
        text = u"no compile_commands.json with an entry for the file; looked for %1"_s.arg(
                places.join(u", "_s));
    } else {
        text = u"%1, from %2"_s.arg(phrase(), database);
        if (given)
            text += u" (--compile-commands)"_s;
        else if (!older.isEmpty())
            text += u", the newest of %1 with an entry for the file (also %2)"_s.arg(
                    QString::number(older.size() + 1), older.join(u", "_s));
    }
    if (!commandLine.isEmpty())
        text += u"; %1 from the command line"_s.arg(commandLine.join(u' '));
    return text;
}

bool sourceContextFor(const QString &absolutePath, const BuildOptions &options,
                      ReadOptions *context, QString *error, BuildOrigin *origin)
{
    *context = ReadOptions();
    context->path = absolutePath;
    BuildOrigin found;
    found.given = !options.compileCommands.isEmpty();
    if (found.given) {
        found.database = options.compileCommands;
    } else {
        const CompileCommands::Search search = CompileCommands::search(absolutePath);
        found.database = search.database;
        found.older = search.older;
        found.places = search.places;
    }
    if (!found.database.isEmpty()) {
        QString problem;
        context->configuration
                = CompileCommands::configurationFor(absolutePath, found.database, &problem);
        if (!problem.isEmpty()) {
            if (found.given) {
                *error = QStringLiteral("%1: %2").arg(found.database, problem);
                return false;
            }
            // A broken database that was only found: read without it.
            context->configuration = BuildConfiguration();
            found.database.clear();
        }
        found.databaseOptions = context->configuration.macroOptions();
    }
    BuildConfiguration given
            = BuildConfiguration::fromArguments(options.arguments, QDir::currentPath());
    given.origin = given.isEmpty() ? QString() : QStringLiteral("the command line");
    if (!options.compiler.isEmpty()) {
        given.compiler = options.compiler;
        given.compilerDirectory = QDir::currentPath();
    }
    context->configuration.append(given);
    CompilerQuery::apply(&context->configuration, options.allowedCompilers);
    context->textFunctions = options.textFunctions;
    found.commandLine = options.arguments;
    if (origin)
        *origin = found;
    return true;
}

} // namespace VelkoMenuView
