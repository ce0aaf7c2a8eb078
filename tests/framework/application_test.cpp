// The application object: errors leaving handlers, modal loops, dialog keys, timers.
#include <gtest/gtest.h>

#include "GuiTest.h"
#include "framework/Framework.h"

using namespace vm;
using namespace vm::test;

namespace {

const char* const kDialog = R"(object Dialog: TTestDialog
  Caption = 'Dialog'
  ClientWidth = 240
  ClientHeight = 120
  BorderStyle = bsDialog
  OnClose = DialogClose
  object Failing: TButton
    Left = 8
    Top = 8
    Caption = 'Fail'
    OnClick = FailingClick
  end
  object Ok: TButton
    Left = 8
    Top = 40
    Caption = 'OK'
    Default = True
    ModalResult = mrOk
    OnClick = OkClick
  end
  object Cancel: TButton
    Left = 88
    Top = 40
    Caption = 'Cancel'
    Cancel = True
    ModalResult = mrCancel
  end
  object Edit: TListBox
    Left = 8
    Top = 72
    Width = 100
    Height = 40
    Items.Strings = ('a' 'b')
  end
end
)";

class TTestDialog : public TForm {
public:
    TTestDialog() : TForm(nullptr) {
        RegisterHandler("FailingClick", &TTestDialog::FailingClick);
        RegisterHandler("OkClick", &TTestDialog::OkClick);
        RegisterHandler("DialogClose", &TTestDialog::DialogClose);
        ReadDefinitionText(kDialog, "TTESTDIALOG");
        CreateComplete();
    }
    std::string ClassName() const override { return "TTestDialog"; }
    void FailingClick(TComponent*) {
        ++failingRuns;
        throw EVelmoraError("Error creating system registry entry");
        ++stepsAfterThrow;   // never reached: the handler stops at the failing step
    }
    void OkClick(TComponent*) { ++okClicks; }
    void DialogClose(TComponent*, TCloseAction& action) {
        ++closes;
        if (refuseClose) action = TCloseAction::caNone;
    }
    int failingRuns = 0, stepsAfterThrow = 0, okClicks = 0, closes = 0;
    bool refuseClose = false;
};

} // namespace

TEST(ErrorBox, AnExceptionFromAClickHandlerIsShownAndTheLoopGoesOn) {
    TMessageBoxRecorder boxes;
    Application().SetTitle("Velmora");
    TTestDialog dialog;
    dialog.Show();
    ClickControl(dialog.Component<TButton>("Failing"));
    EXPECT_EQ(dialog.failingRuns, 1);
    EXPECT_EQ(dialog.stepsAfterThrow, 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Error creating system registry entry");
    EXPECT_EQ(boxes.boxes[0].title, "Velmora");
    EXPECT_EQ(boxes.boxes[0].flags, UINT(MB_OK | MB_ICONSTOP));

    // The loop still works: a posted message is handled after the error.
    PostMessageA(dialog.Component<TButton>("Failing").Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return dialog.failingRuns == 2; }));
    EXPECT_EQ(boxes.boxes.size(), 2u);
    Application().SetTitle("");
}

TEST(ErrorBox, NonStandardExceptionsAndOnExceptionAreHandledToo) {
    TMessageBoxRecorder boxes;
    TForm form(nullptr);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetBounds(0, 0, 50, 20);
    label->OnClick = [](TComponent*) { throw 42; };
    form.Show();
    ClickControl(*label);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "An unexpected error occurred");

    std::string seen;
    Application().OnException = [&](const std::exception* e) { seen = e ? e->what() : "?"; };
    label->OnClick = [](TComponent*) { throw EVelmoraError("custom"); };
    ClickControl(*label);
    Application().OnException = nullptr;
    EXPECT_EQ(seen, "custom");
    EXPECT_EQ(boxes.boxes.size(), 1u) << "OnException replaces the box";
}

