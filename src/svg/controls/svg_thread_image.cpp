#include "svg/controls/svg_thread_image.h"

#include "svg/controls/svg_image_core.h"

#include <QBuffer>
#include <QPainter>
#include <typeinfo>

TRSSVGThreadImage::TRSSVGThreadImage(QGraphicsItem *aParent) : QGraphicsObject(aParent) {}

TRSSVGThreadImage::~TRSSVGThreadImage()
{
    // From here on a finished job is only freed: nothing may queue work or make a worker.
    FDestroying = true;
    FThread.reset();
}

void TRSSVGThreadImage::Repaint()
{
    update();
    Q_EMIT Repainted();
}

void TRSSVGThreadImage::EnsureThread()
{
    if (FThread || FDestroying)
        return;
    FThread = std::make_unique<TSVGServerThread>(true);
    // Queued: the worker goes on with its next job while the interface thread takes this
    // one, and a destructor waiting for the worker can never wait for itself.
    connect(FThread.get(), &TSVGServerThread::JobComplete, this, &TRSSVGThreadImage::JobComplete,
            Qt::QueuedConnection);
    FThread->start(QThread::LowPriority);
}

TRSSVGThreadImage::TState TRSSVGThreadImage::State() const
{
    if (FLoading)
        return tsLoading;
    if (!FSVG)
        return tsNoSource;
    return FPaintPending ? tsPainting : tsReady;
}

// --- source

void TRSSVGThreadImage::SetLines(const QStringList &Value)
{
    FLines = Value;
    Reload();
}

void TRSSVGThreadImage::SetFilename(const QString &Value)
{
    if (Value == FFilename)
        return;
    FFilename = Value;
    if (!FFilename.isEmpty())
        FLines.clear();
    Reload();
}

void TRSSVGThreadImage::SetOptions(TSVGOptions Value)
{
    if (Value == FSettings.Options)
        return;
    FSettings.Options = Value;
    Reload();
}

void TRSSVGThreadImage::SetDefaultAspectRatio(const TSVGAspectRatioValue &Value)
{
    if (Value == FSettings.DefaultAspectRatio)
        return;
    FSettings.DefaultAspectRatio = Value;
    Reload();
}

void TRSSVGThreadImage::SetDPI(float Value)
{
    Value = std::max(Value, 10.0f);
    if (Value == FSettings.DPI)
        return;
    FSettings.DPI = Value;
    RequestPaint();
}

void TRSSVGThreadImage::Reload()
{
    if (!FLines.isEmpty())
        FFilename.clear();
    FBitmap = QImage();
    Repaint();
    StartLoad();
}

void TRSSVGThreadImage::StartLoad()
{
    if (FDestroying)
        return;
    CancelQueuedJobs(nullptr);
    // A job still running keeps its own reference to the document.
    FSVG.reset();
    FLoading.reset();
    FPaintPending = nullptr;
    if (FFilename.isEmpty() && FLines.isEmpty())
        return;  // no source: no document, so nothing old can be drawn again
    auto doc = std::make_shared<TSVGDocument>();
    doc->DefaultAspectRatio().SetValue(FSettings.DefaultAspectRatio);
    doc->SetOptions(FSettings.Options);
    doc->SetDPI(FSettings.DPI);
    // Asked here once, so that the worker never reaches for the platform's services.
    doc->PreferredLanguages();
    std::unique_ptr<TSVGLoadJob> job;
    if (!FFilename.isEmpty()) {
        job = std::make_unique<TSVGLoadJob>(FFilename, doc);
    } else {
        QByteArray bytes;
        for (const QString &line : FLines) {
            bytes += line.toUtf8();
            bytes += '\n';
        }
        auto stream = std::make_unique<QBuffer>();
        stream->setData(bytes);
        stream->open(QIODevice::ReadOnly);
        job = std::make_unique<TSVGLoadJob>(std::move(stream), doc);
    }
    EnsureThread();
    FLoading = std::move(doc);
    FThread->Jobs().Add(std::move(job));
    FThread->Wake();
}

// --- display

void TRSSVGThreadImage::SetSize(const QSizeF &Value)
{
    const QSizeF size(std::max<qreal>(Value.width(), 0), std::max<qreal>(Value.height(), 0));
    if (size == FSize)
        return;
    prepareGeometryChange();
    FSize = size;
    const bool boxed = FLayout.WrapMode == iwFit || FLayout.WrapMode == iwStretch;
    if ((boxed && (size.width() > FBitmap.width() || size.height() > FBitmap.height())) ||
        FBitmap.isNull())
        RequestPaint();
    Repaint();
}

