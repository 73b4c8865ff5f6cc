#include "svg/render/text.h"

#include "svg/model/dom/document.h"
#include "svg/model/values/exception.h"
#include "svg/model/values/font.h"
#include "svg/render/draw.h"
#include "svg/render/paint.h"
#include "svg/render/font_instance.h"

#include <algorithm>
#include <cmath>

namespace {

const TSVGGraphicElement &Source(const TSVGGraphicElement &element, TSVGStyleProperty property)
{
    return element.InheritanceSource(property);
}

// Round half to even, as the bubble layout's ascent and descent are rounded.
float RoundEven(float v)
{
    return float(std::nearbyint(double(v)));
}

// The CSS weight of an element's text: relative weights (bolder, lighter) step from the
// weight the parent has. The model keeps only bold or not; the numbers come from the
// declarations the elements carry themselves, and where the weight comes from a style
// rule instead, from that bold.
int Weight(const TSVGGraphicElement &element, int depth = 0)
{
    const TSVGGraphicElement &source = Source(element, ipFontWeight);
    const QString own = source.Style().Value(u"font-weight").trimmed();
    const bool bold = source.Font().Style().Bold;
    const auto parentWeight = [&] {
        const auto *parent = dynamic_cast<const TSVGGraphicElement *>(source.Parent());
        return parent && parent != &source && depth < SVGMaxElementDepth ? Weight(*parent, depth + 1) : 400;
    };
    if (own == QLatin1String("normal"))
        return 400;
    if (own == QLatin1String("bold"))
        return 700;
    if (own == QLatin1String("bolder")) {
        const int w = parentWeight();
        return w < 350 ? 400 : w < 550 ? 700 : 900;
    }
    if (own == QLatin1String("lighter")) {
        const int w = parentWeight();
        return w < 550 ? 100 : w < 750 ? 400 : 700;
    }
    if (own.isEmpty())
        return bold ? 700 : 400;
    // The weights SVG knows are the hundreds; any other value is dropped like an unknown one.
    bool ok = false;
    const int n = own.toInt(&ok);
    return ok && n >= 100 && n <= 900 && n % 100 == 0 ? n : parentWeight();
}

// Box mode's font: bubbles are bold or not, whatever weight is asked for.
TCanvasFont BoxFont(const TSVGText &text)
{
    TCanvasFont font = SVGResolveFont(text);
    font.Weight = 0;
    return font;
}

void DrawBox(TSVGPainter &painter, TSVGText &text, const TMatrix &M)
{
    TSVGCanvas &canvas = painter.Canvas();
    TCanvasFont font = BoxFont(text);
    const bool overline = font.Overline;
    font.Overline = false;
    canvas.SetFont(font);
    TMatrix m = M;
    if (text.X() != 0 || text.Y() != 0)
        m = TMatrix::CreateTranslation(text.X(), text.Y()) * m;
    canvas.SetMatrix(m);
    const float height = canvas.TextHeight(text.Text());
    const float a = RoundEven(0.85f * height), b = RoundEven(0.15f * height);
    const QRectF layout(QPointF(0, b - a), QPointF(text.Width(), text.Height() - a + b));
    if (font.Size <= 0)
        return;
    const QPainterPath outline = canvas.TextLayoutPath(layout, text.Text(), true, TCanvasAlign::Center,
                                                       TCanvasAlign::Center);
    const float opacity = painter.ApplyFill(text, outline.boundingRect(), m);
    canvas.SetMatrix(m);
    canvas.FillText(layout, text.Text(), true, opacity, TCanvasAlign::Center, TCanvasAlign::Center);
    if (overline) {
        TCanvasStroke line;
        line.Paint = canvas.Fill();
        line.Thickness = std::max(1.0f, font.Size / 14.0f);
        canvas.SetStroke(line);
        canvas.DrawLine(layout.topLeft(), layout.topRight(), opacity);
    }
    // Child spans stand on their own in box mode, each at its own position.
    for (int i = 0; i < text.Count(); ++i)
        if (auto *span = dynamic_cast<TSVGText *>(text.Items(i)); span && TSVGPainter::CanDraw(*span))
            painter.DoDraw(*span, M);
}

// An inherited property as the nearest element declaring it has it, in its style (its
// attributes with the style attribute over them, or with InlineOnly the style attribute
// alone); a font shorthand declares the font properties it stands for, and sets back
// those it resets (font-kerning) to their initial value.
QString Declared(const TSVGGraphicElement &element, QStringView name, bool inlineOnly)
{
    int depth = 0;
    for (const TSVGElement *e = &element; e && depth <= SVGMaxElementDepth; e = e->Parent(), ++depth) {
        const auto *g = dynamic_cast<const TSVGGraphicElement *>(e);
        if (!g)
            continue;
        const TSVGStyle &style = inlineOnly ? g->InlineStyle() : g->Style();
        const QString v = style.Value(name).trimmed();
        if (!v.isEmpty() && v != QLatin1String("inherit"))
            return v;
        if (const QString font = style.Value(u"font"); !font.isEmpty() && v.isEmpty()) {
            const auto longhands = SVGFontShorthandLonghands(font);
            for (const auto &[longhand, value] : longhands)
                if (longhand == name && value != QLatin1String("inherit"))
                    return value;
            if (!longhands.isEmpty() && name == QLatin1String("font-kerning"))
                return QString();
        }
    }
    return QString();
}

} // namespace

