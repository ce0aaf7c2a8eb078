#include "WinSkinData.h"

#include <fstream>
#include <iterator>

#include "Skin3rd.h"
#include "SkinArchive.h"
#include "SkinArchiveStored.h"
#include "SkinManagerSeam.h"
#include "framework/Application.h"
#include "framework/ComponentClasses.h"
#include "framework/Form.h"
#include "framework/HintWindow.h"
#include "framework/MessageBoxes.h"

namespace vm {

namespace skin = velmora::skin;

namespace {

template <size_t N> std::vector<std::string> namesOf(const std::array<const char*, N>& names) {
    return {names.begin(), names.end()};
}

constexpr UINT kRequestDelayMs = 250;

bool IsExistingFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EStreamError("Cannot open skin file " + path);
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw EStreamError("Cannot read skin file " + path);
    return bytes;
}

}  // namespace

TSkinData::TSkinData(TComponent* owner) : TComponent(owner), skin3rd_(skin::defaultSkin3rd()) {
    maximizedSize_ = {GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
    MakeMenuGlyphs();
}

TSkinData::~TSkinData() {
    SetDestroying();
    if (ISkinManager* manager = SkinManager()) manager->Unregister(this);
}

const TPropertyTable& TSkinData::ClassProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&TComponent::ClassProperties());
        t.Boolean<TSkinData>("Active", &TSkinData::Active, &TSkinData::SetActive);
        t.Integer<TSkinData>("DisableTag", &TSkinData::DisableTag, &TSkinData::SetDisableTag);
        t.Set<TSkinData>("SkinControls", namesOf(skin::kSkinControlTypeNames), &TSkinData::SkinControls,
                         &TSkinData::SetSkinControls);
        t.Set<TSkinData>("Options", namesOf(skin::kSkinOptionNames), &TSkinData::Options, &TSkinData::SetOptions);
        t.Add<TSkinData>("Skin3rd.Strings", TValueKind::Strings,
            [](const TSkinData& c) { return TValue::MakeStrings(c.Skin3rd()); },
            [](TSkinData& c, const TValue& v) { c.SetSkin3rd(v.AsStrings()); });
        t.Text<TSkinData>("SkinFile", &TSkinData::SkinFile, &TSkinData::SetSkinFile);
        // Indicators: what they read is computed, and stored values are ignored.
        t.Add<TSkinData>("SkinStore", TValueKind::Text,
            [](const TSkinData& c) { return TValue::Text(c.SkinStore()); }, [](TSkinData&, const TValue&) {});
        t.Enum<TSkinData, skin::TSkinFormType>("SkinFormtype", namesOf(skin::kSkinFormTypeNames),
                                               &TSkinData::SkinFormtype, &TSkinData::SetSkinFormtype);
        t.Add<TSkinData>("Version", TValueKind::Text,
            [](const TSkinData& c) { return TValue::Text(c.Version()); }, [](TSkinData&, const TValue&) {});
        t.Boolean<TSkinData>("MenuUpdate", &TSkinData::MenuUpdate, &TSkinData::SetMenuUpdate);
        t.Boolean<TSkinData>("MenuMerge", &TSkinData::MenuMerge, &TSkinData::SetMenuMerge);
        t.Event<TSkinData>("OnFormSkin", &TSkinData::OnFormSkin);
        t.Event<TSkinData>("OnSkinChanged", &TSkinData::OnSkinChanged);
        t.Event<TSkinData>("OnSkinControl", &TSkinData::OnSkinControl);
        t.Event<TSkinData>("OnBeforeSkinForm", &TSkinData::OnBeforeSkinForm);
        t.Event<TSkinData>("OnAfterSkinForm", &TSkinData::OnAfterSkinForm);
        t.Add<TSkinData>("SkinStream", TValueKind::Binary,
            [](const TSkinData& c) { return TValue::MakeBinary(c.WriteSkinStream()); },
            [](TSkinData& c, const TValue& v) { c.ReadSkinStream(v.AsBinary()); });
        return t;
    }();
    return table;
}

std::string TSkinData::SkinStore() const { return Designing() && !stored_.empty() ? "(Good)" : "(none)"; }

void TSkinData::ReadSkinStream(const std::vector<uint8_t>& block) {
    try {
        stored_ = skin::readSkinStreamProperty(block);
    } catch (const skin::SkinArchiveError& e) {
        throw EPropertyError(std::string("SkinStream: ") + e.what());
    }
    if (!Designing()) LoadSkin();
}

std::vector<uint8_t> TSkinData::WriteSkinStream() const { return skin::writeSkinStreamProperty(stored_); }

bool TSkinData::LoadSkin() {
    noSkinLoaded_ = true;
    const auto showMessage = [](const std::string& text) {
        MessageBoxService().Show(nullptr, text, Application().Title(), MB_OK);
    };
    skin::SkinLoadResult result = skin::loadStoredSkin(stored_, system_, showMessage);
    loadError_ = result.error;
    if (!result.loaded) return false;
    model_ = std::move(result.model);
    bitmaps_.Build(model_);
    MakeButtonFaceBrush();
    noSkinLoaded_ = false;
    return true;
}

