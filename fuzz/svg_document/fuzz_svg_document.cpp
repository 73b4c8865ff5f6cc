// Loads arbitrary bytes as an SVG document (XML, element tree, style sheets and the
// cascade) and walks what was built. Errors the loader reports are fine; crashes,
// hangs and leaks are not.

#include "errors/errors.h"
#include "svg/model/dom/document.h"
#include "svg/model/dom/paint_servers.h"
#include "svg/model/dom/structure.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

namespace {

void Walk(const TSVGElement &e)
{
    if (const auto *g = dynamic_cast<const TSVGGraphicElement *>(&e)) {
        (void)g->BoundsRect();
        (void)g->Visible();
        (void)g->FillRule();
        (void)g->ClipURIElement();
        (void)g->GetAbsoluteOpacity();
        TSVGStyle style;
        g->AssignTo(style);
    }
    if (const auto *use = dynamic_cast<const TSVGUse *>(&e))
        (void)use->IsReferenceCyclic();
    if (const auto *gradient = dynamic_cast<const TSVGCustomGradient *>(&e))
        (void)gradient->Stops();
    for (int i = 0; i < e.Count(); ++i)
        Walk(*e.Items(i));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TSVGDocument doc;
    try {
        doc.LoadFromBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const EVuploraError &) {
        return 0;
    }
    Walk(doc);
    (void)doc.GetViewMatrix(QRectF(0, 0, 100, 100));
    // A second cascade over the finished tree must hold as well.
    try {
        doc.ApplyStyles();
    } catch (const EVuploraError &) {
    }
    return 0;
}
