// The menu macros' keywords, told apart from every other identifier cheaply:
// scanners ask this of each identifier they meet.
#pragma once

#include <QStringView>

namespace VelkoMenuView {

enum class MenuKeyword { None, Begin, BeginEditable, Item, End, EndEditable };

inline MenuKeyword menuKeyword(QStringView word)
{
    // Most identifiers differ in their length or first letter.
    switch (word.size()) {
    case 8:
        return word == u"END_MENU" ? MenuKeyword::End : MenuKeyword::None;
    case 9:
        return word == u"MENU_ITEM" ? MenuKeyword::Item : MenuKeyword::None;
    case 10:
        return word == u"BEGIN_MENU" ? MenuKeyword::Begin : MenuKeyword::None;
    case 17:
        return word == u"END_EDITABLE_MENU" ? MenuKeyword::EndEditable : MenuKeyword::None;
    case 19:
        return word == u"BEGIN_EDITABLE_MENU" ? MenuKeyword::BeginEditable : MenuKeyword::None;
    default:
        return MenuKeyword::None;
    }
}

inline bool isOpeningKeyword(QStringView word)
{
    const MenuKeyword k = menuKeyword(word);
    return k == MenuKeyword::Begin || k == MenuKeyword::BeginEditable;
}

} // namespace VelkoMenuView
