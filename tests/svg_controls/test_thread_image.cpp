// The background renderer: which jobs run, what a source change does to jobs still
// queued, and that destruction in any state leaves no thread, job or document behind
// (the sanitizer build reports leaks). The worker is held at a known point by a gate job
// where a test needs the queue to stand still; waits have a generous limit only so that a
// fault fails instead of hanging.

#include "controls_support.h"

#include "errors/errors.h"
#include "svg/controls/svg_thread_image.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <mutex>

using namespace ctltest;

namespace {

bool WaitUntil(const std::function<bool()> &done)
{
    QDeadlineTimer limit(60000);
    while (!done()) {
        if (limit.hasExpired())
            return false;
        QTest::qWait(2);
    }
    return true;
}

class TProbe : public TRSSVGThreadImage {
public:
    using TRSSVGThreadImage::Thread;
    using TRSSVGThreadImage::TRSSVGThreadImage;
};

// Holds the worker until opened (or until the worker is told to stop).
struct TGate {
    QSemaphore Started;
    std::atomic<bool> Open{false};
    std::atomic<bool> Freed{false};
};

class TGateJob : public TSVGServerJob {
public:
    TGateJob(TSVGServerThread &Thread, std::shared_ptr<TGate> Gate) : FThread(Thread), FGate(std::move(Gate)) {}
    ~TGateJob() override { FGate->Freed = true; }
    bool Execute() override
    {
        FGate->Started.release();
        while (!FGate->Open && !FThread.Terminated())
            QThread::msleep(1);
        return true;
    }

private:
    TSVGServerThread &FThread;
    std::shared_ptr<TGate> FGate;
};

std::shared_ptr<TGate> Queue(TSVGServerThread &thread, bool open)
{
    auto gate = std::make_shared<TGate>();
    gate->Open = open;
    thread.Jobs().Add(std::make_unique<TGateJob>(thread, gate));
    thread.Wake();
    return gate;
}

// The worker is busy with a gate once this returns.
std::shared_ptr<TGate> HoldWorker(TProbe &image)
{
    auto gate = Queue(*image.Thread(), false);
    EXPECT_TRUE(gate->Started.tryAcquire(1, 60000));
    return gate;
}

// Every job queued so far has run and its completion has been taken.
void Drain(TProbe &image)
{
    auto gate = Queue(*image.Thread(), true);
    EXPECT_TRUE(WaitUntil([&] { return gate->Freed.load(); }));
}

bool Ready(const TRSSVGThreadImage &image)
{
    return WaitUntil([&] { return image.State() == TRSSVGThreadImage::tsReady; });
}

QImage Paint(TRSSVGThreadImage &image)
{
    QImage out = Transparent(int(image.Width()), int(image.Height()));
    QPainter painter(&out);
    image.paint(&painter, nullptr, nullptr);
    return out;
}

template <class TJob> const TJob *OnlyQueued(TSVGServerThread &thread)
{
    return thread.Jobs().Locked([](TSVGJobList::TItems &items) -> const TJob * {
        return items.size() == 1 ? dynamic_cast<const TJob *>(items.front().get()) : nullptr;
    });
}

// Records the order in which jobs run.
class TRecordJob : public TSVGServerJob {
public:
    TRecordJob(std::shared_ptr<TSVGDocument> SVG, QString Name, QStringList &Log, std::mutex &Lock)
        : TSVGServerJob(std::move(SVG)), FName(std::move(Name)), FLog(Log), FLock(Lock) {}
    bool Execute() override
    {
        const std::lock_guard<std::mutex> guard(FLock);
        FLog << FName;
        return true;
    }

private:
    QString FName;
    QStringList &FLog;
    std::mutex &FLock;
};

} // namespace

TEST(ServerThread, OfQueuedJobsForOneDocumentOnlyTheNewestRuns)
{
    // Queue entries are a document letter and a number; "-" has no document. The last
    // entry of every case is unique, so once it ran everything before it had its turn.
    struct TCase {
        QStringList Queued, Run;
    };
    const TCase cases[] = {
        {{"a1", "b1", "a2", "a3", "c1"}, {"a3", "b1", "c1"}},
        {{"a1", "a2", "b1", "b2", "c1"}, {"a2", "b2", "c1"}},
        {{"-1", "-2", "c1"}, {"-1", "-2", "c1"}},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Queued.join(QLatin1Char(' ')).toStdString());
        std::map<QChar, std::shared_ptr<TSVGDocument>> docs;
        QStringList log;
        std::mutex lock;
        TSVGServerThread thread(true);
        for (const QString &name : c.Queued) {
            std::shared_ptr<TSVGDocument> &doc = docs[name[0]];
            if (!doc && name[0] != QLatin1Char('-'))
                doc = std::make_shared<TSVGDocument>();
            thread.Jobs().Add(std::make_unique<TRecordJob>(doc, name, log, lock));
        }
        thread.start();
        ASSERT_TRUE(WaitUntil([&] {
            const std::lock_guard<std::mutex> guard(lock);
            return log.contains(c.Queued.last());
        }));
        const std::lock_guard<std::mutex> guard(lock);
        EXPECT_EQ(log, c.Run);
    }
}

