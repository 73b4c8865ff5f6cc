#pragma once
// The root of an element tree and the object applications hold: loading from a file,
// a stream, a text or a parsed XML document, the id table behind url(#id) and href,
// the style rules of `style` elements, the settings that steer parsing and conditional
// processing, and the change and parsing events.

#include "svg/model/dom/custom_viewbox.h"
#include "svg/model/css/style.h"

#include <QByteArray>
#include <QFlags>
#include <QHash>
#include <QIODevice>
#include <functional>
#include <memory>
#include <vector>

class TSVGCanvas;

enum TSVGOption : int {
    soSkipUnknownXML = 0x01,
    soUseLocaleForLanguage = 0x02,
    soEnforceUniqueID = 0x04,
    soApplyClipping = 0x08,
    soApplyFillRule = 0x10,
};
Q_DECLARE_FLAGS(TSVGOptions, TSVGOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TSVGOptions)

inline constexpr TSVGOptions SVGDefaultOptions =
    TSVGOptions(soSkipUnknownXML | soUseLocaleForLanguage | soApplyClipping | soApplyFillRule);

class TSVGDocument : public TSVGCustomViewBox {
public:
    using TSVGParserNodeEvent = std::function<void(TSVGElement *Sender, pugi::xml_node Node)>;
    using TSVGElementEvent = std::function<void(TSVGElement *Sender, TSVGElement *Element)>;
    using TSVGNotifyEvent = std::function<void(TSVGDocument *Sender)>;
    using TSVGDrawingEvent = std::function<void(TSVGElement *Sender, const TMatrix &Matrix,
                                                TSVGCanvas *Canvas, const QRectF &aRect)>;
    using TSVGStyleEvent = std::function<void(TSVGDocument *Sender, TSVGStyle *aStyle)>;

    // A root document has no owner; an `svg` element nested in a document is a
    // document owned by the root, which keeps the id table and the rules.
    explicit TSVGDocument(TSVGDocument *aOwner = nullptr);
    ~TSVGDocument() override;

    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGDocument"); }
    TSVGElementType SVGType() const override { return etDoc; }
    void AssignProperties(const TSVGElement &Source) override;

    // --- loading; every error raised while loading reaches the caller
    void LoadFromFile(const QString &FileName);
    virtual void LoadFromStream(QIODevice &Stream);
    void LoadFromBytes(const QByteArray &Bytes);
    // The text is taken as it stands (UTF-8 inside), whatever its XML declaration says.
    virtual void LoadFromText(const QString &Text);
    // Raises "Not a valid SVG document" when the document element is not svg.
    void LoadFromXML(const pugi::xml_document &XML);
    void LoadFromXML(pugi::xml_node Node) override;

    // The file the document was read from, empty when it came from elsewhere: pictures
    // it names are looked for beside it, and nowhere else. A nested svg answers its root's.
    const QString &FileName() const { return Owner() ? Owner()->FileName() : FFileName; }
    void SetFileName(const QString &Value) { FFileName = Value; }

    // --- validation (no exception leaves the file, stream and text forms)
    static bool IsValidSVG(const QString &FileName, bool StrictVerification);
    static bool IsValidSVG(QIODevice &Stream, bool StrictVerification);
    static bool IsValidSVG(const pugi::xml_document &XML, bool StrictVerification);
    static bool IsValidSVG(bool StrictVerification, const QString &Text);

    // --- conditional processing
    static bool SupportsFeature(const QString &Feature);
    virtual bool SupportsLanguage(const QString &Language) const;

    void Clear() override;
    TMatrix GetViewMatrix(const TMatrix &OldTransformation, const QRectF &aRect) const override;
    using TSVGElement::GetViewMatrix;
    void Changed() override;
    const TSVGUnitFactors &GetUnitFactors() const override;

    // --- id table: id text -> element, compared exactly; holds no ownership
    const QHash<QString, TSVGElement *> &AllItems() const { return FAllItems; }
    TSVGElement *FindElement(const QString &Id) const { return FAllItems.value(Id, nullptr); }

    // --- style rules in document order; two rules may share a selector
    int StyleCount() const { return int(FStyles.size()); }
    TSVGStyle *Styles(int Index) const;
    // Replaces the rules by copies of Source's rules.
    void SetStyles(const TSVGDocument &Source);
    TSVGStyle *CreateStyle(const QString &Name, const QString &Declarations);
    void DeleteStyle(int Index);
    std::unique_ptr<TSVGStyle> ExtractStyle(int Index);
    void ClearStyles();
    // Reads the rules of a style sheet text.
    void ParseStyleSheet(const QString &Text);
    // Reads a `style` element (its CDATA sections, else its text).
    void LoadStyleElement(pugi::xml_node Node);

