// Arbitrary text as the host's whole command line: the argument split, the mode it selects and the preview
// window number. The split must stay inside the text, and the mode must follow the second character alone.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/app/CommandLine.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const std::string_view arguments = orlinde::ArgumentsOf(line);
  FUZZ_CHECK(arguments.size() <= line.size());
  FUZZ_CHECK(arguments.data() + arguments.size() == line.data() + line.size());

  const orlinde::CommandLine command = orlinde::ParseCommandLine(arguments);
  using orlinde::HostMode;
  HostMode expected = HostMode::None;
  switch (orlinde::SwitchCharacter(arguments)) {
    case 'P':
      expected = HostMode::Preview;
      break;
    case 'C':
      expected = HostMode::Configure;
      break;
    case 'S':
      expected = HostMode::RunCursorHidden;
      break;
    default:
      break;
  }
  if (arguments.empty()) expected = HostMode::RunCursorVisible;
  FUZZ_CHECK(command.mode == expected);
  if (command.mode != HostMode::Preview) FUZZ_CHECK(command.previewWindow == 0);
  if (command.mode == HostMode::Preview) {
    const std::int32_t number = arguments.size() > 3 ? orlinde::LeadingNumber(arguments.substr(3)) : 0;
    FUZZ_CHECK(command.previewWindow == number);
  }
  // The number reader on the whole text too (the preview number may start anywhere after the switch).
  (void)orlinde::LeadingNumber(line);
  return 0;
}
