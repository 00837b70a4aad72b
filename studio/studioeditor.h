// StudioEditor: a code editor tab as the host's editor: its document and the
// 1-based line and column of its text cursor.
#pragma once

#include "textfileformat.h"

#include "coreplugin/editormanager/ieditor.h"

namespace VelkoMenuView {

class CodeEditor;
class StudioDocument;

class StudioEditor : public Core::IEditor
{
    Q_OBJECT

public:
    // `text` has "\n" line ends; the document saves it in `format`.
    StudioEditor(const QString &path, const QString &text, const TextFileFormat &format = {});
    ~StudioEditor() override;

    Core::IDocument *document() const override;
    int currentLine() const override;
    int currentColumn() const override;
    void gotoLine(int line, int column = 0, bool centerLine = true) override;
    QWidget *toolBar() override { return nullptr; }

    CodeEditor *editorWidget() const { return m_editor; }
    StudioDocument *studioDocument() const { return m_document; }

private:
    CodeEditor *m_editor;
    StudioDocument *m_document;
};

} // namespace VelkoMenuView
