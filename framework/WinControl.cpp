#include "framework/WinControl.h"

#include <windowsx.h>

#include <algorithm>
#include <map>

#include "framework/Application.h"
#include "framework/Errors.h"
#include "framework/Form.h"
#include "framework/GdiObject.h"
#include "framework/GraphicControl.h"

namespace vm {

namespace {

const char kControlProperty[] = "VelmoraControl";
thread_local TWinControl* creatingControl = nullptr;
UINT nextChildId = 100;

// Registered framework window classes and the procedure each superclass chains to. Never
// freed: windows may still be destroyed during static destruction.
std::map<std::string, WNDPROC>& WindowClasses() {
    static auto* classes = new std::map<std::string, WNDPROC>;
    return *classes;
}

bool IsClientMouseMessage(UINT msg) {
    return msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK && msg != WM_MOUSEWHEEL;
}
bool IsButtonDown(UINT msg) {
    return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_LBUTTONDBLCLK ||
           msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
}
bool IsButtonUp(UINT msg) { return msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP; }

} // namespace

LRESULT CALLBACK StdWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* control = static_cast<TWinControl*>(GetPropA(wnd, kControlProperty));
    if (!control && creatingControl) {
        // The first message of a window being created (WM_GETMINMAXINFO or WM_NCCREATE).
        control = creatingControl;
        creatingControl = nullptr;
        control->handle_ = wnd;
        SetPropA(wnd, kControlProperty, control);
    }
    if (!control) return DefWindowProcA(wnd, msg, wParam, lParam);
    TMessage m{msg, wParam, lParam, 0};
    // No C++ exception may cross back into the system: report it and carry on.
    Application().Guard([&] { control->WindowProc(m); });
    if (msg == WM_NCDESTROY) {
        RemovePropA(wnd, kControlProperty);
        if (control->handle_ == wnd) control->handle_ = nullptr;
    }
    return m.Result;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    SetDestroying();
    DestroyHandle();
    // Children go with their parent, newest first; each leaves its owner's list as it goes.
    while (!controls_.empty()) delete controls_.back();
}

const TPropertyTable& TWinControl::ClassProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&TControl::ClassProperties());
        t.Integer<TWinControl>("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
        t.Boolean<TWinControl>("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
        t.Boolean<TWinControl>("ParentBackground", &TWinControl::ParentBackground, &TWinControl::SetParentBackground);
        t.Event<TWinControl>("OnKeyDown", &TWinControl::OnKeyDown);
        t.Event<TWinControl>("OnKeyUp", &TWinControl::OnKeyUp);
        t.Event<TWinControl>("OnKeyPress", &TWinControl::OnKeyPress);
        t.Event<TWinControl>("OnEnter", &TWinControl::OnEnter);
        t.Event<TWinControl>("OnExit", &TWinControl::OnExit);
        return t;
    }();
    return table;
}

HWND TWinControl::Handle() {
    if (!handle_) CreateHandle();
    return handle_;
}

TWinControl* TWinControl::FindControl(HWND wnd) {
    return wnd ? static_cast<TWinControl*>(GetPropA(wnd, kControlProperty)) : nullptr;
}

void TWinControl::CreateParams(TCreateParams& p) {
    p.caption = Caption();
    p.style = WS_CHILD | WS_CLIPSIBLINGS;
    if (Visible()) p.style |= WS_VISIBLE;
    if (!Enabled()) p.style |= WS_DISABLED;
    if (tabStop_) p.style |= WS_TABSTOP;
    p.x = Left();
    p.y = Top();
    p.width = Width();
    p.height = Height();
    p.parent = Parent() ? Parent()->Handle() : nullptr;
    p.windowClass = ClassName();
}

