// How the hosted object becomes visible: the control keeps three surfaces of its own size,
// fills one with what lies behind it (a snapshot of the parent's painting, or its colour), lets
// the object draw over a copy of that through IViewObject::Draw with the transparent aspect,
// and copies the result to its place on the parent. The object's InvalidateRect repaints at
// once, inside the object's call: nothing is queued.
#include "flashhost/OleControl.h"

#include "flashhost/sf_bitmap.h"
#include "framework/Canvas.h"
#include "framework/ControlCanvas.h"
#include "framework/GdiObject.h"
#include "framework/WinControl.h"

namespace vm {

HWND TsfOleControl::ParentWindowHandle() const {
    TWinControl* parent = Parent();
    return parent ? parent->HandleIfAllocated() : nullptr;
}

void TsfOleControl::CaptureBackground() {
    TWinControl* parent = Parent();
    if (!parent || !parent->HandleAllocated() || Loading()) return;
    if (!backgroundBuffer_ || !frameBuffer_ || !frameBuffer_->DC()) return;
    if (!transparent_) {
        backgroundBuffer_->Fill(ColorToPixel(Color(), 255));
        return;
    }
    capturingBackground_ = true;
    struct Clear { bool& flag; ~Clear() { flag = false; } } clear{capturingBackground_};
    HDC dc = backgroundBuffer_->DC();
    // The border the parent's painting starts with; drawing it here shrinks R by its width, so
    // the parent's client point under our corner lands on the buffer's (0, 0).
    RECT r{0, 0, Width(), Height()};
    HWND wnd = parent->HandleIfAllocated();
    if (GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    else if (GetWindowLongPtrA(wnd, GWL_STYLE) & WS_BORDER)
        DrawEdge(dc, &r, BDR_RAISEDOUTER | BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | BF_MONO);
    parent->PaintTo(dc, -Left() - r.left, -Top() - r.top);
}

void TsfOleControl::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    CaptureBackground();
    PaintNow(nullptr);
}

HRESULT TsfOleControl::InvalidateFromObject(const RECT* rect) {
    if (!Parent()) return S_OK;
    const RECT* pending = rect;
    // After a resize the frame surface holds nothing of the new size yet: repaint it all.
    if (sizeChanged_) {
        sizeChanged_ = false;
        pending = nullptr;
    }
    PaintNow(pending);
    return S_OK;
}

void TsfOleControl::PaintNow(const RECT* pending) {
    TControlCanvas canvas(*this);
    if (!canvas.Valid()) return;
    pendingRect_ = pending;
    struct Clear { const RECT*& r; ~Clear() { r = nullptr; } } clear{pendingRect_};
    Paint(canvas.Canvas());
}

void TsfOleControl::Paint(TCanvas& canvas) {
    if (capturingBackground_ || !Parent() || !Parent()->HandleAllocated()) return;
    if (backgroundStale_) {
        backgroundStale_ = false;
        CaptureBackground();
    }
    if (OnPaint) OnPaint(this);
    if (Width() <= 0 || Height() <= 0) return;
    if (viewObject_ && backgroundBuffer_ && scratchBuffer_ && frameBuffer_) {
        ComposeAndPresent(canvas.Handle(), pendingRect_);
    }
    pendingRect_ = nullptr;
}

void TsfOleControl::ComposeAndPresent(HDC target, const RECT* pending) {
    if (pending) {
        // Only the invalid piece: the object draws it over the matching background on the
        // scratch surface, and that piece alone replaces the frame's.
        RECT p = *pending;
        RECT whole{0, 0, Width(), Height()};
        if (!IntersectRect(&p, &p, &whole)) return;
        backgroundBuffer_->CopyTo(*scratchBuffer_, 0, 0, p);
        HDC scratch = scratchBuffer_->DC();
        {
            TSavedDC saved(scratch);
            SetWindowOrgEx(scratch, p.left, p.top, nullptr);
            // The clip tells the object which piece is wanted, so it can draw no more than that.
            IntersectClipRect(scratch, p.left, p.top, p.right, p.bottom);
            // The object's whole rectangle as bounds: an object that honours them draws at
            // its true size, and the clip keeps the piece.
            RECTL bounds{0, 0, Width(), Height()};
            viewObject_->Draw(DVASPECT_TRANSPARENT, -1, nullptr, nullptr, nullptr, scratch, &bounds, nullptr, nullptr, 0);
        }
        RECT piece{0, 0, p.right - p.left, p.bottom - p.top};
        scratchBuffer_->CopyTo(*frameBuffer_, p.left, p.top, piece);
        // The rest of the frame is on screen already (every repaint of the parent presents
        // the whole frame), so a small change costs a small copy, not the whole frame's.
        frameBuffer_->DrawPieceTo(target, 0, 0, p);
        return;
    }
    RECT whole{0, 0, Width(), Height()};
    backgroundBuffer_->CopyTo(*frameBuffer_, 0, 0, whole);
    // Null bounds: a windowless object draws at its in-place rectangle, (0, 0, width, height).
    viewObject_->Draw(DVASPECT_TRANSPARENT, -1, nullptr, nullptr, nullptr, frameBuffer_->DC(), nullptr, nullptr,
                      nullptr, 0);
    frameBuffer_->DrawTo(target, 0, 0);
}

// ---- messages --------------------------------------------------------------------------------

void TsfOleControl::WndProc(TMessage& message) {
    if (controlUnavailable_ || Designing() || Destroying()) {
        TGraphicControl::WndProc(message);
        return;
    }
    if (message.Msg != WM_PAINT) RouteToObject(message);
    TGraphicControl::WndProc(message);
}

void TsfOleControl::RouteToObject(TMessage& message) {
    if (message.Msg == WM_RBUTTONDOWN) {
        // Withholding the press is what keeps the object's context menu shut.
        if (disableFlashPopup_) return;
        contextMenuPending_ = true;
    }
    if (!windowlessObject_ || inDefWindowMessage_) return;
    LRESULT result = 0;
    HRESULT handled = windowlessObject_->OnWindowMessage(message.Msg, message.WParam, message.LParam, &result);
    message.Result = result;
    if (handled != S_OK || message.Msg < WM_MOUSEFIRST || message.Msg > WM_MOUSEWHEEL) return;
    if (disableFlashCursor_) {
        if (HCURSOR cursor = CursorHandle(Cursor())) ::SetCursor(cursor);
        else ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
    } else if (windowlessObject_) {
        LRESULT ignored = 0;
        windowlessObject_->OnWindowMessage(WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), &ignored);
    }
}

} // namespace vm
