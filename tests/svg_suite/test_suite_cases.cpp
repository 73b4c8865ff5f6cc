// Renders every in-scope case of the conformance suite with the engine and scores it with
// the suite's rule. The gate is passing.txt: every case named there must pass, and a case
// that passes must be named there, so the list moves in the same commit as the change that
// moves it. Each failing case leaves the engine's picture and a difference picture in the
// build folder (VUPLORA_SUITE_FAILURES); the per-folder table is printed as a report.
// Set VUPLORA_SUITE_OUT to a folder to keep every render for a look.

#include "suite_env.h"
#include "suite_score.h"

#include "svg/render/rasterize.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTextStream>
#include <gtest/gtest.h>
#include <map>

namespace {

struct TCase {
    QString Area, Folder, Name;
    QString Id() const { return Folder + QLatin1Char('/') + Name; }
};

std::vector<TCase> ScopedCases()
{
    std::vector<TCase> out;
    QFile scope(SuiteRoot() + QStringLiteral("/scope.txt"));
    if (!scope.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    QTextStream in(&scope);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() != 2)
            continue;
        QDir dir(SuiteRoot() + QStringLiteral("/tests/") + parts[1]);
        for (const QString &f : dir.entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name))
            out.push_back({parts[0], parts[1], f.chopped(4)});
    }
    return out;
}

// One "folder/case" per line; a line starting with "#" is a comment (case names may hold
// a "#" further on).
QStringList ReadPassingList(const QString &path)
{
    QStringList out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            out << line;
    }
    return out;
}

// The folders the drawing pipeline answers for on its own (no clipping, masking, markers,
// images or use), reported together as "reach".
bool InReach(const QString &folder)
{
    static const QStringList prefixes = {
        QStringLiteral("shapes/"),           QStringLiteral("paint-servers/"),
        QStringLiteral("painting/stroke"),   QStringLiteral("painting/fill"),
    };
    static const QStringList exact = {
        QStringLiteral("painting/color"),    QStringLiteral("painting/display"),
        QStringLiteral("painting/opacity"),  QStringLiteral("painting/visibility"),
        QStringLiteral("structure/defs"),    QStringLiteral("structure/g"),
        QStringLiteral("structure/style"),   QStringLiteral("structure/style-attribute"),
        QStringLiteral("structure/svg"),     QStringLiteral("structure/switch"),
        QStringLiteral("structure/systemLanguage"), QStringLiteral("structure/transform"),
    };
    if (exact.contains(folder))
        return true;
    for (const QString &p : prefixes)
        if (folder.startsWith(p))
            return true;
    return false;
}

struct TTally {
    int Passed = 0, Total = 0;
    double Percent() const { return Total ? 100.0 * Passed / Total : 0.0; }
};

QString FileStem(const TCase &c)
{
    return QString(c.Folder).replace(QLatin1Char('/'), QStringLiteral("__")) + QStringLiteral("__") + c.Name;
}

} // namespace

TEST(SvgSuite, EveryListedCasePassesAndEveryPassingCaseIsListed)
{
    const std::vector<TCase> cases = ScopedCases();
    ASSERT_FALSE(cases.empty()) << "no suite at " << SuiteRoot().toStdString();
    const QStringList listed = ReadPassingList(QStringLiteral(VUPLORA_SUITE_PASSING));
    ASSERT_FALSE(listed.isEmpty()) << "no passing list at " << VUPLORA_SUITE_PASSING;
    const QSet<QString> expected(listed.begin(), listed.end());

    const QString failDir = QStringLiteral(VUPLORA_SUITE_FAILURES);
    QDir(failDir).removeRecursively();  // only this run's failures stay
    QDir().mkpath(failDir);
    const QString outDir = qEnvironmentVariable("VUPLORA_SUITE_OUT");
    if (!outDir.isEmpty())
        QDir().mkpath(outDir);

    std::map<QString, TTally> folders, areas;
    TTally all, reach;
    QSet<QString> known;
    for (const TCase &c : cases) {
        known.insert(c.Id());
        const QString base = SuiteRoot() + QStringLiteral("/tests/") + c.Id();
        QImage render;
        try {
            TSVGRasterOptions options;
            options.Width = 300;
            options.Languages = QStringLiteral("en");  // the references' language
            render = SVGRenderFile(base + QStringLiteral(".svg"), options);
        } catch (const std::exception &) {
            render = QImage();  // a document that does not load fails like a missing output
        }
        const QImage reference(base + QStringLiteral(".png"));
        const TSuiteScore s = render.isNull() ? TSuiteScore{TSuiteVerdict::NoOutput, 1.0}
                                              : ScoreImages(reference, render);
        const bool pass = s.Verdict == TSuiteVerdict::Pass;
        for (TTally *t : {&folders[c.Folder], &areas[c.Area], &all}) {
            t->Passed += pass;
            ++t->Total;
        }
        if (InReach(c.Folder)) {
            reach.Passed += pass;
            ++reach.Total;
        }
        if (!outDir.isEmpty() && !render.isNull())
            render.save(outDir + QLatin1Char('/') + FileStem(c) + QStringLiteral(".png"));
        if (pass) {
            EXPECT_TRUE(expected.contains(c.Id()))
                << c.Id().toStdString() << " now passes: add it to tests/svg_suite/passing.txt";
            continue;
        }
        const QString stem = failDir + QLatin1Char('/') + FileStem(c);
        if (!render.isNull())
            render.save(stem + QStringLiteral(".png"));
        const QImage diff = SuiteDifferenceImage(reference, render);
        if (!diff.isNull())
            diff.save(stem + QStringLiteral(".diff.png"));
        EXPECT_FALSE(expected.contains(c.Id()))
            << c.Id().toStdString() << " regressed: " << SuiteVerdictName(s.Verdict).toStdString() << ", "
            << s.Wrong * 100 << "% of the pixels wrong (pictures in " << failDir.toStdString() << ")";
    }
    for (const QString &name : listed)
        EXPECT_TRUE(known.contains(name)) << "passing.txt names " << name.toStdString()
                                          << ", which is not a case in scope";

    QString report;
    QTextStream out(&report);
    for (const auto &[name, t] : areas)
        out << QStringLiteral("area %1: %2/%3 (%4%)\n").arg(name).arg(t.Passed).arg(t.Total).arg(t.Percent(), 0, 'f', 1);
    for (const auto &[name, t] : folders)
        out << QStringLiteral("  %1: %2/%3 (%4%)\n").arg(name, -30).arg(t.Passed).arg(t.Total).arg(t.Percent(), 0, 'f', 1);
    out << QStringLiteral("reach: %1/%2 (%3%)\n").arg(reach.Passed).arg(reach.Total).arg(reach.Percent(), 0, 'f', 1);
    out << QStringLiteral("all: %1/%2 (%3%)\n").arg(all.Passed).arg(all.Total).arg(all.Percent(), 0, 'f', 1);
    std::printf("%s", qPrintable(report));
}
