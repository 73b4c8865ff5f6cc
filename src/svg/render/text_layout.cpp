#include "svg/render/text_layout.h"

#include "svg/model/dom/document.h"
#include "svg/model/values/exception.h"
#include "svg/model/values/lists.h"
#include "svg/model/values/numbers.h"
#include "svg/model/values/units.h"
#include "svg/render/shapes.h"
#include "svg/render/text.h"
#include "svg/render/text_path.h"
#include "svg/render/text_vertical.h"

#include <QTextBoundaryFinder>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace {

// Shaped runs are cut after this many characters (at a space when one is near), so that
// a long text is measured and outlined piece by piece and the pieces off the picture
// need no outline at all.
constexpr qsizetype kMaxRunChars = 512;
// Placing characters one by one asks the shaped run for each caret, which costs the
// characters before it in the run: such runs are cut shorter.
constexpr qsizetype kMaxPlacedRunChars = 64;

struct TLists {
    std::vector<float> X, Y, DX, DY, Rotate;
    qsizetype Start = 0, End = 0;  // the element's characters
    const TSVGGraphicElement *Element = nullptr;
};

// Characters in a row that share their owner, style and positioning chain.
struct TSegment {
    qsizetype Start = 0;
    const TSVGText *Owner = nullptr;             // the text or span holding the characters
    const TSVGGraphicElement *Styled = nullptr;  // the element whose style applies (a tref itself)
    const TSVGText *Path = nullptr;              // the textPath they are laid along
    std::vector<const TLists *> Chain;           // positioning lists from the owner up to the root
};

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

bool Preserve(const TSVGElement *e)
{
    for (; e; e = e->Parent()) {
        QString v;
        if (e->XMLAttribute(u"space", v))
            return v.trimmed() == QLatin1String("preserve");
    }
    return false;
}

// The units of an element's lengths, em and ex against its own font size.
TSVGUnitFactors Factors(const TSVGGraphicElement &e)
{
    return SVGFontRelativeFactors(e.GetUnitFactors(), e.GetResolvedFontSize());
}

bool IsTextPath(const TSVGElement &e)
{
    return e.TagName() == QLatin1String("textPath");
}

// A text property as the element itself declares it (attribute or style), "" if not.
// "no-change" (dominant-baseline's older spelling of inherit) keeps the parent's too.
QString OwnValue(const TSVGGraphicElement &e, QStringView name)
{
    QString v = e.Style().Value(name).trimmed();
    return v == QLatin1String("inherit") || v == QLatin1String("no-change") ? QString() : v;
}

// The declaration of an inherited text property that reaches the element, and its owner.
QString InheritedValue(const TSVGGraphicElement &e, QStringView name, const TSVGGraphicElement **owner = nullptr)
{
    for (const TSVGElement *p = &e; p; p = p->Parent()) {
        const auto *g = dynamic_cast<const TSVGGraphicElement *>(p);
        if (!g)
            continue;
        QString v = OwnValue(*g, name);
        if (!v.isEmpty()) {
            if (owner)
                *owner = g;
            return v;
        }
    }
    return QString();
}

// A spacing length ("normal", a length, or a percentage, which SVG lengths along the
// text's line take of the viewport's width).
float Spacing(const TSVGGraphicElement &e, QStringView name)
{
    const TSVGGraphicElement *owner = nullptr;
    const QString v = InheritedValue(e, name, &owner);
    if (v.isEmpty() || v == QLatin1String("normal"))
        return 0;
    bool isPercent = false;
    const float f = ParseFraction(v, isPercent, Factors(*owner), 0);
    const float out = owner->ResolvePercent(f, isPercent, TSVGAxis::Horizontal);
    return std::isfinite(out) ? out : 0.0f;
}

// Text up to the end of its Most-th item (items apart at commas and white space): a list
// longer than the characters it positions is read no further than they need.
QString FirstItems(const QString &text, qsizetype most)
{
    qsizetype items = 0;
    bool inItem = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool apart = text[i] == QLatin1Char(',') || text[i].isSpace();
        if (apart && inItem && ++items >= most)
            return text.left(i);
        inItem = !apart;
    }
    return text;
}

// A list of lengths along an axis, or of plain numbers without one, for Most characters.
std::vector<float> ParseList(const TSVGGraphicElement &e, QStringView name, std::optional<TSVGAxis> axis,
                             qsizetype most)
{
    std::vector<float> out;
    QString text;
    if (most <= 0 || !e.XMLAttribute(name, text))
        return out;
    for (const QString &item : SplitNumbers(FirstItems(text, most))) {
        if (qsizetype(out.size()) >= most)
            break;
        if (!axis) {
            // Angles are plain numbers; a list with anything else in it is ignored.
            double angle = 0;
            if (!TrySVGStrToFloat(item, angle) || !std::isfinite(angle))
                return {};
            out.push_back(float(angle));
            continue;
        }
        bool isPercent = false;
        const float v = ParseFraction(item, isPercent, Factors(e), std::nanf(""));
        if (!std::isfinite(v))
            break;  // an unreadable list ends where it stops making sense
        out.push_back(!axis ? v : e.ResolvePercent(v, isPercent, *axis));
    }
    return out;
}

