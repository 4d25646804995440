// The folders the launcher works in, composed from its own folder.
#include <gtest/gtest.h>

#include "launcher/app_paths.h"

namespace {

TEST(CAppPaths, ComposedFromTheLauncherDir) {
    CAppPaths paths = CAppPaths::FromLauncherDir(L"C:\\Tarsel\\");
    EXPECT_EQ(paths.launcherDir, L"C:\\Tarsel\\");
    EXPECT_EQ(paths.dataDir, L"C:\\Tarsel\\Data\\");
    EXPECT_EQ(paths.resourceDir, L"C:\\Tarsel\\Res\\");
    EXPECT_EQ(paths.tempDir, L"C:\\Tarsel\\Temp\\");
    EXPECT_EQ(paths.reserved1, L"");
    EXPECT_EQ(paths.reserved2, L"");
}

}  // namespace
