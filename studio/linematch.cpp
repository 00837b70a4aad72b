// Myers' greedy difference over line hashes, after the common ends are
// taken off, keeping each round's furthest reaches to walk the path back.
#include "linematch.h"

#include <vector>

namespace VelkoMenuView {

QList<qsizetype> matchLines(const QList<size_t> &before, const QList<size_t> &now,
                            qsizetype maxEdits)
{
    QList<qsizetype> match(now.size(), -1);
    qsizetype prefix = 0;
    while (prefix < before.size() && prefix < now.size() && before[prefix] == now[prefix]) {
        match[prefix] = prefix;
        ++prefix;
    }
    qsizetype suffix = 0;
    while (suffix < before.size() - prefix && suffix < now.size() - prefix
           && before[before.size() - 1 - suffix] == now[now.size() - 1 - suffix]) {
        match[now.size() - 1 - suffix] = before.size() - 1 - suffix;
        ++suffix;
    }
    const size_t *a = before.constData() + prefix;
    const size_t *b = now.constData() + prefix;
    const qsizetype n = before.size() - prefix - suffix;
    const qsizetype m = now.size() - prefix - suffix;
    if (n == 0 || m == 0)
        return match;

    // reach[offset + k]: the furthest x on diagonal k (x - y) in this round.
    const qsizetype limit = qMin(n + m, maxEdits);
    const qsizetype offset = limit + 1;
    std::vector<qsizetype> reach(size_t(2 * offset + 1), 0);
    std::vector<std::vector<qsizetype>> rounds; // round d keeps diagonals -d..d
    qsizetype edits = -1;
    for (qsizetype d = 0; d <= limit && edits < 0; ++d) {
        for (qsizetype k = -d; k <= d; k += 2) {
            qsizetype x = k == -d || (k != d && reach[offset + k - 1] < reach[offset + k + 1])
                    ? reach[offset + k + 1]
                    : reach[offset + k - 1] + 1;
            qsizetype y = x - k;
            while (x < n && y < m && a[x] == b[y]) {
                ++x;
                ++y;
            }
            reach[offset + k] = x;
            if (x >= n && y >= m)
                edits = d;
        }
        rounds.emplace_back(reach.begin() + (offset - d), reach.begin() + (offset + d + 1));
    }
    if (edits < 0)
        return match;

    qsizetype x = n;
    qsizetype y = m;
    for (qsizetype d = edits; d > 0; --d) {
        const std::vector<qsizetype> &previous = rounds[size_t(d - 1)];
        const auto at = [&](qsizetype k) { return previous[size_t(k + d - 1)]; };
        const qsizetype k = x - y;
        const bool down = k == -d || (k != d && at(k - 1) < at(k + 1));
        const qsizetype fromK = down ? k + 1 : k - 1;
        const qsizetype fromX = at(fromK);
        const qsizetype snakeX = down ? fromX : fromX + 1; // after the one edit
        while (x > snakeX && y > snakeX - k) {
            --x;
            --y;
            match[prefix + y] = prefix + x;
        }
        x = fromX;
        y = fromX - fromK;
    }
    while (x > 0 && y > 0) {
        --x;
        --y;
        match[prefix + y] = prefix + x;
    }
    return match;
}

} // namespace VelkoMenuView
