#include "app/Velmora_Play.h"

#include "app/Velmora_Main.h"
#include "flashhost/FlashPlayer.h"
#include "framework/Application.h"

namespace vm {

void RegisterPlaybackClasses() { RegisterFlashHostClasses(); }

TPlaySWF::TPlaySWF(TComponent* owner) : TForm(owner) {
  RegisterPlaybackClasses();
  RegisterHandler("FormClose", &TPlaySWF::FormClose);
  ReadDefinition();
  ShockwaveFlash1 = &Component<TsfFlashPlayer>("ShockwaveFlash1");
  CreateComplete();
}

void TPlaySWF::FormClose(TComponent*, TCloseAction&) {
  // The window itself is destroyed by whoever showed it, so the close action stays as it is.
  const auto* catalogue = dynamic_cast<const TfrmFlash*>(Application().MainForm());
  if (catalogue && catalogue->FromCommandLine) Application().Terminate();
}

}  // namespace vm
