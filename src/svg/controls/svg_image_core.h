#pragma once
// The behaviour both forms of the image control share (the graphics item on a scene and
// the widget): the link to a document component, the display properties, the buffer and
// its rendering, the resize rule and the painting. The form that hosts the core supplies
// its size, its opacity and a way to schedule a repaint. The core owns its buffer, never
// the component; it registers itself as a viewer of the component and leaves it when
// either side goes. Sizes are in the host's units, one buffer pixel per unit. Drawing
// errors of the engine reach whoever triggered the rendering: the setter, the load or the
// resize.

#include "svg/controls/svg_document_component.h"
#include "svg/render/image_buffer.h"

class QPainter;

class ISVGImageHost {
public:
    virtual QSizeF ImageSize() const = 0;
    // The opacity the host is shown with, its ancestors' included.
    virtual qreal ImageAbsoluteOpacity() const = 0;
    virtual void ImageRepaint() = 0;

protected:
    ~ISVGImageHost() = default;
};

class TSVGImageCore final : public ISVGViewer {
public:
    explicit TSVGImageCore(ISVGImageHost &Host);
    ~TSVGImageCore();
    TSVGImageCore(const TSVGImageCore &) = delete;
    TSVGImageCore &operator=(const TSVGImageCore &) = delete;

    TRSFmxSVGDocument *SVGDocument() const { return FSVGDocument; }
    void SetSVGDocument(TRSFmxSVGDocument *Value);
    // Links the component like SetSVGDocument, but takes Drawn, a buffer this core made
    // earlier from the component's present content, instead of drawing it again.
    void SetSVGDocumentDrawn(TRSFmxSVGDocument *Value, const QImage &Drawn);
    // The id of the element to show; empty shows the whole document.
    const QString &SVGRootID() const { return FSVGRootID; }
    void SetSVGRootID(const QString &Value);
    bool Buffered() const { return FBuffered; }
    void SetBuffered(bool Value);
    TSVGImageWrapMode WrapMode() const { return FLayout.WrapMode; }
    void SetWrapMode(TSVGImageWrapMode Value);
    // Used by iwOriginal, iwTile and iwCenter; kept within 0.01 .. 100.
    float ScaleOriginal() const { return FScaleOriginal; }
    void SetScaleOriginal(float Value);
    const QMarginsF &SVGMargins() const { return FLayout.Margins; }
    void SetSVGMargins(const QMarginsF &Value);
    TSVGImageWrapMode MarginWrapMode() const { return FLayout.MarginWrapMode; }
    void SetMarginWrapMode(TSVGImageWrapMode Value);
    bool DisableInterpolation() const { return FLayout.DisableInterpolation; }
    void SetDisableInterpolation(bool Value);

    // The element shown: none without a component, the document for an empty root id,
    // else the graphic element with that id (none for a missing or non-graphic one).
    TSVGGraphicElement *GetRootElement() const;
    // A buffer is used when asked for, and always for a translucent control, for tiling
    // and for nine-slice margins.
    bool IsBuffered() const;
    // Renders the buffer for the current size and settings. When nothing can be rendered
    // (no root, content without area, an empty control, no buffering) the buffer is
    // dropped, so no earlier picture outlives the content it showed.
    void UpdateBuffer();
    const QImage &Bitmap() const { return FBitmap; }

    // The host's size changed. Fitted and stretched buffers are re-rendered only when the
    // control grew beyond them; smaller sizes paint the larger buffer scaled down.
    void Resized();
    // The host's opacity changed (it decides IsBuffered).
    void OpacityChanged();
    // Paints into (0, 0, ImageSize) of Painter; DeviceScale is its device pixels per unit.
    void Paint(QPainter &Painter, qreal DeviceScale) const;

    void DocumentChanged(TRSFmxSVGDocument *Sender) override;
    void DocumentDestroying(TRSFmxSVGDocument *Sender) override;

private:
    void Refresh();

    ISVGImageHost &FHost;
    TRSFmxSVGDocument *FSVGDocument = nullptr;
    QString FSVGRootID;
    bool FBuffered = true;
    float FScaleOriginal = 1;
    TSVGBufferLayout FLayout;
    QImage FBitmap;
};

// ScaleOriginal's range: at most 0 gives 0.01, from 100 on gives 100.
float SVGClampScale(float Value);
