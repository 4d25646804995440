// Damaged pictures (bounded, seeded byte flips and truncations of every
// format a skin may carry) load as null or as a well-formed image, never a
// crash.

#include <gtest/gtest.h>
#include <windows.h>

#include <stb_image_write.h>

#include <random>
#include <string>
#include <vector>

#include "skin/skin_fixtures.h"
#include "support/temp_dir.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/render/render_engine.h"

using namespace TarselUI;

namespace {

void AppendBytes(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
}

std::vector<std::string> Pictures() {
    std::vector<std::uint8_t> rgba;
    for (int i = 0; i < 12 * 9; ++i) {
        rgba.insert(rgba.end(), {static_cast<std::uint8_t>(i * 7), static_cast<std::uint8_t>(i * 3),
                                 static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i % 2 ? 255 : 90)});
    }
    std::vector<std::string> out(4);
    stbi_write_png_to_func(AppendBytes, &out[0], 12, 9, 4, rgba.data(), 48);
    stbi_write_bmp_to_func(AppendBytes, &out[1], 12, 9, 4, rgba.data());
    stbi_write_tga_to_func(AppendBytes, &out[2], 12, 9, 4, rgba.data());
    stbi_write_jpg_to_func(AppendBytes, &out[3], 12, 9, 4, rgba.data(), 90);
    for (const wchar_t* name : {L"palette.png", L"interlaced.png", L"pattern.gif"}) {
        out.push_back(testsupport::ReadFileBytes(skintest::FixtureDir() + L"images\\" + name));
    }
    return out;
}

TEST(DamagedImages, LoadAsNullOrAsAWellFormedImage) {
    testsupport::TempDir dir;
    CPaintManagerUI::SetResourcePath(dir.path().c_str());
    std::mt19937 rng(4242);
    int loaded = 0, refused = 0;
    for (const std::string& original : Pictures()) {
        ASSERT_GT(original.size(), 16u);
        for (int i = 0; i < 120; ++i) {
            std::string bytes = original;
            if (rng() % 4 == 0) {
                bytes.resize(rng() % bytes.size());
            } else {
                for (int flips = 1 + static_cast<int>(rng() % 6); flips > 0; --flips) {
                    bytes[rng() % bytes.size()] ^= static_cast<char>(1 + rng() % 255);
                }
            }
            ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"damaged.img", bytes));
            TImageInfo* image = CRenderEngine::LoadImageW(L"damaged.img");
            if (!image) {
                ++refused;
                continue;
            }
            ++loaded;
            BITMAP bitmap{};
            EXPECT_EQ(::GetObjectW(image->hBitmap, sizeof bitmap, &bitmap), static_cast<int>(sizeof bitmap));
            EXPECT_EQ(bitmap.bmWidth, image->nWidth);
            EXPECT_EQ(bitmap.bmBitsPixel, 32);
            CRenderEngine::FreeImage(image);
        }
    }
    // Both outcomes occur, or the damage was not exercising the decoder.
    EXPECT_GT(loaded, 0);
    EXPECT_GT(refused, 0);
}

}  // namespace
