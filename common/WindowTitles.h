// The three window titles by which a new start of the host finds a run, a settings dialog or a renderer
// already on screen. Each window takes its title from here, so the search and the windows cannot drift.
#pragma once

namespace orlinde {

// The hidden run form of a full-screen run.
inline constexpr char kRunFormCaption[] = "Velsora_Main";
// The settings dialog.
inline constexpr char kDialogCaption[] = "<Orlinde>";
// The renderer's window.
inline constexpr char kRendererWindowTitle[] = "Velsora_Delphi";

}  // namespace orlinde
