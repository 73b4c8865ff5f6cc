#pragma once
// Loading and rendering SVG documents on a worker thread. Work is a job: a load job parses
// a stream into its document, a paint job renders its document into a new premultiplied
// image. Jobs hold their document by shared ownership, so a document stays alive while
// any queued or running job still refers to it, whoever else lets it go; a finished
// job's image belongs to the job until taken. The worker runs one job at a time, queued
// ones in order, except that of several queued jobs for one document only the newest
// runs. Finished jobs move to OutJobs and JobComplete is queued to the thread object's
// owner thread; the worker never waits for it. Jobs swallow their own errors (Execute
// answers false). Destroying the thread stops it, waits for the running job and frees
// every job still queued or finished. Sizes are in buffer pixels.

#include "svg/render/image_buffer.h"
#include "svg/model/dom/document.h"

#include <QThread>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

class QIODevice;

class TSVGServerJob {
public:
    explicit TSVGServerJob(std::shared_ptr<TSVGDocument> SVG = nullptr);
    virtual ~TSVGServerJob();
    TSVGServerJob(const TSVGServerJob &) = delete;
    TSVGServerJob &operator=(const TSVGServerJob &) = delete;

    const std::shared_ptr<TSVGDocument> &SVG() const { return FSVG; }
    void SetSVG(std::shared_ptr<TSVGDocument> Value) { FSVG = std::move(Value); }

    // Runs on the worker; false when the work failed (nothing is raised).
    virtual bool Execute();

private:
    std::shared_ptr<TSVGDocument> FSVG;
};

class TSVGLoadJob : public TSVGServerJob {
public:
    // Takes the stream over; it is read on the worker.
    TSVGLoadJob(std::unique_ptr<QIODevice> aStream, std::shared_ptr<TSVGDocument> SVG);
    // Opens the file at once: raises "Cannot open file "<name>". <reason>" when it cannot.
    TSVGLoadJob(const QString &aFilename, std::shared_ptr<TSVGDocument> SVG);
    ~TSVGLoadJob() override;

    QIODevice *Stream() const { return FStream.get(); }
    // Without a stream: true. Without a document: a new one. A parse error: false, the
    // document left as the failed load left it.
    bool Execute() override;

private:
    std::unique_ptr<QIODevice> FStream;
};

// The document settings a paint job puts in force on the worker before it draws, so that
// the interface thread never changes a document that a job may be using.
struct TSVGDocumentSettings {
    TSVGAspectRatioValue DefaultAspectRatio;
    TSVGOptions Options = SVGDefaultOptions;
    float DPI = 96;
};

class TSVGPaintJob : public TSVGServerJob {
public:
    TSVGPaintJob(std::shared_ptr<TSVGDocument> SVG, qreal aWidth, qreal aHeight);

    // The box the buffer is sized for; negative extents count as 0.
    qreal DefaultWidth() const { return FDefaultWidth; }
    void SetDefaultWidth(qreal Value) { FDefaultWidth = std::max<qreal>(Value, 0); }
    qreal DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(qreal Value) { FDefaultHeight = std::max<qreal>(Value, 0); }
    // Kept within 0.01 .. 100.
    float ScaleFactor() const { return FScaleFactor; }
    void SetScaleFactor(float Value);
    TSVGImageWrapMode WrapMode() const { return FWrapMode; }
    void SetWrapMode(TSVGImageWrapMode Value) { FWrapMode = Value; }
    const QString &SVGRootID() const { return FSVGRootID; }
    void SetSVGRootID(const QString &Value) { FSVGRootID = Value; }
    // Settings to put in force first; none by default.
    void SetDocumentSettings(const TSVGDocumentSettings &Value);

    const QImage &Bitmap() const { return FBitmap; }
    QImage TakeBitmap() { return std::exchange(FBitmap, QImage()); }

    // An empty box: true and no image. A missing root or a drawing error: false.
    bool Execute() override;

private:
    qreal FDefaultWidth = 0;
    qreal FDefaultHeight = 0;
    float FScaleFactor = 1;
    TSVGImageWrapMode FWrapMode = iwFit;
    QString FSVGRootID;
    bool FHasSettings = false;
    TSVGDocumentSettings FSettings;
    QImage FBitmap;
};

// A list of jobs behind a lock; every access takes it.
class TSVGJobList {
public:
    using TItems = std::deque<std::unique_ptr<TSVGServerJob>>;

    void Add(std::unique_ptr<TSVGServerJob> Job);
    // The first job, or null.
    std::unique_ptr<TSVGServerJob> TakeFirst();
    int Count() const;
    void Clear();
    // Runs Action with the items while holding the lock.
    template <class TAction> decltype(auto) Locked(TAction &&Action)
    {
        const std::lock_guard<std::mutex> guard(FLock);
        return Action(FItems);
    }

private:
    mutable std::mutex FLock;
    TItems FItems;
};

class TSVGServerThread : public QThread {
    Q_OBJECT
public:
    // Starts at once (below normal priority) unless Suspended; start() later then.
    explicit TSVGServerThread(bool Suspended, QObject *aParent = nullptr);
    ~TSVGServerThread() override;

    TSVGJobList &Jobs() { return FJobs; }
    TSVGJobList &OutJobs() { return FOutJobs; }

    // Asks the worker to stop after the running job; wakes it.
    void Terminate();
    bool Terminated() const { return FTerminated.load(); }
    // Tells a sleeping worker that jobs are waiting.
    void Wake();

    // Threads of this class alive in the process.
    static int LiveCount() { return FLiveCount.load(); }

Q_SIGNALS:
    // A job went to OutJobs; one signal per job. Emitted on the worker.
    void JobComplete();

protected:
    void run() override;

private:
    // Job 0, replaced by the newest queued job for the same document; the older ones for
    // that document are dropped.
    std::unique_ptr<TSVGServerJob> TakeNext();
    void Sleep();

    TSVGJobList FJobs;
    TSVGJobList FOutJobs;
    std::atomic<bool> FTerminated{false};
    std::mutex FWaitLock;
    std::condition_variable FWaitEvent;
    bool FSignalled = false;
    static std::atomic<int> FLiveCount;
};
