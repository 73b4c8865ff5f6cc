#pragma once
// Fonts HarfBuzz shapes where Qt 6.4 falls short. Qt sets no variation axes, so a run
// whose font is variable is shaped on an instance of the font with its axes set (from
// font-weight, font-stretch, font-style and the font size, then font-variation-settings)
// and outlined from that instance. Small capitals the font has itself go the same way (Qt
// cannot ask for the smcp feature), and so do fonts with colour bitmaps (CBDT, sbix),
// which Qt gives no outline. The result feeds the same positioned-glyph step as Qt's
// shaping.

#include "svg/render/text_metrics.h"

#include <QPainterPath>
#include <QRawFont>
#include <QString>
#include <memory>
#include <vector>

// One glyph of a shaped run, in pixels at the size the instance was made for; y down.
struct TShapedGlyph {
    quint32 Index = 0;
    qsizetype Cluster = 0;  // the UTF-16 position of the first character it draws
    float X = 0, Y = 0;     // its origin from the run's start on the baseline
    float Advance = 0;
};

// font-variation-settings as written ("'wght' 700, 'wdth' 75"), a tag named twice with
// its last value; "normal", a malformed list, a tag that is not four printable ASCII
// characters or a list of more than 256 items gives no settings at all.
std::vector<TFontVariation> SVGParseFontVariations(const QString &value);

// font-stretch as a percentage (keywords and percentages); 100 when not understood.
float SVGParseFontStretch(const QString &value);

class TFontInstance {
public:
    // The instance for Font when its primary font (Raw) comes from a variable font file,
    // has colour bitmaps, or Font asks for small capitals that font has; null for the
    // others, which Qt shapes.
    // Size is the pixel size outlines and positions come in.
    static std::shared_ptr<const TFontInstance> Find(const QRawFont &raw, const TCanvasFont &font, float size);

    ~TFontInstance();
    TFontInstance(const TFontInstance &) = delete;
    TFontInstance &operator=(const TFontInstance &) = delete;

    // Text shaped on this instance in logical order of its glyphs' visual positions
    // (left to right), with the font's kerning unless the canvas font turns it off.
    std::vector<TShapedGlyph> Shape(const QString &text) const;
    // A glyph's outline with its origin at (0, 0), y down, a synthetic slant included.
    QPainterPath Outline(quint32 glyph) const;
    // A glyph's colour bitmap with its box around the glyph's origin (y down); null when
    // the glyph has none and its outline stands.
    std::shared_ptr<const TGlyphBitmap> Bitmap(quint32 glyph) const;

    struct TData;

private:
    explicit TFontInstance(std::unique_ptr<TData> data);
    std::unique_ptr<TData> FData;
};
