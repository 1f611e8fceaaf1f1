// Decimal numbers in text, as the host reads them from its command line, its settings file and MCI replies.
//
// A number is: an optional "+" or "-", then digits with an optional "." and fraction digits, at least one
// digit in all ("2", "-0.5", "2.", ".5"). Exponents ("1e3"), hexadecimal prefixes, thousands separators and
// decimal commas are not part of a number. Blanks are the space and the tab.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace orlinde {

// Whole parts at or above this are kept as this value: every caller treats them as out of range.
inline constexpr std::uint64_t kWholeLimit = 1'000'000'000'000ULL;

struct DecimalNumber {
  bool negative = false;
  std::uint64_t whole = 0;           // digits before the point, saturated at kWholeLimit
  int firstFractionDigit = 0;        // the first digit after the point, 0 when there is none
  bool laterFractionDigits = false;  // a nonzero digit follows the first fraction digit

  bool HasFraction() const { return firstFractionDigit != 0 || laterFractionDigits; }
};

// The number at the start of `text` after leading blanks; `used` (when given) receives the bytes consumed.
std::optional<DecimalNumber> ScanDecimal(std::string_view text, std::size_t* used = nullptr);

// `text` as a whole is one number, with blanks allowed before and after it.
std::optional<DecimalNumber> ParseDecimal(std::string_view text);

// Rounded toward minus infinity: 1.9 -> 1, -0.5 -> -1.
std::int64_t Floor(const DecimalNumber& number);

// Rounded to the nearest whole number, halves to the even neighbour: 2.5 -> 2, 3.5 -> 4, -2.5 -> -2.
std::int64_t RoundHalfEven(const DecimalNumber& number);

// True when the number is exactly `value` (no fraction).
bool Equals(const DecimalNumber& number, std::int64_t value);

}  // namespace orlinde
