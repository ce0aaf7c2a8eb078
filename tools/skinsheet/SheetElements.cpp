#include "SheetElements.h"

#include <algorithm>

#include "SkinArchive.h"

namespace velmora::skinsheet {

namespace {

using skin::CentreFill;
using skin::FrameLayout;
using skin::TDataSkinObject;

SheetElement sheetElement(const TDataSkinObject& e, std::string name, bool keyed) {
    SheetElement s;
    s.name = std::move(name);
    s.image = e.Image;
    s.frames = e.FrameCount;
    s.margins = {e.LeftWidth, e.TopHeight, e.RightWidth, e.BottomHeight};
    s.centre = e.Tile == 1 ? CentreFill::Tile : CentreFill::Stretch;
    s.transparent = keyed || e.Trans != 0;
    return s;
}

class Collector {
public:
    explicit Collector(SheetSkin& skin) : skin_(skin) {}

    void add(SheetElement element) {
        if (!element.image.empty()) skin_.elements.push_back(std::move(element));
    }
    void add(const TDataSkinObject* e, bool keyed = false) {
        if (e) add(sheetElement(*e, e->Name, keyed));
    }
    template <class E> void add(const std::unique_ptr<E>& e, bool keyed = false) { add(e.get(), keyed); }

private:
    SheetSkin& skin_;
};

}  // namespace

const SheetElement* SheetSkin::find(const std::string& name) const {
    for (const SheetElement& e : elements)
        if (skin::asciiLower(e.name) == skin::asciiLower(name)) return &e;
    return nullptr;
}

SheetSkin sheetSkinOf(const skin::SkinModel& m, const skin::SkinSystem& system) {
    SheetSkin sheet;
    sheet.face = skin::resolveColour(m.Colours[skin::kButtonFaceSlot], system.resolver());
    Collector c(sheet);
    // The top and bottom borders stack their frames; the sides lie side by side.
    for (const auto& border : m.Borders) {
        SheetElement e = sheetElement(*border, border->Name, false);
        if (border->Name == "Top" || border->Name == "Bottom") e.layout = FrameLayout::Stacked;
        c.add(std::move(e));
    }
    for (const auto& button : m.SysButtons) {
        if (button->Action >= 7 && button->Action <= 9) continue;  // the MDI strip below
        c.add(button, true);
        sheet.captionButtonPlaces.push_back({button->Name, {button->XCoord, button->YCoord}});
    }
    for (const auto& button : m.SysButtons)
        if (button->Action >= 7 && button->Action <= 9)
            c.add(sheetElement(*button, "MDI " + std::to_string(button->Action), true));
    {
        SheetElement check = sheetElement(*m.Buttons, "CheckButton", m.Buttons->Trans != 0);
        check.image = m.Buttons->CheckImage;
        check.frames = m.Buttons->CheckFrameCount;
        check.margins = {};
        c.add(std::move(check));
        SheetElement radio = sheetElement(*m.Buttons, "RadioButton", m.Buttons->Trans != 0);
        radio.image = m.Buttons->RadioImage;
        radio.frames = m.Buttons->RadioFrameCount;
        radio.margins = {};
        c.add(std::move(radio));
        c.add(m.Buttons);
    }
    {
        SheetElement title = sheetElement(*m.Title, "TextBack", true);
        title.layout = FrameLayout::Stacked;
        title.margins = {m.Title->TextBackLeft, 0, m.Title->TextBackRight, 0};
        c.add(std::move(title));
    }
    const TDataSkinObject* plain[] = {m.Progress.get(), m.ProgressChunk.get(), m.MenuBar.get(), m.GroupBoxEdge.get(),
                                      m.GroupBox.get(), m.Tabs.get(), m.StatusBarEdges.get(), m.TabPane.get(),
                                      m.ToolBars.get(), m.ExtraImages.get(), m.Headerbar.get(), m.MenuItem.get(),
                                      m.MenuBackground.get(), m.Scrollbar.get(), m.HorzScroll.get(), m.VertScroll.get(),
                                      m.HorzScrollThumb.get(), m.VertScrollThumb.get()};
    for (const TDataSkinObject* e : plain) c.add(e);
    // The combo composites hold a magenta hole where the edit field shows through.
    const bool composite = m.ComboButton && m.ComboButton->Style == 2;
    c.add(m.ComboButton, composite);
    c.add(m.SunkEdge, composite);
    c.add(m.ComboxArrow, composite);
    for (const auto& thumb : m.TrackThumbs) c.add(thumb);
    for (const skin::TDataSkinBorder* spin : {m.UpDownHorz.get(), m.UpDownVert.get()}) {
        if (!spin) continue;
        c.add(spin);
        SheetElement glyphs = sheetElement(*spin, spin->Name + " glyphs", true);
        glyphs.image = spin->SecondImage;
        glyphs.margins = {};
        c.add(std::move(glyphs));
    }
    c.add(m.Track);
    c.add(m.TrackVert);
    c.add(m.Toolbar);
    return sheet;
}

}  // namespace velmora::skinsheet