// Once the element's characters are known (Start .. End): values beyond them count for
// nothing (the last rotation goes on by itself).
void ReadLists(TLists &lists, const TSVGGraphicElement &e)
{
    lists.Element = &e;
    const qsizetype most = lists.End - lists.Start;
    lists.X = ParseList(e, u"x", TSVGAxis::Horizontal, most);
    lists.Y = ParseList(e, u"y", TSVGAxis::Vertical, most);
    lists.DX = ParseList(e, u"dx", TSVGAxis::Horizontal, most);
    lists.DY = ParseList(e, u"dy", TSVGAxis::Vertical, most);
    lists.Rotate = ParseList(e, u"rotate", std::nullopt, most);
}

// How far down the glyphs move so that the baseline the element aligns on sits on the
// text's baseline.
float BaselineOffset(const TSVGGraphicElement &e, const TFontLines &lines)
{
    // alignment-baseline is not inherited, but "inherit" asks for the parent's.
    QString v;
    for (const TSVGElement *p = &e; p; p = p->Parent()) {
        const auto *g = dynamic_cast<const TSVGGraphicElement *>(p);
        if (!g)
            continue;
        v = g->Style().Value(u"alignment-baseline").trimmed();
        if (v != QLatin1String("inherit"))
            break;
    }
    if (v.isEmpty() || v == QLatin1String("auto") || v == QLatin1String("baseline"))
        v = InheritedValue(e, u"dominant-baseline");
    if (v == QLatin1String("text-before-edge") || v == QLatin1String("before-edge") ||
        v == QLatin1String("text-top") || v == QLatin1String("top"))
        return lines.Ascent;
    if (v == QLatin1String("text-after-edge") || v == QLatin1String("after-edge") ||
        v == QLatin1String("text-bottom") || v == QLatin1String("bottom") || v == QLatin1String("ideographic"))
        return -lines.Descent;
    if (v == QLatin1String("middle"))
        return lines.XHeight / 2;
    if (v == QLatin1String("central"))
        return (lines.Ascent - lines.Descent) / 2;
    if (v == QLatin1String("hanging"))
        return lines.Ascent * 0.8f;
    if (v == QLatin1String("mathematical"))
        return lines.Ascent * 0.5f;
    return 0;
}

// baseline-shift adds up along the spans, each against its own font: how far down.
float BaselineShift(const TSVGGraphicElement &styled, const TSVGText &root)
{
    float down = 0;
    // The text element's own shift moves nothing: it has no parent run to shift against.
    for (const TSVGElement *p = &styled; p && p != &root; p = p->Parent()) {
        const auto *g = dynamic_cast<const TSVGGraphicElement *>(p);
        if (g) {
            const QString v = OwnValue(*g, u"baseline-shift");
            if (v == QLatin1String("sub")) {
                down += TTextMetrics::FontLines(SVGResolveFont(*g)).SubscriptOffset;
            } else if (v == QLatin1String("super")) {
                down -= TTextMetrics::FontLines(SVGResolveFont(*g)).SuperscriptOffset;
            } else if (!v.isEmpty() && v != QLatin1String("baseline")) {
                bool isPercent = false;
                const float f = ParseFraction(v, isPercent, Factors(*g), 0);
                const float up = isPercent ? f * g->GetResolvedFontSize() : f;
                if (std::isfinite(up))
                    down -= up;
            }
        }
    }
    return down;
}

// A decoration declared inside the text is drawn with its declaring element's paint; one
// declared by a group around the text, with the text's own paint.
std::vector<TSVGTextDecoration> Decorations(const TSVGGraphicElement &styled, const TSVGText &root)
{
    std::vector<TSVGTextDecoration> out;
    bool outside = false;
    for (const TSVGElement *p = &styled; p; outside = outside || p == &root, p = p->Parent()) {
        const auto *g = dynamic_cast<const TSVGGraphicElement *>(p);
        if (!g || &g->InheritanceSource(ipTextDecoration) != g)
            continue;
        const TSVGFont &font = g->Font();
        const int kinds = (font.Style().Underline ? tlkUnderline : 0) |
                          (font.ExtendStyles().testFlag(fsOverline) ? tlkOverline : 0) |
                          (font.Style().StrikeOut ? tlkLineThrough : 0);
        if (kinds)
            out.push_back({outside ? &root : g, kinds});
    }
    return out;
}

// Whether a character belongs to a script whose letters join (marks count with the letters
// they are on; spaces and punctuation belong to no such script).
bool Cursive(const QString &text, qsizetype i, qsizetype from)
{
    for (; i >= from; --i) {
        char32_t c = text.at(i).unicode();
        if (text.at(i).isLowSurrogate() && i > from && text.at(i - 1).isHighSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i - 1), text.at(i));
            --i;
        }
        switch (QChar::script(c)) {
        case QChar::Script_Inherited:
            continue;
        case QChar::Script_Arabic:
        case QChar::Script_Syriac:
        case QChar::Script_Nko:
        case QChar::Script_Mongolian:
        case QChar::Script_PhagsPa:
        case QChar::Script_Mandaic:
        case QChar::Script_Manichaean:
        case QChar::Script_PsalterPahlavi:
        case QChar::Script_Adlam:
        case QChar::Script_HanifiRohingya:
        case QChar::Script_Sogdian:
            return true;
        default:
            return false;
        }
    }
    return false;
}

