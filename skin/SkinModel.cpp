#include "SkinModel.h"

#include <algorithm>
#include <cmath>

#include "BmpDecoder.h"
#include "ColourValue.h"
#include "DrawGeometry.h"
#include "GradientFill.h"
#include "ImageTransforms.h"
#include "PixelBlit.h"
#include "SkinArchive.h"
#include "WinSkinIni.h"

namespace velmora::skin {

SkinModel::SkinModel() {
    const char* sides[] = {"Left", "Right", "Top", "Bottom"};
    for (size_t i = 0; i < Borders.size(); ++i) {
        Borders[i] = std::make_unique<TDataSkinBorder>();
        Borders[i]->Name = sides[i];
    }
    Buttons = std::make_unique<TDataSkinButton>();
    Buttons->Name = "Buttons";
    Title = std::make_unique<TDataSkinTitle>();
    Title->Name = "Personality";
}

TDataSkinSysButton* SkinModel::sysButtonWithAction(int action) const {
    for (const auto& button : SysButtons)
        if (button->Action == action) return button.get();
    return nullptr;
}

std::vector<const TDataSkinObject*> SkinModel::Elements() const {
    std::vector<const TDataSkinObject*> all;
    for (const auto& border : Borders) all.push_back(border.get());
    for (const auto& button : SysButtons) all.push_back(button.get());
    all.push_back(Buttons.get());
    all.push_back(Title.get());
    const TDataSkinObject* rest[] = {Progress.get(), ProgressChunk.get(), MenuBar.get(), GroupBoxEdge.get(),
                                     GroupBox.get(), Tabs.get(), StatusBarEdges.get(), TabPane.get(), ToolBars.get(),
                                     ComboButton.get(), SunkEdge.get(), ExtraImages.get(), Headerbar.get(),
                                     MenuItem.get(), MenuBackground.get(), Scrollbar.get(), HorzScroll.get(),
                                     VertScroll.get(), HorzScrollThumb.get(), VertScrollThumb.get()};
    all.insert(all.end(), std::begin(rest), std::end(rest));
    for (const auto& thumb : TrackThumbs) all.push_back(thumb.get());
    const TDataSkinObject* last[] = {UpDownHorz.get(), UpDownVert.get(), Track.get(), TrackVert.get(),
                                     Toolbar.get(), ComboxArrow.get()};
    all.insert(all.end(), std::begin(last), std::end(last));
    std::erase(all, nullptr);
    return all;
}

namespace {

constexpr const char* kPersonality = "Personality";

// Frames of a picture with `count` cells side by side, each mirrored in place: a mirrored
// strip keeps frame k in cell k (mirroring the whole strip would reverse the states).
PixelImage mirroredFrames(const PixelImage& image, int count) {
    if (image.empty()) return {};
    count = std::max(count, 1);
    PixelImage result(image.width(), image.height());
    for (int k = 1; k <= count; ++k) {
        const Rect cell = frameCell(image.width(), image.height(), count, k, FrameLayout::SideBySide);
        copyImage(result, mirrored(crop(image, cell)), cell.left, cell.top, Transparency::opaque());
    }
    return result;
}

class SkinLoader {
public:
    SkinLoader(const SkinMemberSource& members, const SkinSystem& system, SkinModel& model)
        : members_(members), system_(system), model_(model) {}

