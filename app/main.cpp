// Velmora.exe starts here.
#include "app/Velmora_Main.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return vm::RunVelmora(); }
