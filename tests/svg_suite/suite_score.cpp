#include "suite_score.h"

#include <QFile>
#include <algorithm>
#include <cmath>

namespace {

constexpr float kPixelDiff = 48;
constexpr double kWrongShare = 0.01;

// One row of straight RGB composited over white, in float as the reference script does.
void OverWhite(const QImage &img, int y, float *out)
{
    const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x) {
        const QRgb p = line[x];
        const float a = float(qAlpha(p)) / 255.0f;
        out[3 * x + 0] = float(qRed(p)) * a + 255.0f * (1 - a);
        out[3 * x + 1] = float(qGreen(p)) * a + 255.0f * (1 - a);
        out[3 * x + 2] = float(qBlue(p)) * a + 255.0f * (1 - a);
    }
}

} // namespace

QString SuiteVerdictName(TSuiteVerdict verdict)
{
    switch (verdict) {
    case TSuiteVerdict::Pass: return QStringLiteral("pass");
    case TSuiteVerdict::Fail: return QStringLiteral("fail");
    case TSuiteVerdict::NoOutput: return QStringLiteral("no-output");
    case TSuiteVerdict::Unreadable: return QStringLiteral("unreadable");
    case TSuiteVerdict::Size: return QStringLiteral("size");
    }
    return QString();
}

TSuiteScore ScoreImages(const QImage &reference, const QImage &candidate)
{
    if (reference.isNull() || candidate.isNull())
        return {TSuiteVerdict::Unreadable, 1.0};
    if (reference.size() != candidate.size())
        return {TSuiteVerdict::Size, 1.0};
    // Straight (not premultiplied) ARGB, as an RGBA conversion gives it.
    const QImage r = reference.convertToFormat(QImage::Format_ARGB32);
    const QImage c = candidate.convertToFormat(QImage::Format_ARGB32);
    const int w = r.width(), h = r.height();
    std::vector<float> rr(size_t(w) * 3), cc(size_t(w) * 3);
    qint64 wrong = 0;
    for (int y = 0; y < h; ++y) {
        OverWhite(r, y, rr.data());
        OverWhite(c, y, cc.data());
        for (int x = 0; x < w; ++x) {
            float d = 0;
            for (int k = 0; k < 3; ++k)
                d = std::max(d, std::fabs(rr[3 * x + k] - cc[3 * x + k]));
            wrong += d > kPixelDiff;
        }
    }
    const double share = w > 0 && h > 0 ? double(wrong) / (double(w) * h) : 0.0;
    return {share <= kWrongShare ? TSuiteVerdict::Pass : TSuiteVerdict::Fail, share};
}

QImage SuiteDifferenceImage(const QImage &reference, const QImage &candidate)
{
    if (reference.isNull() || candidate.isNull() || reference.size() != candidate.size())
        return QImage();
    const QImage r = reference.convertToFormat(QImage::Format_ARGB32);
    const QImage c = candidate.convertToFormat(QImage::Format_ARGB32);
    const int w = r.width(), h = r.height();
    QImage out(r.size(), QImage::Format_RGB32);
    std::vector<float> rr(size_t(w) * 3), cc(size_t(w) * 3);
    for (int y = 0; y < h; ++y) {
        OverWhite(r, y, rr.data());
        OverWhite(c, y, cc.data());
        QRgb *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            float d = 0;
            for (int k = 0; k < 3; ++k)
                d = std::max(d, std::fabs(rr[3 * x + k] - cc[3 * x + k]));
            // The reference stays faintly visible so that a wrong pixel can be placed.
            const int grey = 255 - int((255.0f - (rr[3 * x] + rr[3 * x + 1] + rr[3 * x + 2]) / 3) / 4);
            line[x] = d > kPixelDiff ? qRgb(255, 0, 0) : qRgb(grey, grey, grey);
        }
    }
    return out;
}

TSuiteScore ScoreFiles(const QString &referencePng, const QString &candidatePng)
{
    if (!QFile::exists(candidatePng))
        return {TSuiteVerdict::NoOutput, 1.0};
    const QImage r(referencePng), c(candidatePng);
    if (r.isNull() || c.isNull())
        return {TSuiteVerdict::Unreadable, 1.0};
    return ScoreImages(r, c);
}