    void run() {
        if (const auto description = members_.firstMemberContaining(".ini")) ini_.Load(*description);
        ini_.ReadSections(&model_.Sections);
        model_.SkinName = ini_.ReadString("TitlebarSkin", "SkinName", "");
        readBorders();
        readColours();
        readCaptionButtons();
        readMdiButtons();
        readPushButtons();
        readTitle();
        readProgress();
        model_.ProgressChunk = generic<TDataSkinObject>("Progress.Chunk");
        readMenuBar();
        model_.GroupBoxEdge = generic<TDataSkinObject>("GroupBoxEdge");
        readGroupBox();
        model_.Tabs = generic<TDataSkinBorder>("Tabs", "Border");
        model_.StatusBarEdges = generic<TDataSkinObject>("StatusBarEdges");
        model_.TabPane = generic<TDataSkinObject>("Tab.Pane");
        model_.ToolBars = generic<TDataSkinObject>("ToolBars");
        // The second key names no member in practice; the mirror below takes its place.
        model_.ComboButton = generic<TDataSkinBorder>("ComboButton", "****");
        model_.SunkEdge = generic<TDataSkinObject>("SunkEdge");
        if (model_.ComboButton && !model_.ComboButton->Image.empty())
            model_.ComboButton->SecondImage = mirroredFrames(model_.ComboButton->Image, kComboFrames);
        model_.ExtraImages = generic<TDataSkinObject>("ExtraImages");
        model_.Headerbar = generic<TDataSkinObject>("Headerbar");
        model_.MenuItem = generic<TDataSkinObject>("MenuItem");
        model_.MenuBackground = generic<TDataSkinObject>("MenuBackground");
        model_.Scrollbar = generic<TDataSkinObject>("Scrollbar");
        model_.HorzScroll = generic<TDataSkinObject>("HorzScroll");
        model_.VertScroll = generic<TDataSkinObject>("VertScroll");
        model_.HorzScrollThumb = generic<TDataSkinObject>("HorzScrollThumb");
        model_.VertScrollThumb = generic<TDataSkinObject>("VertScrollThumb");
        for (size_t i = 0; i < kTrackThumbSections.size(); ++i)
            model_.TrackThumbs[i] = generic<TDataSkinObject>(kTrackThumbSections[i]);
        model_.UpDownHorz = generic<TDataSkinBorder>("UpDown.Horz", "GlyphImage");
        model_.UpDownVert = generic<TDataSkinBorder>("UpDown.Vert", "GlyphImage");
        model_.Track = generic<TDataSkinObject>("Track");
        model_.TrackVert = generic<TDataSkinObject>("TRACKVERT");
        builtInTrack(model_.Track, "Track", "TRACK");
        builtInTrack(model_.TrackVert, "TRACKVERT", "TRACKVERT");
        setFrameCounts();
        buildComboComposite();
        buildComboArrow();
        const Colour caption = captionColour();
        buildToolbarGradient(caption);
        model_.Colours.colours[kCaptionColourSlot] = caption;
    }

private:
    static constexpr int kComboFrames = 4;

    int integer(std::string_view section, std::string_view key, int fallback) const {
        return ini_.ReadInteger(section, key, fallback);
    }
    Colour buttonText() const { return model_.Colours[kButtonTextSlot]; }
    Colour resolved(Colour c) const { return resolveColour(c, system_.resolver()); }

    // A picture named by a description value: only ".bmp" file names (exactly, in lower case)
    // name one; the member is found by the file-name part without regard to case.
    PixelImage image(const std::string& value) {
        if (value.empty()) return {};
        const std::string file = value.substr(value.find_last_of("\\/") + 1);
        if (file.size() < 4 || file.compare(file.size() - 4, 4, ".bmp") != 0) return {};
        const auto bytes = members_.member(file);
        if (!bytes) {
            model_.Problems.push_back(file + ": named but missing");
            return {};
        }
        if (bytes->empty()) return {};
        BmpDecodeResult decoded = decodeBmp(*bytes);
        if (!decoded.ok()) model_.Problems.push_back(file + ": " + decoded.error);
        return std::move(decoded.image);
    }

    void readTextColours(std::string_view section, TDataSkinObject& e) {
        e.NormalColour = integer(section, "NormalColour", kNoTextColour);
        e.MouseOverColour = integer(section, "MouseOverColour", kNoTextColour);
        e.PressedColour = integer(section, "PressedColour", kNoTextColour);
        const auto colour2 = [&](const char* key) {
            return static_cast<Colour>(readColourValue(ini_, section, key, static_cast<int32_t>(buttonText())));
        };
        e.NormalColour2 = colour2("NormalColour2");
        e.MouseOverColour2 = colour2("MouseOverColour2");
        e.PressedColour2 = colour2("PressedColour2");
    }

