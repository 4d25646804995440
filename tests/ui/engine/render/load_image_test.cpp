// Loading images: every format a skin may carry, the order of the sources
// (resource folder, skin archive, plain path), and the finished bitmap's
// form (32-bit, top-down, premultiplied).

#include <gtest/gtest.h>
#include <windows.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "skin/skin_fixtures.h"
#include "support/temp_dir.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/render/render_engine.h"

using namespace TarselUI;

namespace {

struct ImageDeleter {
    void operator()(TImageInfo* image) const { CRenderEngine::FreeImage(image); }
};
using UniqueImage = std::unique_ptr<TImageInfo, ImageDeleter>;

struct Bgra {
    int b, g, r, a;
};

// The pixel at x, y of a loaded image, read back from its DIB section.
Bgra PixelAt(const TImageInfo& image, int x, int y) {
    DIBSECTION section{};
    EXPECT_EQ(::GetObjectW(image.hBitmap, sizeof section, &section), static_cast<int>(sizeof section));
    const auto* bits = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    const std::uint8_t* p = bits + (static_cast<std::size_t>(y) * image.nWidth + x) * 4;
    return Bgra{p[0], p[1], p[2], p[3]};
}

void ExpectDibForm(const TImageInfo& image) {
    DIBSECTION section{};
    ASSERT_EQ(::GetObjectW(image.hBitmap, sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBmih.biBitCount, 32);
    EXPECT_EQ(section.dsBmih.biWidth, image.nWidth);
    // Wine reports the height without its sign; the pixel checks prove the
    // rows run top-down (row y is read at y * width from the start).
    EXPECT_EQ(std::abs(section.dsBmih.biHeight), image.nHeight);
    EXPECT_EQ(section.dsBmih.biCompression, static_cast<DWORD>(BI_RGB));
}

// A small picture with distinct rows and columns and varied alpha.
constexpr int kWidth = 5, kHeight = 3;
std::vector<std::uint8_t> TestPixels(bool withAlpha) {
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            rgba.push_back(static_cast<std::uint8_t>(40 * x + 10));
            rgba.push_back(static_cast<std::uint8_t>(90 * y + 5));
            rgba.push_back(static_cast<std::uint8_t>(200 - 30 * x));
            rgba.push_back(withAlpha ? static_cast<std::uint8_t>(255 - 60 * ((x + y) % 3)) : 255);
        }
    }
    return rgba;
}

void AppendBytes(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
}

enum class Format { PngRgba, PngGrey, Bmp, Tga, Jpeg };

std::string Encode(Format format) {
    std::vector<std::uint8_t> rgba = TestPixels(format == Format::PngRgba || format == Format::Tga);
    std::string out;
    switch (format) {
        case Format::PngRgba:
            stbi_write_png_to_func(AppendBytes, &out, kWidth, kHeight, 4, rgba.data(), kWidth * 4);
            break;
        case Format::PngGrey: {
            std::vector<std::uint8_t> grey;
            for (std::size_t i = 0; i < rgba.size(); i += 4) grey.push_back(rgba[i]);
            stbi_write_png_to_func(AppendBytes, &out, kWidth, kHeight, 1, grey.data(), kWidth);
            break;
        }
        case Format::Bmp:
            stbi_write_bmp_to_func(AppendBytes, &out, kWidth, kHeight, 4, rgba.data());
            break;
        case Format::Tga:
            stbi_write_tga_to_func(AppendBytes, &out, kWidth, kHeight, 4, rgba.data());
            break;
        case Format::Jpeg:
            stbi_write_jpg_to_func(AppendBytes, &out, kWidth, kHeight, 4, rgba.data(), 100);
            break;
    }
    return out;
}

TEST(ImageLoading, EveryWrittenFormatDecodesToPremultipliedTopDownPixels) {
    const struct {
        const char* what;
        Format format;
        bool alpha;
        int tolerance;
    } cases[] = {
        {"png rgba", Format::PngRgba, true, 0}, {"png grey", Format::PngGrey, false, 0},
        {"bmp", Format::Bmp, false, 0},         {"tga", Format::Tga, true, 0},
        {"jpeg", Format::Jpeg, false, 24},
    };
    testsupport::TempDir dir;
    CPaintManagerUI::SetResourcePath(dir.path().c_str());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring name = L"picture_" + skintest::Widen(c.what).substr(0, 3) +
                                  std::to_wstring(static_cast<int>(c.format));
        ASSERT_TRUE(testsupport::WriteFileBytes(dir / name, Encode(c.format)));
        UniqueImage image(CRenderEngine::LoadImageW(name.c_str()));
        ASSERT_TRUE(image);
        ExpectDibForm(*image);
        EXPECT_EQ(image->nWidth, kWidth);
        EXPECT_EQ(image->nHeight, kHeight);
        EXPECT_EQ(image->bAlphaChannel, c.alpha);
        const std::vector<std::uint8_t> rgba = TestPixels(c.alpha);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const std::uint8_t* s = &rgba[(y * kWidth + x) * 4];
                const int a = s[3];
                const bool grey = c.format == Format::PngGrey;
                const int r = s[0], g = grey ? s[0] : s[1], b = grey ? s[0] : s[2];
                const Bgra got = PixelAt(*image, x, y);
                EXPECT_EQ(got.a, a);
                EXPECT_NEAR(got.r, a == 255 ? r : r * a / 255, c.tolerance) << x << "," << y;
                EXPECT_NEAR(got.g, a == 255 ? g : g * a / 255, c.tolerance) << x << "," << y;
                EXPECT_NEAR(got.b, a == 255 ? b : b * a / 255, c.tolerance) << x << "," << y;
            }
        }
    }
}

