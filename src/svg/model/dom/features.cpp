// Conditional processing: the SVG 1.1 feature strings the engine claims, and the
// language tests against the user's preferred languages.

#include "svg/model/dom/document.h"
#include "svg/model/values/lists.h"

#include <QLocale>
#include <QMutex>
#include <array>

namespace {

struct TFeature {
    const char *Name;
    bool Supported;
};

constexpr std::array<TFeature, 43> Features = {{
    {"SVG", false}, {"SVGDOM", false}, {"SVG-static", false}, {"SVGDOM-static", false},
    {"SVG-animation", false}, {"SVGDOM-animation", false}, {"SVG-dynamic", false},
    {"SVGDOM-dynamic", false}, {"CoreAttribute", true}, {"Structure", true},
    {"BasicStructure", true}, {"ContainerAttribute", false}, {"ConditionalProcessing", true},
    {"Image", false}, {"Style", true}, {"ViewportAttribute", false}, {"Shape", true},
    {"Text", false}, {"BasicText", true}, {"PaintAttribute", false},
    {"BasicPaintAttribute", true}, {"OpacityAttribute", true}, {"GraphicsAttribute", false},
    {"BasicGraphicsAttribute", true}, {"Marker", true}, {"ColorProfile", false},
    {"Gradient", true}, {"Pattern", false}, {"Clip", true}, {"Mask", false},
    {"Filter", false}, {"XlinkAttribute", false}, {"Font", false}, {"BasicFont", false},
    {"Extensibility", false}, {"Hyperlinking", false}, {"Scripting", false},
    {"View", false}, {"Cursor", false}, {"Animation", false},
    {"GraphicalEventsAttribute", false}, {"DocumentEventsAttribute", false},
    {"AnimationEventsAttribute", false},
}};

constexpr QLatin1String FeaturePrefix("http://www.w3.org/TR/SVG11/feature#");

} // namespace

bool TSVGDocument::SupportsFeature(const QString &Feature)
{
    if (!Feature.startsWith(FeaturePrefix))
        return false;
    const QStringView name = QStringView(Feature).mid(FeaturePrefix.size());
    for (const TFeature &f : Features)
        if (name == QLatin1String(f.Name))
            return f.Supported;
    return false;
}

bool TSVGDocument::SupportsLanguage(const QString &Language) const
{
    const QStringList items = SplitList(Language, QStringLiteral(", "));
    if (items.isEmpty())
        return true;
    const TSVGDocument *root = Owner() ? Owner() : this;
    const QStringList reference = root->Options().testFlag(soUseLocaleForLanguage)
                                      ? SVGUserLanguages()
                                      : root->PreferredLanguages();
    for (const QString &entry : reference)
        for (const QString &item : items)
            if (entry.startsWith(item, Qt::CaseInsensitive))
                return true;
    return false;
}

namespace {

struct TUserLanguageList {
    QMutex Lock;
    bool Set = false;
    QStringList Languages;
};

TUserLanguageList &UserLanguageList()
{
    static TUserLanguageList list;
    return list;
}

} // namespace

QStringList SVGUserLanguages()
{
    TUserLanguageList &list = UserLanguageList();
    QMutexLocker lock(&list.Lock);
    if (!list.Set)
        return QLocale::system().uiLanguages();
    return list.Languages;
}

void SVGSetUserLanguages(const QStringList &Languages)
{
    TUserLanguageList &list = UserLanguageList();
    QMutexLocker lock(&list.Lock);
    list.Languages = Languages;
    list.Set = true;
}