    void readMargins(std::string_view section, TDataSkinObject& e) {
        e.LeftWidth = integer(section, "LeftWidth", 0);
        e.RightWidth = integer(section, "RightWidth", 0);
        e.TopHeight = integer(section, "TopHeight", 0);
        e.BottomHeight = integer(section, "BottomHeight", 0);
    }

    // The generic rule: no element without a non-empty "Image"; a Tile above 1 counts as 0.
    template <class Element>
    std::unique_ptr<Element> generic(const char* section, const char* secondKey = nullptr) {
        const std::string imageValue = ini_.ReadString(section, "Image", "");
        if (imageValue.empty()) return nullptr;
        auto e = std::make_unique<Element>();
        e->Name = section;
        e->Image = image(imageValue);
        e->Style = integer(section, "Style", 0);
        readMargins(section, *e);
        e->FrameCount = integer(section, "Frame", 0);
        e->Trans = integer(section, "Trans", 0);
        e->Tile = integer(section, "Tile", 0);
        if (e->Tile > 1) e->Tile = 0;
        readTextColours(section, *e);
        if constexpr (std::is_base_of_v<TDataSkinBorder, Element>) {
            if (secondKey) e->SecondImage = image(ini_.ReadString(section, secondKey, ""));
        }
        return e;
    }

    void readBorders() {
        for (size_t i = 0; i < model_.Borders.size(); ++i) {
            auto e = std::make_unique<TDataSkinBorder>();
            const std::string side = model_.Borders[i]->Name;
            e->Name = side;
            e->Image = image(ini_.ReadString(kPersonality, side, ""));
            e->FrameCount = integer(kPersonality, side + "Frame", 1);
            e->Tile = std::min(integer(kPersonality, side + "Stretch", 1), 1);
            e->Trans = integer(kPersonality, side + "Trans", 1);
            const int first = integer(kPersonality, side + "TopHeight", 0);
            const int second = integer(kPersonality, side + "BotHeight", 0);
            if (i == kLeftBorder || i == kRightBorder) {
                e->TopHeight = first;
                e->BottomHeight = second;
            } else {
                e->LeftWidth = first;
                e->RightWidth = second;
            }
            model_.Borders[i] = std::move(e);
        }
    }

    void readColours() {
        model_.Colours = readSkinColourTable(ini_);
        model_.ExtraColours = readExtraColours(ini_, model_.Sections);
        model_.CustomColours = readCustomColours(ini_);
    }

    static bool isCaptionButtonSection(const std::string& upperName) {
        return upperName.rfind("BUTTON", 0) == 0 && upperName != "BUTTON" && upperName != "BUTTONS" &&
               upperName != "BUTTON.RADIO" && upperName != "BUTTON.CHECKBOX";
    }

    void readCaptionButtons() {
        model_.SysButtons.clear();
        int maximizeX = 0, maximizeY = 0;  // where the last maximize button (Action 1, Visibility 2) sits
        for (const std::string& section : model_.Sections) {
            std::string name = section;
            std::transform(name.begin(), name.end(), name.begin(),
                           [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); });
            if (!isCaptionButtonSection(name)) continue;
            const int action = integer(section, "Action", 0);
            if (action == -1 && integer(section, "Visibility", -1) != 0) continue;

            auto b = std::make_unique<TDataSkinSysButton>();
            b->Name = name;
            b->Action = action;
            b->Align = integer(section, "Align", 0);
            b->XCoord = integer(section, "Xcoord", 0);
            b->YCoord = integer(section, "Ycoord", 0);
            b->Visibility = integer(section, "Visibility", 0);
            b->Visibility1 = integer(section, "Visibility1", action == -1 ? -1 : 0);
            b->CombineOp = integer(section, "CombineOp", -1);
            b->FrameCount = integer(section, "frame", 0);
            b->Image = image(ini_.ReadString(section, "ButtonImage", ""));
            if (b->Action == 1 && b->Visibility == 2) {
                maximizeX = b->XCoord;
                maximizeY = b->YCoord;
            }
            if (b->Action == 4) {
                b->XCoord = maximizeX;
                b->YCoord = maximizeY;
            }
            if (b->FrameCount == 0) b->FrameCount = defaultCaptionButtonFrames(*b);
            if (b->Action == 3 || b->Action == 11) b->Image = {};
            model_.SysButtons.push_back(std::move(b));
        }
    }

