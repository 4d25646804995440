#pragma once
// Private copies of caller-owned bitmaps.

#include <windows.h>

#include "util/unique_handle.h"

namespace TarselUI {

// A top-down copy of `source` with the same size and pixel format, so the
// caller may delete its bitmap at once. Empty when `source` is not a usable
// bitmap or the copy cannot be made.
Util::UniqueGdiObject CopyBitmap(HBITMAP source);

}  // namespace TarselUI
