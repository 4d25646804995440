#pragma once
// Rectangle, size and point records. They extend the platform's RECT, SIZE
// and POINT so they can be handed to Win32 calls as they are. Right and
// bottom are exclusive.

#include <windows.h>

namespace TarselUI {

class CUIRect : public tagRECT {
public:
    CUIRect();
    CUIRect(const RECT& src);
    CUIRect(int l, int t, int r, int b);

    int GetWidth() const { return right - left; }
    int GetHeight() const { return bottom - top; }
    void Empty();
    // True when all four values are 0.
    bool IsNull() const;
    // Grows to include `rc`, whether either is empty or not.
    void Join(const RECT& rc);
    // Moves to 0,0 keeping the size.
    void ResetOffset();
    // Orders the values so that left <= right and top <= bottom.
    void Normalize();
    void Offset(int cx, int cy);
    void Inflate(int cx, int cy);
    void Deflate(int cx, int cy);
    // Shrinks by the four edge widths held in `edges`.
    void Deflate(const RECT& edges);
    // The platform's union, which ignores empty rectangles.
    void Union(const CUIRect& rc);
};

class CSize : public tagSIZE {
public:
    CSize();
    CSize(const SIZE& src);
    CSize(const RECT& rc);  // width and height of a rectangle
    CSize(int x, int y);
};

class CPoint : public tagPOINT {
public:
    CPoint();
    CPoint(const POINT& src);
    CPoint(int x, int y);
    CPoint(LPARAM lParam);  // the signed coordinates of a mouse message
};

}  // namespace TarselUI
