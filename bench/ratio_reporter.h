// Console reporter that also keeps each benchmark's time per iteration, so a
// benchmark program can print its figures as ratios against a baseline that
// ran in the same process.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;     // real time, by run name
    std::map<std::string, double> cpuSeconds;  // CPU time, by run name

    // The time of the run whose name starts with `name`, or 0.
    double secondsOf(const std::string& name) const
    {
        for (const auto& [run, s] : seconds)
            if (run.rfind(name, 0) == 0)
                return s;
        return 0.0;
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        // One run per benchmark, or the median of its repetitions.
        for (const Run& r : runs) {
            const bool take = r.run_type == Run::RT_Iteration || r.aggregate_name == "median";
            if (take && r.iterations > 0) {
                seconds[r.run_name.str()] = r.GetAdjustedRealTime();
                cpuSeconds[r.run_name.str()] = r.GetAdjustedCPUTime();
            }
        }
    }
};