TEST(ErrorBox, AFailingOnCreateIsReportedAndTheFormStillOpens) {
    TMessageBoxRecorder boxes;
    struct TFailingForm : TForm {
        TFailingForm() : TForm(nullptr) {
            OnCreate = [this](TComponent*) {
                ++steps;
                throw EVelmoraError("Cannot create file \"C:\\x\\flash.ocx\".");
            };
            CreateComplete();
        }
        int steps = 0;
    } form;
    EXPECT_EQ(form.steps, 1);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Cannot create file \"C:\\x\\flash.ocx\".");
    form.Show();
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
}

TEST(ModalLoop, AButtonsModalResultEndsTheLoopAndOtherWindowsWait) {
    TForm mainForm(nullptr);
    mainForm.Show();
    TTestDialog dialog;
    bool mainDisabledWhileModal = false;
    // Press OK from inside the modal loop, the way a user's click arrives.
    PostMessageA(dialog.Component<TButton>("Ok").Handle(), BM_CLICK, 0, 0);
    dialog.Component<TButton>("Ok").OnClick = [&](TComponent*) {
        mainDisabledWhileModal = !IsWindowEnabled(mainForm.Handle());
        EXPECT_TRUE(dialog.Modal());
    };
    int result = dialog.ShowModal();
    EXPECT_EQ(result, mrOk);
    EXPECT_TRUE(mainDisabledWhileModal);
    EXPECT_TRUE(IsWindowEnabled(mainForm.Handle()));
    EXPECT_FALSE(IsWindowVisible(dialog.Handle()));
    EXPECT_FALSE(dialog.Modal());
    EXPECT_EQ(dialog.closes, 1);
}

TEST(ModalLoop, CloseGivesCancelAndOnCloseMayRefuse) {
    TTestDialog dialog;
    dialog.refuseClose = true;
    PostMessageA(dialog.Handle(), WM_CLOSE, 0, 0);   // refused: the loop goes on
    auto& failing = dialog.Component<TButton>("Failing");
    failing.OnClick = [&](TComponent*) {
        dialog.refuseClose = false;
        dialog.Close();
    };
    PostMessageA(failing.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_EQ(dialog.closes, 2) << "asked once (refused), then again";
}

TEST(ModalLoop, ShowingAVisibleFormModallyIsAnError) {
    TTestDialog dialog;
    dialog.Show();
    EXPECT_THROW(dialog.ShowModal(), EInvalidOperation);
}

TEST(ModalLoop, TerminateEndsTheModalLoopWithCancel) {
    TTestDialog dialog;
    dialog.Component<TButton>("Failing").OnClick = [](TComponent*) { Application().Terminate(); };
    PostMessageA(dialog.Component<TButton>("Failing").Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_TRUE(Application().Terminated());
    Application().Initialize();   // later tests run loops again
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
}

TEST(DialogKeys, EnterClicksTheDefaultButtonEscapeTheCancelButton) {
    TTestDialog dialog;
    dialog.Show();
    auto& list = dialog.Component<TListBox>("Edit");
    list.SetFocus();
    PressKey(list.Handle(), VK_RETURN, '\r');
    EXPECT_EQ(dialog.okClicks, 1);
    EXPECT_EQ(dialog.ModalResult(), mrOk);
    dialog.SetModalResult(mrNone);
    PressKey(list.Handle(), VK_ESCAPE, 27);
    EXPECT_EQ(dialog.ModalResult(), mrCancel);
}

TEST(DialogKeys, TabMovesAlongTheTabOrder) {
    TTestDialog dialog;
    dialog.Show();
    auto& ok = dialog.Component<TButton>("Ok");
    auto& cancel = dialog.Component<TButton>("Cancel");
    ok.SetFocus();
    ASSERT_TRUE(ok.Focused());
    PressKey(ok.Handle(), VK_TAB);
    EXPECT_TRUE(cancel.Focused());
    PressKey(cancel.Handle(), VK_TAB);
    EXPECT_TRUE(dialog.Component<TListBox>("Edit").Focused());
    PressKey(dialog.Component<TListBox>("Edit").Handle(), VK_TAB);
    EXPECT_TRUE(dialog.Component<TButton>("Failing").Focused()) << "wraps to the first";
}

TEST(Timers, FireRepeatedlyOrOnceAndReportErrors) {
    TMessageBoxRecorder boxes;
    TComponent owner(nullptr);
    auto* repeating = new TTimer(&owner);
    int ticks = 0;
    repeating->SetInterval(10);
    repeating->OnTimer = [&](TComponent*) { ++ticks; };
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
    repeating->SetEnabled(false);

    auto* once = new TTimer(&owner);
    once->SetOneShot(true);
    once->SetInterval(10);
    int fired = 0;
    once->OnTimer = [&](TComponent*) {
        ++fired;
        throw EVelmoraError("timer failed");
    };
    EXPECT_TRUE(PumpUntil([&] { return fired == 1; }));
    EXPECT_FALSE(once->Enabled());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "timer failed");
    // Another timer proves time passed without the one-shot firing again.
    int later = 0;
    repeating->OnTimer = [&](TComponent*) { ++later; };
    repeating->SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return later >= 3; }));
    EXPECT_EQ(fired, 1);
}

