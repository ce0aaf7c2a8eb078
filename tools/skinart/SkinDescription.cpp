#include "SkinDescription.h"

#include <sstream>

#include "SkinMembers.h"
#include "SkinPalette.h"

namespace velmora::skinart {

namespace {

class IniText {
public:
    IniText& section(const std::string& name) {
        if (!text_.str().empty()) text_ << "\r\n";
        text_ << '[' << name << "]\r\n";
        return *this;
    }
    IniText& key(const std::string& name, const std::string& value) {
        text_ << name << '=' << value << "\r\n";
        return *this;
    }
    IniText& key(const std::string& name, int value) { return key(name, std::to_string(value)); }
    IniText& colour(const std::string& name, skin::Colour c) {
        return key(name, std::to_string(skin::redOf(c)) + " " + std::to_string(skin::greenOf(c)) + " " +
                             std::to_string(skin::blueOf(c)));
    }
    IniText& comment(const std::string& text) {
        text_ << "; " << text << "\r\n";
        return *this;
    }
    std::string str() const { return text_.str(); }

private:
    std::ostringstream text_;
};

void border(IniText& ini, const std::string& side, const std::string& member, int frames, int trans, int first, int second) {
    ini.key(side, member).key(side + "Frame", frames).key(side + "Stretch", 1).key(side + "Trans", trans);
    ini.key(side + "TopHeight", first).key(side + "BotHeight", second);
}

// One caption button; Align 1 counts XCoord from the window's right edge.
void captionButton(IniText& ini, const std::string& name, int action, int align, int x, const std::string& image,
                   int visibility, int visibility1) {
    ini.section(name).key("Action", action).key("Align", align).key("Xcoord", x);
    ini.key("Ycoord", action == 3 ? 5 : layout::kCaptionButtonTop);
    if (!image.empty()) ini.key("ButtonImage", image).key("frame", layout::kCaptionButtonFrames);
    ini.key("Visibility", visibility);
    if (visibility1 != 0) ini.key("Visibility1", visibility1);
}

void generic(IniText& ini, const std::string& section, const std::string& image, int frames, int left, int top, int right,
             int bottom, int trans = 0, int tile = 0) {
    ini.section(section).key("Image", image);
    if (frames > 0) ini.key("Frame", frames);
    ini.key("LeftWidth", left).key("TopHeight", top).key("RightWidth", right).key("BottomHeight", bottom);
    ini.key("Trans", trans).key("Tile", tile);
}

}  // namespace

std::string skinDescription() {
    using namespace layout;
    using namespace palette;
    IniText ini;
    ini.comment("Velmora's own skin: violet frame and caption, lavender controls.");
    ini.section("TitlebarSkin").key("SkinName", "Velmora");

    ini.section("Personality");
    // The sides carry the caption's ends (their top margin) and the bottom corners.
    border(ini, "Left", "frameleft.bmp", 2, 1, kCaptionHeight, kBottomHeight);
    border(ini, "Right", "frameright.bmp", 2, 1, kCaptionHeight, kBottomHeight);
    border(ini, "Top", "frametop.bmp", 2, 0, 0, 0);
    border(ini, "Bottom", "framebottom.bmp", 2, 0, 0, 0);
    ini.key("TextShift", 28).key("TextShiftVert", 0).key("TextRightClip", 80).key("TextAlignment", 0);
    ini.key("ActiveTextR", 255).key("ActiveTextG", 255).key("ActiveTextB", 255);
    ini.key("InActiveTextR", 238).key("InActiveTextG", 235).key("InActiveTextB", 245);
    ini.key("menuBar", "menubar.bmp").key("TileMenu", 1).key("TileLeftMenu", 1).key("TileRightMenu", 1);

    ini.section("Fonts").key("FontHeight", 14);

    ini.section("Colours");
    ini.colour("WindowText", kText).colour("TitleTextActive", kWhite).colour("TitleTextNoActive", rgb(238, 235, 245));
    ini.colour("ButtonFace", kFace).colour("ButtonText", kText).colour("ButtonHilight", kWhite);
    ini.colour("Buttonlight", kViolet50).colour("ButtonShadow", kBorder).colour("ButtonDkShadow", kViolet900);
    ini.colour("HilightText", kWhite).colour("Hilight", kViolet700).colour("Menubar", kMenuBar);
    ini.colour("MenuBarText", kText).colour("MenuText", kText).colour("Menu", kMenu).colour("Scrollbar", kTrack);

    ini.section("Customcolors");
    const skin::Colour custom[10] = {kViolet900, kViolet800, kViolet700, kViolet600, kViolet500,
                                     kViolet400, kViolet300, kViolet200, kAmber,     kAmberLight};
    for (int i = 0; i < 10; ++i) ini.colour("Color" + std::to_string(i), custom[i]);

    // Caption buttons from the right: close, then maximize or restore, then minimize; help
    // takes maximize's place on dialogs that have neither box. The icon needs no picture.
    const int close = kSideWidth + kCaptionButtonGap + kCaptionButtonWidth;
    const int maximize = close + kCaptionButtonGap + kCaptionButtonWidth;
    const int minimize = maximize + kCaptionButtonWidth;
    captionButton(ini, "ButtonClose", 0, 1, close, "closebutton.bmp", 0, 0);
    captionButton(ini, "ButtonMax", 1, 1, maximize, "maxbutton.bmp", 2, 6);
    captionButton(ini, "ButtonMin", 2, 1, minimize, "minbutton.bmp", 8, 0);
    captionButton(ini, "ButtonRestore", 1, 1, maximize, "restrorebutton.bmp", 1, 6);
    captionButton(ini, "ButtonIcon", 3, 0, 8, "", 0, 0);
    captionButton(ini, "ButtonHelp", 4, 1, maximize, "helpbutton.bmp", 10, 0);
    ini.section("MDICONTROLS").key("Image", "mdibutton.bmp");

    // Push buttons: normal, pressed, disabled, hot, focused or default.
    ini.section("Buttons").key("Bitmap", "buttons.bmp");
    ini.key("LeftWidth", kPushButtonMargin).key("TopHeight", kPushButtonMargin);
    ini.key("RightWidth", kPushButtonMargin).key("BottomHeight", kPushButtonMargin).key("Trans", 0).key("Tile", 0);
    ini.key("CheckButton", "checkbox.bmp").key("CheckButtonFrame", kCheckFrames);
    ini.key("RadioButton", "radiobutton.bmp").key("RadioButtonFrame", kRadioFrames);

    ini.section("Progress").key("Bitmap", "progress.bmp").key("Style", 0);
    ini.key("LeftWidth", 4).key("TopHeight", 4).key("RightWidth", 4).key("BottomHeight", 4).key("Trans", 0).key("Tile", 0);
    generic(ini, "Progress.Chunk", "progresschunk.bmp", 1, 0, 0, 0, 0, 0, 1);
    generic(ini, "GroupBoxEdge", "groupboxedge.bmp", 2, 6, 6, 6, 6, 1);
    generic(ini, "GroupBox", "groupbox.bmp", 1, 7, 0, 7, 0, 1);
    ini.key("BackgroundAlignment", 0).key("BackgroundLeftShift", 4).key("BackgroundRightShift", 4);
    generic(ini, "ComboButton", "comboboxbtn.bmp", 4, 2, 3, 2, 3);
    generic(ini, "SunkEdge", "sunkedge.bmp", 4, 2, 2, 2, 2);
    generic(ini, "ExtraImages", "extraimages.bmp", 5, 0, 0, 0, 0, 1);
    generic(ini, "Headerbar", "header.bmp", 3, 2, 2, 3, 3);
    generic(ini, "MenuItem", "menuitem.bmp", 5, 4, 4, 4, 4);
    generic(ini, "MenuBackground", "menubackground.bmp", 1, 3, 3, 3, 3);
    generic(ini, "Scrollbar", "scrollbararrow.bmp", kScrollArrowFrames, 0, 0, 0, 0);
    generic(ini, "HorzScroll", "scrollbarhbar.bmp", 4, 0, 1, 0, 1);
    generic(ini, "VertScroll", "scrollbarvbar.bmp", 4, 1, 0, 1, 0);
    generic(ini, "HorzScrollThumb", "scrollbarhthumb.bmp", 0, 6, 4, 6, 4);
    ini.key("FrameCount", 3);
    generic(ini, "VertScrollThumb", "scrollbarvthumb.bmp", 0, 4, 6, 4, 6);
    ini.key("FrameCount", 3);
    generic(ini, "Trackbar.ThumbHorz", "trackthumbh.bmp", 5, 0, 0, 0, 0, 1);
    generic(ini, "Trackbar.ThumbVert", "trackthumbv.bmp", 5, 0, 0, 0, 0, 1);
    generic(ini, "Trackbar.ThumbLeft", "trackthumbl.bmp", 5, 0, 0, 0, 0, 1);
    generic(ini, "Trackbar.ThumbRight", "trackthumbr.bmp", 5, 0, 0, 0, 0, 1);
    generic(ini, "Trackbar.ThumbUp", "trackthumbu.bmp", 5, 0, 0, 0, 0, 1);
    generic(ini, "Trackbar.ThumbDown", "trackbot.bmp", 5, 0, 0, 0, 0, 1);
    generic(ini, "UpDown.Horz", "spinh.bmp", 8, 3, 3, 3, 3);
    ini.key("GlyphImage", "spinharrow.bmp");
    generic(ini, "UpDown.Vert", "spin.bmp", 8, 3, 3, 3, 3);
    ini.key("GlyphImage", "spinarrow.bmp");
    generic(ini, "Track", "trackbar.bmp", 1, 3, 3, 3, 3);
    generic(ini, "TRACKVERT", "trackbarv.bmp", 1, 3, 3, 3, 3);
    return ini.str();
}

}  // namespace velmora::skinart
