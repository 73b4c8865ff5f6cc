#pragma once
// The base of the SVG element tree. An element owns its children, knows its parent
// and its document, carries the core attributes (id, class, lang, the conditional
// processing lists, title and description) and brackets changes with nestable
// BeginUpdate/EndUpdate so that one change notification reaches the document when
// the outermost bracket closes.

#include "svg/model/values/length.h"
#include "svg/model/values/matrix.h"
#include "svg/model/css/style_property.h"
#include "svg/model/values/units.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <memory>
#include <pugixml.hpp>
#include <utility>
#include <vector>

class TSVGDocument;
class TSVGCustomViewBox;
class TSVGGraphicElement;
class TSVGUseScope;

// The innermost use being drawn on this thread, if any (see TSVGUseScope).
extern constinit thread_local const TSVGUseScope *gSVGUseScopes;

// Indexed together with the tag table (SVGTagName); etNone is a plain TSVGElement.
enum TSVGElementType : int {
    etNone,
    etDoc, etGroup, etImage, etDefs, etUse, etCircle, etEllipse, etRectangle, etLine,
    etPolyline, etPolygon, etPath, etText, etSwitch, etDesc, etTitle, etStyle, etTSpan,
    etTextPath, etTRef, etClipPath, etLinearGradient, etRadialGradient, etGradientStop,
    etMarker, etMetadata, etScript, etComment, etSymbol, etPattern, etMask, etFilter,
    // Every filter primitive and primitive child (feFlood, feMergeNode, ...): its tag is
    // the one it was read with.
    etFilterPrimitive,
};

// The tag of a type ("svg", "linearGradient"); empty for etNone.
QString SVGTagName(TSVGElementType type);
// The type of a tag, compared exactly; etNone for an unknown tag.
TSVGElementType SVGTypeByTag(QStringView tag);

// What changed below an element. A change of its own brush, pen or font reports only the
// element (descendants read inherited paint and font from it when asked); any other kind
// also reaches every descendant.
enum class TSVGSubObject { Brush, Pen, Font, Style, AspectRatio, Strings };

// One attribute as it stood in the XML (local name, value).
using TSVGXMLAttribute = std::pair<QString, QString>;

class TSVGElement {
public:
    explicit TSVGElement(TSVGDocument *aOwner);
    virtual ~TSVGElement();
    TSVGElement(const TSVGElement &) = delete;
    TSVGElement &operator=(const TSVGElement &) = delete;

    // A new, empty element of the same class.
    virtual std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const;
    // A deep copy created in aOwner.
    std::unique_ptr<TSVGElement> Clone(TSVGDocument *aOwner) const;
    // AssignProperties, then the children are replaced by clones of Source's.
    void Assign(const TSVGElement &Source);
    virtual void AssignProperties(const TSVGElement &Source);

    virtual QString ClassName() const { return QStringLiteral("TSVGElement"); }
    virtual TSVGElementType SVGType() const { return etNone; }
    // This element as a graphic element, or null. Inherited properties ask it at every
    // step up the tree, where a dynamic_cast would cost more than the rest of the walk.
    virtual TSVGGraphicElement *AsGraphic() { return nullptr; }
    const TSVGGraphicElement *AsGraphic() const { return const_cast<TSVGElement *>(this)->AsGraphic(); }
    QString SVGTypeName() const;
    // The local name of the XML element this one was read from, else SVGTypeName.
    QString TagName() const;

    // --- identity and core attributes
    const QString &ID() const { return FID; }
    // Registers the id in the document's id table (see TSVGDocument::AllItems).
    void SetID(const QString &Key);
    const QString &Title() const { return FTitle; }
    void SetTitle(const QString &Value) { FTitle = Value; }
    const QStringList &Description() const { return FDescription; }
    void SetDescription(const QStringList &Value);
    const QString &Language() const { return FLanguage; }
    void SetLanguage(const QString &Value) { FLanguage = Value; }
    const QStringList &Classes() const { return FClasses; }
    void SetClasses(const QStringList &Value);
    const QStringList &SystemLanguages() const { return FSystemLanguages; }
    void SetSystemLanguages(const QStringList &Value);
    const QStringList &RequiredFeatures() const { return FRequiredFeatures; }
    void SetRequiredFeatures(const QStringList &Value);
    const QStringList &RequiredExtensions() const { return FRequiredExtensions; }
    void SetRequiredExtensions(const QStringList &Value);
    // The presentation properties this element accepts (attribute selectors).
    TSVGStyleProperties Attributes() const { return FAttributes; }
    void SetAttributes(TSVGStyleProperties Value) { FAttributes = Value; }
    // The attributes of the XML element in document order (empty when built in code).
    const QList<TSVGXMLAttribute> &XMLAttributes() const { return FXMLAttributes; }
    // The value of an XML attribute by local name; false when absent.
    bool XMLAttribute(QStringView Name, QString &Value) const;

    // --- tree
    TSVGDocument *Owner() const { return FOwner; }
    // The document whose id table and style rules this element uses: the owner, or the
    // element itself when it is a document without owner.
    TSVGDocument *Document() const;
    // The element this one inherits from and sits in: its parent in the tree, except
    // while a use draws it on this thread (TSVGUseScope), when it is that use.
    TSVGElement *Parent() const { return gSVGUseScopes ? UsedParent() : FParent; }
    // The parent in the tree, whatever is being drawn.
    TSVGElement *TreeParent() const { return FParent; }
    virtual void SetParent(TSVGElement *Value);
    int Count() const { return int(FItems.size()); }
    // Raises EArgumentOutOfRange for an index outside 0 .. Count - 1.
    TSVGElement *Items(int Index) const;
    int IndexOf(const TSVGElement *Element) const;
    // Appends (or inserts) a child and makes this element its parent; returns its index.
    int Add(std::unique_ptr<TSVGElement> Element);
    void Insert(int Index, std::unique_ptr<TSVGElement> Element);
    // Removes and frees a child.
    void Delete(int Index);
    // Removes a child without freeing it; it gets no parent.
    std::unique_ptr<TSVGElement> Extract(int Index);
    // Frees every child.
    void ClearItems();
    // Nesting depth below the root (0 for an element without parent).
    int Depth() const;

