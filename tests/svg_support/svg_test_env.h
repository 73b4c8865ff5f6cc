#pragma once
// The ground the SVG test programs stand on. The shared material (conformance suite and
// its fonts) is found through the folder CMake names at configure time, beside the source
// tree; a test that cannot find it fails rather than looking elsewhere.

#include <QString>

// The shared folder (holding svg-suite/).
QString SVGTestSharedRoot();

// Loads the suite's fonts and makes them the families of the default and of the generic
// names serif, sans-serif and monospace, so that text is measured and drawn alike on every
// machine. Needs a running QGuiApplication.
void SVGTestUseSuiteFonts();
