// An archive entry that declares 2 GiB or more (here 0xFFFFFFFF bytes) is
// refused with the archive's "Failed to allocate memory" before anything
// is allocated: loading such an image gives null instead of ending the
// process, and the rest of the archive stays usable.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "gif_fixtures.h"
#include "support/temp_dir.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/render/gif_image.h"
#include "ui/engine/render/render_engine.h"
#include "ui/skin/zip_whole_item.h"

using namespace TarselUI;

namespace {

const std::string& OversizeArchive() {
    // The in-memory archive reads this block in place for the whole process.
    static const std::string bytes = testsupport::ReadFileBytes(giftest::FixtureDir() + L"oversize.zip");
    return bytes;
}

void ExpectHugeRefusedAndFineLoaded() {
    TImageInfo* huge = CRenderEngine::LoadImageW(STRINGorID(L"Skin/Huge.png"), nullptr, 0);
    EXPECT_EQ(huge, nullptr);
    CRenderEngine::FreeImage(huge);
    TImageInfo* fine = CRenderEngine::LoadImageW(STRINGorID(L"Skin/Fine.png"), nullptr, 0);
    ASSERT_NE(fine, nullptr);
    EXPECT_EQ(fine->nWidth, 40);
    CRenderEngine::FreeImage(fine);
}

}  // namespace

TEST(OversizeEntry, ReadingItWholeIsRefusedBeforeAllocating) {
    const std::string& archive = OversizeArchive();
    ASSERT_FALSE(archive.empty());
    UniqueZipArchive zip(ZipOpen(archive.data(), static_cast<unsigned long>(archive.size()), kZipSourceMemory));
    ASSERT_NE(zip, nullptr);
    // Skin/Fine.png holds one.gif.
    const std::string fine = testsupport::ReadFileBytes(giftest::FixtureDir() + L"one.gif");
    ASSERT_FALSE(fine.empty());
    const unsigned long fineSize = static_cast<unsigned long>(fine.size());
    const struct {
        const wchar_t* name;
        unsigned long limit;
        ZipResult result;
        std::size_t size;
    } cases[] = {
        {L"Skin/Huge.png", kZipMaxWholeItemSize, kZipOutOfMemory, 0},
        {L"Skin/Huge.png", 0xFFFFFFFF, kZipOutOfMemory, 0},  // the limit never exceeds 2 GiB - 1
        {L"Skin/Fine.png", kZipMaxWholeItemSize, kZipSuccess, fine.size()},
        {L"skin\\fine.png", fineSize, kZipSuccess, fine.size()},
        {L"Skin/Fine.png", fineSize - 1, kZipOutOfMemory, 0},
        {L"Skin/None.png", kZipMaxWholeItemSize, kZipNotFound, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.name, c.name + wcslen(c.name)) << " limit " << c.limit);
        std::vector<std::uint8_t> bytes(3, 0xAB);
        EXPECT_EQ(ZipReadWholeItem(zip.get(), c.name, c.limit, bytes), c.result);
        EXPECT_EQ(ZipLastResult(), c.result);
        EXPECT_EQ(bytes.size(), c.size);
        if (c.result == kZipSuccess) {
            EXPECT_EQ(std::string(bytes.begin(), bytes.end()), fine);
        }
    }
}

TEST(OversizeEntry, ImageFromTheInMemoryArchiveGivesNull) {
    const std::string& archive = OversizeArchive();
    ASSERT_FALSE(archive.empty());
    CPaintManagerUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()));
    TImageInfo* huge = CRenderEngine::LoadImageW(STRINGorID(L"Skin/Huge.png"), nullptr, 0);
    EXPECT_EQ(huge, nullptr);
    EXPECT_EQ(ZipLastResult(), kZipOutOfMemory);
    ExpectHugeRefusedAndFineLoaded();
    EXPECT_EQ(CGifImage::Load(L"Skin/Huge.png"), nullptr);
}

TEST(OversizeEntry, ImageFromAnArchiveFileGivesNull) {
    CPaintManagerUI::SetResourcePath(giftest::FixtureDir().c_str());
    CPaintManagerUI::SetResourceZip(L"oversize.zip", true);
    TImageInfo* huge = CRenderEngine::LoadImageW(STRINGorID(L"Skin/Huge.png"), nullptr, 0);
    EXPECT_EQ(huge, nullptr);
    EXPECT_EQ(ZipLastResult(), kZipOutOfMemory);
    ExpectHugeRefusedAndFineLoaded();
}

TEST(OversizeEntry, ImageFromAnArchiveFileOpenedPerLoadGivesNull) {
    CPaintManagerUI::SetResourcePath(giftest::FixtureDir().c_str());
    CPaintManagerUI::SetResourceZip(L"oversize.zip", false);
    ExpectHugeRefusedAndFineLoaded();
}