void TWinControl::CreateHandle() {
    if (Parent()) {
        Parent()->Handle();   // creating the parent creates its children, this one included
        if (handle_) return;
    }
    TCreateParams p;
    CreateParams(p);
    if (p.windowClass.empty()) p.windowClass = ClassName();
    if (p.systemClass.empty()) p.style |= WS_CLIPCHILDREN;

    auto& classes = WindowClasses();
    auto known = classes.find(p.windowClass);
    if (known == classes.end()) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        WNDPROC original = DefWindowProcA;
        if (!p.systemClass.empty()) {
            if (!GetClassInfoExA(nullptr, p.systemClass.c_str(), &wc))
                RaiseLastOSError("Window class " + p.systemClass + " is not available");
            original = wc.lpfnWndProc;
            wc.cbSize = sizeof wc;
        } else {
            wc.style = p.classStyle;
            wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        }
        wc.lpfnWndProc = StdWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = p.windowClass.c_str();
        if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            RaiseLastOSError("Cannot register window class " + p.windowClass);
        known = classes.emplace(p.windowClass, original).first;
    }
    defaultProc_ = known->second;

    HMENU id = (p.style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nextChildId++)) : nullptr;
    creatingControl = this;
    HWND wnd = CreateWindowExA(p.exStyle, p.windowClass.c_str(), p.caption.c_str(), p.style, p.x, p.y, p.width,
                               p.height, p.parent, id, GetModuleHandleA(nullptr), nullptr);
    creatingControl = nullptr;
    if (!wnd) RaiseLastOSError("Cannot create the window of " + (Name().empty() ? ClassName() : Name()));
    handle_ = wnd;
    // A top-level window's size comes from its client size and frame: take what it got.
    if (!(p.style & WS_CHILD)) AdoptWindowBounds();
    CreateWnd();
    CreateChildHandles();
}

void TWinControl::CreateWnd() {
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
}

void TWinControl::CreateChildHandles() {
    for (TWinControl* child : TabList()) child->Handle();
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && !w->HandleAllocated()) w->Handle();
    // Window z-order follows the tab order, so the system's own tab navigation agrees with ours.
    HWND after = HWND_TOP;
    for (TWinControl* child : TabList()) {
        SetWindowPos(child->handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = child->handle_;
    }
}

void TWinControl::DestroyWnd() {}

void TWinControl::DestroyHandle() {
    if (!handle_ || destroyingHandle_) return;
    destroyingHandle_ = true;
    DestroyWnd();
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->handle_) w->DestroyWnd();
    HWND wnd = handle_;
    DestroyWindow(wnd);   // StdWndProc clears handle_ (and the children's) at WM_NCDESTROY
    handle_ = nullptr;
    mouseCapture_ = mouseOver_ = nullptr;
    destroyingHandle_ = false;
}

void TWinControl::RecreateWnd() {
    if (!handle_) return;
    DestroyHandle();
    Handle();
}

void TWinControl::SetParent(TWinControl* parent) {
    TControl::SetParent(parent);
    if (!handle_) {
        if (parent && parent->HandleAllocated() && !Loading()) Handle();
        return;
    }
    if (parent && parent->HandleAllocated()) {
        ::SetParent(handle_, parent->handle_);
        UpdateWindowBounds();
    } else if (!parent || !parent->HandleAllocated()) {
        if (!dynamic_cast<TForm*>(this)) DestroyHandle();
    }
}

void TWinControl::InsertControl(TControl* control) {
    if (std::find(controls_.begin(), controls_.end(), control) == controls_.end()) controls_.push_back(control);
    if (auto* w = dynamic_cast<TWinControl*>(control); w && w->tabOrder_ < 0) {
        int count = 0;
        for (TControl* c : controls_)
            if (c != w && dynamic_cast<TWinControl*>(c)) ++count;
        w->tabOrder_ = count;
    }
    if (control->Align() != TAlign::alNone) AlignControls();
}

void TWinControl::RemoveControl(TControl* control) {
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end()) return;
    controls_.erase(it);
    if (mouseCapture_ == control) {
        mouseCapture_ = nullptr;
        if (handle_ && GetCapture() == handle_) ReleaseCapture();
    }
    if (mouseOver_ == control) mouseOver_ = nullptr;
    if (auto* form = dynamic_cast<TForm*>(this); form && form->ActiveControl() == control) form->SetActiveControl(nullptr);
    if (auto* form = ParentForm(); form && form != this && form->ActiveControl() == control) form->SetActiveControl(nullptr);
    if (control->Align() != TAlign::alNone && !(ComponentState() & csDestroying)) AlignControls();
}

