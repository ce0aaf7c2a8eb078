// The skin model: the description's elements by the reading rules, frame counts, colours,
// derived images, archives, the foreign-class list and the form filter.
#include <gtest/gtest.h>

#include "Skin3rd.h"
#include "SkinArchiveStored.h"
#include "SkinArchiveWriter.h"
#include "SkinModel.h"
#include "SkinModelFixtures.h"
#include "SkinOptions.h"

namespace velmora::skin {
namespace {

using test::bmp24;
using test::FixedSystem;
using test::MapMembers;

SkinModel load(const MapMembers& members) { return loadSkinModel(members, FixedSystem()); }

SkinModel loadIni(const std::string& ini, MapMembers members = {}) {
    members.ini(ini);
    return load(members);
}

TEST(SkinModelElements, TileAboveOneStretchesGenericCentresButTilesTheProgressTrough) {
    MapMembers m;
    m.add("a.bmp", bmp24(8, 8));
    const SkinModel skin = loadIni("[MenuItem]\nImage=a.bmp\nTile=2\n[Progress]\nBitmap=a.bmp\nTile=2\n", m);
    ASSERT_TRUE(skin.MenuItem && skin.Progress);
    EXPECT_EQ(skin.MenuItem->Tile, 0);
    EXPECT_EQ(skin.Progress->Tile, 1);
}

TEST(SkinModelElements, TabPaneMarginsAreCutToFour) {
    MapMembers m;
    m.add("p.bmp", bmp24(30, 30));
    const SkinModel skin =
        loadIni("[Tab.Pane]\nImage=p.bmp\nLeftWidth=10\nTopHeight=3\nRightWidth=5\nBottomHeight=4\nFrame=7\n", m);
    ASSERT_TRUE(skin.TabPane);
    EXPECT_EQ(skin.TabPane->LeftWidth, 4);
    EXPECT_EQ(skin.TabPane->TopHeight, 3);
    EXPECT_EQ(skin.TabPane->RightWidth, 4);
    EXPECT_EQ(skin.TabPane->BottomHeight, 4);
    EXPECT_EQ(skin.TabPane->FrameCount, 1);
}

TEST(SkinModelElements, ImageValuesFindMembersByFileNameWithoutCaseButOnlyLowerCaseBmp) {
    MapMembers m;
    m.add("menuitem.bmp", bmp24(10, 4));
    const SkinModel skin = loadIni(
        "[MenuItem]\nImage=skins\\MenuItem.bmp\n[MenuBackground]\nImage=menuitem.BMP\n[Headerbar]\nImage=none.bmp\n", m);
    ASSERT_TRUE(skin.MenuItem && skin.MenuBackground && skin.Headerbar);
    EXPECT_EQ(skin.MenuItem->Image.width(), 10);
    EXPECT_TRUE(skin.MenuBackground->Image.empty());  // present, but ".BMP" names no picture
    EXPECT_TRUE(skin.Headerbar->Image.empty());
    ASSERT_EQ(skin.Problems.size(), 1u);
    EXPECT_EQ(skin.Problems[0], "none.bmp: named but missing");
}

TEST(SkinModelElements, SectionsWithoutImageGiveNoElementAndDamagedPicturesAreReported) {
    MapMembers m;
    m.add("bad.bmp", {'B', 'M', 1, 2});
    const SkinModel skin = loadIni("[MenuItem]\nImage=\nLeftWidth=3\n[SunkEdge]\nImage=bad.bmp\n", m);
    EXPECT_FALSE(skin.MenuItem);
    ASSERT_TRUE(skin.SunkEdge);
    EXPECT_TRUE(skin.SunkEdge->Image.empty());
    ASSERT_EQ(skin.Problems.size(), 1u);
    EXPECT_EQ(skin.Problems[0].rfind("bad.bmp: ", 0), 0u);
}

TEST(SkinModelElements, FrameCountsFollowTheElementTable) {
    MapMembers m;
    m.add("x.bmp", bmp24(40, 10));
    const SkinModel skin = loadIni(
        "[Headerbar]\nImage=x.bmp\n[MenuItem]\nImage=x.bmp\nFrame=9\n[Progress.Chunk]\nImage=x.bmp\nFrame=3\n"
        "[HorzScrollThumb]\nImage=x.bmp\n[VertScrollThumb]\nImage=x.bmp\nFrameCount=2\n[Progress]\nBitmap=x.bmp\nStyle=1\n"
        "[Scrollbar]\nImage=x.bmp\n[UpDown.Vert]\nImage=x.bmp\nGlyphImage=x.bmp\n[Tabs]\nImage=x.bmp\nBorder=x.bmp\n",
        m);
    EXPECT_EQ(skin.Headerbar->FrameCount, 5);  // 0 read
    EXPECT_EQ(skin.MenuItem->FrameCount, 5);
    EXPECT_EQ(skin.ProgressChunk->FrameCount, 3);
    EXPECT_EQ(skin.HorzScrollThumb->FrameCount, 3);
    EXPECT_EQ(skin.VertScrollThumb->FrameCount, 2);
    EXPECT_EQ(skin.Progress->FrameCount, 1);
    EXPECT_EQ(skin.Scrollbar->FrameCount, 23);
    EXPECT_EQ(skin.UpDownVert->FrameCount, 8);
    EXPECT_EQ(skin.UpDownVert->SecondImage.width(), 40);
    EXPECT_EQ(skin.Tabs->SecondImage.width(), 40);
    EXPECT_EQ(skin.Buttons->FrameCount, 5);
    EXPECT_EQ(skin.Title->FrameCount, 2);
}

TEST(SkinModelElements, BordersReadTheirKeysFromPersonality) {
    MapMembers m;
    m.add("l.bmp", bmp24(4, 60)).add("t.bmp", bmp24(50, 52));
    const SkinModel skin = loadIni(
        "[Personality]\nLeft=l.bmp\nLeftTopHeight=26\nLeftBotHeight=4\nLeftStretch=5\nTop=t.bmp\nTopFrame=2\n"
        "TopTrans=0\nTopTopHeight=7\nTopBotHeight=9\n",
        m);
    const TDataSkinBorder& left = *skin.Borders[kLeftBorder];
    EXPECT_EQ(left.TopHeight, 26);
    EXPECT_EQ(left.BottomHeight, 4);
    EXPECT_EQ(left.LeftWidth, 0);
    EXPECT_EQ(left.Tile, 1);
    EXPECT_EQ(left.Trans, 1);
    EXPECT_EQ(left.FrameCount, 1);
    const TDataSkinBorder& top = *skin.Borders[kTopBorder];
    EXPECT_EQ(top.LeftWidth, 7);
    EXPECT_EQ(top.RightWidth, 9);
    EXPECT_EQ(top.TopHeight, 0);
    EXPECT_EQ(top.FrameCount, 2);
    EXPECT_EQ(top.Trans, 0);
    EXPECT_TRUE(skin.Borders[kBottomBorder]->Image.empty());  // always there, empty when not given
}

TEST(SkinModelElements, TitleAndPushButtonRules) {
    MapMembers m;
    m.add("check.bmp", bmp24(78, 13)).add("radio.bmp", bmp24(64, 16));
    const SkinModel skin = loadIni(
        "[Personality]\nTextShift=28\nTXTBackRight=5\nActiveTextR=255\nActiveTextG=128\nActiveTextB=0\n"
        "InActiveTextR=1\nInActiveTextG=-1\nInActiveTextB=1\n[Fonts]\nFontHeight=17\n"
        "[Buttons]\nCheckButton=check.bmp\nRadioButton=radio.bmp\nTile=3\nPressedColour2=1 2 3\n[Colours]\nButtonText=9 9 9\n",
        m);
    EXPECT_EQ(skin.Title->LeftWidth, 28);
    EXPECT_EQ(skin.Title->TextBackRight, 5);
    EXPECT_EQ(skin.Title->FontHeight, 17);
    EXPECT_EQ(skin.Title->ActiveTextColour, 0x0080FF);
    EXPECT_EQ(skin.Title->InactiveTextColour, TDataSkinTitle::kNoColourGiven);
    const TDataSkinButton& b = *skin.Buttons;
    EXPECT_EQ(b.CheckFrameCount, 6);  // lower than 16: width / 13
    EXPECT_EQ(b.RadioFrameCount, 4);  // width / 16
    EXPECT_EQ(b.Tile, 0);
    EXPECT_TRUE(b.HasPressedColour2);
    EXPECT_FALSE(b.HasNormalColour2);
    EXPECT_EQ(b.PressedColour2, rgb(1, 2, 3));
    EXPECT_EQ(b.NormalColour2, rgb(9, 9, 9));
    EXPECT_EQ(b.NormalColour, -1);
}

TEST(SkinModelCaptionButtons, SelectionFramesAndPositions) {
    MapMembers m;
    m.add("narrow.bmp", bmp24(60, 20)).add("wide.bmp", bmp24(120, 20));
    const SkinModel skin = loadIni(
        "[Buttons]\n[Button.Radio]\n"
        "[ButtonHelp1]\nAction=4\nXcoord=99\nYcoord=99\nButtonImage=narrow.bmp\n"
        "[ButtonMax]\nAction=1\nVisibility=2\nXcoord=48\nYcoord=4\nButtonImage=narrow.bmp\n"
        "[ButtonDropped]\nAction=-1\nButtonImage=narrow.bmp\n"
        "[ButtonKept]\nAction=-1\nVisibility=0\nButtonImage=narrow.bmp\n"
        "[ButtonWide]\nAction=2\nButtonImage=wide.bmp\n"
        "[buttonGiven]\nAction=0\nframe=2\nButtonImage=wide.bmp\n"
        "[ButtonIcon]\nAction=3\nButtonImage=narrow.bmp\n"
        "[ButtonHelp2]\nAction=4\nXcoord=7\n",
        m);
    std::vector<std::string> names;
    for (const auto& b : skin.SysButtons) names.push_back(b->Name);
    EXPECT_EQ(names, (std::vector<std::string>{"BUTTONHELP1", "BUTTONMAX", "BUTTONKEPT", "BUTTONWIDE", "BUTTONGIVEN",
                                               "BUTTONICON", "BUTTONHELP2", "MDICONTROLS", "MDICONTROLS",
                                               "MDICONTROLS"}));
    const auto& help1 = *skin.SysButtons[0];
    EXPECT_EQ(help1.XCoord, 0);  // no maximize button before it
    EXPECT_EQ(help1.YCoord, 0);
    EXPECT_EQ(help1.FrameCount, 3);  // 60 x 20
    const auto& kept = *skin.SysButtons[2];
    EXPECT_EQ(kept.FrameCount, 6);  // no action: always six
    EXPECT_EQ(kept.Visibility1, -1);
    EXPECT_EQ(skin.SysButtons[1]->Visibility1, 0);
    EXPECT_EQ(skin.SysButtons[3]->FrameCount, 6);  // 120 x 20
    EXPECT_EQ(skin.SysButtons[4]->FrameCount, 2);  // given
    EXPECT_EQ(skin.SysButtons[4]->CombineOp, -1);
    EXPECT_TRUE(skin.SysButtons[5]->Image.empty());  // the icon button draws no picture
    EXPECT_EQ(skin.SysButtons[6]->XCoord, 48);
    EXPECT_EQ(skin.SysButtons[6]->YCoord, 4);
}

TEST(SkinModelCaptionButtons, MdiButtonsCutFromMdiControls) {
    MapMembers m;
    m.add("mdi.bmp", bmp24(96, 14));
    const SkinModel withStrip = loadIni("[MDICONTROLS]\nImage=mdi.bmp\n", m);
    const SkinModel without = loadIni("");
    for (const SkinModel* skin : {&withStrip, &without}) {
        ASSERT_EQ(skin->SysButtons.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            const auto& b = *skin->SysButtons[static_cast<size_t>(i)];
            EXPECT_EQ(b.Action, 7 + i);
            EXPECT_EQ(b.Align, 100);
            EXPECT_EQ(b.Visibility, 100);
            EXPECT_EQ(b.Visibility1, 100);
            EXPECT_EQ(b.FrameCount, 4);
        }
    }
    for (int i = 0; i < 3; ++i) {
        const auto& b = *withStrip.SysButtons[static_cast<size_t>(i)];
        EXPECT_EQ(b.Image.width(), 32);
        EXPECT_EQ(b.Image.height(), 14);
        EXPECT_EQ(b.XCoord, 12 * (3 - i));
    }
    EXPECT_TRUE(without.SysButtons[0]->Image.empty());
}

TEST(SkinModelTrack, BuiltInTracksStandInForMissingOnes) {
    MapMembers m;
    m.add("groove.bmp", bmp24(20, 6));
    const SkinModel skin = loadIni("[Track]\nImage=groove.bmp\nFrame=1\nLeftWidth=2\n", m);
    EXPECT_EQ(skin.Track->Image.width(), 20);
    EXPECT_EQ(skin.Track->LeftWidth, 2);
    ASSERT_TRUE(skin.TrackVert);
    EXPECT_EQ(skin.TrackVert->Image.width(), 4);
    EXPECT_EQ(skin.TrackVert->Image.height(), 16);
    EXPECT_EQ(skin.TrackVert->LeftWidth, 3);
    EXPECT_EQ(skin.TrackVert->BottomHeight, 3);
    EXPECT_EQ(skin.TrackVert->Tile, 0);
    EXPECT_EQ(skin.TrackVert->FrameCount, 1);
    const SkinModel bare = loadIni("");
    EXPECT_EQ(bare.Track->Image.width(), 16);
    EXPECT_EQ(bare.Track->Image.height(), 4);
}

TEST(SkinModelColours, DefaultsAreSystemReferencesAndMenubarFollowsButtonFace) {
    const SkinModel bare = loadIni("");
    EXPECT_EQ(bare.Colours[kWindowTextSlot], 0xFF000008u);
    EXPECT_EQ(bare.Colours[kButtonFaceSlot], 0xFF00000Fu);
    EXPECT_EQ(bare.Colours[kScrollbarSlot], 0xFF000000u);
    EXPECT_EQ(bare.Colours[kMenubarSlot], 0xFF00000Fu);
    EXPECT_EQ(bare.Colours[kTitleTextNoActiveSlot], 0xFF000013u);
    EXPECT_EQ(bare.Colours[kButtonDkShadowSlot], 0xFF000015u);
    EXPECT_EQ(bare.Colours[9], 0u);
    EXPECT_EQ(bare.Colours[10], 0u);
    for (bool given : bare.Colours.given) EXPECT_FALSE(given);

    const SkinModel skin = loadIni("[Colours]\nbuttonface=10 20 30\nMenu=1,2,3,\nHilight=\n");
    EXPECT_EQ(skin.Colours[kButtonFaceSlot], rgb(10, 20, 30));
    EXPECT_TRUE(skin.Colours.given[kButtonFaceSlot]);
    EXPECT_EQ(skin.Colours[kMenubarSlot], rgb(10, 20, 30));  // read after ButtonFace
    EXPECT_FALSE(skin.Colours.given[kMenubarSlot]);
    EXPECT_EQ(skin.Colours[kMenuSlot], rgb(1, 2, 3));
    EXPECT_FALSE(skin.Colours.given[kHilightSlot]);  // an empty value is no value
}

TEST(SkinModelColours, ExtraAndCustomColours) {
    const SkinModel skin = loadIni(
        "[Colours]\n[ColourA]\ncolor=1 2 3\n[Other]\n[colourB]\n[Customcolors]\nColor0=4 5 6\nColor9=7 8 9\n");
    EXPECT_EQ(skin.ExtraColours, (std::vector<Colour>{rgb(1, 2, 3), 0xFF000008u}));
    EXPECT_EQ(skin.CustomColours[0], rgb(4, 5, 6));
    EXPECT_EQ(skin.CustomColours[5], kWhite);
    EXPECT_EQ(skin.CustomColours[9], rgb(7, 8, 9));
}

TEST(SkinModelDerived, CaptionColourComesFromTheTopBorderElseButtonFace) {
    MapMembers m;
    m.add("top.bmp", bmp24(30, 52, rgb(104, 64, 186)));
    EXPECT_EQ(loadIni("[Personality]\nTop=top.bmp\nTopFrame=2\n", m).Colours[kCaptionColourSlot], rgb(104, 64, 186));
    EXPECT_EQ(loadIni("[Colours]\nButtonFace=1 2 3\n").Colours[kCaptionColourSlot], rgb(1, 2, 3));
}

TEST(SkinModelDerived, ToolbarGradientRunsFromLightFaceToTheCaptionsTint) {
    // A saturated caption (saturation 255): end = blend(c, white, (5625 - 6375) / 140 + 50 = 45).
    MapMembers m;
    m.add("top.bmp", bmp24(30, 20, rgb(200, 0, 0)));
    const SkinModel skin = loadIni("[Personality]\nTop=top.bmp\n[Colours]\nButtonFace=100 100 100\n", m);
    ASSERT_TRUE(skin.Toolbar);
    ASSERT_EQ(skin.Toolbar->Image.width(), 10);
    ASSERT_EQ(skin.Toolbar->Image.height(), 40);
    const Colour start = blend(rgb(100, 100, 100), kWhite, 150);
    const Colour end = blend(rgb(200, 0, 0), kWhite, 45);
    EXPECT_EQ(colourOf(skin.Toolbar->Image.at(0, 0)), start);
    const Colour last = colourOf(skin.Toolbar->Image.at(9, 39));
    EXPECT_NEAR(redOf(last), redOf(end), 1);
    EXPECT_NEAR(greenOf(last), greenOf(end), 1);
    // A dark caption (no channel above 159) counts as saturation 200.
    const SkinModel dark = loadIni("[Colours]\nButtonFace=60 30 90\n");
    const Colour darkEnd = blend(rgb(60, 30, 90), kWhite, (5625 - 25 * 200) / 140 + 50);
    EXPECT_NEAR(blueOf(colourOf(dark.Toolbar->Image.at(0, 39))), blueOf(darkEnd), 1);
}

TEST(SkinModelDerived, ComboCompositeAndArrow) {
    MapMembers m;
    m.add("edge.bmp", bmp24(40, 10, rgb(1, 1, 1))).add("button.bmp", bmp24(40, 10, rgb(2, 2, 2)));
    const SkinModel skin = loadIni(
        "[SunkEdge]\nImage=edge.bmp\nLeftWidth=2\nTopHeight=3\nRightWidth=2\nBottomHeight=1\n[ComboButton]\nImage=button.bmp\n", m);
    const int s = 16 + 2;
    const TDataSkinBorder& button = *skin.ComboButton;
    EXPECT_EQ(button.Style, 2);
    EXPECT_EQ(button.Image.width(), 4 * kComboCellWidth);
    EXPECT_EQ(button.Image.height(), kComboCellHeight);
    EXPECT_EQ(button.LeftWidth, 2);
    EXPECT_EQ(button.RightWidth, s + 2);
    EXPECT_EQ(button.TopHeight, 3);
    EXPECT_EQ(button.BottomHeight, 1);
    EXPECT_EQ(button.SecondImage.width(), 40);  // the button's own picture, mirrored
    // Cell 2: edge on the left, a magenta hole, the button in the right s pixels.
    EXPECT_EQ(colourOf(button.Image.at(50, 10)), rgb(1, 1, 1));
    EXPECT_EQ(colourOf(button.Image.at(60, 10)), kMagenta);
    EXPECT_EQ(colourOf(button.Image.at(100 - s + 1, 10)), rgb(2, 2, 2));
    // The edge gets the composite mirrored frame by frame: the button on the left of each cell.
    const TDataSkinObject& edge = *skin.SunkEdge;
    EXPECT_EQ(edge.LeftWidth, s + 2);
    EXPECT_EQ(edge.RightWidth, 2);
    EXPECT_EQ(colourOf(edge.Image.at(51, 10)), rgb(2, 2, 2));
    EXPECT_EQ(colourOf(edge.Image.at(99, 10)), rgb(1, 1, 1));
    ASSERT_TRUE(skin.ComboxArrow);
    EXPECT_EQ(skin.ComboxArrow->Image.width(), 4 * kComboArrowSize);
    EXPECT_EQ(skin.ComboxArrow->Image.height(), kComboArrowSize);
    EXPECT_EQ(skin.ComboxArrow->FrameCount, 4);
    EXPECT_EQ(colourOf(skin.ComboxArrow->Image.at(10, 10)), rgb(2, 2, 2));
}

TEST(SkinModelDerived, ComboArrowWithoutEdgeTurnsMagentaIntoButtonFace) {
    MapMembers m;
    m.add("button.bmp", bmp24(8, 4, kMagenta));
    const SkinModel skin = loadIni("[ComboButton]\nImage=button.bmp\n[Colours]\nButtonFace=7 8 9\n", m);
    ASSERT_TRUE(skin.ComboxArrow);
    EXPECT_EQ(colourOf(skin.ComboxArrow->Image.at(3, 3)), rgb(7, 8, 9));
    EXPECT_EQ(skin.ComboxArrow->FrameCount, 4);
    EXPECT_EQ(skin.ComboButton->Style, 0);
    EXPECT_FALSE(loadIni("").ComboxArrow);
}

std::vector<uint8_t> storedSkin(const std::string& ini, uint32_t version = kSkinArchiveVersion) {
    std::vector<uint8_t> archive = writeSkinArchive({{"MenuItem.bmp", bmp24(10, 2)}, {"skin.ini", {ini.begin(), ini.end()}}});
    archive[0] = uint8_t(version);
    archive[1] = uint8_t(version >> 8);
    archive[2] = uint8_t(version >> 16);
    archive[3] = uint8_t(version >> 24);
    return packStoredSkin(archive);
}

TEST(SkinModelArchive, LoadsStoredSkinsAndRefusesOthers) {
    std::vector<std::string> shown;
    const auto sink = [&](const std::string& text) { shown.push_back(text); };
    const SkinLoadResult good = loadStoredSkin(storedSkin("[MenuItem]\nImage=menuitem.bmp\n"), FixedSystem(), sink);
    ASSERT_TRUE(good.loaded) << good.error;
    EXPECT_EQ(good.model.MenuItem->Image.width(), 10);
    EXPECT_TRUE(shown.empty());

    const std::vector<uint8_t> stored = storedSkin("", 10000);
    const SkinLoadResult old = loadStoredSkin(stored, FixedSystem(), sink);
    EXPECT_FALSE(old.loaded);
    EXPECT_EQ(shown, std::vector<std::string>{kOlderSkinMessage});

    const SkinLoadResult damaged = loadStoredSkin(std::vector<uint8_t>{1, 2, 3}, FixedSystem(), sink);
    EXPECT_FALSE(damaged.loaded);
    EXPECT_FALSE(damaged.error.empty());
}

TEST(SkinModelArchive, WithoutDescriptionEverythingTakesItsDefault) {
    const std::vector<uint8_t> archive = writeSkinArchive({{"menuitem.bmp", bmp24(10, 2)}});
    const SkinLoadResult result = loadSkinArchive(archive, FixedSystem());
    ASSERT_TRUE(result.loaded);
    EXPECT_FALSE(result.model.MenuItem);
    EXPECT_TRUE(result.model.Borders[kTopBorder]->Image.empty());
    EXPECT_EQ(result.model.Buttons->LeftWidth, 0);
    EXPECT_EQ(result.model.Colours[kButtonFaceSlot], 0xFF00000Fu);
}

TEST(Skin3rd, DefaultListAndLookup) {
    const auto& lines = defaultSkin3rd();
    EXPECT_EQ(lines.size(), 118u);
    EXPECT_EQ(skin3rdKind(lines, "tlmdgroupbox"), "Groupbox");  // the earlier line wins over Panel
    EXPECT_EQ(skin3rdKind(lines, "TcxButton"), "bitbtn");
    EXPECT_TRUE(sameSkinKind(*skin3rdKind(lines, "TLMDSIMPLEPANEL"), "panel"));
    EXPECT_FALSE(skin3rdKind(lines, "TButton"));
    EXPECT_FALSE(skin3rdKind(lines, "TcxBut"));  // a prefix of a class is not the class
    const std::vector<std::string> own = {"TMine=" + std::string(60, 'k'), "TOff=nil"};
    EXPECT_EQ(skin3rdKind(own, "tmine")->size(), 50u);
    EXPECT_EQ(skin3rdKind(own, "TOff"), kNeverSkinKind);
}

TEST(SkinFormFilter, DeciderAloneDecidesElseCalendarsAndReportClassesAreLeft) {
    EXPECT_TRUE(skinsFormClass("TfrmFlash", kDefaultSkinControls, {}));
    EXPECT_FALSE(skinsFormClass("SysMonthCal32", kDefaultSkinControls, {}));
    EXPECT_TRUE(skinsFormClass("TfrPreview", kDefaultSkinControls, {}));
    EXPECT_FALSE(skinsFormClass("TfrPreview", kDefaultSkinControls | bit(xcFastReport), {}));
    std::string asked;
    const FormSkinDecider decider = [&](const std::string& name, bool& doSkin) {
        asked = name;
        EXPECT_TRUE(doSkin);
        doSkin = name != "TfrmFlash";
    };
    EXPECT_TRUE(skinsFormClass("SysMonthCal32", kDefaultSkinControls, decider));
    EXPECT_FALSE(skinsFormClass("TfrmFlash", kDefaultSkinControls, decider));
    EXPECT_EQ(asked, "TfrmFlash");
}

}  // namespace
}  // namespace velmora::skin
