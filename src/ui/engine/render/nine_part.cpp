#include "ui/engine/render/nine_part.h"

#include <algorithm>

namespace TarselUI {

bool HasArea(const RECT& rc) { return rc.right > rc.left && rc.bottom > rc.top; }

bool RectsMeet(const RECT& a, const RECT& b) {
    RECT both;
    return ::IntersectRect(&both, &a, &b) != FALSE;
}

TImagePiece NineMiddle(const RECT& d, const RECT& s, const RECT& c) {
    return TImagePiece{RECT{d.left + c.left, d.top + c.top, d.right - c.right, d.bottom - c.bottom},
                       RECT{s.left + c.left, s.top + c.top, s.right - c.right, s.bottom - c.bottom}};
}

std::vector<TImagePiece> NineEdges(const RECT& d, const RECT& s, const RECT& c) {
    const LONG l = c.left, t = c.top, r = c.right, b = c.bottom;
    std::vector<TImagePiece> pieces;
    auto add = [&](bool wanted, RECT dest, RECT source) {
        if (wanted) pieces.push_back(TImagePiece{dest, source});
    };
    add(l > 0 && t > 0, {d.left, d.top, d.left + l, d.top + t}, {s.left, s.top, s.left + l, s.top + t});
    add(t > 0, {d.left + l, d.top, d.right - r, d.top + t}, {s.left + l, s.top, s.right - r, s.top + t});
    add(r > 0 && t > 0, {d.right - r, d.top, d.right, d.top + t}, {s.right - r, s.top, s.right, s.top + t});
    add(l > 0, {d.left, d.top + t, d.left + l, d.bottom - b}, {s.left, s.top + t, s.left + l, s.bottom - b});
    add(r > 0, {d.right - r, d.top + t, d.right, d.bottom - b},
        {s.right - r, s.top + t, s.right, s.bottom - b});
    add(l > 0 && b > 0, {d.left, d.bottom - b, d.left + l, d.bottom},
        {s.left, s.bottom - b, s.left + l, s.bottom});
    add(b > 0, {d.left + l, d.bottom - b, d.right - r, d.bottom},
        {s.left + l, s.bottom - b, s.right - r, s.bottom});
    add(r > 0 && b > 0, {d.right - r, d.bottom - b, d.right, d.bottom},
        {s.right - r, s.bottom - b, s.right, s.bottom});
    return pieces;
}

std::vector<TImagePiece> TileMiddle(const TImagePiece& middle, bool xTiled, bool yTiled,
                                    const RECT& clip) {
    const RECT& d = middle.dest;
    const RECT& s = middle.source;
    const LONG tileW = s.right - s.left, tileH = s.bottom - s.top;
    if (!xTiled && !yTiled) return {middle};
    std::vector<TImagePiece> tiles;
    if (tileW <= 0 || tileH <= 0 || !HasArea(d)) return tiles;
    const LONG destW = d.right - d.left, destH = d.bottom - d.top;
    const LONG columns = xTiled ? (destW + tileW - 1) / tileW : 1;
    const LONG rows = yTiled ? (destH + tileH - 1) / tileH : 1;
    // The first and last tile that can meet the clip in each direction.
    LONG firstColumn = 0, lastColumn = columns - 1, firstRow = 0, lastRow = rows - 1;
    if (xTiled) {
        firstColumn = std::max<LONG>(0, (clip.left - d.left) / tileW);
        lastColumn = std::min<LONG>(columns - 1, std::max<LONG>(-1, (clip.right - 1 - d.left) / tileW));
    }
    if (yTiled) {
        firstRow = std::max<LONG>(0, (clip.top - d.top) / tileH);
        lastRow = std::min<LONG>(rows - 1, std::max<LONG>(-1, (clip.bottom - 1 - d.top) / tileH));
    }
    for (LONG row = firstRow; row <= lastRow; ++row) {
        for (LONG column = firstColumn; column <= lastColumn; ++column) {
            RECT dest = d;
            RECT source = s;
            if (xTiled) {
                dest.left = d.left + column * tileW;
                dest.right = std::min(dest.left + tileW, d.right);
                source.right = s.left + (dest.right - dest.left);
            }
            if (yTiled) {
                dest.top = d.top + row * tileH;
                dest.bottom = std::min(dest.top + tileH, d.bottom);
                source.bottom = s.top + (dest.bottom - dest.top);
            }
            if (RectsMeet(dest, clip)) tiles.push_back(TImagePiece{dest, source});
        }
    }
    return tiles;
}

}  // namespace TarselUI
