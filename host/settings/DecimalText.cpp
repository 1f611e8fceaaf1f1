#include "host/settings/DecimalText.h"

namespace orlinde {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::int64_t Signed(const DecimalNumber& number, std::uint64_t magnitude) {
  const auto value = static_cast<std::int64_t>(magnitude);
  return number.negative ? -value : value;
}

}  // namespace

std::optional<DecimalNumber> ScanDecimal(std::string_view text, std::size_t* used) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  DecimalNumber number;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    number.negative = text[i] == '-';
    ++i;
  }
  bool anyDigit = false;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    anyDigit = true;
    if (number.whole < kWholeLimit) {
      number.whole = number.whole * 10 + static_cast<std::uint64_t>(text[i] - '0');
      if (number.whole > kWholeLimit) number.whole = kWholeLimit;
    }
  }
  if (i < text.size() && text[i] == '.') {
    std::size_t afterPoint = i + 1;
    bool first = true;
    for (; afterPoint < text.size() && IsDigit(text[afterPoint]); ++afterPoint) {
      anyDigit = true;
      const int digit = text[afterPoint] - '0';
      if (first) {
        number.firstFractionDigit = digit;
        first = false;
      } else if (digit != 0) {
        number.laterFractionDigits = true;
      }
    }
    // A point belongs to the number only when a digit stands on either side of it.
    if (anyDigit) i = afterPoint;
  }
  if (!anyDigit) return std::nullopt;
  if (used != nullptr) *used = i;
  return number;
}

std::optional<DecimalNumber> ParseDecimal(std::string_view text) {
  std::size_t used = 0;
  auto number = ScanDecimal(text, &used);
  if (!number) return std::nullopt;
  for (std::size_t i = used; i < text.size(); ++i) {
    if (!IsBlank(text[i])) return std::nullopt;
  }
  return number;
}

std::int64_t Floor(const DecimalNumber& number) {
  const bool down = number.negative && number.HasFraction();
  return Signed(number, number.whole + (down ? 1 : 0));
}

std::int64_t RoundHalfEven(const DecimalNumber& number) {
  const int first = number.firstFractionDigit;
  bool up = false;
  if (first > 5 || (first == 5 && number.laterFractionDigits)) {
    up = true;
  } else if (first == 5) {
    up = (number.whole % 2) == 1;
  }
  return Signed(number, number.whole + (up ? 1 : 0));
}

bool Equals(const DecimalNumber& number, std::int64_t value) {
  return !number.HasFraction() && number.whole < kWholeLimit && Signed(number, number.whole) == value;
}

}  // namespace orlinde
