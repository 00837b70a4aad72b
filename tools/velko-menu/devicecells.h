// How the device lays out a line in its 6 x 8 menu font: each character the
// font has takes one cell, any other is skipped and takes none.
#pragma once

#include <QList>
#include <QString>

// The cells a screen row has room for.
constexpr int ScreenCells = 21;

// Cells `line` takes when the device prints it.
int deviceCells(const QString &line);

// The characters of `line` the font lacks, each once, in order of appearance.
QList<char32_t> missingGlyphs(const QString &line);

// "U+00B5 'µ'", or just "U+0009" for a character that does not print.
QString describeCharacter(char32_t c);
