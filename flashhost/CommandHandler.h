#pragma once
// FSCommand delivery. The Flash control raises FSCommand while it is inside its own processing;
// the application must not run from there. So the player's mailbox stores the pair and posts
// WM_FSCOMMAND to the hidden window of the one CommandHandler, and the message loop later
// hands the pair to the player. One pair per mailbox: a burst posted before the loop runs is
// delivered as the last pair followed by empty ones.
#include <windows.h>

#include <functional>
#include <string>

namespace vm {

constexpr UINT WM_FSCOMMAND = 0x08C4;   // 2244, in the range left to applications

// The piece of a Flash player that receives FSCommands. wParam of a post names the mailbox by
// a serial number that is never reused, so a message posted for a mailbox destroyed since is
// dropped even when a new mailbox occupies the same memory.
class TsfFSCommandMailbox {
public:
    using TDelivery = std::function<void(const std::wstring& command, const std::wstring& args)>;

    TsfFSCommandMailbox();
    ~TsfFSCommandMailbox();
    TsfFSCommandMailbox(const TsfFSCommandMailbox&) = delete;
    TsfFSCommandMailbox& operator=(const TsfFSCommandMailbox&) = delete;

    // Stores the pair (replacing one not yet delivered) and posts WM_FSCOMMAND. Never delivers.
    void Post(const std::wstring& command, const std::wstring& args);
    const std::wstring& PendingCommand() const { return pendingCommand_; }
    const std::wstring& PendingArgs() const { return pendingArgs_; }
    UINT_PTR Id() const { return id_; }

    // Set by the player: raises its OnHandleFSCommand. May be empty.
    TDelivery OnDeliver;

    // Called by the handler window for a message naming this mailbox: hands over the pending
    // pair and empties it, whether or not anyone took it.
    void Deliver();
    // The live mailbox with this id, or nullptr (0 and ids of destroyed mailboxes included).
    static TsfFSCommandMailbox* Find(UINT_PTR id);

private:
    UINT_PTR id_;
    std::wstring pendingCommand_;
    std::wstring pendingArgs_;
};

// The hidden message-only window that receives WM_FSCOMMAND on the GUI thread.
class TsfCommandHandler {
public:
    TsfCommandHandler();
    ~TsfCommandHandler();
    TsfCommandHandler(const TsfCommandHandler&) = delete;
    TsfCommandHandler& operator=(const TsfCommandHandler&) = delete;

    HWND Handle() const { return window_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_;
};

// The handler all players share, created on first use on the GUI thread and destroyed at
// program end.
TsfCommandHandler& CommandHandler();

} // namespace vm
