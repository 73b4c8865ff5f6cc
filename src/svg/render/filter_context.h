#pragma once
// What a filter primitive sees while it runs: the filter region in device pixels, how
// user units and primitive units map onto them, and its inputs. Shared by the pipeline
// (filter.cpp) and the primitives (filter_primitives.cpp).

#include "svg/model/values/matrix.h"
#include "svg/render/filter_raster.h"

#include <QRectF>
#include <QString>
#include <functional>

class TSVGFilterPrimitive;
class TSVGGraphicElement;
class TSVGPainter;

struct TSVGFilterContext {
    TSVGPainter *Painter = nullptr;
    TSVGGraphicElement *Element = nullptr;  // the filtered element
    TMatrix M;                               // the element's user space to device pixels
    QRect Region;                            // the filter region, device pixels
    QRectF Box;                              // the element's bounding box (user space)
    bool PrimitiveBox = false;               // primitiveUnits objectBoundingBox
    double ScaleX = 1, ScaleY = 1;           // device pixels per user unit
    // The input an `in` text names, in Space (the previous result when empty).
    std::function<TSVGFilterImage(const QString &in, TSVGFilterSpace space)> Input;
    // The subregion of the result an `in` text names (the region for standard inputs).
    std::function<QRect(const QString &in)> InputSubregion;

    // A number of the primitive in device pixels along each axis.
    double DeviceX(double v) const { return v * (PrimitiveBox ? Box.width() : 1) * ScaleX; }
    double DeviceY(double v) const { return v * (PrimitiveBox ? Box.height() : 1) * ScaleY; }
    QSize Size() const { return Region.size(); }
};

// Runs one primitive over its Subregion (region pixels) in Space; the result is the size
// of the region and holds nothing outside the subregion.
TSVGFilterImage SVGRunFilterPrimitive(const TSVGFilterContext &context, const TSVGFilterPrimitive &primitive,
                                      const QRect &subregion, TSVGFilterSpace space);

// A primitive's attribute or property as written, trimmed; empty when absent.
QString SVGFilterAttribute(const TSVGFilterPrimitive &primitive, QStringView name);
// The numbers of a list attribute; empty when absent or when one cannot be read.
std::vector<double> SVGFilterNumbers(const QString &text);
