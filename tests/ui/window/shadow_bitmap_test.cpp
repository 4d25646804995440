// The shadow's picture as a pure function of the owner's shape and the
// settings: geometry, the hole under the owner, the blur profile, rounded
// shapes, offsets, and hostile inputs.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <random>
#include <vector>

#include "ui/window/shadow_bitmap.h"
#include "ui/window/wnd_shadow.h"
#include "util/unique_handle.h"

using namespace TarselUI;

namespace {

struct ShadowMap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int line, int column) const {
        return pixels[ShadowPixelIndex(width, height, line, column)];
    }
    unsigned Alpha(int line, int column) const { return At(line, column) >> 24; }
};

ShadowMap Render(int ownerWidth, int ownerHeight, const std::vector<ShadowSpan>& spans,
                 const ShadowParams& params) {
    ShadowMap map;
    map.width = ShadowExtent(ownerWidth, params.size);
    map.height = ShadowExtent(ownerHeight, params.size);
    map.pixels.assign(static_cast<std::size_t>(map.width) * map.height, 0);
    MakeShadow(map.pixels.data(), ownerWidth, ownerHeight, spans, params);
    return map;
}

std::vector<ShadowSpan> RectSpans(int width, int height) {
    return std::vector<ShadowSpan>(static_cast<std::size_t>(height), ShadowSpan{0, width});
}

ShadowParams Params(int size, int sharpness, int darkness, int offsetX = 0, int offsetY = 0,
                    COLORREF color = RGB(0, 0, 0)) {
    ShadowParams params;
    params.size = size;
    params.sharpness = sharpness;
    params.darkness = darkness;
    params.offsetX = offsetX;
    params.offsetY = offsetY;
    params.color = color;
    return params;
}

// Pixels of the owner that land inside the map and are not fully clear.
int CoveredOwnerPixels(const ShadowMap& map, const std::vector<ShadowSpan>& spans, const ShadowParams& p) {
    int covered = 0;
    for (int y = 0; y < static_cast<int>(spans.size()); ++y) {
        for (int x = spans[y].start; x < spans[y].end; ++x) {
            const int line = y + p.size - p.offsetY;
            const int column = x + p.size - p.offsetX;
            if (line < 0 || line >= map.height || column < 0 || column >= map.width) continue;
            if (map.At(line, column) != 0) ++covered;
        }
    }
    return covered;
}

}  // namespace

TEST(ShadowBitmap, SizeSixOwnerGetsLargerMapWithClearHole) {
    const ShadowParams p = Params(6, 4, 30);
    const ShadowMap map = Render(252, 160, RectSpans(252, 160), p);
    ASSERT_EQ(map.width, 264);
    ASSERT_EQ(map.height, 172);
    EXPECT_EQ(CoveredOwnerPixels(map, RectSpans(252, 160), p), 0);
    // Every side is shadowed right up to the owner, at full darkness within
    // the core radius (size - sharpness = 2).
    const int middleLine = 86, middleColumn = 132;
    EXPECT_EQ(map.Alpha(middleLine, 5), 30u);
    EXPECT_EQ(map.Alpha(middleLine, 4), 30u);
    EXPECT_EQ(map.Alpha(middleLine, 258), 30u);
    EXPECT_EQ(map.Alpha(5, middleColumn), 30u);
    EXPECT_EQ(map.Alpha(166, middleColumn), 30u);
    // Fading outwards to a faint but present rim, and nothing in the
    // bounding square's corner, which lies beyond the blur radius.
    for (int column = 4; column > 0; --column)
        EXPECT_GT(map.Alpha(middleLine, column), map.Alpha(middleLine, column - 1)) << column;
    EXPECT_GT(map.Alpha(middleLine, 0), 0u);
    EXPECT_LE(map.Alpha(middleLine, 0), 6u);
    EXPECT_EQ(map.At(0, 0), 0u);
    EXPECT_EQ(map.At(171, 263), 0u);
}

