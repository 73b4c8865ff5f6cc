#include "svg/render/text_vertical.h"

#include <algorithm>
#include <iterator>

namespace {

// The characters that stand upright in a column, first and last code point of each
// stretch: the East Asian scripts, their punctuation and symbols, fullwidth forms and
// emoji. Brackets and the long vowel mark are turned instead: without the font's
// vertical alternates a turned bracket is the shape a column wants.
constexpr std::pair<char32_t, char32_t> kUpright[] = {
    {0x00A7, 0x00A7},   {0x00A9, 0x00A9},   {0x00AE, 0x00AE},   {0x00B1, 0x00B1},
    {0x00BC, 0x00BE},   {0x00D7, 0x00D7},   {0x00F7, 0x00F7},   {0x02EA, 0x02EB},
    {0x1100, 0x11FF},   {0x1401, 0x167F},   {0x18B0, 0x18FF},   {0x2016, 0x2016},
    {0x2020, 0x2021},   {0x2030, 0x2031},   {0x203B, 0x203C},   {0x2042, 0x2042},
    {0x2047, 0x2049},   {0x2051, 0x2051},   {0x20DD, 0x20E0},   {0x20E2, 0x20E4},
    {0x2100, 0x2101},   {0x2103, 0x2109},   {0x210F, 0x210F},   {0x2113, 0x2114},
    {0x2116, 0x2117},   {0x211E, 0x2123},   {0x2125, 0x2125},   {0x2127, 0x2127},
    {0x2129, 0x2129},   {0x212E, 0x212E},   {0x2135, 0x213F},   {0x2145, 0x214A},
    {0x214C, 0x214D},   {0x214F, 0x2189},   {0x218C, 0x218F},   {0x221E, 0x221E},
    {0x2234, 0x2235},   {0x2300, 0x2307},   {0x230C, 0x231F},   {0x2322, 0x232B},
    {0x237D, 0x239A},   {0x23BE, 0x23CD},   {0x23CF, 0x23CF},   {0x23D1, 0x23DB},
    {0x23E2, 0x2422},   {0x2424, 0x24FF},   {0x25A0, 0x2619},   {0x2620, 0x2767},
    {0x2776, 0x2793},   {0x2B12, 0x2B2F},   {0x2B50, 0x2B59},   {0x2BB8, 0x2BFF},
    {0x2E80, 0x3007},   {0x3012, 0x3013},   {0x3020, 0x302F},   {0x3031, 0x309F},
    {0x30A1, 0x30FB},   {0x30FD, 0xA4CF},   {0xA960, 0xA97F},   {0xAC00, 0xD7FF},
    {0xE000, 0xFAFF},   {0xFE10, 0xFE1F},   {0xFE30, 0xFE48},   {0xFE50, 0xFE57},
    {0xFE59, 0xFE62},   {0xFE67, 0xFE6F},   {0xFF01, 0xFF07},   {0xFF0A, 0xFF0C},
    {0xFF0E, 0xFF19},   {0xFF1F, 0xFF3A},   {0xFF3C, 0xFF3C},   {0xFF3E, 0xFF3E},
    {0xFF40, 0xFF5A},   {0xFFE0, 0xFFE2},   {0xFFE4, 0xFFE7},   {0xFFF0, 0xFFF8},
    {0xFFFC, 0xFFFD},   {0x13000, 0x1342F}, {0x16FE0, 0x18AFF}, {0x1B000, 0x1B2FF},
    {0x1D000, 0x1D1FF}, {0x1D2E0, 0x1D37F}, {0x1F000, 0x1FAFF}, {0x20000, 0x3FFFD},
};

} // namespace

bool SVGWritingModeIsVertical(QStringView value)
{
    return value == u"tb" || value == u"tb-rl" || value == u"vertical-rl" || value == u"vertical-lr";
}

bool SVGVerticalUpright(char32_t code)
{
    const auto *it = std::upper_bound(std::begin(kUpright), std::end(kUpright), code,
                                      [](char32_t c, const auto &range) { return c < range.first; });
    return it != std::begin(kUpright) && code <= std::prev(it)->second;
}

bool SVGVerticalUprightAt(QStringView text, qsizetype i)
{
    if (i < 0 || i >= text.size())
        return false;
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return SVGVerticalUpright(QChar::surrogateToUcs4(c, text[i + 1]));
    return SVGVerticalUpright(c.unicode());
}

qsizetype SVGVerticalOrientationEnd(QStringView text, qsizetype start, qsizetype stop)
{
    const bool upright = SVGVerticalUprightAt(text, start);
    for (qsizetype i = start + 1; i < stop; ++i)
        if (!text[i].isLowSurrogate() && SVGVerticalUprightAt(text, i) != upright)
            return i;
    return stop;
}

float SVGVerticalCentral(const TFontLines &lines)
{
    return (lines.Ascent - lines.Descent) / 2;
}

float SVGVerticalAdvance(const TShapedRun &run, qsizetype from, qsizetype length, const TCanvasFont &font)
{
    if (SVGVerticalUprightAt(run.Text(), from))
        return font.Size;
    const auto [left, right] = run.Span(from, length);
    return right - left;
}

QPainterPath SVGVerticalUprightOutline(const TShapedRun &run, qsizetype from, qsizetype length,
                                       const TCanvasFont &font, const TFontLines &lines)
{
    // Each em box stands on the column after the ones before it, its middle on the
    // column's line, which lies Central above the alphabetic baseline.
    QPainterPath out;
    const float central = SVGVerticalCentral(lines);
    const QString &text = run.Text();
    float down = 0;
    for (qsizetype i = from; i < from + length && i < text.size();) {
        const qsizetype next = text.at(i).isHighSurrogate() && i + 1 < from + length ? i + 2 : i + 1;
        const auto [left, right] = run.Span(i, next - i);
        QTransform t;
        t.translate(down + font.Size / 2 + central, -central);
        t.rotate(-90);
        t.translate(-(left + right) / 2, 0);
        out.addPath(t.map(run.Outline(i, next - i)));
        down += font.Size;
        i = next;
    }
    out.setFillRule(Qt::WindingFill);
    return out;
}

QTransform SVGVerticalPlace(float x, float y, float rotate, float shift, float stretch, bool upright)
{
    QTransform out;
    out.translate(x, y);
    out.rotate(90 + (upright ? rotate : 0));
    out.translate(0, shift);
    if (!upright)
        out.rotate(rotate);
    out.scale(stretch, 1);
    return out;
}
