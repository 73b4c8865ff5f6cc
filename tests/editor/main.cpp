// The editor's tests run inside the application object, so that an exception
// escaping an event handler reaches its error report as in the product.

#include "platform_ui/errorreport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings and the recovery file go to a folder of this run, never the
    // user's, and runs side by side do not share them.
    // A test that starts this program again hands its folder over in
    // VUPLORA_TEST_HOME.
    QTemporaryDir ownHome;
    const QString home = qEnvironmentVariableIsSet("VUPLORA_TEST_HOME") ? qEnvironmentVariable("VUPLORA_TEST_HOME")
                                                                        : ownHome.path();
    qputenv("XDG_CONFIG_HOME", QString(home + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", QString(home + QStringLiteral("/data")).toLocal8Bit());
    TVuploraApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
