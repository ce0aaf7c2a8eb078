// Standard controls: layout, painting read back from the window, mouse routing to graphic
// controls, and the selection events of lists.
#include <gtest/gtest.h>

#include "GuiTest.h"
#include "framework/Framework.h"

using namespace vm;
using namespace vm::test;

namespace {

struct TFormFixture : ::testing::Test {
    TForm form{nullptr};
    TPanel* panel = nullptr;
    void SetUp() override {
        form.SetBounds(0, 0, 400, 300);
        form.SetBorderStyle(TBorderStyle::bsNone);
        panel = new TPanel(&form);
        panel->SetParent(&form);
        panel->SetBounds(10, 10, 300, 200);
        panel->SetBevelOuter(TPanelBevel::bvNone);
        form.Show();
    }
    template <class T> T* Add(TWinControl* parent, int l, int t, int w, int h) {
        auto* c = new T(&form);
        c->SetParent(parent);
        c->SetBounds(l, t, w, h);
        return c;
    }
};

std::unique_ptr<TBitmap> Solid(int w, int h, std::uint32_t argb) {
    auto b = std::make_unique<TBitmap>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b->SetPixel(x, y, argb);
    return b;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b); }
std::string Show(const RECT& r) {
    return "{" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," + std::to_string(r.bottom) + "}";
}

} // namespace

TEST(ImageLayout, CentresShrinksProportionallyOrStretches) {
    struct Case { int pw, ph, bw, bh; bool stretch, proportional, center; RECT expected; };
    const Case cases[] = {
        {100, 50, 280, 190, false, true, true, {90, 70, 190, 120}},      // smaller: own size, centred
        {560, 190, 280, 190, false, true, true, {0, 47, 280, 142}},      // too wide: half size
        {280, 380, 280, 190, false, true, true, {70, 0, 210, 190}},      // too tall
        {1000, 1000, 280, 190, false, true, true, {45, 0, 235, 190}},    // both: the tighter ratio wins
        {280, 190, 280, 190, false, true, true, {0, 0, 280, 190}},       // exact fit
        {281, 190, 280, 190, false, true, true, {0, 0, 280, 189}},       // one pixel too wide
        {10000, 1, 280, 190, false, true, true, {0, 94, 280, 95}},       // a line never vanishes
        {16, 16, 793, 49, true, false, false, {0, 0, 793, 49}},          // header band: stretched
        {100, 50, 280, 190, false, false, false, {0, 0, 100, 50}},       // plain: top-left, own size
        {100, 50, 280, 190, true, true, true, {0, 25, 280, 165}},        // stretch + proportional grows
        {0, 0, 280, 190, false, true, true, {0, 0, 0, 0}},               // no picture
    };
    for (const auto& c : cases) {
        RECT got = ImageDestRect(c.pw, c.ph, c.bw, c.bh, c.stretch, c.proportional, c.center);
        EXPECT_TRUE(SameRect(got, c.expected)) << c.pw << "x" << c.ph << " in " << c.bw << "x" << c.bh << ": got "
                                               << Show(got) << " expected " << Show(c.expected);
    }
}

TEST_F(TFormFixture, ImagePaintsItsPictureWhereTheLayoutSays) {
    panel->SetColor(clWhite);
    auto* image = Add<TImage>(panel, 2, 2, 280, 190);
    image->SetCenter(true);
    image->SetProportional(true);
    image->Picture().SetGraphic(Solid(560, 190, 0xFFFF0000));   // red, twice too wide
    TCapturedImage shot = CaptureWindow(panel->Handle());
    // Dest rect in the image: {0,47,280,142}; in the panel: offset by (2,2).
    EXPECT_EQ(shot.At(2 + 140, 2 + 95), 0xFF0000u);
    EXPECT_EQ(shot.At(2 + 1, 2 + 48), 0xFF0000u);
    EXPECT_EQ(shot.At(2 + 140, 2 + 46), 0xFFFFFFu) << "band above the picture keeps the panel colour";
    EXPECT_EQ(shot.At(2 + 140, 2 + 143), 0xFFFFFFu);
    EXPECT_EQ(shot.Count(RECT{2, 2, 282, 192}, 0xFF0000), 280 * 95);
}

