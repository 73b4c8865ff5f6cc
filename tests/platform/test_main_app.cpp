// The tests run inside the application's own QApplication subclass, as the
// program does; it exists once per process.

#include "platform_ui/errorreport.h"

#include <gtest/gtest.h>

namespace {

class TApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override { moApp = new TVuploraApplication(miArgc, mpArgv); }
    void TearDown() override
    {
        delete moApp;
        moApp = nullptr;
    }

private:
    int miArgc = 1;
    char msName[16] = "test_platform";
    char *mpArgv[2] = {msName, nullptr};
    TVuploraApplication *moApp = nullptr;
};

const auto *goEnvironment = ::testing::AddGlobalTestEnvironment(new TApplicationEnvironment);

} // namespace
