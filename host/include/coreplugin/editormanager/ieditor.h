// Core::IEditor: an editor showing a document; gives the text cursor position.
#pragma once

#include "coreplugin/icontext.h"

#include <QByteArray>

class QWidget;

namespace Core {

class IDocument;

class IEditor : public IContext
{
    Q_OBJECT

public:
    IEditor();

    bool duplicateSupported() const;
    void setDuplicateSupported(bool duplicateSupported);

    virtual IDocument *document() const = 0;
    virtual IEditor *duplicate() { return nullptr; }
    virtual QByteArray saveState() const { return QByteArray(); }
    virtual void restoreState(const QByteArray & /*state*/) {}
    virtual int currentLine() const { return 0; }   // 1-based in text editors
    virtual int currentColumn() const { return 0; } // 1-based in text editors
    virtual void gotoLine(int /*line*/, int /*column*/ = 0, bool /*centerLine*/ = true) {}
    virtual QWidget *toolBar() = 0;
    virtual bool isDesignModePreferred() const { return false; }

signals:
    void editorDuplicated(Core::IEditor *duplicate);

private:
    bool m_duplicateSupported = false;
};

} // namespace Core