void TRSSVGThreadImage::SetSVGRootID(const QString &Value)
{
    if (Value == FSVGRootID)
        return;
    FSVGRootID = Value;
    RequestPaint();
}

void TRSSVGThreadImage::SetWrapMode(TSVGImageWrapMode Value)
{
    if (Value == FLayout.WrapMode)
        return;
    FLayout.WrapMode = Value;
    RequestPaint();
    Repaint();
}

void TRSSVGThreadImage::SetScaleOriginal(float Value)
{
    Value = SVGClampScale(Value);
    if (Value == FScaleOriginal)
        return;
    FScaleOriginal = Value;
    RequestPaint();
}

void TRSSVGThreadImage::SetSVGMargins(const QMarginsF &Value)
{
    if (Value == FLayout.Margins)
        return;
    FLayout.Margins = Value;
    Repaint();
}

void TRSSVGThreadImage::SetMarginWrapMode(TSVGImageWrapMode Value)
{
    if (Value == FLayout.MarginWrapMode)
        return;
    FLayout.MarginWrapMode = Value;
    Repaint();
}

void TRSSVGThreadImage::SetDisableInterpolation(bool Value)
{
    if (Value == FLayout.DisableInterpolation)
        return;
    FLayout.DisableInterpolation = Value;
    Repaint();
}

// --- jobs

void TRSSVGThreadImage::RequestPaint()
{
    if (FDestroying)
        return;
    if (!FSVG) {
        // The load on its way asks for the image when it is done.
        if (!FLoading)
            StartLoad();
        return;
    }
    auto job = std::make_unique<TSVGPaintJob>(FSVG, FSize.width(), FSize.height());
    job->SetDocumentSettings(FSettings);
    job->SetScaleFactor(FScaleOriginal);
    job->SetWrapMode(FLayout.WrapMode);
    job->SetSVGRootID(FSVGRootID);
    FPaintPending = job.get();
    CancelQueuedJobs(std::move(job));
}

void TRSSVGThreadImage::CancelQueuedJobs(std::unique_ptr<TSVGServerJob> Item)
{
    if (!FThread) {
        if (!Item)
            return;
        EnsureThread();
        if (!FThread)
            return;
    }
    std::vector<std::unique_ptr<TSVGServerJob>> removed;
    const TSVGServerJob *item = Item.get();
    FThread->Jobs().Locked([&](TSVGJobList::TItems &items) {
        while (!items.empty()) {
            const TSVGServerJob &last = *items.back();
            if (item && typeid(last) != typeid(*item))
                break;
            removed.push_back(std::move(items.back()));
            items.pop_back();
        }
        if (Item)
            items.push_back(std::move(Item));
    });
    FThread->Wake();
    // The removed jobs (and a document only they held) are freed here, outside the lock.
}

void TRSSVGThreadImage::JobComplete()
{
    if (!FThread)
        return;
    std::unique_ptr<TSVGServerJob> job = FThread->OutJobs().TakeFirst();
    if (!job || FDestroying)
        return;
    if (dynamic_cast<TSVGLoadJob *>(job.get())) {
        // A load for a source that has since been replaced or removed is not shown.
        if (!FLoading || job->SVG() != FLoading)
            return;
        FSVG = std::move(FLoading);
        FLoading.reset();
        RequestPaint();
    } else if (auto *paint = dynamic_cast<TSVGPaintJob *>(job.get())) {
        // An image of a document that is no longer current would show the old source.
        if (!FSVG || paint->SVG() != FSVG)
            return;
        if (paint == FPaintPending)
            FPaintPending = nullptr;
        FBitmap = paint->TakeBitmap();
        Repaint();
    }
}

// --- painting

QRectF TRSSVGThreadImage::boundingRect() const
{
    return QRectF(QPointF(0, 0), FSize);
}

void TRSSVGThreadImage::paint(QPainter *aPainter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QPaintDevice *device = aPainter->device();
    PaintSVGBuffer(*aPainter, FBitmap, FSize, device ? device->devicePixelRatioF() : 1.0, FLayout);
}
