// The pure pieces of the launch decision: what runs after a verified
// installer, the digest comparison, the client path, and the installer hold.
#include <gtest/gtest.h>
#include <windows.h>

#include "launcher/launcher.h"
#include "support/temp_dir.h"
#include "support/test_paths.h"

namespace {

using Kind = InstallerDecision::Kind;

TEST(InstallerDecision, EveryModeAndAnswer) {
    struct Case {
        int mode;
        std::optional<int> answer;
        Kind kind;
        bool silent;
    } cases[] = {
        {kUpdateStartUp, IDYES, InstallerDecision::kRunInstaller, true},
        {kUpdateStartUp, IDNO, InstallerDecision::kRunClient, false},
        {kUpdateStartUp, IDCANCEL, InstallerDecision::kRunInstaller, true},  // a box already open
        {kUpdateStartUp, std::nullopt, InstallerDecision::kRunInstaller, true},  // no box available
        {kUpdatePrompt, IDYES, InstallerDecision::kRunInstaller, false},
        {kUpdatePrompt, IDNO, InstallerDecision::kRunClient, false},
        {kUpdatePrompt, std::nullopt, InstallerDecision::kRunInstaller, false},
        {kUpdateForce, IDOK, InstallerDecision::kRunInstaller, false},
        {kUpdateForce, IDCANCEL, InstallerDecision::kRunNothing, false},
        {kUpdateForce, IDNO, InstallerDecision::kRunInstaller, false},
        {kUpdateForce, std::nullopt, InstallerDecision::kRunInstaller, false},
        {5, IDYES, InstallerDecision::kRunInstaller, false},  // unknown modes behave as Prompt
        {5, IDNO, InstallerDecision::kRunClient, false},
    };
    for (const Case& c : cases) {
        InstallerDecision d = DecideAfterVerifiedInstaller(c.mode, c.answer);
        EXPECT_EQ(d.kind, c.kind) << "mode " << c.mode << " answer " << c.answer.value_or(-1);
        EXPECT_EQ(d.silent, c.silent) << "mode " << c.mode << " answer " << c.answer.value_or(-1);
    }
}

TEST(InstallerDigest, UpperCaseRecordedDigestMatchesExactly) {
    const std::string lower = "0123456789abcdef0123456789abcdef";
    EXPECT_TRUE(InstallerDigestMatches(lower, "0123456789ABCDEF0123456789ABCDEF"));
    EXPECT_FALSE(InstallerDigestMatches(lower, lower));  // lower case never matches
    EXPECT_FALSE(InstallerDigestMatches(lower, "0123456789ABCDEF0123456789ABCDE"));
    EXPECT_FALSE(InstallerDigestMatches(lower, "0123456789ABCDEF0123456789ABCDEF "));
    EXPECT_FALSE(InstallerDigestMatches("", ""));  // nothing read is never a pass
    EXPECT_FALSE(InstallerDigestMatches("", "0123456789ABCDEF0123456789ABCDEF"));
    // The rule the update check recorded with: bytes from 0x80 up unchanged.
    EXPECT_TRUE(InstallerDigestMatches("ab\xe1", "AB\xe1"));
    EXPECT_FALSE(InstallerDigestMatches("ab\xe1", "AB\xc1"));
}

TEST(ClientPath, ComposedWithTheVersionFolder) {
    EXPECT_EQ(ComposeClientPath(L"C:\\T\\", L"1.1.516.220", L"bin\\32bit\\Tarsel32.exe"),
              L"C:\\T\\1.1.516.220\\bin\\32bit\\Tarsel32.exe");
    EXPECT_EQ(ComposeClientPath(L"C:\\T\\", L"", L"bin\\32bit\\Tarsel32.exe"), L"C:\\T\\\\bin\\32bit\\Tarsel32.exe");
}

TEST(InstallerHold, NobodyCanRewriteAHeldFileYetItStillStarts) {
    testsupport::TempDir dir;
    const std::wstring exe = dir / L"setup.exe";
    ASSERT_TRUE(CopyFileW(testsupport::ToolPath(L"stub_installer.exe").c_str(), exe.c_str(), FALSE));
    {
        Util::UniqueFile hold = HoldFileAgainstWrites(exe);
        ASSERT_TRUE(hold);
        Util::UniqueFile writer(CreateFileW(exe.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(writer) << "a held installer must not open for writing";
        EXPECT_FALSE(DeleteFileW(exe.c_str()));
        EXPECT_FALSE(MoveFileW(exe.c_str(), (dir / L"moved.exe").c_str()));
        // Reading and starting still work.
        Util::UniqueFile reader(CreateFileW(exe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(reader);
        SetEnvironmentVariableW(L"TARSEL_STUB_LOG", (dir / L"log.txt").c_str());
        EXPECT_EQ(testsupport::RunProcess(L"\"" + exe + L"\" silent"), 0);
    }
    EXPECT_NE(testsupport::ReadFileBytes(dir / L"log.txt").find("installer|"), std::string::npos);
    EXPECT_TRUE(DeleteFileW(exe.c_str())) << "released after the hold";
    EXPECT_FALSE(HoldFileAgainstWrites(exe));
}

}  // namespace