TEST(ThreadImage, FitsItsSourceLikeTheImageControl)
{
    TProbe image;
    image.SetSize(QSizeF(273, 209));
    image.SetLines(Lines(Solid(141.802, 100.402)));
    ASSERT_TRUE(Ready(image));
    EXPECT_EQ(image.Bitmap().size(), QSize(273, 193));
    EXPECT_EQ(OpaqueBounds(Paint(image)), QRect(QPoint(0, 8), QPoint(272, 200)));
}

TEST(ThreadImage, EnlargementsReplaceTheQueuedPaintJob)
{
    TProbe image;
    image.SetLines(Lines(Solid(40, 20)));
    ASSERT_TRUE(Ready(image));
    const auto gate = HoldWorker(image);
    for (const qreal w : {120, 140, 160})
        image.SetSize(QSizeF(w, w));
    const TSVGPaintJob *queued = OnlyQueued<TSVGPaintJob>(*image.Thread());
    ASSERT_NE(queued, nullptr);
    EXPECT_EQ(queued->DefaultWidth(), 160);
    EXPECT_EQ(image.Bitmap().size(), QSize(100, 50));  // shown until the new one comes
    gate->Open = true;
    ASSERT_TRUE(Ready(image));
    EXPECT_EQ(image.Bitmap().size(), QSize(160, 80));
}

TEST(ThreadImage, ASourceChangeReplacesQueuedWorkAndDropsThePicture)
{
    // New lines: a load of them replaces the queued paint job, and what comes next is
    // theirs. No source at all: nothing is queued, and nothing old comes back.
    const QStringList blue = Lines(Solid(40, 20, QStringLiteral("#0000ff")));
    for (const QStringList &next : {blue, QStringList()}) {
        SCOPED_TRACE(next.isEmpty() ? "no source" : "new lines");
        TProbe image;
        image.SetLines(Lines(Solid(40, 20)));
        ASSERT_TRUE(Ready(image));
        const auto gate = HoldWorker(image);
        image.SetSize(QSizeF(200, 200));
        ASSERT_NE(OnlyQueued<TSVGPaintJob>(*image.Thread()), nullptr);

        image.SetLines(next);

        EXPECT_TRUE(image.Bitmap().isNull());
        gate->Open = true;
        if (next.isEmpty()) {
            EXPECT_EQ(image.Thread()->Jobs().Count(), 0);
            EXPECT_EQ(image.State(), TRSSVGThreadImage::tsNoSource);
            Drain(image);
            EXPECT_EQ(image.State(), TRSSVGThreadImage::tsNoSource);
            EXPECT_TRUE(OpaqueBounds(Paint(image)).isEmpty());
        } else {
            EXPECT_NE(OnlyQueued<TSVGLoadJob>(*image.Thread()), nullptr);
            ASSERT_TRUE(Ready(image));
            EXPECT_EQ(image.Bitmap().size(), QSize(200, 100));
            EXPECT_EQ(ColourAt(Paint(image), 100, 100), QStringLiteral("#ff0000ff"));
        }
    }
}

TEST(ThreadImage, AFinishedLoadOfAReplacedSourceIsNotShown)
{
    TProbe image;
    QStringList shown;
    QObject::connect(&image, &TRSSVGThreadImage::Repainted, [&] {
        if (!image.Bitmap().isNull())
            shown << ColourAt(image.Bitmap(), 10, 10);
    });
    image.SetLines(Lines(Solid(40, 20, QStringLiteral("#00ff00"))));
    // The green load is done, its completion not yet taken, when the source changes.
    QDeadlineTimer limit(60000);
    while (image.Thread()->OutJobs().Count() == 0 && !limit.hasExpired())
        QThread::msleep(1);
    ASSERT_EQ(image.Thread()->OutJobs().Count(), 1);
    const auto gate = HoldWorker(image);
    image.SetLines(Lines(Solid(40, 20, QStringLiteral("#0000ff"))));
    ASSERT_TRUE(WaitUntil([&] { return image.Thread()->OutJobs().Count() == 0; }));
    // Taking the green load asked for nothing: the blue load alone waits.
    EXPECT_NE(OnlyQueued<TSVGLoadJob>(*image.Thread()), nullptr);
    gate->Open = true;
    ASSERT_TRUE(Ready(image));
    Drain(image);
    EXPECT_EQ(shown, QStringList{QStringLiteral("#ff0000ff")});
}