TEST_F(TFormFixture, PanelBevelsUseTheSystemColours) {
    panel->SetBevelOuter(TPanelBevel::bvLowered);
    panel->SetBevelInner(TPanelBevel::bvRaised);
    TCapturedImage shot = CaptureWindow(panel->Handle());
    std::uint32_t highlight = ToRgb(GetSysColor(COLOR_BTNHIGHLIGHT)), shadow = ToRgb(GetSysColor(COLOR_BTNSHADOW));
    ASSERT_NE(highlight, shadow);
    EXPECT_EQ(shot.At(5, 0), shadow) << "lowered outer: dark top";
    EXPECT_EQ(shot.At(5, 199), highlight) << "lowered outer: light bottom";
    EXPECT_EQ(shot.At(5, 1), highlight) << "raised inner: light top";
    EXPECT_EQ(shot.At(5, 198), shadow) << "raised inner: dark bottom";
    EXPECT_EQ(shot.At(150, 100), ToRgb(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(panel->FrameWidth(), 2);
}

TEST_F(TFormFixture, TransparentLabelsLeaveTheBackground) {
    panel->SetColor(clRed);
    auto* opaque = Add<TLabel>(panel, 10, 10, 80, 20);
    opaque->SetAutoSize(false);
    opaque->SetCaption("Opaque");
    opaque->SetColor(clBlue);
    auto* clear = Add<TLabel>(panel, 10, 50, 80, 20);
    clear->SetAutoSize(false);
    clear->SetCaption("Clear");
    clear->SetColor(clBlue);
    clear->SetTransparent(true);
    clear->Font().SetColor(clYellow);
    TCapturedImage shot = CaptureWindow(panel->Handle());
    EXPECT_GT(shot.Count(RECT{10, 10, 90, 30}, 0x0000FF), 800);
    EXPECT_EQ(shot.Count(RECT{10, 50, 90, 70}, 0x0000FF), 0);
    EXPECT_GT(shot.Count(RECT{10, 50, 90, 70}, 0xFF0000), 800);
    EXPECT_GT(shot.Count(RECT{10, 50, 90, 70}, 0xFFFF00), 5) << "the text itself is drawn";
}

TEST_F(TFormFixture, LabelsSizeToTheirCaptionRightAlignedOnesGrowLeftwards) {
    auto* left = Add<TLabel>(panel, 10, 10, 10, 10);
    left->SetCaption("Category :");
    int shortWidth = left->Width();
    left->SetCaption("Category : and a longer text");
    EXPECT_GT(left->Width(), shortWidth);
    EXPECT_EQ(left->Left(), 10);
    EXPECT_GT(left->Height(), 8);

    auto* right = Add<TLabel>(panel, 100, 40, 24, 13);
    right->SetAlignment(TAlignment::taRightJustify);
    right->SetCaption("[ 12 ]");
    int rightEdge = right->Left() + right->Width();
    right->SetCaption("[ 12345 ]");
    EXPECT_EQ(right->Left() + right->Width(), rightEdge);

    auto* fixed = Add<TLabel>(panel, 100, 80, 138, 13);
    fixed->SetAutoSize(false);
    fixed->SetAlignment(TAlignment::taRightJustify);
    fixed->SetCaption("Last Updated");
    EXPECT_EQ(fixed->Width(), 138);
    RECT text = fixed->TextRect();
    EXPECT_EQ(text.right, 138);
    EXPECT_GT(text.left, 0);
    fixed->Font().SetStyle(fsBold);
    EXPECT_GE(fixed->TextRect().right - fixed->TextRect().left, text.right - text.left) << "bold is at least as wide";
}

TEST_F(TFormFixture, ResizingAFormRealignsItsAlignedChildren) {
    panel->SetAlign(TAlign::alClient);
    RECT client{};
    GetClientRect(form.Handle(), &client);
    EXPECT_TRUE(SameRect(panel->BoundsRect(), client)) << Show(panel->BoundsRect());
    form.SetBounds(0, 0, 520, 330);
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, 520);
    EXPECT_TRUE(SameRect(panel->BoundsRect(), client)) << Show(panel->BoundsRect());
}

TEST_F(TFormFixture, GraphicControlsGetMouseMessagesInTheirOwnCoordinates) {
    auto* label = Add<TLabel>(panel, 20, 30, 60, 20);
    label->SetAutoSize(false);
    auto* above = Add<TLabel>(panel, 50, 30, 60, 20);   // overlaps the right half, on top
    above->SetAutoSize(false);
    std::vector<POINT> downs, ups;
    int clicks = 0, aboveClicks = 0, panelDowns = 0;
    label->OnMouseDown = [&](TComponent*, TMouseButton, TShiftState, int x, int y) { downs.push_back({x, y}); };
    label->OnMouseUp = [&](TComponent*, TMouseButton, TShiftState, int x, int y) { ups.push_back({x, y}); };
    label->OnClick = [&](TComponent*) { ++clicks; };
    above->OnClick = [&](TComponent*) { ++aboveClicks; };
    panel->OnMouseDown = [&](TComponent*, TMouseButton, TShiftState, int, int) { ++panelDowns; };

    ClickAt(panel->Handle(), 25, 35);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].x, 5);
    EXPECT_EQ(downs[0].y, 5);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(panelDowns, 0);

    ClickAt(panel->Handle(), 60, 35);   // both cover it: the later (topmost) one gets it
    EXPECT_EQ(aboveClicks, 1);
    EXPECT_EQ(clicks, 1);

    // Pressed on the label, released outside it: the label keeps the mouse, but no click.
    MouseDownAt(panel->Handle(), 22, 32);
    EXPECT_EQ(GetCapture(), panel->Handle());
    MouseMoveTo(panel->Handle(), 200, 150, true);
    MouseUpAt(panel->Handle(), 200, 150);
    ASSERT_EQ(ups.size(), 2u);
    EXPECT_EQ(ups[1].x, 180);
    EXPECT_EQ(ups[1].y, 120);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(GetCapture(), nullptr);

    // Hidden or disabled controls are passed over; the panel gets the click itself.
    label->SetEnabled(false);
    above->SetVisible(false);
    ClickAt(panel->Handle(), 25, 35);
    EXPECT_EQ(panelDowns, 1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(TFormFixture, DoubleClicksReachGraphicControlsWithoutASecondClick) {
    auto* image = Add<TImage>(panel, 16, 8, 32, 32);
    int clicks = 0, doubles = 0;
    image->OnClick = [&](TComponent*) { ++clicks; };
    image->OnDblClick = [&](TComponent*) { ++doubles; };
    DoubleClickControl(*image);
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(TFormFixture, ListBoxClickFollowsSelectionByMouseAndKeyboardOnly) {
    auto* list = Add<TListBox>(panel, 8, 8, 200, 150);
    list->SetItemHeight(13);
    list->Items().Assign({"Animals", "Cars", "Games", "Music"});
    std::vector<int> seen;
    list->OnClick = [&](TComponent*) { seen.push_back(list->ItemIndex()); };

    RECT item2 = list->ItemRect(2);
    EXPECT_EQ(item2.bottom - item2.top, 13);
    ClickAt(list->Handle(), 10, (item2.top + item2.bottom) / 2);
    EXPECT_EQ(list->ItemIndex(), 2);

    list->SetFocus();
    SendMessageA(list->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(list->ItemIndex(), 3);
    EXPECT_EQ(seen, (std::vector<int>{2, 3}));

    list->SetItemIndex(0);   // from code: no event
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_THROW(list->SetItemIndex(4), EVelmoraError);
    EXPECT_EQ(list->ItemIndex(), 0);
    list->SetItemIndex(-1);
    EXPECT_EQ(list->ItemIndex(), -1);

    list->SetItemIndex(1);
    list->Items().Add("Sports");   // the window follows its items and keeps the selection
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(list->ItemIndex(), 1);
    list->Items().Insert(0, "Art");   // the selected item moves down with its row
    EXPECT_EQ(list->ItemIndex(), 2);
    list->Items().Delete(0);
    EXPECT_EQ(list->ItemIndex(), 1);
    list->Items().Put(3, "Movies");
    list->Items().Delete(1);          // the selected item goes: no selection
    EXPECT_EQ(list->ItemIndex(), -1);
    std::vector<std::string> shown;
    for (int i = 0; i < SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0); ++i) {
        char text[64] = {};
        SendMessageA(list->Handle(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        shown.push_back(text);
    }
    EXPECT_EQ(shown, list->Items().Items());
    EXPECT_EQ(shown, (std::vector<std::string>{"Animals", "Games", "Movies", "Sports"}));
    list->Items().Clear();
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(list->ItemAtPos(POINT{10, 5}), -1);
}

TEST_F(TFormFixture, ComboBoxDropDownListTextIsTheSelectedItem) {
    auto* combo = Add<TComboBox>(panel, 8, 8, 97, 21);
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    combo->Items().Assign({"Low", "High"});
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->ComboText(), "High");
    EXPECT_EQ(combo->GetProperty("Text").AsText(), "High");
    int changes = 0;
    combo->OnChange = [&](TComponent*) { ++changes; };
    combo->SetFocus();
    SendMessageA(combo->Handle(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(combo->ComboText(), "Low");
    EXPECT_EQ(changes, 1);
    combo->SetComboText("High");
    EXPECT_EQ(combo->ItemIndex(), 1);
    combo->SetComboText("Medium");   // not an item: a list shows only items
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_LT(combo->Height(), 40) << "the control's height is the closed box, not the open list";
}

TEST_F(TFormFixture, CheckBoxTogglesOnClickOnlyForTheUser) {
    auto* check = Add<TCheckBox>(panel, 8, 8, 150, 17);
    check->SetCaption("Show at start-up");
    check->SetChecked(true);
    int clicks = 0;
    check->OnClick = [&](TComponent*) { ++clicks; };
    EXPECT_TRUE(check->Checked());
    EXPECT_EQ(clicks, 0);
    SendMessageA(check->Handle(), BM_CLICK, 0, 0);
    EXPECT_FALSE(check->Checked());
    EXPECT_EQ(clicks, 1);
    check->DestroyHandle();
    EXPECT_FALSE(check->Checked()) << "state outlives the window";
    check->HandleNeeded();
    EXPECT_EQ(SendMessageA(check->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(TFormFixture, CursorOfAGraphicControlShowsOverIt) {
    auto* link = Add<TImage>(panel, 100, 16, 28, 28);
    link->SetCursor(crHandPoint);
    SetCursorPos(0, 0);
    POINT inside = link->ClientToScreen(POINT{5, 5});
    SetCursorPos(inside.x, inside.y);
    SendMessageA(panel->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(panel->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
}

TEST_F(TFormFixture, GraphicControlsInvalidateOnlyTheirPartOfTheParent) {
    auto* image = Add<TImage>(panel, 40, 30, 100, 80);
    UpdateWindow(panel->Handle());
    ValidateRect(panel->Handle(), nullptr);
    image->InvalidatePart(RECT{10, 10, 20, 20});
    RECT dirty;
    ASSERT_TRUE(GetUpdateRect(panel->Handle(), &dirty, FALSE));
    EXPECT_TRUE(SameRect(dirty, RECT{50, 40, 60, 50})) << Show(dirty);
    ValidateRect(panel->Handle(), nullptr);
    image->InvalidatePart(RECT{90, 70, 300, 300});   // clipped to the control
    ASSERT_TRUE(GetUpdateRect(panel->Handle(), &dirty, FALSE));
    EXPECT_TRUE(SameRect(dirty, RECT{130, 100, 140, 110})) << Show(dirty);
}

TEST_F(TFormFixture, LabelsTakeTheirParentsColourUntilGivenOne) {
    panel->SetColor(clWhite);
    auto* label = Add<TLabel>(panel, 0, 0, 10, 10);
    EXPECT_EQ(label->Color(), clWhite);
    panel->SetColor(clAqua);
    EXPECT_EQ(label->Color(), clAqua);
    label->SetColor(clRed);
    panel->SetColor(clWhite);
    EXPECT_EQ(label->Color(), clRed);
    EXPECT_TRUE(panel->GetProperty("ParentBackground").AsBoolean());
    auto* button = Add<TButton>(panel, 0, 0, 80, 40);
    button->SetProperty("MultiLine", TValue::Boolean(true));
    EXPECT_TRUE(GetWindowLongA(button->Handle(), GWL_STYLE) & BS_MULTILINE);
}

TEST_F(TFormFixture, HintsShowAfterAPauseAndGoOnAClick) {
    Application().SetHintPause(10);
    // The real cursor stays off the form: windows appearing under it would otherwise send
    // mouse moves of their own.
    SetCursorPos(1000, 700);
    auto* link = Add<TImage>(panel, 100, 16, 28, 28);
    link->SetHint("Opens our page");
    auto* quiet = Add<TImage>(panel, 150, 16, 28, 28);
    quiet->SetHint("Never shown");
    quiet->SetShowHint(false);
    panel->SetShowHint(true);   // the link follows its parent
    EXPECT_TRUE(link->HintEnabled());
    EXPECT_FALSE(quiet->HintEnabled());

    HWND active = GetActiveWindow();
    MouseMoveTo(panel->Handle(), 110, 20, false);
    ASSERT_TRUE(PumpUntil([] { return Application().HintWindow() && Application().HintWindow()->Active(); }));
    THintWindow* hint = Application().HintWindow();
    EXPECT_EQ(hint->Caption(), "Opens our page");
    EXPECT_EQ(GetActiveWindow(), active) << "a hint never takes the activation";
    EXPECT_TRUE(GetWindowLongA(hint->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    TCapturedImage shot = CaptureWindow(hint->Handle());
    EXPECT_GT(shot.Count(RECT{0, 0, shot.width, shot.height}, ToRgb(GetSysColor(COLOR_INFOBK))), shot.width * shot.height / 2);

    MouseDownAt(panel->Handle(), 110, 20);
    MouseUpAt(panel->Handle(), 110, 20);
    EXPECT_FALSE(hint->Active());

    // Resting on a control whose hint is off shows nothing, even after the pause.
    MouseMoveTo(panel->Handle(), 160, 20, false);
    TTimer later(nullptr);
    bool waited = false;
    later.SetInterval(60);
    later.OnTimer = [&](TComponent*) { waited = true; };
    ASSERT_TRUE(PumpUntil([&] { return waited; }));
    EXPECT_FALSE(hint->Active());

    // A control that goes away takes its pending hint with it.
    MouseMoveTo(panel->Handle(), 110, 20, false);
    delete link;
    waited = false;
    ASSERT_TRUE(PumpUntil([&] { return waited; }));
    EXPECT_FALSE(hint->Active());
    Application().SetHintPause(500);
}
