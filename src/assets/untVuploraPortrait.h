#pragma once
// A portrait's composition as data, and its file form: which pack, which item
// each layer shows with its colour and place, the speech bubble (its document,
// texts and frame) and the watermark's place. Positions and sizes are in canvas
// units of the 640 x 1136 canvas. The file is a small JSON document:
//
//   { "format": "vuplora-portrait", "version": 1, "pack": 1,
//     "layers": { "Face": { "item": 3, "color": 0, "x": 120, "y": 30, "visible": true }, ...
//                 one object per bitmap layer, named as in FACE_ITEM_NAMES;
//                 "item": null for a layer that holds no picture },
//     "bubble": { "shown": true, "item": 2, "document": "<svg ...>", "text": "...",
//                 "confirmedText": "...", "x": 100, "y": 100, "width": 273, "height": 209 },
//     "watermark": { "x": 384, "y": 1000 } }
//
// ReadPortrait refuses anything else with an EVuploraError whose message starts
// with "Not a portrait file: " and names the first fault it found (not JSON, a
// missing or mistyped field, a value out of range, an unknown pack or a newer
// format version); nothing is half-read.

#include "assets/untVuploraTypes.h"

#include <QByteArray>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <array>

// The extension portrait files carry, and their format version.
inline constexpr char PORTRAIT_FILE_SUFFIX[] = "vuplora";
inline constexpr int PORTRAIT_FORMAT_VERSION = 1;
// Limits on what a file may hold: the whole file, the bubble document, a text, an
// item number and how far a layer or the bubble may lie from the canvas.
inline constexpr qint64 PORTRAIT_MAX_FILE_BYTES = 8 * 1024 * 1024;
inline constexpr int PORTRAIT_MAX_DOCUMENT_BYTES = 4 * 1024 * 1024;
inline constexpr int PORTRAIT_MAX_TEXT_CHARS = 65536;
inline constexpr int PORTRAIT_MAX_ITEM = 1000000;
inline constexpr double PORTRAIT_MAX_COORDINATE = 100000;

struct TPortraitLayer {
    // False: the layer holds no picture (as the glasses before one is chosen).
    bool Present = false;
    qint32 Index = 0;
    // ARGB, 0 for the item's own colours.
    quint32 Color = 0;
    QPointF Pos;
    bool Visible = true;
    bool operator==(const TPortraitLayer &) const = default;
};

struct TPortraitBubble {
    bool Shown = false;
    qint32 Index = 0;
    // The bubble's SVG document as it stands, its text included (UTF-8).
    QByteArray Document;
    // The document's text before its last replacement, and the text the user
    // confirmed last.
    QString Text;
    QString ConfirmedText;
    QRectF Frame;
    bool operator==(const TPortraitBubble &) const = default;
};

struct TPortrait {
    qint32 Pack = 1;
    // Indexed by TYPE_FACE_ITEM; the entry of fiPaopao is not used (the bubble
    // has its own record).
    std::array<TPortraitLayer, FACE_ITEM_TYPE_COUNT> Layers;
    TPortraitBubble Bubble;
    QPointF Watermark;
    bool operator==(const TPortrait &) const = default;
};

QByteArray WritePortrait(const TPortrait &aoPortrait);
TPortrait ReadPortrait(const QByteArray &aoData);
