#pragma once
// TControl: what every control has: bounds in its parent's client coordinates, visibility,
// enabled state, caption, font, colour, cursor, hint, alignment and a parent. Messages reach a
// control through WindowProc, a replaceable handler that starts as the control's own WndProc;
// whoever replaces it (the skin engine) keeps the old value and chains to it.
#include <windows.h>

#include <string>

#include "framework/Color.h"
#include "framework/Component.h"
#include "framework/Font.h"

namespace vm {

class TWinControl;
class TForm;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// Cursor identifiers as window definitions name them; crDefault leaves the class cursor.
using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21,
                  crSizeAll = -22;
HCURSOR CursorHandle(TCursor cursor);   // nullptr for crDefault

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;
    std::string ClassName() const override { return "TControl"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    TForm* ParentForm() const;   // the form this control sits on (itself for a form)

    int Left() const { return bounds_.left; }
    int Top() const { return bounds_.top; }
    int Width() const { return bounds_.right - bounds_.left; }
    int Height() const { return bounds_.bottom - bounds_.top; }
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    RECT BoundsRect() const { return bounds_; }
    virtual void SetBounds(int left, int top, int width, int height);
    // The client area in the control's own coordinates (0,0 at its top-left corner).
    virtual RECT ClientRect() const { return RECT{0, 0, Width(), Height()}; }
    virtual int ClientWidth() const { return ClientRect().right; }
    virtual int ClientHeight() const { return ClientRect().bottom; }
    virtual void SetClientWidth(int v) { SetWidth(v); }
    virtual void SetClientHeight(int v) { SetHeight(v); }
    // Between this control's client coordinates and the screen.
    POINT ClientToScreen(POINT p) const;
    POINT ScreenToClient(POINT p) const;

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible here and in every parent, up to a shown window.
    bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    const std::string& Caption() const { return caption_; }
    virtual void SetCaption(const std::string& caption);
    const std::string& Text() const { return Caption(); }
    void SetText(const std::string& text) { SetCaption(text); }

    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    TColor Color() const { return color_; }
    virtual void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor) { cursor_ = cursor; }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool v) { showHint_ = v; parentShowHint_ = false; }
    // Follows the parent's ShowHint until ShowHint is set on this control.
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool v) { parentShowHint_ = v; }
    // Whether resting the mouse here shows Hint: a non-empty hint and ShowHint in effect.
    bool HintEnabled() const;
    TAlign Align() const { return align_; }
    // Font parts, as window definitions address them ("Font.Style").
    const std::string& FontName() const { return font_.Name(); }
    void SetFontName(const std::string& v) { font_.SetName(v); }
    int FontHeight() const { return font_.Height(); }
    void SetFontHeight(int v) { font_.SetHeight(v); }
    int FontSize() const { return font_.Size(); }
    void SetFontSize(int v) { font_.SetSize(v); }
    TColor FontColor() const { return font_.Color(); }
    void SetFontColor(TColor v) { font_.SetColor(v); }
    int FontCharset() const { return font_.Charset(); }
    void SetFontCharset(int v) { font_.SetCharset(v); }
    unsigned FontStyle() const { return font_.Style(); }
    void SetFontStyle(unsigned v) { font_.SetStyle(v); }
    void SetAlign(TAlign align);

    // Redraws the control (through its parent for a graphic control).
    virtual void Invalidate();
    // Redraws part of the control; the rectangle is in the control's own coordinates.
    virtual void InvalidatePart(const RECT& part);
    void Repaint();

    // Message entry point: calls WindowProc.
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    TWndMethod WindowProc;
    // The control's own handler; what WindowProc initially calls.
    virtual void WndProc(TMessage& message);

    virtual void Click();
    virtual void DblClick();

    TNotifyEvent OnClick, OnDblClick;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // Called by a parent: the parent's font or colour changed.
    void ParentFontChanged();
    void ParentColorChanged();

protected:
    // Mouse handling shared by windowed and graphic controls (coordinates are client ones).
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void FontChanged() { Invalidate(); }
    virtual void ColorChanged() { Invalidate(); }
    virtual void BoundsChanged(const RECT& oldBounds) { (void)oldBounds; }
    virtual void VisibleChanged() {}
    virtual void EnabledChanged() { Invalidate(); }
    virtual void CaptionChanged() { Invalidate(); }

    RECT bounds_{0, 0, 0, 0};
    // Mouse clicks become Click()/DblClick(); controls whose clicks come from the window
    // class's own notifications (buttons, lists) turn this off.
    bool clickEvents_ = true;
    // Fires the mouse events and click logic of one mouse message; false for other messages.
    bool HandleMouse(TMessage& message);

private:
    TWinControl* parent_ = nullptr;
    bool visible_ = true;
    bool enabled_ = true;
    bool clicked_ = false;       // left button went down on this control
    std::string caption_;
    TFont font_;
    bool parentFont_ = true;
    bool settingParentFont_ = false;
    TColor color_ = clBtnFace;
    bool parentColor_ = false;
    TCursor cursor_ = crDefault;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TAlign align_ = TAlign::alNone;
};

TShiftState KeysToShiftState(WPARAM keys);   // from a mouse message's wParam
TShiftState KeyboardShiftState();            // from GetKeyState

} // namespace vm
