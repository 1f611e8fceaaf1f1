#include "host/button/NumberText.h"

#include <cctype>
#include <limits>

#include "host/settings/DecimalText.h"

namespace orlinde {

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

template <typename T>
std::optional<T> Fit(std::optional<std::int64_t> value) {
  if (!value || *value < std::numeric_limits<T>::min() || *value > std::numeric_limits<T>::max()) {
    return std::nullopt;
  }
  return static_cast<T>(*value);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<std::int64_t> RoundedNumber(std::string_view text) {
  const std::optional<DecimalNumber> n = ParseDecimal(text);
  if (!n) return std::nullopt;
  return RoundHalfEven(*n);
}

std::optional<bool> TextToBoolean(std::string_view text) {
  const std::string_view trimmed = Trim(text);
  if (EqualsIgnoringCase(trimmed, "True")) return true;
  if (EqualsIgnoringCase(trimmed, "False")) return false;
  const std::optional<DecimalNumber> n = ParseDecimal(trimmed);
  if (!n) return std::nullopt;
  return n->whole != 0 || n->HasFraction();
}

std::optional<std::uint8_t> TextToByte(std::string_view text) {
  return Fit<std::uint8_t>(RoundedNumber(text));
}
std::optional<std::int16_t> TextToInt16(std::string_view text) {
  return Fit<std::int16_t>(RoundedNumber(text));
}
std::optional<std::int32_t> TextToInt32(std::string_view text) {
  return Fit<std::int32_t>(RoundedNumber(text));
}

}  // namespace orlinde
