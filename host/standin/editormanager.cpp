// The editor manager: one per process, created on first use.
#include "coreplugin/editormanager/editormanager.h"

#include "coreplugin/editormanager/ieditor.h"

#include <QPointer>

namespace Core {

namespace {
QPointer<IEditor> &current()
{
    // Never destroyed, like the editor manager: usable from any destructor at exit.
    static auto *editor = new QPointer<IEditor>;
    return *editor;
}
} // namespace

EditorManager::EditorManager() = default;

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

void EditorManager::activateEditor(IEditor *editor)
{
    if (current() == editor)
        return;
    current() = editor;
    emit instance()->currentEditorChanged(editor);
}

} // namespace Core
