#include "CatalogueFixture.h"

#include "app/FlashControlInstaller.h"
#include "flashhost/ShockwaveFlash.h"

#include "flashhost/FlashPlayer.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/ListBox.h"
#include "framework/RegistryKey.h"
#include "framework/Text.h"
#include "grid/NextGrid.h"

namespace vm::test {
namespace {

constexpr int kHeaderHeight = 18;
constexpr int kRowHeight = 16;

}  // namespace

SupportPreference::SupportPreference() {
  TRegistryKey key;
  saved_ = key.Open(HKEY_CURRENT_USER, "Orvane\\Support") == ERROR_SUCCESS ? key.ReadString("45") : std::nullopt;
}

SupportPreference::SupportPreference(const char* value) : SupportPreference() { Set(value); }

SupportPreference::~SupportPreference() { Set(saved_ ? saved_->c_str() : nullptr); }

void SupportPreference::Set(const char* value) {
  TRegistryKey key;
  key.Create(HKEY_CURRENT_USER, "Orvane\\Support");
  if (value)
    key.WriteString("45", value);
  else
    key.DeleteValue("45");
}

// The installed control file loaded as a COM server of this process: its class object is what
// CoCreateInstance returns for the Flash control's class while this lives.
class CatalogueFixture::InstalledControl {
 public:
  explicit InstalledControl(const std::string& file) : module_(LoadLibraryA(file.c_str())) {
    if (!module_) {
      ADD_FAILURE() << "the installed control does not load: " << file << " (error " << GetLastError() << ")";
      return;
    }
    canUnload_ = reinterpret_cast<CanUnloadCall>(reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
    auto getClassObject =
        reinterpret_cast<GetClassObjectCall>(reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    if (!getClassObject || !canUnload_) {
      ADD_FAILURE() << "the installed control lacks the server entry points";
      return;
    }
    IUnknown* factory = nullptr;
    HRESULT hr = getClassObject(CLSID_ShockwaveFlash, IID_IUnknown, reinterpret_cast<void**>(&factory));
    if (SUCCEEDED(hr)) {
      hr = CoRegisterClassObject(CLSID_ShockwaveFlash, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
      factory->Release();  // the registration holds its own reference
    }
    EXPECT_EQ(hr, S_OK) << "registering the installed control's class object";
  }
  ~InstalledControl() {
    if (cookie_) CoRevokeClassObject(cookie_);
    if (canUnload_) EXPECT_EQ(canUnload_(), S_OK) << "the control still has live objects or locks";
    if (module_) FreeLibrary(module_);
  }
  InstalledControl(const InstalledControl&) = delete;
  InstalledControl& operator=(const InstalledControl&) = delete;

 private:
  using GetClassObjectCall = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  using CanUnloadCall = HRESULT(STDAPICALLTYPE*)();
  HMODULE module_;
  CanUnloadCall canUnload_ = nullptr;
  DWORD cookie_ = 0;
};

CatalogueFixture::CatalogueFixture(FlashControlKind kind) : kind_(kind) {
  static int counter = 0;
  registryPath = "Software\\VelmoraTests\\catalogue-" + std::to_string(GetCurrentProcessId()) + "-" +
                 std::to_string(++counter);
  RegCreateKeyExA(HKEY_CURRENT_USER, registryPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &registry, nullptr);
  app.MakeFolder("VidudIvu");
  EXPECT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  TestFlashControl::Reset();
  if (kind_ == FlashControlKind::StandIn) {
    flashRegistration_ = std::make_unique<TestFlashControl::Registration>();
    EXPECT_EQ(flashRegistration_->Result(), S_OK);
  }
}

void CatalogueFixture::RegisterInstalledControl() {
  ASSERT_EQ(kind_, FlashControlKind::Installed);
  installedControl_ = std::make_unique<InstalledControl>(FlashControlFile(SystemFolder()));
}

CatalogueFixture::~CatalogueFixture() {
  if (Application().MainForm() == form.get()) Application().SetMainForm(nullptr);
  form.reset();
  PumpPending();
  if (Application().Terminated()) {
    Application().Initialize();  // later tests run loops again
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
  }
  // Every playback window let go of its control, and the control of the window.
  for (TestFlashControl* flash : TestFlashControl::Instances()) {
    EXPECT_TRUE(flash->OutstandingReferences().empty()) << "a playback window kept references on its control";
    EXPECT_TRUE(flash->HeldSiteReferences().empty()) << "a control kept references on its playback window";
  }
  flashRegistration_.reset();
  installedControl_.reset();
  TestFlashControl::Reset();
  OleUninitialize();
  RegCloseKey(registry);
  RegDeleteTreeA(HKEY_CURRENT_USER, registryPath.c_str());
}

void CatalogueFixture::Watch(TForm& window) {
  if (auto* playback = dynamic_cast<TPlaySWF*>(&window)) {
    Play play;
    play.movie = WideToAnsi(playback->ShockwaveFlash1->Movie());
    play.quality = WideToAnsi(playback->ShockwaveFlash1->Quality2());
    play.caption = playback->Caption();
    GetWindowRect(playback->Handle(), &play.bounds);
    const bool standIn = kind_ == FlashControlKind::StandIn && !playback->ShockwaveFlash1->ControlUnavailable();
    play.flash = standIn ? TestFlashControl::LastInstance() : nullptr;
    plays.push_back(play);
    if (onPlayback) onPlayback(*playback);
  } else if (auto* support = dynamic_cast<TfrmDonate*>(&window)) {
    ++supportDialogs;
    if (onSupportDialog) onSupportDialog(*support);
  } else if (auto* about = dynamic_cast<TfrmVelmoraAbout*>(&window)) {
    ++aboutDialogs;
    if (onAbout) onAbout(*about);
  } else {
    ADD_FAILURE() << "an unexpected modal window: " << window.ClassName();
  }
}

TCatalogueContext CatalogueFixture::Context(std::vector<std::string> arguments) {
  TCatalogueContext context;
  context.ExePath = ExePath();
  context.Arguments = std::move(arguments);
  context.UserRegistry = registry;
  context.FlashControl.SystemFolder = SystemFolder();
  // The stand-in control is registered in-process; nothing would ever show in the registry.
  context.FlashControl.ControlRegistered = [] { return true; };
  return context;
}

TfrmFlash& CatalogueFixture::Open(std::vector<std::string> arguments) { return OpenWith(Context(std::move(arguments))); }

TfrmFlash& CatalogueFixture::OpenWith(TCatalogueContext context) {
  form = std::make_unique<TfrmFlash>(nullptr, std::move(context));
  form->Show();
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()) != 0; }));
  return *form;
}

