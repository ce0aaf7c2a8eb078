#include "framework/Control.h"

#include <windowsx.h>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/Text.h"
#include "framework/WinControl.h"

namespace vm {

namespace {
struct CursorName { const char* name; TCursor cursor; LPCSTR system; };
const CursorName kCursors[] = {
    {"crDefault", crDefault, nullptr}, {"crNone", crNone, nullptr}, {"crArrow", crArrow, IDC_ARROW},
    {"crCross", crCross, IDC_CROSS}, {"crIBeam", crIBeam, IDC_IBEAM}, {"crSizeNESW", crSizeNESW, IDC_SIZENESW},
    {"crSizeNS", crSizeNS, IDC_SIZENS}, {"crSizeNWSE", crSizeNWSE, IDC_SIZENWSE}, {"crSizeWE", crSizeWE, IDC_SIZEWE},
    {"crUpArrow", crUpArrow, IDC_UPARROW}, {"crHourGlass", crHourGlass, IDC_WAIT}, {"crNo", crNo, IDC_NO},
    {"crAppStart", crAppStart, IDC_APPSTARTING}, {"crHelp", crHelp, IDC_HELP}, {"crHandPoint", crHandPoint, IDC_HAND},
    {"crSizeAll", crSizeAll, IDC_SIZEALL}};

const std::vector<std::string>& AlignNames() {
    static const std::vector<std::string> names{"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
    return names;
}
const std::vector<std::string>& FontStyleNames() {
    static const std::vector<std::string> names{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
    return names;
}
} // namespace

HCURSOR CursorHandle(TCursor cursor) {
    for (const auto& c : kCursors)
        if (c.cursor == cursor) return c.system ? LoadCursorA(nullptr, c.system) : nullptr;
    return nullptr;
}

TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

TShiftState KeyboardShiftState() {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

TControl::TControl(TComponent* owner) : TComponent(owner) {
    WindowProc = [this](TMessage& m) { WndProc(m); };
    font_.OnChange = [this] {
        if (!settingParentFont_) parentFont_ = false;
        FontChanged();
    };
}

TControl::~TControl() {
    SetDestroying();
    Application().ControlDestroyed(this);
    if (parent_) parent_->RemoveControl(this);
}

const TPropertyTable& TControl::ClassProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&TComponent::ClassProperties());
        t.Integer<TControl>("Left", &TControl::Left, &TControl::SetLeft);
        t.Integer<TControl>("Top", &TControl::Top, &TControl::SetTop);
        t.Integer<TControl>("Width", &TControl::Width, &TControl::SetWidth);
        t.Integer<TControl>("Height", &TControl::Height, &TControl::SetHeight);
        t.Add<TControl>("ClientWidth", TValueKind::Integer,
            [](const TControl& c) { return TValue::Integer(c.ClientWidth()); },
            [](TControl& c, const TValue& v) { c.SetClientWidth(TPropertyTable::CheckedInt(v)); });
        t.Add<TControl>("ClientHeight", TValueKind::Integer,
            [](const TControl& c) { return TValue::Integer(c.ClientHeight()); },
            [](TControl& c, const TValue& v) { c.SetClientHeight(TPropertyTable::CheckedInt(v)); });
        t.Boolean<TControl>("Visible", &TControl::Visible, &TControl::SetVisible);
        t.Boolean<TControl>("Enabled", &TControl::Enabled, &TControl::SetEnabled);
        t.Text<TControl>("Caption", &TControl::Caption, &TControl::SetCaption);
        t.Text<TControl>("Text", &TControl::Caption, &TControl::SetCaption);
        t.Colour<TControl>("Color", &TControl::Color, &TControl::SetColor);
        t.Boolean<TControl>("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
        t.Boolean<TControl>("ParentFont", &TControl::ParentFont, &TControl::SetParentFont);
        t.Add<TControl>("Font", TValueKind::Font,
            [](const TControl& c) { return TValue::MakeFont(c.Font().Description()); },
            [](TControl& c, const TValue& v) { c.Font().Assign(v.AsFont()); });
        t.Text<TControl>("Font.Name", &TControl::FontName, &TControl::SetFontName);
        t.Integer<TControl>("Font.Height", &TControl::FontHeight, &TControl::SetFontHeight);
        t.Integer<TControl>("Font.Size", &TControl::FontSize, &TControl::SetFontSize);
        t.Colour<TControl>("Font.Color", &TControl::FontColor, &TControl::SetFontColor);
        t.Integer<TControl>("Font.Charset", &TControl::FontCharset, &TControl::SetFontCharset);
        t.Set<TControl>("Font.Style", FontStyleNames(), &TControl::FontStyle, &TControl::SetFontStyle);
        t.Add<TControl>("Cursor", TValueKind::Ident,
            [](const TControl& c) {
                for (const auto& k : kCursors)
                    if (k.cursor == c.Cursor()) return TValue::MakeIdent(k.name);
                return TValue::Integer(c.Cursor());
            },
            [](TControl& c, const TValue& v) {
                if (v.Kind() == TValueKind::Integer) { c.SetCursor(TPropertyTable::CheckedInt(v)); return; }
                for (const auto& k : kCursors)
                    if (SameText(k.name, v.AsIdent())) { c.SetCursor(k.cursor); return; }
                throw EPropertyError("Unknown cursor '" + v.AsIdent() + "'");
            });
        t.Text<TControl>("Hint", &TControl::Hint, &TControl::SetHint);
        t.Boolean<TControl>("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
        t.Boolean<TControl>("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint);
        t.Enum<TControl, TAlign>("Align", AlignNames(), &TControl::Align, &TControl::SetAlign);
        t.Event<TControl>("OnClick", &TControl::OnClick);
        t.Event<TControl>("OnDblClick", &TControl::OnDblClick);
        t.Event<TControl>("OnMouseDown", &TControl::OnMouseDown);
        t.Event<TControl>("OnMouseUp", &TControl::OnMouseUp);
        t.Event<TControl>("OnMouseMove", &TControl::OnMouseMove);
        return t;
    }();
    return table;
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent == this) throw EInvalidOperation("A control cannot be its own parent");
    Invalidate();
    if (parent_) parent_->RemoveControl(this);
    parent_ = parent;
    if (parent_) {
        parent_->InsertControl(this);
        if (parentFont_) ParentFontChanged();
        if (parentColor_) ParentColorChanged();
    }
    Invalidate();
}

TForm* TControl::ParentForm() const {
    const TControl* c = this;
    while (c) {
        if (auto* f = dynamic_cast<const TForm*>(c)) return const_cast<TForm*>(f);
        c = c->parent_;
    }
    return nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    RECT old = bounds_;
    RECT now{left, top, left + width, top + height};
    if (EqualRect(&old, &now)) return;
    Invalidate();
    bounds_ = now;
    BoundsChanged(old);
    Invalidate();
    if (parent_ && align_ != TAlign::alNone) parent_->AlignControls();
}

POINT TControl::ClientToScreen(POINT p) const {
    if (auto* w = dynamic_cast<const TWinControl*>(this); w && w->HandleIfAllocated()) {
        ::ClientToScreen(w->HandleIfAllocated(), &p);
        return p;
    }
    p.x += bounds_.left;
    p.y += bounds_.top;
    return parent_ ? parent_->ClientToScreen(p) : p;
}

POINT TControl::ScreenToClient(POINT p) const {
    if (auto* w = dynamic_cast<const TWinControl*>(this); w && w->HandleIfAllocated()) {
        ::ScreenToClient(w->HandleIfAllocated(), &p);
        return p;
    }
    if (parent_) p = parent_->ScreenToClient(p);
    p.x -= bounds_.left;
    p.y -= bounds_.top;
    return p;
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    Invalidate();
    visible_ = visible;
    VisibleChanged();
    Invalidate();
    if (parent_ && align_ != TAlign::alNone) parent_->AlignControls();
}

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->parent_) {
        if (!c->visible_) return false;
        if (!c->parent_) {
            auto* w = dynamic_cast<const TWinControl*>(c);
            return w && w->HandleIfAllocated() && IsWindowVisible(w->HandleIfAllocated());
        }
    }
    return false;
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    EnabledChanged();
}

void TControl::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    CaptionChanged();
}

