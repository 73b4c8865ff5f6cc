#include "svg/render/text.h"

#include "svg/model/document.h"
#include "svg/model/exception.h"
#include "svg/model/lists.h"
#include "svg/render/draw.h"
#include "svg/render/paint.h"

#include <algorithm>
#include <cmath>
#include <map>

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

// ---- the SVG layout

// Runs are cut after this many characters, so that a long text is measured and
// outlined piece by piece and the pieces off the picture need no outline at all.
constexpr qsizetype kMaxRunChars = 512;

struct TLists;

// Characters in a row that share their owner, style and positioning chain. Stored once
// per stretch rather than per character: a long text costs two bytes a character.
struct TSegment {
    qsizetype Start = 0;  // index of its first character
    const TSVGText *Owner = nullptr;   // the text or tspan whose style draws it (a tref's text: the tref's parent)
    const TSVGGraphicElement *Styled = nullptr;  // the element whose style applies (the tref itself)
    // The positioning lists of the elements from the owner (a tref included) up to the root.
    std::vector<const TLists *> Chain;
};

struct TRun {
    const TSVGGraphicElement *Styled = nullptr;
    QString Text;
    QPointF Origin;
    float Advance = 0;
    int Chunk = 0;
};

struct TLists {
    std::vector<float> X, Y, DX, DY;
    int Start = 0;  // index of the element's first character
};

// Every character of a text element and its spans, in document order.
QString CharacterData(const TSVGText &text, int depth)
{
    QString out;
    if (depth > SVGMaxElementDepth)
        return out;
    for (const TSVGTextContent &piece : text.Content()) {
        if (piece.ChildIndex < 0)
            out += piece.Text;
        else if (piece.ChildIndex < text.Count())
            if (const auto *span = dynamic_cast<const TSVGText *>(text.Items(piece.ChildIndex)))
                out += CharacterData(*span, depth + 1);
    }
    return out;
}

bool IsDisplayNone(const TSVGGraphicElement &e)
{
    return e.DisplayText() == QLatin1String("none");
}

bool Preserve(const TSVGElement *e)
{
    for (; e; e = e->Parent()) {
        QString v;
        if (e->XMLAttribute(u"space", v))
            return v.trimmed() == QLatin1String("preserve");
    }
    return false;
}

std::vector<float> ParseList(const TSVGGraphicElement &e, QStringView name, TSVGAxis axis)
{
    std::vector<float> out;
    QString text;
    if (!e.XMLAttribute(name, text))
        return out;
    for (const QString &item : SplitNumbers(text)) {
        bool isPercent = false;
        const float v = ParseFraction(item, isPercent, e.GetUnitFactors(), std::nanf(""));
        if (!std::isfinite(v))
            break;  // an unreadable list ends where it stops making sense
        out.push_back(e.ResolvePercent(v, isPercent, axis));
    }
    return out;
}

class TLayout {
public:
    explicit TLayout(const TSVGText &root) : FRoot(root) {}

    void Collect() { Walk(FRoot, FRoot, 0); Finish(); }
    std::vector<TRun> Place();

private:
    void Walk(const TSVGText &e, const TSVGGraphicElement &styled, int depth);
    void Append(const QString &text, const TSVGText &owner, const TSVGGraphicElement &styled);
    void Finish();

    const TSVGText &FRoot;
    QString FText;
    std::vector<TSegment> FSegments;
    std::vector<const TSVGGraphicElement *> FStack;
    std::map<const TSVGGraphicElement *, TLists> FLists;
    bool FLastSpace = true;  // collapsing: a leading space is dropped
};

void TLayout::Walk(const TSVGText &e, const TSVGGraphicElement &styled, int depth)
{
    if (depth > SVGMaxElementDepth || (&e != &FRoot && IsDisplayNone(e)))
        return;
    FStack.push_back(&e);
    TLists &lists = FLists[&e];
    lists.Start = int(FText.size());
    lists.X = ParseList(e, u"x", TSVGAxis::Horizontal);
    lists.Y = ParseList(e, u"y", TSVGAxis::Vertical);
    lists.DX = ParseList(e, u"dx", TSVGAxis::Horizontal);
    lists.DY = ParseList(e, u"dy", TSVGAxis::Vertical);
    for (const TSVGTextContent &piece : e.Content()) {
        if (piece.ChildIndex < 0) {
            Append(piece.Text, e, styled);
            continue;
        }
        if (piece.ChildIndex >= e.Count())
            continue;
        const TSVGElement *child = e.Items(piece.ChildIndex);
        if (!child->HasFeatures() || !child->HasExtensions() || !child->HasLanguages())
            continue;
        if (const auto *span = dynamic_cast<const TSVGText *>(child)) {
            Walk(*span, *span, depth + 1);
        } else if (const auto *ref = dynamic_cast<const TSVGTextRef *>(child)) {
            // tref: the character data of the referenced element, in the tref's style.
            const auto *target = dynamic_cast<const TSVGText *>(ref->ReferencedElement());
            if (!target || !ref->Visible())
                continue;
            const QString data = CharacterData(*target, 0);
            // The tref positions its characters with its own x, y, dx and dy.
            FStack.push_back(ref);
            TLists &own = FLists[ref];
            own.Start = int(FText.size());
            own.X = ParseList(*ref, u"x", TSVGAxis::Horizontal);
            own.Y = ParseList(*ref, u"y", TSVGAxis::Vertical);
            own.DX = ParseList(*ref, u"dx", TSVGAxis::Horizontal);
            own.DY = ParseList(*ref, u"dy", TSVGAxis::Vertical);
            Append(data, e, *ref);
            FStack.pop_back();
        }
    }
    FStack.pop_back();
}

