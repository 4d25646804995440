// DLLs loaded by name come from the system folder, never from a folder the
// search would otherwise try first. Each case runs as a process of its own
// with Wine told to prefer a DLL file over its own bcrypt (ctest sets
// TARSEL_EXTRA_DLL_OVERRIDES), and a marker DLL of that name planted in a
// folder added to the search.
#include "util/system_library.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "support/test_paths.h"
#include "util/unique_handle.h"
#include "util/util.h"

namespace {

class PlantedBcrypt : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring planted = testsupport::BuildDir() + L"tools\\planted\\bcrypt.dll";
        ASSERT_TRUE(::CopyFileW(planted.c_str(), (dir_ / L"bcrypt.dll").c_str(), FALSE)) << Util::WideToUtf8(planted);
        ASSERT_TRUE(::SetDllDirectoryW(dir_.path().c_str()));
    }
    void TearDown() override { ::SetDllDirectoryW(nullptr); }

    bool PlantedWasLoaded() const { return testsupport::FileExists(dir_ / L"bcrypt.dll.loaded"); }

    testsupport::TempDir dir_;
};

TEST_F(PlantedBcrypt, APlainLoadTakesThePlantedOne) {
    // The set-up is effective: without the system folder rule the planted
    // DLL is what a search by name finds.
    Util::UniqueModule module(::LoadLibraryW(L"bcrypt.dll"));
    ASSERT_TRUE(module);
    EXPECT_TRUE(PlantedWasLoaded());
}

TEST_F(PlantedBcrypt, TheSystemFoldersIsLoadedInstead) {
    Util::UniqueModule module(Util::LoadSystemLibrary(L"bcrypt.dll"));
    ASSERT_TRUE(module);
    EXPECT_FALSE(PlantedWasLoaded());
    wchar_t name[MAX_PATH] = {};
    wchar_t systemDir[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameW(module.get(), name, MAX_PATH), 0u);
    ASSERT_GT(::GetSystemDirectoryW(systemDir, MAX_PATH), 0u);
    EXPECT_EQ(_wcsnicmp(name, systemDir, wcslen(systemDir)), 0) << Util::WideToUtf8(name);
}

TEST(SystemLibrary, OnlyBareNamesAreLoaded) {
    for (const wchar_t* name : {L"..\\bcrypt.dll", L"C:\\Windows\\System32\\bcrypt.dll", L"sub/bcrypt.dll", L"", L"NUL"}) {
        EXPECT_EQ(Util::LoadSystemLibrary(name), nullptr) << Util::WideToUtf8(name);
    }
    EXPECT_EQ(Util::LoadSystemLibrary(nullptr), nullptr);
}

}  // namespace
