// The menu macros' keywords, told apart from every other identifier cheaply:
// the C reader stops at them.
#pragma once

#include "creader/sourcereader.h"

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

// What the reader is given to stop at: every keyword holds "ME" ("MENU").
inline const KeywordSet &menuKeywords()
{
    static const KeywordSet set {[](QStringView word) { return int(menuKeyword(word)); }, u'M',
                                 u'E'};
    return set;
}

inline MenuKeyword keywordOf(const KeywordHit &hit)
{
    return MenuKeyword(hit.keyword);
}

inline MenuKeyword keywordOf(const SourceReader &reader, const Token &token)
{
    return MenuKeyword(reader.keywordOf(token));
}

} // namespace VelkoMenuView
