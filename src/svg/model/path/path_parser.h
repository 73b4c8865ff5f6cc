#pragma once
// The SVG path-data parser. It clears Path and appends what the text describes:
// quadratic curves and elliptical arcs become cubic curves. Malformed data never
// raises: each command's errors are dropped and parsing continues or stops as the
// text allows, keeping the points read so far. Numbers are read with "." as decimal
// point whatever the locale.
//
// The caller brackets the parse with its own update (TRSPathData::SetData does).

#include <QStringView>
#include <string_view>

class TPathData;

void ParsePathData(TPathData &Path, QStringView Text);
// The same for 8-bit text (UTF-8 or Latin-1 as it comes from the XML reader).
void ParsePathData(TPathData &Path, std::string_view Text);