TControl* TWinControl::ControlAtPos(POINT p, bool allowDisabled, bool windowedToo) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (!windowedToo && dynamic_cast<TWinControl*>(c)) continue;
        if (!c->Visible() || (!c->Enabled() && !allowDisabled)) continue;
        RECT r = c->BoundsRect();
        if (PtInRect(&r, p)) return c;
    }
    return nullptr;
}

void TWinControl::AlignControls() {
    if (aligning_) return;
    aligning_ = true;
    RECT rest = ClientRect();
    auto place = [&](TAlign kind) {
        for (TControl* c : controls_) {
            if (c->Align() != kind || !c->Visible()) continue;
            int w = c->Width(), h = c->Height();
            switch (kind) {
            case TAlign::alTop: c->SetBounds(rest.left, rest.top, rest.right - rest.left, h); rest.top += h; break;
            case TAlign::alBottom: c->SetBounds(rest.left, rest.bottom - h, rest.right - rest.left, h); rest.bottom -= h; break;
            case TAlign::alLeft: c->SetBounds(rest.left, rest.top, w, rest.bottom - rest.top); rest.left += w; break;
            case TAlign::alRight: c->SetBounds(rest.right - w, rest.top, w, rest.bottom - rest.top); rest.right -= w; break;
            case TAlign::alClient: c->SetBounds(rest.left, rest.top, rest.right - rest.left, rest.bottom - rest.top); break;
            case TAlign::alNone: break;
            }
        }
    };
    place(TAlign::alTop);
    place(TAlign::alBottom);
    place(TAlign::alLeft);
    place(TAlign::alRight);
    place(TAlign::alClient);
    aligning_ = false;
}

void TWinControl::Broadcast(TMessage& message) {
    for (TControl* c : std::vector<TControl*>(controls_)) {
        c->WindowProc(message);
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->Broadcast(message);
    }
}

int TWinControl::TabOrder() const { return tabOrder_ < 0 ? 0 : tabOrder_; }