TEST(ThreadImage, DpiIsAtLeastTenAndSizesTheNextLoad)
{
    const std::pair<float, QSize> cases[] = {{5, QSize(10, 5)}, {96, QSize(96, 48)}, {192, QSize(192, 96)}};
    for (const auto &[dpi, size] : cases) {
        TProbe image;
        image.SetWrapMode(iwOriginal);
        image.SetDPI(dpi);
        EXPECT_EQ(image.DPI(), std::max(dpi, 10.0f));
        image.SetLines(Lines(QStringLiteral(R"(<svg xmlns="http://www.w3.org/2000/svg" width="1in" height="0.5in"/>)")));
        ASSERT_TRUE(Ready(image));
        EXPECT_EQ(image.Bitmap().size(), size) << dpi;
    }
}

TEST(ThreadImage, ABrokenSourceShowsNothingAndRaisesNothing)
{
    TProbe image;
    image.SetLines(Lines(Solid(40, 20)));
    ASSERT_TRUE(Ready(image));
    EXPECT_NO_THROW(image.SetLines({QStringLiteral("<svg><rect></svg>")}));
    ASSERT_TRUE(Ready(image));
    EXPECT_TRUE(OpaqueBounds(Paint(image)).isEmpty());
    EXPECT_NO_THROW(image.SetLines({QStringLiteral("<html/>")}));
    ASSERT_TRUE(Ready(image));
    EXPECT_TRUE(OpaqueBounds(Paint(image)).isEmpty());
}

TEST(ThreadImage, FileSourcesLoadAndAMissingFileRaises)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("red.svg"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Solid(40, 20).toUtf8());
    }
    TProbe image;
    image.SetLines(Lines(Solid(40, 20, QStringLiteral("#0000ff"))));
    image.SetFilename(path);
    EXPECT_TRUE(image.Lines().isEmpty());
    ASSERT_TRUE(Ready(image));
    EXPECT_EQ(ColourAt(Paint(image), 50, 50), Red());

    try {
        image.SetFilename(dir.filePath(QStringLiteral("missing.svg")));
        ADD_FAILURE() << "no exception";
    } catch (const EVuploraError &e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot open file \"%1\".")
                                               .arg(dir.filePath(QStringLiteral("missing.svg")))));
    }
    EXPECT_TRUE(OpaqueBounds(Paint(image)).isEmpty());
}

TEST(ThreadImage, DestroyedInAnyStateLeavesNoThreadOrJob)
{
    enum TWhen { NeverLoaded, LoadQueued, JobRunningPaintQueued, Ready_ };
    for (const TWhen when : {NeverLoaded, LoadQueued, JobRunningPaintQueued, Ready_}) {
        SCOPED_TRACE(when);
        std::shared_ptr<TGate> gate;
        {
            TProbe image;
            if (when != NeverLoaded)
                image.SetLines(Lines(Solid(40, 20)));
            if (when == JobRunningPaintQueued) {
                ASSERT_TRUE(Ready(image));
                gate = HoldWorker(image);
                image.SetSize(QSizeF(300, 300));
            }
            if (when == Ready_) {
                ASSERT_TRUE(Ready(image));
            }
        }
        // Completions that were on their way must find nothing to do.
        QTest::qWait(20);
        EXPECT_EQ(TSVGServerThread::LiveCount(), 0);
        if (gate) {
            EXPECT_TRUE(gate->Freed.load());
        }
    }
}

TEST(ThreadImage, ManyChangesEndWithTheLastSource)
{
    // A burst of source, size and mode changes, some controls destroyed mid-way; the ones
    // that live end with the last source at the last size.
    const QString colours[] = {QStringLiteral("#ff0000"), QStringLiteral("#00ff00"),
                               QStringLiteral("#0000ff")};
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        auto image = std::make_unique<TProbe>();
        for (int step = 0; step < 9; ++step) {
            image->SetLines(Lines(Solid(40, 20, colours[(round + step) % 3])));
            image->SetSize(QSizeF(60 + 10 * step, 60 + 10 * step));
            image->SetWrapMode(step % 2 ? iwStretch : iwFit);
            if (step % 3 == round % 3)
                QTest::qWait(1);
        }
        if (round % 4 == 3) {
            image.reset();
            continue;
        }
        ASSERT_TRUE(Ready(*image));
        EXPECT_EQ(image->Bitmap().size(), QSize(140, 70));
        const QString expected = QColor(colours[(round + 8) % 3]).name(QColor::HexArgb);
        EXPECT_EQ(ColourAt(Paint(*image), 70, 70), expected);
    }
    QTest::qWait(20);
    EXPECT_EQ(TSVGServerThread::LiveCount(), 0);
}
