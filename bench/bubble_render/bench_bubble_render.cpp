// A speech-bubble-like document (a curved outline with a gradient fill and a stroke, a
// text word-wrapped in its box) drawn into 273 x 193 pixels, against QtSvg's renderer
// drawing the same document in the same run. The ratios are printed at the end.

#include "svg/model/dom/document.h"
#include "svg/render/canvas.h"
#include "svg/render/draw.h"
#include "svg/render/text_metrics.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <benchmark/benchmark.h>
#include <map>
#include <string>

namespace {

const char *const kBubble = R"svg(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="273" height="193" viewBox="0 0 140 99">
  <defs>
    <linearGradient id="fill" gradientUnits="userSpaceOnUse" x1="0" y1="0" x2="0" y2="90">
      <stop offset="0" stop-color="#FFFFFF"/>
      <stop offset="1" stop-color="#DDEEFF"/>
    </linearGradient>
  </defs>
  <path fill="url(#fill)" stroke="#335577" stroke-width="2" stroke-linejoin="round"
        d="M20 5 H120 C131 5 135 9 135 20 V62 C135 73 131 77 120 77 H58 L36 96 L40 77 H20
           C9 77 5 73 5 62 V20 C5 9 9 5 20 5 Z"/>
  <text transform="matrix(1 0 0 1 26.842 30.3511)" width="86" height="51"
        font-family="'Noto Sans'" font-size="14" text-anchor="middle" fill="#223344">Hello there, how are you today?</text>
</svg>
)svg";

constexpr int kWidth = 273, kHeight = 193;

QImage Blank()
{
    QImage img(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void BM_VuploraDraw(benchmark::State &state)
{
    TSVGDocument doc;
    doc.LoadFromBytes(QByteArray(kBubble));
    QImage img = Blank();
    for (auto _ : state) {
        img.fill(Qt::transparent);
        TSVGCanvas canvas(img);
        SVGDrawDocument(doc, canvas, QRectF(0, 0, kWidth, kHeight));
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_VuploraDraw);

void BM_VuploraLoadAndDraw(benchmark::State &state)
{
    QImage img = Blank();
    for (auto _ : state) {
        TSVGDocument doc;
        doc.LoadFromBytes(QByteArray(kBubble));
        img.fill(Qt::transparent);
        TSVGCanvas canvas(img);
        SVGDrawDocument(doc, canvas, QRectF(0, 0, kWidth, kHeight));
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_VuploraLoadAndDraw);

void BM_QtSvgDraw(benchmark::State &state)
{
    QSvgRenderer renderer{QByteArray(kBubble)};
    QImage img = Blank();
    for (auto _ : state) {
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        renderer.render(&p, QRectF(0, 0, kWidth, kHeight));
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_QtSvgDraw);

void BM_QtSvgLoadAndDraw(benchmark::State &state)
{
    QImage img = Blank();
    for (auto _ : state) {
        QSvgRenderer renderer{QByteArray(kBubble)};
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        renderer.render(&p, QRectF(0, 0, kWidth, kHeight));
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_QtSvgLoadAndDraw);

// Keeps the console output and remembers each benchmark's time per iteration.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                Times[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
    std::map<std::string, double> Times;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // The suite's fonts when they are at hand, so that text is laid out with Noto Sans.
    const QByteArray shared = qgetenv("VUPLORA_SHARED");
    TTextMetrics::AddFontFolder(QString::fromLocal8Bit(shared.isEmpty() ? QByteArray("/work/shared") : shared) +
                                QStringLiteral("/svg-suite/fonts"));
    TTextMetrics::SetDefaultFamily(QStringLiteral("Noto Sans"));
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char *a, const char *b) {
        if (reporter.Times.count(a) && reporter.Times.count(b) && reporter.Times[b] > 0)
            std::printf("ratio %s / %s: %.2f\n", a, b, reporter.Times[a] / reporter.Times[b]);
    };
    ratio("BM_VuploraDraw", "BM_QtSvgDraw");
    ratio("BM_VuploraLoadAndDraw", "BM_QtSvgLoadAndDraw");
    benchmark::Shutdown();
    return 0;
}
