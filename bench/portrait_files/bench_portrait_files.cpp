// What portrait files and headless portraits cost over the work they cannot
// avoid, in one run:
//
// - opening a portrait file (read, checked, every layer's picture decoded and
//   put on the canvas) against a random portrait in the same window (target:
//   at most 1.3). The file is the window's portrait after creation and a random
//   portrait comes before each opening, so the seven layers it picks are
//   asked for again; the background it leaves alone is not;
// - a headless portrait (picks, pictures decoded, layers drawn, PNG written)
//   against decoding the same pictures and encoding the same PNG alone (target:
//   at most 1.3). The index is loaded once, as `--count` does.
//
// - the PNG work of a headless portrait and of the editor's save, through the image
//   I/O module against the previous method (Qt's PNG plugin decoding the layers'
//   pictures and writing the portrait), side by side on the same bytes and pictures.
//   A portrait made the previous way (every layer's picture decoded by Qt, none
//   kept between portraits, the portrait written by Qt) costs the headless portrait
//   less the picture work it does now (BM_DecodePicturesEncodePng: the pictures
//   asked of the resource manager, which keeps decoded ones, as the portrait asks
//   for them, and the PNG written; its unpacking and decryption count there too, so
//   the previous method comes out cheaper than it was) plus Qt's; the ratio of the
//   two is printed (target: at most 0.6), and so for the editor's save.
//
// Times are CPU time of this thread (manual time), so a loaded machine does not
// skew the ratios.

#include "../common/bench_editor.h"
#include "../common/ratio_reporter.h"
#include "../common/thread_cpu.h"

#include "editor/untVuploraForm.h"
#include "compose/untVuploraHeadless.h"
#include "platform_ui/errorreport.h"
#include "platform/fakeplatform.h"
#include "platform/localtime.h"
#include "imageio/png_codec.h"
#include "TestPackPaths.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

namespace {

struct TEditor : TBenchEditor {
    QString File;

    TEditor()
    {
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
    PngWrite(file, aoPicture);
    file.commit();
}

void WritePngWithQt(const QImage &aoPicture, const QString &asFile)
{
    QSaveFile file(asFile);
    file.open(QIODevice::WriteOnly);
    QImageWriter writer(&file, "png");
    writer.write(aoPicture);
    file.commit();
}

// The PNG bytes of the pictures of a seed's portrait, as the pack holds them.
std::vector<QByteArray> PortraitPngs(quint64 aiSeed)
{
    const TPortrait portrait = SeededPortrait(*goFaceRes, aiSeed);
    std::vector<QByteArray> pngs;
    for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t) {
        if (!portrait.Layers[t].Present)
            continue;
        QFile file(QDir(TestPackMembersDir())
                       .filePath(goFaceRes->GetItemResName(TYPE_FACE_ITEM(t), portrait.Layers[t].Index, ifFile)));
        if (file.open(QIODevice::ReadOnly)) {
            QByteArray bytes = file.readAll();
            if (PngSignature(bytes))
                pngs.push_back(std::move(bytes));
        }
    }
    return pngs;
}

// The layers' pictures decoded and the portrait written, by our codec or by Qt's.
template <bool Qt>
void BM_PortraitPngWork(benchmark::State &state)
{
    TEditor &e = Editor();
    const QString out = e.Dir.filePath(QStringLiteral("codec.png"));
    quint64 seed = 0;
    for (auto _ : state) {
        const std::vector<QByteArray> pngs = PortraitPngs(seed % 16);
        const QImage picture = RenderPortrait(*goFaceRes, SeededPortrait(*goFaceRes, seed % 16));
        ++seed;
        const double start = ThreadCpuSeconds();
        for (const QByteArray &png : pngs) {
            QImage bitmap;
            if (Qt) {
                bitmap.loadFromData(png, "PNG");
                bitmap.convertTo(QImage::Format_ARGB32_Premultiplied);
            } else {
                bitmap = PngDecodePremultiplied(png);
            }
            benchmark::DoNotOptimize(bitmap);
        }
        Qt ? WritePngWithQt(picture, out) : WritePng(picture, out);
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK_TEMPLATE(BM_PortraitPngWork, false)->Name("BM_PortraitPngWorkOurs")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_PortraitPngWork, true)->Name("BM_PortraitPngWorkQt")->UseManualTime()->Unit(benchmark::kMillisecond);

// The editor's save to a PNG file, whole (the picture taken from the canvas and
// written, as the save command does), and the writing alone by our codec or Qt's.
void BM_SaveToFile(benchmark::State &state)
{
    TEditor &e = Editor();
    const QString out = e.Dir.filePath(QStringLiteral("saved.png"));
    for (auto _ : state) {
        e.Frm->RandomPortrait();
        const double start = ThreadCpuSeconds();
        WritePng(e.Frm->PortraitPicture(1.0), out);
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_SaveToFile)->UseManualTime()->Unit(benchmark::kMillisecond);

template <bool Qt>
void BM_SavedPictureWrite(benchmark::State &state)
{
    TEditor &e = Editor();
    const QString out = e.Dir.filePath(QStringLiteral("saved-alone.png"));
    for (auto _ : state) {
        e.Frm->RandomPortrait();
        const QImage picture = e.Frm->PortraitPicture(1.0);
        const double start = ThreadCpuSeconds();
        Qt ? WritePngWithQt(picture, out) : WritePng(picture, out);
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK_TEMPLATE(BM_SavedPictureWrite, false)->Name("BM_SavedPictureWriteOurs")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_SavedPictureWrite, true)->Name("BM_SavedPictureWriteQt")->UseManualTime()->Unit(benchmark::kMillisecond);

// Measured / (measured - ours + Qt's): the time now against the time the same work
// took with Qt's codec, per repetition (median and spread) and of the medians.
void PrintAgainstQtCodec(const TRatioReporter &reporter, const char *asWhat, const std::string &asWhole,
                         const std::string &asOurs, const std::string &asQt)
{
    const double whole = reporter.Time(asWhole), ours = reporter.Time(asOurs), qt = reporter.Time(asQt);
    if (!(whole > 0 && ours > 0 && qt > 0))
        return;
    std::printf("ratio %s now / with Qt's PNG codec = %.3f / %.3f ms = %.2f (target: at most 0.6)\n", asWhat,
                whole, whole - ours + qt, whole / (whole - ours + qt));
    const std::vector<double> w = reporter.Repetitions(asWhole), o = reporter.Repetitions(asOurs),
                              q = reporter.Repetitions(asQt);
    if (w.size() < 2 || o.size() != w.size() || q.size() != w.size())
        return;
    std::vector<double> ratios;
    for (size_t i = 0; i < w.size(); ++i)
        ratios.push_back(w[i] / (w[i] - o[i] + q[i]));
    TRatioReporter::PrintSpread("  the same ratio per repetition", ratios, "");
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
    // The pictures a headless portrait decodes now come mostly from the pictures its
    // resource manager keeps; BM_DecodePicturesEncodePng asks that manager for them as
    // the portrait does, so that what it leaves of the portrait's time is the drawing.
    PrintAgainstQtCodec(reporter, "headless portrait", "BM_HeadlessPortrait", "BM_DecodePicturesEncodePng",
                        "BM_PortraitPngWorkQt");
    PrintAgainstQtCodec(reporter, "editor's save", "BM_SaveToFile", "BM_SavedPictureWriteOurs",
                        "BM_SavedPictureWriteQt");
    benchmark::Shutdown();
    // The window goes before the application object.
    Editor().Frm.reset();
    return 0;
}
