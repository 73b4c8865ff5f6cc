#include "svg/render/text_metrics.h"

#include "svg/render/font_instance.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QCache>
#include <QMutex>
#include <QTextLayout>
#include <QRawFont>
#include <QTextLine>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>
#include <optional>
#include <memory>
#include <utility>

namespace {

// Glyphs are shaped at this pixel size and scaled to the size asked for.
constexpr float kReferenceSize = 256;

struct TFamilySettings {
    QMutex Lock;
    QString Default;
    QString Fallback;
    QHash<QString, QString> Generic;
    int Generation = 0;
};

TFamilySettings &Settings()
{
    static TFamilySettings s;
    return s;
}

struct TFontEntry {
    QFont Font;
    std::unique_ptr<QFontMetricsF> Metrics;
    // Outlines at the reference size by text: documents are drawn again and again with
    // the same strings, and taking glyphs from the font is the costly part of text.
    QCache<QString, QPainterPath> Outlines{2048};
    // Shaped runs by text, for the same reason.
    QCache<QString, TShapedRun> Shaped{4096};
    std::optional<TFontLines> Lines;  // at the reference size
    // Whether HarfBuzz shapes the runs (a variable font, or small capitals of the font's
    // own): known from the first run on.
    std::optional<bool> HarfBuzz;
};

QString VariationsKey(const std::vector<TFontVariation> &variations)
{
    QString out;
    for (const TFontVariation &v : variations)
        out += QLatin1Char('|') + QString::number(v.Tag, 16) + QLatin1Char('=') + QString::number(v.Value);
    return out;
}

QString CacheKey(const TCanvasFont &f)
{
    return f.Family + QLatin1Char('|') + QLatin1Char(f.Bold ? 'b' : '-') +
           QLatin1Char(f.Italic ? 'i' : '-') + QLatin1Char(f.Underline ? 'u' : '-') +
           QLatin1Char(f.StrikeOut ? 's' : '-') + QLatin1Char(f.Kerning ? 'k' : '-') +
           QLatin1Char(f.SmallCaps ? 'c' : '-') + QLatin1Char(f.RightToLeft ? 'r' : '-') +
           QString::number(f.Weight) + QLatin1Char('|') + QString::number(f.Stretch) +
           QLatin1Char(f.Oblique ? 'o' : '-') + VariationsKey(f.Variations);
}

// The weight CSS font matching picks among a family's faces for a wanted weight: up to
// 500 the nearest lighter (then heavier) one, from 400 to 500 first 500, above 500 the
// nearest heavier (then lighter) one. The system's matcher picks the nearest either way.
int MatchWeight(const QStringList &families, int wanted, bool italic)
{
    QList<int> weights;
    for (const QString &family : families) {
        for (const QString &style : QFontDatabase::styles(family))
            if (QFontDatabase::italic(family, style) == italic)
                weights << QFontDatabase::weight(family, style);
        if (!weights.isEmpty())
            break;
    }
    if (weights.isEmpty())
        return wanted;
    std::sort(weights.begin(), weights.end());
    if (weights.contains(wanted))
        return wanted;
    const auto below = [&](int limit) {
        int best = -1;
        for (int w : weights)
            if (w <= limit)
                best = w;
        return best;
    };
    const auto above = [&](int limit) {
        for (int w : weights)
            if (w >= limit)
                return w;
        return -1;
    };
    int pick = -1;
    if (wanted > 500) {
        pick = above(wanted);
        if (pick < 0)
            pick = below(wanted);
    } else {
        if (wanted >= 400 && weights.contains(500))
            return 500;
        pick = below(wanted);
        if (pick < 0)
            pick = above(wanted);
    }
    return pick < 0 ? wanted : pick;
}

// Fonts are per thread: the background renderer lays out text on its own thread.
TFontEntry &Entry(const TCanvasFont &f)
{
    thread_local QHash<QString, std::shared_ptr<TFontEntry>> cache;
    thread_local int generation = -1;
    {
        TFamilySettings &s = Settings();
        QMutexLocker lock(&s.Lock);
        if (generation != s.Generation) {
            cache.clear();
            generation = s.Generation;
        }
    }
    const QString key = CacheKey(f);
    auto it = cache.find(key);
    if (it != cache.end())
        return **it;
    auto e = std::make_shared<TFontEntry>();
    QStringList families = TTextMetrics::Families(f.Family);
    {
        TFamilySettings &s = Settings();
        QMutexLocker lock(&s.Lock);
        // Text that names families of which the system has none takes the fallback.
        const QString &last =
            !s.Fallback.isEmpty() && !families.isEmpty() &&
                    std::none_of(families.begin(), families.end(), [](const QString &name) {
                        return QFontDatabase::hasFamily(name);
                    })
                ? s.Fallback
                : s.Default;
        if (!last.isEmpty() && !families.contains(last))
            families << last;
    }
    if (!families.isEmpty())
        e->Font.setFamilies(families);
    e->Font.setPixelSize(int(kReferenceSize));
    if (f.Weight > 0)
        e->Font.setWeight(QFont::Weight(MatchWeight(families, std::clamp(f.Weight, 1, 1000), f.Italic)));
    else
        e->Font.setBold(f.Bold);
    e->Font.setKerning(f.Kerning);
    if (f.SmallCaps)
        e->Font.setCapitalization(QFont::SmallCaps);
    e->Font.setItalic(f.Italic);
    e->Font.setUnderline(f.Underline);
    e->Font.setStrikeOut(f.StrikeOut);
    e->Font.setHintingPreference(QFont::PreferNoHinting);
    e->Font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferOutline | QFont::ForceOutline));
    e->Metrics = std::make_unique<QFontMetricsF>(e->Font);
    return **cache.insert(key, e);
}