class TLayout {
public:
    explicit TLayout(const TSVGText &root) : FRoot(root) {}
    std::vector<TSVGTextPiece> Run();

private:
    void Walk(const TSVGText &e, const TSVGText *path, int depth);
    void Append(const QString &text, const TSVGText &owner, const TSVGGraphicElement &styled, const TSVGText *path);
    void Finish();
    bool Lookup(size_t segment, qsizetype i, std::vector<float> TLists::*list, float &value) const;
    float Rotation(size_t segment, qsizetype i) const;
    bool PerCharacter(size_t segment, qsizetype end) const;
    std::pair<float, float> Extent(const TShapedRun &run, qsizetype base, qsizetype from, qsizetype to) const;
    std::vector<qsizetype> PlacingOrder(qsizetype start, qsizetype end, const TShapedRun *placed, float letter);
    template <class TRun> bool Joins(const TRun &left, const TRun &right, qsizetype base) const;
    void ApplyTextLength();
    void ApplyAnchors();
    void ApplyAfterPaths();
    const TSVGTextPathGeometry &PathOf(const TSVGText &textPath);
    float Shift(const TSVGGraphicElement &styled, const TFontLines &lines) const;

    const TSVGText &FRoot;
    QString FText;
    std::vector<TSegment> FSegments;
    std::vector<const TSVGGraphicElement *> FStack;
    std::map<const TSVGGraphicElement *, TLists> FLists;
    std::vector<const TLists *> FOrder;  // every element's lists in document order
    bool FLastSpace = true;  // collapsing: a leading space is dropped
    // Set in a column: X, FAdvance and the anchors run down it, Y across it; x and dx
    // place the column, y and dy the characters in it.
    bool FVertical = false;

    // Per character (UTF-16 position; the low half of a pair follows its high half).
    std::vector<float> FX, FY, FAdvance, FRotate;
    std::vector<float> FStretch;    // horizontal glyph scale (lengthAdjust)
    std::vector<float> FLetter;     // the letter-spacing in the advance
    std::vector<int> FChunk;
    std::vector<char> FBreak;      // a piece starts here
    std::vector<char> FJoined;     // the character continues the cluster before it
    std::map<const TSVGText *, TSVGTextPathGeometry> FPaths;
    std::vector<size_t> FSegmentOf;
    // Text after a textPath goes on from where the path's last glyph ends (its characters
    // First .. Last); per character, the entry its x and its y count from, or -1.
    struct TAfterPath {
        const TSVGText *Path = nullptr;
        qsizetype First = 0, Last = 0;
    };
    std::vector<TAfterPath> FAfter;
    std::vector<int> FAfterX, FAfterY;
};

void TLayout::Walk(const TSVGText &e, const TSVGText *path, int depth)
{
    if (depth > SVGMaxElementDepth || (&e != &FRoot && e.DisplayText() == QLatin1String("none")))
        return;
    if (&e != &FRoot && IsTextPath(e)) {
        // A textPath lays out only as a child of the text itself, and only along a shape:
        // without one its characters are not part of the text at all.
        if (path || depth != 1)
            return;
        if (!PathOf(e).Valid()) {
            // The white space on both sides of it stays, as the best renderers keep it;
            // a text does not start with a space for it.
            FLastSpace = FText.isEmpty();
            return;
        }
        path = &e;
    }
    FStack.push_back(&e);
    TLists &lists = FLists[&e];
    lists.Element = &e;
    lists.Start = FText.size();
    FOrder.push_back(&lists);
    for (const TSVGTextContent &piece : e.Content()) {
        if (piece.ChildIndex < 0) {
            Append(piece.Text, e, e, path);
            continue;
        }
        if (piece.ChildIndex >= e.Count())
            continue;
        const TSVGElement *child = e.Items(piece.ChildIndex);
        if (!child->HasFeatures() || !child->HasExtensions() || !child->HasLanguages())
            continue;
        if (const auto *span = dynamic_cast<const TSVGText *>(child)) {
            Walk(*span, path, depth + 1);
        } else if (const auto *ref = dynamic_cast<const TSVGTextRef *>(child)) {
            // tref: the character data of the referenced element, in the tref's style,
            // positioned by the tref's own x, y, dx and dy.
            const auto *target = dynamic_cast<const TSVGText *>(ref->ReferencedElement());
            if (!target || !ref->Visible())
                continue;
            const QString data = CharacterData(*target, 0);
            FStack.push_back(ref);
            TLists &own = FLists[ref];
            own.Element = ref;
            own.Start = FText.size();
            FOrder.push_back(&own);
            Append(data, e, *ref, path);
            own.End = FText.size();
            ReadLists(own, *ref);
            FStack.pop_back();
        }
    }
    lists.End = FText.size();
    if (&e != path)  // a textPath has no positions of its own: the path places its text
        ReadLists(lists, e);
    FStack.pop_back();
}

