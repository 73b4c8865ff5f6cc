#include "svg/render/use.h"

#include "svg/model/custom_viewbox.h"
#include "svg/model/structure.h"
#include "svg/model/style.h"
#include "svg/render/canvas.h"
#include "svg/render/draw.h"

namespace {

// Lends the target to the use for the time of one drawing, so that it inherits from the
// use; it goes back to its own parent however the drawing ends.
class TBorrowedParent {
public:
    TBorrowedParent(TSVGGraphicElement &target, TSVGElement &use)
        : FTarget(target), FOwnParent(target.Parent())
    {
        FTarget.SetParent(&use);
    }
    ~TBorrowedParent() { FTarget.SetParent(FOwnParent); }
    TBorrowedParent(const TBorrowedParent &) = delete;
    TBorrowedParent &operator=(const TBorrowedParent &) = delete;

private:
    TSVGGraphicElement &FTarget;
    TSVGElement *FOwnParent;
};

void DrawSymbol(TSVGPainter &painter, TSVGUse &use, TSVGCustomViewBox &symbol, const TMatrix &M)
{
    if (symbol.ViewBoxDisablesRendering() || !symbol.Visible())
        return;
    // A missing width or height of the use is 100%.
    QString text;
    const float w = use.XMLAttribute(u"width", text) ? use.Width() : use.ResolvePercent(1, true, TSVGAxis::Horizontal);
    const float h = use.XMLAttribute(u"height", text) ? use.Height() : use.ResolvePercent(1, true, TSVGAxis::Vertical);
    if (!(w > 0) || !(h > 0))
        return;
    const QRectF viewport(0, 0, w, h);
    TSVGCanvas &canvas = painter.Canvas();
    const int state = canvas.SaveState();
    try {
        if (!symbol.Overflow()) {
            canvas.SetMatrix(M);
            QPainterPath clip;
            clip.addRect(viewport);
            canvas.ClipPath(clip);
        }
        painter.DoDraw(symbol, SVGViewBoxMatrix(symbol, viewport) * M);
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
    if (use.Style().Value(u"display").trimmed() == QLatin1String("none"))
        return;
    auto *target = dynamic_cast<TSVGGraphicElement *>(use.ReferencedElement());
    if (!target || target == &use || use.IsReferenceCyclic())
        return;
    const TMatrix placed = TMatrix::CreateTranslation(use.X(), use.Y()) * M;
    TBorrowedParent borrowed(*target, use);
    if (target->SVGType() == etSymbol)
        DrawSymbol(painter, use, static_cast<TSVGCustomViewBox &>(*target), placed);
    else
        painter.Draw(*target, placed);
}
