#pragma once
// Elliptical arcs as cubic Bézier curves.

#include "svg/model/path/point.h"

class TPathData;

// The SVG arc from Path.LastPoint() to EndPoint: radii, x-axis rotation in degrees and
// the two flags as the path-data arc command gives them. Appends curves only (the arc
// continues the current subpath); nothing when the end point equals the current point,
// and a straight line when a radius is zero.
void AddSVGArc(TPathData &Path, TPointF Radii, float XAxisRotation, bool LargeArc,
               bool Sweep, TPointF EndPoint);

// An arc of the ellipse with centre C and radii R from the parametric angle
// StartAngle over Sweep (radians, positive from the x axis towards the y axis), as
// CurveTo pieces of at most a quarter turn; no MoveTo and no line to its start.
void AddArcPieces(TPathData &Path, TPointF C, TPointF R, double StartAngle, double Sweep);