float Scale(const TCanvasFont &f)
{
    return f.Size / kReferenceSize;
}

} // namespace

namespace TTextMetrics {

void SetDefaultFamily(const QString &family)
{
    TFamilySettings &s = Settings();
    QMutexLocker lock(&s.Lock);
    s.Default = family;
    ++s.Generation;
}

void SetFallbackFamily(const QString &family)
{
    TFamilySettings &s = Settings();
    QMutexLocker lock(&s.Lock);
    s.Fallback = family;
    ++s.Generation;
}

void SetGenericFamily(const QString &generic, const QString &family)
{
    TFamilySettings &s = Settings();
    QMutexLocker lock(&s.Lock);
    s.Generic.insert(generic.toLower(), family);
    ++s.Generation;
}

int AddFontFolder(const QString &folder)
{
    QDir dir(folder);
    QStringList found;
    const QStringList files =
        dir.entryList({QStringLiteral("*.ttf"), QStringLiteral("*.otf"), QStringLiteral("*.ttc")},
                      QDir::Files, QDir::Name);
    for (const QString &file : files) {
        const int id = QFontDatabase::addApplicationFont(dir.filePath(file));
        if (id >= 0)
            for (const QString &family : QFontDatabase::applicationFontFamilies(id))
                if (!found.contains(family))
                    found << family;
    }
    TFamilySettings &s = Settings();
    QMutexLocker lock(&s.Lock);
    ++s.Generation;
    return int(found.size());
}

QStringList Families(const QString &cssList)
{
    QStringList out;
    TFamilySettings &s = Settings();
    QMutexLocker lock(&s.Lock);
    QString current;
    QChar quote;
    bool quoted = false;
    const auto finish = [&] {
        // Unquoted, a name is a run of words joined by single spaces; only an unquoted
        // name can be generic: "'serif'" is a family that happens to be called serif.
        const QString name = quoted ? current : current.simplified();
        current.clear();
        const bool wasQuoted = std::exchange(quoted, false);
        if (name.isEmpty())
            return;
        if (!wasQuoted) {
            const auto generic = s.Generic.constFind(name.toLower());
            if (generic != s.Generic.constEnd()) {
                if (!generic->isEmpty())
                    out << *generic;
                return;
            }
        }
        out << name;
    };
    for (const QChar c : cssList) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                current.append(c);
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            quoted = true;
            current.clear();  // only blanks can stand before the quote
        } else if (c == QLatin1Char(',')) {
            finish();
        } else if (!quoted) {
            current.append(c);
        }
    }
    finish();
    return out;
}

