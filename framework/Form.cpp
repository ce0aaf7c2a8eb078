#include "framework/Form.h"

#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/ComboBox.h"
#include "framework/ResourceStream.h"
#include "framework/Text.h"
#include "framework/WindowDefinition.h"

namespace vm {

namespace {
const std::vector<std::string>& BorderStyleNames() {
    static const std::vector<std::string> n{"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"};
    return n;
}
const std::vector<std::string>& BorderIconNames() {
    static const std::vector<std::string> n{"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};
    return n;
}
const std::vector<std::string>& PositionNames() {
    static const std::vector<std::string> n{"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                                            "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"};
    return n;
}

// Every button of a form, at any depth.
template <class F> void ForEachButton(const TWinControl& parent, F&& f) {
    for (TControl* c : parent.Controls()) {
        if (auto* b = dynamic_cast<TButton*>(c)) f(b);
        if (auto* w = dynamic_cast<TWinControl*>(c)) ForEachButton(*w, f);
    }
}
struct DisableList { HWND self; std::vector<HWND>* list; };

BOOL CALLBACK DisableOtherWindow(HWND wnd, LPARAM lp) {
    auto* d = reinterpret_cast<DisableList*>(lp);
    if (wnd != d->self && IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
        EnableWindow(wnd, FALSE);
        d->list->push_back(wnd);
    }
    return TRUE;
}
} // namespace

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    SetVisible(false);
    SetBounds(0, 0, 320, 240);
}

TForm::~TForm() {
    SetDestroying();
    if (Application().MainForm() == this) Application().SetMainForm(nullptr);
    if (Application().ActiveModalForm() == this) Application().SetActiveModalForm(nullptr);
}

const TPropertyTable& TForm::ClassProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::ClassProperties());
        t.Enum<TForm, TBorderStyle>("BorderStyle", BorderStyleNames(), &TForm::BorderStyle, &TForm::SetBorderStyle);
        t.Set<TForm>("BorderIcons", BorderIconNames(), &TForm::BorderIcons, &TForm::SetBorderIcons);
        t.Enum<TForm, TPosition>("Position", PositionNames(), &TForm::Position, &TForm::SetPosition);
        t.Boolean<TForm>("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview);
        t.Add<TForm>("ActiveControl", TValueKind::Ident,
            [](const TForm& f) { return TValue::MakeIdent(f.ActiveControl() ? f.ActiveControl()->Name() : ""); },
            [](TForm& f, const TValue& v) {
                auto* c = dynamic_cast<TWinControl*>(f.FindComponent(v.AsIdent()));
                if (!c) throw EPropertyError("No windowed control named " + v.AsIdent());
                f.SetActiveControl(c);
            });
        t.Event<TForm>("OnCreate", &TForm::OnCreate);
        t.Event<TForm>("OnShow", &TForm::OnShow);
        t.Event<TForm>("OnHide", &TForm::OnHide);
        t.Event<TForm>("OnActivate", &TForm::OnActivate);
        t.Event<TForm>("OnDeactivate", &TForm::OnDeactivate);
        t.Event<TForm>("OnClose", &TForm::OnClose);
        t.Event<TForm>("OnCloseQuery", &TForm::OnCloseQuery);
        return t;
    }();
    return table;
}

void TForm::ReadDefinition() { ReadDefinitionResource(GetModuleHandleA(nullptr), UpperCase(ClassName())); }

void TForm::ReadDefinitionResource(HINSTANCE module, const std::string& resourceName) {
    TResourceStream stream(module, resourceName);
    std::string text = stream.ReadAll();
    ReadDefinitionText(text, resourceName);
}

void TForm::ReadDefinitionText(std::string_view text, const std::string& sourceName) {
    TDefinitionObject definition = ParseWindowDefinition(text, sourceName);
    ApplyWindowDefinition(*this, definition, sourceName);
}

void TForm::Loaded() {
    TWinControl::Loaded();
}

void TForm::CreateComplete() {
    Handle();
    created_ = true;
    DoCreate();
    if (Visible() && !IsWindowVisible(HandleIfAllocated())) VisibleChanged();
}

