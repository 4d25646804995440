// The staging folder beside the launcher: which recorded paths count as
// inside it, the access rules it is made (or remade) with, and the folders
// it refuses: a file in its place, a link or junction, one that cannot be
// created.
#include "update/staging_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "util/unique_handle.h"
#include "util/util.h"

namespace {

using testsupport::TempDir;

// Whether an allowed ACE of the folder's DACL lets everyone put entries in
// it. Wine keeps no DACL of its own for files: it turns the one set into the
// Unix mode and reads the mode back as a DACL, so this is what can be seen
// of the rules there (and all that matters on Windows as well).
bool EveryoneMayAddEntries(const std::wstring& dir) {
    std::wstring path = dir;
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PACL dacl = nullptr;
    if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                nullptr, &descriptor) != ERROR_SUCCESS) {
        ADD_FAILURE() << "no rules to read";
        return true;
    }
    Util::UniqueLocalMem owner(descriptor);
    if (!dacl) return true;  // no DACL: everyone may do anything
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (!::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) return true;
    bool mayAdd = false;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(dacl, i, &ace)) continue;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        if (!::EqualSid(reinterpret_cast<PSID>(&allowed->SidStart), everyone)) continue;
        constexpr DWORD kAdds = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | GENERIC_WRITE | GENERIC_ALL;
        mayAdd = mayAdd || (allowed->Mask & kAdds) != 0;
    }
    ::FreeSid(everyone);
    return mayAdd;
}

// Lets everyone write the folder, as a folder made by someone else may.
bool OpenToEveryone(const std::wstring& dir) {
    PSECURITY_DESCRIPTOR open = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;OICI;FA;;;WD)", SDDL_REVISION_1, &open,
                                                               nullptr)) {
        return false;
    }
    Util::UniqueLocalMem owner(open);
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    std::wstring path = dir;
    path.pop_back();
    return ::GetSecurityDescriptorDacl(open, &present, &dacl, &defaulted) &&
           ::SetNamedSecurityInfoW(path.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl,
                                   nullptr) == ERROR_SUCCESS;
}

TEST(StagingFolderRules, AdministratorsAndSystemWriteEveryoneElseReadsNothingInherited) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(kStagingFolderSddl, SDDL_REVISION_1,
                                                                       &descriptor, nullptr));
    Util::UniqueLocalMem owner(descriptor);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(::GetSecurityDescriptorControl(descriptor, &control, &revision));
    EXPECT_NE(control & SE_DACL_PROTECTED, 0) << "rules inherited from the launcher folder could let others in";
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) && present && dacl);

    struct Expected {
        WELL_KNOWN_SID_TYPE who;
        DWORD mask;
    };
    const Expected expected[] = {
        {WinBuiltinAdministratorsSid, FILE_ALL_ACCESS},
        {WinLocalSystemSid, FILE_ALL_ACCESS},
        {WinWorldSid, GENERIC_READ | GENERIC_EXECUTE},
    };
    ASSERT_EQ(dacl->AceCount, std::size(expected));
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        ASSERT_TRUE(::GetAce(dacl, i, &ace));
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE) << i;
        EXPECT_EQ(allowed->Header.AceFlags, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE) << i << ": files inside get it";
        EXPECT_EQ(allowed->Mask, expected[i].mask) << i;
        BYTE sid[SECURITY_MAX_SID_SIZE];
        DWORD size = sizeof sid;
        ASSERT_TRUE(::CreateWellKnownSid(expected[i].who, nullptr, sid, &size));
        EXPECT_TRUE(::EqualSid(reinterpret_cast<PSID>(&allowed->SidStart), sid)) << i;
    }
}

TEST(StagingFolderPath, IsTheTempFolderBesideTheLauncher) {
    EXPECT_EQ(StagingFolderPath(L"C:\\Program Files\\Tarsel\\"), L"C:\\Program Files\\Tarsel\\Temp\\");
    // A launcher folder that could not be learnt gives no staging folder,
    // never one at the root of the drive or in the current folder.
    EXPECT_EQ(StagingFolderPath(L""), L"");
    EXPECT_EQ(StagingFolderPath(L"C:\\Program Files\\Tarsel"), L"");
}

