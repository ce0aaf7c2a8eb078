#pragma once
// How a test Flash control behaves: set per test, before the host creates the control
// (TestFlashControl::Defaults()) or on a live instance (TestFlashControl::Script()).
#include <windows.h>
#include <ole2.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vm::test {

struct FlashScript {
    // Creation through the class factory fails with this result (REGDB_E_CLASSNOTREG: the
    // class is not available).
    std::optional<HRESULT> creationFailure;

    // GetMiscStatus(DVASPECT_CONTENT); the default is what a windowless Flash control reports.
    DWORD miscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
                       OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
    // Interfaces the control refuses in QueryInterface, by name: "IOleObject",
    // "IOleInPlaceObject", "IOleInPlaceActiveObject", "IViewObject", "IPersistStreamInit",
    // "IOleControl", "IConnectionPointContainer", "IShockwaveFlash" (IDispatch as well).
    std::set<std::string> refusedInterfaces;
    // Connection points FindConnectionPoint does not know: "IPropertyNotifySink", "Events".
    std::set<std::string> missingConnectionPoints;
    // Any method of the control, by the name the call log gives it, fails with this result
    // after it has been recorded (e.g. {"GetMiscStatus", E_FAIL}).
    std::map<std::string, HRESULT> failures;

    // DoVerb(OLEIVERB_INPLACEACTIVATE): whether the control activates in place at all, whether
    // it asks for windowless activation, and whether it reports through OnInPlaceActivateEx
    // (else OnInPlaceActivate).
    bool activatesInPlace = true;
    bool windowless = true;
    bool usesActivateEx = true;

    // GetExtent(DVASPECT_CONTENT), HIMETRIC.
    SIZEL extent{14552, 10583};  // 550 x 400 pixels at 96 dpi

    // FlashVersion: major version in the high 16 bits.
    long flashVersion = 6L << 16;
    // CallFunction's reply.
    std::wstring callFunctionReply = L"<string>ok</string>";

    // IDispatch::Invoke of this dispatch id fails. With a description the failure is raised as
    // an exception (DISP_E_EXCEPTION, the EXCEPINFO filled with this description and code).
    struct InvokeFailure {
        HRESULT result = DISP_E_EXCEPTION;
        std::wstring description;
    };
    std::map<DISPID, InvokeFailure> invokeFailures;

    // What Draw paints: `area` (relative to the top-left corner of the rectangle it draws into:
    // the bounds it is given, or its in-place rectangle when bounds is null) filled with
    // `colour`, clipped to that rectangle. Nothing else of the DC is touched. Without a paint
    // Draw paints nothing.
    struct Paint {
        RECT area;
        COLORREF colour;
    };
    std::optional<Paint> paint;
    HRESULT drawResult = S_OK;

    // IPersistStreamInit::Save writes these bytes.
    std::vector<BYTE> savedState{'T', 'F', 'C', '1'};

    // LoadMovie fetches its URL through the host's IBindHost, as the real control does.
    bool fetchOnLoadMovie = true;
    // OnWindowMessage(WM_RBUTTONDOWN) asks the windowless site for a window (for a context
    // menu, which is not opened).
    bool contextMenuOnRightClick = true;
    // What OnWindowMessage returns (S_OK: handled; S_FALSE: not handled).
    HRESULT windowMessageResult = S_OK;
};

} // namespace vm::test
