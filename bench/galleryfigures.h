// The gallery's figure: the whole command over a tree of 1,000 menus against
// check of the same tree.
#pragma once

class FigureTable;

void galleryFigures(FigureTable &table);
