#pragma once
// A console reporter for benchmarks that compare a measurement with a baseline
// taken in the same run: the usual table, then each named pair as a ratio of
// their (median, where repetitions ran) times.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &aoRuns) override
    {
        ConsoleReporter::ReportRuns(aoRuns);
        for (const Run &run : aoRuns) {
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Iteration && !mMedians.count(name))
                mTimes[name] = run.GetAdjustedRealTime();
            else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                mTimes[name] = run.GetAdjustedRealTime();
                mMedians.insert(name);
            }
        }
    }
    void PrintRatio(const std::string &asMeasured, const std::string &asBaseline, const char *asNote) const
    {
        const double measured = Find(asMeasured);
        const double baseline = Find(asBaseline);
        if (measured <= 0 || baseline <= 0)
            return;
        std::printf("ratio (CPU time) %s / %s = %.2f%s\n", asMeasured.c_str(), asBaseline.c_str(),
                    measured / baseline, asNote);
    }

    // The time (median, where repetitions ran) of a benchmark, 0 when it did not run.
    double Time(const std::string &asName) const { return Find(asName); }

private:
    // By the benchmark's name, whatever suffixes the run added.
    double Find(const std::string &asName) const
    {
        for (const auto &[name, time] : mTimes)
            if (name == asName || name.rfind(asName + "/", 0) == 0)
                return time;
        return 0;
    }


    std::map<std::string, double> mTimes;
    std::set<std::string> mMedians;
};

