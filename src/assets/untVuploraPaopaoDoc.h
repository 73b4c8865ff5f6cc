#pragma once
// Speech-bubble documents: SVG with one editable text element and an optional
// start point (the root's children startPointX and startPointY). The editor
// shows a bubble through IPaopaoView, which TFaceRes::GetSVG fills.
//
// Failures: XML that is not well-formed fails with "XML error at offset N: ...";
// a text element holding more than text with "Element "text" does not contain a
// single text node"; a start point that is not a number with "'%s' is not a
// valid floating point value".

#include <QIODevice>
#include <QPointF>
#include <QString>

class QBuffer;

// The text of the current bubble's text element as it was before the last
// replacement; empty when the bubble has none.
extern QString gsPaopaoText;

// Reads the bubble document held in aoStream (from its start), records its text
// in gsPaopaoText and, when asText is not empty, puts asText in its place. The
// stream then holds the whole document written anew, also when nothing
// changed. The new text is stored as text: markup characters in it are escaped,
// and control characters that XML cannot carry are left out.
void SetPaopaoText(QBuffer &aoStream, const QString &asText);

// The start point of the bubble document held in aoStream; (0, 0) for a
// coordinate the document does not give.
void GetPaopaoStartPoint(QIODevice &aoStream, float &X, float &Y);

// SetPaopaoText with an empty text, then GetPaopaoStartPoint, from one reading
// of the document.
void PreparePaopaoDocument(QBuffer &aoStream, float &X, float &Y);

// Fitting the text to its bubble (the editor measures; this reads and writes
// the document): the text element keeps the size the bubble was designed with
// in its attribute designfontsize, and the whole text in fulltext while the text
// shown is cut short. Neither attribute draws anything.
struct TPaopaoTextFit {
    // The text element's font size as designed; 0 when the document does not
    // record it (then its font size is the designed one).
    float DesignSize = 0;
    // The text as the user gave it.
    QString FullText;
};
// False for a document without a text element.
bool ReadPaopaoTextFit(QIODevice &aoStream, TPaopaoTextFit &aoFit);
// Gives the text element the font size arSize, records aoFit and shows asShown
// (the whole text, or the part of it that fits); the stream holds the document
// written anew.
void WritePaopaoTextFit(QBuffer &aoStream, float arSize, const QString &asShown, const TPaopaoTextFit &aoFit);

// What GetSVG hands a bubble to: the bubble image and its frame on the canvas.
class IPaopaoView {
public:
    virtual ~IPaopaoView() = default;
    // No bubble document: the image shows nothing.
    virtual void ClearDocument() = 0;
    // Loads the document; a document that fails to load raises its error.
    virtual void LoadDocument(QIODevice &aoData) = 0;
    virtual void ShowEditButton(bool abShown) = 0;
    virtual void MoveFrame(const QPointF &aoPos) = 0;
    // Sizes the frame to the loaded document's width and height.
    virtual void SizeFrameToDocument() = 0;
};
