#include "ui/engine/base/ui_rect.h"

#include <windowsx.h>

#include <utility>

namespace TarselUI {

CUIRect::CUIRect() { left = top = right = bottom = 0; }

CUIRect::CUIRect(const RECT& src) {
    left = src.left;
    top = src.top;
    right = src.right;
    bottom = src.bottom;
}

CUIRect::CUIRect(int l, int t, int r, int b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
}

void CUIRect::Empty() { left = top = right = bottom = 0; }

bool CUIRect::IsNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }

void CUIRect::Join(const RECT& rc) {
    if (rc.left < left) left = rc.left;
    if (rc.top < top) top = rc.top;
    if (rc.right > right) right = rc.right;
    if (rc.bottom > bottom) bottom = rc.bottom;
}

void CUIRect::ResetOffset() {
    right -= left;
    bottom -= top;
    left = top = 0;
}

void CUIRect::Normalize() {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
}

void CUIRect::Offset(int cx, int cy) { ::OffsetRect(this, cx, cy); }

void CUIRect::Inflate(int cx, int cy) { ::InflateRect(this, cx, cy); }

void CUIRect::Deflate(int cx, int cy) { ::InflateRect(this, -cx, -cy); }

void CUIRect::Deflate(const RECT& edges) {
    left += edges.left;
    top += edges.top;
    right -= edges.right;
    bottom -= edges.bottom;
}

void CUIRect::Union(const CUIRect& rc) { ::UnionRect(this, this, &rc); }

CSize::CSize() { cx = cy = 0; }

CSize::CSize(const SIZE& src) {
    cx = src.cx;
    cy = src.cy;
}

CSize::CSize(const RECT& rc) {
    cx = rc.right - rc.left;
    cy = rc.bottom - rc.top;
}

CSize::CSize(int x, int y) {
    cx = x;
    cy = y;
}

CPoint::CPoint() { x = y = 0; }

CPoint::CPoint(const POINT& src) {
    x = src.x;
    y = src.y;
}

CPoint::CPoint(int xValue, int yValue) {
    x = xValue;
    y = yValue;
}

CPoint::CPoint(LPARAM lParam) {
    x = GET_X_LPARAM(lParam);
    y = GET_Y_LPARAM(lParam);
}

}  // namespace TarselUI
