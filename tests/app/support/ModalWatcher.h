#pragma once
// Answers the modal windows a test causes (playback window, support and About dialogs) as a
// user would, from a timer of the test's thread: each modal window, once on screen, is handed
// to the test's handler, then closed unless the handler ended it already. The timer runs
// inside the window's own modal loop, so the code under test continues as after a real close.

#include <windows.h>

#include <functional>

#include "framework/Form.h"

namespace vm::test {

class ModalWatcher {
 public:
  explicit ModalWatcher(std::function<void(TForm&)> onShown);
  ~ModalWatcher();
  ModalWatcher(const ModalWatcher&) = delete;
  ModalWatcher& operator=(const ModalWatcher&) = delete;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  void Check();

  std::function<void(TForm&)> onShown_;
  UINT_PTR timer_ = 0;
  bool busy_ = false;
};

}  // namespace vm::test
