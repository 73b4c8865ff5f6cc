#pragma once
// The image control that shows a document component's drawing, in two forms with one
// behaviour: TRSSVGImage, a graphics item for a scene (size in scene units, 100 x 100 at
// creation, meant to be derived from), and TRSSVGImageWidget for ordinary windows (size in
// logical pixels). Both forward to TSVGImageCore. A control never owns its component;
// destroying either side detaches them. The buffer is a premultiplied ARGB image with one
// pixel per unit. Engine drawing errors reach the caller of the setter, load or resize
// that caused the rendering.

#include "svg/controls/svg_document_component.h"
#include "svg/controls/svg_image_core.h"
#include "svg/render/image_buffer.h"

#include <QGraphicsObject>
#include <QWidget>

class TRSSVGImage : public QGraphicsObject, private ISVGImageHost {
    Q_OBJECT
public:
    explicit TRSSVGImage(QGraphicsItem *aParent = nullptr);
    ~TRSSVGImage() override;

    qreal Width() const { return FSize.width(); }
    qreal Height() const { return FSize.height(); }
    // Negative extents count as 0. Runs the resize rule.
    void SetSize(const QSizeF &Value);

    TRSFmxSVGDocument *SVGDocument() const { return FCore.SVGDocument(); }
    void SetSVGDocument(TRSFmxSVGDocument *Value) { FCore.SetSVGDocument(Value); }
    const QString &SVGRootID() const { return FCore.SVGRootID(); }
    void SetSVGRootID(const QString &Value) { FCore.SetSVGRootID(Value); }
    bool Buffered() const { return FCore.Buffered(); }
    void SetBuffered(bool Value) { FCore.SetBuffered(Value); }
    TSVGImageWrapMode WrapMode() const { return FCore.WrapMode(); }
    void SetWrapMode(TSVGImageWrapMode Value) { FCore.SetWrapMode(Value); }
    float ScaleOriginal() const { return FCore.ScaleOriginal(); }
    void SetScaleOriginal(float Value) { FCore.SetScaleOriginal(Value); }
    const QMarginsF &SVGMargins() const { return FCore.SVGMargins(); }
    void SetSVGMargins(const QMarginsF &Value) { FCore.SetSVGMargins(Value); }
    TSVGImageWrapMode MarginWrapMode() const { return FCore.MarginWrapMode(); }
    void SetMarginWrapMode(TSVGImageWrapMode Value) { FCore.SetMarginWrapMode(Value); }
    bool DisableInterpolation() const { return FCore.DisableInterpolation(); }
    void SetDisableInterpolation(bool Value) { FCore.SetDisableInterpolation(Value); }

    bool IsBuffered() const { return FCore.IsBuffered(); }
    const QImage &Bitmap() const { return FCore.Bitmap(); }

    QRectF boundingRect() const override;
    void paint(QPainter *aPainter, const QStyleOptionGraphicsItem *aOption,
               QWidget *aWidget) override;

Q_SIGNALS:
    // Each time the control asks to be painted again.
    void Repainted();

protected:
    TSVGGraphicElement *GetRootElement() const { return FCore.GetRootElement(); }
    void UpdateBuffer() { FCore.UpdateBuffer(); }
    void SetSVGDocumentDrawn(TRSFmxSVGDocument *Value, const QImage &Drawn) { FCore.SetSVGDocumentDrawn(Value, Drawn); }
    QVariant itemChange(GraphicsItemChange aChange, const QVariant &aValue) override;

private:
    QSizeF ImageSize() const override { return FSize; }
    qreal ImageAbsoluteOpacity() const override { return effectiveOpacity(); }
    void ImageRepaint() override;

    QSizeF FSize{100, 100};
    TSVGImageCore FCore{*this};
};

class TRSSVGImageWidget : public QWidget, private ISVGImageHost {
    Q_OBJECT
public:
    explicit TRSSVGImageWidget(QWidget *aParent = nullptr);
    ~TRSSVGImageWidget() override;

    qreal Width() const { return width(); }
    qreal Height() const { return height(); }

    TRSFmxSVGDocument *SVGDocument() const { return FCore.SVGDocument(); }
    void SetSVGDocument(TRSFmxSVGDocument *Value) { FCore.SetSVGDocument(Value); }
    const QString &SVGRootID() const { return FCore.SVGRootID(); }
    void SetSVGRootID(const QString &Value) { FCore.SetSVGRootID(Value); }
    bool Buffered() const { return FCore.Buffered(); }
    void SetBuffered(bool Value) { FCore.SetBuffered(Value); }
    TSVGImageWrapMode WrapMode() const { return FCore.WrapMode(); }
    void SetWrapMode(TSVGImageWrapMode Value) { FCore.SetWrapMode(Value); }
    float ScaleOriginal() const { return FCore.ScaleOriginal(); }
    void SetScaleOriginal(float Value) { FCore.SetScaleOriginal(Value); }
    const QMarginsF &SVGMargins() const { return FCore.SVGMargins(); }
    void SetSVGMargins(const QMarginsF &Value) { FCore.SetSVGMargins(Value); }
    TSVGImageWrapMode MarginWrapMode() const { return FCore.MarginWrapMode(); }
    void SetMarginWrapMode(TSVGImageWrapMode Value) { FCore.SetMarginWrapMode(Value); }
    bool DisableInterpolation() const { return FCore.DisableInterpolation(); }
    void SetDisableInterpolation(bool Value) { FCore.SetDisableInterpolation(Value); }

    bool IsBuffered() const { return FCore.IsBuffered(); }
    const QImage &Bitmap() const { return FCore.Bitmap(); }

Q_SIGNALS:
    void Repainted();

protected:
    TSVGGraphicElement *GetRootElement() const { return FCore.GetRootElement(); }
    void UpdateBuffer() { FCore.UpdateBuffer(); }
    void resizeEvent(QResizeEvent *aEvent) override;
    void paintEvent(QPaintEvent *aEvent) override;

private:
    QSizeF ImageSize() const override { return QSizeF(size()); }
    qreal ImageAbsoluteOpacity() const override { return 1; }
    void ImageRepaint() override;

    TSVGImageCore FCore{*this};
};
