// The screen's status, changed only when it differs.
#include "menuview/screenstatus.h"

#include "creader/compilerquery.h"

namespace VelkoMenuView {

void ScreenStatus::setNoMenu()
{
    set(State::NoMenu, QString(), {}, {}, QString());
}

void ScreenStatus::setShown(const QString &menuName, TextPosition first, TextPosition last,
                            int inactiveGroupLine, int items)
{
    set(State::Shown, menuName, first, last, QString(), inactiveGroupLine, items);
}

void ScreenStatus::setCannotRead(TextPosition at, const QString &reason)
{
    set(State::CannotRead, QString(), at, at, reason);
}

void ScreenStatus::setDocumentClosed(const QString &documentName)
{
    const bool keepsMenu
            = m_state == State::Shown || (m_state == State::DocumentClosed && m_keepsMenu);
    if (m_state == State::DocumentClosed && documentName == m_closedDocument)
        return;
    m_state = State::DocumentClosed;
    m_closedDocument = documentName;
    m_keepsMenu = keepsMenu;
    if (!keepsMenu) {
        m_menuName.clear();
        m_first = m_last = {};
        m_reason.clear();
    }
    emit changed();
}

QString ScreenStatus::compilerNote(const BuildConfiguration &configuration) const
{
    return CompilerQuery::message(configuration,
                                  CompilerQuery::Words {m_noteTexts.compilerNotFound,
                                                        m_noteTexts.compilerNotAllowed,
                                                        m_noteTexts.compilerFailed, QString()});
}

void ScreenStatus::setNote(const QString &note)
{
    if (note == m_note)
        return;
    m_note = note;
    emit changed();
}

void ScreenStatus::setStoreFailure(const QString &storePath)
{
    if (storePath == m_storeFailure)
        return;
    m_storeFailure = storePath;
    emit changed();
}

void ScreenStatus::setVariant(const BuildVariant &variant)
{
    if (variant == m_variant)
        return;
    m_variant = variant;
    emit changed();
}

void ScreenStatus::set(State state, const QString &menuName, TextPosition first, TextPosition last,
                       const QString &reason, int inactiveGroupLine, int items)
{
    if (state == m_state && menuName == m_menuName && first.line == m_first.line
        && first.column == m_first.column && last.line == m_last.line && reason == m_reason
        && inactiveGroupLine == m_inactiveGroupLine && items == m_itemCount)
        return;
    m_state = state;
    m_menuName = menuName;
    m_first = first;
    m_last = last;
    m_reason = reason;
    m_inactiveGroupLine = inactiveGroupLine;
    m_itemCount = items;
    m_closedDocument.clear();
    m_keepsMenu = false;
    emit changed();
}

} // namespace VelkoMenuView
