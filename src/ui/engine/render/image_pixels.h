#pragma once
// Turning decoded RGBA pixels into the premultiplied BGRA form the engine
// draws with. Pure; no platform calls.

#include <cstddef>
#include <cstdint>

namespace TarselUI {

// Converts `pixelCount` pixels from `rgba` (4 bytes each) into `bgra`.
// Colours are multiplied by alpha (rounding down) unless alpha is 255; a
// converted pixel that reads as `mask` (0xAARRGGBB) becomes fully
// transparent. Returns true when any pixel is not fully opaque afterwards
// (or was masked), i.e. the image needs alpha blending.
bool ConvertToPremultipliedBgra(const std::uint8_t* rgba, std::size_t pixelCount, std::uint32_t mask,
                                std::uint8_t* bgra);

}  // namespace TarselUI
