// Text needs a running QGuiApplication and the suite's fonts, so the renderer tests bring
// their own main.

#include "svg/render/text_metrics.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    const QByteArray shared = qgetenv("VUPLORA_SHARED");
    const QString fonts = QString::fromLocal8Bit(shared.isEmpty() ? "/work/shared" : shared) +
                          QStringLiteral("/svg-suite/fonts");
    TTextMetrics::AddFontFolder(fonts);
    TTextMetrics::SetDefaultFamily(QStringLiteral("Noto Sans"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