void TLayout::Append(const QString &text, const TSVGText &owner, const TSVGGraphicElement &styled,
                     const TSVGText *path)
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
            segment.Path = path;
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
        for (auto &[element, lists] : FLists)
            lists.End = std::min(lists.End, FText.size());
    }
}

bool TLayout::Lookup(size_t segment, qsizetype i, std::vector<float> TLists::*list, float &value) const
{
    for (const TLists *l : FSegments[segment].Chain) {
        const size_t k = size_t(i - l->Start);
        if (k < (l->*list).size()) {
            value = (l->*list)[k];
            return true;
        }
    }
    return false;
}

float TLayout::Rotation(size_t segment, qsizetype i) const
{
    // The last value of the nearest list goes on for the element's remaining characters.
    for (const TLists *l : FSegments[segment].Chain)
        if (!l->Rotate.empty())
            return l->Rotate[std::min(size_t(i - l->Start), l->Rotate.size() - 1)];
    return 0;
}

// Whether the characters of a segment up to End may leave the places the shaper gives
// them; a position for its first character alone moves the segment as a whole.
bool TLayout::PerCharacter(size_t s, qsizetype end) const
{
    const TSegment &segment = FSegments[s];
    const TSVGGraphicElement &styled = *segment.Styled;
    if (segment.Path || Spacing(styled, u"letter-spacing") != 0 || Spacing(styled, u"word-spacing") != 0)
        return true;
    QString length;
    bool rotated = false;
    for (const TLists *l : segment.Chain) {
        if (l->Element->XMLAttribute(u"textLength", length))
            return true;
        rotated = rotated || !l->Rotate.empty();
    }
    if (rotated)
        return true;
    for (qsizetype i = segment.Start + 1; i < end; ++i) {
        float v = 0;
        for (auto list : {&TLists::X, &TLists::Y, &TLists::DX, &TLists::DY})
            if (Lookup(s, i, list, v))
                return true;
    }
    return false;
}

// The left and right of the characters From .. To - 1 where Run (its text starting at Base)
// draws them: the union of their clusters, each measured at its first character (the
// carets inside a cluster lie at its ends).
std::pair<float, float> TLayout::Extent(const TShapedRun &run, qsizetype base, qsizetype from, qsizetype to) const
{
    std::pair<float, float> out = run.Edges(from - base);
    for (qsizetype i = from + 1; i < to; ++i) {
        if (FJoined[size_t(i)])
            continue;
        const auto [left, right] = run.Edges(i - base);
        out = {std::min(out.first, left), std::max(out.second, right)};
    }
    return out;
}

// The characters Start .. End - 1 of a run in the order they are placed: as they are stored
// when they keep their shaped places (Placed null), else cluster by cluster from left to
// right as Placed shows them, so that right-to-left text goes on leftwards from its start.
// For the characters placed one by one, their rotations, their letter-spacing (none in
// scripts whose letters join, which spacing would tear apart) and the pieces that spacing
// cuts are set here.
std::vector<qsizetype> TLayout::PlacingOrder(qsizetype start, qsizetype end, const TShapedRun *placed, float letter)
{
    std::vector<qsizetype> order;
    order.reserve(size_t(end - start));
    if (!placed) {
        for (qsizetype i = start; i < end; ++i)
            order.push_back(i);
        return order;
    }
    const size_t segment = FSegmentOf[size_t(start)];
    std::vector<std::pair<float, qsizetype>> clusters;
    float before = 0;  // the spacing after the cluster before
    for (qsizetype i = start; i < end; ++i) {
        const size_t k = size_t(i);
        if (i > start && FJoined[k]) {
            FRotate[k] = FRotate[k - 1];
            continue;
        }
        FRotate[k] = Rotation(segment, i);
        FLetter[k] = Cursive(FText, i, start) ? 0.0f : letter;
        FBreak[k] = FLetter[k] != 0 || before != 0;
        before = FLetter[k];
        clusters.emplace_back(placed->Edges(i - start).first, i);
    }
    std::stable_sort(clusters.begin(), clusters.end(),
                     [](const auto &l, const auto &r) { return l.first < r.first; });
    for (const auto &[left, i] : clusters) {
        order.push_back(i);
        for (qsizetype j = i + 1; j < end && FJoined[size_t(j)]; ++j)
            order.push_back(j);
    }
    return order;
}

// Whether Right may be shaped together with Left (and the runs before it from Base): both
// keep their shaped places, share a font and their lines, and Right starts no chunk.
template <class TRun> bool TLayout::Joins(const TRun &left, const TRun &right, qsizetype base) const
{
    if (left.PerCharacter || right.PerCharacter || !(left.Font == right.Font) ||
        right.End - base > kMaxRunChars || left.Segment == right.Segment)
        return false;
    const TSegment &a = FSegments[left.Segment], &b = FSegments[right.Segment];
    if (a.Path != b.Path)
        return false;
    float v = 0;
    for (auto list : {&TLists::X, &TLists::Y, &TLists::DX, &TLists::DY})
        if (Lookup(right.Segment, right.Start, list, v))
            return false;
    const auto lines = [&](const TSegment &s) {
        std::vector<std::pair<const TSVGGraphicElement *, int>> out;
        for (const TSVGTextDecoration &d : Decorations(*s.Styled, FRoot))
            out.emplace_back(d.Paint, d.Kinds);
        return out;
    };
    return lines(a) == lines(b);
}

