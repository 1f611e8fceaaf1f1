#include "host/app/CommandLine.h"

#include <limits>

#include "host/settings/DecimalText.h"

namespace orlinde {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::string_view ArgumentsOf(std::string_view processCommandLine) {
  std::size_t i = 0;
  if (!processCommandLine.empty() && processCommandLine[0] == '"') {
    // A quoted name ends at its closing quote; the arguments may follow at once ("C:\x\Orlinde.scr"/s).
    const std::size_t close = processCommandLine.find('"', 1);
    i = close == std::string_view::npos ? processCommandLine.size() : close + 1;
  } else {
    while (i < processCommandLine.size() && !IsBlank(processCommandLine[i])) ++i;
  }
  while (i < processCommandLine.size() && IsBlank(processCommandLine[i])) ++i;
  return processCommandLine.substr(i);
}

char SwitchCharacter(std::string_view arguments) {
  return arguments.size() < 2 ? '\0' : UpperAscii(arguments[1]);
}

std::int32_t LeadingNumber(std::string_view text) {
  const auto number = ScanDecimal(text);
  if (!number) return 0;
  const std::int64_t value = RoundHalfEven(*number);
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
    return 0;
  }
  return static_cast<std::int32_t>(value);
}

CommandLine ParseCommandLine(std::string_view arguments) {
  CommandLine result;
  if (arguments.empty()) {
    result.mode = HostMode::RunCursorVisible;
    return result;
  }
  switch (SwitchCharacter(arguments)) {
    case 'P':
      result.mode = HostMode::Preview;
      result.previewWindow = arguments.size() > 3 ? LeadingNumber(arguments.substr(3)) : 0;
      break;
    case 'C':
      result.mode = HostMode::Configure;
      break;
    case 'S':
      result.mode = HostMode::RunCursorHidden;
      break;
    default:
      result.mode = HostMode::None;
      break;
  }
  return result;
}

}  // namespace orlinde