TCanvasFont SVGResolveFont(const TSVGGraphicElement &element)
{
    TCanvasFont f;
    const QString family = Source(element, ipFontFamily).Font().Family();
    f.Family = family == TSVGFont::DefaultFamily() ? QString() : family;
    f.Size = element.GetResolvedFontSize();
    f.Bold = Source(element, ipFontWeight).Font().Style().Bold;
    f.Weight = Weight(element);
    f.Italic = Source(element, ipFontStyle).Font().Style().Italic;
    const TSVGFont &decoration = Source(element, ipTextDecoration).Font();
    f.Underline = decoration.Style().Underline;
    f.StrikeOut = decoration.Style().StrikeOut;
    f.Overline = decoration.ExtendStyles().testFlag(fsOverline);
    // kerning="0" is SVG 1.1's way to turn kerning off; other lengths leave it on.
    // font-kerning is no presentation attribute: only style declarations set it.
    f.Kerning = Declared(element, u"font-kerning", true) != QLatin1String("none") &&
                SVGInheritedValue(element, u"kerning") != QLatin1String("0");
    f.SmallCaps = SVGInheritedValue(element, u"font-variant") == QLatin1String("small-caps");
    f.Oblique = f.Italic && SVGInheritedValue(element, u"font-style") == QLatin1String("oblique");
    f.Stretch = SVGParseFontStretch(SVGInheritedValue(element, u"font-stretch"));
    f.Variations = SVGParseFontVariations(SVGInheritedValue(element, u"font-variation-settings"));
    return f;
}

QString SVGInheritedValue(const TSVGGraphicElement &element, QStringView name)
{
    return Declared(element, name, false);
}

bool SVGTextIsBox(const TSVGText &text)
{
    QString v;
    return text.XMLAttribute(u"width", v) && text.XMLAttribute(u"height", v) && text.Width() > 0 &&
           text.Height() > 0;
}

QPainterPath SVGTextOutline(const TSVGText &text)
{
    QPainterPath out;
    if (SVGTextIsBox(text)) {
        QImage dummy(1, 1, QImage::Format_ARGB32_Premultiplied);
        TSVGCanvas canvas(dummy);
        canvas.SetFont(BoxFont(text));
        const float height = canvas.TextHeight(text.Text());
        const float a = RoundEven(0.85f * height), b = RoundEven(0.15f * height);
        const QRectF layout(QPointF(text.X(), text.Y() + b - a),
                            QPointF(text.X() + text.Width(), text.Y() + text.Height() - a + b));
        return canvas.TextLayoutPath(layout, text.Text(), true, TCanvasAlign::Center, TCanvasAlign::Center);
    }
    for (const TSVGTextPiece &piece : SVGLayOutText(text))
        out.addPath(SVGTextPieceOutline(piece));
    return out;
}

QRectF SVGTextBounds(const TSVGText &text)
{
    if (SVGTextIsBox(text))
        return SVGTextOutline(text).boundingRect();
    QRectF bbox;
    for (const TSVGTextPiece &piece : SVGLayOutText(text))
        bbox = bbox.united(SVGTextPieceBox(piece).boundingRect());
    return bbox;
}