TEST(ShadowBitmap, BlurProfileFollowsSizeAndSharpness) {
    // Alpha just outside the owner's left edge and at the map's left border,
    // on the owner's middle row: the kernel reaches max(size, sharpness)
    // pixels from its centre; a sharpness above the size erodes the
    // silhouette first, so the centres sit inside the owner.
    struct Case {
        int size, sharpness;
        unsigned nextToOwner;  // alpha of the column left of the owner
        bool rimShadowed;      // the map's first column is not clear
    };
    const Case cases[] = {
        {6, 4, 30, true},   // core radius 2
        {4, 4, 24, true},   // no core, no erosion: 1 - 1/5 of 30
        {2, 4, 12, true},   // two rounds of erosion: centre 3 away, 1 - 3/5
        {0, 5, 0, false},   // no room outside the owner at all
    };
    for (const Case& c : cases) {
        const ShadowParams p = Params(c.size, c.sharpness, 30);
        const ShadowMap map = Render(100, 60, RectSpans(100, 60), p);
        const int line = map.height / 2;
        EXPECT_EQ(CoveredOwnerPixels(map, RectSpans(100, 60), p), 0) << c.size << "," << c.sharpness;
        if (c.size > 0) {
            EXPECT_NEAR(static_cast<int>(map.Alpha(line, c.size - 1)), static_cast<int>(c.nextToOwner), 1)
                << c.size << "," << c.sharpness;
        }
        EXPECT_EQ(map.Alpha(line, 0) > 0, c.rimShadowed) << c.size << "," << c.sharpness;
    }
}

