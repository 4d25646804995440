// What the launcher takes from places others can write, run for real in a
// throw-away install folder: an installer recorded outside the staging
// folder is never started, and a command-line target only ever starts a
// program inside the version folder.
#include <gtest/gtest.h>
#include <windows.h>

#include "digest/md5.h"
#include "install_folder.h"
#include "support/temp_dir.h"
#include "util/util.h"

using testsupport::InstallFolder;

namespace {

const std::wstring kVersion = L"1.1.516.220";
const char kNotStaged[] = "[******] installer not in the staging folder\n";

// An install folder whose data file records a verified installer at
// `relativePath` (the digest matches), for the Prompt mode.
void RecordInstaller(InstallFolder& folder, const std::wstring& relativePath) {
    folder.AddClient(kVersion);
    folder.WriteData(L"ver", kVersion);
    const std::string digest = folder.AddInstaller(relativePath);
    folder.WriteData(L"exe", folder / relativePath);
    folder.WriteData(L"md5", Util::AnsiToWide(digest));
    folder.WriteData(L"action", L"toupdate");
    folder.WriteData(L"type", L"Prompt");
}

TEST(StagedInstaller, OneInTheStagingFolderIsOffered) {
    InstallFolder folder;
    RecordInstaller(folder, L"Temp\\~rq1A2C.tmp.exe");
    ASSERT_EQ(folder.Launch(IDYES), 0);
    auto starts = folder.WaitForStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].role, L"installer");
    EXPECT_EQ(folder.DebugLog().find(kNotStaged), std::string::npos);
}

TEST(StagedInstaller, OneAnOlderLauncherLeftElsewhereIsTreatedAsNotDownloaded) {
    // Verified, but where any program of the user could have put DLLs
    // beside it (an older launcher's %TEMP%), or one level off.
    for (const wchar_t* elsewhere : {L"UserTemp\\~rq1A2C.tmp.exe", L"Temp\\sub\\setup.exe", L"setup.exe"}) {
        SCOPED_TRACE(Util::WideToUtf8(elsewhere));
        InstallFolder folder;
        RecordInstaller(folder, elsewhere);
        ASSERT_EQ(folder.Launch(IDYES), 0);
        auto starts = folder.SettledStarts();
        ASSERT_EQ(starts.size(), 1u);
        EXPECT_EQ(starts[0].role, L"client");
        EXPECT_EQ(folder.BoxLog(), "") << "nothing is offered";
        EXPECT_NE(folder.DebugLog().find(kNotStaged), std::string::npos) << folder.DebugLog();
    }
}

TEST(ConfinedTarget, ATargetOutsideTheVersionFolderStartsTheDefaultClient) {
    InstallFolder folder;
    const std::wstring client = folder.AddClient(kVersion);
    folder.WriteData(L"ver", kVersion);
    // A program beside the version folders, as cmd.exe lies outside them.
    folder.AddInstaller(L"evil.exe");
    for (const wchar_t* target : {L"target=..\\evil.exe", L"target=" L"C:\\Windows\\System32\\cmd.exe"}) {
        SCOPED_TRACE(Util::WideToUtf8(target));
        ASSERT_EQ(folder.Launch(IDYES, target), 0);
        auto starts = folder.SettledStarts();
        ASSERT_FALSE(starts.empty());
        EXPECT_EQ(starts.back().role, L"client");
        EXPECT_EQ(starts.back().path, client);
        EXPECT_NE(folder.DebugLog().find("[******] target refused, the default client is started\n"),
                  std::string::npos);
    }
}

}  // namespace
