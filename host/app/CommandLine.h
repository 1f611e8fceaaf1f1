// The screen-saver command line: which mode the host opens, and the preview window's number.
#pragma once

#include <cstdint>
#include <string_view>

namespace orlinde {

enum class HostMode {
  None,              // unrecognised switch or a one-character line: end quietly
  Preview,           // "P": the preview form inside the given window
  Configure,         // "C": the settings dialog, modal
  RunCursorHidden,   // "S": the full-screen run with the cursor hidden
  RunCursorVisible,  // empty command line: the full-screen run, cursor left alone
};

struct CommandLine {
  HostMode mode = HostMode::None;
  // Preview only: the number from the fourth character on, 0 when there is none or it does not fit 32 bits.
  std::int32_t previewWindow = 0;
};

// The argument text of a whole process command line (GetCommandLineA): the program name, quoted or not,
// and the blanks after it are skipped.
std::string_view ArgumentsOf(std::string_view processCommandLine);

// The second character of the arguments, upper-cased (ASCII); 0 when there is none. Only this character
// selects the mode; the run's end uses it to decide whether the cursor is given back.
char SwitchCharacter(std::string_view arguments);

// Mode and preview window from the argument text (what follows the program name).
CommandLine ParseCommandLine(std::string_view arguments);

// The preview window number in `text`: leading blanks skipped, then an optionally signed decimal number
// with an optional fraction, rounded half to even. 0 when no number starts there or it lies outside
// the 32-bit range.
std::int32_t LeadingNumber(std::string_view text);

}  // namespace orlinde
