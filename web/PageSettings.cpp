#include "web/PageSettings.h"

#include <array>
#include <vector>

#include "linux/ProgramOptions.h"

namespace orlinde {
namespace {

// The options the page takes; the others name windows, files and monitors a page does not have.
constexpr std::array<std::string_view, 2> kPageOptions = {"rain-interval", "fps"};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Undoes the percent-encoding of a query piece; empty when a '%' is not followed by two hex digits.
std::optional<std::string> Decode(std::string_view text) {
  std::string decoded;
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '+') {
      decoded += ' ';
    } else if (text[k] == '%') {
      if (k + 2 >= text.size()) return std::nullopt;
      const int high = HexDigit(text[k + 1]), low = HexDigit(text[k + 2]);
      if (high < 0 || low < 0) return std::nullopt;
      decoded += static_cast<char>(high * 16 + low);
      k += 2;
    } else {
      decoded += text[k];
    }
  }
  return decoded;
}

ParsedPageSettings Refuse(std::string error) {
  return {std::nullopt, std::move(error)};
}

}  // namespace

ParsedPageSettings ParsePageSettings(std::string_view query) {
  if (!query.empty() && query.front() == '?') query.remove_prefix(1);
  std::vector<std::string> arguments;
  while (!query.empty()) {
    const std::size_t end = query.find('&');
    const std::string_view piece = query.substr(0, end);
    query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
    if (piece.empty()) continue;
    const std::size_t equals = piece.find('=');
    const auto name = Decode(piece.substr(0, equals));
    const auto value =
        equals == std::string_view::npos ? std::optional<std::string>() : Decode(piece.substr(equals + 1));
    if (!name || (equals != std::string_view::npos && !value)) {
      return Refuse("\"" + std::string(piece) + "\" is not written as an address writes a setting");
    }
    bool known = false;
    for (const std::string_view option : kPageOptions) known = known || option == *name;
    if (!known) return Refuse("\"" + *name + "\" is no setting of this page (rain-interval, fps)");
    // The program's own words: a value after '=', and fps with none.
    const bool flag = *name == "fps" && value && value->empty();
    arguments.push_back("--" + *name + (value && !flag ? "=" + *value : std::string()));
  }

  std::vector<std::string_view> words(arguments.begin(), arguments.end());
  ParsedOptions parsed = ParseProgramOptions(words);
  if (!parsed.options) {
    // The program says "--name: ..."; the page's settings have no dashes.
    std::string error = parsed.error;
    if (error.rfind("--", 0) == 0) error.erase(0, 2);
    return Refuse(error);
  }
  return {PageSettings{parsed.options->rainInterval, parsed.options->showFps}, {}};
}

}  // namespace orlinde