TFontLines FontLines(const TCanvasFont &font)
{
    TFontEntry &e = Entry(font);
    if (!e.Lines) {
        const QFontMetricsF &m = *e.Metrics;
        TFontLines l;
        l.Ascent = float(m.ascent());
        l.Descent = float(m.descent());
        l.XHeight = float(m.xHeight());
        l.UnderlinePosition = float(m.underlinePos());
        l.StrikeOutPosition = float(m.strikeOutPos());
        l.Thickness = float(m.lineWidth());
        // The font's own lines (post and OS/2 tables) where it has them.
        l.StrikeOutThickness = l.Thickness;
        l.SubscriptOffset = 0.2f * kReferenceSize;
        l.SuperscriptOffset = 0.34f * kReferenceSize;
        const QRawFont raw = QRawFont::fromFont(e.Font);
        if (raw.isValid() && raw.unitsPerEm() > 0) {
            const auto reader = [&](const QByteArray &table) {
                return [&table, &raw](int offset) {
                    return float(qFromBigEndian<qint16>(table.constData() + offset)) * kReferenceSize /
                           float(raw.unitsPerEm());
                };
            };
            const QByteArray os2 = raw.fontTable("OS/2"), post = raw.fontTable("post");
            if (os2.size() >= 30) {
                const auto at = reader(os2);
                l.SubscriptOffset = at(16);
                l.SuperscriptOffset = at(24);
                l.StrikeOutThickness = at(26);
                l.StrikeOutPosition = at(28);
            }
            if (post.size() >= 12) {
                const auto at = reader(post);
                l.UnderlinePosition = -at(8);
                l.Thickness = at(10);
            }
        }
        e.Lines = l;
    }
    const float k = Scale(font);
    TFontLines l = *e.Lines;
    for (float *v : {&l.Ascent, &l.Descent, &l.XHeight, &l.UnderlinePosition, &l.StrikeOutPosition,
                     &l.Thickness, &l.StrikeOutThickness, &l.SubscriptOffset, &l.SuperscriptOffset})
        *v *= k;
    return l;
}

float Ascent(const TCanvasFont &font)
{
    return float(Entry(font).Metrics->ascent()) * Scale(font);
}

float Descent(const TCanvasFont &font)
{
    return float(Entry(font).Metrics->descent()) * Scale(font);
}

float Advance(const TCanvasFont &font, const QString &text)
{
    if (text.isEmpty())
        return 0;
    return float(Entry(font).Metrics->horizontalAdvance(text)) * Scale(font);
}

std::vector<TTextLine> Lines(const TCanvasFont &font, const QString &text, float maxWidth)
{
    std::vector<TTextLine> out;
    const TFontEntry &e = Entry(font);
    const float k = Scale(font);
    QString content = text;
    content.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(content, e.Font);
    QTextOption option;
    option.setWrapMode(maxWidth >= 0 ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                     : QTextOption::ManualWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(maxWidth >= 0 ? qreal(maxWidth / k) : 1e9);
        QString part = content.mid(line.textStart(), line.textLength());
        while (!part.isEmpty() && (part.back().isSpace() || part.back() == QChar::LineSeparator))
            part.chop(1);
        out.push_back({part, float(e.Metrics->horizontalAdvance(part)) * k});
    }
    layout.endLayout();
    return out;
}

