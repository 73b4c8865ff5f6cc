#pragma once
// The suite's scoring rule: both images composited over white, a pixel is wrong when any
// colour channel differs by more than 48, a case passes with at most 1% wrong pixels; a
// missing or unreadable output or one of another size fails.

#include <QImage>
#include <QString>

enum class TSuiteVerdict { Pass, Fail, NoOutput, Unreadable, Size };

struct TSuiteScore {
    TSuiteVerdict Verdict = TSuiteVerdict::NoOutput;
    double Wrong = 1.0;  // share of wrong pixels, 1 when the output cannot be compared
};

// The name score.py gives a verdict ("pass", "fail", "no-output", "unreadable", "size").
QString SuiteVerdictName(TSuiteVerdict verdict);

TSuiteScore ScoreImages(const QImage &reference, const QImage &candidate);
// A picture of where the two differ by the rule above: wrong pixels red, agreeing ones a
// faded grey copy of the reference. Null when the sizes differ or an image is missing.
QImage SuiteDifferenceImage(const QImage &reference, const QImage &candidate);

// As score.py: the candidate is read from a file, which may be missing or broken.
TSuiteScore ScoreFiles(const QString &referencePng, const QString &candidatePng);