TEST(ImageLoading, ToolMadePaletteInterlacedAndGifPicturesDecodeExactly) {
    // ImageMagick's 9x7 opaque pattern: pixel x,y = (x*28, y*36, 255-x*20).
    CPaintManagerUI::SetResourcePath((skintest::FixtureDir() + L"images\\").c_str());
    for (const wchar_t* name : {L"palette.png", L"interlaced.png", L"pattern.gif"}) {
        SCOPED_TRACE(std::string(name, name + std::wcslen(name)));
        UniqueImage image(CRenderEngine::LoadImageW(name));
        ASSERT_TRUE(image);
        ExpectDibForm(*image);
        ASSERT_EQ(image->nWidth, 9);
        ASSERT_EQ(image->nHeight, 7);
        EXPECT_FALSE(image->bAlphaChannel);
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 9; ++x) {
                const Bgra got = PixelAt(*image, x, y);
                EXPECT_EQ(got.r, x * 28);
                EXPECT_EQ(got.g, y * 36);
                EXPECT_EQ(got.b, 255 - x * 20);
                EXPECT_EQ(got.a, 255);
            }
        }
    }
}

TEST(ImageLoading, MaskColourMakesMatchingPixelsTransparent) {
    testsupport::TempDir dir;
    CPaintManagerUI::SetResourcePath(dir.path().c_str());
    const std::uint8_t rgba[] = {255, 0, 255, 255, 10, 20, 30, 255};
    std::string png;
    stbi_write_png_to_func(AppendBytes, &png, 2, 1, 4, rgba, 8);
    ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"magenta.png", png));

    UniqueImage plain(CRenderEngine::LoadImageW(L"magenta.png"));
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->bAlphaChannel);
    UniqueImage masked(CRenderEngine::LoadImageW(L"magenta.png", nullptr, 0xFFFF00FF));
    ASSERT_TRUE(masked);
    EXPECT_TRUE(masked->bAlphaChannel);
    const Bgra cleared = PixelAt(*masked, 0, 0);
    EXPECT_EQ(cleared.a + cleared.r + cleared.g + cleared.b, 0);
    const Bgra kept = PixelAt(*masked, 1, 0);
    EXPECT_EQ(kept.r, 10);
    EXPECT_EQ(kept.a, 255);
}

TEST(ImageLoading, TheSkinArchiveComesFirstAndAMissingEntryFallsBackToThePlainPath) {
    const std::string archive = testsupport::ReadFileBytes(skintest::FixtureDir() + L"images\\images.zip");
    ASSERT_FALSE(archive.empty());
    CPaintManagerUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()));

    UniqueImage fromArchive(CRenderEngine::LoadImageW(L"skin\\pattern.png"));
    ASSERT_TRUE(fromArchive);
    EXPECT_EQ(fromArchive->nWidth, 9);

    // Only "Skin/Pattern.png" is in the archive; the same relative name
    // under another folder is read from the current folder instead.
    testsupport::TempDir dir;
    const std::uint8_t rgba[] = {1, 2, 3, 255, 4, 5, 6, 255};
    std::string png;
    stbi_write_png_to_func(AppendBytes, &png, 1, 2, 4, rgba, 4);
    ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"MessageBox\\pattern.png", png));
    CPaintManagerUI::SetCurrentPath(dir.path().c_str());
    UniqueImage fallback(CRenderEngine::LoadImageW(L"MessageBox\\pattern.png"));
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback->nWidth, 1);
    EXPECT_EQ(fallback->nHeight, 2);
    CPaintManagerUI::SetCurrentPath(L"C:\\");
    CPaintManagerUI::Term();
}

TEST(ImageLoading, AnArchiveFileNotKeptOpenIsOpenedForTheLoad) {
    CPaintManagerUI::SetResourcePath((skintest::FixtureDir() + L"images").c_str());
    CPaintManagerUI::SetResourceZip(L"images.zip", false);
    UniqueImage image(CRenderEngine::LoadImageW(L"Skin/Pattern.png"));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->nHeight, 7);
}

TEST(ImageLoading, AResourceTypeReadsFromTheResourceModule) {
    // skin_image.rc: resource 201 of type "SKINIMG", a 2x1 BMP, red then blue.
    CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
    UniqueImage image(CRenderEngine::LoadImageW(STRINGorID(201u), L"SKINIMG"));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->nWidth, 2);
    EXPECT_EQ(image->nHeight, 1);
    const Bgra left = PixelAt(*image, 0, 0), right = PixelAt(*image, 1, 0);
    EXPECT_EQ(left.r, 255);
    EXPECT_EQ(left.b, 0);
    EXPECT_EQ(right.b, 255);
    EXPECT_EQ(right.r, 0);
    EXPECT_EQ(CRenderEngine::LoadImageW(STRINGorID(202u), L"SKINIMG"), nullptr);
}

TEST(ImageLoading, NothingToDecodeGivesNull) {
    testsupport::TempDir dir;
    CPaintManagerUI::SetResourcePath(dir.path().c_str());
    ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"not_a_picture.png", "this is text, not a PNG"));
    ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"empty.png", ""));
    std::string truncated = Encode(Format::PngRgba);
    truncated.resize(truncated.size() / 2);
    ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"truncated.png", truncated));
    for (const wchar_t* name : {L"not_a_picture.png", L"empty.png", L"truncated.png", L"missing.png"}) {
        EXPECT_EQ(CRenderEngine::LoadImageW(name), nullptr);
    }
    EXPECT_EQ(CRenderEngine::LoadImageW(STRINGorID(201u), L"PNG"), nullptr) << "no such resource";
    CRenderEngine::FreeImage(nullptr);
}

}  // namespace
