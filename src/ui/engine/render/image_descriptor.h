#pragma once
// Image descriptors: `file='a.png' source='0,0,76,26' corner='4,4,4,4'`.
// Reading is pure: it fills the settings and hands every image that is
// complete to a callback, so tests follow the reading without drawing.

#include <windows.h>

#include <functional>

#include "ui/engine/base/ui_string.h"

namespace TarselUI {

struct TImageDrawSettings {
    CUIString sImageName;
    CUIString sResType;
    RECT rcItem{};
    RECT rcDest{};
    RECT rcSource{};
    RECT rcCorner{};
    DWORD dwMask = 0;
    BYTE uFade = 255;
    bool bHole = false;
    bool bXTiled = false;
    bool bYTiled = false;

    // Defaults before a descriptor is read: the whole text names the image
    // and the destination is the item rectangle.
    static TImageDrawSettings Defaults(LPCWSTR descriptor, const RECT& item);
};

using ImageDrawCallback = std::function<void(const TImageDrawSettings&)>;

// Reads one descriptor text into `settings`. When "file" or "restype"
// names a second image in the same text, the image named so far is handed
// to `drawNow` first. Reading stops quietly at the first syntax error.
void ReadImageDescriptor(LPCWSTR text, TImageDrawSettings& settings, const ImageDrawCallback& drawNow);

// Reads the descriptor and then the modifier, and hands the final image to
// `drawNow` as well: every image the pair draws, in order.
void ReadImageDescriptorPair(LPCWSTR descriptor, LPCWSTR modifier, const RECT& item,
                             const ImageDrawCallback& drawNow);

// "dest" l,t,r,b relative to the item rectangle, cut at its right and bottom.
RECT DescriptorDestination(const RECT& item, const RECT& relative);

}  // namespace TarselUI
