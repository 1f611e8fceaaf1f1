// Entry point of "Orlinde.scr": Main opens a form (or none), then the process lives while a form is loaded.
#include <windows.h>

#include "App.h"
#include "Main.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  orlinde::Main();
  return orlinde::forms::app::Run();
}
