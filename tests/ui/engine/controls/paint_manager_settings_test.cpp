// The process-wide settings: instance and paths, and which skin archive is
// installed.

#include <gtest/gtest.h>

#include <string>

#include "skin/skin_fixtures.h"
#include "support/temp_dir.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/skin/zip_archive.h"

using namespace TarselUI;

namespace {

bool HasEntry(ZipArchive* zip, const wchar_t* name) {
    int index = -1;
    ZipEntry entry{};
    return zip && ZipFindItem(zip, name, true, &index, &entry) == kZipSuccess;
}

TEST(PaintManagerSettings, ResourcePathEndsWithASeparator) {
    const struct {
        const wchar_t* given;
        const wchar_t* stored;
    } cases[] = {
        {L"C:\\Prog\\skin", L"C:\\Prog\\skin\\"},
        {L"C:\\Prog\\skin\\", L"C:\\Prog\\skin\\"},
        {L"C:/Prog/skin/", L"C:/Prog/skin/"},
        {L"skin", L"skin\\"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        CPaintManagerUI::SetResourcePath(c.given);
        EXPECT_STREQ(CPaintManagerUI::GetResourcePath().GetData(), c.stored);
    }
}

TEST(PaintManagerSettings, InstancePathIsTheModulesFolder) {
    EXPECT_TRUE(CPaintManagerUI::GetInstancePath().IsEmpty()) << "before SetInstance";
    EXPECT_EQ(CPaintManagerUI::GetResourceDll(), nullptr);

    HINSTANCE self = ::GetModuleHandleW(nullptr);
    CPaintManagerUI::SetInstance(self);
    EXPECT_EQ(CPaintManagerUI::GetInstance(), self);
    wchar_t module[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameW(self, module, MAX_PATH), 0u);
    std::wstring expected(module);
    expected.erase(expected.rfind(L'\\') + 1);
    EXPECT_STREQ(CPaintManagerUI::GetInstancePath().GetData(), expected.c_str());

    // Resources come from the instance until another module is named.
    EXPECT_EQ(CPaintManagerUI::GetResourceDll(), self);
    HINSTANCE kernel = ::GetModuleHandleW(L"kernel32.dll");
    CPaintManagerUI::SetResourceDll(kernel);
    EXPECT_EQ(CPaintManagerUI::GetResourceDll(), kernel);
}

TEST(PaintManagerSettings, CurrentPathIsTheProcesssCurrentFolder) {
    testsupport::TempDir dir;
    std::wstring folder = dir.path();
    folder.pop_back();  // the system reports folders without the backslash
    CPaintManagerUI::SetCurrentPath(folder.c_str());
    EXPECT_EQ(CPaintManagerUI::GetCurrentPath().CompareNoCase(folder.c_str()), 0);
    CPaintManagerUI::SetCurrentPath(L"C:\\");
}

TEST(PaintManagerSettings, TheFirstMemoryArchiveStaysInstalled) {
    const std::string first = testsupport::ReadFileBytes(skintest::FixtureDir() + L"zip9.zip");
    const std::string second = testsupport::ReadFileBytes(skintest::FixtureDir() + L"images\\images.zip");
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());

    CPaintManagerUI::SetResourceZip(first.data(), static_cast<unsigned>(first.size()));
    EXPECT_STREQ(CPaintManagerUI::GetResourceZip().GetData(), L"membuffer");
    EXPECT_TRUE(CPaintManagerUI::IsCachedResourceZip());
    ZipArchive* installed = CPaintManagerUI::GetResourceZipHandle();
    ASSERT_NE(installed, nullptr);

    CPaintManagerUI::SetResourceZip(second.data(), static_cast<unsigned>(second.size()), L"secret");
    EXPECT_EQ(CPaintManagerUI::GetResourceZipHandle(), installed);
    EXPECT_TRUE(HasEntry(CPaintManagerUI::GetResourceZipHandle(), L"MsgBox\\UpdateHintBox.xml"));
    EXPECT_FALSE(HasEntry(CPaintManagerUI::GetResourceZipHandle(), L"Skin\\Pattern.png"));

    CPaintManagerUI::Term();
    EXPECT_EQ(CPaintManagerUI::GetResourceZipHandle(), nullptr);
}

TEST(PaintManagerSettings, AMemoryArchiveThatDoesNotOpenCanBeReplaced) {
    const std::string garbage(4096, 'g');
    const std::string good = testsupport::ReadFileBytes(skintest::FixtureDir() + L"zip9.zip");
    CPaintManagerUI::SetResourceZip(garbage.data(), static_cast<unsigned>(garbage.size()));
    EXPECT_EQ(CPaintManagerUI::GetResourceZipHandle(), nullptr);
    CPaintManagerUI::SetResourceZip(good.data(), static_cast<unsigned>(good.size()));
    EXPECT_TRUE(HasEntry(CPaintManagerUI::GetResourceZipHandle(), L"MainFrame.xml"));
    CPaintManagerUI::Term();
}

TEST(PaintManagerSettings, AnArchiveFileIsOpenedUnderTheResourcePathWhenKeptOpen) {
    CPaintManagerUI::SetResourcePath(skintest::FixtureDir().c_str());

    CPaintManagerUI::SetResourceZip(L"", true);
    EXPECT_TRUE(CPaintManagerUI::GetResourceZip().IsEmpty()) << "an empty name does nothing";

    CPaintManagerUI::SetResourceZip(L"zip9.zip", true);
    EXPECT_STREQ(CPaintManagerUI::GetResourceZip().GetData(), L"zip9.zip");
    EXPECT_TRUE(CPaintManagerUI::IsCachedResourceZip());
    ZipArchive* opened = CPaintManagerUI::GetResourceZipHandle();
    EXPECT_TRUE(HasEntry(opened, L"big\\text.xml"));

    CPaintManagerUI::SetResourceZip(L"zip9.zip", true);
    EXPECT_EQ(CPaintManagerUI::GetResourceZipHandle(), opened) << "the same settings change nothing";

    CPaintManagerUI::SetResourceZip(L"zip9.zip", false);
    EXPECT_FALSE(CPaintManagerUI::IsCachedResourceZip());
    EXPECT_EQ(CPaintManagerUI::GetResourceZipHandle(), nullptr) << "every load opens the file itself";

    CPaintManagerUI::SetResourceZip(L"7z.zip", true);
    EXPECT_TRUE(HasEntry(CPaintManagerUI::GetResourceZipHandle(), L"Bkimg.png"));
    CPaintManagerUI::Term();
    EXPECT_EQ(CPaintManagerUI::GetResourceZipHandle(), nullptr);
    EXPECT_FALSE(CPaintManagerUI::IsCachedResourceZip());
}

}  // namespace
