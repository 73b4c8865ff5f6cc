#include "svg_test_env.h"

#include "svg/render/text_metrics.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <stdexcept>

QString SVGTestSharedRoot()
{
    return QStringLiteral(VUPLORA_SHARED_DIR);
}

QString SVGTestSuiteFontFolder()
{
    return SVGTestSharedRoot() + QStringLiteral("/svg-suite/fonts");
}

void SVGTestIsolateFonts()
{
    const QString home = QStringLiteral(VUPLORA_FONTCONFIG_DIR);
    const QString cache = home + QStringLiteral("/cache");
    if (!QDir().mkpath(cache))
        throw std::runtime_error("cannot make the test font cache folder");
    // No <include>: neither the system's conf.d (which adds the system and user folders)
    // nor the user's own configuration is read.
    const QString conf = QStringLiteral(
        "<?xml version=\"1.0\"?>\n"
        "<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
        "<fontconfig>\n"
        "  <dir>%1</dir>\n"
        "  <cachedir>%2</cachedir>\n"
        "</fontconfig>\n").arg(QDir(SVGTestSuiteFontFolder()).absolutePath().toHtmlEscaped(),
                               cache.toHtmlEscaped());
    const QString path = home + QStringLiteral("/fonts.conf");
    QFile current(path);
    if (!current.open(QIODevice::ReadOnly) || current.readAll() != conf.toUtf8()) {
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(conf.toUtf8()) < 0 || !out.commit())
            throw std::runtime_error("cannot write the test fontconfig file");
    }
    qputenv("FONTCONFIG_FILE", QFile::encodeName(path));
    qunsetenv("FONTCONFIG_PATH");
    qunsetenv("FONTCONFIG_SYSROOT");
}

void SVGTestUseSuiteFonts()
{
    TTextMetrics::AddFontFolder(SVGTestSuiteFontFolder());
    TTextMetrics::SetDefaultFamily(QStringLiteral("Noto Sans"));
    // The references draw text whose families are all missing with their serif face.
    TTextMetrics::SetFallbackFamily(QStringLiteral("Noto Serif"));
    TTextMetrics::SetGenericFamily(QStringLiteral("serif"), QStringLiteral("Noto Serif"));
    TTextMetrics::SetGenericFamily(QStringLiteral("sans-serif"), QStringLiteral("Noto Sans"));
    TTextMetrics::SetGenericFamily(QStringLiteral("monospace"), QStringLiteral("Noto Mono"));
}