std::vector<TSVGTextPiece> TLayout::Run()
{
    FStack.clear();
    Walk(FRoot, nullptr, 0);
    Finish();
    FVertical = SVGWritingModeIsVertical(InheritedValue(FRoot, u"writing-mode"));
    const qsizetype n = FText.size();
    FX.assign(size_t(n), 0);
    FY.assign(size_t(n), 0);
    FAdvance.assign(size_t(n), 0);
    FRotate.assign(size_t(n), 0);
    FStretch.assign(size_t(n), 1);
    FLetter.assign(size_t(n), 0);
    FChunk.assign(size_t(n), 0);
    FBreak.assign(size_t(n), 0);
    FSegmentOf.assign(size_t(n), 0);
    FAfterX.assign(size_t(n), -1);
    FJoined.assign(size_t(n), 0);
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, FText);
    for (qsizetype i = 1; i < n; ++i) {
        clusters.setPosition(i);
        FJoined[size_t(i)] = !clusters.isAtBoundary();
    }
    FAfterY.assign(size_t(n), -1);

    // Shaping: one run per segment, cut when long.
    struct TShaping {
        qsizetype Start = 0, End = 0;
        size_t Segment = 0;
        TShapedRun Run;
        TCanvasFont Font;
        bool PerCharacter = false;
        // Where Run's text starts: runs of one font in a row share a shaped run, so that
        // kerning and the bidirectional order hold across the spans that cut them.
        qsizetype Base = 0;
        bool Shared = false;
    };
    std::vector<TShaping> runs;
    for (size_t s = 0; s < FSegments.size(); ++s) {
        const qsizetype end = s + 1 < FSegments.size() ? FSegments[s + 1].Start : n;
        const bool perCharacter = PerCharacter(s, end);
        const qsizetype most = perCharacter ? kMaxPlacedRunChars : kMaxRunChars;
        for (qsizetype start = FSegments[s].Start; start < end;) {
            qsizetype stop = std::min(end, start + most);
            // In a column, upright characters are placed one by one, turned ones together.
            const bool upright = FVertical && SVGVerticalUprightAt(FText, start);
            const qsizetype turn = FVertical ? SVGVerticalOrientationEnd(FText, start, stop) : stop;
            if (upright && !perCharacter && turn > start + kMaxPlacedRunChars)
                stop = start + kMaxPlacedRunChars;
            else if (turn < stop)
                stop = turn;
            else if (stop < end) {
                // Only the run's second half is searched: a text without spaces costs no more.
                const qsizetype half = start + most / 2;
                const qsizetype space = QStringView(FText).mid(half, stop - half).lastIndexOf(QLatin1Char(' '));
                if (space > 0)
                    stop = half + space + 1;
            }
            if (stop < end && stop - 1 > start && FText.at(stop - 1).isHighSurrogate())
                --stop;
            // An absolute position starts a text chunk, which is shaped on its own.
            for (qsizetype i = start + 1; i < stop; ++i) {
                float v = 0;
                if (Lookup(s, i, &TLists::X, v) || Lookup(s, i, &TLists::Y, v)) {
                    stop = i;
                    break;
                }
            }
            for (qsizetype i = start; i < stop; ++i)
                FSegmentOf[size_t(i)] = s;
            runs.push_back({start, stop, s, {}, {}, perCharacter || upright, start, false});
            start = stop;
        }
    }
    for (TShaping &r : runs) {
        const TSVGGraphicElement &styled = *FSegments[r.Segment].Styled;
        r.Font = SVGResolveFont(styled);
        r.Font.Underline = r.Font.StrikeOut = r.Font.Overline = false;
        r.Font.RightToLeft = InheritedValue(styled, u"direction") == QLatin1String("rtl");
    }
    for (size_t first = 0; first < runs.size();) {
        size_t last = first;
        while (last + 1 < runs.size() && Joins(runs[last], runs[last + 1], runs[first].Start))
            ++last;
        const qsizetype base = runs[first].Start;
        const TShapedRun shaped(runs[first].Font, FText.mid(base, runs[last].End - base));
        for (size_t k = first; k <= last; ++k) {
            runs[k].Run = shaped;
            runs[k].Base = base;
            runs[k].Shared = last > first;
        }
        first = last + 1;
    }

    float cx = 0, cy = 0;
    int chunk = 0;
    const TSVGText *lastPath = nullptr;
    qsizetype pathStart = 0;
    int afterX = -1, afterY = -1;
    for (TShaping &r : runs) {
        const TSegment &segment = FSegments[r.Segment];
        const TSVGGraphicElement &styled = *segment.Styled;
        const float letter = Spacing(styled, u"letter-spacing"), word = Spacing(styled, u"word-spacing");
        const TFontLines lines = TTextMetrics::FontLines(r.Font);
        const float shift = FVertical ? 0.0f : Shift(styled, lines);
        const bool perCharacter = r.PerCharacter;
        const auto along = FVertical ? &TLists::Y : &TLists::X, across = FVertical ? &TLists::X : &TLists::Y;
        const auto alongBy = FVertical ? &TLists::DY : &TLists::DX, acrossBy = FVertical ? &TLists::DX : &TLists::DY;
        if (segment.Path != lastPath) {
            // A textPath starts a chunk of its own at its start offset; the text after it
            // goes on from where it ended.
            cx = 0;
            cy = 0;
            afterX = afterY = -1;
            if (lastPath && !segment.Path) {
                FAfter.push_back({lastPath, pathStart, r.Start - 1});
                afterX = afterY = int(FAfter.size()) - 1;
            }
            if (segment.Path) {
                pathStart = r.Start;
                QString offset;
                if (segment.Path->XMLAttribute(u"startOffset", offset)) {
                    bool isPercent = false;
                    const float f = ParseFraction(offset, isPercent, Factors(*segment.Path), 0);
                    cx = isPercent ? f * float(PathOf(*segment.Path).Length()) : f;
                }
            }
            ++chunk;
            lastPath = segment.Path;
        }
        // An absolute position starts a chunk, and runs are cut there: only a run's first
        // character may have one, which goes before any other is placed.
        float x = 0, y = 0;
        const bool hasX = Lookup(r.Segment, r.Start, along, x);
        const bool hasY = Lookup(r.Segment, r.Start, across, y);
        if ((hasX || hasY) && r.Start > 0)
            ++chunk;
        if (hasX) {
            cx = x;
            afterX = -1;
        }
        if (hasY && !segment.Path) {
            cy = y;
            afterY = -1;
        }
        for (const qsizetype i : PlacingOrder(r.Start, r.End, perCharacter ? &r.Run : nullptr, letter)) {
            const size_t k = size_t(i);
            float dx = 0, dy = 0;
            // The characters after the first of a cluster (a surrogate pair's low half, the
            // marks on a letter) go where their first goes, turned with it.
            const bool joined = i > r.Start && FJoined[k];
            const bool placed = (perCharacter || i == r.Start) && !joined;
            const bool hasDX = placed && Lookup(r.Segment, i, alongBy, dx);
            const bool hasDY = placed && Lookup(r.Segment, i, acrossBy, dy);
            FAfterX[k] = afterX;
            FAfterY[k] = afterY;
            cx += dx;
            cy += dy;
            // Rotations and letter-spacing are known for the whole run (PlacingOrder): a
            // piece ends where either changes.
            FBreak[k] = FBreak[k] || i == r.Start ||
                        (!joined && (hasDX || hasDY || FRotate[k] != 0 ||
                                     (i > r.Start && FRotate[k - 1] != 0) || segment.Path ||
                                     (word != 0 && (FText.at(i) == QLatin1Char(' ') ||
                                                    (i > r.Start && FText.at(i - 1) == QLatin1Char(' '))))));
            FChunk[k] = chunk;
            if (joined) {
                FX[k] = FX[k - 1];
                FY[k] = FY[k - 1];
                continue;
            }
            FX[k] = cx;
            FY[k] = cy + shift;
            float advance = 0;
            if (perCharacter) {
                if (FVertical) {
                    qsizetype next = i + 1;
                    while (next < r.End && FJoined[size_t(next)])
                        ++next;
                    advance = SVGVerticalAdvance(r.Run, i - r.Base, next - i, r.Font);
                } else {
                    const auto [left, right] = r.Run.Edges(i - r.Base);  // the whole cluster's
                    advance = right - left;
                }
                if (advance > 0 || FText.at(i) == QLatin1Char(' '))
                    advance += FLetter[k];
                else
                    FLetter[k] = 0;
                if (FText.at(i) == QLatin1Char(' '))
                    advance += word;
            } else if (i == r.Base) {
                advance = r.Run.Width();  // a shared run's whole width goes to its first part
            }
            FAdvance[k] = advance;
            cx += advance;
        }
    }
    ApplyTextLength();
    ApplyAnchors();
    ApplyAfterPaths();

    // Pieces: characters of one run in a row that keep their shaped places.
    std::vector<TSVGTextPiece> pieces;
    pieces.reserve(size_t(std::count(FBreak.begin(), FBreak.end(), 1)));
    for (const TShaping &r : runs) {
        if (r.Font.Size <= 0)
            continue;
        const auto decorations =
            std::make_shared<const std::vector<TSVGTextDecoration>>(Decorations(*FSegments[r.Segment].Styled, FRoot));
        const TFontLines lines = TTextMetrics::FontLines(r.Font);
        const float shift = FVertical ? Shift(*FSegments[r.Segment].Styled, lines) : 0.0f;
        const bool upright = FVertical && SVGVerticalUprightAt(FText, r.Start);
        for (qsizetype i = r.Start; i < r.End;) {
            qsizetype end = i + 1;
            while (end < r.End && !FBreak[size_t(end)])
                ++end;
            TSVGTextPiece p;
            p.Styled = FSegments[r.Segment].Styled;
            p.Font = r.Font;
            p.Lines = lines;
            p.Run = r.Run;
            p.From = i - r.Base;
            p.Length = end - i;
            // Placed one by one, the piece starts at its leftmost character: its first for
            // left-to-right text, its last for right-to-left.
            size_t at = size_t(i);
            if (r.PerCharacter && !FVertical) {
                p.Left = Extent(r.Run, r.Base, i, end).first;
                for (qsizetype k = i + 1; k < end; ++k)
                    if (FX[size_t(k)] < FX[at])
                        at = size_t(k);
            }
            for (qsizetype k = i; k < end; ++k)
                p.Advance += FAdvance[size_t(k)];
            if (end == n || FChunk[size_t(end)] != FChunk[size_t(end - 1)])
                p.Trail = FLetter[size_t(end - 1)];
            if (const TSVGText *path = FSegments[r.Segment].Path) {
                // Along a path: the glyph's middle on the path, the glyph turned with it.
                const TSVGTextPathGeometry &flat = PathOf(*path);
                QPointF point;
                double angle = 0;
                // The glyph's own advance, without the spacing after it, finds its middle; in
                // a column the path runs down it.
                const float half = (FVertical ? SVGVerticalAdvance(r.Run, p.From, p.Length, r.Font)
                                              : std::abs(r.Run.CaretX(p.From + p.Length) - r.Run.CaretX(p.From))) *
                                   FStretch[size_t(i)] / 2;
                if (flat.At(double(FX[at]) + half, point, angle)) {
                    // A rotation of its own turns the glyph about its origin, as off a path.
                    p.Place.translate(point.x(), point.y());
                    p.Place.rotate(angle);
                    p.Place.translate(-half, FVertical ? shift - FY[size_t(i)] : FY[size_t(i)]);
                    p.Place.rotate(FRotate[size_t(i)]);
                    p.Place.scale(FStretch[size_t(i)], 1);
                    if (FVertical) {
                        p.Upright = upright;
                        p.Left = upright ? 0.0f : r.Run.Span(p.From, p.Length).first;
                    }
                    p.Decorations = decorations;
                    pieces.push_back(std::move(p));
                }
                i = end;
                continue;
            }
            if (FVertical) {
                p.Upright = upright;
                if (r.PerCharacter && !upright)
                    p.Left = r.Run.Span(p.From, p.Length).first;
                const bool shared = r.Shared && !r.PerCharacter;
                p.Place = SVGVerticalPlace(FY[size_t(i)], FX[size_t(shared ? r.Base : i)], FRotate[size_t(i)], shift,
                                           FStretch[size_t(i)], upright);
                if (shared)
                    p.Reach = r.Run.Width();
                p.Decorations = decorations;
                pieces.push_back(std::move(p));
                i = end;
                continue;
            }
            // The parts of a shared run keep the places the whole run gives their glyphs.
            const bool shared = r.Shared && !r.PerCharacter;
            p.Place.translate(FX[shared ? size_t(r.Base) : at], FY[size_t(i)]);
            if (shared)
                p.Reach = r.Run.Width();
            p.Place.rotate(FRotate[size_t(i)]);
            p.Place.scale(FStretch[size_t(i)], 1);
            p.Decorations = decorations;
            pieces.push_back(std::move(p));
            i = end;
        }
    }
    return pieces;
}

