// TSkinData under Windows: property values of a new component, the SkinStream byte block,
// SkinFile, Active and Loaded without a skin manager, and the catalogue window's definition
// loading our stored skin.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "GuiTest.h"
#include "Skin3rd.h"
#include "SkinArchive.h"
#include "SkinArchiveStored.h"
#include "SkinArchiveWriter.h"
#include "SkinManagerSeam.h"
#include "WinSkinData.h"
#include "framework/WindowDefinition.h"

namespace vm {
namespace {

namespace skin = velmora::skin;

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> OurStream() { return ReadFile(VELMORA_SKIN_STREAM); }

std::vector<std::string> OwnPropertyNames(const TComponent& c) {
    std::vector<std::string> names;
    for (const TPropertyInfo* p : c.Properties().All())
        if (!TComponent::ClassProperties().Find(p->name)) names.push_back(p->name);
    return names;
}

TEST(SkinDataProperties, NewInstanceValuesInPublishedOrder) {
    ASSERT_EQ(SkinManager(), nullptr);
    TSkinData data(nullptr);
    EXPECT_EQ(OwnPropertyNames(data),
              (std::vector<std::string>{"Active", "DisableTag", "SkinControls", "Options", "Skin3rd.Strings", "SkinFile",
                                        "SkinStore", "SkinFormtype", "Version", "MenuUpdate", "MenuMerge", "OnFormSkin",
                                        "OnSkinChanged", "OnSkinControl", "OnBeforeSkinForm", "OnAfterSkinForm",
                                        "SkinStream"}));
    EXPECT_FALSE(data.GetProperty("Active").AsBoolean());
    EXPECT_EQ(data.GetProperty("DisableTag").AsInteger(), 99);
    EXPECT_EQ(data.SkinControls(), 0x1FFFFBu);
    const std::vector<std::string> controls = data.GetProperty("SkinControls").AsSet();
    EXPECT_EQ(controls.size(), 20u);
    EXPECT_EQ(std::count(controls.begin(), controls.end(), "xcMenuItem"), 0);
    EXPECT_EQ(data.GetProperty("Options").AsSet(),
              (std::vector<std::string>{"xoPreview", "xoToolbarBK", "xoCaptionButtonHint"}));
    EXPECT_EQ(data.GetProperty("Skin3rd.Strings").AsStrings(), skin::defaultSkin3rd());
    EXPECT_EQ(data.GetProperty("SkinFile").AsText(), "");
    EXPECT_EQ(data.GetProperty("SkinStore").AsText(), "(none)");
    EXPECT_EQ(data.GetProperty("SkinFormtype").AsIdent(), "sfMainform");
    EXPECT_EQ(data.GetProperty("Version").AsText(), "5.20.05.20");
    EXPECT_TRUE(data.GetProperty("MenuUpdate").AsBoolean());
    EXPECT_FALSE(data.GetProperty("MenuMerge").AsBoolean());
    EXPECT_EQ(data.GetProperty("SkinStream").AsBinary(), (std::vector<uint8_t>{0, 0, 0, 0}));
    // Indicators ignore what is written to them.
    data.SetProperty("Version", TValue::Text("1.0"));
    data.SetProperty("SkinStore", TValue::Text("(Good)"));
    EXPECT_EQ(data.Version(), "5.20.05.20");
    EXPECT_EQ(data.SkinStore(), "(none)");
    EXPECT_FALSE(data.SkinLoaded());
    EXPECT_TRUE(data.Skin().Borders[skin::kTopBorder]);  // always there, empty
    EXPECT_NE(data.MenuGlyphs(), nullptr);
    EXPECT_EQ(ImageList_GetImageCount(data.MenuGlyphs()), 4);
}

TEST(SkinDataStream, ReadingLoadsAtOnceAndWritingGivesTheSameBytes) {
    TSkinData data(nullptr);
    const std::vector<uint8_t> stream = OurStream();
    ASSERT_GT(stream.size(), 4u);
    data.SetProperty("SkinStream", TValue::MakeBinary(stream));
    EXPECT_TRUE(data.SkinLoaded()) << data.LoadError();
    EXPECT_EQ(data.GetProperty("SkinStream").AsBinary(), stream);
    EXPECT_NE(data.ButtonFaceBrush(), nullptr);
    EXPECT_EQ(data.Resolve(data.Skin().Colours[skin::kButtonFaceSlot]), skin::rgb(241, 238, 248));

    for (int32_t count : {0, -5}) {
        std::vector<uint8_t> none(4);
        std::memcpy(none.data(), &count, 4);
        TSkinData empty(nullptr);
        empty.SetProperty("SkinStream", TValue::MakeBinary(none));
        EXPECT_FALSE(empty.SkinLoaded());
        EXPECT_TRUE(empty.StoredSkin().empty());
        EXPECT_EQ(empty.WriteSkinStream(), (std::vector<uint8_t>{0, 0, 0, 0}));
    }
    std::vector<uint8_t> cut(stream.begin(), stream.end() - 10);
    TSkinData damaged(nullptr);
    EXPECT_THROW(damaged.SetProperty("SkinStream", TValue::MakeBinary(cut)), EPropertyError);
    EXPECT_FALSE(damaged.SkinLoaded());
}

TEST(SkinDataFile, RunTimeLoadOfAnExistingFile) {
    TSkinData data(nullptr);
    data.SetSkinFile("Z:/no/such/skin.skn");
    EXPECT_FALSE(data.SkinLoaded());
    EXPECT_TRUE(data.StoredSkin().empty());

    data.SetSkinFile(VELMORA_SKIN_FILE);
    ASSERT_TRUE(data.SkinLoaded()) << data.LoadError();
    EXPECT_EQ(data.StoredSkin(), ReadFile(VELMORA_SKIN_FILE));
    EXPECT_EQ(data.Skin().SkinName, "Velmora");
    EXPECT_EQ(data.GetProperty("SkinFile").AsText(), VELMORA_SKIN_FILE);
}

TEST(SkinDataFile, OlderArchiveShowsTheMessageAndLoadsNothing) {
    std::vector<uint8_t> archive = skin::writeSkinArchive({{"a.ini", {'[', 'x', ']'}}});
    archive[0] = 0x10;  // version 10000
    archive[1] = 0x27;
    archive[2] = 0;
    const std::vector<uint8_t> stored = skin::packStoredSkin(archive);
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "velmora-old-skin.skn";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(stored.data()), std::streamsize(stored.size()));

