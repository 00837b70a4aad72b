// The build's options for the tools.
#include "buildcontext.h"

#include "menuview/analysis/compilecommands.h"
#include "menuview/analysis/compilerquery.h"

#include <QDir>

using namespace VelkoMenuView;

bool sourceContextFor(const QString &absolutePath, const BuildOptions &options,
                      SourceContext *context, QString *error)
{
    *context = SourceContext();
    context->path = absolutePath;
    const QString database = options.compileCommands.isEmpty()
            ? CompileCommands::discover(absolutePath)
            : options.compileCommands;
    if (!database.isEmpty()) {
        QString problem;
        context->configuration
                = CompileCommands::configurationFor(absolutePath, database, &problem);
        if (!problem.isEmpty()) {
            if (!options.compileCommands.isEmpty()) {
                *error = QStringLiteral("%1: %2").arg(database, problem);
                return false;
            }
            // A broken database that was only found: read without it.
            context->configuration = BuildConfiguration();
        }
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
    return true;
}
