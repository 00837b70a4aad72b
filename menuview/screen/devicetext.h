// How the device lays out a line in its menu font: each character the font
// has takes one cell, any other is skipped and takes none.
#pragma once

#include <QList>
#include <QString>

namespace VelkoMenuView {

// Cells `line` takes when the device prints it.
int deviceCells(const QString &line);

// The characters of `line` the font lacks, each once, in order of appearance.
QList<char32_t> missingGlyphs(const QString &line);

} // namespace VelkoMenuView
