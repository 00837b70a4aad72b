// The figures of docs/performance.md. Each row pairs a measured benchmark
// with its own baseline, registered next to each other so that both run
// under the same machine conditions, and names the goal it is held to.
#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <string>

namespace benchmark {
class State;
}

class QTextStream;
class RatioReporter;

struct FigureGoal
{
    double maxRatio = 0; // 0: none
    double maxMilliseconds = 0; // for the measured figure itself; 0: none
};

class FigureTable
{
public:
    using Body = std::function<void(benchmark::State &)>;

    // Registers the baseline, then the measured benchmark, and a table row.
    void add(const QString &figure, const QString &scenario, const std::string &name,
             const Body &measured, const QString &baselineName, const Body &baseline,
             FigureGoal goal = FigureGoal());

    // Writes the markdown table from the reporter's medians; returns false
    // when a figure is missing or misses its goal.
    bool write(QTextStream &out, const RatioReporter &reporter) const;

private:
    struct Row
    {
        QString figure;
        QString scenario;
        std::string measured;
        std::string baseline;
        QString baselineName;
        FigureGoal goal;
    };
    QList<Row> m_rows;
};