void TForm::DoCreate() {
    // A failing OnCreate is reported like any handler error; the form still opens.
    if (OnCreate) Application().Guard([&] { OnCreate(this); });
}

void TForm::DoShow() {
    if (OnShow) Application().Guard([&] { OnShow(this); });
}

void TForm::DoHide() {
    if (OnHide) Application().Guard([&] { OnHide(this); });
}

void TForm::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    p.exStyle = 0;
    switch (borderStyle_) {
    case TBorderStyle::bsNone: p.style |= WS_POPUP; break;
    case TBorderStyle::bsSingle: p.style |= WS_CAPTION; break;
    case TBorderStyle::bsSizeable: p.style |= WS_CAPTION | WS_THICKFRAME; break;
    case TBorderStyle::bsDialog: p.style |= WS_CAPTION | DS_MODALFRAME; p.exStyle |= WS_EX_DLGMODALFRAME; break;
    case TBorderStyle::bsToolWindow: p.style |= WS_CAPTION; p.exStyle |= WS_EX_TOOLWINDOW; break;
    case TBorderStyle::bsSizeToolWin: p.style |= WS_CAPTION | WS_THICKFRAME; p.exStyle |= WS_EX_TOOLWINDOW; break;
    }
    if (borderStyle_ != TBorderStyle::bsNone) {
        if (borderIcons_ & biSystemMenu) p.style |= WS_SYSMENU;
        bool dialogish = borderStyle_ == TBorderStyle::bsDialog || borderStyle_ == TBorderStyle::bsToolWindow ||
                         borderStyle_ == TBorderStyle::bsSizeToolWin;
        if ((borderIcons_ & biMinimize) && !dialogish) p.style |= WS_MINIMIZEBOX;
        if ((borderIcons_ & biMaximize) && !dialogish) p.style |= WS_MAXIMIZEBOX;
        if ((borderIcons_ & biHelp) && (dialogish || !(borderIcons_ & (biMinimize | biMaximize)))) p.exStyle |= WS_EX_CONTEXTHELP;
    }
    if (!Enabled()) p.style |= WS_DISABLED;
    p.parent = nullptr;
    TApplication& app = Application();
    if (app.MainForm() && app.MainForm() != this && app.MainForm()->HandleAllocated())
        p.parent = app.MainForm()->HandleIfAllocated();   // owner: keeps secondary forms above the main one
    if (clientWidth_ >= 0 || clientHeight_ >= 0) {
        RECT r{0, 0, clientWidth_ >= 0 ? clientWidth_ : Width(), clientHeight_ >= 0 ? clientHeight_ : Height()};
        AdjustWindowRectEx(&r, p.style, FALSE, p.exStyle);
        p.width = r.right - r.left;
        p.height = r.bottom - r.top;
    }
}

void TForm::CreateWnd() {
    TWinControl::CreateWnd();
    clientWidth_ = clientHeight_ = -1;   // the window now knows its client size
}

int TForm::ClientWidth() const {
    if (!HandleIfAllocated() && clientWidth_ >= 0) return clientWidth_;
    return TWinControl::ClientWidth();
}

int TForm::ClientHeight() const {
    if (!HandleIfAllocated() && clientHeight_ >= 0) return clientHeight_;
    return TWinControl::ClientHeight();
}

void TForm::SetClientWidth(int v) {
    if (!HandleIfAllocated()) { clientWidth_ = v; return; }
    TWinControl::SetClientWidth(v);
}

void TForm::SetClientHeight(int v) {
    if (!HandleIfAllocated()) { clientHeight_ = v; return; }
    TWinControl::SetClientHeight(v);
}

void TForm::SetBorderStyle(TBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateWnd();
}

void TForm::SetBorderIcons(unsigned icons) {
    if (icons == borderIcons_) return;
    borderIcons_ = icons;
    RecreateWnd();
}

void TForm::SetActiveControl(TWinControl* control) {
    activeControl_ = control;
}