    // Narrow strips hold three states (normal, pressed, hot), wide ones six (the same again
    // for an inactive window); a button without an action always counts six.
    static int defaultCaptionButtonFrames(const TDataSkinSysButton& b) {
        int frames = 6;
        if (!b.Image.empty()) frames = b.Image.width() * 10 <= b.Image.height() * 38 ? 3 : 6;
        if (b.Action < 0) frames = 6;
        return frames;
    }

    void readMdiButtons() {
        const PixelImage strip = image(ini_.ReadString("MDICONTROLS", "Image", ""));
        const int a = strip.width() / 12;
        for (int i = 0; i < 3; ++i) {
            auto b = std::make_unique<TDataSkinSysButton>();
            b->Name = "MDICONTROLS";
            b->Action = 7 + i;
            b->Align = b->Visibility = b->Visibility1 = 100;
            b->FrameCount = 4;
            if (!strip.empty()) {
                b->Image = crop(strip, {4 * a * i, 0, 4 * a * (i + 1), strip.height()});
                b->XCoord = (a + 4) * (3 - i);
            }
            model_.SysButtons.push_back(std::move(b));
        }
    }

    void readPushButtons() {
        const char* s = "Buttons";
        auto b = std::make_unique<TDataSkinButton>();
        b->Name = s;
        readMargins(s, *b);
        b->Trans = integer(s, "Trans", 0);
        b->Tile = integer(s, "Tile", 0);
        if (b->Tile > 1) b->Tile = 0;
        b->Image = image(ini_.ReadString(s, "Bitmap", ""));
        b->CheckImage = image(ini_.ReadString(s, "CheckButton", ""));
        b->RadioImage = image(ini_.ReadString(s, "RadioButton", ""));
        b->RadioFrameCount = integer(s, "RadioButtonFrame", 0);
        b->CheckFrameCount = integer(s, "CheckButtonFrame", 0);
        readTextColours(s, *b);
        b->HasNormalColour2 = !ini_.ReadString(s, "NormalColour2", "").empty();
        b->HasMouseOverColour2 = !ini_.ReadString(s, "MouseOverColour2", "").empty();
        b->HasPressedColour2 = !ini_.ReadString(s, "PressedColour2", "").empty();
        model_.Buttons = std::move(b);
    }

    // Three numbers "<prefix>R", "G", "B"; a colour only when all three are 0 or more.
    int textColour(const std::string& prefix) const {
        const int r = integer(kPersonality, prefix + "R", -1);
        const int g = integer(kPersonality, prefix + "G", -1);
        const int b = integer(kPersonality, prefix + "B", -1);
        if (r < 0 || g < 0 || b < 0) return TDataSkinTitle::kNoColourGiven;
        return static_cast<int>(rgb(r, g, b));
    }

    void readTitle() {
        auto t = std::make_unique<TDataSkinTitle>();
        t->Name = kPersonality;
        t->Image = image(ini_.ReadString(kPersonality, "TextBack", ""));
        t->LeftWidth = integer(kPersonality, "TextShift", 0);
        t->TopHeight = integer(kPersonality, "TextShiftVert", 0);
        t->RightWidth = integer(kPersonality, "TextRightClip", 0);
        t->TextAlignment = integer(kPersonality, "TextAlignment", 0);
        t->TextBackground = integer(kPersonality, "Textbackground", 0);
        t->TextBackLeft = integer(kPersonality, "TXTBackleft", 0);
        t->TextBackRight = integer(kPersonality, "TXTBackRight", 0);
        t->FontHeight = integer("Fonts", "FontHeight", 14);
        t->ActiveTextColour = textColour("ActiveText");
        t->InactiveTextColour = textColour("InActiveText");
        model_.Title = std::move(t);
    }

