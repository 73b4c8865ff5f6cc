#include "svg/controls/svg_server_thread.h"

#include "svg/controls/svg_image_core.h"
#include "errors/errors.h"

#include <QFile>
#include <chrono>
#include <cmath>

namespace {

// The stream was opened on the interface thread and is read and freed on the worker; an
// object without a thread has no events that could reach it from either side.
std::unique_ptr<QIODevice> Unthreaded(std::unique_ptr<QIODevice> Stream)
{
    if (Stream)
        Stream->moveToThread(nullptr);
    return Stream;
}

std::unique_ptr<QIODevice> OpenFile(const QString &FileName)
{
    auto file = std::make_unique<QFile>(FileName);
    if (!file->open(QIODevice::ReadOnly))
        throw EVuploraError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(FileName, file->errorString()));
    return file;
}

} // namespace

// --- jobs

TSVGServerJob::TSVGServerJob(std::shared_ptr<TSVGDocument> SVG) : FSVG(std::move(SVG)) {}

TSVGServerJob::~TSVGServerJob() = default;

bool TSVGServerJob::Execute()
{
    return true;
}

TSVGLoadJob::TSVGLoadJob(std::unique_ptr<QIODevice> aStream, std::shared_ptr<TSVGDocument> SVG)
    : TSVGServerJob(std::move(SVG)), FStream(Unthreaded(std::move(aStream)))
{
}

TSVGLoadJob::TSVGLoadJob(const QString &aFilename, std::shared_ptr<TSVGDocument> SVG)
    : TSVGLoadJob(OpenFile(aFilename), std::move(SVG))
{
}

TSVGLoadJob::~TSVGLoadJob() = default;

bool TSVGLoadJob::Execute()
{
    if (!FStream)
        return true;
    try {
        if (!SVG())
            SetSVG(std::make_shared<TSVGDocument>());
        SVG()->LoadFromStream(*FStream);
        return true;
    } catch (...) {
        // A failed load hands over what it has; its reason has nobody to go to.
        return false;
    }
}

TSVGPaintJob::TSVGPaintJob(std::shared_ptr<TSVGDocument> SVG, qreal aWidth, qreal aHeight)
    : TSVGServerJob(std::move(SVG))
{
    SetDefaultWidth(aWidth);
    SetDefaultHeight(aHeight);
}

void TSVGPaintJob::SetScaleFactor(float Value)
{
    FScaleFactor = SVGClampScale(Value);
}

void TSVGPaintJob::SetDocumentSettings(const TSVGDocumentSettings &Value)
{
    FSettings = Value;
    FHasSettings = true;
}

bool TSVGPaintJob::Execute()
{
    if (!(FDefaultWidth * FDefaultHeight > 0) || !SVG())
        return true;
    try {
        TSVGDocument &doc = *SVG();
        if (FHasSettings) {
            doc.DefaultAspectRatio().SetValue(FSettings.DefaultAspectRatio);
            doc.SetOptions(FSettings.Options);
            doc.SetDPI(FSettings.DPI);
        }
        TSVGGraphicElement *root = &doc;
        if (!FSVGRootID.isEmpty())
            root = dynamic_cast<TSVGGraphicElement *>(doc.FindElement(FSVGRootID));
        if (!root)
            return false;
        const QRectF bounds = root->GetBoundsRect(TMatrix::Identity());
        const QSizeF size = ComputeTargetSize(FWrapMode, FScaleFactor, bounds.width(),
                                              bounds.height(), FDefaultWidth, FDefaultHeight);
        const QSize pixels(int(std::lround(size.width())), int(std::lround(size.height())));
        if (pixels.isEmpty())
            return true;
        FBitmap = SVGNewBuffer(pixels);
        RenderElementToBitmap(FBitmap, root);
        return true;
    } catch (...) {
        // What was drawn before the error is handed over.
        return false;
    }
}

// --- the list

void TSVGJobList::Add(std::unique_ptr<TSVGServerJob> Job)
{
    const std::lock_guard<std::mutex> guard(FLock);
    FItems.push_back(std::move(Job));
}

std::unique_ptr<TSVGServerJob> TSVGJobList::TakeFirst()
{
    const std::lock_guard<std::mutex> guard(FLock);
    if (FItems.empty())
        return nullptr;
    std::unique_ptr<TSVGServerJob> job = std::move(FItems.front());
    FItems.pop_front();
    return job;
}

int TSVGJobList::Count() const
{
    const std::lock_guard<std::mutex> guard(FLock);
    return int(FItems.size());
}

void TSVGJobList::Clear()
{
    TItems items;
    {
        const std::lock_guard<std::mutex> guard(FLock);
        items.swap(FItems);
    }
    // Freed outside the lock: a job's document may be large.
}

// --- the thread

std::atomic<int> TSVGServerThread::FLiveCount{0};

TSVGServerThread::TSVGServerThread(bool Suspended, QObject *aParent) : QThread(aParent)
{
    ++FLiveCount;
    if (!Suspended)
        start(QThread::LowPriority);
}

TSVGServerThread::~TSVGServerThread()
{
    Terminate();
    wait();
    {
        // Qt's join happens inside Qt; taking the lock the worker released last makes the
        // worker's final writes visible here in a way thread checkers can follow too.
        const std::lock_guard<std::mutex> guard(FWaitLock);
    }
    FJobs.Clear();
    FOutJobs.Clear();
    --FLiveCount;
}

void TSVGServerThread::Terminate()
{
    FTerminated = true;
    Wake();
}

void TSVGServerThread::Wake()
{
    {
        const std::lock_guard<std::mutex> guard(FWaitLock);
        FSignalled = true;
    }
    FWaitEvent.notify_one();
}

void TSVGServerThread::Sleep()
{
    std::unique_lock<std::mutex> lock(FWaitLock);
    // A wake that came while the worker was busy is not lost; the time-out covers a job
    // queued by someone who did not wake the worker.
    FWaitEvent.wait_for(lock, std::chrono::milliseconds(100), [this] { return FSignalled; });
    FSignalled = false;
}

std::unique_ptr<TSVGServerJob> TSVGServerThread::TakeNext()
{
    std::vector<std::unique_ptr<TSVGServerJob>> dropped;
    std::unique_ptr<TSVGServerJob> job = FJobs.Locked([&](TSVGJobList::TItems &items) {
        std::unique_ptr<TSVGServerJob> first;
        if (items.empty())
            return first;
        first = std::move(items.front());
        items.pop_front();
        if (!first->SVG())
            return first;
        bool replaced = false;
        for (auto it = items.end(); it != items.begin();) {
            --it;
            if ((*it)->SVG() != first->SVG())
                continue;
            if (!replaced) {
                dropped.push_back(std::exchange(first, std::move(*it)));
                replaced = true;
            } else {
                dropped.push_back(std::move(*it));
            }
            it = items.erase(it);
        }
        return first;
    });
    return job;
}

void TSVGServerThread::run()
{
    while (!Terminated()) {
        std::unique_ptr<TSVGServerJob> job = TakeNext();
        if (!job) {
            Sleep();
            continue;
        }
        if (Terminated())
            break;  // taken after the stop was asked for: freed, not run
        job->Execute();
        if (Terminated())
            break;  // nobody is left to take it
        FOutJobs.Add(std::move(job));
        Q_EMIT JobComplete();
    }
    const std::lock_guard<std::mutex> guard(FWaitLock);
    FSignalled = false;
}
