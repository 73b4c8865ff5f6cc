#include "svg_test_env.h"

#include "svg/render/text_metrics.h"

QString SVGTestSharedRoot()
{
    return QStringLiteral(VUPLORA_SHARED_DIR);
}

void SVGTestUseSuiteFonts()
{
    TTextMetrics::AddFontFolder(SVGTestSharedRoot() + QStringLiteral("/svg-suite/fonts"));
    TTextMetrics::SetDefaultFamily(QStringLiteral("Noto Sans"));
    TTextMetrics::SetGenericFamily(QStringLiteral("serif"), QStringLiteral("Noto Serif"));
    TTextMetrics::SetGenericFamily(QStringLiteral("sans-serif"), QStringLiteral("Noto Sans"));
    TTextMetrics::SetGenericFamily(QStringLiteral("monospace"), QStringLiteral("Noto Mono"));
}
