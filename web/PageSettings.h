// The web page's settings from the query of its address (`?rain-interval=500&fps`): the Linux program's
// options of the same names, read by its own rules and limits (linux/ProgramOptions). The page has no other
// option: it draws in its own canvas with the built-in picture. Plain text in, plain values out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orlinde {

struct PageSettings {
  std::int32_t rainInterval = 0;  // milliseconds between drops, never below the keypad's floor
  bool showFps = false;           // the frame rate in a corner
};

struct ParsedPageSettings {
  std::optional<PageSettings> settings;  // empty when the query is refused
  std::string error;                     // then: why, in one line
};

// `query` as the address has it, with or without its leading '?': pieces joined by '&', each a name or
// name=value, percent-encoded ('+' a space). Empty pieces are skipped; `fps` takes no value (`fps=` alike).
ParsedPageSettings ParsePageSettings(std::string_view query);

}  // namespace orlinde
