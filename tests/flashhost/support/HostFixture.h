#pragma once
// A form with a panel, COM initialised and the test Flash control standing in for the genuine
// one: what every host test starts from. Players are created on the panel, as the playback
// window places its player.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "GuiTest.h"
#include "TestFlashControl.h"
#include "flashhost/FlashPlayer.h"
#include "framework/Framework.h"

namespace vm::test {

// A graphic control that fills itself with one colour: something under a player whose pixels
// must show through exactly where they lie.
class TSolidMark : public TGraphicControl {
public:
    TSolidMark(TComponent* owner, COLORREF colour) : TGraphicControl(owner), colour_(colour) {}
    void Paint(TCanvas& canvas) override {
        canvas.Brush().color = static_cast<TColor>(colour_);
        canvas.FillRect(RECT{0, 0, Width(), Height()});
    }
private:
    COLORREF colour_;
};

class HostFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A player on the panel at (left, top, width, height), activated as the constructor does.
    TsfFlashPlayer& AddPlayer(int left = 20, int top = 10, int width = 200, int height = 150);
    TestFlashControl& Flash() { return *TestFlashControl::LastInstance(); }
    // Frees the player and checks that the control holds no site reference and the host none
    // of the control's.
    void DestroyPlayerAndExpectNoLeaks(TsfFlashPlayer*& player);

    static constexpr COLORREF kPanelColour = RGB(0x20, 0x60, 0xA0);

    std::unique_ptr<TestFlashControl::Registration> registration;
    std::unique_ptr<TForm> form;
    TPanel* panel = nullptr;
};

// Pixels as the window shows them (0x00RRGGBB), for comparing with COLORREF values.
inline std::uint32_t Rgb(COLORREF c) { return ToRgb(c); }

} // namespace vm::test
