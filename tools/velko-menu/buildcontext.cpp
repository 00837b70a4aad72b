// The build's options for the tools.
#include "buildcontext.h"

#include "creader/compilecommands.h"
#include "creader/compilerquery.h"

#include <QDir>

namespace VelkoMenuView {

bool sourceContextFor(const QString &absolutePath, const BuildOptions &options,
                      ReadOptions *context, QString *error, BuildVariant *variant)
{
    *context = ReadOptions();
    context->path = absolutePath;
    BuildVariant found;
    found.given = !options.compileCommands.isEmpty();
    if (found.given)
        found.database = options.compileCommands;
    else
        found.search(absolutePath);
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
        found.options = context->configuration.macroOptions();
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
    if (variant)
        *variant = found;
    return true;
}

} // namespace VelkoMenuView
