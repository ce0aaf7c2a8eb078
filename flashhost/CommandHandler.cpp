#include "flashhost/CommandHandler.h"

#include <map>
#include <utility>

#include "framework/Application.h"
#include "framework/Errors.h"

namespace vm {

namespace {
std::map<UINT_PTR, TsfFSCommandMailbox*>& LiveMailboxes() {
    static std::map<UINT_PTR, TsfFSCommandMailbox*> live;
    return live;
}

UINT_PTR NextMailboxId() {
    static UINT_PTR last = 0;
    if (++last == 0) ++last;   // 0 means "nobody" in a message
    return last;
}

constexpr const wchar_t* kWindowClass = L"TsfCommandHandlerWindow";
} // namespace

TsfFSCommandMailbox::TsfFSCommandMailbox() : id_(NextMailboxId()) { LiveMailboxes()[id_] = this; }

TsfFSCommandMailbox::~TsfFSCommandMailbox() { LiveMailboxes().erase(id_); }

TsfFSCommandMailbox* TsfFSCommandMailbox::Find(UINT_PTR id) {
    auto found = LiveMailboxes().find(id);
    return found == LiveMailboxes().end() ? nullptr : found->second;
}

void TsfFSCommandMailbox::Post(const std::wstring& command, const std::wstring& args) {
    pendingCommand_ = command;
    pendingArgs_ = args;
    // A failed post keeps the pair; the next delivery for this mailbox hands it over.
    PostMessageW(CommandHandler().Handle(), WM_FSCOMMAND, id_, 0);
}

void TsfFSCommandMailbox::Deliver() {
    // The pair is taken out before the application runs: its handler may post a new command
    // (which must survive) or destroy the player, and this one must not be handed over twice.
    std::wstring command = std::exchange(pendingCommand_, {});
    std::wstring args = std::exchange(pendingArgs_, {});
    if (!OnDeliver) return;
    // The application's errors go to its error box and never leave the window procedure.
    Application().Guard([&] {
        TDelivery deliver = OnDeliver;   // survives the mailbox going away inside the call
        deliver(command, args);
    });
}

TsfCommandHandler::TsfCommandHandler() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);   // already registered when a handler existed before
    window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (!window_) RaiseLastOSError("Creating the FSCommand window");
}

TsfCommandHandler::~TsfCommandHandler() { DestroyWindow(window_); }

LRESULT CALLBACK TsfCommandHandler::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_FSCOMMAND) return DefWindowProcW(window, message, wParam, lParam);
    if (TsfFSCommandMailbox* mailbox = TsfFSCommandMailbox::Find(wParam)) mailbox->Deliver();
    return 0;
}

TsfCommandHandler& CommandHandler() {
    static TsfCommandHandler handler;
    return handler;
}

} // namespace vm
