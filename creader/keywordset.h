// The words a client of the reader stops it at: its keywords. The reader
// knows them only through this set, so that it stays a reader of C alone.
#pragma once

#include <QStringView>

namespace VelkoMenuView {

struct KeywordSet
{
    // The client's number for `word`, 0 for any other word.
    int (*classify)(QStringView word) = nullptr;
    // Two characters every keyword holds side by side, within its first 32:
    // the quick pass looks at the word around them only.
    char16_t first = 0;
    char16_t second = 0;

    int of(QStringView word) const { return classify ? classify(word) : 0; }
};

} // namespace VelkoMenuView
