#pragma once
// The playback window: one movie in a Flash player filling the window. The catalogue window
// creates a fresh one for every play, sets it up, shows it modally and destroys it.

#include <string>

#include "framework/Form.h"

namespace vm {

class TsfFlashPlayer;

class TPlaySWF : public TForm {
 public:
  explicit TPlaySWF(TComponent* owner);
  std::string ClassName() const override { return "TPlaySWF"; }

  TsfFlashPlayer* ShockwaveFlash1 = nullptr;

  // A movie that came from the command line ends the program with its window.
  void FormClose(TComponent* Sender, TCloseAction& Action);
};

// Makes the component classes of the playback window's definition known.
void RegisterPlaybackClasses();

}  // namespace vm
