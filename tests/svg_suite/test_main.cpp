// The suite renders text, which needs a running QGuiApplication and the suite's fonts.

#include "suite_env.h"
#include "svg_test_env.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

QString SuiteRoot()
{
    return SVGTestSharedRoot() + QStringLiteral("/svg-suite");
}

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
