// Registration of the paired benchmarks and the ratio table.
#include "figuretable.h"

#include "ratioreporter.h"

#include <QTextStream>

#include <benchmark/benchmark.h>

namespace {

QString milliseconds(double seconds)
{
    const double ms = seconds * 1e3;
    return QString::number(ms, 'f', ms < 0.01 ? 5 : ms < 1 ? 3 : 2) + QStringLiteral(" ms");
}

} // namespace

void FigureTable::add(const QString &figure, const QString &scenario, const std::string &name,
                      const Body &measured, const QString &baselineName, const Body &baseline,
                      FigureGoal goal)
{
    const std::string baselineId = name + "/baseline";
    benchmark::RegisterBenchmark(baselineId.c_str(), baseline);
    benchmark::RegisterBenchmark(name.c_str(), measured);
    m_rows.append({figure, scenario, name, baselineId, baselineName, goal});
}

bool FigureTable::write(QTextStream &out, const RatioReporter &reporter) const
{
    bool allMet = true;
    QString figure;
    out << "| figure | case | measured | baseline | ratio | goal |\n";
    out << "|---|---|---:|---:|---:|---|\n";
    for (const Row &row : m_rows) {
        const double measured = reporter.seconds(row.measured);
        const double baseline = reporter.seconds(row.baseline);
        const QString shownFigure = row.figure == figure ? QString() : row.figure;
        figure = row.figure;
        if (measured <= 0 || baseline <= 0) {
            out << "| " << shownFigure << " | " << row.scenario << " | not run | | | |\n";
            allMet = false;
            continue;
        }
        const double ratio = measured / baseline;
        QStringList goals;
        if (row.goal.maxRatio > 0) {
            const bool met = ratio <= row.goal.maxRatio;
            allMet = allMet && met;
            goals << QStringLiteral("≤ %1× %2")
                             .arg(row.goal.maxRatio)
                             .arg(met ? "met" : "**missed**");
        }
        if (row.goal.maxMilliseconds > 0) {
            const bool met = measured * 1e3 <= row.goal.maxMilliseconds;
            allMet = allMet && met;
            goals << QStringLiteral("≤ %1 ms %2")
                             .arg(row.goal.maxMilliseconds)
                             .arg(met ? "met" : "**missed**");
        }
        out << "| " << shownFigure << " | " << row.scenario << " | " << milliseconds(measured)
            << " | " << milliseconds(baseline) << " (" << row.baselineName << ") | "
            << QString::number(ratio, 'f', ratio < 10 ? 2 : 1) << "× | "
            << goals.join(QStringLiteral(", ")) << " |\n";
    }
    return allMet;
}
