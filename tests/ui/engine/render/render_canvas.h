#pragma once
// A 32-bit top-down DIB section to draw into and read back, and in-memory
// images in the engine's premultiplied form, for the pixel tests.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "util/unique_handle.h"

namespace rendertest {

struct Rgb {
    int r, g, b;
};

class Canvas {
public:
    Canvas(int width, int height, DWORD fillArgb = 0xFFFFFFFF);
    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    RECT rect() const { return RECT{0, 0, width_, height_}; }
    void Fill(DWORD argb);
    Rgb At(int x, int y) const;

private:
    int width_, height_;
    Util::UniqueMemoryDc dc_;
    Util::UniqueGdiObject bitmap_;
    std::uint32_t* bits_ = nullptr;
};

// A bitmap of `width` x `height` from ARGB pixels (row by row), stored
// premultiplied as the image loader stores them.
HBITMAP MakeImage(int width, int height, const std::vector<DWORD>& argb);

bool Near(const Rgb& actual, const Rgb& expected, int tolerance = 2);

}  // namespace rendertest
