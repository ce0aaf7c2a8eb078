#pragma once
// A loaded skin, platform-free: every element of the skin's description read by the engine's
// rules, the colour table, the extra and custom colours, and the images derived after loading
// (combo composite and arrow, tool-bar gradient, caption colour). The Windows TSkinData owns
// one and makes GDI objects from it.
#include <array>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "SkinColourTable.h"
#include "SkinElements.h"
#include "SkinMemberSource.h"
#include "SkinSystem.h"

namespace velmora::skin {

enum BorderSide : size_t { kLeftBorder = 0, kRightBorder, kTopBorder, kBottomBorder };

struct SkinModel {
    std::string SkinName;  // "TitlebarSkin" / "SkinName"
    std::vector<std::string> Sections;

    // Always present (empty until a skin fills them).
    std::array<std::unique_ptr<TDataSkinBorder>, 4> Borders;
    std::unique_ptr<TDataSkinButton> Buttons;
    std::unique_ptr<TDataSkinTitle> Title;

    // The caption buttons in file order, then the three MDI buttons (Action 7, 8, 9).
    std::vector<std::unique_ptr<TDataSkinSysButton>> SysButtons;

    // Absent (null) when the skin has no picture for them.
    std::unique_ptr<TDataSkinBorder> Progress;
    std::unique_ptr<TDataSkinObject> ProgressChunk;
    std::unique_ptr<TDataSkinObject> MenuBar;
    std::unique_ptr<TDataSkinObject> GroupBoxEdge;
    std::unique_ptr<TDataSkinBoxLabel> GroupBox;
    std::unique_ptr<TDataSkinBorder> Tabs;
    std::unique_ptr<TDataSkinObject> StatusBarEdges;
    std::unique_ptr<TDataSkinObject> TabPane;
    std::unique_ptr<TDataSkinObject> ToolBars;
    std::unique_ptr<TDataSkinBorder> ComboButton;
    std::unique_ptr<TDataSkinObject> SunkEdge;
    std::unique_ptr<TDataSkinObject> ExtraImages;
    std::unique_ptr<TDataSkinObject> Headerbar;
    std::unique_ptr<TDataSkinObject> MenuItem;
    std::unique_ptr<TDataSkinObject> MenuBackground;
    std::unique_ptr<TDataSkinObject> Scrollbar;
    std::unique_ptr<TDataSkinObject> HorzScroll;
    std::unique_ptr<TDataSkinObject> VertScroll;
    std::unique_ptr<TDataSkinObject> HorzScrollThumb;
    std::unique_ptr<TDataSkinObject> VertScrollThumb;
    // Trackbar.ThumbHorz, ThumbVert, ThumbLeft, ThumbRight, ThumbUp, ThumbDown.
    std::array<std::unique_ptr<TDataSkinObject>, 6> TrackThumbs;
    std::unique_ptr<TDataSkinBorder> UpDownHorz;
    std::unique_ptr<TDataSkinBorder> UpDownVert;
    std::unique_ptr<TDataSkinObject> Track;       // the skin's, else the built-in "TRACK"
    std::unique_ptr<TDataSkinObject> TrackVert;   // the skin's, else the built-in "TRACKVERT"
    std::unique_ptr<TDataSkinObject> Toolbar;     // derived gradient
    std::unique_ptr<TDataSkinObject> ComboxArrow; // derived from ComboButton / SunkEdge

    SkinColourTable Colours;
    std::vector<Colour> ExtraColours;
    std::array<Colour, 10> CustomColours{};

    // Members named by the description that are missing or do not decode: the element keeps
    // an empty picture, and the reason is kept here for tools and diagnostics.
    std::vector<std::string> Problems;

    SkinModel();  // the always-present elements, empty
    TDataSkinSysButton* sysButtonWithAction(int action) const;
    // Every element present, in load order.
    std::vector<const TDataSkinObject*> Elements() const;
};

inline constexpr std::array<const char*, 6> kTrackThumbSections = {
    "Trackbar.ThumbHorz", "Trackbar.ThumbVert", "Trackbar.ThumbLeft",
    "Trackbar.ThumbRight", "Trackbar.ThumbUp", "Trackbar.ThumbDown"};

// The combo composite's cell size.
inline constexpr int kComboCellWidth = 50, kComboCellHeight = 21, kComboArrowSize = 17;

// Reads every element from the members (the description is the first member whose name
// contains ".ini"; without one every optional element is absent and every colour takes its
// default). Never fails: damaged members become empty pictures listed in Problems.
SkinModel loadSkinModel(const SkinMemberSource& members, const SkinSystem& system);

struct SkinLoadResult {
    bool loaded = false;
    std::string error;  // why the archive could not be read
    SkinModel model;
};

using SkinMessageSink = TSkinReader::MessageSink;

// A stored skin (size prefix + LZHUF archive, the bytes of SkinStream or a skin file). An
// archive of an unknown version tells the user through `showMessage` and is not loaded.
SkinLoadResult loadStoredSkin(std::span<const uint8_t> stored, const SkinSystem& system,
                              const SkinMessageSink& showMessage = {});
// An archive already unpacked.
SkinLoadResult loadSkinArchive(std::span<const uint8_t> archive, const SkinSystem& system,
                               const SkinMessageSink& showMessage = {});

}  // namespace velmora::skin
