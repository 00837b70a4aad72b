// The editor manager: one per process, created on first use.
#include "coreplugin/editormanager/editormanager.h"

#include "coreplugin/editormanager/documentmodel.h"
#include "coreplugin/editormanager/ieditor.h"
#include "coreplugin/idocument.h"

#include <QPointer>

namespace Core {

namespace {
QPointer<IEditor> &current()
{
    // Never destroyed, like the editor manager: usable from any destructor at exit.
    static auto *editor = new QPointer<IEditor>;
    return *editor;
}
QList<QPointer<IDocument>> &openDocuments()
{
    static auto *documents = new QList<QPointer<IDocument>>;
    return *documents;
}
} // namespace

// The documents the host announced as opened and not yet as closed.
QList<IDocument *> DocumentModel::openedDocuments()
{
    QList<IDocument *> documents;
    for (const QPointer<IDocument> &document : std::as_const(openDocuments())) {
        if (document)
            documents.append(document);
    }
    return documents;
}

EditorManager::EditorManager()
{
    connect(this, &EditorManager::documentOpened, this, [](IDocument *document) {
        if (document && !openDocuments().contains(document))
            openDocuments().append(document);
    });
    connect(this, &EditorManager::documentClosed, this,
            [](IDocument *document) { openDocuments().removeAll(document); });
}

EditorManager::~EditorManager() = default;

EditorManager *EditorManager::instance()
{
    static EditorManager *manager = new EditorManager; // lives as long as the process
    return manager;
}

IEditor *EditorManager::currentEditor()
{
    return current();
}

void EditorManager::openDocument(IDocument *document)
{
    emit instance()->documentOpened(document);
}

void EditorManager::closeDocument(IDocument *document)
{
    emit instance()->documentClosed(document);
}

void EditorManager::activateEditor(IEditor *editor)
{
    if (current() == editor)
        return;
    current() = editor;
    emit instance()->currentEditorChanged(editor);
}

} // namespace Core
