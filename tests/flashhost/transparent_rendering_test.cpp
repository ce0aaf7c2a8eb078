// What the user sees of a hosted object: its drawing over a snapshot of what lies behind the
// control, exactly in place whatever border the parent has, partial redraws that replace only
// their piece, the background that follows the parent only on a resize or a mode change, and
// the two switches for the right button and the cursor.
#include <gtest/gtest.h>

#include "HostFixture.h"
#include "flashhost/sf_bitmap.h"

namespace vm::test {
namespace {

constexpr COLORREF kMovie = RGB(0x10, 0x20, 0xF0);
constexpr COLORREF kMark = RGB(0xE0, 0x10, 0x10);
constexpr COLORREF kPartial = RGB(0x10, 0xC0, 0x30);

class TransparentRendering : public HostFixture {
protected:
    // Player at (20, 10) 200 x 150 on the panel; a red mark under it at player (20, 20)-(60, 60);
    // the movie paints player (10, 10)-(60, 40).
    TsfFlashPlayer& Scene(bool sunkenPanel) {
        if (sunkenPanel) {
            HWND h = panel->Handle();
            SetWindowLongPtrA(h, GWL_EXSTYLE, GetWindowLongPtrA(h, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
            SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        }
        auto* mark = new TSolidMark(form.get(), kMark);
        mark->SetParent(panel);
        mark->SetBounds(40, 30, 40, 40);
        TestFlashControl::Defaults().paint = FlashScript::Paint{RECT{10, 10, 60, 40}, kMovie};
        TsfFlashPlayer& player = AddPlayer(20, 10, 200, 150);
        PumpPending();
        return player;
    }
    // The panel's client pixel under the player's point (x, y).
    std::uint32_t Seen(const TsfFlashPlayer& player, int x, int y) {
        TCapturedImage image = CaptureWindow(panel->Handle());
        return image.At(player.Left() + x, player.Top() + y);
    }
    // The same pixel as it stands on the window now, without a repaint first.
    std::uint32_t OnScreenNow(const TsfFlashPlayer& player, int x, int y) {
        HDC dc = GetDC(panel->Handle());
        const COLORREF c = GetPixel(dc, player.Left() + x, player.Top() + y);
        ReleaseDC(panel->Handle(), dc);
        return Rgb(c);
    }
    void MarkOnScreen(const TsfFlashPlayer& player, int x, int y, COLORREF colour) {
        HDC dc = GetDC(panel->Handle());
        SetPixel(dc, player.Left() + x, player.Top() + y, colour);
        ReleaseDC(panel->Handle(), dc);
    }
    static std::uint32_t FramePixel(const TsfFlashPlayer& player, int x, int y) {
        return player.FrameBuffer()->Pixels()[y * player.FrameBuffer()->Width() + x] & 0xFFFFFF;
    }
    void ExpectMarkAndMovieInPlace(const TsfFlashPlayer& player) {
        // The movie's rectangle, the mark's edges exactly where the mark lies, the panel elsewhere.
        EXPECT_EQ(FramePixel(player, 15, 15), Rgb(kMovie));
        EXPECT_EQ(FramePixel(player, 19, 50), Rgb(kPanelColour));
        EXPECT_EQ(FramePixel(player, 20, 50), Rgb(kMark));
        EXPECT_EQ(FramePixel(player, 59, 59), Rgb(kMark));
        EXPECT_EQ(FramePixel(player, 60, 50), Rgb(kPanelColour));
        EXPECT_EQ(FramePixel(player, 40, 60), Rgb(kPanelColour));
        EXPECT_EQ(FramePixel(player, 150, 120), Rgb(kPanelColour));
    }
};

TEST_F(TransparentRendering, AFullRedrawShowsTheMovieOverWhatLiesBehindInPlace) {
    TsfFlashPlayer& player = Scene(false);
    ASSERT_EQ(Flash().InvalidateSiteRect(nullptr, FALSE), S_OK);
    ExpectMarkAndMovieInPlace(player);
    // The same frame reached the window inside the object's call.
    EXPECT_EQ(Seen(player, 15, 15), Rgb(kMovie));
    EXPECT_EQ(Seen(player, 60, 50), Rgb(kPanelColour));
}

TEST_F(TransparentRendering, ASunkenParentShowsItsClientContentUnshifted) {
    TsfFlashPlayer& player = Scene(true);
    ASSERT_EQ(Flash().InvalidateSiteRect(nullptr, FALSE), S_OK);
    ExpectMarkAndMovieInPlace(player);
    EXPECT_EQ(Seen(player, 20, 50), Rgb(kMark));
    EXPECT_EQ(Seen(player, 19, 50), Rgb(kPanelColour));
}

TEST_F(TransparentRendering, APartialRedrawReplacesOnlyItsPiece) {
    TsfFlashPlayer& player = Scene(true);
    ASSERT_EQ(Flash().InvalidateSiteRect(nullptr, FALSE), S_OK);   // the first after a resize: whole
    Flash().Script().paint = FlashScript::Paint{RECT{0, 0, 200, 150}, kPartial};
    const RECT piece{100, 60, 140, 100};
    ASSERT_EQ(Flash().InvalidateSiteRect(&piece, FALSE), S_OK);
    // The object drew into the scratch surface at its own size, clipped to the piece.
    const FlashCall* draw = Flash().Calls().Last("Draw");
    ASSERT_NE(draw, nullptr);
    EXPECT_EQ(draw->number, static_cast<long>(DVASPECT_TRANSPARENT));
    ASSERT_TRUE(draw->rect.has_value());
    const RECT whole{0, 0, 200, 150};
    EXPECT_TRUE(EqualRect(&*draw->rect, &whole));
    EXPECT_EQ(FramePixel(player, 100, 60), Rgb(kPartial));
    EXPECT_EQ(FramePixel(player, 139, 99), Rgb(kPartial));
    EXPECT_EQ(FramePixel(player, 140, 99), Rgb(kPanelColour));
    EXPECT_EQ(FramePixel(player, 99, 60), Rgb(kPanelColour));
    EXPECT_EQ(FramePixel(player, 15, 15), Rgb(kMovie));   // outside the piece: the old frame
    EXPECT_EQ(Seen(player, 120, 80), Rgb(kPartial));
}

TEST_F(TransparentRendering, APartialRedrawReachesTheWindowAsItsPieceAlone) {
    TsfFlashPlayer& player = Scene(false);
    ASSERT_EQ(Flash().InvalidateSiteRect(nullptr, FALSE), S_OK);
    ASSERT_EQ(OnScreenNow(player, 15, 15), Rgb(kMovie));
    // Something else on the window where the frame is unchanged: a partial redraw elsewhere
    // copies its piece only, so this stays until the parent repaints.
    const COLORREF stranger = RGB(0x01, 0x02, 0x03);
    MarkOnScreen(player, 15, 15, stranger);
    Flash().Script().paint = FlashScript::Paint{RECT{0, 0, 200, 150}, kPartial};
    const RECT piece{100, 60, 140, 100};
    ASSERT_EQ(Flash().InvalidateSiteRect(&piece, FALSE), S_OK);
    EXPECT_EQ(OnScreenNow(player, 100, 60), Rgb(kPartial));
    EXPECT_EQ(OnScreenNow(player, 139, 99), Rgb(kPartial));
    EXPECT_EQ(OnScreenNow(player, 140, 99), Rgb(kPanelColour));
    EXPECT_EQ(OnScreenNow(player, 15, 15), Rgb(stranger));
    // A full redraw presents the whole frame again.
    ASSERT_EQ(Flash().InvalidateSiteRect(nullptr, FALSE), S_OK);
    EXPECT_EQ(OnScreenNow(player, 15, 15), Rgb(kPartial));
}

TEST_F(TransparentRendering, TheFirstInvalidationAfterAResizeRepaintsEverything) {
    TsfFlashPlayer& player = Scene(false);
    Flash().InvalidateSiteRect(nullptr, FALSE);
    player.SetBounds(20, 10, 180, 140);
    Flash().Script().paint = FlashScript::Paint{RECT{0, 0, 180, 140}, kPartial};
    const RECT small{0, 0, 5, 5};
    Flash().InvalidateSiteRect(&small, FALSE);
    EXPECT_EQ(FramePixel(player, 170, 130), Rgb(kPartial));
    Flash().Script().paint = FlashScript::Paint{RECT{0, 0, 180, 140}, kMovie};
    Flash().InvalidateSiteRect(&small, FALSE);   // now only the piece
    EXPECT_EQ(FramePixel(player, 2, 2), Rgb(kMovie));
    EXPECT_EQ(FramePixel(player, 170, 130), Rgb(kPartial));
}

TEST_F(TransparentRendering, TheBackgroundFollowsTheParentOnlyOnResizeOrModeChange) {
    TsfFlashPlayer& player = Scene(false);
    Flash().InvalidateSiteRect(nullptr, FALSE);
    const COLORREF later = RGB(0x90, 0x90, 0x10);
    panel->SetColor(static_cast<TColor>(later));
    Flash().InvalidateSiteRect(nullptr, FALSE);
    EXPECT_EQ(FramePixel(player, 150, 120), Rgb(kPanelColour));   // the snapshot stands
    player.SetBounds(20, 10, 200, 151);
    Flash().InvalidateSiteRect(nullptr, FALSE);
    EXPECT_EQ(FramePixel(player, 150, 120), Rgb(later));
}

TEST_F(TransparentRendering, AnOpaqueControlShowsItsColourWithSystemColoursResolved) {
    TsfFlashPlayer& player = Scene(false);
    Flash().InvalidateSiteRect(nullptr, FALSE);
    const int draws = Flash().Calls().Count("Draw");
    player.SetTransparent(true);   // no change: nothing happens
    EXPECT_EQ(Flash().Calls().Count("Draw"), draws);
    player.SetColor(clBtnFace);
    player.SetTransparent(false);   // repaints at once
    EXPECT_EQ(Flash().Calls().Count("Draw"), draws + 1);
    EXPECT_EQ(FramePixel(player, 150, 120), Rgb(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(FramePixel(player, 50, 50), Rgb(GetSysColor(COLOR_BTNFACE)));   // no mark behind
    EXPECT_EQ(FramePixel(player, 15, 15), Rgb(kMovie));
}

TEST_F(TransparentRendering, TheRightButtonOpensTheObjectsMenuOnceUnlessDisabled) {
    TsfFlashPlayer& player = Scene(false);
    TestFlashControl& flash = Flash();
    player.Perform(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 30));
    const FlashCall* asked = flash.Calls().Last("Site.GetWindow");
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(asked->result, S_OK);
    EXPECT_EQ(reinterpret_cast<HWND>(asked->handle), panel->Handle());
    HWND again = reinterpret_cast<HWND>(1);
    EXPECT_EQ(flash.WindowlessSite()->GetWindow(&again), E_FAIL);   // once per press
    EXPECT_EQ(again, nullptr);

    player.SetDisableFlashPopup(true);
    const int offered = flash.Calls().Count("OnWindowMessage");
    const int windows = flash.Calls().Count("Site.GetWindow");
    player.Perform(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 30));
    EXPECT_EQ(flash.Calls().Count("OnWindowMessage"), offered);   // withheld from the object
    EXPECT_EQ(flash.Calls().Count("Site.GetWindow"), windows);
    EXPECT_EQ(flash.WindowlessSite()->GetWindow(&again), E_FAIL);
}

TEST_F(TransparentRendering, TheCursorIsTheObjectsOrTheControlsOwn) {
    TsfFlashPlayer& player = Scene(false);
    TestFlashControl& flash = Flash();
    player.Perform(WM_MOUSEMOVE, 0, MAKELPARAM(30, 30));
    const FlashCall* cursor = flash.Calls().Last("OnWindowMessage");
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->number, static_cast<long>(WM_SETCURSOR));
    EXPECT_EQ(cursor->lParam, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));

    player.SetDisableFlashCursor(true);
    player.SetCursor(crHandPoint);
    player.Perform(WM_MOUSEMOVE, 0, MAKELPARAM(31, 30));
    EXPECT_EQ(flash.Calls().Last("OnWindowMessage")->number, static_cast<long>(WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), CursorHandle(crHandPoint));
}

}  // namespace
}  // namespace vm::test
