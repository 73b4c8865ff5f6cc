// What undo and redo cost against the step they take back, in one run: for
// each kind of step (an item, a colour, a nudge, a random portrait, a bubble
// chosen, moved, edited or closed, the watermark moved) the step itself, its
// undo and its redo are timed apart (target: undo and redo at most the step).
//
// Times are CPU time of this thread (manual time), so a loaded machine does not
// skew the ratios.

#include "../common/bench_editor.h"
#include "../common/ratio_reporter.h"
#include "../common/thread_cpu.h"

#include "editor/untVuploraForm.h"
#include "editor/untVuploraUndo.h"
#include "platform_ui/errorreport.h"
#include "platform/fakeplatform.h"
#include "platform/localtime.h"

#include <QTest>

#include <benchmark/benchmark.h>

#include <ctime>
#include <functional>
#include <memory>

namespace {

struct TEditor : TBenchEditor {};

TEditor &Editor()
{
    static TEditor editor;
    return editor;
}

void Choose(TfrmVuplora &w, int aiRow)
{
    RunReportingErrors([&] { w.changeBoxItemClick(w.changeBox, w.changeBox->item(aiRow)); });
}

// A kind of step: made ready once, then taken again and again; n counts the
// runs so that each one changes the portrait.
struct TStepKind {
    const char *Name;
    std::function<void(TfrmVuplora &)> Prepare;
    std::function<void(TfrmVuplora &, int)> Step;
    // Untimed, before each step.
    std::function<void(TfrmVuplora &)> Before = nullptr;
};

const std::vector<TStepKind> &Kinds()
{
    static const std::vector<TStepKind> kinds = {
        {"Item", [](TfrmVuplora &w) { w.imgTabHandClick(); }, [](TfrmVuplora &w, int n) { Choose(w, n % 2); }},
        {"Colour", [](TfrmVuplora &w) { w.imgTabHairClick(); },
         [](TfrmVuplora &w, int n) { w.imgColor1Click(w.rgColor->imgColor[size_t(2 + n % 2)]); }},
        {"Nudge", [](TfrmVuplora &w) { w.imgTabEyesClick(); },
         [](TfrmVuplora &w, int n) { w.NudgeLayer(n % 2 ? 1 : -1); }},
        {"Random", nullptr, [](TfrmVuplora &w, int) { w.imgTabRandomClick(); }},
        {"Bubble", [](TfrmVuplora &w) { w.imgTabPaopaoClick(); },
         [](TfrmVuplora &w, int n) { Choose(w, 1 + n % 2); }},
        {"BubbleMove",
         [](TfrmVuplora &w) {
             w.imgTabPaopaoClick();
             Choose(w, 1);
         },
         [](TfrmVuplora &w, int n) {
             // What the frame's drag does, up to its release.
             w.slCanvas->slPaopao->setPos(QPointF(100 + n % 2 * 50, 300));
             w.slPaopaoClick(w.slCanvas->slPaopao);
         }},
        {"BubbleText",
         [](TfrmVuplora &w) {
             w.imgTabPaopaoClick();
             Choose(w, 1);
         },
         [](TfrmVuplora &w, int n) {
             // The edit command once its dialog is confirmed.
             gsNewPaopaoText = QStringLiteral("Edit %1").arg(n);
             const TRecordStep step(w.FHistory, QStringLiteral("Edit bubble text"));
             w.ApplyPaopaoText();
         }},
        {"BubbleClose",
         [](TfrmVuplora &w) {
             w.imgTabPaopaoClick();
             Choose(w, 1);
         },
         [](TfrmVuplora &w, int) { w.imgPaopaoCloseClick(w.slCanvas->slPaopao->imgPaopaoClose); },
         [](TfrmVuplora &w) {
             w.slCanvas->slPaopao->setVisible(true);
             w.FHistory->Record(QStringLiteral("Show bubble"));
         }},
        {"Watermark", nullptr,
         [](TfrmVuplora &w, int n) {
             TLayerImage *icon = w.slCanvas->imgIcon;
             w.imgIconMouseDown(icon, Qt::LeftButton, 10, 10);
             w.imgIconMouseMove(icon, n % 2 ? 60.f : -40.f, 10);
             w.imgIconMouseUp(icon, Qt::LeftButton, 10, 10);
         }},
    };
    return kinds;
}

enum class TPhase { Step, Undo, Redo };

void BM_Phase(benchmark::State &state, const TStepKind &aoKind, TPhase aePhase)
{
    TfrmVuplora &w = *Editor().Frm;
    if (aoKind.Prepare)
        aoKind.Prepare(w);
    int n = 0;
    for (auto _ : state) {
        if (aoKind.Before)
            aoKind.Before(w);
        double start = ThreadCpuSeconds();
        RunReportingErrors([&] { aoKind.Step(w, ++n); });
        if (aePhase != TPhase::Step) {
            start = ThreadCpuSeconds();
            w.FHistory->Undo();
        }
        if (aePhase == TPhase::Redo) {
            start = ThreadCpuSeconds();
            w.FHistory->Redo();
        }
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}

} // namespace

int main(int argc, char **argv)
{
    CacheLocalTimeZone();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TVuploraApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const std::pair<TPhase, const char *> phases[] = {
        {TPhase::Step, "Step"}, {TPhase::Undo, "Undo"}, {TPhase::Redo, "Redo"}};
    for (const TStepKind &kind : Kinds())
        for (const auto &[phase, name] : phases)
            benchmark::RegisterBenchmark((std::string("BM_") + name + kind.Name).c_str(), BM_Phase, kind, phase)
                ->UseManualTime()
                // An undo is timed alone, but each one needs an untimed step
                // before it: a fixed count keeps the run short.
                ->Iterations(40)
                ->Unit(benchmark::kMicrosecond);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const TStepKind &kind : Kinds())
        for (const char *phase : {"Undo", "Redo"})
            reporter.PrintRatio(std::string("BM_") + phase + kind.Name, std::string("BM_Step") + kind.Name,
                                " (target: at most 1)");
    benchmark::Shutdown();
    // The window goes before the application object.
    Editor().Frm.reset();
    return 0;
}