namespace {

// The pieces of one element in a row, drawn as one path, and the decorations over them.
struct TGroup {
    const TSVGGraphicElement *Styled = nullptr;
    QPainterPath Glyphs;
    std::vector<std::pair<QTransform, TGlyphBitmap>> Bitmaps;  // colour glyphs, from their frame
    std::vector<std::pair<const TSVGGraphicElement *, QPainterPath>> Under, Through;
};

void AddLines(std::vector<std::pair<const TSVGGraphicElement *, QPainterPath>> &to,
              const TSVGGraphicElement *paint, const QPainterPath &lines)
{
    if (to.empty() || to.back().first != paint)
        to.push_back({paint, QPainterPath()});
    to.back().second.addPath(lines);
}

} // namespace

void SVGDrawText(TSVGPainter &painter, TSVGText &text, const TMatrix &M)
{
    if (SVGTextIsBox(text)) {
        DrawBox(painter, text, M);
        return;
    }
    const std::vector<TSVGTextPiece> pieces = SVGLayOutText(text);
    std::vector<QRectF> boxes;
    QRectF bbox;
    for (const TSVGTextPiece &piece : pieces) {
        bbox = bbox.united(SVGTextPieceBox(piece).boundingRect());
        boxes.push_back(SVGTextPieceBox(piece, true).boundingRect());
    }
    // Glyph outlines take far more memory than the characters they draw: only pieces that
    // can reach the picture are outlined. A piece's ink stays within its line box grown by
    // the box's height (slanted and tall glyphs) and the stroke with its mitres.
    const QTransform toDevice = M.ToQTransform();
    const QRectF device(0, 0, painter.Canvas().Width(), painter.Canvas().Height());
    std::vector<TGroup> groups;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const TSVGTextPiece &piece = pieces[i];
        const TSVGGraphicElement &styled = *piece.Styled;
        const TSVGStrokeState stroke = painter.EffectiveStroke(styled);
        const qreal margin =
            boxes[i].height() + qreal(SVGStrokeWidth(styled, stroke)) * std::max(1.0f, stroke.MiterLimit);
        const QRectF reach = toDevice.mapRect(boxes[i].adjusted(-margin, -margin, margin, margin));
        if (!reach.intersects(device) && toDevice.isInvertible())
            continue;
        if (groups.empty() || groups.back().Styled != &styled)
            groups.push_back({&styled, {}, {}, {}, {}});
        TGroup &g = groups.back();
        g.Glyphs.addPath(SVGTextPieceOutline(piece));
        // Colour glyphs are pictures in the piece's frame, as its outline is.
        QTransform frame = piece.Place;
        frame.translate(-piece.Left, 0);
        for (TGlyphBitmap &b : piece.Run.Bitmaps(piece.From, piece.Length))
            g.Bitmaps.emplace_back(frame, std::move(b));
        for (const TSVGTextDecoration &d : *piece.Decorations) {
            for (TSVGTextLineKind kind : {tlkUnderline, tlkOverline})
                if (d.Kinds & kind)
                    AddLines(g.Under, d.Paint, SVGTextPieceLines(piece, kind));
            if (d.Kinds & tlkLineThrough)
                AddLines(g.Through, d.Paint, SVGTextPieceLines(piece, tlkLineThrough));
        }
    }
    // Under- and overlines go below the glyphs, a line through them above; paint servers
    // span the whole text, whichever span they fill.
    for (const TGroup &g : groups) {
        for (const auto &[paint, lines] : g.Under)
            if (paint->Visible())
                painter.FillAndStrokePath(*paint, lines, M, &bbox);
        if (g.Styled->Visible()) {
            painter.FillAndStrokePath(*g.Styled, g.Glyphs, M, &bbox);
            TSVGCanvas &canvas = painter.Canvas();
            for (const auto &[frame, b] : g.Bitmaps) {
                canvas.SetMatrix(TMatrix::FromQTransform(frame * toDevice));
                canvas.DrawBitmap(b.Image, QRectF(b.Image.rect()), b.Box, 1);
            }
        }
        for (const auto &[paint, lines] : g.Through)
            if (paint->Visible())
                painter.FillAndStrokePath(*paint, lines, M, &bbox);
    }
}

void SVGDrawTextRef(TSVGPainter &painter, TSVGTextRef &ref, const TMatrix &M)
{
    auto *target = dynamic_cast<TSVGText *>(ref.ReferencedElement());
    if (!target || !painter.Enter(&ref))
        return;
    TMatrix m = M;
    if (ref.X() != 0 || ref.Y() != 0)
        m = TMatrix::CreateTranslation(ref.X(), ref.Y()) * m;
    painter.Draw(*target, m);
    painter.Leave(&ref);
}
