// An editor without a widget of its own: a document and a cursor position that
// its owner sets. Serves the tests, the fuzzers and the benchmark.
#pragma once

#include "coreplugin/editormanager/ieditor.h"

namespace VelkoMenuView {

class SimpleEditor : public Core::IEditor
{
    Q_OBJECT

public:
    explicit SimpleEditor(Core::IDocument *document, int line = 1, int column = 1);

    Core::IDocument *document() const override { return m_document; }
    int currentLine() const override { return m_line; }
    int currentColumn() const override { return m_column; }
    void gotoLine(int line, int column = 0, bool centerLine = true) override;
    QWidget *toolBar() override { return nullptr; }

    void setCursor(int line, int column);

private:
    Core::IDocument *m_document;
    int m_line;
    int m_column;
};

} // namespace VelkoMenuView
