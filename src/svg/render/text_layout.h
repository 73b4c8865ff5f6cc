#pragma once
// SVG text layout, one pipeline for every kind of text: the characters of a text element
// and its spans (white space collapsed unless xml:space="preserve"), shaped run by run
// (one run per stretch of one style), then placed glyph by glyph where the document asks:
// x/y/dx/dy/rotate lists per character, letter- and word-spacing, baseline-shift and the
// dominant and alignment baselines, textLength with lengthAdjust, text-anchor per text
// chunk, textPath and vertical writing modes (text_vertical.h). Characters that keep the
// places the shaper gave them stay together in one piece, so kerning and ligatures survive
// inside it.

#include "svg/model/dom/text.h"
#include "svg/render/text_metrics.h"

#include <QPainterPath>
#include <QTransform>
#include <memory>
#include <vector>

// The most characters one text element lays out, its spans and referenced text
// included: 1,048,576. Measuring shapes every character, so a longer text would take
// seconds whatever part of it shows; drawing or outlining it raises ESVGException
// "Text too long: more than 1048576 characters in one text element".
inline constexpr qsizetype SVGMaxTextChars = 1 << 20;

// Decoration lines: bits of TSVGTextPiece::Decorations.
enum TSVGTextLineKind { tlkUnderline = 1, tlkOverline = 2, tlkLineThrough = 4 };

// A decoration declared by an element over the text it holds, drawn with its paint.
struct TSVGTextDecoration {
    const TSVGGraphicElement *Paint = nullptr;
    int Kinds = 0;
};

// Characters of one shaped run drawn as a unit.
struct TSVGTextPiece {
    const TSVGGraphicElement *Styled = nullptr;  // whose fill and stroke draw the glyphs
    TCanvasFont Font;
    TFontLines Lines;
    TShapedRun Run;
    qsizetype From = 0, Length = 0;  // the characters, as positions in Run's text
    float Left = 0;                  // where they start in Run
    float Advance = 0;               // their width along the baseline, spacing included
    // The letter-spacing after the last letter of a text chunk: part of the advance, but
    // not of the line box (spacing goes between letters only).
    float Trail = 0;
    // How far from the start their glyphs may reach along the baseline: the advance, or a
    // shared run's whole width for the parts placed where the whole run puts them.
    float Reach = 0;
    // From the piece's own frame (start at x = 0, baseline on y = 0) to the text's user space.
    QTransform Place;
    // Upright characters in a column, one em apart: their glyphs turn back against the
    // piece's frame, which runs down the column.
    bool Upright = false;
    std::shared_ptr<const std::vector<TSVGTextDecoration>> Decorations;  // shared by a run's pieces
};

// Lays out a text element that is not in box mode.
std::vector<TSVGTextPiece> SVGLayOutText(const TSVGText &text);

// A piece's glyphs in the text's user space.
QPainterPath SVGTextPieceOutline(const TSVGTextPiece &piece);
// A piece's line box (its advance less Trail by the font's ascent plus descent) in user space; with
// Reach, the box its glyphs stay in.
QPolygonF SVGTextPieceBox(const TSVGTextPiece &piece, bool reach = false);
// The lines of one decoration over a piece, in user space.
QPainterPath SVGTextPieceLines(const TSVGTextPiece &piece, TSVGTextLineKind kind);
