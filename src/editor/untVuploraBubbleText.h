#pragma once
// Bubble text that fits its bubble. The engine draws a bubble's text box as it
// is told (word-wrapped and centred at the document's font size); the editor
// chooses that size. Whenever a text is put into the bubble, the font size
// becomes the largest, in steps of a quarter unit, not above the size the bubble
// was designed with at which the wrapped text fits the box, measured with the
// engine's own line breaking and metrics. At half the designed size the lines
// that still do not fit are left out: the text ends at the last whole line that
// fits, with an ellipsis. The whole text stays in the document (untVuploraPaopaoDoc.h),
// so fitting again gives the same document.

#include <QString>

class QBuffer;
class TSVGText;

struct TBubbleTextFit {
    float Size = 0;
    // The text as drawn: the whole text, or its beginning and an ellipsis.
    QString Shown;
    bool Cut = false;
};

// The fit of asText in the box of aoText (a text element in box mode) at sizes
// from arDesignSize down to half of it.
TBubbleTextFit FitBubbleText(const TSVGText &aoText, float arDesignSize, const QString &asText);

// Fits the text of the bubble document in aoStream; a document without a text
// box, or whose text element holds more than text, is left alone. Returns true
// when the document changed.
bool FitPaopaoDocument(QBuffer &aoStream);