void TLayout::ApplyTextLength()
{
    for (const TLists *l : FOrder) {
        QString v;
        // Characters in several chunks lie on no one line to fit: their length is ignored.
        if (!l->Element->XMLAttribute(u"textLength", v) || l->Start >= l->End ||
            FChunk[size_t(l->Start)] != FChunk[size_t(l->End - 1)])
            continue;
        bool isPercent = false;
        const float f = ParseFraction(v, isPercent, Factors(*l->Element), std::nanf(""));
        const float target = l->Element->ResolvePercent(f, isPercent, TSVGAxis::Horizontal);
        if (!std::isfinite(target) || target < 0)
            continue;
        QString how;
        const bool glyphs = l->Element->XMLAttribute(u"lengthAdjust", how) &&
                            how.trimmed() == QLatin1String("spacingAndGlyphs");
        const size_t s = size_t(l->Start), e = size_t(l->End);
        float left = FX[s], right = FX[s];
        size_t count = 0;
        for (size_t k = s; k < e; ++k) {
            left = std::min(left, FX[k]);
            right = std::max(right, FX[k] + FAdvance[k]);
            count += FAdvance[k] != 0;
        }
        const float actual = right - left;
        if (actual <= 0 || count == 0)
            continue;
        const float extra = target - actual;
        if (glyphs) {
            const float factor = target / actual;
            for (size_t k = s; k < e; ++k) {
                FX[k] = left + (FX[k] - left) * factor;
                FAdvance[k] *= factor;
                FStretch[k] *= factor;
            }
        } else {
            // The gaps go between the glyphs from left to right (right-to-left text was
            // placed leftwards); a character of no advance moves with the one before it.
            const float gap = count > 1 ? extra / float(count - 1) : 0.0f;
            std::vector<size_t> glyphs;
            glyphs.reserve(count);
            for (size_t k = s; k < e; ++k)
                if (FAdvance[k] != 0)
                    glyphs.push_back(k);
            std::stable_sort(glyphs.begin(), glyphs.end(), [&](size_t a, size_t b) { return FX[a] < FX[b]; });
            std::vector<float> moved(e - s, 0.0f);
            for (size_t rank = 0; rank < glyphs.size(); ++rank)
                moved[glyphs[rank] - s] = gap * float(rank);
            for (size_t k = s; k < e; ++k) {
                if (FAdvance[k] == 0 && k > s)
                    moved[k - s] = moved[k - s - 1];
                FBreak[k] = FBreak[k] || (k > s && FAdvance[k] != 0);
                FX[k] += moved[k - s];
            }
        }
        for (size_t k = e; k < FX.size() && FChunk[k] == FChunk[e - 1]; ++k)
            FX[k] += extra;
    }
}

