#pragma once
// Graphics items that stand for single SVG elements, as the panel generates them: a layout
// for groups and references, and shapes that fill and stroke an outline. Coordinates are
// the element's own user space; SVGMatrix (the element's transform, identity by default)
// is the item's transform, so nested items compose like the element tree. An item owns
// its child items (Qt's parent rule) and nothing of the document. Nothing here raises.

#include "svg/render/image_buffer.h"
#include "svg/model/path/path_data.h"

#include <QBrush>
#include <QFont>
#include <QGraphicsObject>
#include <QImage>
#include <QPainterPath>
#include <QPen>

// The base of every item the panel makes and finds again by SVGID.
class TRSSVGControl : public QGraphicsObject {
    Q_OBJECT
public:
    explicit TRSSVGControl(QGraphicsItem *aParent = nullptr);

    const QString &SVGID() const { return FSVGID; }
    void SetSVGID(const QString &Value) { FSVGID = Value; }
    const TMatrix &SVGMatrix() const { return FSVGMatrix; }
    void SetSVGMatrix(const TMatrix &Value);

    qreal Width() const { return FSize.width(); }
    qreal Height() const { return FSize.height(); }
    // Negative extents count as 0.
    void SetSize(const QSizeF &Value);

    // On: painting is cut to (0, 0, Width, Height).
    bool ClipChildren() const { return FClipChildren; }
    void SetClipChildren(bool Value);

    QRectF boundingRect() const override;
    void paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) override {}

private:
    QString FSVGID;
    TMatrix FSVGMatrix;
    QSizeF FSize{0, 0};
    bool FClipChildren = false;
};

// Groups, viewports and references: children only, nothing painted of its own.
class TRSSVGLayout : public TRSSVGControl {
    Q_OBJECT
public:
    using TRSSVGControl::TRSSVGControl;
};

// A filled and stroked outline; opaque black fill and no stroke at creation.
class TRSSVGShape : public TRSSVGControl {
    Q_OBJECT
public:
    explicit TRSSVGShape(QGraphicsItem *aParent = nullptr);

    const QBrush &Fill() const { return FFill; }
    void SetFill(const QBrush &Value);
    // Qt::NoPen for no stroke.
    const QPen &Stroke() const { return FStroke; }
    void SetStroke(const QPen &Value);
    // The outline in the item's coordinates.
    const QPainterPath &Outline() const { return FOutline; }
    void SetOutline(const QPainterPath &Value);

    QRectF boundingRect() const override;
    void paint(QPainter *aPainter, const QStyleOptionGraphicsItem *aOption,
               QWidget *aWidget) override;

protected:
    // Fills (the last subpath closed when open) and strokes Path.
    void PaintPath(QPainter &Painter, const QPainterPath &Path) const;
    qreal StrokeMargin() const;

private:
    QBrush FFill{Qt::black};
    QPen FStroke{Qt::NoPen};
    QPainterPath FOutline;
};

class TRSSVGCircle : public TRSSVGShape {
    Q_OBJECT
public:
    using TRSSVGShape::TRSSVGShape;
};

class TRSSVGEllipse : public TRSSVGShape {
    Q_OBJECT
public:
    using TRSSVGShape::TRSSVGShape;
};

class TRSSVGLine : public TRSSVGShape {
    Q_OBJECT
public:
    using TRSSVGShape::TRSSVGShape;
};

class TRSSVGRectangle : public TRSSVGShape {
    Q_OBJECT
public:
    using TRSSVGShape::TRSSVGShape;
};

enum TPathWrapMode { pwOriginal, pwFit, pwStretch, pwTile };

// Path data placed in the item's shape rectangle (its box less half the stroke width on
// every side) by WrapMode: stretched over it (the default), fitted into it without
// enlarging and centred, copied unchanged, or moved to its corner and repeated.
class TRSSVGPath : public TRSSVGShape {
    Q_OBJECT
public:
    explicit TRSSVGPath(QGraphicsItem *aParent = nullptr);

    TRSPathData &Data() { return FData; }
    const TRSPathData &Data() const { return FData; }
    // Replaces the path data (and the outline with it).
    void SetData(const TRSPathData &Value);
    TPathWrapMode WrapMode() const { return FWrapMode; }
    void SetWrapMode(TPathWrapMode Value);

    QRectF boundingRect() const override;
    void paint(QPainter *aPainter, const QStyleOptionGraphicsItem *aOption,
               QWidget *aWidget) override;

private:
    QRectF ShapeRect() const;

    TRSPathData FData;
    TPathWrapMode FWrapMode = pwStretch;
};

// An element the engine draws as a whole (text, images): its drawing as the engine makes
// it, a picture placed over Place in the item's coordinates. Going through the engine keeps
// font resolution, layout, preserveAspectRatio and the picture loading rules identical.
class TRSSVGPicture : public TRSSVGControl {
    Q_OBJECT
public:
    using TRSSVGControl::TRSSVGControl;

    const QImage &Bitmap() const { return FBitmap; }
    const QRectF &Place() const { return FPlace; }
    void SetBitmap(const QImage &Value, const QRectF &aPlace);

    QRectF boundingRect() const override;
    void paint(QPainter *aPainter, const QStyleOptionGraphicsItem *aOption,
               QWidget *aWidget) override;

private:
    QImage FBitmap;
    QRectF FPlace;
};

// A text element: its characters, resolved font and fill colour, drawn as the engine lays it out.
class TRSSVGText : public TRSSVGPicture {
    Q_OBJECT
public:
    using TRSSVGPicture::TRSSVGPicture;

    const QString &Text() const { return FText; }
    void SetText(const QString &Value) { FText = Value; }
    const QFont &Font() const { return FFont; }
    void SetFont(const QFont &Value) { FFont = Value; }
    const QColor &FontColor() const { return FFontColor; }
    void SetFontColor(const QColor &Value) { FFontColor = Value; }

private:
    QString FText;
    QFont FFont;
    QColor FFontColor{Qt::black};
};

// An image element: the picture fitted into its viewport as the engine draws it.
class TRSSVG_Image : public TRSSVGPicture {
    Q_OBJECT
public:
    using TRSSVGPicture::TRSSVGPicture;
};
