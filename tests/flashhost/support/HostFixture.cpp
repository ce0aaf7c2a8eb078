#include "HostFixture.h"

namespace vm::test {

void HostFixture::SetUp() {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    TestFlashControl::Reset();
    registration = std::make_unique<TestFlashControl::Registration>();
    ASSERT_EQ(registration->Result(), S_OK);
    form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(TBorderStyle::bsNone);
    form->SetBounds(0, 0, 400, 300);
    panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBevelOuter(TPanelBevel::bvNone);
    panel->SetBounds(10, 10, 320, 240);
    panel->SetColor(static_cast<TColor>(kPanelColour));
    form->Show();
    PumpPending();
}

void HostFixture::TearDown() {
    form.reset();
    // Every test is a leak test: once the players are gone, neither side holds the other.
    for (TestFlashControl* flash : TestFlashControl::Instances()) {
        EXPECT_TRUE(flash->OutstandingReferences().empty()) << "the host kept references on a control";
        EXPECT_TRUE(flash->HeldSiteReferences().empty()) << "a control kept references on its site";
    }
    registration.reset();
    TestFlashControl::Reset();
    OleUninitialize();
}

TsfFlashPlayer& HostFixture::AddPlayer(int left, int top, int width, int height) {
    auto* player = new TsfFlashPlayer(form.get());
    player->SetParent(panel);
    player->SetBounds(left, top, width, height);
    return *player;
}

void HostFixture::DestroyPlayerAndExpectNoLeaks(TsfFlashPlayer*& player) {
    TestFlashControl* flash = TestFlashControl::LastInstance();
    delete player;
    player = nullptr;
    ASSERT_NE(flash, nullptr);
    EXPECT_TRUE(flash->HeldSiteReferences().empty());
    EXPECT_TRUE(flash->OutstandingReferences().empty());
}

} // namespace vm::test
