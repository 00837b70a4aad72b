// The warnings `check` gives for a menu that parses: its title, and each
// item's conversions, width and characters, as the screen would show them.
#pragma once

#include "diagnostic.h"
#include "menuwalk.h"

#include <QList>

class SourceFile;

// `shown` is the menu as the view formatted it, with the stored values:
// itemLines, itemParams and paramValues in step with block.menu.itemTexts.
void checkMenu(const SourceFile &file, const MenuBlock &block, const MenuDefinition &shown,
               int realDigits, QList<Diagnostic> *diagnostics);
