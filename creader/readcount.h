// How much text the reader has passed over, counted rather than timed: a
// test tells a pass that stays linear from one that reads text again, on a
// busy machine as on a quiet one.
#pragma once

#include <QtGlobal>

namespace VelkoMenuView {

inline qint64 &charactersRead()
{
    static qint64 count = 0;
    return count;
}

inline void countRead(qsizetype characters)
{
    if (characters > 0)
        charactersRead() += characters;
}

} // namespace VelkoMenuView
