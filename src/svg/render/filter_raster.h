#pragma once
// The pictures filter primitives pass on: premultiplied ARGB32 rasters the size of the
// filter region in device pixels, each marked with the colour space its channels are
// in, and the operations several families of primitives share. Every raster here is
// allocated through the raster limits. Rectangles are in the region's own pixels.

#include "svg/render/raster_limits.h"

#include <QImage>
#include <QRect>
#include <QTransform>
#include <array>
#include <vector>

enum class TSVGFilterSpace { SRGB, LinearRGB };

struct TSVGFilterImage {
    QImage Image;
    TSVGFilterSpace Space = TSVGFilterSpace::SRGB;
};

// The picture converted to Space (a copy only when the spaces differ).
TSVGFilterImage SVGFilterToSpace(const TSVGFilterImage &image, TSVGFilterSpace space);

// Everything of Image outside Area becomes transparent.
void SVGFilterKeepArea(QImage &image, const QRect &area);

// Unpremultiplied channels of a premultiplied pixel and back, rounded.
struct TSVGRgba {
    float R, G, B, A;  // 0 .. 1
};
TSVGRgba SVGFilterUnpremultiply(QRgb p);
QRgb SVGFilterPremultiply(float r, float g, float b, float a);  // clamped to 0 .. 1
QRgb SVGFilterSourceOver(QRgb source, QRgb backdrop);

// --- the kernels behind the primitives (filter_blur.cpp, filter_color.cpp, filter_light.cpp)

// Gaussian blur with deviations in device pixels (zero leaves that axis alone): an
// exact kernel for deviations below 2, three running-sum box passes above, so that the
// cost does not grow with the deviation.
void SVGFilterBlur(QImage &image, double deviationX, double deviationY);
// Erosion (the least of each channel) or dilation (the greatest) over a window of
// 2 * RadiusX + 1 by 2 * RadiusY + 1 pixels, in separable passes.
void SVGFilterMorphology(QImage &image, int radiusX, int radiusY, bool dilate);
// feDropShadow: Image's alpha blurred and moved (device pixels), filled with Color
// (unpremultiplied ARGB), and Image over it.
QImage SVGFilterDropShadow(const QImage &image, double dx, double dy, double deviationX, double deviationY,
                           QRgb color);
// feConvolveMatrix of Input into Output (same size): Kernel row by row, OrderX wide.
// With PreserveAlpha the colour channels of the unpremultiplied input are convolved
// and its alpha kept.
struct TSVGConvolution {
    int OrderX = 3, OrderY = 3, TargetX = 1, TargetY = 1;
    std::vector<double> Kernel;
    double Divisor = 1, Bias = 0;
    enum class TEdge { Duplicate, Wrap, None } Edge = TEdge::Duplicate;
    bool PreserveAlpha = false;
};
void SVGFilterConvolve(const QImage &input, QImage &output, const TSVGConvolution &convolution);
// Moves the picture by whole pixels.
QImage SVGFilterOffset(const QImage &image, int dx, int dy);

// A 5 x 4 colour matrix applied to unpremultiplied channels (row-major, the fifth column
// in units of 1).
using TSVGColorMatrix = std::array<float, 20>;
void SVGFilterColorMatrix(QImage &image, const TSVGColorMatrix &m);
TSVGColorMatrix SVGSaturateMatrix(float s);
TSVGColorMatrix SVGHueRotateMatrix(float degrees);
TSVGColorMatrix SVGLuminanceToAlphaMatrix();
// One 256-entry table per channel (R, G, B, A) applied to unpremultiplied channels.
using TSVGChannelTables = std::array<std::array<quint8, 256>, 4>;
void SVGFilterTransfer(QImage &image, const TSVGChannelTables &tables);

// Diffuse or specular lighting of Input's alpha as a height map into Output (same
// size). Positions are in the region's pixels, angles in radians.
enum class TSVGLightKind { Distant, Point, Spot };
struct TSVGLightPoint {
    double X = 0, Y = 0, Z = 0;
};
struct TSVGLighting {
    bool Specular = false;
    double SurfaceScale = 1, Constant = 1, Exponent = 1;
    QRgb Color = 0xFFFFFFFFu;  // unpremultiplied, in the primitive's space
    TSVGLightKind Kind = TSVGLightKind::Distant;
    double Azimuth = 0, Elevation = 0;
    TSVGLightPoint Position, PointsAt;
    double SpotExponent = 1;
    bool HasCone = false;
    double ConeAngle = 0;
};
void SVGFilterLighting(const QImage &input, QImage &output, const TSVGLighting &lighting);

// feTurbulence into Area of Output; ToUser maps the region's pixels to user space,
// where the noise is laid out; Tile is the stitching tile in user space.
struct TSVGTurbulence {
    double FreqX = 0, FreqY = 0;
    int Octaves = 1;
    long Seed = 0;
    bool Fractal = false, Stitch = false;
    QRectF Tile;
    QTransform ToUser;
};
// More noise samples (channels x octaves x pixels) than this raise ESVGException
// "Filter too costly: turbulence of %1 octaves over %2 x %3 pixels" instead of taking
// seconds; octaves past ten are not computed (they cannot change a byte).
inline constexpr double SVGMaxTurbulenceSamples = 1.6e7;
void SVGFilterTurbulence(QImage &output, const QRect &area, const TSVGTurbulence &turbulence);

// The sixteen blend modes of compositing, by their CSS names; -1 for another name.
int SVGBlendMode(QStringView name);
// Source blended over Backdrop with a mode of SVGBlendMode, into Backdrop; the second
// form only within Area, where both pictures are the same size.
void SVGFilterBlend(QImage &backdrop, const QImage &source, int mode);
void SVGBlendArea(QImage &backdrop, const QImage &source, const QRect &area, int mode);
// Every pixel within Area scaled by Opacity (0 .. 1).
void SVGMultiplyOpacity(QImage &image, const QRect &area, float opacity);
// Porter-Duff operators over, in, out, atop, xor (and arithmetic with K1..K4, clamped)
// of Source with Destination, into Destination.
enum class TSVGCompositeOp { Over, In, Out, Atop, Xor, Arithmetic };
void SVGFilterComposite(QImage &destination, const QImage &source, TSVGCompositeOp op,
                        const std::array<float, 4> &k = {});