skin::Colour TSkinData::Resolve(skin::Colour colour) const { return skin::resolveColour(colour, system_.resolver()); }

void TSkinData::MakeButtonFaceBrush() {
    faceBrush_.Reset();
    faceBrush_.Reset(CreateSolidBrush(Resolve(model_.Colours[skin::kButtonFaceSlot])));
}

void TSkinData::SetActive(bool active) {
    if (Designing() || Loading()) {
        active_ = active;  // Loaded() acts on the stored value
        return;
    }
    if (active == active_) return;
    ISkinManager* manager = SkinManager();
    switch (formType_) {
        case skin::sfMainform:
        case skin::sfOnlyThisForm:
            // Nothing to switch on while no skin is loaded.
            if (active && noSkinLoaded_) return;
            active_ = active;
            if (!manager) return;
            if (active || formType_ == skin::sfOnlyThisForm) manager->SetCurrentSkinData(this);
            manager->Request(active ? TSkinRequest::SkinAll : TSkinRequest::UnskinAll, this, kRequestDelayMs);
            if (active && formType_ == skin::sfMainform) manager->MarkStarted();
            return;
        default:
            active_ = active;
    }
}

void TSkinData::SetSkinFile(const std::string& path) {
    noSkinLoaded_ = true;
    skinFile_ = path;
    if (Designing()) {
        if (!path.empty()) stored_.clear();
        return;
    }
    if (path.empty() || !IsExistingFile(path)) return;
    stored_ = ReadWholeFile(path);
    if (LoadSkin() && !Loading()) ApplyLoadedSkinFile();
}

void TSkinData::ApplyLoadedSkinFile() {
    ISkinManager* manager = SkinManager();
    if (!manager) return;
    manager->SetCurrentSkinData(this);
    manager->ReReadSkin(this);
    if (manager->Started()) manager->Request(TSkinRequest::Refresh, this, kRequestDelayMs);
}

void TSkinData::Loaded() {
    TComponent::Loaded();
    if (Designing()) return;
    // Scroll bars are skinned through GetScrollBarInfo; without it they keep the system's look.
    if (!GetProcAddress(GetModuleHandleA("user32.dll"), "GetScrollBarInfo"))
        skinControls_ &= ~skin::bit(skin::xcScrollbar);
    ISkinManager* manager = SkinManager();
    if (manager) manager->Register(this);
    TakeCaptionFont();
    if (formType_ != skin::sfMainform) {
        if (!manager) return;
        manager->Enable();
        manager->MarkStarted();
        if (dynamic_cast<TForm*>(Owner()) && active_) manager->SkinOwnerForm(Owner());
        return;
    }
    if (manager) manager->InstallCreationHook();
    if (active_) {
        if (noSkinLoaded_) active_ = false;
        else if (manager) manager->Request(TSkinRequest::SkinAll, this, kRequestDelayMs);
    }
    // Menus are skinned either as a whole main menu or through the system menu, never both.
    if (skin::has(skinControls_, skin::xcMainMenu)) skinControls_ &= ~skin::bit(skin::xcMenuItem);
    else skinControls_ &= ~skin::bit(skin::xcSystemMenu);
    TakeSmallIcon();
}

bool TSkinData::FormFilter(HWND, const std::string& className) {
    skin::FormSkinDecider decider;
    if (OnFormSkin) decider = [this](const std::string& name, bool& doSkin) { OnFormSkin(this, name, doSkin); };
    return skin::skinsFormClass(className, skinControls_, decider);
}

void TSkinData::SkinChanged() {
    if (OnSkinChanged) OnSkinChanged(this);
}

void TSkinData::TakeCaptionFont() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return;
    captionFont_.Reset(CreateFontIndirectA(&metrics.lfCaptionFont));
}

// The program's icon at the small-icon size on magenta, for the caption's icon button.
void TSkinData::TakeSmallIcon() {
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
    if (!icon) return;
    TBitmapHandle bitmap = MakeSkinBitmap(skin::PixelImage(cx, cy, skin::pixelOf(skin::kMagenta)));
    {
        TMemoryDC dc;
        TSelectObject selected(dc.Get(), bitmap.Get());
        DrawIconEx(dc.Get(), 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
    }
    DestroyIcon(icon);
    smallIcon_ = std::move(bitmap);
}

// Restore, maximize, minimize and close glyphs; white is the mask colour.
void TSkinData::MakeMenuGlyphs() {
    HBITMAP strip = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), "TARVINEMENU", IMAGE_BITMAP, 0, 0, 0));
    if (!strip) return;
    TBitmapHandle owned(strip);
    menuGlyphs_.reset(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 0));
    if (menuGlyphs_) ImageList_AddMasked(menuGlyphs_.get(), strip, RGB(255, 255, 255));
}

THintWindow& TSkinData::HintWindow() {
    if (!hintWindow_) hintWindow_ = new THintWindow(this);
    return *hintWindow_;
}

void RegisterSkinDataClass() { RegisterComponentClass<TSkinData>("TSkinData"); }

}  // namespace vm