QPainterPath Outline(const TCanvasFont &font, const QString &text, const QPointF &origin)
{
    QPainterPath path;
    if (text.isEmpty())
        return path;
    TFontEntry &e = Entry(font);
    if (const QPainterPath *cached = e.Outlines.object(text)) {
        path = *cached;
    } else {
        path.addText(QPointF(0, 0), e.Font, text);
        e.Outlines.insert(text, new QPainterPath(path), std::max<qsizetype>(1, text.size()));
    }
    const float k = Scale(font);
    if (font.Overline) {
        const qreal w = e.Metrics->horizontalAdvance(text);
        const qreal t = e.Metrics->lineWidth();
        path.addRect(QRectF(0, -e.Metrics->ascent(), w, t));
    }
    QTransform t;
    t.translate(origin.x(), origin.y());
    t.scale(k, k);
    QPainterPath out = t.map(path);
    out.setFillRule(Qt::WindingFill);
    return out;
}

} // namespace TTextMetrics

struct TShapedRun::TData {
    QString Text;
    QTextLayout Layout;
    QTextLine Line;
    float Width = 0;  // at the reference size
    bool RightToLeft = false;
    // A run HarfBuzz shaped: its glyphs as placed on Instance, in the place of Layout.
    std::shared_ptr<const TFontInstance> Instance;
    std::vector<TShapedGlyph> Glyphs;
    bool Bidirectional = false;  // a right-to-left paragraph or right-to-left letters in it
    // Of a bidirectional run, measured once when first asked: per UTF-16 position the least
    // and greatest pen position of its glyphs (Low > High without glyphs), and every
    // glyph's pen position in order.
    mutable std::once_flag PensMeasured;
    mutable std::vector<qreal> Low, High, Pens;
};

namespace {

bool ShapedByHarfBuzz(TFontEntry &e, const TCanvasFont &font)
{
    if (!e.HarfBuzz)
        e.HarfBuzz = TFontInstance::Find(QRawFont::fromFont(e.Font), font, kReferenceSize) != nullptr;
    return *e.HarfBuzz;
}

} // namespace