    bool HasChild(const TSVGElement *aElement) const;
    bool HasDescendant(const TSVGElement *aElement) const;
    bool HasAncestor(const TSVGElement *aElement) const { return HasDescendant(aElement); }
    bool HasSibling(const TSVGElement *aElement) const;
    bool HasPreceding(const TSVGElement *aElement) const;
    bool HasFollowing(const TSVGElement *aElement) const { return HasPreceding(aElement); }

    // --- conditional processing
    bool HasFeatures() const;
    bool HasExtensions() const;
    bool HasLanguages() const;
    // True when some item of Language starts with aLanguage, ignoring case.
    bool HasLanguage(const QString &aLanguage) const;

    // --- geometry
    virtual QRectF BoundsRect() const { return QRectF(); }
    virtual QRectF GetBoundsRect(const TMatrix &aMatrix) const;
    virtual const TSVGUnitFactors &GetUnitFactors() const;
    // The nearest element (this one or an ancestor) with a specified viewBox.
    virtual TSVGCustomViewBox *GetNearestViewBox() const;
    // The matrix mapping TargetRect onto aRect (non-uniform), identity for an empty
    // TargetRect; the second form uses the element's own bounds.
    static TMatrix FitToRect(const QRectF &aRect, const QRectF &TargetRect);
    TMatrix FitToRect(const QRectF &aRect) const;
    TMatrix GetViewMatrix(const QRectF &aRect) const;
    virtual TMatrix GetViewMatrix(const TMatrix &OldTransformation, const QRectF &aRect) const;

    // --- styles
    // -1 when the selector does not match, else its specificity.
    virtual int Matches(const QString &Selector) const;
    virtual void ApplyStyles();

    // --- lifecycle
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    virtual void Clear();
    virtual void Reset();
    virtual void LoadFromXML(pugi::xml_node Node);

    virtual void Changed();
    virtual void SubObjectChanged(TSVGSubObject Object);

    // --- attribute readers used while loading (names are ASCII)
    // With a prefix, the attribute in the namespace bound to that prefix at the node.
    static QString ReadAttribute(pugi::xml_node Node, const char *Name, const QString &Default,
                                 const QString &Prefix = QString());
    static bool HasAttribute(pugi::xml_node Node, const char *Name,
                             const QString &Prefix = QString());
    static QString ReadChildText(pugi::xml_node Node, const char *Name, const QString &Default);
    // ParseFraction of the attribute; Default when it is absent or cannot be read.
    static TSVGLength ReadLengthAttribute(pugi::xml_node Node, const char *Name,
                                          const TSVGUnitFactors &Factors, TSVGLength Default);
    // ParseLength (1, 0) of the attribute; Default when absent.
    static float ReadRangeAttribute(pugi::xml_node Node, const char *Name,
                                    const TSVGUnitFactors &Factors, float Default);
    // Empty text clears the list; otherwise the items split at commas and spaces are
    // appended.
    static void ReadStringList(QStringList &List, const QString &Text);
    // The xlink:href (or plain href) of a node.
    static QString ReadHRef(pugi::xml_node Node);

protected:
    virtual void LoadAttributes(pugi::xml_node Node);
    virtual void ItemsNotify(TSVGElement *Item, bool Added, bool Freed);

    // Drops the child list without notifications (destruction).
    void ReleaseItems();

private:
    TSVGElement *UsedParent() const;
    friend class TSVGDocument;

    QString FID;
    std::vector<std::unique_ptr<TSVGElement>> FItems;
    QString FTitle;
    QStringList FDescription;
    TSVGDocument *FOwner;
    TSVGElement *FParent = nullptr;
    QStringList FClasses;
    int FUpdateCount = 0;
    QString FLanguage;
    QStringList FSystemLanguages;
    QStringList FRequiredFeatures;
    QStringList FRequiredExtensions;
    TSVGStyleProperties FAttributes;
    QList<TSVGXMLAttribute> FXMLAttributes;
    QString FTagName;
    // Set by a document without owner: it is its own document.
    TSVGDocument *FSelfDocument = nullptr;
};

// Creates the class of the tag table for a type, owned by aOwner; null for the types
// that create no element (desc, title, style, textPath, comment, etNone).
std::unique_ptr<TSVGElement> SVGCreateElement(TSVGElementType Type, TSVGDocument *aOwner);

// Element nesting beyond this depth is refused while loading, so that no recursive walk
// of a tree can exhaust the stack.
inline constexpr int SVGMaxElementDepth = 256;

// While a use draws the element it references, that element takes the use as its parent
// (for inheritance, percentages and viewports), on the drawing thread only: the tree is
// never changed, so readers on other threads see it as it is and a drawing that fails
// midway leaves nothing to put back. Scopes nest like the uses they stand for.
class TSVGUseScope {
public:
    TSVGUseScope(const TSVGElement &Used, TSVGElement &Use);
    ~TSVGUseScope();
    TSVGUseScope(const TSVGUseScope &) = delete;
    TSVGUseScope &operator=(const TSVGUseScope &) = delete;

private:
    friend class TSVGElement;
    const TSVGElement *FUsed;
    TSVGElement *FUse;
    const TSVGUseScope *FOuter;
};
