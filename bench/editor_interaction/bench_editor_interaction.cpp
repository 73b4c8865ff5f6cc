// What the editor's interaction costs over the work it cannot avoid, in one run:
//
// - filling the browser with the largest category of the pack, against decoding
//   the same thumbnails straight from their PNG bytes (target: at most 1.5);
// - a save, from the click to the file on disk, against encoding the same
//   640 x 1136 picture to a PNG file directly (target: at most 1.3);
// - choosing a speech bubble (read, rewritten, loaded, rendered into its frame)
//   and applying an edited text, each against rendering the same document into
//   a buffer of the same size alone (target: at most 2);
// - the slide of a feature: frames drawn while it runs, against the frames the
//   display's refresh rate allows in the same time (reported, not timed).
//
// Times are CPU time of this thread (manual time), so a loaded machine does not
// skew the ratios.

#include "../common/bench_editor.h"
#include "../common/ratio_reporter.h"
#include "../common/thread_cpu.h"

#include "TestPackPaths.h"
#include "editor/untVuploraForm.h"
#include "svg/controls/svg_document_component.h"
#include "svg/controls/svg_image.h"
#include "svg/render/image_buffer.h"
#include "platform_ui/errorreport.h"
#include "platform/fakeplatform.h"
#include "platform/localtime.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

namespace {

struct TEditor : TBenchEditor {
    TEditor()
    {
        Fake.SaveDialog.ChosenFile = Dir.filePath(QStringLiteral("portrait.png"));
    }
};

TEditor &Editor()
{
    static TEditor editor;
    return editor;
}

TYPE_FACE_ITEM LargestCategory()
{
    TYPE_FACE_ITEM largest = fiEmoji;
    size_t most = 0;
    for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t) {
        const TFaceItemDataList *items = goFaceRes->GetFaceItem(static_cast<TYPE_FACE_ITEM>(t));
        if (items && items->size() > most && t != fiPaopao) {
            most = items->size();
            largest = static_cast<TYPE_FACE_ITEM>(t);
        }
    }
    return largest;
}

void BM_FillBrowser(benchmark::State &state)
{
    TEditor &e = Editor();
    const TYPE_FACE_ITEM type = LargestCategory();
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        e.Frm->ShowItems(type);
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
    state.counters["cells"] = double(e.Frm->changeBox->count());
}
BENCHMARK(BM_FillBrowser)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DecodeThumbnails(benchmark::State &state)
{
    Editor();
    const TYPE_FACE_ITEM type = LargestCategory();
    std::vector<QByteArray> thumbs;
    const QDir dir(TestPackMembersDir());
    for (size_t i = 0; i < goFaceRes->GetFaceItem(type)->size(); ++i) {
        QFile f(dir.filePath(goFaceRes->GetItemResName(type, qint32(i), ifThumb)));
        if (!f.open(QIODevice::ReadOnly)) {
            state.SkipWithError("thumbnail missing");
            return;
        }
        thumbs.push_back(f.readAll());
    }
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        for (const QByteArray &bytes : thumbs) {
            QImage img;
            img.loadFromData(bytes, "PNG");
            benchmark::DoNotOptimize(img);
        }
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_DecodeThumbnails)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State &state)
{
    TEditor &e = Editor();
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        RunReportingErrors([&] { e.Frm->imgTabSaveClick(); });
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_Save)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_EncodePng(benchmark::State &state)
{
    TEditor &e = Editor();
    const QImage picture = e.Frm->slCanvas->MakeScreenshot();
    const QString file = e.Dir.filePath(QStringLiteral("direct.png"));
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        if (!picture.save(file, "PNG"))
            state.SkipWithError("writing failed");
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_EncodePng)->UseManualTime()->Unit(benchmark::kMillisecond);

// The bubble: choosing one (read from the pack, rewritten, loaded, rendered
// into the frame's buffer) and applying an edited text, each against rendering
// the same document into a buffer of the same size alone.
void ChooseBubble(TEditor &e)
{
    e.Frm->imgTabPaopaoClick();
    RunReportingErrors([&] { e.Frm->changeBoxItemClick(nullptr, e.Frm->changeBox->item(1)); });
}

void BM_ChooseBubble(benchmark::State &state)
{
    TEditor &e = Editor();
    ChooseBubble(e);
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        RunReportingErrors([&] { e.Frm->changeBoxItemClick(nullptr, e.Frm->changeBox->item(1)); });
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_ChooseBubble)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_EditBubble(benchmark::State &state)
{
    TEditor &e = Editor();
    ChooseBubble(e);
    int n = 0;
    for (auto _ : state) {
        gsNewPaopaoText = QStringLiteral("Edit %1").arg(++n);
        const double start = ThreadCpuSeconds();
        RunReportingErrors([&] { e.Frm->ApplyPaopaoText(); });
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_EditBubble)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_RenderBubble(benchmark::State &state)
{
    TEditor &e = Editor();
    ChooseBubble(e);
    TRSSVGImage *image = e.Frm->slCanvas->slPaopao->imgPaopao;
    const QSize size = image->Bitmap().size();
    QImage buffer(size, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        RenderElementToBitmap(buffer, e.Frm->SVGDoc->SVG());
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
    state.counters["pixels"] = double(size.width()) * size.height();
}
BENCHMARK(BM_RenderBubble)->UseManualTime()->Unit(benchmark::kMillisecond);

// Counts the paints of the canvas while a hair item slides out and in.
class TPaintCounter : public QObject {
public:
    int Paints = 0;
    bool eventFilter(QObject *, QEvent *aoEvent) override
    {
        if (aoEvent->type() == QEvent::Paint)
            ++Paints;
        return false;
    }
};

void ReportSlideFrames()
{
    TEditor &e = Editor();
    e.Frm->imgTabHairClick();
    TPaintCounter counter;
    e.Frm->slCanvas->viewport()->installEventFilter(&counter);
    const int runs = 5;
    QElapsedTimer clock;
    clock.start();
    for (int run = 0; run < runs; ++run)
        e.Frm->changeBoxItemClick(nullptr, e.Frm->changeBox->item(run % e.Frm->changeBox->count()));
    const double seconds = double(clock.nsecsElapsed()) * 1e-9 / runs;
    e.Frm->slCanvas->viewport()->removeEventFilter(&counter);
    const qreal hz = e.Frm->screen() ? e.Frm->screen()->refreshRate() : 60;
    std::printf("slide: %.1f frames drawn per slide of %.3f s; the display at %.0f Hz shows %.1f "
                "(ratio %.2f)\n",
                double(counter.Paints) / runs, seconds, hz, seconds * hz,
                double(counter.Paints) / runs / (seconds * hz));
}

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
    reporter.PrintRatio("BM_FillBrowser", "BM_DecodeThumbnails", " (target: at most 1.5)");
    reporter.PrintRatio("BM_Save", "BM_EncodePng", " (target: at most 1.3)");
    reporter.PrintRatio("BM_ChooseBubble", "BM_RenderBubble", " (target: at most 2)");
    reporter.PrintRatio("BM_EditBubble", "BM_RenderBubble", " (target: at most 2)");
    ReportSlideFrames();
    benchmark::Shutdown();
    // The window goes before the application object.
    Editor().Frm.reset();
    return 0;
}
