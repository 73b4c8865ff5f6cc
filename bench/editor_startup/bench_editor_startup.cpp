// The editor's own cost over the image decoding it cannot avoid, in one run:
//
// - start-up: from process start to the editor's first paint after a scripted
//   pack choice (a child process of this program runs the real start-up on the
//   offscreen platform), against decoding the pictures start-up shows;
// - RandomPortrait, against decoding the PNGs of the items it loads (target:
//   at most 1.3 times).
//
// The portrait is random, so the decode baselines take each category's mean:
// every item of the category is decoded and the time divided by the count.

#include "platform/localtime.h"
#include "TestPackPaths.h"
#include "editor/untSelectPack.h"
#include "editor/untStartup.h"
#include "editor/untVuploraForm.h"
#include "platform_ui/errorreport.h"
#include "platform/platform.h"
#include "platform/resources.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include "../common/ratio_reporter.h"

#include <cstdio>
#include <ctime>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const char CHILD_FLAG[] = "--startup-child";
const char PAINT_TAG[] = "first_paint_ns=";
const char CPU_TAG[] = "cpu_ns=";

qint64 ClockNs(clockid_t aiClock)
{
    timespec ts{};
    clock_gettime(aiClock, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

qint64 MonotonicNs() { return ClockNs(CLOCK_MONOTONIC); }
// CPU time of this thread: what the work itself costs, whatever else the shared
// machine is running.
qint64 ThreadCpuNs() { return ClockNs(CLOCK_THREAD_CPUTIME_ID); }

// ---- the child: real start-up, a click on pack 2, exit after the first paint

class TFirstPaint : public QObject {
public:
    bool eventFilter(QObject *, QEvent *aoEvent) override
    {
        if (aoEvent->type() == QEvent::Paint && !mbSeen) {
            mbSeen = true;
            // Right after the paint event has been handled.
            QTimer::singleShot(0, [] {
                // The process's CPU time counts from its start, loading included.
                std::printf("%s%lld %s%lld\n", PAINT_TAG, static_cast<long long>(MonotonicNs()), CPU_TAG,
                            static_cast<long long>(ClockNs(CLOCK_PROCESS_CPUTIME_ID)));
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    bool mbSeen = false;
};

int StartupChild(int argc, char **argv)
{
    TVuploraApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // No sound device is wanted in a measurement.
    TPlatform services = Platform();
    services.Sound = nullptr;
    TPlatformOverride noSound(services);

    QTimer chooser;
    QObject::connect(&chooser, &QTimer::timeout, [&chooser] {
        if (auto *frm = qobject_cast<TfrmSelectPack *>(QApplication::activeModalWidget())) {
            chooser.stop();
            QTest::mouseClick(frm->windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(450, 500));
        }
    });
    chooser.start(0);
    std::unique_ptr<TfrmVuplora> frm = StartUp();
    TFirstPaint firstPaint;
    frm->slCanvas->viewport()->installEventFilter(&firstPaint);
    return app.exec();
}

// ---- the parent

QByteArray ReadFile(const QString &asPath)
{
    QFile file(asPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The encoded full images (or thumbnails) of every item of a category.
std::vector<QByteArray> CategoryImages(TFaceRes &aoRes, TYPE_FACE_ITEM fiType, TYPE_IMAGE_FILE ifType)
{
    std::vector<QByteArray> images;
    const TFaceItemDataList *items = aoRes.GetFaceItem(fiType);
    for (int i = 0; items && i < int(items->size()); ++i)
        images.push_back(ReadFile(QDir(TestPackMembersDir()).filePath(aoRes.GetItemResName(fiType, i, ifType))));
    return images;
}

struct TDecodeSet {
    // Decoded once per pass; each group's time counts divided by its size.
    std::vector<std::vector<QByteArray>> MeanOf;
    std::vector<QByteArray> Each;
};

struct TBaselines {
    TDecodeSet Portrait; // what RandomPortrait decodes
    TDecodeSet Startup;  // what start-up decodes before the first paint
};

TBaselines &Baselines()
{
    static TBaselines b = [] {
        TBaselines r;
        giPackIndex = 2; // the child chooses pack 2
        TFaceRes res;
        res.LoadRes(QStringLiteral("res_girl"));
        for (TYPE_FACE_ITEM t : {fiHand, fiFace, fiHair, fiEye, fiNose, fiMouth, fiBrow})
            r.Portrait.MeanOf.push_back(CategoryImages(res, t, ifFile));
        r.Startup = r.Portrait;
        r.Startup.MeanOf.push_back(CategoryImages(res, fiBG, ifFile));
        r.Startup.Each = CategoryImages(res, fiHand, ifThumb);
        // The windows' own pictures and the watermark logo.
        QDirIterator it(QStringLiteral(":/editor"), QDir::Files);
        while (it.hasNext())
            r.Startup.Each.push_back(ReadFile(it.next()));
        r.Startup.Each.push_back(ResourceProvider().Open(QStringLiteral("res_logo_en")));
        giPackIndex = 1;
        return r;
    }();
    return b;
}

void Decode(const QByteArray &aoData)
{
    QImage img;
    img.loadFromData(aoData);
    benchmark::DoNotOptimize(img.constBits());
}

double DecodeSeconds(const TDecodeSet &aoSet)
{
    double grouped = 0;
    for (const auto &group : aoSet.MeanOf) {
        const qint64 g0 = ThreadCpuNs();
        for (const QByteArray &data : group)
            Decode(data);
        grouped += double(ThreadCpuNs() - g0) / double(qMax<size_t>(1, group.size()));
    }
    const qint64 e0 = ThreadCpuNs();
    for (const QByteArray &data : aoSet.Each)
        Decode(data);
    return (grouped + double(ThreadCpuNs() - e0)) * 1e-9;
}

void BM_DecodePortraitItems(benchmark::State &state)
{
    for (auto _ : state)
        state.SetIterationTime(DecodeSeconds(Baselines().Portrait));
}
BENCHMARK(BM_DecodePortraitItems)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_RandomPortrait(benchmark::State &state)
{
    giPackIndex = 2;
    TfrmVuplora frm;
    for (auto _ : state) {
        const qint64 t0 = ThreadCpuNs();
        frm.RandomPortrait();
        state.SetIterationTime(double(ThreadCpuNs() - t0) * 1e-9);
    }
    giPackIndex = 1;
}
BENCHMARK(BM_RandomPortrait)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DecodeStartupPictures(benchmark::State &state)
{
    for (auto _ : state)
        state.SetIterationTime(DecodeSeconds(Baselines().Startup));
}
BENCHMARK(BM_DecodeStartupPictures)->UseManualTime()->Unit(benchmark::kMillisecond);

QString gSelf;

// Manual time is the child's CPU time up to its first paint; the wall time from
// starting it goes into the counter wall_ms.
void BM_StartupToFirstPaint(benchmark::State &state)
{
    double wall = 0;
    for (auto _ : state) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        child.setProcessEnvironment(env);
        const qint64 start = MonotonicNs();
        child.start(gSelf, {QLatin1String(CHILD_FLAG)});
        child.waitForFinished(60000);
        const QByteArray out = child.readAllStandardOutput();
        const qsizetype at = out.indexOf(PAINT_TAG);
        if (at < 0) {
            state.SkipWithError("the child did not paint");
            return;
        }
        const QList<QByteArray> fields = out.mid(at).trimmed().split(' ');
        const qint64 painted = fields.value(0).mid(qsizetype(sizeof(PAINT_TAG) - 1)).toLongLong();
        const qint64 cpu = fields.value(1).mid(qsizetype(sizeof(CPU_TAG) - 1)).toLongLong();
        wall += double(painted - start) * 1e-9;
        state.SetIterationTime(double(cpu) * 1e-9);
    }
    state.counters["wall_ms"] = benchmark::Counter(wall * 1e3 / double(state.iterations()));
}
BENCHMARK(BM_StartupToFirstPaint)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], CHILD_FLAG) == 0)
            return StartupChild(argc, argv);

    // Same process set-up as the application.
    CacheLocalTimeZone();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TVuploraApplication app(argc, argv);
    gSelf = QCoreApplication::applicationFilePath();
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("BM_RandomPortrait", "BM_DecodePortraitItems", " (target: at most 1.3)");
    reporter.PrintRatio("BM_StartupToFirstPaint", "BM_DecodeStartupPictures", "");
    benchmark::Shutdown();
    return 0;
}
