// CodeEditor: a plain-text editor for C sources with a line-number margin and
// the current line highlighted.
#pragma once

#include <QPlainTextEdit>

namespace VelkoMenuView {

class CodeEditor : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit CodeEditor(QWidget *parent = nullptr);

    int lineNumberAreaWidth() const;
    void paintLineNumbers(QPaintEvent *event);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateMarginWidth();
    void updateLineNumberArea(const QRect &rect, int dy);
    void highlightCurrentLine();

    QWidget *m_lineNumbers;
};

} // namespace VelkoMenuView
