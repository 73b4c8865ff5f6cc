#pragma once
// The non-visual holder of one parsed SVG document that image controls show. The
// component owns its document and its source lines; viewers are registered, never owned.
// Every finished change of the document runs one chain: the Changing signal, each
// viewer's DocumentChanged in the order of registration, the Change signal. Lengths and
// sizes are the document's user units. Parse errors (the XML parser's texts, "Not a
// valid SVG document", the value parsers' texts) and "Cannot open file ..." reach the
// caller of the setter or load that raised them; the document is then left cleared or
// partly loaded.

#include "svg/model/dom/document.h"

#include <QObject>
#include <QStringList>
#include <memory>
#include <vector>

class TRSFmxSVGDocument;

// Anything that shows a component's document.
class ISVGViewer {
public:
    // The document finished a change (a load, a clear, a setting).
    virtual void DocumentChanged(TRSFmxSVGDocument *Sender) = 0;
    // The component is being destroyed: the viewer must drop its reference to it. The
    // component has already forgotten the viewer, so the viewer must not remove itself.
    virtual void DocumentDestroying(TRSFmxSVGDocument *Sender) = 0;

protected:
    ~ISVGViewer() = default;
};

class TRSFmxSVGDocument : public QObject {
    Q_OBJECT
public:
    explicit TRSFmxSVGDocument(QObject *aParent = nullptr);
    ~TRSFmxSVGDocument() override;

    // The owned document; it lives as long as the component.
    TSVGDocument *SVG() const { return FSVG.get(); }

    // The source text. Assigning it empties Filename and reloads from the lines.
    const QStringList &Lines() const { return FLines; }
    void SetLines(const QStringList &Value);
    // A different name is stored, Lines are emptied and the document is cleared; a
    // non-empty name is then loaded.
    const QString &Filename() const { return FFilename; }
    void SetFilename(const QString &Value);
    // Clears the document, then loads the lines when there is at least one.
    void LoadSVGFromStrings(const QStringList &Value);

    // Viewers are told of changes in the order they were added; adding one twice
    // keeps one registration.
    void AddViewer(ISVGViewer *Viewer);
    void RemoveViewer(ISVGViewer *Viewer);
    int ViewerCount() const { return int(FViewers.size()); }
    ISVGViewer *Viewers(int Index) const { return FViewers.at(size_t(Index)); }

    // --- settings of the owned document
    TSVGOptions Options() const { return FSVG->Options(); }
    void SetOptions(TSVGOptions Value) { FSVG->SetOptions(Value); }
    float DPI() const { return FSVG->DPI(); }
    void SetDPI(float Value) { FSVG->SetDPI(Value); }
    TSVGPreserveAspectRatio &DefaultAspectRatio() { return FSVG->DefaultAspectRatio(); }
    void SetDefaultAspectRatio(const TSVGPreserveAspectRatio &Value)
    {
        FSVG->SetDefaultAspectRatio(Value);
    }
    QString PreferredLanguage() const { return FSVG->PreferredLanguage(); }
    void SetPreferredLanguage(const QString &Value) { FSVG->SetPreferredLanguage(Value); }

    // --- events of the owned document (its change event is the component's own)
    void SetOnDrawing(TSVGDocument::TSVGDrawingEvent Handler) { FSVG->SetOnDrawing(std::move(Handler)); }
    void SetOnDrawn(TSVGDocument::TSVGDrawingEvent Handler) { FSVG->SetOnDrawn(std::move(Handler)); }
    void SetOnAddStyle(TSVGDocument::TSVGStyleEvent Handler) { FSVG->SetOnAddStyle(std::move(Handler)); }
    void SetOnRemoveStyle(TSVGDocument::TSVGStyleEvent Handler)
    {
        FSVG->SetOnRemoveStyle(std::move(Handler));
    }
    void SetOnParsingNode(TSVGDocument::TSVGParserNodeEvent Handler)
    {
        FSVG->SetOnParsingNode(std::move(Handler));
    }
    void SetOnParsedNode(TSVGDocument::TSVGElementEvent Handler)
    {
        FSVG->SetOnParsedNode(std::move(Handler));
    }

Q_SIGNALS:
    // Before and after the viewers hear of a change.
    void Changing(TRSFmxSVGDocument *Sender);
    void Change(TRSFmxSVGDocument *Sender);

private:
    void DocumentChange();

    std::unique_ptr<TSVGDocument> FSVG;
    QStringList FLines;
    QString FFilename;
    std::vector<ISVGViewer *> FViewers;
};
