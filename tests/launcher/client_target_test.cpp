// Which command-line targets the launcher starts: only programs inside the
// version folder, in their normal form; everything else falls back to the
// default client.
#include "launcher/client_target.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

TEST(ClientTarget, RelativeProgramsInsideTheVersionFolderAreKeptInNormalForm) {
    struct Case {
        const wchar_t* target;
        const wchar_t* confined;
    };
    const Case cases[] = {
        {L"bin\\32bit\\Tarsel32.exe", L"bin\\32bit\\Tarsel32.exe"},
        {L"bin/32bit/Tarsel32.exe", L"bin\\32bit\\Tarsel32.exe"},
        {L"bin\\\\32bit\\.\\Tarsel32.EXE", L"bin\\32bit\\Tarsel32.EXE"},
        {L"bin\\64bit\\..\\32bit\\Tarsel32.exe", L"bin\\32bit\\Tarsel32.exe"},
        {L".\\Tarsel32.exe", L"Tarsel32.exe"},
        {L"a.b\\x.exe", L"a.b\\x.exe"},
    };
    for (const Case& c : cases) {
        const std::optional<std::wstring> confined = ConfineClientTarget(c.target);
        ASSERT_TRUE(confined) << c.target;
        EXPECT_EQ(*confined, c.confined) << c.target;
    }
}

TEST(ClientTarget, PathsThatLeaveTheVersionFolderOrReadDifferentlyAreRefused) {
    const wchar_t* refused[] = {
        L"..\\..\\Windows\\System32\\cmd.exe",  // climbs out
        L"bin\\..\\..\\x.exe",
        L"..",
        L"C:\\Windows\\System32\\cmd.exe",  // absolute
        L"C:cmd.exe",                       // drive-relative
        L"\\Windows\\System32\\cmd.exe",    // rooted at the drive
        L"/Windows/System32/cmd.exe",
        L"\\\\server\\share\\x.exe",        // UNC
        L"\\\\?\\C:\\x.exe",
        L"\\\\.\\pipe\\x.exe",
        L"bin\\Tarsel32.exe:hidden.exe",    // a stream
        L"bin\\CON\\x.exe",                 // device names
        L"NUL.exe",
        L"bin\\COM1.exe",
        L"bin\\Tarsel32.exe.",              // Windows drops the trailing dot
        L"bin\\Tarsel32.exe ",
        L"bin\\Tarsel*.exe",
        L"bin\\32bit\\Tarsel32.bat",        // not a program of ours
        L"bin\\32bit\\",
        L"bin\\.exe",
        L"",
    };
    for (const wchar_t* target : refused) EXPECT_FALSE(ConfineClientTarget(target)) << target;
    EXPECT_FALSE(ConfineClientTarget(std::wstring(300, L'a') + L".exe")) << "too long for the path buffers";
}

TEST(ClientTarget, ARefusedTargetStartsTheDefaultClient) {
    EXPECT_EQ(ClientTargetToStart(L"..\\..\\Windows\\System32\\cmd.exe"), kDefaultClientTarget);
    EXPECT_EQ(ClientTargetToStart(L"bin/32bit/Tarsel32.exe"), L"bin\\32bit\\Tarsel32.exe");
    EXPECT_EQ(ClientTargetToStart(L""), L"") << "no target: nothing to start";
}

}  // namespace
