#include "ModalWatcher.h"

#include "framework/Application.h"

namespace vm::test {
namespace {

constexpr UINT kTickMs = 10;
ModalWatcher* active = nullptr;  // thread timers carry no object, and one watcher runs at a time

}  // namespace

ModalWatcher::ModalWatcher(std::function<void(TForm&)> onShown) : onShown_(std::move(onShown)) {
  active = this;
  timer_ = SetTimer(nullptr, 0, kTickMs, &ModalWatcher::Tick);
}

ModalWatcher::~ModalWatcher() {
  KillTimer(nullptr, timer_);
  active = nullptr;
}

void CALLBACK ModalWatcher::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (active) active->Check();
}

void ModalWatcher::Check() {
  TForm* window = Application().ActiveModalForm();
  // A window already told to close is on its way out; the handler may pump messages itself.
  if (busy_ || !window || window->ModalResult() != mrNone || !IsWindowVisible(window->Handle())) return;
  busy_ = true;
  onShown_(*window);
  busy_ = false;
  if (Application().ActiveModalForm() == window && window->ModalResult() == mrNone) window->Close();
}

}  // namespace vm::test
