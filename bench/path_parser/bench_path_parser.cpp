// Throughput of the path-data parser over the path data of every document of the SVG
// suite, against tokenising the same text with std::strtod in the same run. The
// corpus is extracted once, outside the timing, and repeated to a few megabytes so
// that one iteration is long enough to time steadily.
//
// Run a build without sanitizers; the ratio lines at the end compare each benchmark
// with the strtod baseline.

#include "svg/model/path/path_data.h"
#include "svg/model/path/path_parser.h"

#include <QString>
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr size_t MinCorpusBytes = 4 << 20;

struct TCorpus {
    std::vector<std::string> Utf8;
    std::vector<QString> Text;
    size_t Bytes = 0;
    size_t Documents = 0;
    size_t UniqueBytes = 0;
};

void CollectPathData(const pugi::xml_node &node, std::vector<std::string> &out)
{
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element)
            continue;
        if (const pugi::xml_attribute d = child.attribute("d"); d && *d.value())
            out.emplace_back(d.value());
        CollectPathData(child, out);
    }
}

const TCorpus &Corpus()
{
    static const TCorpus corpus = [] {
        TCorpus c;
        const char *shared = std::getenv("VUPLORA_SHARED");
        const std::filesystem::path root =
            std::filesystem::path(shared ? shared : "/work/shared") / "svg-suite" / "tests";
        std::vector<std::string> unique;
        for (const auto &entry : std::filesystem::recursive_directory_iterator(root)) {
            if (!entry.is_regular_file() || entry.path().extension() != ".svg")
                continue;
            pugi::xml_document doc;
            if (!doc.load_file(entry.path().c_str()))
                continue;
            ++c.Documents;
            CollectPathData(doc, unique);
        }
        for (const std::string &s : unique)
            c.UniqueBytes += s.size();
        while (c.Bytes < MinCorpusBytes && c.UniqueBytes > 0) {
            for (const std::string &s : unique) {
                c.Utf8.push_back(s);
                c.Text.push_back(QString::fromStdString(s));
                c.Bytes += s.size();
            }
        }
        std::fprintf(stderr, "path corpus: %zu documents, %zu path texts, %zu bytes, repeated to %zu bytes\n",
                     c.Documents, unique.size(), c.UniqueBytes, c.Bytes);
        return c;
    }();
    return corpus;
}

// The baseline: every number of the text read with std::strtod, everything else
// skipped one character at a time; no path is built.
void BM_StrtodTokens(benchmark::State &state)
{
    const TCorpus &c = Corpus();
    for (auto _ : state) {
        double sum = 0;
        for (const std::string &s : c.Utf8) {
            const char *p = s.c_str();
            while (*p) {
                const char ch = *p;
                if ((ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == '+') {
                    char *end = nullptr;
                    sum += std::strtod(p, &end);
                    p = end > p ? end : p + 1;
                } else {
                    ++p;
                }
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(c.Bytes));
}

// What loading a document does: the Data setter on the attribute text.
void BM_PathDataSetter(benchmark::State &state)
{
    const TCorpus &c = Corpus();
    TRSPathData path;
    for (auto _ : state) {
        size_t points = 0;
        for (const QString &s : c.Text) {
            path.SetData(s);
            points += size_t(path.Count());
        }
        benchmark::DoNotOptimize(points);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(c.Bytes));
}

// The same parser on the 8-bit text as the XML reader holds it.
void BM_PathParser8Bit(benchmark::State &state)
{
    const TCorpus &c = Corpus();
    TPathData path;
    for (auto _ : state) {
        size_t points = 0;
        for (const std::string &s : c.Utf8) {
            ParsePathData(path, s);
            points += size_t(path.Count());
        }
        benchmark::DoNotOptimize(points);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(c.Bytes));
}

BENCHMARK(BM_StrtodTokens)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PathDataSetter)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PathParser8Bit)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Prints MB/s of every benchmark (or of each repetition's mean and median) and its
// ratio to the baseline of the same kind after the table.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &r : runs) {
            if (!r.aggregate_name.empty() && r.aggregate_name != "mean" && r.aggregate_name != "median")
                continue;
            const auto it = r.counters.find("bytes_per_second");
            if (it != r.counters.end())
                FRates[r.aggregate_name][r.run_name.function_name] = double(it->second);
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const auto &[aggregate, rates] : FRates) {
            const auto base = rates.find("BM_StrtodTokens");
            for (const auto &[name, rate] : rates) {
                std::printf("%-20s %-7s %8.1f MB/s", name.c_str(), aggregate.c_str(), rate / 1e6);
                if (base != rates.end() && base->second > 0)
                    std::printf("   ratio to strtod baseline %.2f", rate / base->second);
                std::printf("\n");
            }
        }
    }

private:
    std::map<std::string, std::map<std::string, double>> FRates;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Corpus();
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
