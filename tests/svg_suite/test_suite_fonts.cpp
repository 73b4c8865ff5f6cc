// The suite's verdicts must not depend on the fonts a machine happens to have: text is
// drawn with the suite's fonts and nothing else, so that a family the machine offers
// (system-wide or in the user's folder) cannot stand in for a missing one.

#include "svg_test_env.h"

#include <QDir>
#include <QDirIterator>
#include <QFontDatabase>
#include <QFontInfo>
#include <QRawFont>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// The family names of every font file in a folder, as the font files name them; with
// `load`, also the names the font system gives them (it knows the legacy names of
// heavy and light weights, such as "Noto Sans Blk").
QSet<QString> FamiliesIn(const QString &folder, bool recursive, bool load)
{
    QSet<QString> out;
    QDirIterator it(folder, {QStringLiteral("*.ttf"), QStringLiteral("*.otf"), QStringLiteral("*.ttc")},
                    QDir::Files, recursive ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        const QString file = it.next();
        const QRawFont raw(file, 12);
        if (raw.isValid())
            out.insert(raw.familyName());
        if (load)
            for (const QString &family : QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFont(file)))
                out.insert(family);
    }
    return out;
}

} // namespace

TEST(SuiteFonts, OnlyTheSuiteFontsAreSeenWhateverTheMachineHas)
{
    const QSet<QString> suite = FamiliesIn(SVGTestSuiteFontFolder(), false, true);
    ASSERT_GE(suite.size(), 10) << "the suite's fonts were not found";

    // The set-up installs more fonts system-wide (Noto's other scripts, CJK, DejaVu): the
    // test means something only where the machine offers families beyond the suite's.
    const QSet<QString> machine = FamiliesIn(QStringLiteral("/usr/share/fonts"), true, false);
    const QSet<QString> extra = machine - suite;
    ASSERT_FALSE(extra.isEmpty()) << "this machine has no font beyond the suite's";
    // The font system's generic names are listed too; they must stand for the suite's fonts.
    const QSet<QString> generic = {QStringLiteral("Sans Serif"), QStringLiteral("Serif"), QStringLiteral("Monospace")};

    for (const QString &family : QFontDatabase::families())
        EXPECT_TRUE(suite.contains(family) || generic.contains(family)) << family.toStdString() << " is visible to the suite";
    for (const QString &family : extra + generic) {
        const QFontInfo info(QFont(family, 12));
        EXPECT_TRUE(suite.contains(info.family()))
            << "asking for " << family.toStdString() << " gave " << info.family().toStdString();
    }
}
