// Recolouring and masking a full canvas layer, against the cheapest whole-bitmap
// pass Qt itself makes (straight to premultiplied alpha conversion) on the same
// pixels. Read the ratios between the wall times ("Time") of the rows, not the
// absolute times: Qt converts large images on its thread pool, which is held to
// one thread here so that both sides use one core.

#include "assets/untVuploraProcs.h"

#include <QPainter>
#include <QThreadPool>
#include <benchmark/benchmark.h>

namespace {

// A layer like a drawn part: an antialiased shape over transparency.
QImage Layer(QImage::Format format)
{
    QImage image(640, 1136, format);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(200, 120, 60));
    painter.drawEllipse(QRectF(40, 80, 560, 900));
    return image;
}

void BaselineConvertToPremultiplied(benchmark::State &state)
{
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    const QImage straight = Layer(QImage::Format_ARGB32);
    for (auto _ : state)
        benchmark::DoNotOptimize(straight.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}
BENCHMARK(BaselineConvertToPremultiplied);

void ReplaceOpaqueColorLayer(benchmark::State &state)
{
    const QImage layer = Layer(QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QImage copy = layer; // detached by the call, as the baseline allocates
        ReplaceOpaqueColor(copy, 0xFF3080C0u);
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(ReplaceOpaqueColorLayer);

void CreateMaskedBitmapLayer(benchmark::State &state)
{
    const QImage layer = Layer(QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        benchmark::DoNotOptimize(CreateMaskedBitmap(layer, layer));
}
BENCHMARK(CreateMaskedBitmapLayer);

void OverlayBitmapLayer(benchmark::State &state)
{
    const QImage layer = Layer(QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QImage result;
        OverlayBitmap(result, layer, layer, 0, 0);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(OverlayBitmapLayer);

} // namespace

BENCHMARK_MAIN();
