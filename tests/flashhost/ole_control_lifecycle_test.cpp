// The container's life with its hosted object: creation (and an object that cannot be created),
// connection, in-place activation, bounds, persisted state and destruction with every
// reference given back.
#include <gtest/gtest.h>

#include <olectl.h>

#include "HostFixture.h"
#include "flashhost/OleErrors.h"
#include "flashhost/sf_bitmap.h"

namespace vm::test {
namespace {

using Lifecycle = HostFixture;

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

TEST_F(Lifecycle, AnObjectThatCannotBeCreatedLeavesAnInertControl) {
    TestFlashControl::Defaults().creationFailure = REGDB_E_CLASSNOTREG;
    TsfFlashPlayer* player = nullptr;
    ASSERT_NO_THROW(player = &AddPlayer());
    EXPECT_TRUE(player->ControlUnavailable());
    EXPECT_EQ(TestFlashControl::LastInstance(), nullptr);
    // Writes are ignored, reads are empty, commands do nothing.
    EXPECT_NO_THROW(player->SetQuality2(L"High"));
    EXPECT_TRUE(player->ReadProperty(FlashDispId::Quality2).Empty());
    EXPECT_EQ(player->Quality2(), L"");
    EXPECT_FALSE(player->Playing());
    EXPECT_NO_THROW(player->Play());
    EXPECT_NO_THROW(player->SetMovie(L"C:\\none.swf"));
    EXPECT_EQ(player->CallFunction(L"<invoke name=\"x\"/>"), L"");
    // Messages go to the framework alone, and painting draws nothing.
    int clicks = 0;
    player->OnClick = [&](TComponent*) { ++clicks; };
    ClickControl(*player);
    EXPECT_EQ(clicks, 1);
    delete player;
}

TEST_F(Lifecycle, ConstructionConnectsAndActivatesWindowlessInTheOrderOfARealHost) {
    TsfFlashPlayer& player = AddPlayer();
    TestFlashControl& flash = Flash();
    const FlashCallLog& log = flash.Calls();
    // The object asked for its site first (OLEMISC_SETCLIENTSITEFIRST), so it got it early.
    EXPECT_LT(log.IndexOf("GetMiscStatus"), log.IndexOf("SetClientSite"));
    EXPECT_LT(log.IndexOf("SetClientSite"), log.IndexOf("InitNew"));
    EXPECT_LT(log.IndexOf("InitNew"), log.IndexOf("OnAmbientPropertyChange"));
    EXPECT_EQ(log.First("OnAmbientPropertyChange")->number, DISPID_UNKNOWN);
    EXPECT_EQ(flash.PropertySinkCount(), 1u);
    EXPECT_EQ(flash.EventSinkCount(), 1u);
    // WMode "Transparent" is written before the object is activated.
    const FlashCall* wmode = log.Last("Invoke");
    ASSERT_NE(log.First("DoVerb"), nullptr);
    EXPECT_EQ(log.First("DoVerb")->number, OLEIVERB_INPLACEACTIVATE);
    EXPECT_EQ(log.First("DoVerb")->handle, 0u);   // no parent window: windowless
    EXPECT_TRUE(flash.WindowlessActive());
    EXPECT_EQ(log.Last("OnWindowMessage")->number, static_cast<long>(WM_SETFOCUS));
    EXPECT_EQ(player.WMode(), L"Transparent");
    (void)wmode;
    // Without a parent the position given was the control's bounds at that time.
    EXPECT_TRUE(SameRect(*log.First("DoVerb")->rect, RECT{0, 0, 550, 400}));
}

TEST_F(Lifecycle, AnObjectThatNeverActivatesInPlaceRaisesActivationFailed) {
    TestFlashControl::Defaults().activatesInPlace = false;
    try {
        TsfFlashPlayer player(form.get());
        FAIL() << "activation without an in-place object must raise";
    } catch (const EOleError& e) {
        EXPECT_STREQ(e.what(), "OLE control activation failed");
    }
    EXPECT_TRUE(TestFlashControl::LastInstance()->HeldSiteReferences().empty());
}

TEST_F(Lifecycle, SetBoundsGivesTheObjectItsOwnRectangleAndSizesTheSurfaces) {
    TsfFlashPlayer& player = AddPlayer(20, 10, 200, 150);
    const FlashCall* rects = Flash().Calls().Last("SetObjectRects");
    ASSERT_NE(rects, nullptr);
    EXPECT_TRUE(SameRect(*rects->rect, RECT{0, 0, 200, 150}));   // relative to the control
    EXPECT_TRUE(SameRect(Flash().InPlaceRect(), RECT{0, 0, 200, 150}));
    ASSERT_NE(player.FrameBuffer(), nullptr);
    EXPECT_EQ(player.FrameBuffer()->Width(), 200);
    EXPECT_EQ(player.BackgroundBuffer()->Height(), 150);
}

TEST_F(Lifecycle, ASetBoundsIssuedWhileSetBoundsRunsOnlyMovesTheControl) {
    TsfFlashPlayer& player = AddPlayer(20, 10, 200, 150);
    TestFlashControl& flash = Flash();
    // The object asks for a new layout from inside SetObjectRects; that nested set-bounds
    // (to the object's extent) must not reach the object again.
    const int before = flash.Calls().Count("SetObjectRects");
    flash.OnCall = [&](const FlashCall& call) {
        if (call.name == "SetObjectRects") flash.ClientSite()->RequestNewObjectLayout();
    };
    player.SetBounds(5, 5, 120, 90);
    flash.OnCall = nullptr;
    // Two SetObjectRects (in-place and windowless interface) for the outer call, none nested.
    EXPECT_EQ(flash.Calls().Count("SetObjectRects") - before, 2);
    EXPECT_TRUE(SameRect(Flash().InPlaceRect(), RECT{0, 0, 120, 90}));
}

// The container alone, before anything connects or activates it.
class TBareContainer : public TsfOleControl {
public:
    explicit TBareContainer(TComponent* owner) : TsfOleControl(owner, TsfFlashPlayer::DescribeControl()) {}
};

TEST_F(Lifecycle, AnInvisibleAtRunTimeObjectIsLaidOutSmallAndNeverActivated) {
    TestFlashControl::Defaults().miscStatus = OLEMISC_INVISIBLEATRUNTIME;
    {
        // Not yet connected: its 550 x 400 extent is cut to 32 x 32.
        TBareContainer bare(form.get());
        EXPECT_EQ(bare.Width(), 32);
        EXPECT_EQ(bare.Height(), 32);
        EXPECT_FALSE(bare.Visible());
    }
    TsfFlashPlayer player(form.get());
    EXPECT_FALSE(player.Visible());
    EXPECT_EQ(Flash().Calls().Count("DoVerb"), 0);
}

TEST_F(Lifecycle, ControlDataHeldFromADefinitionIsWrittenBackUnchanged) {
    TsfFlashPlayer& player = AddPlayer();
    const std::vector<std::uint8_t> stored{1, 2, 3, 4, 5, 250};
    player.SetProperty("ControlData", TValue::MakeBinary(stored));
    EXPECT_TRUE(player.HoldsObjectState());
    EXPECT_EQ(player.GetProperty("ControlData").AsBinary(), stored);
    EXPECT_EQ(Flash().Calls().Count("Save"), 0);   // the held block, not the live state
    EXPECT_TRUE(player.HoldsObjectState());
}

TEST_F(Lifecycle, ControlDataWithoutAHeldBlockSavesTheLiveStateAndFreesIt) {
    TsfFlashPlayer& player = AddPlayer();
    Flash().Script().savedState = {'L', 'I', 'V', 'E'};
    EXPECT_EQ(player.GetProperty("ControlData").AsBinary(), (std::vector<std::uint8_t>{'L', 'I', 'V', 'E'}));
    EXPECT_EQ(Flash().Calls().Count("Save"), 1);
    EXPECT_FALSE(player.HoldsObjectState());
}

TEST_F(Lifecycle, DestructionClosesTheObjectAndGivesBackEveryReference) {
    TsfFlashPlayer* player = &AddPlayer();
    player->SetQuality2(L"Low");
    Flash().RaiseReadyStateChange(4);
    Flash().Fetch(L"nothing.gif");
    TestFlashControl* flash = &Flash();
    DestroyPlayerAndExpectNoLeaks(player);
    EXPECT_GE(flash->Calls().Count("Close"), 1);
    EXPECT_EQ(flash->Calls().Last("SetClientSite")->handle, 0u);
    EXPECT_FALSE(flash->InPlaceActive());
    EXPECT_EQ(flash->PropertySinkCount(), 0u);
    EXPECT_EQ(flash->EventSinkCount(), 0u);
    EXPECT_TRUE(flash->Destroyed());
}

}  // namespace
}  // namespace vm::test
