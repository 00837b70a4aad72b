// velko-menu lsp: the language server on standard input and output.
#pragma once

#include "options.h"

namespace VelkoMenuView {

// Serves until the client sends "exit" or closes standard input. Exit
// status: 0 after an orderly shutdown, 1 otherwise. Needs a QCoreApplication.
int runLsp(const BuildOptions &build = {});

} // namespace VelkoMenuView
