#pragma once
// The ground the SVG test programs stand on. The shared material (conformance suite and
// its fonts) is found through the folder CMake names at configure time, beside the source
// tree; a test that cannot find it fails rather than looking elsewhere.

#include <QString>

// The shared folder (holding svg-suite/).
QString SVGTestSharedRoot();

// The suite's font folder.
QString SVGTestSuiteFontFolder();

// Hides every font the machine has (system folders, the user's folder, any fontconfig
// set-up of the user's) behind a fontconfig configuration of the test's own that offers the
// suite's fonts and nothing else, with its cache in the build tree. Verdicts that compare
// drawn text with references must not move when a machine has more fonts. Must run before
// the QGuiApplication is made, since fontconfig reads its configuration once.
void SVGTestIsolateFonts();

// Loads the suite's fonts and makes them the families of the default and of the generic
// names serif, sans-serif and monospace, so that text is measured and drawn alike on every
// machine. Needs a running QGuiApplication.
void SVGTestUseSuiteFonts();
