// Where skin files are found: the readers take the sources they are
// handed, and the paint manager's resource settings are the shared ones.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "skin/skin_fixtures.h"
#include "support/temp_dir.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/markup/markup.h"
#include "ui/engine/render/image_bytes.h"
#include "ui/skin/skin_sources.h"

using namespace TarselUI;

namespace {

std::string AsText(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace

TEST(SkinSources, ReadersUseTheSourcesTheyAreHanded) {
    testsupport::TempDir sharedDir, ownDir;
    ASSERT_TRUE(testsupport::WriteFileBytes(sharedDir / L"pic.bin", "shared folder"));
    ASSERT_TRUE(testsupport::WriteFileBytes(ownDir / L"pic.bin", "own folder"));
    ASSERT_TRUE(testsupport::WriteFileBytes(ownDir / L"skin.xml", "<Window />"));
    const std::wstring previous = CPaintManagerUI::GetResourcePath().GetData();
    CPaintManagerUI::SetResourcePath(sharedDir.path().c_str());

    CSkinSources own;
    own.SetFolder(ownDir.path().c_str());
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadImageBytes(own, STRINGorID(L"pic.bin"), nullptr, bytes));
    EXPECT_EQ(AsText(bytes), "own folder");
    ASSERT_TRUE(ReadImageBytes(STRINGorID(L"pic.bin"), nullptr, bytes));
    EXPECT_EQ(AsText(bytes), "shared folder");
    CMarkup markup;
    EXPECT_TRUE(markup.LoadFromFile(own, L"skin.xml"));
    EXPECT_FALSE(markup.LoadFromFile(L"skin.xml"));
    EXPECT_EQ(&CPaintManagerUI::GetResourcePath(), &CSkinSources::Shared().GetFolder());

    CPaintManagerUI::SetResourcePath(previous.c_str());
}

TEST(SkinSources, ArchiveFileNamedUnderTheFolderIsKeptOpenOnlyWhenAsked) {
    CSkinSources sources;
    sources.SetFolder(skintest::FixtureDir().c_str());
    sources.UseArchiveFile(L"absent.zip", true);
    EXPECT_TRUE(sources.KeepsArchiveOpen());
    EXPECT_EQ(sources.GetOpenArchive(), nullptr);
    EXPECT_EQ(sources.OpenArchiveFile(), nullptr);

    sources.UseArchiveFile(L"zip9.zip", false);
    EXPECT_FALSE(sources.KeepsArchiveOpen());
    EXPECT_EQ(sources.GetOpenArchive(), nullptr);
    EXPECT_NE(sources.OpenArchiveFile(), nullptr);
    sources.UseArchiveFile(L"zip9.zip", true);
    ZipArchive* kept = sources.GetOpenArchive();
    ASSERT_NE(kept, nullptr);
    // Asking again for what is in use keeps the open archive.
    sources.UseArchiveFile(L"zip9.zip", true);
    EXPECT_EQ(sources.GetOpenArchive(), kept);

    sources.CloseArchive();
    EXPECT_EQ(sources.GetOpenArchive(), nullptr);
    EXPECT_FALSE(sources.KeepsArchiveOpen());
    EXPECT_EQ(sources.GetArchiveName(), L"zip9.zip");
}
