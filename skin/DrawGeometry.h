#pragma once
// Where each piece of a skin picture goes: pure geometry, no pixels. Every drawing rule of
// the skin turns (picture cell, element settings, destination) into a list of blits, each
// one source rectangle to one destination rectangle. PixelBlit executes such a list on
// PixelImages; the Windows side may execute the same list with BitBlt/StretchBlt instead.
#include <vector>

namespace velmora::skin {

// Half-open like a Win32 RECT: right and bottom are one past the last pixel.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool operator==(const Rect&) const = default;
};

Rect intersect(const Rect& a, const Rect& b);

// How the frames (states) of a picture lie: side by side (most elements) or one above the
// other (the top and bottom borders and the caption text background).
enum class FrameLayout { SideBySide, Stacked };

// Cell of frame `frame` (1-based) of a picture cut into `frameCount` equal cells. A count
// below 1 counts as 1 and the frame is held to 1..count, so a skin that names a frame it does
// not have shows its nearest one rather than pixels outside the picture.
Rect frameCell(int imageWidth, int imageHeight, int frameCount, int frame, FrameLayout layout);

enum class BlitKind {
    Copy,     // same size both sides
    Stretch,  // nearest neighbour (colour-on-colour stretching)
    Tile,     // source repeated from the destination's top-left, cut at its right and bottom
};

struct Blit {
    Rect source;
    Rect dest;
    BlitKind kind = BlitKind::Copy;
    bool operator==(const Blit&) const = default;
};

using BlitPlan = std::vector<Blit>;

struct Margins {
    int left = 0, top = 0, right = 0, bottom = 0;
};

enum class CentreFill { Stretch, Tile };

// Nine-slice: corners at their own size, edges stretched along their length, centre stretched
// or tiled. A destination narrower than left + right drops both side margins (and likewise
// for height); a corner is drawn only when both its margins are positive. Blits come in the
// order top-left, bottom-left, top-right corner, left edge, top edge, centre, bottom-right
// corner, right edge, bottom edge. Negative margins count as 0 and margins that do not fit
// the cell are cut to it, so a damaged skin never reads outside its picture.
BlitPlan nineSlicePlan(const Rect& cell, Margins margins, CentreFill centre, const Rect& dest);

// Caps keep their widths, the middle of the cell (cell width - left - right) is repeated from
// the left cap's end up to the right cap, which is drawn last. When the cell has no middle
// there is nothing to repeat: the whole cell is stretched into the destination instead, so
// the destination is still covered. Heights are stretched to the destination's.
BlitPlan threePartRepeatedPlan(const Rect& cell, int leftCap, int rightCap, const Rect& dest);

// A destination narrower than the cell gets the whole cell stretched; otherwise the caps keep
// their widths and the middle is stretched between them.
BlitPlan threePartStretchedPlan(const Rect& cell, int leftCap, int rightCap, const Rect& dest);

// The cell at its own size, centred (half the spare width and height, rounded toward zero).
BlitPlan centredPlan(const Rect& cell, const Rect& dest);

// The cell stretched to the whole destination.
BlitPlan wholePlan(const Rect& cell, const Rect& dest);

// The copy rectangles a Tile blit stands for, for executors that can only copy.
std::vector<Blit> tilesOf(const Blit& tile);

}  // namespace velmora::skin
