#pragma once
// Where an image's encoded bytes come from: a module resource, the skin
// archive, the resource folder, or the name as a plain path.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "ui/engine/render/string_or_id.h"

namespace TarselUI {

class CSkinSources;

// Fills `bytes` from the first of `sources` that has the image; false when
// none has it (or it is empty).
bool ReadImageBytes(const CSkinSources& sources, STRINGorID bitmap, LPCWSTR type, std::vector<std::uint8_t>& bytes);
// The same from the sources every window shares.
bool ReadImageBytes(STRINGorID bitmap, LPCWSTR type, std::vector<std::uint8_t>& bytes);

}  // namespace TarselUI
