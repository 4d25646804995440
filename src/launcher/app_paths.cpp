#include "launcher/app_paths.h"

CAppPaths CAppPaths::FromLauncherDir(const std::wstring& launcherDir) {
    CAppPaths paths;
    paths.launcherDir = launcherDir;
    paths.dataDir = launcherDir + L"Data\\";
    paths.resourceDir = launcherDir + L"Res\\";
    paths.tempDir = launcherDir + L"Temp\\";
    return paths;
}
