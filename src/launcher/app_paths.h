#pragma once
// Where the launcher lives: composed from the executable's directory during
// static initialisation. Nothing creates these directories or reads them.

#include <string>

struct CAppPaths {
    std::wstring launcherDir;  // executable's directory, trailing backslash
    std::wstring dataDir;      // launcherDir + "Data\\"
    std::wstring resourceDir;  // launcherDir + "Res\\"
    std::wstring tempDir;      // launcherDir + "Temp\\"
    std::wstring reserved1;    // never set
    std::wstring reserved2;    // never set

    static CAppPaths FromLauncherDir(const std::wstring& launcherDir);
};
