// MenuItems follows the host's current editor: the cursor at each timer tick,
// the text at each change of the tracked document.
#include "menuview/analysis/menuitems.h"

#include "coreplugin/editormanager/editormanager.h"
#include "coreplugin/editormanager/ieditor.h"

#include <QTextCodec>

void MenuItems::onTimeout()
{
    Core::IEditor *editor = Core::EditorManager::currentEditor();
    if (!editor)
        return;
    Core::IDocument *editorDocument = editor->document();
    const int line = editor->currentLine();
    const int column = editor->currentColumn();
    if (line == cursorLine && column == cursorColumn && editorDocument == document)
        return;
    cursorLine = line;
    cursorColumn = column;
    if (editorDocument != document) {
        if (document)
            disconnect(document, &Core::IDocument::contentsChanged, this, &MenuItems::contentsChanged);
        document = editorDocument;
        if (document)
            connect(document, &Core::IDocument::contentsChanged, this, &MenuItems::contentsChanged);
        contentsChanged();
    } else {
        analyze();
    }
}

void MenuItems::contentsChanged()
{
    // An editor without a document leaves nothing to read.
    if (!document)
        return;
    QTextCodec *codec = QTextCodec::codecForName("UTF-8");
    documentText = codec->toUnicode(document->contents());
    analyze();
}

void MenuItems::documentOpened(Core::IDocument *)
{
}

void MenuItems::documentClosed(Core::IDocument *closed)
{
    if (closed && closed == document) {
        disconnect(document, &Core::IDocument::contentsChanged, this, &MenuItems::contentsChanged);
        document = nullptr;
    }
    deleteUnusedSettings(closed);
}
