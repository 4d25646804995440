// Premultiplication and the mask colour, pixel by pixel.

#include <gtest/gtest.h>

#include <cstdint>

#include "ui/engine/render/image_pixels.h"

using TarselUI::ConvertToPremultipliedBgra;

namespace {

TEST(ImagePixels, ColoursArePremultipliedAndMaskedPixelsCleared) {
    struct Case {
        const char* what;
        std::uint8_t rgba[4];
        std::uint32_t mask;
        std::uint8_t bgra[4];
        bool alpha;
    };
    const Case cases[] = {
        {"half transparent orange", {200, 100, 0, 128}, 0, {0, 50, 100, 128}, true},
        {"opaque copied unchanged", {200, 100, 7, 255}, 0, {7, 100, 200, 255}, false},
        {"fully transparent", {200, 100, 7, 0}, 0x12345678, {0, 0, 0, 0}, true},
        {"rounds down", {255, 255, 255, 254}, 0, {254, 254, 254, 254}, true},
        {"opaque magenta masked", {255, 0, 255, 255}, 0xFFFF00FF, {0, 0, 0, 0}, true},
        {"mask of another colour", {255, 0, 254, 255}, 0xFFFF00FF, {254, 0, 255, 255}, false},
        {"mask compares the premultiplied pixel", {255, 0, 255, 128}, 0x80800080, {0, 0, 0, 0}, true},
        {"unmultiplied value is not the mask", {255, 0, 255, 128}, 0x80FF00FF, {128, 0, 128, 128}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::uint8_t out[4] = {9, 9, 9, 9};
        const bool alpha = ConvertToPremultipliedBgra(c.rgba, 1, c.mask, out);
        EXPECT_EQ(alpha, c.alpha);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(out[i], c.bgra[i]) << "byte " << i;
    }
}

TEST(ImagePixels, AlphaFlagCoversTheWholeImage) {
    const std::uint8_t rgba[] = {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 10};
    std::uint8_t out[12];
    EXPECT_FALSE(ConvertToPremultipliedBgra(rgba, 2, 0, out));
    EXPECT_TRUE(ConvertToPremultipliedBgra(rgba, 3, 0, out));
    EXPECT_EQ(out[4], 6);
    EXPECT_EQ(out[6], 4);
}

}  // namespace
