#include "NumberText.h"

#include <cctype>
#include <limits>

namespace orlinde {

namespace {

constexpr std::int64_t kWholeCap = 1'000'000'000'000'000LL;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The number's sign, whole part and what its fraction amounts to (none, below, exactly or above a half).
struct Scanned {
  bool negative = false;
  std::int64_t whole = 0;
  enum class Fraction { None, BelowHalf, Half, AboveHalf } fraction = Fraction::None;
};

std::optional<Scanned> Scan(std::string_view text) {
  text = Trim(text);
  Scanned out;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) out.negative = text[i++] == '-';
  int digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
    out.whole = out.whole >= kWholeCap / 10 ? kWholeCap : out.whole * 10 + (text[i] - '0');
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    bool first = true, restNonZero = false;
    int firstDigit = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
      if (first) {
        firstDigit = text[i] - '0';
        first = false;
      } else if (text[i] != '0') {
        restNonZero = true;
      }
    }
    if (firstDigit > 5 || (firstDigit == 5 && restNonZero)) {
      out.fraction = Scanned::Fraction::AboveHalf;
    } else if (firstDigit == 5) {
      out.fraction = Scanned::Fraction::Half;
    } else if (firstDigit > 0 || restNonZero) {
      out.fraction = Scanned::Fraction::BelowHalf;
    }
  }
  if (digits == 0 || i != text.size()) return std::nullopt;
  return out;
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
  const std::optional<Scanned> n = Scan(text);
  if (!n) return std::nullopt;
  std::int64_t magnitude = n->whole;
  if (n->fraction == Scanned::Fraction::AboveHalf ||
      (n->fraction == Scanned::Fraction::Half && magnitude % 2 != 0)) {
    ++magnitude;
  }
  if (magnitude > kWholeCap) magnitude = kWholeCap;
  return n->negative ? -magnitude : magnitude;
}

std::optional<bool> TextToBoolean(std::string_view text) {
  const std::string_view trimmed = Trim(text);
  if (EqualsIgnoringCase(trimmed, "True")) return true;
  if (EqualsIgnoringCase(trimmed, "False")) return false;
  const std::optional<Scanned> n = Scan(trimmed);
  if (!n) return std::nullopt;
  return n->whole != 0 || n->fraction != Scanned::Fraction::None;
}

std::optional<std::uint8_t> TextToByte(std::string_view text) { return Fit<std::uint8_t>(RoundedNumber(text)); }
std::optional<std::int16_t> TextToInt16(std::string_view text) { return Fit<std::int16_t>(RoundedNumber(text)); }
std::optional<std::int32_t> TextToInt32(std::string_view text) { return Fit<std::int32_t>(RoundedNumber(text)); }

}  // namespace orlinde
