#pragma once
// TSkinData: the non-visual component that holds the skin every window is restyled with. Its
// skin arrives as the SkinStream byte block of its form's definition (or from a SkinFile) and
// is loaded at once into the platform-free skin model; the GDI objects the painting code needs
// are made from that model. Skinning itself is the skin manager's work (SkinManagerSeam.h).
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SkinModel.h"
#include "SkinOptions.h"
#include "WinSkinBitmaps.h"
#include "WinSkinSystem.h"
#include "framework/Component.h"
#include "framework/GdiObject.h"

namespace vm {

class TControl;
class THintWindow;
class TSkinData;

using TFormSkinEvent = std::function<void(TComponent* Sender, const std::string& aName, bool& DoSkin)>;
using TSkinControlEvent = std::function<void(TComponent* Sender, TSkinData* SkinData, TControl* Form, TControl* Control,
                                             const std::string& ControlClass, TComponent*& SkinnedControl)>;
using TSkinFormEvent = std::function<void(TComponent* Sender, HWND ahwnd, const std::string& aName)>;

inline constexpr const char* kSkinDataVersion = "5.20.05.20";

class TSkinData : public TComponent {
public:
    explicit TSkinData(TComponent* owner);
    ~TSkinData() override;
    std::string ClassName() const override { return "TSkinData"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

    // Published properties.
    bool Active() const { return active_; }
    void SetActive(bool active);
    int DisableTag() const { return disableTag_; }
    void SetDisableTag(int tag) { disableTag_ = tag; }
    unsigned SkinControls() const { return skinControls_; }
    void SetSkinControls(unsigned controls) { skinControls_ = controls; }
    unsigned Options() const { return options_; }
    void SetOptions(unsigned options) { options_ = options; }
    const std::vector<std::string>& Skin3rd() const { return skin3rd_; }
    void SetSkin3rd(std::vector<std::string> lines) { skin3rd_ = std::move(lines); }
    const std::string& SkinFile() const { return skinFile_; }
    void SetSkinFile(const std::string& path);
    std::string SkinStore() const;  // "(Good)" only while designing with a stored skin
    velmora::skin::TSkinFormType SkinFormtype() const { return formType_; }
    void SetSkinFormtype(velmora::skin::TSkinFormType type) { formType_ = type; }
    std::string Version() const { return kSkinDataVersion; }
    bool MenuUpdate() const { return menuUpdate_; }
    void SetMenuUpdate(bool value) { menuUpdate_ = value; }
    bool MenuMerge() const { return menuMerge_; }
    void SetMenuMerge(bool value) { menuMerge_ = value; }

    TFormSkinEvent OnFormSkin;
    TNotifyEvent OnSkinChanged;
    TSkinControlEvent OnSkinControl;
    TSkinFormEvent OnBeforeSkinForm;
    TSkinFormEvent OnAfterSkinForm;

    // The SkinStream byte block: a signed 32-bit count and that many bytes of stored skin.
    // Reading loads the skin at once (unless designing); a count of 0 or less means none.
    void ReadSkinStream(const std::vector<uint8_t>& block);
    std::vector<uint8_t> WriteSkinStream() const;
    const std::vector<uint8_t>& StoredSkin() const { return stored_; }

    // Raw stored skin -> elements. False (and the previous skin stays unloaded) when the
    // archive could not be read.
    bool LoadSkin();
    bool SkinLoaded() const { return !noSkinLoaded_; }
    const std::string& LoadError() const { return loadError_; }

    // Whether a window of this class is skinned (OnFormSkin, else the built-in exemptions).
    bool FormFilter(HWND window, const std::string& className);
    // Raised by the manager after each activation, deactivation or refresh.
    void SkinChanged();

    // What the painting code reads.
    const velmora::skin::SkinModel& Skin() const { return model_; }
    HBITMAP BitmapOf(const velmora::skin::PixelImage& image) const { return bitmaps_.Of(image); }
    const TSkinBitmaps& Bitmaps() const { return bitmaps_; }
    HBRUSH ButtonFaceBrush() const { return faceBrush_.Get(); }
    velmora::skin::Colour Resolve(velmora::skin::Colour colour) const;
    HFONT CaptionFont() const { return captionFont_.Get(); }
    HIMAGELIST MenuGlyphs() const { return menuGlyphs_.get(); }
    HBITMAP SmallIcon() const { return smallIcon_.Get(); }
    SIZE MaximizedSize() const { return maximizedSize_; }
    THintWindow& HintWindow();

protected:
    void Loaded() override;

private:
    void ApplyLoadedSkinFile();
    void MakeButtonFaceBrush();
    void TakeCaptionFont();
    void TakeSmallIcon();
    void MakeMenuGlyphs();

    bool active_ = false;
    int disableTag_ = 99;
    unsigned skinControls_ = velmora::skin::kDefaultSkinControls;
    unsigned options_ = velmora::skin::kDefaultSkinOptions;
    std::vector<std::string> skin3rd_;
    std::string skinFile_;
    velmora::skin::TSkinFormType formType_ = velmora::skin::sfMainform;
    bool menuUpdate_ = true;
    bool menuMerge_ = false;

    std::vector<uint8_t> stored_;  // the raw stored skin
    bool noSkinLoaded_ = true;
    std::string loadError_;
    TWinSkinSystem system_;
    velmora::skin::SkinModel model_;
    TSkinBitmaps bitmaps_;
    TBrushHandle faceBrush_;
    TFontHandle captionFont_;
    TBitmapHandle smallIcon_;
    struct ImageListDeleter {
        void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
    };
    std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter> menuGlyphs_;
    SIZE maximizedSize_{};
    THintWindow* hintWindow_ = nullptr;  // owned as a component
};

// Makes TSkinData known to window definitions.
void RegisterSkinDataClass();

}  // namespace vm
