#pragma once
// TWinControl: a control that owns a window. The window is created from the control's
// properties (CreateParams) once its parent has a window, and recreated state comes from the
// control's fields, so properties may be set before a window exists. Standard Windows classes
// (BUTTON, LISTBOX...) are superclassed under the framework class name, so every windowed
// control has one window procedure: StdWndProc -> WindowProc -> WndProc -> DefaultHandler,
// where DefaultHandler calls the original class procedure (or DefWindowProc).
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Canvas.h"
#include "framework/Control.h"

namespace vm {

class TGraphicControl;

struct TCreateParams {
    std::string caption;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    HWND parent = nullptr;
    std::string windowClass;        // registered class name; defaults to ClassName()
    std::string systemClass;        // a standard class to superclass ("BUTTON"), or empty
    UINT classStyle = CS_DBLCLKS;
    TColor background = clBtnFace;  // class background (unused: WM_ERASEBKGND paints Color)
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;
    std::string ClassName() const override { return "TWinControl"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

    // The window, created on demand (with the parent's, for a child control).
    HWND Handle();
    HWND HandleIfAllocated() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    // Destroys the window (state is kept in the control); recreated on demand.
    void DestroyHandle();
    void RecreateWnd();

    // Children in z-order (first = bottom). Graphic children are painted in this order.
    const std::vector<TControl*>& Controls() const { return controls_; }
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    // Topmost visible child whose bounds hold the point (client coordinates), or nullptr.
    TControl* ControlAtPos(POINT p, bool allowDisabled = false, bool windowedToo = false) const;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void AlignControls();
    // Sends a message to this control and all its children.
    void Broadcast(TMessage& message);

    int TabOrder() const;
    void SetTabOrder(int order);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v) { tabStop_ = v; }
    // Windowed children that can take focus, ordered by TabOrder.
    std::vector<TWinControl*> TabList() const;

    bool Focused() const;
    virtual bool CanFocus() const;
    virtual void SetFocus();

    // The control that owns a framework window, or nullptr.
    static TWinControl* FindControl(HWND wnd);

    void WndProc(TMessage& message) override;
    // The class's own processing: the superclassed procedure or DefWindowProc.
    void DefaultHandler(TMessage& message);

    // A control read from a definition after its parent has a window gets its own now.
    void Loaded() override;

    void Invalidate() override;
    void InvalidatePart(const RECT& part) override;
    // Whether a container shows its parent's background (read by the skin engine).
    bool ParentBackground() const { return parentBackground_; }
    void SetParentBackground(bool v) { parentBackground_ = v; Invalidate(); }
    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() const override;
    void SetClientWidth(int v) override;
    void SetClientHeight(int v) override;
    void SetCaption(const std::string& caption) override;
    void SetParent(TWinControl* parent) override;

    TKeyEvent OnKeyDown, OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter, OnExit;

    // Paints the graphic children onto a device context in this control's client coordinates.
    void PaintControls(HDC dc, const RECT& dirty);
    // Paints the whole control, its border and its children included, onto a device context
    // with the control's outer top-left corner at (x, y) in the context's logical coordinates.
    // Only the border that the control's styles draw (a sunken client edge or a plain border)
    // is painted; the client area follows it, shifted by that border's width.
    void PaintTo(HDC dc, int x, int y);
    // The width of the border PaintTo draws: 2 for a client edge, 1 for a plain border, else 0.
    int PaintToBorderWidth();

protected:
    virtual void CreateParams(TCreateParams& params);
    // Pushes control state (font, items, selection...) into a freshly created window.
    virtual void CreateWnd();
    virtual void DestroyWnd();
    // Custom painting of framework classes before their graphic children are drawn.
    virtual void PaintWindow(TCanvas& canvas) { (void)canvas; }
    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(char& key);
    // True when the background should be filled with Color on WM_ERASEBKGND.
    virtual bool PaintsBackground() const { return true; }

    void FontChanged() override;
    void ColorChanged() override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void CaptionChanged() override;
    // Updates the window position from bounds_ (parent's client coordinates).
    virtual void UpdateWindowBounds();
    // For controls whose size the window itself decides (a combo box's height).
    void AdoptWindowBounds();

    // The brush and colours for WM_CTLCOLOR* reflected from the parent.
    LRESULT ControlColor(HDC dc);

private:
    friend LRESULT CALLBACK StdWndProc(HWND, UINT, WPARAM, LPARAM);
    void CreateHandle();
    void CreateChildHandles();
    bool RouteMouseToGraphic(TMessage& message);
    bool ReflectNotification(TMessage& message);
    void PaintHandler(TMessage& message);
    bool SetCursorFromChild(TMessage& message);
    void NoteMouseForHint(const TMessage& message);

    HWND handle_ = nullptr;
    WNDPROC defaultProc_ = nullptr;
    std::vector<TControl*> controls_;
    int tabOrder_ = -1;
    bool tabStop_ = false;
    bool parentBackground_ = true;
    TControl* mouseCapture_ = nullptr;    // graphic child holding the mouse while a button is down
    TControl* mouseOver_ = nullptr;       // graphic child under the cursor
    TBrushHandle colorBrush_;
    bool aligning_ = false;
    bool destroyingHandle_ = false;
};

} // namespace vm
