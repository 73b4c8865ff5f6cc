#pragma once
// The image control that parses and renders its own SVG source on a worker thread; the
// interface thread only takes finished documents and images and paints them the way
// TRSSVGImage paints its buffer. A graphics item (size in scene units, 100 x 100 at
// creation). The control owns its source, its worker (made on first need), the current
// document (shared with the jobs that still use it) and the current image. A source
// change drops the picture at once; a size or display change keeps it until the new one
// arrives. Parse and render errors stay on the worker: a broken source shows nothing.
// Only a file that cannot be opened raises, from the setter that named it ("Cannot open
// file "<name>". <reason>").

#include "svg/render/image_buffer.h"
#include "svg/controls/svg_server_thread.h"

#include <QGraphicsObject>
#include <QStringList>
#include <memory>

class TRSSVGThreadImage : public QGraphicsObject {
    Q_OBJECT
public:
    enum TState {
        tsNoSource,  // neither a file name nor lines
        tsLoading,   // a load is queued or running
        tsPainting,  // a document is there, its newest image is on its way
        tsReady,     // the image of the current document and settings is shown
    };

    explicit TRSSVGThreadImage(QGraphicsItem *aParent = nullptr);
    ~TRSSVGThreadImage() override;

    qreal Width() const { return FSize.width(); }
    qreal Height() const { return FSize.height(); }
    // Negative extents count as 0. Growth beyond the image asks for a new one in iwFit and
    // iwStretch; smaller sizes paint the larger image scaled down.
    void SetSize(const QSizeF &Value);

    // --- source and parsing settings (each change loads again)
    const QStringList &Lines() const { return FLines; }
    void SetLines(const QStringList &Value);
    const QString &Filename() const { return FFilename; }
    void SetFilename(const QString &Value);
    TSVGOptions Options() const { return FSettings.Options; }
    void SetOptions(TSVGOptions Value);
    const TSVGAspectRatioValue &DefaultAspectRatio() const { return FSettings.DefaultAspectRatio; }
    void SetDefaultAspectRatio(const TSVGAspectRatioValue &Value);
    // At least 10; reaches the current document with the next image and every later load.
    float DPI() const { return FSettings.DPI; }
    void SetDPI(float Value);

    // --- display (as TRSSVGImage)
    const QString &SVGRootID() const { return FSVGRootID; }
    void SetSVGRootID(const QString &Value);
    TSVGImageWrapMode WrapMode() const { return FLayout.WrapMode; }
    void SetWrapMode(TSVGImageWrapMode Value);
    float ScaleOriginal() const { return FScaleOriginal; }
    void SetScaleOriginal(float Value);
    const QMarginsF &SVGMargins() const { return FLayout.Margins; }
    void SetSVGMargins(const QMarginsF &Value);
    TSVGImageWrapMode MarginWrapMode() const { return FLayout.MarginWrapMode; }
    void SetMarginWrapMode(TSVGImageWrapMode Value);
    bool DisableInterpolation() const { return FLayout.DisableInterpolation; }
    void SetDisableInterpolation(bool Value);

    TState State() const;
    // The image shown; null while there is none.
    const QImage &Bitmap() const { return FBitmap; }

    QRectF boundingRect() const override;
    void paint(QPainter *aPainter, const QStyleOptionGraphicsItem *aOption,
               QWidget *aWidget) override;

Q_SIGNALS:
    // Each time the control asks to be painted again.
    void Repainted();

protected:
    // The source changed: drop the image and load again.
    void Reload();
    // Cancels every queued job and drops the document; queues a load of the source when
    // there is one.
    void StartLoad();
    // Queues an image of the current document for the current size and settings (a load
    // first when there is no document and none is on its way).
    void RequestPaint();
    // Takes one finished job from the worker; runs on the interface thread.
    void JobComplete();
    // Removes queued jobs from the end of the queue, all of them without Item, else as
    // long as they are of Item's class; then appends Item.
    void CancelQueuedJobs(std::unique_ptr<TSVGServerJob> Item);
    // The worker, or null before the first load.
    TSVGServerThread *Thread() const { return FThread.get(); }

private:
    void EnsureThread();
    void Repaint();

    QSizeF FSize{100, 100};
    QStringList FLines;
    QString FFilename;
    TSVGDocumentSettings FSettings;
    QString FSVGRootID;
    float FScaleOriginal = 1;
    TSVGBufferLayout FLayout;

    std::unique_ptr<TSVGServerThread> FThread;
    std::shared_ptr<TSVGDocument> FSVG;      // the current document
    std::shared_ptr<TSVGDocument> FLoading;  // the document of the newest load
    const TSVGPaintJob *FPaintPending = nullptr;  // the newest paint job; compared, never used
    QImage FBitmap;
    bool FDestroying = false;
};
