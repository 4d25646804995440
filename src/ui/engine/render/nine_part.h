#pragma once
// Nine-part image geometry: which part of the source goes where. Pure
// arithmetic, kept apart from the raster calls so tests can check it.

#include <windows.h>

#include <vector>

namespace TarselUI {

struct TImagePiece {
    RECT dest;
    RECT source;  // left, top, right, bottom in image pixels
};

// The middle piece (both rectangles narrowed by the corner widths).
TImagePiece NineMiddle(const RECT& dest, const RECT& source, const RECT& corner);

// The eight edge and corner pieces in drawing order (left-top, top,
// right-top, left, right, left-bottom, bottom, right-bottom); a piece whose
// corner widths are not above 0 is left out.
std::vector<TImagePiece> NineEdges(const RECT& dest, const RECT& source, const RECT& corner);

// The tiles of a middle piece: both ways, tiles of the source's size laid
// in rows and columns and cut at the right and bottom (using the same
// top-left part of the source); one way, tiles stretched across the other
// direction. No tiling gives the piece itself. Only tiles that meet `clip`
// are produced, so a tiny tile over a huge area costs only what is seen.
std::vector<TImagePiece> TileMiddle(const TImagePiece& middle, bool xTiled, bool yTiled,
                                    const RECT& clip);

bool RectsMeet(const RECT& a, const RECT& b);
bool HasArea(const RECT& rc);

}  // namespace TarselUI
