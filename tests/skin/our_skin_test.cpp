// Velmora's own stored skin as the build packs it (skinart -> skinpack), loaded by the model:
// every element the catalogue window and its dialogs are drawn with is there, with the frame
// counts the rules give, and the skin gives every colour the table keys.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "SkinArchiveStored.h"
#include "SkinModel.h"
#include "SkinModelFixtures.h"

namespace velmora::skin {
namespace {

std::vector<uint8_t> readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class OurSkin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::vector<uint8_t> stored = readFile(VELMORA_SKIN_FILE);
        ASSERT_FALSE(stored.empty()) << VELMORA_SKIN_FILE;
        result_ = new SkinLoadResult(loadStoredSkin(stored, test::FixedSystem()));
    }
    static void TearDownTestSuite() { delete result_; }
    const SkinModel& skin() const { return result_->model; }
    static SkinLoadResult* result_;
};
SkinLoadResult* OurSkin::result_ = nullptr;

TEST_F(OurSkin, LoadsWithoutProblems) {
    ASSERT_TRUE(result_->loaded) << result_->error;
    EXPECT_EQ(skin().SkinName, "Velmora");
    for (const std::string& problem : skin().Problems) ADD_FAILURE() << problem;
}

TEST_F(OurSkin, StreamPropertyHoldsTheSkinFile) {
    const std::vector<uint8_t> stream = readFile(VELMORA_SKIN_STREAM);
    EXPECT_EQ(readSkinStreamProperty(stream), readFile(VELMORA_SKIN_FILE));
}

TEST_F(OurSkin, FrameAndCaptionButtons) {
    for (const auto& border : skin().Borders) {
        EXPECT_FALSE(border->Image.empty()) << border->Name;
        EXPECT_EQ(border->FrameCount, 2) << border->Name;  // active, inactive
    }
    EXPECT_EQ(skin().Borders[kLeftBorder]->TopHeight, 26);
    for (int action : {0, 1, 2, 4}) {
        const TDataSkinSysButton* button = skin().sysButtonWithAction(action);
        ASSERT_TRUE(button) << action;
        EXPECT_FALSE(button->Image.empty()) << button->Name;
        EXPECT_EQ(button->FrameCount, 6) << button->Name;
    }
    const TDataSkinSysButton* icon = skin().sysButtonWithAction(3);
    ASSERT_TRUE(icon);
    EXPECT_TRUE(icon->Image.empty());
    // Help takes the maximize button's place.
    EXPECT_EQ(skin().sysButtonWithAction(4)->XCoord, skin().sysButtonWithAction(1)->XCoord);
    for (int action : {7, 8, 9}) EXPECT_FALSE(skin().sysButtonWithAction(action)->Image.empty());
}

TEST_F(OurSkin, ControlElements) {
    const SkinModel& s = skin();
    EXPECT_FALSE(s.Buttons->Image.empty());
    EXPECT_EQ(s.Buttons->Image.width() / s.Buttons->FrameCount, 24);
    EXPECT_EQ(s.Buttons->CheckFrameCount, 12);
    EXPECT_EQ(s.Buttons->RadioFrameCount, 8);
    const std::pair<const TDataSkinObject*, int> framed[] = {
        {s.SunkEdge.get(), 4},       {s.ComboButton.get(), 4},   {s.ExtraImages.get(), 5}, {s.ComboxArrow.get(), 4},
        {s.GroupBoxEdge.get(), 2},   {s.GroupBox.get(), 1},      {s.MenuItem.get(), 5},    {s.MenuBackground.get(), 1},
        {s.MenuBar.get(), 2},        {s.Scrollbar.get(), 23},    {s.HorzScroll.get(), 4},  {s.VertScroll.get(), 4},
        {s.HorzScrollThumb.get(), 3}, {s.VertScrollThumb.get(), 3}, {s.Headerbar.get(), 3}, {s.Progress.get(), 2},
        {s.ProgressChunk.get(), 1},  {s.UpDownHorz.get(), 8},    {s.UpDownVert.get(), 8},  {s.Track.get(), 1},
        {s.TrackVert.get(), 1},      {s.Toolbar.get(), 1}};
    for (const auto& [element, frames] : framed) {
        ASSERT_TRUE(element);
        EXPECT_FALSE(element->Image.empty()) << element->Name;
        EXPECT_EQ(element->FrameCount, frames) << element->Name;
        EXPECT_EQ(element->Image.width() % frames, 0) << element->Name;
    }
    for (const auto& thumb : s.TrackThumbs) {
        ASSERT_TRUE(thumb);
        EXPECT_EQ(thumb->FrameCount, 5) << thumb->Name;
    }
    EXPECT_EQ(s.ComboButton->Style, 2);  // the composite was built
}

TEST_F(OurSkin, EveryKeyedColourIsGiven) {
    for (const SkinColourKey& key : skinColourReadOrder()) {
        EXPECT_TRUE(skin().Colours.given[key.slot]) << key.key;
        EXPECT_FALSE(isSystemColourReference(skin().Colours[key.slot])) << key.key;
    }
    EXPECT_EQ(skin().Colours[kButtonFaceSlot], rgb(241, 238, 248));
    EXPECT_EQ(skin().Title->ActiveTextColour, static_cast<int>(rgb(255, 255, 255)));
}

}  // namespace
}  // namespace velmora::skin
