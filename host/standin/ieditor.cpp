// Editor base.
#include "coreplugin/editormanager/ieditor.h"

namespace Core {

IEditor::IEditor() = default;

bool IEditor::duplicateSupported() const
{
    return m_duplicateSupported;
}

void IEditor::setDuplicateSupported(bool duplicateSupported)
{
    m_duplicateSupported = duplicateSupported;
}

} // namespace Core
