// Arbitrary bytes as the Linux program's arguments (separated by NUL bytes), and the text after the last
// NUL as $XSCREENSAVER_WINDOW. An accepted command line must hold only values the program can use; a
// refused one must say why.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "linux/ProgramOptions.h"
#include "scene/RainScene.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> arguments;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = input.find('\0', start);
    arguments.push_back(input.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }

  const orlinde::ParsedOptions parsed = orlinde::ParseProgramOptions(arguments);
  FUZZ_CHECK(parsed.options.has_value() == parsed.error.empty());
  if (parsed.options) {
    const orlinde::ProgramOptions& o = *parsed.options;
    FUZZ_CHECK(o.rainInterval >= orlinde::kRainIntervalFloor);
    FUZZ_CHECK(o.delayMicroseconds >= 0 && o.delayMicroseconds <= orlinde::kMaxDelayMicroseconds);
    FUZZ_CHECK(orlinde::ParseMonitorsOption(orlinde::MonitorModeName(o.monitors)) == o.monitors);
    if (o.target == orlinde::DrawTarget::kWindowId) {
      FUZZ_CHECK(o.windowId != 0 && o.windowId <= std::numeric_limits<std::uint32_t>::max());
    }
    const std::string saverWindow(arguments.back());
    const orlinde::ResolvedPlace resolved = orlinde::ResolveDrawPlace(o, saverWindow.c_str());
    FUZZ_CHECK(resolved.place.has_value() == resolved.error.empty());
    if (resolved.place && resolved.place->kind == orlinde::DrawPlace::Kind::kGivenWindow) {
      FUZZ_CHECK(resolved.place->windowId != 0 && resolved.place->windowId <= 0xFFFFFFFFu);
    }
  }
  if (const auto id = orlinde::ParseWindowId(input)) FUZZ_CHECK(*id != 0 && *id <= 0xFFFFFFFFu);
  return 0;
}
