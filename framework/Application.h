#pragma once
// TApplication: the main form, the message loop and the error handler. An exception that
// leaves an event handler is caught at the window-procedure boundary and handed to
// HandleException, which shows its message in an error box (MB_OK | MB_ICONSTOP, titled
// with the application's title) and returns to the loop.
#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "framework/Component.h"

namespace vm {

class TControl;
class TForm;
class THintWindow;
class TTimer;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;
    std::string ClassName() const override { return "TApplication"; }

    void Initialize();
    // Creates a form owned by the application; the first one becomes the main form.
    template <class T> T* CreateForm() {
        T* form = new T(this);
        if (!mainForm_) mainForm_ = form;
        return form;
    }
    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* form) { mainForm_ = form; }

    // Shows the main form and runs the message loop until Terminate (or the main form closes).
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Handles every waiting message, then returns.
    void ProcessMessages();
    // Waits for and handles one message (the body of the main and modal loops).
    void HandleMessage();

    // The error box for an exception that reached a handler boundary. Never throws.
    void HandleException(const std::exception* error);
    void HandleCurrentException();   // from inside a catch block
    // Replaces the error box (the handler may itself throw nothing).
    std::function<void(const std::exception* error)> OnException;

    int MessageBox(const std::string& text, const std::string& caption, UINT flags);

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    HINSTANCE Instance() const;
    std::string ExeName() const;

    // Called by forms: the one being shown modally (for the owner of new windows and boxes).
    TForm* ActiveModalForm() const { return modalForm_; }
    void SetActiveModalForm(TForm* form) { modalForm_ = form; }

    // Hints: a control with HintEnabled() shows its Hint in a small window after the mouse
    // rested on it for HintPause ms; it goes after HintHidePause ms, on a click, or when the
    // mouse leaves. Called by the controls' mouse handling.
    void HintMouseMove(TControl* control);
    void CancelHint();
    void ControlDestroyed(TControl* control);
    unsigned HintPause() const { return hintPause_; }
    void SetHintPause(unsigned ms) { hintPause_ = ms; }
    unsigned HintHidePause() const { return hintHidePause_; }
    void SetHintHidePause(unsigned ms) { hintHidePause_ = ms; }
    // The window showing the current hint, or nullptr.
    THintWindow* HintWindow() const { return hintWindow_; }

    // Run by window procedures: the handler body, with exceptions routed to HandleException.
    template <class F> void Guard(F&& body) noexcept {
        try { body(); } catch (...) { HandleCurrentException(); }
    }

protected:
    void Notification(TComponent* component, bool removing) override;

private:
    bool ProcessMessage(MSG& msg);
    TForm* mainForm_ = nullptr;
    TForm* modalForm_ = nullptr;
    bool terminated_ = false;
    bool handlingException_ = false;
    std::string title_;
    void ShowHintNow();
    TControl* hintControl_ = nullptr;
    THintWindow* hintWindow_ = nullptr;
    TTimer* hintTimer_ = nullptr;
    bool hintShowing_ = false;
    unsigned hintPause_ = 500, hintHidePause_ = 2500;
};

// The application object of the process (created on first use).
TApplication& Application();

} // namespace vm
