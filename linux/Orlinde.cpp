// The Linux program `orlinde`: reads the command line, then hands over to the shell for the display system
// it draws through (Wayland when a compositor is named and no X window asked for, X11 otherwise).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "linux/ProgramOptions.h"
#include "linux/Shells.h"

int main(int argc, char** argv) {
  std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  const orlinde::ParsedOptions parsed = orlinde::ParseProgramOptions(arguments);
  const std::string_view name = argc > 0 ? std::string_view(argv[0]) : std::string_view("orlinde");
  const std::size_t slash = name.rfind('/');
  const std::string usage = orlinde::UsageText(slash == std::string_view::npos ? name : name.substr(slash + 1));
  if (!parsed.options) {
    std::fprintf(stderr, "orlinde: %s\n%s", parsed.error.c_str(), usage.c_str());
    return 1;
  }
  if (parsed.options->help) {
    std::fputs(usage.c_str(), stdout);
    return 0;
  }
  const orlinde::ChosenShell chosen =
      orlinde::ChooseShell(*parsed.options, std::getenv("WAYLAND_DISPLAY"), std::getenv("XSCREENSAVER_WINDOW"));
  if (!chosen.shell) {
    std::fprintf(stderr, "orlinde: %s\n", chosen.error.c_str());
    return 1;
  }
  return *chosen.shell == orlinde::Shell::kWayland ? orlinde::RunWayland(*parsed.options)
                                                   : orlinde::RunX11(*parsed.options);
}
