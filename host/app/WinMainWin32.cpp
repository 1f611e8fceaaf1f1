// Entry point of "Orlinde.scr": Main opens a form (or none), then the process lives while a form is loaded.
#include <windows.h>

#include "host/app/Host.h"
#include "host/app/MainWin32.h"
#include "host/forms/AppWin32.h"
#include "host/music/MusicWin32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  orlinde::music::Win32MediaSystem media;
  orlinde::Host host(media);
  const auto runForm = orlinde::Main(host);
  return orlinde::forms::app::Run();
}
