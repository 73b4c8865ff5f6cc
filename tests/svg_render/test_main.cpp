// Text needs a running QGuiApplication and the suite's fonts, so the renderer tests bring
// their own main.

#include "svg_test_env.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    SVGTestIsolateFonts();
    QGuiApplication app(argc, argv);
    SVGTestUseSuiteFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