void TControl::SetParentFont(bool value) {
    parentFont_ = value;
    if (value) ParentFontChanged();
}

void TControl::SetColor(TColor color) {
    parentColor_ = false;
    if (color == color_) return;
    color_ = color;
    ColorChanged();
}

void TControl::SetParentColor(bool value) {
    parentColor_ = value;
    if (value) ParentColorChanged();
}

bool TControl::HintEnabled() const {
    if (hint_.empty()) return false;
    for (const TControl* c = this; c; c = c->parent_) {
        if (c->showHint_) return true;
        if (!c->parentShowHint_) return false;
    }
    return false;
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    if (parent_) parent_->AlignControls();
}

void TControl::ParentFontChanged() {
    if (!parentFont_ || !parent_) return;
    settingParentFont_ = true;
    font_.Assign(parent_->Font().Description());
    settingParentFont_ = false;
}

void TControl::ParentColorChanged() {
    if (!parentColor_ || !parent_) return;
    if (color_ != parent_->Color()) {
        color_ = parent_->Color();
        ColorChanged();
    }
}

void TControl::Invalidate() {
    if (!parent_ || !visible_) return;
    if (HWND wnd = parent_->HandleIfAllocated()) ::InvalidateRect(wnd, &bounds_, TRUE);
}

void TControl::InvalidatePart(const RECT& part) {
    if (!parent_ || !visible_) return;
    HWND wnd = parent_->HandleIfAllocated();
    if (!wnd) return;
    RECT r = part, clipped;
    OffsetRect(&r, bounds_.left, bounds_.top);
    if (IntersectRect(&clipped, &r, &bounds_)) ::InvalidateRect(wnd, &clipped, TRUE);
}