TEST(Services, MessageBoxAndShellSeamsRecordExactCalls) {
    TMessageBoxRecorder boxes(IDCANCEL);
    TShellRecorder shell;
    EXPECT_EQ(ShowInformation("line 1\rline 2"), IDCANCEL);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].title, "Information");
    EXPECT_EQ(boxes.boxes[0].text, "line 1\rline 2");
    EXPECT_EQ(boxes.boxes[0].flags, UINT(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(ShellService().Execute(nullptr, "", "https://example.org", "", "", SW_SHOW), 42);
    ASSERT_EQ(shell.executed.size(), 1u);
    EXPECT_EQ(shell.executed[0].file, "https://example.org");
    EXPECT_EQ(shell.executed[0].show, SW_SHOW);
    EXPECT_EQ(ShellService().RunProgram("regsvr32 /s \"C:\\a b\\flash.ocx\"", SW_HIDE), 33u);
    EXPECT_EQ(shell.commands.at(0), "regsvr32 /s \"C:\\a b\\flash.ocx\"");
}

TEST(ModalLoop, ReleasingAModalFormEndsItsLoopBeforeFreeingIt) {
    struct TGone : TComponent {
        bool* flag;
        TGone(TComponent* owner, bool* f) : TComponent(owner), flag(f) {}
        ~TGone() override { *flag = true; }
    };
    bool freed = false;
    auto* dialog = new TTestDialog;
    new TGone(dialog, &freed);
    dialog->Component<TButton>("Failing").OnClick = [dialog](TComponent*) { dialog->Release(); };
    PostMessageA(dialog->Component<TButton>("Failing").Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_FALSE(freed) << "still alive when ShowModal returns";
    EXPECT_TRUE(PumpUntil([&] { return freed; }));
}

TEST(FormLifetime, NoEventsReachHandlersWhileAFormIsDestroyed) {
    int exits = 0, deactivations = 0, clicks = 0;
    {
        TForm other(nullptr);
        other.Show();
        auto* form = new TTestDialog;
        form->Show();
        auto& list = form->Component<TListBox>("Edit");
        list.SetFocus();
        ASSERT_TRUE(list.Focused());
        list.OnExit = [&](TComponent*) { ++exits; };
        list.OnClick = [&](TComponent*) { ++clicks; };
        form->OnDeactivate = [&](TComponent*) { ++deactivations; };
        SetActiveWindow(form->Handle());
        delete form;
        PumpPending();
    }
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(deactivations, 0);
    EXPECT_EQ(clicks, 0);
}
