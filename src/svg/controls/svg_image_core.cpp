#include "svg/controls/svg_image_core.h"

#include "svg/render/canvas.h"

#include <QPainter>
#include <cmath>

float SVGClampScale(float Value)
{
    if (!(Value > 0))
        return 0.01f;
    if (Value >= 100)
        return 100;
    return Value;
}

TSVGImageCore::TSVGImageCore(ISVGImageHost &Host) : FHost(Host) {}

TSVGImageCore::~TSVGImageCore()
{
    if (FSVGDocument)
        FSVGDocument->RemoveViewer(this);
}

void TSVGImageCore::Refresh()
{
    UpdateBuffer();
    FHost.ImageRepaint();
}

void TSVGImageCore::SetSVGDocument(TRSFmxSVGDocument *Value)
{
    if (Value == FSVGDocument)
        return;
    if (FSVGDocument)
        FSVGDocument->RemoveViewer(this);
    FSVGDocument = Value;
    if (FSVGDocument)
        FSVGDocument->AddViewer(this);
    Refresh();
}

void TSVGImageCore::SetSVGDocumentDrawn(TRSFmxSVGDocument *Value, const QImage &Drawn)
{
    if (Value != FSVGDocument) {
        if (FSVGDocument)
            FSVGDocument->RemoveViewer(this);
        FSVGDocument = Value;
        if (FSVGDocument)
            FSVGDocument->AddViewer(this);
    }
    FBitmap = Drawn;
    FHost.ImageRepaint();
}

void TSVGImageCore::DocumentChanged(TRSFmxSVGDocument *)
{
    Refresh();
}

void TSVGImageCore::DocumentDestroying(TRSFmxSVGDocument *Sender)
{
    if (Sender != FSVGDocument)
        return;
    FSVGDocument = nullptr;
    Refresh();
}

void TSVGImageCore::SetSVGRootID(const QString &Value)
{
    if (Value == FSVGRootID)
        return;
    FSVGRootID = Value;
    Refresh();
}

void TSVGImageCore::SetBuffered(bool Value)
{
    if (Value == FBuffered)
        return;
    FBuffered = Value;
    Refresh();
}

void TSVGImageCore::SetWrapMode(TSVGImageWrapMode Value)
{
    if (Value == FLayout.WrapMode)
        return;
    FLayout.WrapMode = Value;
    Refresh();
}

void TSVGImageCore::SetScaleOriginal(float Value)
{
    Value = SVGClampScale(Value);
    if (Value == FScaleOriginal)
        return;
    FScaleOriginal = Value;
    Refresh();
}

void TSVGImageCore::SetSVGMargins(const QMarginsF &Value)
{
    if (Value == FLayout.Margins)
        return;
    const bool wasBuffered = IsBuffered();
    FLayout.Margins = Value;
    // Margins switch buffering on; without a buffer there would be nothing to slice.
    if (IsBuffered() != wasBuffered)
        UpdateBuffer();
    FHost.ImageRepaint();
}

void TSVGImageCore::SetMarginWrapMode(TSVGImageWrapMode Value)
{
    if (Value == FLayout.MarginWrapMode)
        return;
    FLayout.MarginWrapMode = Value;
    FHost.ImageRepaint();
}

void TSVGImageCore::SetDisableInterpolation(bool Value)
{
    if (Value == FLayout.DisableInterpolation)
        return;
    FLayout.DisableInterpolation = Value;
    FHost.ImageRepaint();
}

TSVGGraphicElement *TSVGImageCore::GetRootElement() const
{
    if (!FSVGDocument)
        return nullptr;
    TSVGDocument *doc = FSVGDocument->SVG();
    if (FSVGRootID.isEmpty())
        return doc;
    return dynamic_cast<TSVGGraphicElement *>(doc->FindElement(FSVGRootID));
}

bool TSVGImageCore::IsBuffered() const
{
    return FBuffered || FHost.ImageAbsoluteOpacity() < 1 || FLayout.WrapMode == iwTile ||
           !FLayout.Margins.isNull();
}

void TSVGImageCore::UpdateBuffer()
{
    TSVGGraphicElement *root = GetRootElement();
    const QSizeF size = FHost.ImageSize();
    const QRectF bounds = root ? root->GetBoundsRect(TMatrix::Identity()) : QRectF();
    if (!root || !IsBuffered() || size.width() == 0 || size.height() == 0 ||
        bounds.width() == 0 || bounds.height() == 0) {
        FBitmap = QImage();
        return;
    }
    const QSizeF target = ComputeTargetSize(FLayout.WrapMode, FScaleOriginal, bounds.width(),
                                            bounds.height(), size.width(), size.height());
    const QSize pixels(int(std::lround(target.width())), int(std::lround(target.height())));
    if (pixels.isEmpty()) {
        FBitmap = QImage();
        return;
    }
    if (FBitmap.size() != pixels || FBitmap.format() != QImage::Format_ARGB32_Premultiplied) {
        FBitmap = QImage();  // a failed allocation must not leave the old picture on show
        FBitmap = SVGNewBuffer(pixels);
    }
    RenderElementToBitmap(FBitmap, root);
}

void TSVGImageCore::Resized()
{
    const QSizeF size = FHost.ImageSize();
    const bool boxed = FLayout.WrapMode == iwFit || FLayout.WrapMode == iwStretch;
    if (boxed && (size.width() > FBitmap.width() || size.height() > FBitmap.height()))
        UpdateBuffer();
    else if (FBitmap.isNull() && IsBuffered())
        UpdateBuffer();  // a control that was empty may have room for its content now
}

void TSVGImageCore::OpacityChanged()
{
    if (FBitmap.isNull() && IsBuffered())
        UpdateBuffer();
}

void TSVGImageCore::Paint(QPainter &Painter, qreal DeviceScale) const
{
    const QSizeF size = FHost.ImageSize();
    if (IsBuffered()) {
        PaintSVGBuffer(Painter, FBitmap, size, DeviceScale, FLayout);
        return;
    }
    TSVGGraphicElement *root = GetRootElement();
    const qreal u = DeviceScale > 0 ? DeviceScale : 1;
    const QSize pixels(int(std::ceil(size.width() * u)), int(std::ceil(size.height() * u)));
    if (!root || pixels.isEmpty())
        return;
    // The engine draws on images only, so the unbuffered form renders into a scratch
    // image at device resolution on every paint and keeps nothing.
    QImage scratch(pixels, QImage::Format_ARGB32_Premultiplied);
    {
        TSVGCanvas canvas(scratch);
        canvas.Clear(0);
        PaintElementToCanvas(canvas, root, QRectF(0, 0, size.width() * u, size.height() * u),
                             FScaleOriginal * u, FLayout.WrapMode);
    }
    Painter.save();
    Painter.setRenderHint(QPainter::SmoothPixmapTransform, !FLayout.DisableInterpolation);
    Painter.drawImage(QRectF(0, 0, pixels.width() / u, pixels.height() / u), scratch,
                      QRectF(scratch.rect()));
    Painter.restore();
}
