// The process side of the form layer: the application title, the program folder, the screen's twips
// scale, a message box, the message loop that keeps the process alive while a form is loaded, and the
// immediate end of the process.
#pragma once

#include <windows.h>

#include <string>

#include "host/forms/Units.h"

namespace orlinde::forms {

class Form;

namespace app {

// The application title ("Orlinde(ScreenSaver)" once the host sets it); the caption of MsgBox.
const std::wstring& Title();
void SetTitle(std::wstring title);

// Folder of the running program, ANSI bytes, without a trailing "\" (so "\name" can be appended).
std::string Path();

// Twips per pixel of the primary screen, from its dots per inch.
const TwipsScale& Scale();

// Screen size in pixels.
int ScreenWidthPixels();
int ScreenHeightPixels();

// A message box with the application's text; no owner window. Returns MessageBoxW's result.
int MsgBox(const std::wstring& text, UINT buttons = MB_OK, const std::wstring& title = Title());

// Runs the message loop until the last loaded form unloads; returns the exit code for WinMain.
// Returns at once when no form is loaded.
int Run();

// Ends the process at once: no further event of any form runs.
[[noreturn]] void End(UINT exitCode = 0);

// How many forms are loaded now.
int LoadedForms();

// Offers a message to the loaded form it is for (Form::FilterMessage); true when that form took it. Every
// message loop calls this before TranslateMessage and DispatchMessage.
bool FilterMessage(const MSG& message);

// Book-keeping called by Form; the last unload ends the message loop.
void FormLoaded(Form& form);
void FormUnloaded(Form& form);

}  // namespace app
}  // namespace orlinde::forms
