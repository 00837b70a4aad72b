// How the tools read a source file: its path, and the build's options from
// the compile_commands.json that applies to it (discovered, or given) with
// those of the command line on top.
#pragma once

#include "options.h"

#include "menuview/analysis/sourcereader.h"

// False, with a one-line reason, when a given compile_commands.json cannot be read.
bool sourceContextFor(const QString &absolutePath, const BuildOptions &options,
                      VelkoMenuView::SourceContext *context, QString *error);
