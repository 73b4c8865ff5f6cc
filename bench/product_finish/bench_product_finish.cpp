// What the finishing touches cost against the work they sit beside, in one run:
//
// - fitting a bubble's text (400 characters, cut at half the designed size)
//   against drawing the bubble once (document loaded and drawn at its size)
//   (target: at most 1.5);
// - writing the recovery file (portrait captured, put in file form, written
//   through QSaveFile) against saving the portrait's picture as PNG (target: at
//   most 0.2); the capture alone is what the interface thread does (target:
//   under 4 ms), the rest runs in the background;
// - the avatar dialog's preview (head and backdrop composed, the square cut at
//   256 pixels) against composing the portrait once (target: at most 1).
//
// Times are CPU time of this thread (manual time), so a loaded machine skews
// the ratios less; run with --benchmark_repetitions=5 for medians.

#include "../common/bench_editor.h"
#include "../common/ratio_reporter.h"
#include "../common/thread_cpu.h"

#include "assets/untVuploraPaopaoDoc.h"
#include "editor/untVuploraAvatar.h"
#include "editor/untVuploraBubbleText.h"
#include "editor/untVuploraForm.h"
#include "compose/untVuploraHeadless.h"
#include "editor/untVuploraRecovery.h"
#include "platform_ui/errorreport.h"
#include "platform/fakeplatform.h"
#include "platform/localtime.h"
#include "svg/render/image_buffer.h"
#include "svg/model/dom/document.h"

#include <QBuffer>
#include <QImageWriter>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct TEditor : TBenchEditor {
    QByteArray Bubble;

    TEditor()
    {
        Frm->imgTabPaopaoClick();
        RunReportingErrors([this] { Frm->changeBoxItemClick(nullptr, Frm->changeBox->item(1)); });
        // The bubble with a long text put in, not yet fitted.
        QBuffer stream;
        stream.setData(goPaopaoStream->data());
        stream.open(QIODevice::ReadWrite);
        QString text;
        while (text.size() < 400)
            text += QStringLiteral("I made this portrait with Vuplora today ");
        SetPaopaoText(stream, text.left(400));
        Bubble = stream.data();
    }
};

TEditor &Editor()
{
    static TEditor editor;
    return editor;
}

void BM_FitBubbleText(benchmark::State &state)
{
    TEditor &e = Editor();
    for (auto _ : state) {
        QBuffer stream;
        stream.setData(e.Bubble);
        stream.open(QIODevice::ReadWrite);
        const double start = ThreadCpuSeconds();
        benchmark::DoNotOptimize(FitPaopaoDocument(stream));
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_FitBubbleText)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DrawBubble(benchmark::State &state)
{
    TEditor &e = Editor();
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        QBuffer stream;
        stream.setData(e.Bubble);
        stream.open(QIODevice::ReadOnly);
        TSVGDocument document;
        document.LoadFromStream(stream);
        QImage picture(qRound(document.Width()), qRound(document.Height()), QImage::Format_ARGB32_Premultiplied);
        RenderElementToBitmap(picture, &document);
        benchmark::DoNotOptimize(picture);
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_DrawBubble)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_RecoveryCapture(benchmark::State &state)
{
    TEditor &e = Editor();
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        benchmark::DoNotOptimize(e.Frm->CapturePortrait());
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_RecoveryCapture)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_RecoveryWrite(benchmark::State &state)
{
    TEditor &e = Editor();
    const QString file = e.Dir.filePath(QStringLiteral("recovery.vuplora"));
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        const QByteArray data = WritePortrait(e.Frm->CapturePortrait());
        QSaveFile out(file);
        out.open(QIODevice::WriteOnly);
        out.write(data);
        out.commit();
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_RecoveryWrite)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_SavePicture(benchmark::State &state)
{
    TEditor &e = Editor();
    const QString file = e.Dir.filePath(QStringLiteral("portrait.png"));
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        const QImage picture = e.Frm->PortraitPicture(1.0);
        QSaveFile out(file);
        out.open(QIODevice::WriteOnly);
        QImageWriter(&out, "png").write(picture);
        out.commit();
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_SavePicture)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_AvatarPreview(benchmark::State &state)
{
    TEditor &e = Editor();
    const TPortrait portrait = e.Frm->CapturePortrait();
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        benchmark::DoNotOptimize(RenderAvatar(ComposeAvatarParts(*goFaceRes, portrait), TfrmAvatar::PREVIEW_SIZE, true));
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_AvatarPreview)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ComposePortrait(benchmark::State &state)
{
    TEditor &e = Editor();
    const TPortrait portrait = e.Frm->CapturePortrait();
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        benchmark::DoNotOptimize(RenderPortrait(*goFaceRes, portrait));
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_ComposePortrait)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    CacheLocalTimeZone();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The editor's settings and recovery file stay out of the user's folders.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    TVuploraApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("BM_FitBubbleText", "BM_DrawBubble", " (target: at most 1.5)");
    reporter.PrintRatio("BM_RecoveryWrite", "BM_SavePicture", " (target: at most 0.2)");
    reporter.PrintRatio("BM_AvatarPreview", "BM_ComposePortrait", " (target: at most 1)");
    benchmark::Shutdown();
    Editor().Frm.reset();
    return 0;
}
