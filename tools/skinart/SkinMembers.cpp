#include "SkinMembers.h"

#include <cmath>
#include <functional>

#include "ArtCanvas.h"
#include "ImageTransforms.h"
#include "PixelBlit.h"
#include "SkinPalette.h"

namespace velmora::skinart {

using namespace palette;
using skin::kMagenta;
using skin::PixelImage;
using skin::Transparency;

namespace {

// ---- strips of frames ------------------------------------------------------------------

using CellPainter = std::function<void(PixelImage& cell, int frame)>;  // frame is 1-based

PixelImage sideBySide(int cellWidth, int cellHeight, int frames, const CellPainter& painter) {
    PixelImage strip(cellWidth * frames, cellHeight);
    for (int f = 1; f <= frames; ++f) {
        PixelImage cell(cellWidth, cellHeight);
        painter(cell, f);
        skin::copyImage(strip, cell, (f - 1) * cellWidth, 0, Transparency::opaque());
    }
    return strip;
}

PixelImage stacked(int cellWidth, int cellHeight, int frames, const CellPainter& painter) {
    PixelImage strip(cellWidth, cellHeight * frames);
    for (int f = 1; f <= frames; ++f) {
        PixelImage cell(cellWidth, cellHeight);
        painter(cell, f);
        skin::copyImage(strip, cell, 0, (f - 1) * cellHeight, Transparency::opaque());
    }
    return strip;
}

// A face with a one-pixel outline: the outline shape painted first, the face inset by one.
void outlinedBox(PixelImage& cell, double l, double t, double r, double b, double radius, const Ink& outline,
                 const Ink& face) {
    paint(cell, roundedRect(l, t, r, b, radius), outline);
    paint(cell, roundedRect(l + 1, t + 1, r - 1, b - 1, std::max(radius - 1, 0.0)), face);
}

// ---- window frame ------------------------------------------------------------------------

struct CaptionInks {
    Colour top, bottom, highlight;
};

CaptionInks captionInks(bool active) {
    return active ? CaptionInks{kCaptionTop, kCaptionBottom, kCaptionHighlight}
                  : CaptionInks{kCaptionInactiveTop, kCaptionInactiveBottom, kCaptionInactiveHighlight};
}

// The caption band at one row: a highlight line on top, then the gradient into the header.
Colour captionAt(bool active, int y) {
    const CaptionInks c = captionInks(active);
    if (y == 0) return c.highlight;
    return mix(c.top, c.bottom, (y - 1) / double(layout::kCaptionHeight - 2));
}

void paintCaptionRows(PixelImage& cell, bool active, int x0, int x1) {
    for (int y = 0; y < std::min(cell.height(), layout::kCaptionHeight); ++y)
        for (int x = x0; x < x1; ++x) cell.at(x, y) = skin::pixelOf(captionAt(active, y));
}

struct FrameInks {
    Colour outer, middle, inner;
};

FrameInks frameInks(bool active) {
    return active ? FrameInks{kFrameOuter, kFrameMiddle, kFrameInner}
                  : FrameInks{kFrameInactiveOuter, kFrameInactiveMiddle, kFrameInactiveInner};
}

// The 4-pixel frame from outside in: dark line, two lines of frame colour, inner line.
Colour frameLine(bool active, int fromOutside) {
    const FrameInks f = frameInks(active);
    return fromOutside == 0 ? f.outer : fromOutside == 3 ? f.inner : f.middle;
}

// Left border: the caption's left end with its rounded corner (keyed out: the window shape),
// a stretched side, and the bottom-left corner where the bottom border's lines turn upward.
PixelImage frameLeft() {
    constexpr int kHeight = layout::kCaptionHeight + 10 + layout::kBottomHeight;
    return sideBySide(layout::kSideWidth, kHeight, 2, [](PixelImage& cell, int frame) {
        const bool active = frame == 1;
        paintCaptionRows(cell, active, 0, cell.width());
        for (int x = 0; x < cell.width(); ++x) cell.at(x, 0) = skin::pixelOf(captionAt(active, 0));
        // The darkest line runs round the outside of the caption too.
        for (int y = 0; y < layout::kCaptionHeight; ++y) cell.at(0, y) = skin::pixelOf(frameLine(active, 0));
        for (int x = 0; x < cell.width(); ++x) cell.at(x, 0) = skin::pixelOf(frameLine(active, 0));
        for (int y = layout::kCaptionHeight; y < cell.height(); ++y)
            for (int x = 0; x < cell.width(); ++x) {
                const int fromBottom = cell.height() - 1 - y;
                const int line = fromBottom < layout::kBottomHeight ? std::min(x, fromBottom) : x;
                cell.at(x, y) = skin::pixelOf(frameLine(active, line));
            }
        // Rounded top-left corner: outside the quarter circle is the key, its rim the dark line.
        const double r = layout::kCornerRadius;
        for (int y = 0; y < layout::kCornerRadius; ++y)
            for (int x = 0; x < layout::kCornerRadius; ++x) {
                const double d = std::hypot(r - (x + 0.5), r - (y + 0.5));
                if (d > r) cell.at(x, y) = skin::pixelOf(kMagenta);
                else if (d > r - 1.2) cell.at(x, y) = skin::pixelOf(frameLine(active, 0));
            }
    });
}

PixelImage frameTop() {
    return stacked(30, layout::kCaptionHeight, 2, [](PixelImage& cell, int frame) {
        const bool active = frame == 1;
        paintCaptionRows(cell, active, 0, cell.width());
        for (int x = 0; x < cell.width(); ++x) cell.at(x, 0) = skin::pixelOf(frameLine(active, 0));
    });
}

PixelImage frameBottom() {
    return stacked(30, layout::kBottomHeight, 2, [](PixelImage& cell, int frame) {
        for (int y = 0; y < cell.height(); ++y)
            for (int x = 0; x < cell.width(); ++x)
                cell.at(x, y) = skin::pixelOf(frameLine(frame == 1, layout::kBottomHeight - 1 - y));
    });
}

// ---- caption buttons ---------------------------------------------------------------------

enum class Glyph { Close, Maximize, Restore, Minimize, Help };

Shape glyphShape(Glyph glyph, double cx, double cy) {
    switch (glyph) {
    case Glyph::Close:
        return unite({segment({cx - 4, cy - 4}, {cx + 4, cy + 4}, 1.9), segment({cx + 4, cy - 4}, {cx - 4, cy + 4}, 1.9)});
    case Glyph::Maximize:
        return subtract(roundedRect(cx - 4.5, cy - 4.5, cx + 4.5, cy + 4.5, 0.8),
                        roundedRect(cx - 3.3, cy - 2.5, cx + 3.3, cy + 3.3, 0));
    case Glyph::Restore: {
        const Shape front = subtract(roundedRect(cx - 4.5, cy - 2, cx + 2, cy + 4.5, 0.6),
                                     roundedRect(cx - 3.3, cy - 0.3, cx + 0.8, cy + 3.3, 0));
        const Shape back = subtract(roundedRect(cx - 2, cy - 4.5, cx + 4.5, cy + 2, 0.6),
                                    roundedRect(cx - 0.8, cy - 2.8, cx + 3.3, cy + 0.8, 0));
        return unite({front, subtract(back, roundedRect(cx - 4.5, cy - 2, cx + 2, cy + 4.5, 0))});
    }
    case Glyph::Minimize: return roundedRect(cx - 4.5, cy + 2.2, cx + 4.5, cy + 4.2, 0.5);
    case Glyph::Help: {
        const Shape hook = [=](double x, double y) {
            const double d = std::hypot(x - cx, y - (cy - 1.8));
            return d >= 2.0 && d <= 3.8 && (y <= cy - 1.8 || x >= cx);
        };
        return unite({hook, segment({cx + 1.2, cy + 0.6}, {cx, cy + 1.6}, 1.9), segment({cx, cy + 1.6}, {cx, cy + 2.4}, 1.9),
                      ellipse(cx, cy + 4.6, 1.2, 1.2)});
    }
    }
    return [](double, double) { return false; };
}

struct ButtonLook {
    Colour top, bottom, rim, glyph;
};

// Frames 1-3 for an active window (normal, pressed, hot), 4-6 the same for an inactive one
// (frame 4 also serves a disabled button).
ButtonLook captionButtonLook(int frame, bool warm) {
    switch (frame) {
    case 1: return {rgb(122, 84, 206), rgb(86, 50, 160), rgb(146, 112, 226), kWhite};
    case 2: return warm ? ButtonLook{kAmberDeep, rgb(180, 90, 6), rgb(150, 80, 10), kWhite}
                        : ButtonLook{rgb(58, 28, 113), rgb(76, 40, 140), kViolet900, kViolet200};
    case 3: return warm ? ButtonLook{kAmberLight, kAmber, rgb(253, 230, 138), kViolet900}
                        : ButtonLook{rgb(156, 120, 240), rgb(116, 76, 204), rgb(190, 164, 250), kWhite};
    case 4: return {rgb(188, 180, 208), rgb(160, 150, 186), rgb(204, 198, 220), rgb(238, 235, 245)};
    case 5: return {rgb(204, 196, 222), rgb(176, 166, 200), rgb(218, 212, 232), kWhite};
    default: return {rgb(150, 140, 176), rgb(168, 158, 192), rgb(130, 120, 158), rgb(238, 235, 245)};
    }
}

PixelImage captionButton(Glyph glyph, int width, int height, int captionTop, int frames) {
    return sideBySide(width, height, frames, [&](PixelImage& cell, int frame) {
        const bool active = frame <= 3;
        // Painted over the caption it sits on, so its rounded edges blend into it.
        for (int y = 0; y < cell.height(); ++y)
            for (int x = 0; x < cell.width(); ++x) cell.at(x, y) = skin::pixelOf(captionAt(active, captionTop + y));
        const ButtonLook look = captionButtonLook(frame, glyph == Glyph::Close);
        const Shape box = roundedRect(0.5, 0.5, width - 0.5, height - 0.5, 3.5);
        CoverageMask mask(cell);
        mask.add(box);
        outlinedBox(cell, 0.5, 0.5, width - 0.5, height - 0.5, 3.5, solid(look.rim),
                    vertical(look.top, look.bottom, 1, height - 1));
        paint(cell, glyphShape(glyph, width / 2.0, height / 2.0), solid(look.glyph));
        mask.keyUncovered(cell);
    });
}

// ---- push buttons, check boxes, radio buttons ----------------------------------------------

struct ControlLook {
    Colour top, bottom, rim, inner;  // inner: a second rim inside the first, or the face colour
};

// Frames: 1 normal, 2 pressed, 3 disabled, 4 hot, 5 focused or default.
ControlLook pushButtonLook(int frame) {
    switch (frame) {
    case 2: return {kViolet200, kViolet100, kViolet700, kViolet200};
    case 3: return {kFaceDisabled, kFaceDisabled, kBorderDisabled, kFaceDisabled};
    case 4: return {kWhite, kViolet200, kViolet600, kWhite};
    case 5: return {kWhite, kViolet100, kViolet700, kViolet400};
    default: return {kWhite, kViolet100, kBorder, kWhite};
    }
}

PixelImage pushButtons() {
    const int s = layout::kPushButtonCell;
    return sideBySide(s, s, 5, [&](PixelImage& cell, int frame) {
        fill(cell, kFace);
        const ControlLook look = pushButtonLook(frame);
        outlinedBox(cell, 0, 0, s, s, 4, solid(look.rim), vertical(look.top, look.bottom, 1, s - 1));
        if (look.inner != look.top) paint(cell, subtract(roundedRect(1, 1, s - 1, s - 1, 3), roundedRect(2, 2, s - 2, s - 2, 2)), solid(look.inner));
        // A soft light line under the top rim of raised states.
        if (frame != 2 && frame != 3) paint(cell, roundedRect(3, 1.2, s - 3, 1.9, 0), solid(kWhite));
    });
}

// State within a group of four: normal, hot, pressed, disabled.
ControlLook smallControlLook(int state) {
    switch (state) {
    case 1: return {kViolet50, kWhite, kViolet700, kViolet800};
    case 2: return {kViolet200, kViolet100, kViolet700, kViolet900};
    case 3: return {kFaceDisabled, kFaceDisabled, kBorderDisabled, kTextDisabled};
    default: return {kWhite, kWhite, kBorder, kViolet800};
    }
}

// Frames 1-4 unchecked, 5-8 checked, 9-12 mixed; each group normal, hot, pressed, disabled.
PixelImage checkBoxes() {
    const int s = layout::kCheckCell;
    return sideBySide(s, s, layout::kCheckFrames, [&](PixelImage& cell, int frame) {
        fill(cell, kFace);
        const ControlLook look = smallControlLook((frame - 1) % 4);
        outlinedBox(cell, 0, 0, s, s, 2.5, solid(look.rim), vertical(look.top, look.bottom, 1, s - 1));
        const int group = (frame - 1) / 4;
        if (group == 1)
            paint(cell, unite({segment({3.2, 6.6}, {5.4, 9.0}, 1.9), segment({5.4, 9.0}, {9.8, 3.8}, 1.9)}), solid(look.inner));
        if (group == 2) paint(cell, roundedRect(3.5, 3.5, 9.5, 9.5, 1), solid(look.inner));
    });
}

// Frames 1-4 clear, 5-8 chosen; each group normal, hot, pressed, disabled.
PixelImage radioButtons() {
    const int s = layout::kCheckCell;
    return sideBySide(s, s, layout::kRadioFrames, [&](PixelImage& cell, int frame) {
        fill(cell, kFace);
        const ControlLook look = smallControlLook((frame - 1) % 4);
        paint(cell, ellipse(6.5, 6.5, 6.4, 6.4), solid(look.rim));
        paint(cell, ellipse(6.5, 6.5, 5.3, 5.3), vertical(look.top, look.bottom, 1, s - 1));
        if (frame > 4) paint(cell, ellipse(6.5, 6.5, 2.7, 2.7), solid(look.inner));
    });
}

// ---- edit fields and combo boxes -----------------------------------------------------------

// Frames: normal, hot, focused, disabled.
PixelImage sunkEdge() {
    return sideBySide(12, 12, 4, [](PixelImage& cell, int frame) {
        const Colour rim = frame == 2 ? kViolet400 : frame == 3 ? kViolet700 : frame == 4 ? kBorderDisabled : kBorder;
        const Colour face = frame == 4 ? kFaceDisabled : kWhite;
        fill(cell, face);
        for (int i = 0; i < 12; ++i) {
            cell.at(i, 0) = cell.at(i, 11) = cell.at(0, i) = cell.at(11, i) = skin::pixelOf(rim);
        }
        // A faint inner shadow along the top and left gives the field its depth.
        const Colour shade = mix(rim, face, 0.75);
        for (int i = 1; i < 11; ++i) cell.at(i, 1) = cell.at(1, i) = skin::pixelOf(shade);
    });
}

// Frames: normal, hot, pressed, disabled. It sits inside the edit field's rim, at its right.
PixelImage comboButton() {
    return sideBySide(17, 21, 4, [](PixelImage& cell, int frame) {
        const ControlLook look = frame == 2   ? ControlLook{kViolet100, kViolet200, kViolet400, kWhite}
                                 : frame == 3 ? ControlLook{kViolet300, kViolet200, kViolet700, kWhite}
                                 : frame == 4 ? ControlLook{kFaceDisabled, kFaceDisabled, kBorderDisabled, kWhite}
                                              : ControlLook{kViolet50, kViolet100, kBorder, kWhite};
        fill(cell, kWhite);
        outlinedBox(cell, 1, 1, 17, 20, 2, solid(look.rim), vertical(look.top, look.bottom, 2, 19));
    });
}

Shape downArrow(double cx, double cy) { return polygon({{cx - 3.5, cy - 1.8}, {cx + 3.5, cy - 1.8}, {cx, cy + 1.9}}); }

// The combo button's arrow, on the key colour: normal, hot, pressed, disabled, and a spare
// (default) frame that looks like normal.
PixelImage extraImages() {
    return sideBySide(9, 6, 5, [](PixelImage& cell, int frame) {
        const Colour ink = frame == 2 ? kViolet600 : frame == 3 ? kViolet900 : frame == 4 ? kTextDisabled : kViolet800;
        fill(cell, frame == 4 ? kFaceDisabled : kViolet100);
        CoverageMask mask(cell);
        const Shape arrow = downArrow(4.5, 3);
        mask.add(arrow);
        paint(cell, arrow, solid(ink));
        mask.keyUncovered(cell);
    });
}

// ---- scroll bars ---------------------------------------------------------------------------

ControlLook arrowButtonLook(int state) {  // normal, hot, pressed, disabled
    switch (state) {
    case 1: return {kViolet100, kViolet200, kViolet400, kViolet800};
    case 2: return {kViolet300, kViolet200, kViolet600, kViolet900};
    case 3: return {kFaceDisabled, kFaceDisabled, rgb(226, 222, 234), kBorderDisabled};
    default: return {kViolet50, kViolet100, kViolet200, kViolet700};
    }
}

Shape arrowGlyph(int direction, double cx, double cy) {  // 0 up, 1 down, 2 left, 3 right
    const double a = 3.6, b = 2.0;
    switch (direction) {
    case 0: return polygon({{cx - a, cy + b}, {cx + a, cy + b}, {cx, cy - b}});
    case 1: return polygon({{cx - a, cy - b}, {cx + a, cy - b}, {cx, cy + b}});
    case 2: return polygon({{cx + b, cy - a}, {cx + b, cy + a}, {cx - b, cy}});
    default: return polygon({{cx - b, cy - a}, {cx - b, cy + a}, {cx + b, cy}});
    }
}

void arrowButton(PixelImage& cell, int state, int direction) {
    const ControlLook look = arrowButtonLook(state);
    const double w = cell.width(), h = cell.height();
    fill(cell, kTrack);
    outlinedBox(cell, 1, 1, w - 1, h - 1, 3, solid(look.rim), vertical(look.top, look.bottom, 2, h - 2));
    if (direction >= 0) paint(cell, arrowGlyph(direction, w / 2, h / 2), solid(look.inner));
}

// Frames 1-16: up, down, left, right arrows, each normal, hot, pressed, disabled; 17-20 the
// same button without an arrow; 21 the corner between two bars; 22 the size grip; 23 spare.
PixelImage scrollArrows() {
    const int s = layout::kScrollArrowCell;
    return sideBySide(s, s, layout::kScrollArrowFrames, [&](PixelImage& cell, int frame) {
        if (frame <= 20) {
            arrowButton(cell, (frame - 1) % 4, frame <= 16 ? (frame - 1) / 4 : -1);
            return;
        }
        fill(cell, kTrack);
        if (frame == 22)
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j <= i; ++j)
                    paint(cell, ellipse(13.5 - 4 * j, 13.5 - 4 * (i - j), 1.1, 1.1), solid(kViolet300));
    });
}

// The channel: normal, hot, pressed (being paged), disabled.
PixelImage scrollChannel(bool horizontal) {
    PixelImage strip = sideBySide(16, 17, 4, [](PixelImage& cell, int frame) {
        const Colour face = frame == 3 ? kViolet100 : frame == 4 ? kFaceDisabled : kTrack;
        fill(cell, face);
        const Colour line = mix(face, kViolet200, 0.8);
        for (int x = 0; x < cell.width(); ++x) cell.at(x, 0) = cell.at(x, 16) = skin::pixelOf(line);
    });
    if (horizontal) return strip;
    // The vertical channel is the horizontal one turned, cell by cell.
    PixelImage turned(17 * 4, 16);
    for (int f = 0; f < 4; ++f)
        skin::copyImage(turned, skin::rotatedClockwise(skin::crop(strip, {16 * f, 0, 16 * f + 16, 17})), 17 * f, 0,
                        Transparency::opaque());
    return turned;
}

// Normal, hot, pressed.
PixelImage scrollThumb(bool horizontal) {
    const int length = 24, thickness = 17;
    PixelImage strip = sideBySide(length, thickness, 3, [&](PixelImage& cell, int frame) {
        const ControlLook look = frame == 2   ? ControlLook{kViolet300, kViolet400, kViolet600, kWhite}
                                 : frame == 3 ? ControlLook{kViolet500, kViolet600, kViolet800, kWhite}
                                              : ControlLook{kViolet200, kViolet300, kViolet400, kWhite};
        fill(cell, kTrack);
        outlinedBox(cell, 1, 2, length - 1, thickness - 2, 4, solid(look.rim), vertical(look.top, look.bottom, 3, thickness - 3));
        paint(cell, roundedRect(4, 3.2, length - 4, 3.9, 0), solid(mix(look.top, kWhite, 0.5)));
    });
    if (horizontal) return strip;
    PixelImage turned(thickness * 3, length);
    for (int f = 0; f < 3; ++f)
        skin::copyImage(turned, skin::rotatedClockwise(skin::crop(strip, {length * f, 0, length * f + length, thickness})),
                        thickness * f, 0, Transparency::opaque());
    return turned;
}

// ---- group boxes, menus, headers -----------------------------------------------------------

// Normal and disabled: a rounded outline; inside and outside are the key.
PixelImage groupBoxEdge() {
    return sideBySide(16, 16, 2, [](PixelImage& cell, int frame) {
        fill(cell, kFace);
        const Shape ring = subtract(roundedRect(0.5, 0.5, 15.5, 15.5, 4), roundedRect(1.5, 1.5, 14.5, 14.5, 3));
        CoverageMask mask(cell);
        mask.add(ring);
        paint(cell, ring, solid(frame == 1 ? kViolet300 : kBorderDisabled));
        mask.keyUncovered(cell);
    });
}

// The caption's background: a lavender tab on the edge.
PixelImage groupBoxLabel() {
    PixelImage cell(20, 16);
    fill(cell, kFace);
    const Shape tab = roundedRect(0.5, 0.5, 19.5, 15.5, 7);
    CoverageMask mask(cell);
    mask.add(tab);
    outlinedBox(cell, 0.5, 0.5, 19.5, 15.5, 7, solid(kViolet300), solid(kViolet100));
    mask.keyUncovered(cell);
    return cell;
}

// Frame 1 the bar, frame 2 a bar item under the mouse or open.
PixelImage menuBar() {
    return sideBySide(20, 20, 2, [](PixelImage& cell, int frame) {
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) cell.at(x, y) = skin::pixelOf(mix(kWhite, kMenuBar, y / 19.0));
        for (int x = 0; x < 20; ++x) cell.at(x, 19) = skin::pixelOf(kViolet200);
        if (frame == 2) outlinedBox(cell, 0, 1, 20, 19, 3, solid(kViolet300), vertical(kViolet100, kViolet200, 2, 18));
    });
}

