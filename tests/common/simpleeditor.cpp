// Widgetless editor.
#include "simpleeditor.h"

namespace VelkoMenuView {

SimpleEditor::SimpleEditor(Core::IDocument *document, int line, int column)
    : m_document(document)
    , m_line(line)
    , m_column(column)
{ }

void SimpleEditor::gotoLine(int line, int column, bool)
{
    setCursor(line, column > 0 ? column : 1);
}

void SimpleEditor::setCursor(int line, int column)
{
    m_line = line;
    m_column = column;
}

} // namespace VelkoMenuView
