// The language server's figure for docs/performance.md: a large document's
// findings published after the debounce, against one decode of its text.
#pragma once

class FigureTable;

void lspFigures(FigureTable &table);