void TLayout::ApplyAnchors()
{
    // text-anchor per chunk, from the element of the chunk's first character.
    const size_t n = FX.size();
    for (size_t first = 0; first < n;) {
        size_t last = first;
        while (last + 1 < n && FChunk[last + 1] == FChunk[first])
            ++last;
        // The chunk spans its glyphs from the leftmost (its last character when it runs
        // right to left) to the rightmost; the spacing after that one is not part of it.
        float left = FX[first], right = FX[first], trail = 0;
        for (size_t k = first; k <= last; ++k) {
            left = std::min(left, FX[k]);
            if (FX[k] + FAdvance[k] >= right) {
                right = FX[k] + FAdvance[k];
                trail = FLetter[k];
            }
        }
        const TSVGTextAlign align = FSegments[FSegmentOf[first]].Styled->TextAlign();
        const float width = right - trail - left;
        const float shift = align == staCenter ? -width / 2 : align == staTrailing ? -width : 0.0f;
        if (shift != 0)
            for (size_t k = first; k <= last; ++k)
                FX[k] += shift;
        first = last + 1;
    }
}

void TLayout::ApplyAfterPaths()
{
    for (size_t a = 0; a < FAfter.size(); ++a) {
        const TAfterPath &after = FAfter[a];
        const TSVGTextPathGeometry &path = PathOf(*after.Path);
        // Level from the middle of the path's last glyph by its advance, then the spaces
        // that end the path's text: where the best renderers go on, half a glyph past the
        // glyph's own end.
        float trailing = 0;
        qsizetype j = after.Last;
        for (; j >= after.First && FText.at(j) == QLatin1Char(' '); --j)
            trailing += FAdvance[size_t(j)];
        QPointF end;
        for (; j >= after.First; --j) {
            const size_t k = size_t(j);
            QPointF point;
            double angle = 0;
            if (FAdvance[k] != 0 && path.At(double(FX[k] + (FAdvance[k] - FLetter[k]) / 2), point, angle)) {
                end = point + QPointF(FAdvance[k] + trailing, 0);
                break;
            }
        }
        const int id = int(a);
        for (size_t k = size_t(after.Last) + 1; k < FX.size() && (FAfterX[k] == id || FAfterY[k] == id); ++k) {
            if (FAfterX[k] == id)
                FX[k] += float(end.x());
            if (FAfterY[k] == id)
                FY[k] += float(end.y());
        }
    }
}

