#include "svg/model/css/style_property.h"

#include <iterator>

namespace {

constexpr const char *PropertyNames[] = {
    "",
    "clip",
    "clip-path",
    "clip-rule",
    "color",
    "color-interpolation",
    "color-rendering",
    "cursor",
    "display",
    "fill",
    "fill-opacity",
    "fill-rule",
    "flood-color",
    "flood-opacity",
    "font",
    "font-family",
    "font-size",
    "font-style",
    "font-weight",
    "marker",
    "marker-end",
    "marker-mid",
    "marker-start",
    "opacity",
    "overflow",
    "shape-rendering",
    "stop-color",
    "stop-opacity",
    "stroke",
    "stroke-dasharray",
    "stroke-dashoffset",
    "stroke-linecap",
    "stroke-linejoin",
    "stroke-opacity",
    "stroke-width",
    "text-anchor",
    "text-decoration",
    "text-rendering",
    "visibility",
};

static_assert(std::size(PropertyNames) == SVGStylePropertyCount);

} // namespace

QString SVGStylePropertyName(TSVGStyleProperty property)
{
    if (property < 0 || property >= SVGStylePropertyCount)
        return QString();
    return QLatin1String(PropertyNames[property]);
}

TSVGStyleProperty SVGStylePropertyByName(QStringView name)
{
    for (int i = 1; i < SVGStylePropertyCount; ++i) {
        if (name == QLatin1String(PropertyNames[i]))
            return TSVGStyleProperty(i);
    }
    return ipNone;
}
