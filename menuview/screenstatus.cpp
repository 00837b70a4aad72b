// The screen's status, changed only when it differs.
#include "menuview/screenstatus.h"

namespace VelkoMenuView {

void ScreenStatus::setNoMenu()
{
    set(State::NoMenu, QString(), {}, {}, QString());
}

void ScreenStatus::setShown(const QString &menuName, TextPosition first, TextPosition last)
{
    set(State::Shown, menuName, first, last, QString());
}

void ScreenStatus::setCannotRead(TextPosition at, const QString &reason)
{
    set(State::CannotRead, QString(), at, at, reason);
}

void ScreenStatus::set(State state, const QString &menuName, TextPosition first, TextPosition last,
                       const QString &reason)
{
    if (state == m_state && menuName == m_menuName && first.line == m_first.line
        && first.column == m_first.column && last.line == m_last.line && reason == m_reason)
        return;
    m_state = state;
    m_menuName = menuName;
    m_first = first;
    m_last = last;
    m_reason = reason;
    emit changed();
}

} // namespace VelkoMenuView
