#include "ui/engine/render/image_pixels.h"

namespace TarselUI {

bool ConvertToPremultipliedBgra(const std::uint8_t* rgba, std::size_t pixelCount, std::uint32_t mask,
                                std::uint8_t* bgra) {
    bool hasAlpha = false;
    for (std::size_t i = 0; i < pixelCount; ++i, rgba += 4, bgra += 4) {
        const unsigned alpha = rgba[3];
        if (alpha == 255) {
            bgra[0] = rgba[2];
            bgra[1] = rgba[1];
            bgra[2] = rgba[0];
        } else {
            bgra[0] = static_cast<std::uint8_t>(rgba[2] * alpha / 255);
            bgra[1] = static_cast<std::uint8_t>(rgba[1] * alpha / 255);
            bgra[2] = static_cast<std::uint8_t>(rgba[0] * alpha / 255);
            hasAlpha = true;
        }
        bgra[3] = static_cast<std::uint8_t>(alpha);
        const std::uint32_t argb = (std::uint32_t{bgra[3]} << 24) | (std::uint32_t{bgra[2]} << 16) |
                                   (std::uint32_t{bgra[1]} << 8) | bgra[0];
        if (argb == mask) {
            bgra[0] = bgra[1] = bgra[2] = bgra[3] = 0;
            hasAlpha = true;
        }
    }
    return hasAlpha;
}

}  // namespace TarselUI
