// Image descriptors drawn with images the caller looks up, without a paint
// manager: what is asked for, and what counts as missing.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "ui/engine/render/image_drawing.h"
#include "util/unique_handle.h"

using namespace TarselUI;

namespace {

struct Request {
    std::wstring name;
    std::wstring type;
    DWORD mask;
};

}  // namespace

TEST(ImageDrawing, EveryNamedImageIsLookedUpWithItsTypeAndMask) {
    Util::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    std::vector<Request> asked;
    const ImageByName images = [&](LPCWSTR name, LPCWSTR type, DWORD mask) -> const TImageInfo* {
        asked.push_back(Request{name, type ? type : L"(none)", mask});
        return nullptr;
    };
    const RECT item{0, 0, 10, 10};
    bool missing = false;
    DrawImageDescriptor(dc.get(), images, item, item, L"file='a.png' file='b.png'", L"mask='#FFFF00FF'", &missing);
    EXPECT_TRUE(missing);
    DrawImageDescriptor(dc.get(), images, item, item, L"res='c.png' restype='PNG'", nullptr, nullptr);
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0].name, L"a.png");
    EXPECT_EQ(asked[0].mask, 0u);
    // The modifier applies to the last image only.
    EXPECT_EQ(asked[1].name, L"b.png");
    EXPECT_EQ(asked[1].type, L"(none)");
    EXPECT_EQ(asked[1].mask, 0xFFFF00FFu);
    EXPECT_EQ(asked[2].name, L"c.png");
    EXPECT_EQ(asked[2].type, L"PNG");
}

TEST(ImageDrawing, NothingIsLookedUpWithoutAContextOrAName) {
    int lookups = 0;
    const ImageByName images = [&](LPCWSTR, LPCWSTR, DWORD) -> const TImageInfo* {
        ++lookups;
        return nullptr;
    };
    const RECT item{0, 0, 10, 10};
    bool missing = true;
    DrawImageDescriptor(nullptr, images, item, item, L"a.png", nullptr, &missing);
    EXPECT_FALSE(missing);
    Util::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    DrawImageDescriptor(dc.get(), images, item, item, L"", nullptr, &missing);
    EXPECT_FALSE(missing);
    EXPECT_EQ(lookups, 0);
}