// Frames: 1 normal, 2 selected, 3 pressed (a submenu open from it), 4 disabled, 5 disabled
// under the mouse.
PixelImage menuItem() {
    return sideBySide(24, 20, 5, [](PixelImage& cell, int frame) {
        fill(cell, kMenu);
        if (frame == 2) outlinedBox(cell, 1, 1, 23, 19, 3, solid(kViolet300), vertical(kViolet100, kViolet200, 2, 18));
        if (frame == 3) outlinedBox(cell, 1, 1, 23, 19, 3, solid(kViolet600), vertical(kViolet200, kViolet300, 2, 18));
        if (frame == 5) outlinedBox(cell, 1, 1, 23, 19, 3, solid(kBorderDisabled), solid(kFaceDisabled));
    });
}

PixelImage menuBackground() {
    PixelImage cell(16, 16);
    fill(cell, kMenu);
    for (int i = 0; i < 16; ++i) cell.at(i, 0) = cell.at(i, 15) = cell.at(0, i) = cell.at(15, i) = skin::pixelOf(kBorder);
    for (int i = 1; i < 15; ++i) cell.at(i, 1) = cell.at(1, i) = skin::pixelOf(kWhite);
    return cell;
}

// Normal, hot, pressed.
PixelImage headerBar() {
    return sideBySide(20, 20, 3, [](PixelImage& cell, int frame) {
        const Colour top = frame == 3 ? kViolet200 : kWhite;
        const Colour bottom = frame == 1 ? kViolet50 : frame == 2 ? kViolet100 : kViolet100;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) cell.at(x, y) = skin::pixelOf(mix(top, bottom, y / 19.0));
        for (int x = 0; x < 20; ++x) cell.at(x, 19) = skin::pixelOf(frame == 2 ? kViolet500 : kViolet300);
        if (frame == 2)
            for (int x = 0; x < 20; ++x) cell.at(x, 18) = skin::pixelOf(kViolet400);
        for (int y = 3; y < 17; ++y) cell.at(19, y) = skin::pixelOf(kViolet200);
    });
}

