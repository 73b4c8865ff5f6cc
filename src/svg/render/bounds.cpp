#include "svg/render/bounds.h"

#include "svg/model/dom/image.h"
#include "svg/model/dom/structure.h"
#include "svg/model/dom/text.h"
#include "svg/render/draw.h"
#include "svg/render/shapes.h"
#include "svg/render/text.h"

#include <algorithm>

namespace {

// Deep trees of uses could otherwise walk the same subtree without end.
constexpr int kMaxBoundsDepth = 256;

// A null rectangle stands for "no geometry"; a degenerate one at the origin is told
// apart by the flag.
struct TBounds {
    QRectF Rect;
    bool Valid = false;
};

TBounds Merge(const TBounds &a, const TBounds &b)
{
    if (!a.Valid)
        return b;
    if (!b.Valid)
        return a;
    const double left = std::min(a.Rect.left(), b.Rect.left());
    const double top = std::min(a.Rect.top(), b.Rect.top());
    const double right = std::max(a.Rect.right(), b.Rect.right());
    const double bottom = std::max(a.Rect.bottom(), b.Rect.bottom());
    return {QRectF(QPointF(left, top), QPointF(right, bottom)), true};
}

TBounds Mapped(const TBounds &b, const TMatrix &m)
{
    if (!b.Valid)
        return b;
    return {m.ToQTransform().mapRect(b.Rect), true};
}

TBounds Bounds(const TSVGGraphicElement &element, int depth);

TBounds ChildrenBounds(const TSVGGraphicElement &element, int depth)
{
    TBounds result;
    for (int i = 0; i < element.Count(); ++i) {
        const auto *child = dynamic_cast<const TSVGGraphicElement *>(element.Items(i));
        if (!child || !TSVGPainter::CanDraw(*child))
            continue;
        result = Merge(result, Mapped(Bounds(*child, depth + 1), child->Matrix()));
    }
    return result;
}

TBounds Bounds(const TSVGGraphicElement &element, int depth)
{
    if (depth > kMaxBoundsDepth)
        return {};
    QPainterPath outline;
    if (SVGShapeOutline(element, outline)) {
        if (outline.isEmpty())
            return {};
        return {outline.boundingRect(), true};
    }
    switch (element.SVGType()) {
    case etText: {
        const QRectF text = SVGTextBounds(static_cast<const TSVGText &>(element));
        if (text.isNull())
            return {};
        return {text, true};
    }
    case etImage:
        return {QRectF(element.X(), element.Y(), element.Width(), element.Height()), true};
    case etUse: {
        const auto &use = static_cast<const TSVGUse &>(element);
        const auto *target = dynamic_cast<const TSVGGraphicElement *>(use.ReferencedElement());
        if (!target || use.IsReferenceCyclic())
            return {};
        const TMatrix placed = target->Matrix() * TMatrix::CreateTranslation(use.X(), use.Y());
        if (target->SVGType() == etSymbol)
            return Mapped(ChildrenBounds(*target, depth + 1), TMatrix::CreateTranslation(use.X(), use.Y()));
        return Mapped(Bounds(*target, depth + 1), placed);
    }
    default:
        return ChildrenBounds(element, depth);
    }
}

} // namespace

QRectF SVGObjectBounds(const TSVGGraphicElement &element)
{
    const TBounds b = Bounds(element, 0);
    return b.Valid ? b.Rect : QRectF();
}
