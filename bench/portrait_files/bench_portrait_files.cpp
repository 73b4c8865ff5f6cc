// What portrait files and headless portraits cost over the work they cannot
// avoid, in one run:
//
// - opening a portrait file (read, checked, every layer's picture decoded and
//   put on the canvas) against a random portrait in the same window (target:
//   at most 1.3). The file is the window's portrait after creation and a random
//   portrait comes before each opening, so the seven layers it picks are
//   decoded again; the background it leaves alone is not;
// - a headless portrait (picks, pictures decoded, layers drawn, PNG written)
//   against decoding the same pictures and encoding the same PNG alone (target:
//   at most 1.3). The index is loaded once, as `--count` does.
//
// Times are CPU time of this thread (manual time), so a loaded machine does not
// skew the ratios.

#include "../common/ratio_reporter.h"
#include "../common/thread_cpu.h"

#include "editor/untVuploraForm.h"
#include "compose/untVuploraHeadless.h"
#include "platform/errorreport.h"
#include "platform/fakeplatform.h"
#include "platform/localtime.h"

#include <QBuffer>
#include <QImageWriter>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

namespace {

struct TEditor {
    TFakePlatform Fake;
    std::unique_ptr<TPlatformOverride> Use;
    QTemporaryDir Dir;
    std::unique_ptr<TfrmVuplora> Frm;
    QString File;

    TEditor()
    {
        Fake.Screen.Size = QSizeF(1920, 1080);
        Use = std::make_unique<TPlatformOverride>(Fake.Services());
        Frm = std::make_unique<TfrmVuplora>();
        Frm->show();
        (void)QTest::qWaitForWindowExposed(Frm.get());
        File = Dir.filePath(QStringLiteral("portrait.vuplora"));
        Frm->SavePortraitFile(File);
    }
};

TEditor &Editor()
{
    static TEditor editor;
    return editor;
}

void BM_OpenPortraitFile(benchmark::State &state)
{
    TEditor &e = Editor();
    for (auto _ : state) {
        // The window shows another portrait, as when a user opens a file.
        e.Frm->RandomPortrait();
        const double start = ThreadCpuSeconds();
        e.Frm->OpenPortraitFile(e.File);
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_OpenPortraitFile)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_RandomPortrait(benchmark::State &state)
{
    TEditor &e = Editor();
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        e.Frm->RandomPortrait();
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_RandomPortrait)->UseManualTime()->Unit(benchmark::kMillisecond);

void WritePng(const QImage &aoPicture, const QString &asFile)
{
    QSaveFile file(asFile);
    file.open(QIODevice::WriteOnly);
    QImageWriter writer(&file, "png");
    writer.write(aoPicture);
    file.commit();
}

void BM_HeadlessPortrait(benchmark::State &state)
{
    TEditor &e = Editor();
    const QString out = e.Dir.filePath(QStringLiteral("headless.png"));
    quint64 seed = 0;
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        WritePng(RenderPortrait(*goFaceRes, SeededPortrait(*goFaceRes, seed++ % 16)), out);
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_HeadlessPortrait)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DecodePicturesEncodePng(benchmark::State &state)
{
    TEditor &e = Editor();
    const QString out = e.Dir.filePath(QStringLiteral("baseline.png"));
    quint64 seed = 0;
    for (auto _ : state) {
        const TPortrait portrait = SeededPortrait(*goFaceRes, seed % 16);
        const QImage picture = RenderPortrait(*goFaceRes, portrait);
        ++seed;
        const double start = ThreadCpuSeconds();
        for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t) {
            if (!portrait.Layers[t].Present)
                continue;
            QImage bitmap;
            goFaceRes->GetBitmap(bitmap, TYPE_FACE_ITEM(t), portrait.Layers[t].Index, ifFile, false);
            benchmark::DoNotOptimize(bitmap);
        }
        WritePng(picture, out);
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_DecodePicturesEncodePng)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    CacheLocalTimeZone();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TVuploraApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("BM_OpenPortraitFile", "BM_RandomPortrait", " (target: at most 1.3)");
    reporter.PrintRatio("BM_HeadlessPortrait", "BM_DecodePicturesEncodePng", " (target: at most 1.3)");
    benchmark::Shutdown();
    // The window goes before the application object.
    Editor().Frm.reset();
    return 0;
}
