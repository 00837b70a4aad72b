// Collecting the medians while the console shows every run as usual.
#include "ratioreporter.h"

void RatioReporter::ReportRuns(const std::vector<Run> &runs)
{
    for (const Run &run : runs) {
        const std::string name = run.run_name.str();
        if (run.error_occurred) {
            m_seconds[name] = -1;
            continue;
        }
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        // Aggregates follow the runs they sum up, so a median replaces them.
        if (median || run.run_type == Run::RT_Iteration)
            m_seconds[name]
                    = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
    ConsoleReporter::ReportRuns(runs);
}

double RatioReporter::seconds(const std::string &name) const
{
    const auto it = m_seconds.find(name);
    return it == m_seconds.end() ? -1 : it->second;
}