void TForm::PlaceOnScreen() {
    placed_ = true;
    HWND ownerWnd = nullptr;
    switch (position_) {
    case TPosition::poScreenCenter:
    case TPosition::poDesktopCenter: {
        int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
        SetBounds((sw - Width()) / 2, (sh - Height()) / 2, Width(), Height());
        return;
    }
    case TPosition::poMainFormCenter:
        if (Application().MainForm() && Application().MainForm() != this) ownerWnd = Application().MainForm()->HandleIfAllocated();
        break;
    case TPosition::poOwnerFormCenter:
        ownerWnd = GetWindow(HandleIfAllocated(), GW_OWNER);
        break;
    default: return;
    }
    if (!ownerWnd) return;
    RECT o;
    GetWindowRect(ownerWnd, &o);
    SetBounds(o.left + ((o.right - o.left) - Width()) / 2, o.top + ((o.bottom - o.top) - Height()) / 2, Width(), Height());
}

void TForm::Show() {
    SetVisible(true);
    if (HandleIfAllocated()) SetForegroundWindow(HandleIfAllocated());
}

void TForm::VisibleChanged() {
    if (Loading()) return;   // "Visible = True" in a definition shows the form in CreateComplete
    if (Visible()) {
        Handle();
        if (!placed_) PlaceOnScreen();
        DoShow();   // before the window appears, so OnShow can still change it
        if (!Visible() || !HandleIfAllocated()) return;
        ShowWindow(HandleIfAllocated(), SW_SHOW);
        if (activeControl_ && activeControl_->CanFocus()) activeControl_->SetFocus();
        else if (auto list = TabList(); !list.empty()) SelectNext(nullptr, true);
    } else if (HandleIfAllocated()) {
        DoHide();
        ShowWindow(HandleIfAllocated(), SW_HIDE);
    }
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::Close() {
    if (modal_) {
        modalResult_ = mrCancel;   // the modal loop asks OnCloseQuery/OnClose as it ends
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = TCloseAction::caHide;
    if (OnClose) OnClose(this, action);
    if (action == TCloseAction::caNone) return;
    if (Application().MainForm() == this) {
        Hide();
        Application().Terminate();
        return;
    }
    switch (action) {
    case TCloseAction::caHide: Hide(); break;
    case TCloseAction::caMinimize: ShowWindow(Handle(), SW_MINIMIZE); break;
    case TCloseAction::caFree: Release(); break;
    case TCloseAction::caNone: break;
    }
}

void TForm::Release() {
    if (HWND wnd = Handle()) PostMessageA(wnd, CM_RELEASE, 0, 0);
}

int TForm::ShowModal() {
    if (modal_ || Visible()) throw EInvalidOperation("Cannot make a visible window modal");
    if (GetCapture()) ReleaseCapture();
    HWND previousActive = GetActiveWindow();
    HWND self = Handle();
    if (previousActive && previousActive != self) SetWindowLongPtrA(self, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(previousActive));

    // Every other enabled, visible top-level window of this thread waits for the modal form.
    std::vector<HWND> disabled;
    DisableList data{self, &disabled};
    EnumThreadWindows(GetCurrentThreadId(), DisableOtherWindow, reinterpret_cast<LPARAM>(&data));

    TApplication& app = Application();
    TForm* previousModal = app.ActiveModalForm();
    app.SetActiveModalForm(this);
    modal_ = true;
    modalResult_ = mrNone;
    bool freeAfter = false;
    struct Restore {
        TForm& form; std::vector<HWND>& disabled; HWND previousActive; TForm* previousModal;
        ~Restore() {
            for (HWND w : disabled) if (IsWindow(w)) EnableWindow(w, TRUE);
            form.modal_ = false;
            if (form.HandleIfAllocated()) form.Hide();
            if (previousActive && IsWindow(previousActive)) SetActiveWindow(previousActive);
            Application().SetActiveModalForm(previousModal);
        }
    } restore{*this, disabled, previousActive, previousModal};

    Show();
    while (modalResult_ == mrNone || freeAfter) {
        if (freeAfter) break;
        app.HandleMessage();
        if (app.Terminated()) modalResult_ = mrCancel;
        if (modalResult_ != mrNone) {
            TCloseAction action = TCloseAction::caHide;
            if (!CloseQuery()) { modalResult_ = mrNone; continue; }
            if (OnClose) Application().Guard([&] { OnClose(this, action); });
            if (action == TCloseAction::caNone) { modalResult_ = mrNone; continue; }
            freeAfter = action == TCloseAction::caFree;
            break;
        }
    }
    int result = modalResult_;
    if (freeAfter || releasePending_) {
        releasePending_ = false;
        Release();
    }
    return result;
}

TButton* TForm::DefaultButton() const {
    TButton* found = nullptr;
    ForEachButton(*this, [&](TButton* b) { if (!found && b->Default()) found = b; });
    return found;
}

TButton* TForm::CancelButton() const {
    TButton* found = nullptr;
    ForEachButton(*this, [&](TButton* b) { if (!found && b->Cancel()) found = b; });
    return found;
}

void TForm::SelectNext(TWinControl* current, bool forward) {
    // Focusable windowed controls in tab order, depth first through containers.
    std::vector<TWinControl*> order;
    auto collect = [&](auto&& self, const TWinControl& parent) -> void {
        for (TWinControl* w : parent.TabList()) {
            if (w->TabStop() && w->CanFocus()) order.push_back(w);
            if (!w->Controls().empty() && w->Visible()) self(self, *w);
        }
    };
    collect(collect, *this);
    if (order.empty()) return;
    auto it = std::find(order.begin(), order.end(), current);
    std::size_t index;
    if (it == order.end()) index = forward ? 0 : order.size() - 1;
    else {
        std::size_t at = static_cast<std::size_t>(it - order.begin());
        index = forward ? (at + 1) % order.size() : (at + order.size() - 1) % order.size();
    }
    order[index]->SetFocus();
}

bool TForm::HandleDialogKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.wParam != VK_TAB && msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE) return false;
    TWinControl* target = nullptr;
    for (HWND w = msg.hwnd; w && !target; w = GetParent(w)) target = FindControl(w);
    if (!target || target->ParentForm() != this) return false;
    auto code = SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if (code & DLGC_WANTALLKEYS) return false;
    if (auto* combo = dynamic_cast<TComboBox*>(target);
        combo && combo->HandleIfAllocated() && SendMessageA(combo->HandleIfAllocated(), CB_GETDROPPEDSTATE, 0, 0))
        return false;   // Enter and Escape close the open list
    switch (msg.wParam) {
    case VK_TAB:
        if (code & DLGC_WANTTAB) return false;
        SelectNext(target == this ? nullptr : target, GetKeyState(VK_SHIFT) >= 0);
        return true;
    case VK_RETURN: {
        if (code & DLGC_WANTMESSAGE) return false;
        TButton* button = dynamic_cast<TButton*>(target);
        if (!button) button = DefaultButton();
        if (!button || !button->Visible() || !button->Enabled()) return false;
        button->Click();
        return true;
    }
    case VK_ESCAPE: {
        TButton* button = CancelButton();
        if (!button || !button->Visible() || !button->Enabled()) return false;
        button->Click();
        return true;
    }
    default: return false;
    }
}

void TForm::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_CLOSE:
        Close();   // never the default, which would destroy the window under the form
        return;
    case CM_RELEASE:
        // Freeing a form whose ShowModal is still on the stack would pull the loop's object
        // away under it: end the loop first and free it afterwards.
        if (modal_) {
            releasePending_ = true;
            if (modalResult_ == mrNone) modalResult_ = mrCancel;
            return;
        }
        delete this;
        return;
    case WM_ACTIVATE:
        if (LOWORD(m.WParam) != WA_INACTIVE) {
            if (OnActivate) OnActivate(this);
            if (activeControl_ && activeControl_->HandleIfAllocated() && activeControl_->CanFocus()) {
                ::SetFocus(activeControl_->HandleIfAllocated());
                m.Result = 0;
                return;
            }
        } else if (OnDeactivate) {
            OnDeactivate(this);
        }
        break;
    default: break;
    }
    TWinControl::WndProc(m);
}

} // namespace vm
