#pragma once
// Compact expectations for path point lists: a kind letter and a position per point.

#include "svg/model/path/path_data.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

struct TExpectedPoint {
    char Kind; // 'M', 'L', 'C', 'Z'
    float X, Y;
};

inline char KindLetter(TPathPointKind k)
{
    switch (k) {
    case TPathPointKind::MoveTo: return 'M';
    case TPathPointKind::LineTo: return 'L';
    case TPathPointKind::CurveTo: return 'C';
    case TPathPointKind::Close: return 'Z';
    }
    return '?';
}

// The kinds of all points as one string ("MLLZ"), for a readable first check.
inline std::string Kinds(const TPathData &Path)
{
    std::string s;
    for (const TPathPoint &p : Path.Points())
        s += KindLetter(p.Kind);
    return s;
}

inline void ExpectPoints(const TPathData &Path, const std::vector<TExpectedPoint> &Expected,
                         float Tolerance = 1e-3f)
{
    std::string kinds;
    for (const TExpectedPoint &e : Expected)
        kinds += e.Kind;
    ASSERT_EQ(Kinds(Path), kinds);
    for (size_t i = 0; i < Expected.size(); ++i) {
        EXPECT_NEAR(Path.Points()[i].Point.X, Expected[i].X, Tolerance) << "point " << i;
        EXPECT_NEAR(Path.Points()[i].Point.Y, Expected[i].Y, Tolerance) << "point " << i;
    }
}