void TLayout::Append(const QString &text, const TSVGText &owner, const TSVGGraphicElement &styled)
{
    const bool preserve = Preserve(&owner);
    bool segmentOpen = false;
    for (QChar c : text) {
        if (preserve) {
            if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t'))
                c = QLatin1Char(' ');
        } else {
            if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
                continue;
            if (c == QLatin1Char('\t'))
                c = QLatin1Char(' ');
            if (c == QLatin1Char(' ')) {
                if (FLastSpace)
                    continue;
                FLastSpace = true;
            } else {
                FLastSpace = false;
            }
        }
        if (FText.size() >= SVGMaxTextChars)
            throw ESVGException(QStringLiteral("Text too long: more than %1 characters in one text element")
                                    .arg(SVGMaxTextChars));
        if (!segmentOpen) {
            TSegment segment;
            segment.Start = FText.size();
            segment.Owner = &owner;
            segment.Styled = &styled;
            for (auto it = FStack.rbegin(); it != FStack.rend(); ++it)
                segment.Chain.push_back(&FLists[*it]);
            FSegments.push_back(std::move(segment));
            segmentOpen = true;
        }
        FText += c;
    }
}

void TLayout::Finish()
{
    // A trailing space of the whole text goes too when white space collapses.
    if (!FText.isEmpty() && FText.back() == QLatin1Char(' ') && !Preserve(FSegments.back().Owner)) {
        FText.chop(1);
        if (FSegments.back().Start == FText.size())
            FSegments.pop_back();
    }
}

std::vector<TRun> TLayout::Place()
{
    std::vector<TRun> runs;
    float cx = 0, cy = 0;
    int chunk = 0;
    size_t segment = 0;
    auto lookup = [&](qsizetype i, std::vector<float> TLists::*list, float &value) {
        for (const TLists *l : FSegments[segment].Chain) {
            const size_t k = size_t(i - l->Start);
            if (k < (l->*list).size()) {
                value = (l->*list)[k];
                return true;
            }
        }
        return false;
    };
    // A run ends where a character is positioned or the style changes; its advance is
    // measured as a whole, so kerning inside it is kept.
    qsizetype runStart = 0;
    auto close = [&](qsizetype end) {
        if (runs.empty())
            return;
        TRun &r = runs.back();
        r.Text = FText.mid(runStart, end - runStart);
        r.Advance = TTextMetrics::Advance(SVGResolveFont(*r.Styled), r.Text);
        cx = float(r.Origin.x()) + r.Advance;
        cy = float(r.Origin.y());
    };
    for (qsizetype i = 0; i < FText.size(); ++i) {
        while (segment + 1 < FSegments.size() && FSegments[segment + 1].Start <= i)
            ++segment;
        const TSVGGraphicElement *styled = FSegments[segment].Styled;
        float x = 0, y = 0, dx = 0, dy = 0;
        const bool hasX = lookup(i, &TLists::X, x), hasY = lookup(i, &TLists::Y, y);
        const bool hasDX = lookup(i, &TLists::DX, dx), hasDY = lookup(i, &TLists::DY, dy);
        const bool positioned = hasX || hasY || hasDX || hasDY;
        if (runs.empty() || positioned || runs.back().Styled != styled || i - runStart >= kMaxRunChars) {
            close(i);
            if (hasX) {
                if (i > 0)
                    ++chunk;
                cx = x;
            }
            if (hasY)
                cy = y;
            cx += dx;
            cy += dy;
            TRun r;
            r.Styled = styled;
            r.Origin = QPointF(cx, cy);
            r.Chunk = chunk;
            runs.push_back(r);
            runStart = i;
        }
    }
    close(FText.size());
    // text-anchor per chunk, from the element of the chunk's first character.
    size_t first = 0;
    while (first < runs.size()) {
        size_t last = first;
        while (last + 1 < runs.size() && runs[last + 1].Chunk == runs[first].Chunk)
            ++last;
        float left = float(runs[first].Origin.x()), right = left;
        for (size_t k = first; k <= last; ++k) {
            left = std::min(left, float(runs[k].Origin.x()));
            right = std::max(right, float(runs[k].Origin.x()) + runs[k].Advance);
        }
        const TSVGTextAlign align = runs[first].Styled->TextAlign();
        const float shift = align == staCenter     ? -(right - float(runs[first].Origin.x())) / 2
                            : align == staTrailing ? -(right - float(runs[first].Origin.x()))
                                                   : 0.0f;
        Q_UNUSED(left);
        for (size_t k = first; k <= last; ++k)
            runs[k].Origin.rx() += shift;
        first = last + 1;
    }
    return runs;
}