    // The trough tiles for any Tile of 1 or more, unlike the generic rule.
    void readProgress() {
        const char* s = "Progress";
        const std::string imageValue = ini_.ReadString(s, "Bitmap", "");
        model_.Progress = nullptr;
        if (imageValue.empty()) return;
        auto p = std::make_unique<TDataSkinBorder>();
        p->Name = s;
        p->Image = image(imageValue);
        p->Style = integer(s, "Style", 0);
        readMargins(s, *p);
        p->Trans = integer(s, "Trans", 0);
        p->Tile = std::min(integer(s, "Tile", 0), 1);
        p->NormalColour2 = p->MouseOverColour2 = p->PressedColour2 = buttonText();
        model_.Progress = std::move(p);
    }

    void readMenuBar() {
        const std::string imageValue = ini_.ReadString(kPersonality, "menuBar", "");
        model_.MenuBar = nullptr;
        if (imageValue.empty()) return;
        auto m = std::make_unique<TDataSkinObject>();
        m->Name = "menuBar";
        m->Image = image(imageValue);
        m->Tile = std::min(integer(kPersonality, "TileMenu", 1), 1);
        m->LeftWidth = integer(kPersonality, "TileLeftMenu", 1);
        m->RightWidth = integer(kPersonality, "TileRightMenu", 1);
        m->NormalColour2 = m->MouseOverColour2 = m->PressedColour2 = buttonText();
        model_.MenuBar = std::move(m);
    }

    void readGroupBox() {
        model_.GroupBox = generic<TDataSkinBoxLabel>("GroupBox");
        if (!model_.GroupBox) return;
        model_.GroupBox->BackgroundAlignment = integer("GroupBox", "BackgroundAlignment", 0);
        model_.GroupBox->BackgroundLeftShift = integer("GroupBox", "BackgroundLeftShift", 0);
        model_.GroupBox->BackgroundRightShift = integer("GroupBox", "BackgroundRightShift", 0);
    }

    void builtInTrack(std::unique_ptr<TDataSkinObject>& track, const char* name, const char* resource) {
        if (track && !track->Image.empty()) return;
        PixelImage picture = system_.builtInBitmap(resource);
        if (picture.empty()) return;
        auto e = std::make_unique<TDataSkinObject>();
        e->Name = name;
        e->Image = std::move(picture);
        e->LeftWidth = e->TopHeight = e->RightWidth = e->BottomHeight = 3;
        e->FrameCount = 1;
        e->NormalColour2 = e->MouseOverColour2 = e->PressedColour2 = buttonText();
        track = std::move(e);
    }

    static void setCount(const std::unique_ptr<TDataSkinObject>& e, int count) {
        if (e) e->FrameCount = count;
    }
    template <class E> static void setCount(const std::unique_ptr<E>& e, int count) {
        if (e) e->FrameCount = count;
    }

    static int checkOrRadioFrames(int given, const PixelImage& picture) {
        if (given != 0) return given;
        return std::max(picture.height() < 16 ? picture.width() / 13 : picture.width() / 16, 4);
    }

