// How soon the screen follows a cursor move in a text editor: the time from
// the move to the end of the repaint that shows the menu now under the
// cursor, coalescing delay included, as a distribution over many moves.
#pragma once

#include <QString>

struct FollowLatency
{
    int moves = 0;
    double medianMs = 0;
    double p95Ms = 0;
    QString error; // empty when measured
};

// Isolated moves, each after a quiet spell, between the menus of a
// document of about `bytes` in the studio's editor, offscreen.
FollowLatency measureFollowLatency(qsizetype bytes, int moves);
