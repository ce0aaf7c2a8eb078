#include "framework/GraphicControl.h"

#include "framework/WinControl.h"

namespace vm {

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

HWND TGraphicControl::ParentHandle() const { return Parent() ? Parent()->Handle() : nullptr; }

void TGraphicControl::WndProc(TMessage& message) { HandleMouse(message); }

} // namespace vm