// ---- progress and track bars --------------------------------------------------------------

// Frame 1 for horizontal bars, frame 2 for vertical ones: a rounded trough.
PixelImage progressTrough() {
    return sideBySide(20, 18, 2, [](PixelImage& cell, int frame) {
        fill(cell, kFace);
        outlinedBox(cell, 0, 0, 20, 18, 4, solid(kViolet300),
                    frame == 1 ? vertical(kViolet100, kWhite, 1, 17) : horizontal(kViolet100, kWhite, 1, 19));
    });
}

PixelImage progressChunk() {
    PixelImage cell(8, 14);
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 8; ++x) cell.at(x, y) = skin::pixelOf(mix(kViolet400, kViolet700, y / 13.0));
    for (int x = 0; x < 7; ++x) cell.at(x, 1) = skin::pixelOf(mix(kViolet300, kWhite, 0.4));
    for (int y = 0; y < 14; ++y) cell.at(7, y) = skin::pixelOf(kViolet200);  // the gap between chunks
    return cell;
}

PixelImage trackGroove() {
    PixelImage cell(20, 6);
    fill(cell, kFace);
    outlinedBox(cell, 0, 0, 20, 6, 3, solid(kViolet400), solid(kViolet200));
    return cell;
}

// Thumbs: normal, hot, pressed, disabled, focused. `point` is the direction of the tip, or -1
// for the plain rounded thumb; the picture is upright (tip down) and turned for the others.
PixelImage trackThumb(int point, bool turned) {
    const int w = 11, h = 20;
    PixelImage strip = sideBySide(w, h, 5, [&](PixelImage& cell, int frame) {
        const ControlLook look = frame == 2   ? ControlLook{kWhite, kViolet200, kViolet600, kViolet400}
                                 : frame == 3 ? ControlLook{kViolet200, kViolet300, kViolet800, kViolet500}
                                 : frame == 4 ? ControlLook{kFaceDisabled, kFaceDisabled, kBorderDisabled, kBorderDisabled}
                                 : frame == 5 ? ControlLook{kWhite, kViolet100, kViolet800, kViolet500}
                                              : ControlLook{kWhite, kViolet100, kViolet700, kViolet400};
        fill(cell, kFace);
        const Shape outer = point < 0 ? roundedRect(0.5, 0.5, w - 0.5, h - 0.5, 3)
                                      : polygon({{0.5, 0.5}, {w - 0.5, 0.5}, {w - 0.5, h - 6.0}, {w / 2.0, h - 0.3}, {0.5, h - 6.0}});
        const Shape inner = point < 0 ? roundedRect(1.6, 1.6, w - 1.6, h - 1.6, 2)
                                      : polygon({{1.6, 1.6}, {w - 1.6, 1.6}, {w - 1.6, h - 6.4}, {w / 2.0, h - 1.9}, {1.6, h - 6.4}});
        CoverageMask mask(cell);
        mask.add(outer);
        paint(cell, outer, solid(look.rim));
        paint(cell, inner, vertical(look.top, look.bottom, 1, h - 2));
        for (int i = 0; i < 3; ++i) paint(cell, roundedRect(3, 6.0 + 2.5 * i, w - 3, 6.8 + 2.5 * i, 0), solid(look.inner));
        mask.keyUncovered(cell);
    });
    if (!turned) return strip;
    PixelImage out(h * 5, w);
    for (int f = 0; f < 5; ++f) {
        PixelImage cell = skin::crop(strip, {w * f, 0, w * f + w, h});
        cell = point == 3 ? skin::rotatedCounterClockwise(cell) : skin::rotatedClockwise(cell);
        skin::copyImage(out, cell, h * f, 0, Transparency::opaque());
    }
    return out;
}