    void setFrameCounts() {
        TDataSkinButton& b = *model_.Buttons;
        b.FrameCount = 5;
        b.RadioFrameCount = checkOrRadioFrames(b.RadioFrameCount, b.RadioImage);
        b.CheckFrameCount = checkOrRadioFrames(b.CheckFrameCount, b.CheckImage);
        model_.Title->FrameCount = 2;
        if (model_.Progress) model_.Progress->FrameCount = model_.Progress->Style != 0 ? 1 : 2;
        setCount(model_.MenuBar, 2);
        setCount(model_.GroupBoxEdge, 2);
        setCount(model_.GroupBox, 1);
        setCount(model_.Tabs, 5);
        setCount(model_.StatusBarEdges, 3);
        if (TDataSkinObject* pane = model_.TabPane.get()) {
            pane->FrameCount = 1;
            for (int* margin : {&pane->LeftWidth, &pane->TopHeight, &pane->RightWidth, &pane->BottomHeight})
                *margin = std::min(*margin, 4);
        }
        setCount(model_.ToolBars, 5);
        setCount(model_.ComboButton, kComboFrames);
        setCount(model_.SunkEdge, 4);
        setCount(model_.ExtraImages, 5);
        if (model_.Headerbar && model_.Headerbar->FrameCount == 0) model_.Headerbar->FrameCount = 5;
        setCount(model_.MenuItem, 5);
        setCount(model_.MenuBackground, 1);
        setCount(model_.Scrollbar, 23);
        setCount(model_.HorzScroll, 4);
        setCount(model_.VertScroll, 4);
        setCount(model_.HorzScrollThumb, integer("HorzScrollThumb", "FrameCount", 3));
        setCount(model_.VertScrollThumb, integer("VertScrollThumb", "FrameCount", 3));
        for (const auto& thumb : model_.TrackThumbs) setCount(thumb, 5);
        setCount(model_.UpDownHorz, 8);
        setCount(model_.UpDownVert, 8);
    }

    static BlitPlan ninePlan(const TDataSkinObject& e, int frame, const Rect& dest) {
        const Rect cell = frameCell(e.Image.width(), e.Image.height(), e.FrameCount, frame, FrameLayout::SideBySide);
        return nineSlicePlan(cell, {e.LeftWidth, e.TopHeight, e.RightWidth, e.BottomHeight},
                             e.Tile == 1 ? CentreFill::Tile : CentreFill::Stretch, dest);
    }

    // The combo box drawn once per state: the sunken edge with the button at its right end and
    // a magenta hole where the edit sits, so the control draws edge and button in one blit.
    void buildComboComposite() {
        TDataSkinObject* edge = model_.SunkEdge.get();
        TDataSkinBorder* button = model_.ComboButton.get();
        if (!edge || !button) return;
        const int s = system_.horizontalScrollArrowWidth() + 2;
        const int cells = std::max(edge->FrameCount, 1);
        PixelImage composite(kComboCellWidth * cells, kComboCellHeight, pixelOf(kMagenta));
        for (int k = 1; k <= cells; ++k) {
            const int x = (k - 1) * kComboCellWidth;
            const Rect whole{x, 0, x + kComboCellWidth, kComboCellHeight};
            const Rect right{x + kComboCellWidth - s, 0, x + kComboCellWidth, kComboCellHeight};
            if (!edge->Image.empty())
                executePlan(composite, edge->Image, ninePlan(*edge, k, whole),
                            edge->Trans != 0 ? Transparency::keyed() : Transparency::opaque());
            if (!button->Image.empty())
                executePlan(composite, button->Image, ninePlan(*button, k, right), Transparency::keyed());
            if (const TDataSkinObject* glyphs = model_.ExtraImages.get(); glyphs && !glyphs->Image.empty()) {
                const Rect cell = frameCell(glyphs->Image.width(), glyphs->Image.height(), glyphs->FrameCount, k,
                                            FrameLayout::SideBySide);
                executePlan(composite, glyphs->Image, centredPlan(cell, right), Transparency::keyed());
            }
            fillRect(composite, {x + 2, 2, x + kComboCellWidth - 1 - s, 18}, kMagenta);
        }
        button->Style = 2;
        button->TopHeight = edge->TopHeight;
        button->BottomHeight = edge->BottomHeight;
        button->LeftWidth = 2;
        button->RightWidth = s + 2;
        button->Image = composite;
        edge->Image = mirroredFrames(composite, cells);
        edge->LeftWidth = s + 2;
        edge->RightWidth = 2;
    }