    test::TMessageBoxRecorder boxes;
    TSkinData data(nullptr);
    data.SetSkinFile(path);
    DeleteFileA(path.c_str());
    EXPECT_FALSE(data.SkinLoaded());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "This is Older Skin File\rPlease update to new version !");
    EXPECT_EQ(boxes.boxes[0].flags & 0xF, static_cast<UINT>(MB_OK));
}

// Reads a component's properties as a window definition does: loading, then Loaded().
void ApplyAsDefinition(TSkinData& data, const std::string& body) {
    ApplyWindowDefinition(data, ParseWindowDefinition("object SkinData1: TSkinData\n" + body + "end\n", "test"), "test");
}

TEST(SkinDataActive, WithoutASkinActiveTurnsOffAtLoaded) {
    TSkinData data(nullptr);
    ApplyAsDefinition(data, "Active = True\n");
    EXPECT_FALSE(data.Active());
    data.SetActive(true);  // nothing to switch on
    EXPECT_FALSE(data.Active());
    EXPECT_NE(data.CaptionFont(), nullptr);
    // With the main menu skinned, menu items are not skinned apart from it.
    EXPECT_FALSE(skin::has(data.SkinControls(), skin::xcMenuItem));
    EXPECT_TRUE(skin::has(data.SkinControls(), skin::xcSystemMenu));
}

TEST(SkinDataActive, WithOurSkinAndNoManagerNothingIsSkinnedAndNothingFails) {
    TSkinData data(nullptr);
    data.SetSkinFile(VELMORA_SKIN_FILE);
    ApplyAsDefinition(data, "Active = True\nSkinControls = [xcPopupMenu, xcCombo, xcSystemMenu]\n");
    EXPECT_TRUE(data.Active());
    // Without the main menu, the system menu is not skinned either.
    EXPECT_FALSE(skin::has(data.SkinControls(), skin::xcSystemMenu));
    data.SetActive(false);
    EXPECT_FALSE(data.Active());
    data.SetActive(true);
    EXPECT_TRUE(data.Active());
}