PixelImage flippedFrames(const PixelImage& strip) { return skin::flipped(strip); }

// ---- up-down buttons -----------------------------------------------------------------------

// Frames 1-4 the first button (up, or left), 5-8 the second; each normal, hot, pressed,
// disabled. The glyph picture holds the arrows alone on the key, for drawing over the face.
PixelImage spinButtons(bool horizontal, bool glyphsOnly) {
    const int w = horizontal ? 10 : 15, h = horizontal ? 15 : 10;
    return sideBySide(w, h, 8, [&](PixelImage& cell, int frame) {
        const int state = (frame - 1) % 4;
        const int direction = horizontal ? (frame <= 4 ? 2 : 3) : (frame <= 4 ? 0 : 1);
        if (!glyphsOnly) {
            arrowButton(cell, state, -1);
            return;
        }
        const Shape arrow = arrowGlyph(direction, w / 2.0, h / 2.0);
        fill(cell, arrowButtonLook(state).bottom);
        CoverageMask mask(cell);
        mask.add(arrow);
        paint(cell, arrow, solid(arrowButtonLook(state).inner));
        mask.keyUncovered(cell);
    });
}

// ---- MDI child buttons ---------------------------------------------------------------------

// Minimize, restore and close of a maximized child, four frames each (normal, hot, pressed,
// disabled), side by side: the picture is 12 frames of equal width.
PixelImage mdiButtons() {
    const int w = layout::kMdiButtonWidth, h = layout::kMdiButtonHeight;
    const Glyph glyphs[3] = {Glyph::Minimize, Glyph::Restore, Glyph::Close};
    return sideBySide(w, h, 12, [&](PixelImage& cell, int frame) {
        const int state = (frame - 1) % 4;
        const ControlLook look = arrowButtonLook(state);
        fill(cell, kMenuBar);
        outlinedBox(cell, 0, 0, w, h, 3, solid(look.rim), vertical(look.top, look.bottom, 1, h - 1));
        const Shape glyph = translated(glyphShape(glyphs[(frame - 1) / 4], 0, 0), w / 2.0, h / 2.0);
        // The caption glyphs are drawn for 18 pixels; a smaller copy reads better here.
        const double cx = w / 2.0, cy = h / 2.0;
        const Shape small = [glyph, cx, cy](double x, double y) { return glyph(cx + (x - cx) * 1.3, cy + (y - cy) * 1.3); };
        paint(cell, small, solid(look.inner));
    });
}

}  // namespace

