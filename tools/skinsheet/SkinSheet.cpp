#include "SkinSheet.h"

#include <algorithm>

#include "GradientFill.h"
#include "PixelBlit.h"
#include "SkinColour.h"

namespace velmora::skinsheet {

namespace {

using skin::Colour;
using skin::FrameLayout;
using skin::PixelImage;
using skin::Rect;
using skin::Transparency;

constexpr int kSheetWidth = 1000;
constexpr int kGap = 6;

Rect cellOf(const SheetElement& e, int frame) {
    return skin::frameCell(e.image.width(), e.image.height(), e.frames, frame, e.layout);
}

Transparency transparencyOf(const SheetElement& e) { return e.transparent ? Transparency::keyed() : Transparency::opaque(); }

void nineSlice(PixelImage& target, const SheetElement& e, int frame, const Rect& dest) {
    skin::executePlan(target, e.image, skin::nineSlicePlan(cellOf(e, frame), e.margins, e.centre, dest), transparencyOf(e));
}

// Keyed pixels show a light checker, so the sheet tells "transparent" from "face colour".
void checker(PixelImage& target, const Rect& r, Colour face) {
    const Colour dark = skin::blend(face, skin::rgb(200, 200, 210), 60);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (target.contains(x, y)) target.at(x, y) = skin::pixelOf(((x - r.left) / 4 + (y - r.top) / 4) % 2 ? dark : face);
}

// ---- the sample window ------------------------------------------------------------------

class SampleWindow {
public:
    SampleWindow(PixelImage& sheet, const SheetSkin& skin, Rect at) : sheet_(sheet), skin_(skin), at_(at), face_(skin.face) {}

    void draw() {
        const SheetElement* top = skin_.find("Top");
        const SheetElement* left = skin_.find("Left");
        const SheetElement* right = skin_.find("Right");
        const SheetElement* bottom = skin_.find("Bottom");
        if (!top || !left || !right || !bottom) return;
        captionHeight_ = cellOf(*top, 1).height();
        leftWidth_ = cellOf(*left, 1).width();
        const int rightWidth = cellOf(*right, 1).width(), bottomHeight = cellOf(*bottom, 1).height();
        skin::fillRect(sheet_, {at_.left + leftWidth_, at_.top + captionHeight_, at_.right - rightWidth, at_.bottom - bottomHeight}, face_);
        nineSlice(sheet_, *left, 1, {at_.left, at_.top, at_.left + leftWidth_, at_.bottom});
        nineSlice(sheet_, *right, 1, {at_.right - rightWidth, at_.top, at_.right, at_.bottom});
        nineSlice(sheet_, *bottom, 1, {at_.left + leftWidth_, at_.bottom - bottomHeight, at_.right - rightWidth, at_.bottom});
        nineSlice(sheet_, *top, 1, {at_.left + leftWidth_, at_.top, at_.right - rightWidth, at_.top + captionHeight_});
        captionButtons();
        headerBand();
        controls();
    }

private:
    int x(int offset) const { return at_.left + leftWidth_ + offset; }
    int y(int offset) const { return at_.top + captionHeight_ + offset; }

    // Caption buttons as a window with a minimize box and no maximize box shows them: the
    // maximize button disabled (frame 4), the close button hot, to show both looks.
    void captionButtons() {
        for (const auto& [section, place] : skin_.captionButtonPlaces) {
            if (section != "BUTTONCLOSE" && section != "BUTTONMAX" && section != "BUTTONMIN") continue;
            const SheetElement* e = skin_.find(section);
            if (!e) continue;
            const int xcoord = place.x, ycoord = place.y;
            const Rect cell = cellOf(*e, 1);
            const int frame = section == "BUTTONMAX" ? 4 : section == "BUTTONCLOSE" ? 3 : 1;
            const Rect dest{at_.right - xcoord, at_.top + ycoord, at_.right - xcoord + cell.width(), at_.top + ycoord + cell.height()};
            skin::executePlan(sheet_, e->image, skin::wholePlan(cellOf(*e, frame), dest), Transparency::keyed());
        }
    }

    // The catalogue window's header band, to judge the caption against it.
    void headerBand() {
        skin::GradientCache cache;
        const Rect band{x(0), y(0), at_.right - leftWidth_, y(49)};
        const Rect upper{band.left, band.top, band.right, band.top + 24}, lower{band.left, band.top + 24, band.right, band.bottom};
        skin::fillGradient(sheet_, upper, band, skin::rgb(58, 28, 113), skin::rgb(92, 52, 170), skin::GradientDirection::Vertical, cache);
        skin::fillGradient(sheet_, lower, band, skin::rgb(92, 52, 170), skin::rgb(40, 20, 80), skin::GradientDirection::Vertical, cache);
    }

    void element(const char* name, int frame, const Rect& dest) {
        if (const SheetElement* e = skin_.find(name)) nineSlice(sheet_, *e, frame, dest);
    }

    void centred(const char* name, int frame, const Rect& dest) {
        if (const SheetElement* e = skin_.find(name))
            skin::executePlan(sheet_, e->image, skin::centredPlan(cellOf(*e, frame), dest), transparencyOf(*e));
    }