TEST(SkinDataFilter, OnFormSkinDecidesAlone) {
    TSkinData data(nullptr);
    EXPECT_FALSE(data.FormFilter(nullptr, "SysMonthCal32"));
    EXPECT_TRUE(data.FormFilter(nullptr, "TfrmFlash"));
    data.OnFormSkin = [](TComponent*, const std::string& name, bool& doSkin) { doSkin = name == "SysMonthCal32"; };
    EXPECT_TRUE(data.FormFilter(nullptr, "SysMonthCal32"));
    EXPECT_FALSE(data.FormFilter(nullptr, "TfrmFlash"));
}

// The catalogue window's definition as the program carries it.
TEST(CatalogueSkinData, DefinitionHoldsOurSkinWithEveryElement) {
    std::ifstream in(VELMORA_CATALOGUE_DEFINITION, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(text.empty());
    const TDefinitionObject form = ParseWindowDefinition(text, "TfrmFlash.vfm");
    const auto found = std::find_if(form.children.begin(), form.children.end(),
                                    [](const TDefinitionObject& child) { return child.name == "SkinData1"; });
    ASSERT_NE(found, form.children.end());
    EXPECT_EQ(found->className, "TSkinData");

    TSkinData data(nullptr);
    ApplyWindowDefinition(data, *found, "TfrmFlash.vfm");
    ASSERT_TRUE(data.SkinLoaded()) << data.LoadError();
    EXPECT_TRUE(data.Active());
    EXPECT_EQ(data.StoredSkin(), ReadFile(VELMORA_SKIN_FILE));
    EXPECT_EQ(data.Options(), skin::kDefaultSkinOptions);
    EXPECT_EQ(data.SkinControls(), skin::kDefaultSkinControls);
    EXPECT_EQ(data.Skin3rd(), skin::defaultSkin3rd());
    EXPECT_EQ(data.SkinStore(), "(none)");  // "(Good)" only while designing

    const skin::SkinModel& s = data.Skin();
    EXPECT_TRUE(s.Problems.empty());
    for (const skin::TDataSkinObject* e : s.Elements()) {
        if (e->Image.empty()) continue;  // the caption's icon button draws no picture
        EXPECT_NE(data.BitmapOf(e->Image), nullptr) << e->Name;
    }
    const skin::TDataSkinObject* used[] = {s.Borders[skin::kTopBorder].get(), s.Buttons.get(), s.ComboButton.get(),
                                           s.ComboxArrow.get(), s.MenuItem.get(), s.MenuBackground.get(),
                                           s.Scrollbar.get(), s.VertScrollThumb.get(), s.GroupBoxEdge.get(),
                                           s.Toolbar.get()};
    for (const skin::TDataSkinObject* e : used) {
        ASSERT_NE(e, nullptr);
        EXPECT_NE(data.BitmapOf(e->Image), nullptr) << e->Name;
    }
    for (int action : {0, 1, 2, 4}) EXPECT_NE(data.BitmapOf(s.sysButtonWithAction(action)->Image), nullptr);
    EXPECT_NE(data.BitmapOf(s.Buttons->CheckImage), nullptr);
    // The bitmap holds the picture's pixels.
    HBITMAP top = data.BitmapOf(s.Borders[skin::kTopBorder]->Image);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectA(top, sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmWidth, s.Borders[skin::kTopBorder]->Image.width());
    EXPECT_EQ(static_cast<const uint32_t*>(dib.dsBm.bmBits)[0] & 0xFFFFFF, s.Borders[skin::kTopBorder]->Image.at(0, 0) & 0xFFFFFF);
}

TEST(CatalogueSkinData, BuiltInTrackFromTheResources) {
    TWinSkinSystem system;
    const skin::PixelImage track = system.builtInBitmap("TRACK");
    EXPECT_EQ(track.width(), 16);
    EXPECT_EQ(track.height(), 4);
    const skin::PixelImage vertical = system.builtInBitmap("TRACKVERT");
    EXPECT_EQ(vertical.width(), 4);
    EXPECT_EQ(vertical.height(), 16);
    EXPECT_TRUE(system.builtInBitmap("NOSUCHBITMAP").empty());
}

}  // namespace
}  // namespace vm
