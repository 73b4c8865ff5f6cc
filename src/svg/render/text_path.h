#pragma once
// The path a textPath lays its text along: the referenced shape's outline in the text's
// user space (side="right" runs it backwards), flattened finely enough for glyphs to sit
// on it whatever the path's scale, with the point and direction at a distance along it.

#include "svg/model/dom/text.h"

#include <QPointF>
#include <vector>

class TSVGTextPathGeometry {
public:
    TSVGTextPathGeometry() = default;
    explicit TSVGTextPathGeometry(const TSVGText &textPath);

    // Whether the textPath references a shape with an outline to lay text along.
    bool Valid() const { return FPoints.size() >= 2; }
    double Length() const { return FLength; }
    // The point at distance S along the path and the path's direction there (degrees);
    // false off the path.
    bool At(double s, QPointF &point, double &angle) const;

private:
    std::vector<QPointF> FPoints;
    std::vector<double> FAlong;  // the distance along the path of each point
    std::vector<bool> FStarts;   // a point that starts a subpath (no segment leads to it)
    double FLength = 0;
};