    void buildComboArrow() {
        model_.ComboxArrow = nullptr;
        const TDataSkinBorder* button = model_.ComboButton.get();
        if (!button) return;
        auto arrow = std::make_unique<TDataSkinObject>();
        arrow->Name = "ComboxArrow";
        arrow->NormalColour2 = arrow->MouseOverColour2 = arrow->PressedColour2 = buttonText();
        const TDataSkinObject* edge = model_.SunkEdge.get();
        if (!edge) {
            arrow->Image = button->Image;
            replaceMagenta(arrow->Image, resolved(model_.Colours[kButtonFaceSlot]));
            arrow->FrameCount = button->FrameCount;
        } else if (button->Style == 2) {
            const int cells = std::max(edge->FrameCount, 1);
            const int w = button->Image.width() / cells;
            arrow->Image = PixelImage(kComboArrowSize * cells, kComboArrowSize, pixelOf(kMagenta));
            for (int k = 1; k <= cells; ++k) {
                const Rect from{k * w - 19, 2, k * w - 2, 19};
                executeBlit(arrow->Image, button->Image,
                            {from, {(k - 1) * kComboArrowSize, 0, k * kComboArrowSize, kComboArrowSize}, BlitKind::Copy},
                            Transparency::opaque());
            }
            arrow->FrameCount = edge->FrameCount;
        } else {
            return;
        }
        model_.ComboxArrow = std::move(arrow);
    }

    // The top border's colour a third of the way into its first frame, else ButtonFace.
    Colour captionColour() const {
        const PixelImage& top = model_.Borders[kTopBorder]->Image;
        if (top.empty()) return model_.Colours[kButtonFaceSlot];
        const int frameHeight = top.height() / std::max(model_.Borders[kTopBorder]->FrameCount, 1);
        return colourOf(top.at(top.width() / 3, frameHeight / 3));
    }

    static int saturation(Colour c) {
        const int r = redOf(c), g = greenOf(c), b = blueOf(c);
        const int most = std::max({r, g, b}), least = std::min({r, g, b});
        if (most <= 159) return 200;
        return static_cast<int>(std::lround(255.0 * (most - least) / most));
    }

    void buildToolbarGradient(Colour caption) {
        const auto resolver = system_.resolver();
        const Colour c = resolved(caption);
        Colour end = blend(0x808080, c, 150, resolver);
        if (const int sat = saturation(c); sat > 110) end = blend(c, kWhite, (5625 - 25 * sat) / 140 + 50, resolver);
        const Colour start = blend(model_.Colours[kButtonFaceSlot], kWhite, 150, resolver);
        auto bar = std::make_unique<TDataSkinObject>();
        bar->Name = "Toolbar";
        bar->Image = PixelImage(10, 40);
        GradientCache cache;
        fillGradient(bar->Image, {0, 0, 10, 40}, {0, 0, 10, 40}, start, end, GradientDirection::Vertical, cache);
        bar->FrameCount = 1;
        bar->NormalColour2 = bar->MouseOverColour2 = bar->PressedColour2 = buttonText();
        model_.Toolbar = std::move(bar);
    }

    const SkinMemberSource& members_;
    const SkinSystem& system_;
    SkinModel& model_;
    TQuickIni ini_;
};

SkinLoadResult loadWith(TSkinReader& reader, bool read, const SkinSystem& system) {
    SkinLoadResult result;
    if (!read) {
        result.error = reader.Error();
        return result;
    }
    result.model = loadSkinModel(ArchiveMemberSource(reader), system);
    result.loaded = true;
    return result;
}

}  // namespace

SkinModel loadSkinModel(const SkinMemberSource& members, const SkinSystem& system) {
    SkinModel model;
    SkinLoader(members, system, model).run();
    return model;
}

SkinLoadResult loadStoredSkin(std::span<const uint8_t> stored, const SkinSystem& system, const SkinMessageSink& showMessage) {
    TSkinReader reader(showMessage);
    const bool read = reader.ReadArchive(stored);
    return loadWith(reader, read, system);
}

SkinLoadResult loadSkinArchive(std::span<const uint8_t> archive, const SkinSystem& system, const SkinMessageSink& showMessage) {
    TSkinReader reader(showMessage);
    const bool read = reader.ReadUnpackedArchive(archive);
    return loadWith(reader, read, system);
}

}  // namespace velmora::skin
