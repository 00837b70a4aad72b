// Core::EditorManager: knows the current editor and reports documents opening
// and closing.
#pragma once

#include <QObject>

namespace Core {

class IDocument;
class IEditor;

class EditorManager : public QObject
{
    Q_OBJECT

public:
    static EditorManager *instance();
    static IEditor *currentEditor();

    // Stand-in: our host makes an editor current (nullptr for none), and
    // opens and closes documents, which the editor manager announces.
    static void activateEditor(IEditor *editor);
    static void openDocument(IDocument *document);
    static void closeDocument(IDocument *document);

signals:
    void currentEditorChanged(Core::IEditor *editor);
    void documentOpened(Core::IDocument *document);
    void documentClosed(Core::IDocument *document);

private:
    EditorManager();
    ~EditorManager() override;
};

} // namespace Core
