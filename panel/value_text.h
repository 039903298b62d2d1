// Value texts: numbers written as text for the host and the print settings,
// and read back. Every conversion here is independent of the process's
// locale, so a German locale still writes 0.250000.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zarvik {

// The machine word's signed integer, the width of the panel's integer fields.
using NSInteger = long;

// "%d": plain decimal with a minus sign when negative.
std::string formatInt(std::int32_t value);
// "%ld".
std::string formatLong(long value);
// "%f": fixed notation with six digits after the decimal point; "nan",
// "inf" and "-inf" for the values that have no digits.
std::string formatFloat(double value);

// Reads a decimal integer from the start of `text` as C's strtol does:
// leading white space, an optional sign, digits. Text that does not start
// with a number gives 0; a number beyond the range of long saturates.
long parseLeadingInteger(std::string_view text);

// Reads a decimal number from the start of `text` as C's strtof does in the
// "C" locale, whatever the process's locale: leading white space, a sign,
// digits with a point, an exponent; "inf" and "nan". Text that does not
// start with a number gives 0; a number beyond the range of float gives an
// infinity of its sign, one too small for it a zero of its sign.
float parseLeadingFloat(std::string_view text);

// The number a keyword such as "50" or "0.5" names: the whole text is a
// decimal number; nothing for "Fast", "50%" or an infinity.
std::optional<double> keywordNumber(std::string_view keyword);

// Narrows a word-sized integer to 32 bits, saturating at the range's ends.
std::int32_t saturateToInt32(long value);

// Converts a double to float, saturating to +-infinity beyond float's range.
float narrowToFloat(double value);

// Truncates toward zero and saturates to the 32-bit range; NaN has no value.
std::optional<std::int32_t> truncateToInt32(double value);

}  // namespace zarvik
