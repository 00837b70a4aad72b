// Driving MenuItems through the stand-in host. The document is never reported
// as closed: closing would prune the user's stored values for this file.
#include "menuhost.h"

#include "coreplugin/editormanager/editormanager.h"

MenuHost::MenuHost(const QString &absolutePath, const QByteArray &contents)
    : m_document(absolutePath, contents)
    , m_editor(&m_document)
{
    QObject::connect(&m_view, &MenuItems::analyzed, &m_view, [this] { m_analyzed = true; });
    Core::EditorManager::activateEditor(&m_editor);
}

MenuHost::~MenuHost()
{
    Core::EditorManager::activateEditor(nullptr);
}

MenuHost::Outcome MenuHost::showAt(int line, int column)
{
    // The view looks again only when the cursor has moved.
    if (line == m_line && column == m_column)
        return m_outcome;
    m_line = line;
    m_column = column;
    m_analyzed = false;
    m_editor.setCursor(line, column);
    QMetaObject::invokeMethod(&m_view, "onTimeout");
    if (m_view.isMenuValid())
        m_outcome = Outcome::Shown;
    else
        m_outcome = m_analyzed ? Outcome::DoesNotParse : Outcome::NoMenu;
    return m_outcome;
}