TShapedRun::TShapedRun(const TCanvasFont &font, const QString &text)
{
    TFontEntry &e = Entry(font);
    FScale = Scale(font);
    // A variable font's optical size follows the font size, so its runs are shaped per size.
    const bool harfBuzz = ShapedByHarfBuzz(e, font);
    const QString key = harfBuzz ? text + QChar(0) + QString::number(font.Size) : text;
    if (const TShapedRun *cached = e.Shaped.object(key)) {
        FData = cached->FData;
        return;
    }
    auto d = std::make_shared<TData>();
    d->Text = text;
    if (harfBuzz)
        d->Instance = TFontInstance::Find(QRawFont::fromFont(e.Font), font, kReferenceSize);
    if (d->Instance) {
        d->Glyphs = d->Instance->Shape(text);
        for (const TShapedGlyph &g : d->Glyphs)
            d->Width += g.Advance;
        d->RightToLeft = d->Glyphs.size() > 1 && d->Glyphs.front().Cluster > d->Glyphs.back().Cluster;
        FData = d;
        e.Shaped.insert(key, new TShapedRun(*this), std::max<qsizetype>(1, text.size()));
        return;
    }
    d->Bidirectional = font.RightToLeft || std::any_of(text.begin(), text.end(), [](QChar c) {
                           const QChar::Direction dir = c.direction();
                           return dir == QChar::DirR || dir == QChar::DirAL || dir == QChar::DirRLE ||
                                  dir == QChar::DirRLO || dir == QChar::DirRLI;
                       });
    d->Layout.setText(text);
    d->Layout.setFont(e.Font);
    // The paragraph's direction is the document's, never guessed from the text: an
    // Arabic sentence in a left-to-right text keeps its parts in left-to-right order.
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(font.RightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    d->Layout.setTextOption(option);
    d->Layout.setCacheEnabled(true);
    d->Layout.beginLayout();
    d->Line = d->Layout.createLine();
    if (d->Line.isValid())
        d->Line.setLineWidth(1e9);
    d->Layout.endLayout();
    if (d->Line.isValid()) {
        d->Width = float(d->Line.naturalTextWidth());
        d->RightToLeft = d->Line.cursorToX(0) > d->Line.cursorToX(int(text.size()));
    }
    FData = d;
    e.Shaped.insert(key, new TShapedRun(*this), std::max<qsizetype>(1, text.size()));
}

std::pair<float, float> TShapedRun::GlyphSpan(qsizetype from, qsizetype length) const
{
    // A cluster's glyphs all carry the position of its first character.
    qsizetype first = -1;
    for (const TShapedGlyph &g : FData->Glyphs)
        if (g.Cluster <= from)
            first = std::max(first, g.Cluster);
    if (first < 0)
        first = from;
    float left = 0, right = 0;
    bool any = false;
    for (const TShapedGlyph &g : FData->Glyphs)
        if (g.Cluster >= first && g.Cluster < from + length) {
            left = any ? std::min(left, g.X) : g.X;
            right = any ? std::max(right, g.X + g.Advance) : g.X + g.Advance;
            any = true;
        }
    if (!any)
        return {GlyphCaretX(from), GlyphCaretX(from)};
    return {left * FScale, right * FScale};
}

float TShapedRun::GlyphCaretX(qsizetype position) const
{
    // Left to right the caret stands where the first glyph of a later character starts,
    // right to left where it ends; past the run's end, at the run's far side.
    const bool rtl = FData->RightToLeft;
    std::optional<float> x;
    for (const TShapedGlyph &g : FData->Glyphs) {
        if (g.Cluster < position)
            continue;
        const float edge = rtl ? g.X + g.Advance : g.X;
        x = x ? (rtl ? std::max(*x, edge) : std::min(*x, edge)) : edge;
    }
    return (x ? *x : rtl ? 0.0f : FData->Width) * FScale;
}

QPainterPath TShapedRun::GlyphOutline(qsizetype from, qsizetype length) const
{
    QPainterPath out;
    for (const TShapedGlyph &g : FData->Glyphs)
        if (g.Cluster >= from && g.Cluster < from + length && !FData->Instance->Bitmap(g.Index))
            out.addPath(FData->Instance->Outline(g.Index).translated(g.X, g.Y));
    QTransform t;
    t.scale(FScale, FScale);
    out = t.map(out);
    out.setFillRule(Qt::WindingFill);
    return out;
}

std::vector<TGlyphBitmap> TShapedRun::Bitmaps(qsizetype from, qsizetype length) const
{
    std::vector<TGlyphBitmap> out;
    if (!FData || !FData->Instance)
        return out;
    for (const TShapedGlyph &g : FData->Glyphs)
        if (g.Cluster >= from && g.Cluster < from + length)
            if (const auto bitmap = FData->Instance->Bitmap(g.Index)) {
                const QRectF box = bitmap->Box.translated(g.X, g.Y);
                out.push_back({bitmap->Image, QRectF(box.topLeft() * FScale, box.size() * FScale)});
            }
    return out;
}

const QString &TShapedRun::Text() const
{
    static const QString empty;
    return FData ? FData->Text : empty;
}

float TShapedRun::Width() const
{
    return FData ? FData->Width * FScale : 0.0f;
}

bool TShapedRun::RightToLeft() const
{
    return FData && FData->RightToLeft;
}

float TShapedRun::CaretX(qsizetype position) const
{
    if (FData && FData->Instance)
        return GlyphCaretX(position);
    if (!FData || !FData->Line.isValid())
        return 0;
    return float(FData->Line.cursorToX(int(position))) * FScale;
}

std::pair<float, float> TShapedRun::Edges(qsizetype position) const
{
    if (FData && FData->Instance)
        return GlyphSpan(position, 1);
    if (!FData || !FData->Line.isValid())
        return {0.0f, 0.0f};
    int at = int(position);
    const float a = float(FData->Line.cursorToX(&at, QTextLine::Leading)) * FScale;
    at = int(position);
    const float b = float(FData->Line.cursorToX(&at, QTextLine::Trailing)) * FScale;
    if (a != b)
        return {std::min(a, b), std::max(a, b)};
    // Both edges of the first character after a change of direction come out at the border
    // between the parts: its glyphs tell where it is.
    qreal left = 0, right = 0;
    bool any = false;
    for (const QGlyphRun &run : FData->Layout.glyphRuns(int(position), 1)) {
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        const QList<QPointF> advances = run.rawFont().advancesForGlyphIndexes(glyphs);
        for (qsizetype i = 0; i < glyphs.size() && i < positions.size() && i < advances.size(); ++i) {
            const qreal x = positions[i].x(), to = x + advances[i].x();
            left = any ? std::min(left, std::min(x, to)) : std::min(x, to);
            right = any ? std::max(right, std::max(x, to)) : std::max(x, to);
            any = true;
        }
    }
    if (!any)
        return {a, b};
    return {float(left) * FScale, float(right) * FScale};
}

QPainterPath TShapedRun::Outline(qsizetype from, qsizetype length) const
{
    QPainterPath out;
    if (FData && FData->Instance && length > 0)
        return GlyphOutline(from, length);
    if (!FData || !FData->Line.isValid() || length <= 0)
        return out;
    const qreal baseline = FData->Line.ascent();
    for (const QGlyphRun &run : FData->Layout.glyphRuns(int(from), int(length))) {
        const QRawFont font = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i) {
            QPainterPath glyph = font.pathForGlyph(glyphs[i]);
            if (!glyph.isEmpty())
                out.addPath(glyph.translated(positions[i].x(), positions[i].y() - baseline));
        }
    }
    QTransform t;
    t.scale(FScale, FScale);
    out = t.map(out);
    out.setFillRule(Qt::WindingFill);
    return out;
}