    // --- settings
    TSVGOptions Options() const { return FOptions; }
    void SetOptions(TSVGOptions Value);
    float DPI() const { return FDPI; }
    // At least 10; the unit factors follow.
    void SetDPI(float Value);
    const TSVGUnitFactors &UnitFactors() const { return FUnitFactors; }
    TSVGPreserveAspectRatio &DefaultAspectRatio() { return FDefaultAspectRatio; }
    const TSVGPreserveAspectRatio &DefaultAspectRatio() const { return FDefaultAspectRatio; }
    void SetDefaultAspectRatio(const TSVGPreserveAspectRatio &Value);
    // The preferred languages joined with commas.
    QString PreferredLanguage() const { return PreferredLanguages().join(QLatin1Char(',')); }
    void SetPreferredLanguage(const QString &Value);
    // Initially the user's languages (SVGUserLanguages), taken on first use.
    const QStringList &PreferredLanguages() const;
    TSVGShapeRendering DefaultShapeRendering() const { return FDefaultShapeRendering; }
    void SetDefaultShapeRendering(TSVGShapeRendering Value);
    TSVGColorRendering DefaultColorRendering() const { return FDefaultColorRendering; }
    void SetDefaultColorRendering(TSVGColorRendering Value);
    TSVGTextRendering DefaultTextRendering() const { return FDefaultTextRendering; }
    void SetDefaultTextRendering(TSVGTextRendering Value);
    TSVGColorInterpolation DefaultColorInterpolation() const { return FDefaultColorInterpolation; }
    void SetDefaultColorInterpolation(TSVGColorInterpolation Value);

    // --- events
    void SetOnParsingNode(TSVGParserNodeEvent Handler) { FOnParsingNode = std::move(Handler); }
    const TSVGParserNodeEvent &OnParsingNode() const { return FOnParsingNode; }
    void SetOnParsedNode(TSVGElementEvent Handler) { FOnParsedNode = std::move(Handler); }
    const TSVGElementEvent &OnParsedNode() const { return FOnParsedNode; }
    void SetOnChange(TSVGNotifyEvent Handler) { FOnChange = std::move(Handler); }
    const TSVGNotifyEvent &OnChange() const { return FOnChange; }
    void SetOnDrawing(TSVGDrawingEvent Handler) { FOnDrawing = std::move(Handler); }
    const TSVGDrawingEvent &OnDrawing() const { return FOnDrawing; }
    void SetOnDrawn(TSVGDrawingEvent Handler) { FOnDrawn = std::move(Handler); }
    const TSVGDrawingEvent &OnDrawn() const { return FOnDrawn; }
    void SetOnAddStyle(TSVGStyleEvent Handler) { FOnAddStyle = std::move(Handler); }
    const TSVGStyleEvent &OnAddStyle() const { return FOnAddStyle; }
    void SetOnRemoveStyle(TSVGStyleEvent Handler) { FOnRemoveStyle = std::move(Handler); }
    const TSVGStyleEvent &OnRemoveStyle() const { return FOnRemoveStyle; }

protected:
    void LoadAttributes(pugi::xml_node Node) override;
    void StylesNotify(TSVGStyle *aStyle, bool Added);

private:
    friend class TSVGElement;
    friend class TSVGGraphicElement;

    // The next free automatic id ("ID#" and the table size, counted on if taken).
    QString NewAutomaticID() const;
    // Key now names Element; OldKey is released when it still names Element.
    void RegisterID(const QString &Key, const QString &OldKey, TSVGElement *Element);
    void UnregisterID(const QString &Key, const TSVGElement *Element);
    TSVGDocument *Root() { return Owner() ? Owner() : this; }

    TSVGParserNodeEvent FOnParsingNode;
    QString FFileName;
    QHash<QString, TSVGElement *> FAllItems;
    std::vector<std::unique_ptr<TSVGStyle>> FStyles;
    TSVGElementEvent FOnParsedNode;
    TSVGNotifyEvent FOnChange;
    TSVGDrawingEvent FOnDrawing;
    TSVGDrawingEvent FOnDrawn;
    TSVGOptions FOptions = SVGDefaultOptions;
    TSVGPreserveAspectRatio FDefaultAspectRatio;
    mutable QStringList FPrefLanguages;
    mutable bool FPrefLanguagesRead = false;
    float FDPI = 96;
    TSVGUnitFactors FUnitFactors;
    TSVGShapeRendering FDefaultShapeRendering = srnGeometricPrecision;
    TSVGColorRendering FDefaultColorRendering = clrnAuto;
    TSVGTextRendering FDefaultTextRendering = txrnAuto;
    TSVGColorInterpolation FDefaultColorInterpolation = sciSRGB;
    TSVGStyleEvent FOnAddStyle;
    TSVGStyleEvent FOnRemoveStyle;
    int FStyleOrder = 0;
};

// The user's preferred interface languages, which language tests consult under
// soUseLocaleForLanguage and new documents start from. The application hands its list
// over (the engine does not ask the platform layer); until it does, the system locale's
// list stands, which needs no application object. Safe to call from any thread.
QStringList SVGUserLanguages();
void SVGSetUserLanguages(const QStringList &Languages);
