#pragma once
// The engine's stateless drawing routines. Images are loaded here; the
// drawing routines join them as they are built.

#include <windows.h>

#include "ui/engine/render/image_info.h"
#include "ui/engine/render/string_or_id.h"

namespace TarselUI {

class CRenderEngine {
public:
    // Loads and decodes an image: with a resource type from the resource
    // module, otherwise by file name from the skin archive or the resource
    // folder, falling back to the name as a plain path. Pixels whose
    // (premultiplied) colour equals `mask` become transparent. Null when no
    // source has it or it does not decode. Release with FreeImage.
    static TImageInfo* LoadImageW(STRINGorID bitmap, LPCWSTR type = nullptr, DWORD mask = 0);
    static void FreeImage(TImageInfo* bitmap);
};

}  // namespace TarselUI
