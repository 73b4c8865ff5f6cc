// A design tool's drop shadow (offset, blurred alpha, flood, composite, merge) under a
// shape filling a 1024 x 1024 document, loaded and drawn as the renderer's caller does,
// with a deviation of 40 against the same document with a deviation of 4 in the same
// run: a blur's cost must not grow with its deviation. Five repetitions each; the ratio
// of the medians is printed at the end.

#include "../common/ratio_reporter.h"

#include "svg/render/rasterize.h"

#include <QByteArray>
#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

QByteArray DropShadowDocument(int deviation)
{
    return QStringLiteral(R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="1024" height="1024">
  <filter id="shadow" x="-20%" y="-20%" width="140%" height="140%">
    <feOffset in="SourceAlpha" dx="12" dy="16" result="moved"/>
    <feGaussianBlur in="moved" stdDeviation="%1" result="blurred"/>
    <feFlood flood-color="#203040" flood-opacity="0.6"/>
    <feComposite in2="blurred" operator="in" result="shadow"/>
    <feMerge><feMergeNode in="shadow"/><feMergeNode in="SourceGraphic"/></feMerge>
  </filter>
  <rect x="112" y="112" width="800" height="800" rx="60" fill="#e0a040" filter="url(#shadow)"/>
</svg>)svg")
        .arg(deviation)
        .toUtf8();
}

void DrawDropShadow(benchmark::State &state, int deviation)
{
    const QByteArray document = DropShadowDocument(deviation);
    TSVGRasterOptions options;
    for (auto _ : state) {
        const QImage image = SVGRenderBytes(document, options);
        if (image.size() != QSize(1024, 1024))
            state.SkipWithError("the document did not render at 1024 x 1024");
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_DropShadow40(benchmark::State &state) { DrawDropShadow(state, 40); }
void BM_DropShadow4(benchmark::State &state) { DrawDropShadow(state, 4); }
BENCHMARK(BM_DropShadow40)->Repetitions(5)->ReportAggregatesOnly(false)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DropShadow4)->Repetitions(5)->ReportAggregatesOnly(false)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("BM_DropShadow40", "BM_DropShadow4", " (target: at most 1.5)");
    benchmark::Shutdown();
    return 0;
}