void TControl::Repaint() {
    Invalidate();
    for (TControl* c = this; c; c = c->parent_)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->HandleIfAllocated()) {
            UpdateWindow(w->HandleIfAllocated());
            return;
        }
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    if (WindowProc) WindowProc(m);
    else WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& message) { HandleMouse(message); }

bool TControl::HandleMouse(TMessage& m) {
    int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    TShiftState shift = KeysToShiftState(m.WParam);
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
        clicked_ = clickEvents_;
        MouseDown(TMouseButton::mbLeft, shift, x, y);
        return true;
    case WM_RBUTTONDOWN: MouseDown(TMouseButton::mbRight, shift, x, y); return true;
    case WM_MBUTTONDOWN: MouseDown(TMouseButton::mbMiddle, shift, x, y); return true;
    case WM_LBUTTONDBLCLK:
        clicked_ = false;   // the button-up that follows a double click is not another click
        MouseDown(TMouseButton::mbLeft, shift | ssDouble, x, y);
        if (clickEvents_) DblClick();
        return true;
    case WM_RBUTTONDBLCLK: MouseDown(TMouseButton::mbRight, shift | ssDouble, x, y); return true;
    case WM_MBUTTONDBLCLK: MouseDown(TMouseButton::mbMiddle, shift | ssDouble, x, y); return true;
    case WM_LBUTTONUP: {
        bool wasClicked = clicked_;
        clicked_ = false;
        MouseUp(TMouseButton::mbLeft, shift, x, y);
        RECT r = ClientRect();
        if (wasClicked && PtInRect(&r, POINT{x, y})) Click();
        return true;
    }
    case WM_RBUTTONUP: MouseUp(TMouseButton::mbRight, shift, x, y); return true;
    case WM_MBUTTONUP: MouseUp(TMouseButton::mbMiddle, shift, x, y); return true;
    case WM_MOUSEMOVE: MouseMove(shift, x, y); return true;
    default: return false;
    }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

} // namespace vm