std::pair<float, float> TShapedRun::Span(qsizetype from, qsizetype length) const
{
    if (FData && FData->Instance && length > 0)
        return GlyphSpan(from, length);
    if (!FData || !FData->Line.isValid() || length <= 0)
        return {0.0f, 0.0f};
    if (!FData->Bidirectional) {
        const float a = CaretX(from), b = CaretX(from + length);
        return {std::min(a, b), std::max(a, b)};
    }
    // The characters' glyphs start at their least pen position and end where the next
    // glyph along the line starts (the line's end after the last): the carets between two
    // characters are ambiguous where the direction changes, the pen positions are not.
    const TData &d = *FData;
    std::call_once(d.PensMeasured, [&d] {
        const qsizetype n = d.Text.size();
        d.Low.assign(size_t(n), std::numeric_limits<qreal>::max());
        d.High.assign(size_t(n), std::numeric_limits<qreal>::lowest());
        for (qsizetype i = 0; i < n; ++i)
            for (const QGlyphRun &run : d.Layout.glyphRuns(int(i), 1))
                for (const QPointF &p : run.positions()) {
                    d.Low[size_t(i)] = std::min(d.Low[size_t(i)], p.x());
                    d.High[size_t(i)] = std::max(d.High[size_t(i)], p.x());
                }
        for (const QGlyphRun &run : d.Layout.glyphRuns())
            for (const QPointF &p : run.positions())
                d.Pens.push_back(p.x());
        std::sort(d.Pens.begin(), d.Pens.end());
    });
    qreal left = std::numeric_limits<qreal>::max(), last = std::numeric_limits<qreal>::lowest();
    for (qsizetype i = std::max<qsizetype>(from, 0); i < from + length && i < d.Text.size(); ++i) {
        left = std::min(left, d.Low[size_t(i)]);
        last = std::max(last, d.High[size_t(i)]);
    }
    if (left > last)
        return {CaretX(from), CaretX(from)};
    const auto next = std::upper_bound(d.Pens.begin(), d.Pens.end(), last);
    const qreal right = next == d.Pens.end() ? std::max(qreal(d.Width), last) : *next;
    return {float(left) * FScale, float(right) * FScale};
}