std::vector<SkinMember> drawSkinMembers() {
    using namespace layout;
    PixelImage left = frameLeft();
    std::vector<SkinMember> members;
    members.push_back({"frameleft.bmp", left});
    members.push_back({"frameright.bmp", skin::mirrored(left)});
    members.push_back({"frametop.bmp", frameTop()});
    members.push_back({"framebottom.bmp", frameBottom()});
    const int frames = kCaptionButtonFrames;
    members.push_back({"closebutton.bmp", captionButton(Glyph::Close, kCaptionButtonWidth, kCaptionButtonHeight, kCaptionButtonTop, frames)});
    members.push_back({"maxbutton.bmp", captionButton(Glyph::Maximize, kCaptionButtonWidth, kCaptionButtonHeight, kCaptionButtonTop, frames)});
    members.push_back({"restrorebutton.bmp", captionButton(Glyph::Restore, kCaptionButtonWidth, kCaptionButtonHeight, kCaptionButtonTop, frames)});
    members.push_back({"minbutton.bmp", captionButton(Glyph::Minimize, kCaptionButtonWidth, kCaptionButtonHeight, kCaptionButtonTop, frames)});
    members.push_back({"helpbutton.bmp", captionButton(Glyph::Help, kCaptionButtonWidth, kCaptionButtonHeight, kCaptionButtonTop, frames)});
    members.push_back({"mdibutton.bmp", mdiButtons()});
    members.push_back({"buttons.bmp", pushButtons()});
    members.push_back({"checkbox.bmp", checkBoxes()});
    members.push_back({"radiobutton.bmp", radioButtons()});
    members.push_back({"progress.bmp", progressTrough()});
    members.push_back({"progresschunk.bmp", progressChunk()});
    members.push_back({"menubar.bmp", menuBar()});
    members.push_back({"groupboxedge.bmp", groupBoxEdge()});
    members.push_back({"groupbox.bmp", groupBoxLabel()});
    members.push_back({"comboboxbtn.bmp", comboButton()});
    members.push_back({"sunkedge.bmp", sunkEdge()});
    members.push_back({"extraimages.bmp", extraImages()});
    members.push_back({"header.bmp", headerBar()});
    members.push_back({"menuitem.bmp", menuItem()});
    members.push_back({"menubackground.bmp", menuBackground()});
    members.push_back({"scrollbararrow.bmp", scrollArrows()});
    members.push_back({"scrollbarhbar.bmp", scrollChannel(true)});
    members.push_back({"scrollbarvbar.bmp", scrollChannel(false)});
    members.push_back({"scrollbarhthumb.bmp", scrollThumb(true)});
    members.push_back({"scrollbarvthumb.bmp", scrollThumb(false)});
    const PixelImage pointDown = trackThumb(1, false);
    members.push_back({"trackthumbh.bmp", trackThumb(-1, false)});
    members.push_back({"trackthumbv.bmp", trackThumb(-1, true)});
    members.push_back({"trackthumbl.bmp", trackThumb(2, true)});
    members.push_back({"trackthumbr.bmp", trackThumb(3, true)});
    members.push_back({"trackthumbu.bmp", flippedFrames(pointDown)});
    members.push_back({"trackbot.bmp", pointDown});
    members.push_back({"spinh.bmp", spinButtons(true, false)});
    members.push_back({"spinharrow.bmp", spinButtons(true, true)});
    members.push_back({"spin.bmp", spinButtons(false, false)});
    members.push_back({"spinarrow.bmp", spinButtons(false, true)});
    const PixelImage groove = trackGroove();
    members.push_back({"trackbar.bmp", groove});
    members.push_back({"trackbarv.bmp", skin::rotatedClockwise(groove)});
    return members;
}

