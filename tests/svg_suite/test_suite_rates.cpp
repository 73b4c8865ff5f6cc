// Renders every in-scope case of the conformance suite with the engine, scores it with
// the suite's rule and holds the pass rate of each folder at or above the ratchet in
// floor.txt. Set VUPLORA_SUITE_OUT to a folder to keep the renders for a look.

#include "suite_env.h"
#include "suite_score.h"

#include "svg/render/rasterize.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <gtest/gtest.h>
#include <map>

namespace {

struct TCase {
    QString Area, Folder, Name;
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

// "folder percent" lines; "#" starts a comment.
std::map<QString, double> ReadFloor(const QString &path)
{
    std::map<QString, double> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    QTextStream in(&f);
    while (!in.atEnd()) {
        QString line = in.readLine();
        line = line.left(line.indexOf(QLatin1Char('#'))).trimmed();
        const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() == 2)
            out[parts[0]] = parts[1].toDouble();
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

} // namespace

TEST(SvgSuite, PassRatesStayAtOrAboveTheFloor)
{
    const std::vector<TCase> cases = ScopedCases();
    ASSERT_FALSE(cases.empty()) << "no suite at " << SuiteRoot().toStdString();
    const QString outDir = qEnvironmentVariable("VUPLORA_SUITE_OUT");
    if (!outDir.isEmpty())
        QDir().mkpath(outDir);

    std::map<QString, TTally> folders, areas;
    TTally all, reach;
    QStringList failed;
    for (const TCase &c : cases) {
        const QString base = SuiteRoot() + QStringLiteral("/tests/") + c.Folder + QLatin1Char('/') + c.Name;
        QImage render;
        try {
            TSVGRasterOptions options;
            options.Width = 300;
            options.Languages = QStringLiteral("en");  // the references' language
            render = SVGRenderFile(base + QStringLiteral(".svg"), options);
        } catch (const std::exception &) {
            render = QImage();  // a document that does not load fails like a missing output
        }
        const TSuiteScore s = render.isNull() ? TSuiteScore{TSuiteVerdict::NoOutput, 1.0}
                                              : ScoreImages(QImage(base + QStringLiteral(".png")), render);
        const bool pass = s.Verdict == TSuiteVerdict::Pass;
        for (TTally *t : {&folders[c.Folder], &areas[c.Area], &all}) {
            t->Passed += pass;
            ++t->Total;
        }
        if (InReach(c.Folder)) {
            reach.Passed += pass;
            ++reach.Total;
        }
        if (!pass)
            failed << QStringLiteral("%1/%2 %3 %4").arg(c.Folder, c.Name, SuiteVerdictName(s.Verdict))
                          .arg(s.Wrong, 0, 'f', 4);
        if (!outDir.isEmpty() && !render.isNull())
            render.save(outDir + QLatin1Char('/') + QString(c.Folder).replace(QLatin1Char('/'), QStringLiteral("__")) +
                        QStringLiteral("__") + c.Name + QStringLiteral(".png"));
    }

    QString report;
    QTextStream out(&report);
    for (const auto &[name, t] : areas)
        out << QStringLiteral("area %1: %2/%3 (%4%)\n").arg(name).arg(t.Passed).arg(t.Total).arg(t.Percent(), 0, 'f', 1);
    for (const auto &[name, t] : folders)
        out << QStringLiteral("  %1: %2/%3 (%4%)\n").arg(name, -30).arg(t.Passed).arg(t.Total).arg(t.Percent(), 0, 'f', 1);
    out << QStringLiteral("reach: %1/%2 (%3%)\n").arg(reach.Passed).arg(reach.Total).arg(reach.Percent(), 0, 'f', 1);
    out << QStringLiteral("all: %1/%2 (%3%)\n").arg(all.Passed).arg(all.Total).arg(all.Percent(), 0, 'f', 1);
    std::printf("%s", qPrintable(report));
    if (qEnvironmentVariableIsSet("VUPLORA_SUITE_FAILURES"))
        std::printf("%s\n", qPrintable(failed.join(QLatin1Char('\n'))));

    const std::map<QString, double> floor = ReadFloor(QStringLiteral(VUPLORA_SUITE_FLOOR));
    ASSERT_FALSE(floor.empty()) << "no floor file";
    for (const auto &[name, minimum] : floor) {
        const TTally *t = name == QLatin1String("all")     ? &all
                          : name == QLatin1String("reach") ? &reach
                          : folders.count(name)            ? &folders[name]
                          : areas.count(name)          ? &areas[name]
                                                       : nullptr;
        ASSERT_NE(t, nullptr) << "floor names an unknown folder: " << name.toStdString();
        EXPECT_GE(t->Percent() + 1e-9, minimum) << name.toStdString() << " fell below its floor";
    }
}
