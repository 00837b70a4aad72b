// A code editor tab seen as the host's editor.
#include "studioeditor.h"

#include "codeeditor.h"
#include "studiodocument.h"

#include <QTextBlock>
#include <QTextDocument>

namespace VelkoMenuView {

StudioEditor::StudioEditor(const QString &path, const QString &text, const TextFileFormat &format)
    : m_editor(new CodeEditor)
{
    m_editor->setPlainText(text);
    m_editor->document()->setModified(false);
    m_document = new StudioDocument(path, m_editor->document(), format, this);
    setWidget(m_editor);
}

StudioEditor::~StudioEditor()
{
    delete m_editor; // the tab widget hands the page back before the editor goes
}

Core::IDocument *StudioEditor::document() const
{
    return m_document;
}

int StudioEditor::currentLine() const
{
    return m_editor->textCursor().blockNumber() + 1;
}

int StudioEditor::currentColumn() const
{
    return m_editor->textCursor().positionInBlock() + 1;
}

void StudioEditor::gotoLine(int line, int column, bool centerLine)
{
    // Past the end means the nearest place there is: the last line.
    QTextDocument *text = m_editor->document();
    const QTextBlock block = text->findBlockByNumber(qBound(0, line - 1, text->blockCount() - 1));
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + qBound(0, column - 1, block.length() - 1));
    m_editor->setTextCursor(cursor);
    if (centerLine)
        m_editor->centerCursor();
}

} // namespace VelkoMenuView