TEST(StagingFolderNames, OnlyPlainNamesDirectlyInsideCount) {
    const std::wstring dir = L"C:\\Tarsel\\Temp\\";
    struct Case {
        const wchar_t* file;
        bool inside;
    };
    const Case cases[] = {
        {L"C:\\Tarsel\\Temp\\~rq1A2C.tmp.exe", true},
        {L"c:\\tarsel\\TEMP\\~rq1A2C.tmp.exe", true},  // file names ignore letter case
        {L"C:\\Users\\u\\AppData\\Local\\Temp\\~rq1A2C.tmp.exe", false},  // an older launcher's %TEMP%
        {L"C:\\Tarsel\\Temp\\", false},
        {L"C:\\Tarsel\\Temp\\sub\\setup.exe", false},
        {L"C:\\Tarsel\\Temp\\..\\setup.exe", false},
        {L"C:\\Tarsel\\Temp\\..", false},
        {L"C:\\Tarsel\\Temp\\a/../../x.exe", false},
        {L"C:\\Tarsel\\Temp\\setup.exe:payload", false},
        {L"C:\\Tarsel\\Temp\\setup.exe.", false},
        {L"C:\\Tarsel\\Temp\\setup.exe ", false},
        {L"C:\\Tarsel\\Temp\\CON", false},
        {L"C:\\Tarsel\\Temp\\nul.exe", false},
        {L"C:\\Tarsel\\Temp\\*.exe", false},
        {L"C:\\Tarsel\\Tempx\\setup.exe", false},
        {L"C:\\Tarsel\\Temp", false},
        {L"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(NamesFileInStagingFolder(c.file, dir), c.inside) << c.file;
    EXPECT_FALSE(NamesFileInStagingFolder(L"C:\\Tarsel\\Temp\\a.exe", L""));
}

class StagingFolderOnDisk : public ::testing::Test {
protected:
    std::wstring LauncherDir() const { return dir_.path(); }
    std::wstring Staging() const { return dir_ / L"Temp\\"; }
    TempDir dir_;
};

TEST_F(StagingFolderOnDisk, IsCreatedSoThatOthersCannotAddFiles) {
    std::optional<StagingFolder> staging = PrepareStagingFolder(LauncherDir());
    ASSERT_TRUE(staging);
    EXPECT_EQ(staging->path, Staging());
    EXPECT_TRUE(staging->hold);
    EXPECT_FALSE(EveryoneMayAddEntries(Staging()));
}

TEST_F(StagingFolderOnDisk, AFolderSomeoneElseMadeGetsTheRulesAgain) {
    ASSERT_TRUE(::CreateDirectoryW(Staging().c_str(), nullptr));
    ASSERT_TRUE(OpenToEveryone(Staging()));
    ASSERT_TRUE(EveryoneMayAddEntries(Staging()));
    ASSERT_TRUE(PrepareStagingFolder(LauncherDir()));
    EXPECT_FALSE(EveryoneMayAddEntries(Staging()));
}

TEST_F(StagingFolderOnDisk, RefusesWhatIsNotARealFolder) {
    // A file in its place.
    ASSERT_TRUE(testsupport::WriteFileBytes(dir_ / L"Temp", "not a folder"));
    EXPECT_FALSE(PrepareStagingFolder(LauncherDir()));
    EXPECT_EQ(testsupport::ReadFileBytes(dir_ / L"Temp"), "not a folder");
}

TEST_F(StagingFolderOnDisk, RefusesASymbolicLinkInItsPlace) {
    const std::wstring elsewhere = dir_ / L"elsewhere";
    ASSERT_TRUE(::CreateDirectoryW(elsewhere.c_str(), nullptr));
    const std::wstring link = dir_ / L"Temp";
    if (!::CreateSymbolicLinkW(link.c_str(), elsewhere.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY)) {
        GTEST_SKIP() << "this system makes no symbolic links (error " << ::GetLastError() << ")";
    }
    const DWORD attributes = ::GetFileAttributesW(link.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        // Wine shows links (its own and Unix ones) as plain folders.
        GTEST_SKIP() << "the link made is not shown as a reparse point here";
    }
    EXPECT_FALSE(PrepareStagingFolder(LauncherDir()));
}

TEST_F(StagingFolderOnDisk, OneThatCannotBeCreatedIsRefused) {
    // A launcher folder that is not there stands for read-only media: the
    // folder cannot be made.
    EXPECT_FALSE(PrepareStagingFolder(dir_ / L"missing\\launcher\\"));
    EXPECT_FALSE(PrepareStagingFolder(L""));
    EXPECT_FALSE(testsupport::FileExists(dir_ / L"missing"));
}

TEST_F(StagingFolderOnDisk, NewFilesAreCreatedInside) {
    std::optional<StagingFolder> staging = PrepareStagingFolder(LauncherDir());
    ASSERT_TRUE(staging);
    const std::string first = MakeStagingFileA(staging->path, "~rqz_");
    const std::string second = MakeStagingFileA(staging->path, "~rqz_");
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first, second);
    for (const std::string& file : {first, second}) {
        EXPECT_TRUE(NamesFileInStagingFolder(Util::AnsiToWide(file), Staging())) << file;
        EXPECT_TRUE(testsupport::FileExists(Util::AnsiToWide(file))) << file;
    }
    EXPECT_EQ(MakeStagingFileA(L"", "~rqz_"), "");
}

TEST_F(StagingFolderOnDisk, OnlyPlainFilesInsideAreHeld) {
    ASSERT_TRUE(PrepareStagingFolder(LauncherDir()));
    ASSERT_TRUE(testsupport::WriteFileBytes(Staging() + L"setup.exe", "MZ"));
    ASSERT_TRUE(testsupport::WriteFileBytes(dir_ / L"outside.exe", "MZ"));
    ASSERT_TRUE(::CreateDirectoryW((Staging() + L"folder.exe").c_str(), nullptr));

    StagedFileHold held = HoldStagedFile(Staging() + L"setup.exe", LauncherDir());
    ASSERT_TRUE(held);
    EXPECT_FALSE(::DeleteFileW((Staging() + L"setup.exe").c_str())) << "a held installer cannot be swapped";
    held = StagedFileHold();

    EXPECT_FALSE(HoldStagedFile(dir_ / L"outside.exe", LauncherDir()));
    EXPECT_FALSE(HoldStagedFile(Staging() + L"..\\outside.exe", LauncherDir()));
    EXPECT_FALSE(HoldStagedFile(Staging() + L"folder.exe", LauncherDir()));
    EXPECT_FALSE(HoldStagedFile(Staging() + L"missing.exe", LauncherDir()));
}

}  // namespace
