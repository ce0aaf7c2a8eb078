#include "framework/Application.h"

#include "framework/Form.h"
#include "framework/HintWindow.h"
#include "framework/Timer.h"
#include "framework/MessageBoxes.h"
#include "framework/WinControl.h"

namespace vm {

TApplication& Application() {
    // Created on first use and never destroyed: forms still open at exit are left to the
    // system rather than torn down during static destruction.
    static TApplication* app = new TApplication;
    return *app;
}

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() = default;

void TApplication::Initialize() {
    terminated_ = false;
}

HINSTANCE TApplication::Instance() const { return GetModuleHandleA(nullptr); }

std::string TApplication::ExeName() const {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);   // truncated: try a larger buffer
    }
}

void TApplication::Notification(TComponent* component, bool removing) {
    if (removing && component == mainForm_) mainForm_ = nullptr;
    if (removing && component == modalForm_) modalForm_ = nullptr;
}

void TApplication::Run() {
    if (mainForm_) mainForm_->Show();
    while (!terminated_) HandleMessage();
}

void TApplication::Terminate() {
    terminated_ = true;
    PostQuitMessage(0);   // wakes a loop waiting in WaitMessage
}

bool TApplication::ProcessMessage(MSG& msg) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    if (msg.message == WM_KEYDOWN) {
        TWinControl* control = nullptr;
        for (HWND w = msg.hwnd; w && !control; w = GetParent(w)) control = TWinControl::FindControl(w);
        if (TForm* form = control ? control->ParentForm() : nullptr) {
            bool handled = false;
            Guard([&] { handled = form->HandleDialogKey(msg); });
            if (handled) return true;
        }
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

void TApplication::HandleMessage() {
    MSG msg;
    if (!ProcessMessage(msg)) WaitMessage();
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (ProcessMessage(msg)) {}
}

void TApplication::HandleException(const std::exception* error) {
    if (handlingException_) return;   // an error while reporting an error: say it once
    handlingException_ = true;
    try {
        if (OnException) {
            OnException(error);
        } else {
            std::string text = error ? error->what() : "An unexpected error occurred";
            std::string title = title_;
            if (title.empty()) {
                std::string exe = ExeName();
                auto slash = exe.find_last_of("\\/");
                title = exe.substr(slash == std::string::npos ? 0 : slash + 1);
                if (auto dot = title.find_last_of('.'); dot != std::string::npos) title.resize(dot);
            }
            MessageBoxService().Show(GetActiveWindow(), text, title, MB_OK | MB_ICONSTOP);
        }
    } catch (...) {
        // Nothing may leave an error handler.
    }
    handlingException_ = false;
}

void TApplication::HandleCurrentException() {
    try {
        throw;
    } catch (const std::exception& e) {
        HandleException(&e);
    } catch (...) {
        HandleException(nullptr);
    }
}

void TApplication::HintMouseMove(TControl* control) {
    if (control == hintControl_) return;
    CancelHint();
    if (!control || !control->HintEnabled()) return;
    hintControl_ = control;
    if (!hintTimer_) {
        hintTimer_ = new TTimer(this);
        hintTimer_->SetOneShot(true);
        hintTimer_->OnTimer = [this](TComponent*) {
            if (hintShowing_) CancelHint();
            else ShowHintNow();
        };
    }
    hintTimer_->SetEnabled(false);
    hintTimer_->SetInterval(hintPause_);
    hintTimer_->SetEnabled(true);
}

void TApplication::ShowHintNow() {
    if (!hintControl_) return;
    if (!hintWindow_) hintWindow_ = new THintWindow(this);
    POINT cursor;
    GetCursorPos(&cursor);
    // Below the control when the cursor is off it (messages sent by tests), else below the cursor.
    POINT below = hintControl_->ClientToScreen(POINT{0, hintControl_->Height()});
    RECT onScreen{below.x, below.y - hintControl_->Height(), below.x + hintControl_->Width(), below.y};
    POINT at = PtInRect(&onScreen, cursor) ? POINT{cursor.x, cursor.y + 20} : below;
    hintWindow_->ActivateHint(at, hintControl_->Hint());
    hintShowing_ = true;
    hintTimer_->SetInterval(hintHidePause_);
    hintTimer_->SetEnabled(true);
}

void TApplication::CancelHint() {
    hintControl_ = nullptr;
    hintShowing_ = false;
    if (hintTimer_) hintTimer_->SetEnabled(false);
    if (hintWindow_) hintWindow_->ReleaseHint();
}

void TApplication::ControlDestroyed(TControl* control) {
    if (control == hintControl_) CancelHint();
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    return MessageBoxService().Show(GetActiveWindow(), text, caption, flags);
}

} // namespace vm
