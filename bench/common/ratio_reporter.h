#pragma once
// A console reporter for benchmarks that compare a measurement with a baseline
// taken in the same run: the usual table, then each named pair as a ratio of
// their (median, where repetitions ran) times.

#include <benchmark/benchmark.h>

#include <algorithm>
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
            if (run.run_name.time_type == "manual_time")
                mManual.insert(name);
            if (run.run_type == Run::RT_Iteration) {
                mRepetitions[name].push_back(run.GetAdjustedRealTime());
                if (!mMedians.count(name))
                    mTimes[name] = run.GetAdjustedRealTime();
            }
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
        // Every benchmark here that times itself counts processor time; the others are
        // timed by the library on the wall clock.
        const bool manual = Manual(asMeasured) && Manual(asBaseline);
        const bool wall = !Manual(asMeasured) && !Manual(asBaseline);
        std::printf("ratio (%s) %s / %s = %.2f%s\n",
                    manual ? "processor time" : wall ? "wall time" : "processor time against wall time",
                    asMeasured.c_str(), asBaseline.c_str(), measured / baseline, asNote);
        const std::vector<double> m = Repetitions(asMeasured), b = Repetitions(asBaseline);
        if (m.size() > 1 && m.size() == b.size()) {
            std::vector<double> ratios;
            for (size_t i = 0; i < m.size(); ++i)
                ratios.push_back(m[i] / b[i]);
            PrintSpread("  the same ratio per repetition", ratios, "");
        }
    }

    // The time (median, where repetitions ran) of a benchmark, 0 when it did not run.
    double Time(const std::string &asName) const { return Find(asName); }

    // The time of each repetition of a benchmark, in the order they ran; empty when it
    // did not run.
    std::vector<double> Repetitions(const std::string &asName) const
    {
        for (const auto &[name, times] : mRepetitions)
            if (name == asName || name.rfind(asName + "/", 0) == 0)
                return times;
        return {};
    }

    // "LABEL = median [lowest..highest]NOTE" of values worked out per repetition.
    static void PrintSpread(const std::string &asLabel, std::vector<double> aoValues, const char *asNote)
    {
        if (aoValues.empty())
            return;
        std::sort(aoValues.begin(), aoValues.end());
        const size_t n = aoValues.size();
        const double median = n % 2 ? aoValues[n / 2] : (aoValues[n / 2 - 1] + aoValues[n / 2]) / 2;
        std::printf("%s = %.2f [%.2f..%.2f] over %zu repetitions%s\n", asLabel.c_str(), median, aoValues.front(),
                    aoValues.back(), n, asNote);
    }

private:
    // By the benchmark's name, whatever suffixes the run added.
    double Find(const std::string &asName) const
    {
        for (const auto &[name, time] : mTimes)
            if (name == asName || name.rfind(asName + "/", 0) == 0)
                return time;
        return 0;
    }


    bool Manual(const std::string &asName) const
    {
        for (const std::string &name : mManual)
            if (name == asName || name.rfind(asName + "/", 0) == 0)
                return true;
        return false;
    }

    std::map<std::string, double> mTimes;
    std::set<std::string> mManual;
    std::map<std::string, std::vector<double>> mRepetitions;
    std::set<std::string> mMedians;
};

