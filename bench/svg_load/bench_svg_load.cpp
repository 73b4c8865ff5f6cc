// Loading every document of the SVG conformance suite: our engine (XML, element tree,
// style sheets and cascade; no drawing) against two baselines measured in the same
// run: pugixml parsing alone (the engine's own share is what lies above it) and
// QtSvg's QSvgRenderer loading the same bytes. The ratios are printed at the end.
//
//   bench_svg_load [--benchmark_repetitions=N]     (VUPLORA_SHARED locates the suite)

#include "errors/errors.h"
#include "svg/model/dom/document.h"

#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QSvgRenderer>
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdio>
#include <map>
#include <string>

namespace {

struct TSuite {
    QList<QByteArray> Files;
};

const TSuite &Suite()
{
    static const TSuite suite = [] {
        TSuite s;
        const QString root = qEnvironmentVariable("VUPLORA_SHARED", QStringLiteral(VUPLORA_SHARED_DEFAULT)) +
                             QStringLiteral("/svg-suite/tests");
        QDirIterator it(root, {QStringLiteral("*.svg")}, QDir::Files, QDirIterator::Subdirectories);
        QStringList names;
        while (it.hasNext())
            names.append(it.next());
        names.sort();
        for (const QString &name : names) {
            QFile file(name);
            if (file.open(QIODevice::ReadOnly))
                s.Files.append(file.readAll());
        }
        return s;
    }();
    return suite;
}

void SetCounters(benchmark::State &state, int failures)
{
    state.counters["files"] = double(Suite().Files.size());
    state.counters["failed"] = double(failures);
}

void BM_PugixmlParse(benchmark::State &state)
{
    int failures = 0;
    for (auto _ : state) {
        failures = 0;
        for (const QByteArray &bytes : Suite().Files) {
            pugi::xml_document doc;
            if (!doc.load_buffer(bytes.constData(), size_t(bytes.size()),
                                 pugi::parse_default | pugi::parse_ws_pcdata))
                ++failures;
            benchmark::DoNotOptimize(doc.document_element());
        }
    }
    SetCounters(state, failures);
}

void BM_EngineLoad(benchmark::State &state)
{
    int failures = 0;
    for (auto _ : state) {
        failures = 0;
        for (const QByteArray &bytes : Suite().Files) {
            TSVGDocument doc;
            try {
                doc.LoadFromBytes(bytes);
            } catch (const EVuploraError &) {
                ++failures;
            }
            benchmark::DoNotOptimize(doc.Count());
        }
    }
    SetCounters(state, failures);
}

void BM_QSvgRendererLoad(benchmark::State &state)
{
    int failures = 0;
    for (auto _ : state) {
        failures = 0;
        for (const QByteArray &bytes : Suite().Files) {
            QSvgRenderer renderer;
            if (!renderer.load(bytes))
                ++failures;
            benchmark::DoNotOptimize(renderer.isValid());
        }
    }
    SetCounters(state, failures);
}

BENCHMARK(BM_PugixmlParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QSvgRendererLoad)->Unit(benchmark::kMillisecond);

// Keeps the console output and remembers each benchmark's time per iteration.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> Times;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            // With repetitions, the median stands for the benchmark.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            Times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }
};

void Quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // QtSvg reports every feature it does not support; that is noise here.
    qInstallMessageHandler(Quiet);
    benchmark::Initialize(&argc, argv);
    if (Suite().Files.isEmpty()) {
        std::fprintf(stderr, "no SVG files found; set VUPLORA_SHARED\n");
        return 1;
    }
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double pugi = reporter.Times["BM_PugixmlParse"];
    const double engine = reporter.Times["BM_EngineLoad"];
    const double qt = reporter.Times["BM_QSvgRendererLoad"];
    if (pugi > 0 && engine > 0 && qt > 0) {
        std::printf("\n%lld documents\n", static_cast<long long>(Suite().Files.size()));
        std::printf("engine load / pugixml parse   : %.2f\n", engine / pugi);
        std::printf("engine load / QSvgRenderer load: %.2f\n", engine / qt);
    }
    return 0;
}
