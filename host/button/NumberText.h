// Stored values come back as text; these turn such text into the field types of the button and the
// dialog. A number is optional blanks (space, tab), an optional "+" or "-", digits with an optional "."
// and fraction digits (at least one digit in all), then optional blanks. A fraction is rounded to the
// nearest whole number, a value exactly halfway going to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2). A conversion gives nullopt when the text is not a number or the rounded value does not fit
// the type; the caller then keeps the field as it was or uses its own fallback.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace orlinde {

// The rounded value of a number text (the number grammar of DecimalText.h). Huge whole parts come back
// saturated, outside every type converted here.
std::optional<std::int64_t> RoundedNumber(std::string_view text);

// "True" and "False" (any case), or a number: zero is false, anything else (0.4 included) true.
std::optional<bool> TextToBoolean(std::string_view text);
std::optional<std::uint8_t> TextToByte(std::string_view text);
std::optional<std::int16_t> TextToInt16(std::string_view text);
std::optional<std::int32_t> TextToInt32(std::string_view text);

}  // namespace orlinde
