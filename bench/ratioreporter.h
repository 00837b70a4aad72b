// The console reporter, keeping each benchmark's CPU time per iteration: the
// median over the repetitions when there are several, else the one run.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override;

    // Seconds per iteration; negative when the benchmark failed or did not run.
    double seconds(const std::string &name) const;

private:
    std::map<std::string, double> m_seconds;
};
