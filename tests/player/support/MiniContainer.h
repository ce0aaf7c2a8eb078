#pragma once
// A minimal COM container for driving our Flash control through its interfaces only, the way a
// host does: a plain host window, a client site with the windowless in-place site, a bind host
// serving files from one folder, an event sink and a property-change sink. The control draws
// into a 32-bit top-down DIB section the container owns; its pixels are what a test reads.
//
// The container counts every reference it hands out (ReferencesHeld) and releases all it took
// in Close(), so a test can check that neither side keeps the other alive.
#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>
#include <urlmon.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "flashhost/ShockwaveFlash.h"
#include "framework/ComPtr.h"

namespace vm::test {

class MiniContainer {
public:
    // One raised event: its dispatch id and its arguments in declaration order, as text.
    struct Event {
        DISPID id;
        std::vector<std::wstring> arguments;
    };

    // A host window and a drawing surface of width x height; the bind host serves relative
    // names from `folder` (a Windows path).
    MiniContainer(int width, int height, std::wstring folder = {});
    ~MiniContainer();
    MiniContainer(const MiniContainer&) = delete;
    MiniContainer& operator=(const MiniContainer&) = delete;

    // Sets the site (before or after IPersistStreamInit::InitNew, as the object's misc status
    // asks), advises the event and property-change sinks, activates the object in place over
    // the whole surface and draws it once. On failure everything taken is given back.
    HRESULT Embed(IUnknown* control);
    // Deactivates, unadvises, closes the object, clears its site and releases every reference.
    void Close();

    HWND Window() const { return window_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    IOleObject* Object() const { return object_.Get(); }
    IOleInPlaceObjectWindowless* Windowless() const { return windowless_.Get(); }
    TComPtr<IShockwaveFlash> Flash() const { return object_.Query<IShockwaveFlash>(); }

    // What the container hands the control, for tests that play the control's part.
    IOleClientSite* ClientSite() const;
    IDispatch* EventSink() const;

    // A pixel of the surface, 0x00RRGGBB.
    std::uint32_t Pixel(int x, int y) const;
    // Fills with the background colour and has the control draw (DVASPECT_TRANSPARENT) inside
    // `area` (null: everything); what Draw returned is kept in lastDrawResult.
    void Redraw(const RECT* area = nullptr);
    void SetBackground(COLORREF colour) { background_ = colour; }

    // Offers a window message to the windowless object (the host window does so for mouse and
    // keyboard messages it receives). A right-button press makes the next GetWindow answer
    // the host window, once: that is when the control may open its context menu.
    LRESULT Forward(UINT message, WPARAM wParam, LPARAM lParam);

    // References the control still holds on the site, the bind host and the event sink.
    LONG ReferencesHeld() const;

    // What the control did to the container, in order.
    std::vector<RECT> invalidations;           // InvalidateRect/InvalidateRgn, null as the whole surface
    std::vector<Event> events;                 // through the events connection point
    // Called with each event once it is recorded: a test answers the control from here, as
    // a container's handler does (SetReturnValue inside FlashCall).
    std::function<void(const Event&)> onEvent;
    std::vector<DISPID> changedProperties;     // IPropertyNotifySink::OnChanged
    std::vector<std::wstring> requestedNames;  // IBindHost::CreateMoniker
    bool offersBindHost = true;                // false: QueryService finds no bind host
    bool inPlaceActive = false;
    bool windowless = false;                   // activated with ACTIVATE_WINDOWLESS
    bool captured = false;
    bool focused = false;
    int windowsGiven = 0;                      // GetWindow calls answered with the host window
    HRESULT lastDrawResult = S_OK;

private:
    class Site;
    class Events;
    class BindHost;
    friend class Site;
    friend class BindHost;

    void Invalidated(const RECT* rect);
    std::wstring ResolveName(const std::wstring& name) const;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    int width_;
    int height_;
    std::wstring folder_;
    COLORREF background_ = RGB(255, 255, 255);
    HWND window_ = nullptr;
    HDC surfaceDc_ = nullptr;
    HBITMAP surface_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    std::uint32_t* pixels_ = nullptr;
    bool drawing_ = false;
    bool redrawPending_ = false;
    bool extraPass_ = false;
    bool windowRequestPending_ = false;
    int lentDcState_ = 0;

    std::unique_ptr<Site> site_;
    std::unique_ptr<Events> events_;
    std::unique_ptr<BindHost> bindHost_;

    TComPtr<IOleObject> object_;
    TComPtr<IViewObject> view_;
    TComPtr<IOleInPlaceObjectWindowless> windowless_;
    TComPtr<IConnectionPoint> eventsPoint_;
    TComPtr<IConnectionPoint> propertiesPoint_;
    DWORD eventsCookie_ = 0;
    DWORD propertiesCookie_ = 0;
};

} // namespace vm::test
