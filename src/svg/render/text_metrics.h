#pragma once
// Fonts for the canvas: measuring, line breaking and outlines of text at any size in user
// units. Glyphs are taken from one unhinted reference size and scaled, so text keeps its
// shape and measure exactly under every transform and at fractional sizes.

#include <QImage>
#include <QPainterPath>
#include <QString>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

// One axis of a variable font set to a value ("wght" 700).
struct TFontVariation {
    quint32 Tag = 0;  // four ASCII characters, the first in the highest byte
    float Value = 0;

    friend bool operator==(const TFontVariation &, const TFontVariation &) = default;
};

struct TCanvasFont {
    QString Family;     // a CSS family list as written ("'SimSun', serif"); empty = default
    float Size = 11;    // user units
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    bool Overline = false;
    int Weight = 0;         // CSS weight 1..1000; 0 follows Bold
    bool Kerning = true;
    bool SmallCaps = false;
    bool RightToLeft = false;  // the direction a shaped run's paragraph orders its parts in
    // What a variable font's axes follow besides the weight: font-stretch as a percentage,
    // font-style oblique (Italic is set too) and font-variation-settings, which win.
    float Stretch = 100;
    bool Oblique = false;
    std::vector<TFontVariation> Variations;

    friend bool operator==(const TCanvasFont &, const TCanvasFont &) = default;
};

// What text decorations and baselines are placed by, in user units (y down from the
// alphabetic baseline is positive, as on the canvas).
struct TFontLines {
    float Ascent = 0, Descent = 0, XHeight = 0;
    float UnderlinePosition = 0;   // below the baseline
    float StrikeOutPosition = 0;   // above the baseline
    float Thickness = 0;           // of under- and overlines
    float StrikeOutThickness = 0;
    float SubscriptOffset = 0;     // below the baseline
    float SuperscriptOffset = 0;   // above the baseline
};

// A colour glyph's picture (CBDT, sbix) and the box it fills, in the run's frame.
struct TGlyphBitmap {
    QImage Image;
    QRectF Box;
};

// A string shaped as a whole with one font (kerning, ligatures and fallback fonts as the
// shaper gives them), measured and outlined in user units with its start at x = 0 and
// its baseline on y = 0. Cheap to copy: the shaped layout is shared.
class TShapedRun {
public:
    TShapedRun() = default;
    TShapedRun(const TCanvasFont &font, const QString &text);
    const QString &Text() const;
    float Width() const;
    bool RightToLeft() const;
    // The x of the caret before UTF-16 position Position (0 .. size).
    float CaretX(qsizetype position) const;
    // The left and right x of the character at Position (0 .. size - 1) where the run draws
    // it, measured in its own direction's part: at the border of a left-to-right and a
    // right-to-left part the carets on either side of it lie apart.
    std::pair<float, float> Edges(qsizetype position) const;
    // The glyphs of the characters From .. From + Length - 1 where the whole run puts them.
    // Glyphs drawn as colour bitmaps have no outline here but a picture.
    QPainterPath Outline(qsizetype from, qsizetype length) const;
    std::vector<TGlyphBitmap> Bitmaps(qsizetype from, qsizetype length) const;
    // Where the glyphs of the characters From .. From + Length - 1 start and end along the
    // run: unlike CaretX, this holds at the edges of a right-to-left part.
    std::pair<float, float> Span(qsizetype from, qsizetype length) const;

private:
    float GlyphCaretX(qsizetype position) const;
    QPainterPath GlyphOutline(qsizetype from, qsizetype length) const;
    std::pair<float, float> GlyphSpan(qsizetype from, qsizetype length) const;

    struct TData;
    std::shared_ptr<const TData> FData;  // shaped at the reference size, shared by all sizes
    float FScale = 1;
};

struct TTextLine {
    QString Text;
    float Width = 0;    // user units
};

namespace TTextMetrics {

// The family of text that names none or none that exists (the fallback family, when set,
// takes the second), and the families that stand for the generic names serif, sans-serif
// and monospace. Empty keeps the system's choice.
void SetDefaultFamily(const QString &family);
void SetFallbackFamily(const QString &family);
void SetGenericFamily(const QString &generic, const QString &family);
// Loads every font file of Folder into the application's font database; answers the
// number of families found.
int AddFontFolder(const QString &folder);
// The family names a CSS list resolves to: split at the commas outside quotes, quotes
// removed, blanks of an unquoted name collapsed, empty names dropped, and the unquoted
// generic names given to SetGenericFamily replaced by their family (a quoted "serif" is a
// family called serif). Other generic names stay for the system's font matcher.
QStringList Families(const QString &cssList);

TFontLines FontLines(const TCanvasFont &font);
float Ascent(const TCanvasFont &font);
float Descent(const TCanvasFont &font);
float Advance(const TCanvasFont &font, const QString &text);
// Text broken into lines no wider than MaxWidth at word boundaries (a single word that
// does not fit stands alone); MaxWidth < 0 breaks only at line breaks.
std::vector<TTextLine> Lines(const TCanvasFont &font, const QString &text, float maxWidth);
// The outline of Text with its baseline starting at Origin, decorations included.
QPainterPath Outline(const TCanvasFont &font, const QString &text, const QPointF &origin);

} // namespace TTextMetrics