    void controls() {
        // Push buttons in their five looks, as wide as the catalogue window's.
        for (int f = 1; f <= 5; ++f) element("Buttons", f, {x(12 + (f - 1) * 104), y(62), x(12 + (f - 1) * 104 + 97), y(95)});
        // Header bar and list, the way the file list shows them (after loading, the sunken
        // edge is the combo box's mirrored composite, so the list gets a plain outline).
        skin::fillRect(sheet_, {x(12), y(108), x(262), y(260)}, skin::rgb(150, 132, 200));
        skin::fillRect(sheet_, {x(13), y(109), x(261), y(259)}, skin::kWhite);
        for (int c = 0; c < 2; ++c) element("Headerbar", c == 0 ? 2 : 1, {x(14 + c * 158), y(110), x(14 + c * 158 + (c ? 88 : 158)), y(128)});
        // Scroll bar along the list's right edge.
        element("VertScroll", 1, {x(243), y(128), x(260), y(258)});
        element("Scrollbar", 1, {x(243), y(128), x(260), y(145)});
        element("Scrollbar", 5, {x(243), y(241), x(260), y(258)});
        element("VertScrollThumb", 2, {x(243), y(150), x(260), y(190)});
        // Combo boxes: the composite (edge, button and arrow) around a white field, normal and hot.
        skin::fillRect(sheet_, {x(284), y(108), x(494), y(129)}, skin::kWhite);
        element("ComboButton", 1, {x(284), y(108), x(384), y(129)});
        element("ComboButton", 2, {x(394), y(108), x(494), y(129)});
        // Check boxes and radio buttons in every state.
        if (const SheetElement* check = skin_.find("CheckButton"))
            for (int f = 1; f <= check->frames; ++f) centred("CheckButton", f, {x(284 + (f - 1) * 18), y(140), x(284 + (f - 1) * 18 + 13), y(153)});
        if (const SheetElement* radio = skin_.find("RadioButton"))
            for (int f = 1; f <= radio->frames; ++f) centred("RadioButton", f, {x(284 + (f - 1) * 18), y(160), x(284 + (f - 1) * 18 + 13), y(173)});
        // Group box with a progress bar and a track bar inside.
        element("GroupBoxEdge", 1, {x(284), y(188), x(504), y(262)});
        element("GroupBox", 1, {x(294), y(181), x(354), y(195)});
        element("Progress", 1, {x(296), y(204), x(492), y(222)});
        if (const SheetElement* chunk = skin_.find("Progress.Chunk"))
            for (int cx = 299; cx + cellOf(*chunk, 1).width() <= 420; cx += cellOf(*chunk, 1).width())
                element("Progress.Chunk", 1, {x(cx), y(206), x(cx) + cellOf(*chunk, 1).width(), y(220)});
        element("Track", 1, {x(300), y(240), x(488), y(246)});
        centred("Trackbar.ThumbDown", 1, {x(350), y(233), x(361), y(253)});
        // A popup menu with a selected item.
        element("MenuBackground", 1, {x(530), y(108), x(660), y(210)});
        element("MenuItem", 2, {x(533), y(132), x(657), y(152)});
        element("MenuItem", 3, {x(533), y(112), x(657), y(132)});
        element("MenuItem", 5, {x(533), y(152), x(657), y(172)});
        element("menuBar", 1, {x(530), y(220), x(700), y(240)});
        element("menuBar", 2, {x(534), y(220), x(584), y(240)});
    }

    PixelImage& sheet_;
    const SheetSkin& skin_;
    Rect at_;
    Colour face_;
    int captionHeight_ = 0, leftWidth_ = 0;
};

// ---- element rows -------------------------------------------------------------------------

struct Placement {
    const SheetElement* element;
    int frame;
    Rect dest;
};

// Each frame: its own size, then larger, then narrower (and lower) than its margins allow.
std::vector<Rect> sizesFor(const SheetElement& e, int frame) {
    const Rect cell = cellOf(e, frame);
    const int w = cell.width(), h = cell.height();
    const int wideW = std::min(std::max(w * 2 + 9, 24), 160), wideH = std::min(std::max(h + h / 2 + 3, 12), 90);
    const int narrowW = std::max(std::min(w / 2 + 1, e.margins.left + e.margins.right - 1), 2);
    const int narrowH = std::max(std::min(h, e.margins.top + e.margins.bottom - 1), std::max(h / 2, 2));
    return {{0, 0, w, h}, {0, 0, wideW, wideH}, {0, 0, narrowW, narrowH}};
}

std::vector<Placement> layoutRows(const SheetSkin& skin, int top, int& bottom) {
    std::vector<Placement> placements;
    int x = kGap, y = top, rowHeight = 0;
    auto newLine = [&]() {
        y += rowHeight + kGap;
        x = kGap;
        rowHeight = 0;
    };
    for (const SheetElement& e : skin.elements) {
        for (int f = 1; f <= std::max(e.frames, 1); ++f) {
            const std::vector<Rect> sizes = sizesFor(e, f);
            int groupWidth = 0;
            for (const Rect& s : sizes) groupWidth += s.width() + 2;
            if (x + groupWidth > kSheetWidth - kGap && x > kGap) newLine();
            for (const Rect& s : sizes) {
                placements.push_back({&e, f, {x, y, x + s.width(), y + s.height()}});
                x += s.width() + 2;
                rowHeight = std::max(rowHeight, s.height());
            }
            x += kGap + 4;
        }
        newLine();  // every element starts its own row
    }
    bottom = y;
    return placements;
}

}  // namespace

PixelImage drawSkinSheet(const SheetSkin& skin) {
    const Colour face = skin.face;
    constexpr int kWindowHeight = 330;
    int bottom = 0;
    const std::vector<Placement> placements = layoutRows(skin, kWindowHeight + 2 * kGap, bottom);
    PixelImage sheet(kSheetWidth, bottom + kGap, skin::pixelOf(skin::kWhite));
    SampleWindow(sheet, skin, {kGap + 10, kGap + 4, kGap + 10 + 740, kGap + 4 + kWindowHeight}).draw();
    for (const Placement& p : placements) {
        if (p.element->transparent) checker(sheet, p.dest, face);
        else skin::fillRect(sheet, p.dest, face);
        nineSlice(sheet, *p.element, p.frame, p.dest);
    }
    return sheet;
}

}  // namespace velmora::skinsheet
