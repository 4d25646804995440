#pragma once
// Drawing the images an image descriptor names, with images the caller
// looks up. CRenderEngine::DrawImageString looks them up in the paint
// manager's image cache and draws through this.

#include <windows.h>

#include <functional>

#include "ui/engine/render/image_info.h"

namespace TarselUI {

// The loaded image of that name (resource type or null, mask colour);
// null when it cannot be loaded.
using ImageByName = std::function<const TImageInfo*(LPCWSTR name, LPCWSTR type, DWORD mask)>;

// Draws every image of the descriptor and its modifier. An image that
// cannot be loaded is skipped and reported through `pImageMissing` when
// given; nothing happens without a drawing context.
void DrawImageDescriptor(HDC hDC, const ImageByName& images, const RECT& rcItem, const RECT& rcPaint,
                         LPCWSTR pStrImage, LPCWSTR pStrModify, bool* pImageMissing);

}  // namespace TarselUI
