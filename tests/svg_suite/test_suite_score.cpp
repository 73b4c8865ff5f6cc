// The C++ scoring rule must give the verdicts and shares that the suite's own score.py
// gives for the same files.

#include "suite_env.h"
#include "suite_score.h"

#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QImage Tinted(const QImage &src, int delta, double share)
{
    // Moves the red channel of the first `share` of the pixels (row order) by delta, on
    // the picture composited over white so that every changed pixel shows.
    QImage img(src.size(), QImage::Format_ARGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.drawImage(0, 0, src);
    }
    const qint64 n = qint64(img.width()) * img.height(), limit = qint64(share * double(n));
    qint64 i = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x, ++i) {
            if (i >= limit)
                return img;
            const QRgb p = img.pixel(x, y);
            const int r = qRed(p) > 127 ? qRed(p) - delta : qRed(p) + delta;
            img.setPixel(x, y, qRgba(r, qGreen(p), qBlue(p), qAlpha(p)));
        }
    return img;
}

QImage Shifted(const QImage &src, int dx)
{
    QImage img(src.size(), QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.drawImage(dx, 0, src);
    return img;
}

QImage HalfTransparent(const QImage &src)
{
    QImage img = src.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            img.setPixel(x, y, qRgba(qRed(p), qGreen(p), qBlue(p), 128));
        }
    return img;
}

} // namespace

TEST(SvgSuite, ScoringAgreesWithTheSuiteScript)
{
    const QString script = SuiteRoot() + QStringLiteral("/score.py");
    ASSERT_TRUE(QFile::exists(script));
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString ref = SuiteRoot() + QStringLiteral("/tests/shapes/rect/simple-case.png");
    const QString gradientRef = SuiteRoot() + QStringLiteral("/tests/paint-servers/radialGradient/fr=0.5.png");
    const QImage r(ref), g(gradientRef);
    ASSERT_FALSE(r.isNull());

    struct Case {
        const char *name;
        QString reference;
        QImage candidate;      // null: write garbage or nothing (see below)
        bool garbage = false;
    };
    std::vector<Case> cases = {
        {"identical", ref, r},
        {"shifted", ref, Shifted(r, 3)},
        {"tinted by 48 everywhere", ref, Tinted(r, 48, 1.0)},
        {"tinted by 49 on 0.9%", ref, Tinted(r, 49, 0.009)},
        {"tinted by 49 on 1.1%", ref, Tinted(r, 49, 0.011)},
        {"half transparent", ref, HalfTransparent(r)},
        {"other picture", ref, g.isNull() ? Shifted(r, 40) : g},
        {"cropped", ref, r.copy(0, 0, r.width(), r.height() - 1)},
        {"missing", ref, QImage()},
        {"garbage", ref, QImage(), true},
    };

    QString pyPairs;
    for (size_t i = 0; i < cases.size(); ++i) {
        const QString cand = tmp.filePath(QStringLiteral("c%1.png").arg(i));
        if (!cases[i].candidate.isNull())
            ASSERT_TRUE(cases[i].candidate.save(cand));
        else if (cases[i].garbage) {
            QFile f(cand);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("not a png");
        }
        pyPairs += QStringLiteral("(%1, %2),").arg(QStringLiteral("'%1'").arg(cases[i].reference),
                                                  QStringLiteral("'%1'").arg(cand));
    }

    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"),
             {QStringLiteral("-c"),
              QStringLiteral("import sys; sys.path.insert(0, '%1')\n"
                             "try:\n import score\nexcept ImportError:\n print('SKIP'); sys.exit(0)\n"
                             "for r, c in [%2]:\n v, w = score.score(r, c); print(v, repr(w))\n")
                  .arg(SuiteRoot(), pyPairs)});
    ASSERT_TRUE(py.waitForFinished(120000));
    const QStringList lines = QString::fromUtf8(py.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.value(0) == QLatin1String("SKIP"))
        GTEST_SKIP() << "python3-numpy or python3-pil missing";
    ASSERT_EQ(lines.size(), qsizetype(cases.size())) << py.readAllStandardError().toStdString();

    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        const QStringList py_ = lines[qsizetype(i)].split(QLatin1Char(' '));
        const TSuiteScore mine = ScoreFiles(cases[i].reference, tmp.filePath(QStringLiteral("c%1.png").arg(i)));
        EXPECT_EQ(SuiteVerdictName(mine.Verdict), py_.value(0));
        EXPECT_NEAR(mine.Wrong, py_.value(1).toDouble(), 1e-9);
    }
    // The table covers both verdicts of a readable pair.
    EXPECT_EQ(ScoreFiles(ref, tmp.filePath(QStringLiteral("c0.png"))).Verdict, TSuiteVerdict::Pass);
    EXPECT_EQ(ScoreFiles(ref, tmp.filePath(QStringLiteral("c4.png"))).Verdict, TSuiteVerdict::Fail);
}
