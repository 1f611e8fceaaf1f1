// The renderer's window title: the host finds a running renderer by this title alone, so both programs
// take it from here.
#pragma once

namespace orlinde {

inline constexpr char kRendererWindowTitle[] = "Velsora_Delphi";

}  // namespace orlinde
