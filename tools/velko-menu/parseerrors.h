// Why a menu definition does not parse, in words, for `check` and `render`.
#pragma once

#include "menuwalk.h"

#include <QString>

class SourceFile;

// The message for a block that failed to parse; it belongs at block.errorOffset.
QString parseErrorMessage(const SourceFile &file, const MenuBlock &block);