TEST(ShadowBitmap, ColourIsPremultipliedByAlpha) {
    struct Case {
        COLORREF color;
        unsigned alpha;
        DWORD expected;
    };
    const Case cases[] = {
        {RGB(200, 100, 50), 128, 0x643219},
        {RGB(255, 255, 255), 255, 0xFFFFFF},
        {RGB(255, 0, 0), 30, 0x1E0000},
        {RGB(10, 20, 30), 0, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(CWndShadow::PreMultiply(c.color, static_cast<unsigned char>(c.alpha)), c.expected);

    const ShadowMap map = Render(40, 40, RectSpans(40, 40), Params(6, 4, 200, 0, 0, RGB(255, 0, 0)));
    const std::uint32_t core = map.At(26, 5);
    EXPECT_EQ(core >> 24, 200u);
    EXPECT_EQ(core & 0xFFFFFF, ShadowPreMultiply(RGB(255, 0, 0), 200));
}

TEST(ShadowBitmap, OffsetsMoveTheHoleSoOnlyTheFarSidesShow) {
    // The stored defaults: size 0, sharpness 5, offsets 5, 5. The map is the
    // owner's size and the owner covers it except a strip on the right and
    // at the bottom.
    const ShadowParams p = Params(0, 5, 150, 5, 5);
    const ShadowMap map = Render(120, 80, RectSpans(120, 80), p);
    ASSERT_EQ(map.width, 120);
    EXPECT_EQ(CoveredOwnerPixels(map, RectSpans(120, 80), p), 0);
    EXPECT_EQ(map.At(40, 10), 0u);
    EXPECT_GT(map.Alpha(40, 116), 0u);
    EXPECT_GT(map.Alpha(76, 60), 0u);
    EXPECT_EQ(map.At(2, 2), 0u);
}

TEST(ShadowBitmap, RoundedOwnerCornersAreShadowedNotCleared) {
    constexpr int kWidth = 252, kHeight = 160;
    Util::UniqueGdiObject region(::CreateRoundRectRgn(0, 0, kWidth + 1, kHeight + 1, 30, 30));
    ASSERT_TRUE(region);
    auto* shape = static_cast<HRGN>(region.get());
    const std::vector<ShadowSpan> rounded =
        OwnerSpans(kWidth, kHeight, [shape](int x, int y) { return ::PtInRegion(shape, x, y) != FALSE; });
    ASSERT_EQ(rounded.size(), static_cast<std::size_t>(kHeight));
    EXPECT_GT(rounded[0].start, 5);
    EXPECT_EQ(rounded[kHeight / 2].start, 0);
    EXPECT_EQ(rounded[kHeight / 2].end, kWidth);

    const ShadowParams p = Params(6, 4, 30);
    const ShadowMap round = Render(kWidth, kHeight, rounded, p);
    const ShadowMap square = Render(kWidth, kHeight, RectSpans(kWidth, kHeight), p);
    EXPECT_EQ(CoveredOwnerPixels(round, rounded, p), 0);
    // The owner's bounding-box corner lies outside the rounded shape: the
    // square owner clears it, the rounded one lets the shadow show there.
    for (auto [line, column] : {std::pair{8, 8}, std::pair{8, 255}, std::pair{163, 8}, std::pair{163, 255}}) {
        EXPECT_EQ(square.At(line, column), 0u) << line << "," << column;
        EXPECT_GT(round.Alpha(line, column), 0u) << line << "," << column;
    }
    // Diagonally off the corner the rounded shadow is fainter, because it
    // bends away with the outline.
    EXPECT_LT(round.Alpha(4, 4), square.Alpha(4, 4));
    // Along straight edges the two agree.
    EXPECT_EQ(round.At(86, 3), square.At(86, 3));
}

TEST(ShadowBitmap, DegenerateInputsDrawNothing) {
    // A negative size that swallows the owner, a span list of the wrong
    // length, an owner without any row inside its shape.
    std::vector<std::uint32_t> pixels(64 * 64, 0);
    MakeShadow(pixels.data(), 10, 10, RectSpans(10, 10), Params(-20, 4, 30));
    MakeShadow(pixels.data(), 40, 40, RectSpans(40, 39), Params(2, 2, 30));
    MakeShadow(nullptr, 40, 40, RectSpans(40, 40), Params(2, 2, 30));
    for (std::uint32_t pixel : pixels) ASSERT_EQ(pixel, 0u);

    const std::vector<ShadowSpan> empty(30, ShadowSpan{30, 0});
    const ShadowMap map = Render(30, 30, empty, Params(4, 2, 30));
    for (std::uint32_t pixel : map.pixels) ASSERT_EQ(pixel, 0u);
}

TEST(ShadowBitmap, RandomShapesAndSettingsStayInBoundsAndKeepTheHole) {
    // Spans are random, partly outside the owner or reversed, the settings
    // random within their ranges. Out-of-range writes would corrupt the
    // guard values around the map.
    std::mt19937 random(20261209);
    constexpr std::uint32_t kGuard = 0xDEADBEEF;
    for (int round = 0; round < 300; ++round) {
        const int width = 1 + static_cast<int>(random() % 60);
        const int height = 1 + static_cast<int>(random() % 60);
        std::vector<ShadowSpan> spans;
        for (int y = 0; y < height; ++y) {
            const int a = static_cast<int>(random() % (width + 10)) - 5;
            const int b = static_cast<int>(random() % (width + 10)) - 5;
            spans.push_back(ShadowSpan{a, b});
        }
        const ShadowParams p = Params(static_cast<int>(random() % 41) - 20, static_cast<int>(random() % 21),
                                      static_cast<int>(random() % 256), static_cast<int>(random() % 41) - 20,
                                      static_cast<int>(random() % 41) - 20, RGB(random() % 256, 0, 255));
        const int mapWidth = ShadowExtent(width, p.size);
        const int mapHeight = ShadowExtent(height, p.size);
        const std::size_t count = mapWidth > 0 && mapHeight > 0 ? static_cast<std::size_t>(mapWidth) * mapHeight : 0;
        std::vector<std::uint32_t> buffer(count + 2, 0);
        buffer.front() = kGuard;
        buffer.back() = kGuard;
        MakeShadow(buffer.data() + 1, width, height, spans, p);
        ASSERT_EQ(buffer.front(), kGuard) << "round " << round;
        ASSERT_EQ(buffer.back(), kGuard) << "round " << round;
        if (count == 0) continue;

        ShadowMap map;
        map.width = mapWidth;
        map.height = mapHeight;
        map.pixels.assign(buffer.begin() + 1, buffer.end() - 1);
        std::vector<ShadowSpan> clipped;
        for (ShadowSpan span : spans)
            clipped.push_back(ShadowSpan{std::max(span.start, 0), std::min(span.end, width)});
        ASSERT_EQ(CoveredOwnerPixels(map, clipped, p), 0) << "round " << round;
        for (std::uint32_t pixel : map.pixels) ASSERT_LE(pixel >> 24, static_cast<unsigned>(p.darkness));
    }
}

TEST(ShadowBitmap, OwnerSpansProbeOnlyTheRowEnds) {
    int probes = 0;
    const auto spans = OwnerSpans(200, 3, [&probes](int x, int y) {
        ++probes;
        return y != 1 && x >= 20 && x < 150;
    });
    ASSERT_EQ(spans.size(), 3u);
    EXPECT_EQ(spans[0].start, 20);
    EXPECT_EQ(spans[0].end, 150);
    EXPECT_TRUE(spans[1].Empty());
    EXPECT_EQ(spans[1].start, 200);
    EXPECT_EQ(spans[1].end, 0);
    // Row 1 is scanned whole once; rows 0 and 2 only up to their ends.
    EXPECT_EQ(probes, 2 * (21 + 51) + 200);
}
