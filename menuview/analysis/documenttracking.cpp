// MenuItems follows the host's current editor: the cursor at each timer tick,
// the text at each change of the tracked document.
#include "menuview/analysis/menuitems.h"

#include "coreplugin/editormanager/editormanager.h"
#include "coreplugin/editormanager/ieditor.h"

QString MenuItems::decodeDocument(const QByteArray &bytes)
{
    // The same characters as the text codec named "UTF-8" gives (a leading
    // byte order mark dropped, each malformed sequence replaced), at about
    // half its cost: the decode is the largest part of a keystroke's work.
    return QString::fromUtf8(bytes);
}

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
    documentText = decodeDocument(document->contents());
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