TfrmFlash& CatalogueFixture::OpenAsProgram(std::vector<std::string> arguments) {
  form = std::make_unique<TfrmFlash>(nullptr, Context(std::move(arguments)));
  Application().SetMainForm(form.get());
  form->Show();
  PumpPending();
  return *form;
}

void CatalogueFixture::ClickCategory(const std::string& name) {
  const int index = form->FCList->Items().IndexOf(name);
  ASSERT_NE(index, -1) << name;
  const RECT item = form->FCList->ItemRect(index);
  ClickAt(form->FCList->Handle(), (item.left + item.right) / 2, (item.top + item.bottom) / 2);
}

int CatalogueFixture::RowOf(const std::wstring& name) const {
  for (int row = 0; row < form->FL->RowCount(); ++row)
    if (form->FL->GetCellText(0, row) == name) return row;
  return -1;
}

void CatalogueFixture::ClickRow(int row) {
  ClickAt(form->FL->Handle(), 40, kHeaderHeight + row * kRowHeight + kRowHeight / 2);
}

void CatalogueFixture::DoubleClickRow(int row) {
  DoubleClickAt(form->FL->Handle(), 40, kHeaderHeight + row * kRowHeight + kRowHeight / 2);
}

void CatalogueFixture::ClickHeader(int column) {
  // Columns 0 and 1 are 158 and 93 pixels wide.
  const int x = column == 0 ? 60 : 158 + 40;
  ClickAt(form->FL->Handle(), x, kHeaderHeight / 2);
}

void CatalogueFixture::PressGridKey(WORD virtualKey, char typed) { PressKey(form->FL->Handle(), virtualKey, typed); }

void CatalogueFixture::ClickButton(TButton& button) {
  ClickAt(button.Handle(), button.Width() / 2, button.Height() / 2);
}

std::vector<std::wstring> CatalogueFixture::Names() const {
  std::vector<std::wstring> names;
  for (int row = 0; row < form->FL->RowCount(); ++row) names.push_back(form->FL->GetCellText(0, row));
  return names;
}

std::vector<std::wstring> CatalogueFixture::Sizes() const {
  std::vector<std::wstring> sizes;
  for (int row = 0; row < form->FL->RowCount(); ++row) sizes.push_back(form->FL->GetCellText(1, row));
  return sizes;
}

std::vector<std::string> CatalogueFixture::Categories() const { return form->FCList->Items().Items(); }

}  // namespace vm::test
