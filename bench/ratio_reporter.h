#pragma once

// The console table of Google Benchmark, and the time of each case kept for the ratios a benchmark
// program prints after it: each case against its reference, measured in the same run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Wall time, or CPU time where other processes share the machine's cores.
    enum class Time { Wall, Cpu };
    explicit RatioReporter(Time time) : m_time(time) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        // With repetitions, the median stands for the case (it is reported after the runs).
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration || r.aggregate_name == "median")
                m_ns[r.run_name.function_name] =
                    (m_time == Time::Cpu ? r.GetAdjustedCPUTime() : r.GetAdjustedRealTime()) /
                    benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e9;
        ConsoleReporter::ReportRuns(runs);
    }

    // Nanoseconds per iteration of a case that ran.
    bool ran(const std::string& name) const { return m_ns.count(name) != 0; }
    double ns(const std::string& name) const { return m_ns.at(name); }

    // "ratio <label> <ours / reference> <target>", when both ran.
    void printRatio(const std::string& label, const std::string& ours, const std::string& reference,
                    const char* target) const {
        if (ran(ours) && ran(reference) && ns(reference) > 0)
            std::printf("ratio %-40s %.2f %s\n", label.c_str(), ns(ours) / ns(reference), target);
    }

private:
    Time m_time;
    std::map<std::string, double> m_ns;
};
