// How the tools read a source file: its path, and the build's options from
// the compile_commands.json that applies to it (discovered, or given) with
// those of the command line on top; and where they came from, in words.
#pragma once

#include "options.h"

#include "creader/sourcereader.h"
#include "menuview/files/buildvariant.h"

namespace VelkoMenuView {

// False, with a one-line reason, when a given compile_commands.json cannot be read.
bool sourceContextFor(const QString &absolutePath, const BuildOptions &options,
                      ReadOptions *context, QString *error, BuildVariant *variant = nullptr);

} // namespace VelkoMenuView