// How far down the glyphs of an element move from the text's baseline; a column's line is
// the central baseline unless the element aligns on another.
float TLayout::Shift(const TSVGGraphicElement &styled, const TFontLines &lines) const
{
    float offset = BaselineOffset(styled, lines);
    if (FVertical && offset == 0)
        offset = SVGVerticalCentral(lines);
    return offset + BaselineShift(styled, FRoot);
}

const TSVGTextPathGeometry &TLayout::PathOf(const TSVGText &textPath)
{
    auto it = FPaths.find(&textPath);
    if (it == FPaths.end())
        it = FPaths.emplace(&textPath, TSVGTextPathGeometry(textPath)).first;
    return it->second;
}

} // namespace

std::vector<TSVGTextPiece> SVGLayOutText(const TSVGText &text)
{
    TLayout layout(text);
    return layout.Run();
}

QPainterPath SVGTextPieceOutline(const TSVGTextPiece &piece)
{
    if (piece.Upright)
        return piece.Place.map(
            SVGVerticalUprightOutline(piece.Run, piece.From, piece.Length, piece.Font, piece.Lines));
    return (QTransform::fromTranslate(-piece.Left, 0) * piece.Place).map(piece.Run.Outline(piece.From, piece.Length));
}

QPolygonF SVGTextPieceBox(const TSVGTextPiece &piece, bool reach)
{
    const TFontLines &lines = piece.Lines;
    const float width = reach ? std::max(piece.Advance, piece.Reach) : piece.Advance - piece.Trail;
    return piece.Place.map(QPolygonF(QRectF(0, -lines.Ascent, width, lines.Ascent + lines.Descent)));
}

QPainterPath SVGTextPieceLines(const TSVGTextPiece &piece, TSVGTextLineKind kind)
{
    const TFontLines &lines = piece.Lines;
    const float y = kind == tlkUnderline  ? lines.UnderlinePosition
                    : kind == tlkOverline ? -lines.Ascent
                                          : -lines.StrikeOutPosition;
    const float thickness = kind == tlkLineThrough ? lines.StrikeOutThickness : lines.Thickness;
    QPainterPath out;
    out.addRect(QRectF(0, y - thickness / 2, piece.Advance, thickness));
    return piece.Place.map(out);
}





