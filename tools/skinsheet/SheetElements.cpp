#include "SheetElements.h"

#include <algorithm>

#include "BmpDecoder.h"

namespace velmora::skinsheet {

namespace {

using skin::CentreFill;
using skin::FrameLayout;

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

SheetElement named(std::string name, skin::PixelImage image) {
    SheetElement e;
    e.name = std::move(name);
    e.image = std::move(image);
    return e;
}

class Reader {
public:
    Reader(const SkinSource& source, const SheetIni& ini, SheetSkin& skin) : source_(source), ini_(ini), skin_(skin) {}

    // A member named by a description value: ".bmp" names only, looked up by file-name part.
    skin::PixelImage image(const std::string& value) {
        if (value.empty()) return {};
        const std::string file = value.substr(value.find_last_of("\\/") + 1);
        if (file.size() < 4 || file.substr(file.size() - 4) != ".bmp") return {};
        const auto bytes = source_.member(file);
        if (!bytes) {
            skin_.problems.push_back(file + ": named but missing");
            return {};
        }
        skin::BmpDecodeResult decoded = skin::decodeBmp(*bytes);
        if (!decoded.ok()) skin_.problems.push_back(file + ": " + decoded.error);
        return std::move(decoded.image);
    }

    void add(SheetElement element) {
        if (!element.image.empty()) skin_.elements.push_back(std::move(element));
    }

    void border(const std::string& side, bool vertical) {
        const std::string p = "Personality";
        SheetElement e = named(side, image(ini_.text(p, side)));
        e.frames = ini_.integer(p, side + "Frame", 1);
        e.layout = vertical ? FrameLayout::SideBySide : FrameLayout::Stacked;
        const int first = ini_.integer(p, side + "TopHeight", 0), second = ini_.integer(p, side + "BotHeight", 0);
        e.margins = vertical ? skin::Margins{0, first, 0, second} : skin::Margins{first, 0, second, 0};
        e.centre = std::min(ini_.integer(p, side + "Stretch", 1), 1) == 1 ? CentreFill::Stretch : CentreFill::Tile;
        e.transparent = ini_.integer(p, side + "Trans", 1) != 0;
        add(std::move(e));
    }

    SheetElement generic(const std::string& section, const std::string& imageKey = "Image") {
        SheetElement e = named(section, image(ini_.text(section, imageKey)));
        e.margins = {ini_.integer(section, "LeftWidth", 0), ini_.integer(section, "TopHeight", 0),
                     ini_.integer(section, "RightWidth", 0), ini_.integer(section, "BottomHeight", 0)};
        e.centre = ini_.integer(section, "Tile", 0) == 1 ? CentreFill::Tile : CentreFill::Stretch;
        e.transparent = ini_.integer(section, "Trans", 0) != 0;
        e.frames = ini_.integer(section, "Frame", 0);
        return e;
    }

    void fixed(const std::string& section, int frames) {
        SheetElement e = generic(section);
        e.frames = frames;
        add(std::move(e));
    }

    void asRead(const std::string& section, int whenZero) {
        SheetElement e = generic(section);
        if (e.frames <= 0) e.frames = whenZero;
        add(std::move(e));
    }

    void captionButtons() {
        for (const std::string& section : ini_.sections()) {
            const std::string name = upper(section);
            if (name.rfind("BUTTON", 0) != 0 || name == "BUTTON" || name == "BUTTONS" || name == "BUTTON.RADIO" ||
                name == "BUTTON.CHECKBOX")
                continue;
            const int action = ini_.integer(section, "Action", 0);
            if (action == -1 && ini_.integer(section, "Visibility", -1) != 0) continue;
            SheetElement e = named(name, image(ini_.text(section, "ButtonImage")));
            e.frames = ini_.integer(section, "frame", 0);
            if (e.frames == 0) {
                e.frames = 6;
                if (!e.image.empty()) e.frames = e.image.width() <= 3.8 * e.image.height() ? 3 : 6;
                if (action < 0) e.frames = 6;
            }
            e.transparent = true;
            if (action != 3 && action != 11) add(std::move(e));
        }
    }