QPainterPath RunOutline(const TRun &run)
{
    return TTextMetrics::Outline(SVGResolveFont(*run.Styled), run.Text, run.Origin);
}

void DrawBox(TSVGPainter &painter, TSVGText &text, const TMatrix &M)
{
    TSVGCanvas &canvas = painter.Canvas();
    TCanvasFont font = SVGResolveFont(text);
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

} // namespace

TCanvasFont SVGResolveFont(const TSVGGraphicElement &element)
{
    TCanvasFont f;
    const QString family = Source(element, ipFontFamily).Font().Family();
    f.Family = family == TSVGFont::DefaultFamily() ? QString() : family;
    f.Size = element.GetResolvedFontSize();
    f.Bold = Source(element, ipFontWeight).Font().Style().Bold;
    f.Italic = Source(element, ipFontStyle).Font().Style().Italic;
    const TSVGFont &decoration = Source(element, ipTextDecoration).Font();
    f.Underline = decoration.Style().Underline;
    f.StrikeOut = decoration.Style().StrikeOut;
    f.Overline = decoration.ExtendStyles().testFlag(fsOverline);
    return f;
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
        canvas.SetFont(SVGResolveFont(text));
        const float height = canvas.TextHeight(text.Text());
        const float a = RoundEven(0.85f * height), b = RoundEven(0.15f * height);
        const QRectF layout(QPointF(text.X(), text.Y() + b - a),
                            QPointF(text.X() + text.Width(), text.Y() + text.Height() - a + b));
        return canvas.TextLayoutPath(layout, text.Text(), true, TCanvasAlign::Center, TCanvasAlign::Center);
    }
    TLayout layout(text);
    layout.Collect();
    for (const TRun &run : layout.Place())
        out.addPath(RunOutline(run));
    return out;
}

namespace {

// The bounding box of text is that of its line boxes, not of the glyph ink.
QRectF LineBox(const TRun &run)
{
    const TCanvasFont font = SVGResolveFont(*run.Styled);
    const float ascent = TTextMetrics::Ascent(font), descent = TTextMetrics::Descent(font);
    return QRectF(run.Origin.x(), run.Origin.y() - ascent, run.Advance, ascent + descent);
}

} // namespace

QRectF SVGTextBounds(const TSVGText &text)
{
    if (SVGTextIsBox(text))
        return SVGTextOutline(text).boundingRect();
    TLayout layout(text);
    layout.Collect();
    QRectF bbox;
    for (const TRun &run : layout.Place())
        bbox = bbox.united(LineBox(run));
    return bbox;
}

void SVGDrawText(TSVGPainter &painter, TSVGText &text, const TMatrix &M)
{
    if (SVGTextIsBox(text)) {
        DrawBox(painter, text, M);
        return;
    }
    TLayout layout(text);
    layout.Collect();
    const std::vector<TRun> runs = layout.Place();
    std::vector<QRectF> boxes;
    QRectF bbox;
    for (const TRun &run : runs) {
        boxes.push_back(LineBox(run));
        bbox = bbox.united(boxes.back());
    }
    // Glyph outlines take far more memory than the characters they draw: only runs that
    // can reach the picture are outlined. A run's ink stays within its line box grown by
    // the box's height (slanted and tall glyphs) and the stroke with its mitres.
    const QTransform toDevice = M.ToQTransform();
    const QRectF device(0, 0, painter.Canvas().Width(), painter.Canvas().Height());
    // Paint servers span the whole text, whichever span they fill.
    for (size_t i = 0; i < runs.size(); ++i) {
        const TSVGGraphicElement &styled = *runs[i].Styled;
        if (!styled.Visible())
            continue;
        const TSVGStrokeState stroke = SVGEffectiveStroke(styled);
        const qreal margin =
            boxes[i].height() + qreal(SVGStrokeWidth(styled, stroke)) * std::max(1.0f, stroke.MiterLimit);
        const QRectF reach = toDevice.mapRect(boxes[i].adjusted(-margin, -margin, margin, margin));
        if (!reach.intersects(device) && toDevice.isInvertible())
            continue;
        painter.FillAndStrokePath(styled, RunOutline(runs[i]), M, &bbox);
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
