// Animated pictures opened through GDI+ (CGifImage::Load): frame counts and
// delays of ImageMagick's GIFs, damaged and foreign files refused, from each
// place a skin keeps its files. The archive settings are process-wide and
// cannot be undone, so each source is one test (each test runs in its own
// process).

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "gif_fixtures.h"
#include "support/temp_dir.h"
#include "ui/engine/base/gdiplus_include.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/render/gif_image.h"

using namespace TarselUI;

namespace {

struct Expected {
    const wchar_t* name;
    bool loads;
    std::vector<UINT> delaysMs;  // one per frame
};

// What every source must give for the same files.
const Expected kCases[] = {
    {L"one.gif", true, {0}},
    {L"frames.gif", true, {100, 250, 700}},
    {L"truncated.gif", false, {}},
    {L"not_a_gif.gif", false, {}},
    {L"missing.gif", false, {}},
};

// The colour of frame `index`, drawn by GDI+ into a bitmap the manager
// caches, read back at its centre (0x00RRGGBB).
DWORD CentreOfFrame(CGifImage& gif, UINT index) {
    EXPECT_TRUE(gif.SelectFrame(index));
    CPaintManagerUI manager;
    const std::wstring key = L"frame" + std::to_wstring(index);
    const TImageInfo* drawn = manager.GetImage(key.c_str(), gif.GetImage(), 0xFFFFFFFF);
    if (!drawn) return 0xFFFFFFFF;
    DIBSECTION section{};
    ::GetObjectW(drawn->hBitmap, sizeof section, &section);
    const auto* pixels = static_cast<const DWORD*>(section.dsBm.bmBits);
    return pixels[(drawn->nHeight / 2) * drawn->nWidth + drawn->nWidth / 2] & 0x00FFFFFF;
}

// `prefix` is what goes before a fixture's name ("" or "Anim\\").
void ExpectEveryCase(const std::wstring& prefix) {
    for (const Expected& c : kCases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<CGifImage> gif = CGifImage::Load((prefix + c.name).c_str());
        ASSERT_EQ(gif != nullptr, c.loads);
        if (!gif) continue;
        EXPECT_EQ(gif->GetFrameCount(), c.delaysMs.size());
        EXPECT_EQ(gif->GetFrameDelays(), c.delaysMs);
        EXPECT_EQ(gif->GetWidth(), 40u);
        EXPECT_EQ(gif->GetHeight(), 30u);
        EXPECT_FALSE(gif->SelectFrame(gif->GetFrameCount()));
    }
    // The frames are the pictures, not just a count.
    std::unique_ptr<CGifImage> frames = CGifImage::Load((prefix + L"frames.gif").c_str());
    ASSERT_NE(frames, nullptr);
    EXPECT_EQ(CentreOfFrame(*frames, 0), 0xFF0000u);
    EXPECT_EQ(CentreOfFrame(*frames, 1), 0x00FF00u);
    EXPECT_EQ(CentreOfFrame(*frames, 2), 0x0000FFu);
}

std::string ReadAll(const std::wstring& path) { return testsupport::ReadFileBytes(path); }

}  // namespace

TEST(GifImage, LooseFilesUnderTheResourceFolder) {
    CPaintManagerUI::SetResourcePath(giftest::FixtureDir().c_str());
    ExpectEveryCase(L"");
}

TEST(GifImage, AnArchiveFileOpenedForEachLoad) {
    CPaintManagerUI::SetResourcePath(giftest::FixtureDir().c_str());
    CPaintManagerUI::SetResourceZip(L"gifs.zip", false);
    ExpectEveryCase(L"Anim\\");
}

TEST(GifImage, AnArchiveFileKeptOpen) {
    CPaintManagerUI::SetResourcePath(giftest::FixtureDir().c_str());
    CPaintManagerUI::SetResourceZip(L"gifs.zip", true);
    ExpectEveryCase(L"anim/");
}

TEST(GifImage, TheInMemoryArchive) {
    // The block must outlive the archive, which lasts as long as the process.
    static const std::string archive = ReadAll(giftest::FixtureDir() + L"gifs.zip");
    ASSERT_FALSE(archive.empty());
    CPaintManagerUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()));
    ExpectEveryCase(L"Anim\\");
}

TEST(GifImage, APlainPathIsTheLastSource) {
    // Not in the archive: the name is opened as a path of its own.
    static const std::string archive = ReadAll(giftest::FixtureDir() + L"gifs.zip");
    CPaintManagerUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()));
    std::unique_ptr<CGifImage> gif = CGifImage::Load((giftest::FixtureDir() + L"frames.gif").c_str());
    ASSERT_NE(gif, nullptr);
    EXPECT_EQ(gif->GetFrameCount(), 3u);
    EXPECT_EQ(CGifImage::Load(L""), nullptr);
    EXPECT_EQ(CGifImage::Load(nullptr), nullptr);
}
