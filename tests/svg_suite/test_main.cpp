// The suite renders text, which needs a running QGuiApplication and the suite's fonts.

#include "suite_env.h"

#include "svg/render/text_metrics.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

QString SuiteRoot()
{
    const QByteArray shared = qgetenv("VUPLORA_SHARED");
    return QString::fromLocal8Bit(shared.isEmpty() ? QByteArray("/work/shared") : shared) +
           QStringLiteral("/svg-suite");
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TTextMetrics::AddFontFolder(SuiteRoot() + QStringLiteral("/fonts"));
    TTextMetrics::SetDefaultFamily(QStringLiteral("Noto Sans"));
    TTextMetrics::SetGenericFamily(QStringLiteral("serif"), QStringLiteral("Noto Serif"));
    TTextMetrics::SetGenericFamily(QStringLiteral("sans-serif"), QStringLiteral("Noto Sans"));
    TTextMetrics::SetGenericFamily(QStringLiteral("monospace"), QStringLiteral("Noto Mono"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