void TWinControl::SetTabOrder(int order) {
    if (order < 0) order = 0;
    tabOrder_ = order;
    if (Parent() && Parent()->HandleAllocated() && handle_) {
        // Reorder window z-order after the sibling that precedes it in the tab order.
        HWND after = HWND_TOP;
        for (TWinControl* w : Parent()->TabList()) {
            if (w == this) break;
            if (w->handle_) after = w->handle_;
        }
        SetWindowPos(handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

std::vector<TWinControl*> TWinControl::TabList() const {
    std::vector<TWinControl*> list;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) list.push_back(w);
    std::stable_sort(list.begin(), list.end(), [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
    return list;
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

void TWinControl::SetFocus() {
    if (TForm* form = ParentForm(); form && form != this) form->SetActiveControl(this);
    if (HWND wnd = Handle()) ::SetFocus(wnd);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    RECT before = bounds_;
    TControl::SetBounds(left, top, width, height);
    if (EqualRect(&before, &bounds_)) return;
    UpdateWindowBounds();
    // The window's own WM_WINDOWPOSCHANGED finds the bounds already new and would not realign.
    if (before.right - before.left != Width() || before.bottom - before.top != Height()) AlignControls();
}

void TWinControl::UpdateWindowBounds() {
    if (!handle_) return;
    SetWindowPos(handle_, nullptr, bounds_.left, bounds_.top, Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::AdoptWindowBounds() {
    if (!handle_) return;
    RECT r;
    GetWindowRect(handle_, &r);
    if (HWND parent = GetParent(handle_); parent && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    bounds_ = r;
}

RECT TWinControl::ClientRect() const {
    RECT r{0, 0, Width(), Height()};
    if (handle_) GetClientRect(handle_, &r);
    return r;
}

void TWinControl::SetClientWidth(int v) {
    RECT c = ClientRect();
    SetWidth(Width() - (c.right - c.left) + v);
}

void TWinControl::SetClientHeight(int v) {
    RECT c = ClientRect();
    SetHeight(Height() - (c.bottom - c.top) + v);
}

void TWinControl::SetCaption(const std::string& caption) {
    TControl::SetCaption(caption);
}

void TWinControl::CaptionChanged() {
    if (handle_) SetWindowTextA(handle_, Caption().c_str());
    Invalidate();
}

void TWinControl::InvalidatePart(const RECT& part) {
    if (handle_) ::InvalidateRect(handle_, &part, TRUE);
}

void TWinControl::Loaded() {
    TControl::Loaded();
    if (!handle_ && Parent() && Parent()->HandleAllocated()) Handle();
}

void TWinControl::Invalidate() {
    if (handle_) ::InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::FontChanged() {
    if (handle_) {
        SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
        Invalidate();
    }
    for (TControl* c : controls_) c->ParentFontChanged();
}

void TWinControl::ColorChanged() {
    colorBrush_.Reset();
    Invalidate();
    for (TControl* c : controls_) c->ParentColorChanged();
}

void TWinControl::VisibleChanged() {
    if (handle_) ShowWindow(handle_, Visible() ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::EnabledChanged() {
    if (handle_) EnableWindow(handle_, Enabled());
    Invalidate();
}

LRESULT TWinControl::ControlColor(HDC dc) {
    SetTextColor(dc, ColorToRGB(Font().Color()));
    SetBkColor(dc, ColorToRGB(Color()));
    if (!colorBrush_) colorBrush_.Reset(CreateSolidBrush(ColorToRGB(Color())));
    return reinterpret_cast<LRESULT>(colorBrush_.Get());
}

void TWinControl::DefaultHandler(TMessage& m) {
    if (!handle_) return;
    m.Result = CallWindowProcA(defaultProc_ ? defaultProc_ : DefWindowProcA, handle_, m.Msg, m.WParam, m.LParam);
}

bool TWinControl::ReflectNotification(TMessage& m) {
    HWND child = nullptr;
    switch (m.Msg) {
    case WM_COMMAND: child = reinterpret_cast<HWND>(m.LParam); break;
    case WM_NOTIFY: child = reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom; break;
    case WM_DRAWITEM: child = m.WParam ? reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->hwndItem : nullptr; break;
    case WM_MEASUREITEM: child = m.WParam ? GetDlgItem(handle_, static_cast<int>(m.WParam)) : nullptr; break;
    case WM_CTLCOLORBTN: case WM_CTLCOLORSTATIC: case WM_CTLCOLORLISTBOX: case WM_CTLCOLOREDIT:
        child = reinterpret_cast<HWND>(m.LParam);
        break;
    default: return false;
    }
    TWinControl* target = FindControl(child);
    // A combo box's list and edit are children of the combo: their colour requests go to it.
    if (!target && child && (m.Msg == WM_CTLCOLOREDIT || m.Msg == WM_CTLCOLORLISTBOX)) target = FindControl(GetParent(child));
    if (!target || target == this) return false;
    m.Result = target->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
    return true;
}

bool TWinControl::RouteMouseToGraphic(TMessage& m) {
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    TControl* target = mouseCapture_ ? mouseCapture_ : ControlAtPos(p);
    if (m.Msg == WM_MOUSEMOVE && target != mouseOver_) {
        if (mouseOver_) mouseOver_->Perform(CM_MOUSELEAVE);
        mouseOver_ = target;
        if (target) target->Perform(CM_MOUSEENTER);
        if (target) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle_, 0};
            TrackMouseEvent(&track);
        }
    }
    if (!target) return false;
    if (IsButtonDown(m.Msg) && !mouseCapture_) {
        mouseCapture_ = target;
        SetCapture(handle_);
    }
    HWND self = handle_;
    target->Perform(m.Msg, m.WParam, MAKELPARAM(p.x - target->Left(), p.y - target->Top()));
    // The handler may have closed the window; only touch this control if its window lives.
    if (IsButtonUp(m.Msg) && IsWindow(self) && FindControl(self) == this &&
        !(m.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
        mouseCapture_ = nullptr;
        if (GetCapture() == handle_) ReleaseCapture();
    }
    return true;
}

void TWinControl::NoteMouseForHint(const TMessage& m) {
    if (m.Msg != WM_MOUSEMOVE) {
        Application().CancelHint();   // a click puts the hint away
        return;
    }
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    TControl* over = mouseCapture_ ? mouseCapture_ : ControlAtPos(p, true);
    Application().HintMouseMove(over ? over : this);
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle_, 0};
    TrackMouseEvent(&track);
}

bool TWinControl::SetCursorFromChild(TMessage& m) {
    if (reinterpret_cast<HWND>(m.WParam) != handle_ || LOWORD(m.LParam) != HTCLIENT) return false;
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(handle_, &p);
    TControl* child = ControlAtPos(p);
    TCursor cursor = child && child->Cursor() != crDefault ? child->Cursor() : Cursor();
    HCURSOR h = CursorHandle(cursor);
    if (!h) return false;
    ::SetCursor(h);
    m.Result = TRUE;
    return true;
}

namespace {

// Paints one graphic child with the device context's origin at its top-left corner, clipped to
// its bounds. The window origin, not the viewport, carries the offset: a control that copies
// pixels itself reads the window origin to learn where its corner lands.
void PaintGraphicControl(HDC dc, TGraphicControl& g) {
    RECT b = g.BoundsRect();
    TSavedDC saved(dc);
    IntersectClipRect(dc, b.left, b.top, b.right, b.bottom);
    OffsetWindowOrgEx(dc, -b.left, -b.top, nullptr);
    TCanvas canvas(dc);
    canvas.Font() = g.Font();
    g.Paint(canvas);
}

}  // namespace

void TWinControl::PaintControls(HDC dc, const RECT& dirty) {
    for (TControl* c : controls_) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!g || !g->Visible()) continue;
        RECT b = g->BoundsRect(), overlap;
        if (!IntersectRect(&overlap, &b, &dirty)) continue;
        PaintGraphicControl(dc, *g);
    }
}

int TWinControl::PaintToBorderWidth() {
    HWND wnd = Handle();
    if (GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) return 2;
    if (GetWindowLongPtrA(wnd, GWL_STYLE) & WS_BORDER) return 1;
    return 0;
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
    HWND wnd = Handle();
    if (!wnd) return;
    TSavedDC saved(dc);
    const int border = PaintToBorderWidth();
    RECT outer{x, y, x + Width(), y + Height()};
    if (border == 2) DrawEdge(dc, &outer, EDGE_SUNKEN, BF_RECT);
    else if (border == 1) DrawEdge(dc, &outer, BDR_RAISEDOUTER | BDR_SUNKENOUTER, BF_RECT | BF_MONO);
    const RECT client = ClientRect();
    const int cx = x + border, cy = y + border;
    IntersectClipRect(dc, cx, cy, cx + client.right, cy + client.bottom);
    OffsetWindowOrgEx(dc, -cx, -cy, nullptr);
    const bool ownClass = defaultProc_ == DefWindowProcA || defaultProc_ == nullptr;
    if (!ownClass) {
        // A standard control paints itself on request.
        SendMessageA(wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
        return;
    }
    {
        TCanvas canvas(dc);
        canvas.Font() = Font();
        if (PaintsBackground()) {
            canvas.Brush().color = Color();
            canvas.FillRect(client);
        }
        PaintWindow(canvas);
    }
    for (TControl* c : controls_) {
        if (!c->Visible()) continue;
        if (auto* windowed = dynamic_cast<TWinControl*>(c)) {
            if (windowed->HandleAllocated()) windowed->PaintTo(dc, c->Left(), c->Top());
        } else if (auto* graphic = dynamic_cast<TGraphicControl*>(c)) {
            PaintGraphicControl(dc, *graphic);
        }
    }
}

void TWinControl::PaintHandler(TMessage&) {
    struct PaintScope {
        HWND wnd;
        PAINTSTRUCT ps{};
        HDC dc;
        explicit PaintScope(HWND w) : wnd(w), dc(BeginPaint(w, &ps)) {}
        ~PaintScope() { EndPaint(wnd, &ps); }
    } scope(handle_);
    RECT client = ClientRect();
    RECT dirty = scope.ps.rcPaint;
    if (IsRectEmpty(&dirty)) dirty = client;
    int w = client.right - client.left, h = client.bottom - client.top;
    if (w <= 0 || h <= 0) return;
    // Painted off-screen and copied in one blit: no flicker, and transparent graphic
    // controls see everything below them.
    TMemoryDC memory(scope.dc);
    TBitmapHandle buffer(CreateCompatibleBitmap(scope.dc, w, h));
    TSelectObject select(memory.Get(), buffer.Get());
    {
        TCanvas canvas(memory.Get());
        canvas.Font() = Font();
        if (PaintsBackground()) {
            canvas.Brush().color = Color();
            canvas.FillRect(client);
        }
        PaintWindow(canvas);
    }
    PaintControls(memory.Get(), dirty);
    BitBlt(scope.dc, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, memory.Get(),
           dirty.left, dirty.top, SRCCOPY);
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    if (TForm* form = ParentForm(); form && form != this && form->KeyPreview()) form->KeyDown(key, shift);
    if (key && OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
    if (TForm* form = ParentForm(); form && form != this && form->KeyPreview()) form->KeyUp(key, shift);
    if (key && OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
    if (TForm* form = ParentForm(); form && form != this && form->KeyPreview()) form->KeyPress(key);
    if (key && OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::WndProc(TMessage& m) {
    // Windows sends focus, activation and notification messages while a window hierarchy is
    // torn down; by then the form's handlers belong to a destroyed object, so no events.
    if (Destroying() || (Parent() && Parent()->Destroying())) {
        DefaultHandler(m);
        return;
    }
    bool ownClass = defaultProc_ == DefWindowProcA || defaultProc_ == nullptr;
    switch (m.Msg) {
    case WM_PAINT:
        if (ownClass) { PaintHandler(m); return; }
        break;
    case WM_ERASEBKGND:
        if (ownClass) { m.Result = 1; return; }   // WM_PAINT fills the background off-screen
        break;
    case WM_COMMAND: case WM_NOTIFY: case WM_DRAWITEM: case WM_MEASUREITEM:
    case WM_CTLCOLORBTN: case WM_CTLCOLORSTATIC: case WM_CTLCOLORLISTBOX: case WM_CTLCOLOREDIT:
        if (ReflectNotification(m)) return;
        break;
    case WM_SETCURSOR:
        if (SetCursorFromChild(m)) return;
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(m.LParam) != handle_) mouseCapture_ = nullptr;
        break;
    case WM_MOUSELEAVE:
        Application().CancelHint();
        if (mouseOver_) { TControl* was = mouseOver_; mouseOver_ = nullptr; was->Perform(CM_MOUSELEAVE); }
        break;
    case WM_WINDOWPOSCHANGED: {
        RECT before = bounds_;
        AdoptWindowBounds();
        DefaultHandler(m);
        if (before.right - before.left != Width() || before.bottom - before.top != Height()) AlignControls();
        return;
    }
    case WM_KEYDOWN: case WM_SYSKEYDOWN: {
        WORD key = static_cast<WORD>(m.WParam);
        KeyDown(key, KeyboardShiftState());
        if (!key) return;
        m.WParam = key;
        break;
    }
    case WM_KEYUP: case WM_SYSKEYUP: {
        WORD key = static_cast<WORD>(m.WParam);
        KeyUp(key, KeyboardShiftState());
        if (!key) return;
        m.WParam = key;
        break;
    }
    case WM_CHAR: {
        char key = static_cast<char>(m.WParam);
        KeyPress(key);
        if (!key) return;
        m.WParam = static_cast<unsigned char>(key);
        break;
    }
    case WM_SETFOCUS:
        if (TForm* form = ParentForm(); form && form != this) form->SetActiveControl(this);
        if (OnEnter) OnEnter(this);
        break;
    case WM_KILLFOCUS:
        if (OnExit) OnExit(this);
        break;
    default:
        if (IsClientMouseMessage(m.Msg)) {
            NoteMouseForHint(m);
            if (RouteMouseToGraphic(m)) return;
            HandleMouse(m);
        }
        break;
    }
    DefaultHandler(m);
}

} // namespace vm
