#pragma once
// TForm: a top-level window built from a window definition. A form class registers its
// handlers by name, then reads its definition (an RCDATA resource named after the class in
// capitals, "TFRMFLASH" for TfrmFlash), which creates the child controls, sets properties and
// assigns events; then OnCreate runs. Exceptions from OnCreate/OnShow/OnClose handlers go to
// the application's error box and the form carries on, as from any other handler.
//
//     TfrmFlash::TfrmFlash(TComponent* owner) : TForm(owner) {
//         RegisterHandler("Button1Click", &TfrmFlash::Button1Click);
//         ...
//         ReadDefinition();              // or ReadDefinitionText(text, "name")
//         Button1 = &Component<TButton>("Button1");
//         CreateComplete();              // runs OnCreate
//     }
#include <string>
#include <string_view>

#include "framework/WinControl.h"

namespace vm {

class TButton;

enum class TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
enum class TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
                       poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum class TFormState { Normal, Modal };

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;
    std::string ClassName() const override { return "TForm"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

    // Reads the definition resource named after ClassName() (upper case) from the executable.
    void ReadDefinition();
    void ReadDefinitionResource(HINSTANCE module, const std::string& resourceName);
    void ReadDefinitionText(std::string_view text, const std::string& sourceName);
    // Ends construction: creates the window (hidden) and runs OnCreate.
    void CreateComplete();

    void Show();
    void Hide() { SetVisible(false); }
    // Asks OnCloseQuery and OnClose; hides, frees (deferred) or minimises as they decide.
    // The main form's close ends the application.
    void Close();
    // Shows the form modally: other windows of the application are disabled and a nested
    // message loop runs until ModalResult becomes non-zero (a button with a modal result, or
    // Close, which gives mrCancel). Returns the modal result.
    int ShowModal();
    bool Modal() const { return modal_; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    // Deferred deletion, safe from the form's own handlers.
    void Release();

    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    unsigned BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(unsigned icons);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition p) { position_ = p; }
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool v) { keyPreview_ = v; }
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    // Moves the focus along the tab order (the order of TabOrder values among focusable controls).
    void SelectNext(TWinControl* current, bool forward);
    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetClientWidth(int v) override;
    void SetClientHeight(int v) override;
    // The default and cancel buttons (Enter and Escape), if any.
    TButton* DefaultButton() const;
    TButton* CancelButton() const;
    // Dialog keys (Tab, Enter, Escape) for a key message aimed at one of this form's windows;
    // true when handled. Called by the application's message loop.
    bool HandleDialogKey(const MSG& msg);

    TNotifyEvent OnCreate, OnShow, OnHide, OnActivate, OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void VisibleChanged() override;
    void Loaded() override;
    virtual void DoCreate();
    virtual void DoShow();
    virtual void DoHide();
    bool CloseQuery();

private:
    void PlaceOnScreen();
    TBorderStyle borderStyle_ = TBorderStyle::bsSizeable;
    unsigned borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TPosition position_ = TPosition::poDesigned;
    bool keyPreview_ = false;
    bool modal_ = false;
    int modalResult_ = mrNone;
    int clientWidth_ = -1, clientHeight_ = -1;   // from the definition, applied at creation
    TWinControl* activeControl_ = nullptr;
    bool created_ = false;
    bool placed_ = false;
    bool releasePending_ = false;   // Release() while modal: freed once ShowModal returns
};

} // namespace vm