    void buttons() {
        const std::string s = "Buttons";
        SheetElement push = named(s, image(ini_.text(s, "Bitmap")));
        push.frames = 5;
        push.margins = {ini_.integer(s, "LeftWidth", 0), ini_.integer(s, "TopHeight", 0), ini_.integer(s, "RightWidth", 0),
                        ini_.integer(s, "BottomHeight", 0)};
        push.transparent = ini_.integer(s, "Trans", 0) != 0;
        for (const auto& [key, frameKey] : {std::pair{"CheckButton", "CheckButtonFrame"}, std::pair{"RadioButton", "RadioButtonFrame"}}) {
            SheetElement e = named(std::string(key), image(ini_.text(s, key)));
            e.frames = ini_.integer(s, frameKey, 0);
            if (e.frames == 0 && !e.image.empty())
                e.frames = std::max(e.image.height() < 16 ? e.image.width() / 13 : e.image.width() / 16, 4);
            e.transparent = push.transparent;
            add(std::move(e));
        }
        add(std::move(push));
    }

private:
    const SkinSource& source_;
    const SheetIni& ini_;
    SheetSkin& skin_;
};

}  // namespace

const SheetElement* SheetSkin::find(const std::string& name) const {
    for (const SheetElement& e : elements)
        if (upper(e.name) == upper(name)) return &e;
    return nullptr;
}

SheetSkin readSheetSkin(const SkinSource& source, const SheetIni& ini) {
    SheetSkin skin;
    Reader r(source, ini, skin);
    r.border("Left", true);
    r.border("Right", true);
    r.border("Top", false);
    r.border("Bottom", false);
    r.captionButtons();
    {
        SheetElement mdi = r.generic("MDICONTROLS");
        mdi.frames = 12;
        r.add(std::move(mdi));
    }
    r.buttons();
    {
        SheetElement title = named("TextBack", r.image(ini.text("Personality", "TextBack")));
        title.frames = 2;
        title.layout = skin::FrameLayout::Stacked;
        title.margins = {ini.integer("Personality", "TXTBackleft", 0), 0, ini.integer("Personality", "TXTBackRight", 0), 0};
        title.transparent = true;
        r.add(std::move(title));
    }
    {
        SheetElement progress = r.generic("Progress", "Bitmap");
        progress.frames = ini.integer("Progress", "Style", 0) != 0 ? 1 : 2;
        progress.centre = ini.integer("Progress", "Tile", 0) >= 1 ? skin::CentreFill::Tile : skin::CentreFill::Stretch;
        r.add(std::move(progress));
    }
    r.asRead("Progress.Chunk", 1);
    {
        SheetElement bar = named("menuBar", r.image(ini.text("Personality", "menuBar")));
        bar.frames = 2;
        bar.margins = {ini.integer("Personality", "TileLeftMenu", 1), 0, ini.integer("Personality", "TileRightMenu", 1), 0};
        bar.centre = std::min(ini.integer("Personality", "TileMenu", 1), 1) == 1 ? skin::CentreFill::Tile : skin::CentreFill::Stretch;
        r.add(std::move(bar));
    }
    r.fixed("GroupBoxEdge", 2);
    r.fixed("GroupBox", 1);
    r.fixed("Tabs", 5);
    r.fixed("StatusBarEdges", 3);
    {
        SheetElement pane = r.generic("Tab.Pane");
        pane.frames = 1;
        pane.margins = {std::min(pane.margins.left, 4), std::min(pane.margins.top, 4), std::min(pane.margins.right, 4),
                        std::min(pane.margins.bottom, 4)};
        r.add(std::move(pane));
    }
    r.fixed("ToolBars", 5);
    r.fixed("ComboButton", 4);
    r.fixed("SunkEdge", 4);
    r.fixed("ExtraImages", 5);
    r.asRead("Headerbar", 5);
    r.fixed("MenuItem", 5);
    r.fixed("MenuBackground", 1);
    r.fixed("Scrollbar", 23);
    r.fixed("HorzScroll", 4);
    r.fixed("VertScroll", 4);
    for (const char* thumb : {"HorzScrollThumb", "VertScrollThumb"}) {
        SheetElement e = r.generic(thumb);
        e.frames = ini.integer(thumb, "FrameCount", 3);
        r.add(std::move(e));
    }
    for (const char* thumb : {"Trackbar.ThumbHorz", "Trackbar.ThumbVert", "Trackbar.ThumbLeft", "Trackbar.ThumbRight",
                              "Trackbar.ThumbUp", "Trackbar.ThumbDown"})
        r.fixed(thumb, 5);
    for (const char* spin : {"UpDown.Horz", "UpDown.Vert"}) {
        r.fixed(spin, 8);
        SheetElement glyphs = r.generic(spin, "GlyphImage");
        glyphs.name = std::string(spin) + " glyphs";
        glyphs.frames = 8;
        glyphs.margins = {};
        glyphs.transparent = true;
        r.add(std::move(glyphs));
    }
    r.asRead("Track", 1);
    r.asRead("TRACKVERT", 1);
    return skin;
}

}  // namespace velmora::skinsheet
