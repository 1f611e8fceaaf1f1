// The host's own texts, in one place. UTF-8; shown text goes to the wide functions (FromUtf8), the
// window titles searched with FindWindowA are plain ASCII.
#pragma once

namespace orlinde::texts {

// The run form's, the dialog's and the renderer's window titles are in common/WindowTitles.h.
inline constexpr char kPreviewCaption[] = "Preview Window";
// The black windows over the monitors other than the primary during a run.
inline constexpr char kCoverCaption[] = "Orlinde_Cover";

// The application title: the caption of the host's message box.
inline constexpr char kAppTitle[] = "Orlinde(ScreenSaver)";

// The renderer program beside the host, appended to the program folder.
inline constexpr char kRendererFile[] = "\\Orlinde.xy";

// Shown when the renderer program is missing ("Orlinde.xy cannot be found in the same folder!").
inline constexpr char kRendererMissing[] = "Orlinde.xyが同じﾌｫﾙﾀﾞに見つかりません！";

}  // namespace orlinde::texts
