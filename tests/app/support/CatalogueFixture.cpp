#include "CatalogueFixture.h"

#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/ListBox.h"
#include "grid/NextGrid.h"

namespace vm::test {
namespace {

constexpr int kHeaderHeight = 18;
constexpr int kRowHeight = 16;

}  // namespace

CatalogueFixture::CatalogueFixture() {
  static int counter = 0;
  registryPath = "Software\\VelmoraTests\\catalogue-" + std::to_string(GetCurrentProcessId()) + "-" +
                 std::to_string(++counter);
  RegCreateKeyExA(HKEY_CURRENT_USER, registryPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &registry, nullptr);
  app.MakeFolder("VidudIvu");
}

CatalogueFixture::~CatalogueFixture() {
  form.reset();
  PumpPending();
  RegCloseKey(registry);
  RegDeleteTreeA(HKEY_CURRENT_USER, registryPath.c_str());
}

TCatalogueContext CatalogueFixture::Context(std::vector<std::string> arguments) {
  TCatalogueContext context;
  context.ExePath = ExePath();
  context.Arguments = std::move(arguments);
  context.UserRegistry = registry;
  context.ShowPlaybackWindow = [this](const std::string& movie, const std::string& quality) {
    plays.push_back({movie, quality});
  };
  context.ShowSupportDialog = [this] { ++supportDialogs; };
  return context;
}

TfrmFlash& CatalogueFixture::Open(std::vector<std::string> arguments) { return OpenWith(Context(std::move(arguments))); }

TfrmFlash& CatalogueFixture::OpenWith(TCatalogueContext context) {
  form = std::make_unique<TfrmFlash>(nullptr, std::move(context));
  form->Show();
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()) != 0; }));
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
