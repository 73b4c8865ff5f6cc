#include "svg/render/use.h"

#include "svg/model/dom/custom_viewbox.h"
#include "svg/model/dom/structure.h"
#include "svg/model/css/style.h"
#include "svg/render/canvas.h"
#include "svg/render/draw.h"

namespace {

// One side of the viewport a used symbol or svg gets: the use's own when it has one,
// else the target's, else 100%.
float Side(const TSVGUse &use, const TSVGGraphicElement &target, QStringView name, TSVGAxis axis)
{
    QString text;
    const bool horizontal = axis == TSVGAxis::Horizontal;
    if (use.XMLAttribute(name, text))
        return horizontal ? use.Width() : use.Height();
    if (target.SVGType() == etDoc && target.XMLAttribute(name, text))
        return horizontal ? target.Width() : target.Height();
    return use.ResolvePercent(1, true, axis);
}

void DrawViewport(TSVGPainter &painter, TSVGUse &use, TSVGCustomViewBox &target, const TMatrix &M)
{
    if (target.ViewBoxDisablesRendering() || !target.Visible())
        return;
    const float w = Side(use, target, u"width", TSVGAxis::Horizontal);
    const float h = Side(use, target, u"height", TSVGAxis::Vertical);
    if (!(w > 0) || !(h > 0))
        return;
    const bool isSymbol = target.SVGType() == etSymbol;
    const QRectF viewport(isSymbol ? 0 : target.X(), isSymbol ? 0 : target.Y(), w, h);
    TMatrix content = SVGViewBoxMatrix(target, viewport) * M;
    // A symbol takes no transform of its own; the drawing below would put it first.
    if (isSymbol && !(target.Matrix() == TMatrix::Identity()))
        content = target.Matrix().Inverse() * content;
    TSVGCanvas &canvas = painter.Canvas();
    const int state = canvas.SaveState();
    try {
        if (SVGClipsToViewport(target)) {
            canvas.SetMatrix(M);
            QPainterPath clip;
            clip.addRect(viewport);
            canvas.ClipPath(clip);
        }
        painter.DoDraw(target, content);
    } catch (...) {
        canvas.RestoreState(state);
        throw;
    }
    canvas.RestoreState(state);
}

} // namespace

void SVGDrawUse(TSVGPainter &painter, TSVGUse &use, const TMatrix &M)
{
    // The use's visibility passes on to what it shows, which may override it; its own
    // display does not, so it is asked here.
    if (use.DisplayText() == QLatin1String("none"))
        return;
    auto *target = dynamic_cast<TSVGGraphicElement *>(use.ReferencedElement());
    if (!target || target == &use || use.IsReferenceCyclic())
        return;
    const TSVGPainter::TReferenceScope referenced(painter);
    const TSVGPainter::TContextScope context(painter, use);
    const TMatrix placed = TMatrix::CreateTranslation(use.X(), use.Y()) * M;
    const TSVGUseScope scope(*target, use);
    if (target->SVGType() == etSymbol || (target->SVGType() == etDoc && target->Owner()))
        DrawViewport(painter, use, static_cast<TSVGCustomViewBox &>(*target), placed);
    else
        painter.Draw(*target, placed);
}