PixelImage drawTrackResource() {
    // Neutral greys: the fallback serves skins of any colour.
    PixelImage track(16, 4, skin::pixelOf(rgb(224, 224, 224)));
    for (int x = 0; x < 16; ++x) {
        track.at(x, 0) = skin::pixelOf(rgb(128, 128, 128));
        track.at(x, 1) = skin::pixelOf(rgb(64, 64, 64));
        track.at(x, 3) = skin::pixelOf(kWhite);
    }
    track.at(0, 2) = skin::pixelOf(rgb(128, 128, 128));
    track.at(15, 2) = skin::pixelOf(kWhite);
    return track;
}

PixelImage drawTrackVertResource() { return skin::rotatedCounterClockwise(drawTrackResource()); }

PixelImage drawMenuGlyphResource() {
    // Glyphs in black on white (the mask colour), thresholded: a one-bit picture has no edges
    // to smooth. Order: restore, maximize, minimize, close.
    PixelImage strip(64, 16, skin::pixelOf(kWhite));
    const Glyph order[4] = {Glyph::Restore, Glyph::Maximize, Glyph::Minimize, Glyph::Close};
    for (int i = 0; i < 4; ++i) {
        const Shape glyph = glyphShape(order[i], 16 * i + 8, 8);
        for (int y = 0; y < 16; ++y)
            for (int x = 16 * i; x < 16 * i + 16; ++x)
                if (glyph(x + 0.5, y + 0.5)) strip.at(x, y) = skin::pixelOf(rgb(0, 0, 0));
    }
    return strip;
}

}  // namespace velmora::skinart
