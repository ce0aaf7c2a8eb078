#pragma once
// Event types: callable members (object + method) bound as std::function fields of a
// component, e.g. `button->OnClick = [this](TComponent* s) { Button1Click(s); };`, or assigned
// by name from a window definition against the handlers its form registers.
#include <windows.h>

#include <cstdint>
#include <functional>

namespace vm {

class TComponent;

// Shift-key and mouse-button state of a keyboard or mouse event.
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16,
                             ssMiddle = 32, ssDouble = 64 };
using TShiftState = unsigned;
enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// What OnClose asks of a closing form.
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

using TNotifyEvent = std::function<void(TComponent* Sender)>;
using TKeyPressEvent = std::function<void(TComponent* Sender, char& Key)>;
using TKeyEvent = std::function<void(TComponent* Sender, WORD& Key, TShiftState Shift)>;
using TMouseEvent =
    std::function<void(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TComponent* Sender, TShiftState Shift, int X, int Y)>;
using TCloseEvent = std::function<void(TComponent* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TComponent* Sender, bool& CanClose)>;

// One window message as the control message handlers see it.
struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};
// A control's replaceable message handler (the skin engine swaps it and chains to the old one).
using TWndMethod = std::function<void(TMessage& Message)>;

// Framework-private messages. Notifications that Windows sends to a parent (WM_COMMAND,
// WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM...) are reflected to the child control they concern
// as CN_BASE + the original message number.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_RELEASE = CM_BASE + 33;      // deferred deletion of a form (TForm::Release)
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;   // sent to a graphic control the cursor enters
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;   // dialog-key pre-translation, see TApplication

// Modal results.
constexpr int mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
              mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO;

} // namespace vm
