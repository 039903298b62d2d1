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

// Numbers in a field as a person reads and types them, in the person's
// language. The language gives only its decimal separator ("." in English,
// "," in German): the fields group no digits.
inline constexpr int kAnyDecimals = 1 << 30;

// The text a field shows for `value`: the shortest fixed notation that reads
// back as the same float, with `separator` as its decimal separator. 50
// shows "50", 0.25 "0.25" (German "0,25").
std::string shownNumber(float value, std::string_view separator);

// The number `text` means in a field that takes at most `decimals` digits
// after `separator` (0: whole numbers): white space around, an optional
// sign, digits with at most one separator. Anything else means no number
// the field takes: the other language's separator (in German "1.000" is a
// thousand to some and one to others), an exponent, letters, an empty text.
std::optional<double> typedNumber(std::string_view text, std::string_view separator, int decimals);

// Narrows a word-sized integer to 32 bits, saturating at the range's ends.
std::int32_t saturateToInt32(long value);

// Converts a double to float, saturating to +-infinity beyond float's range.
float narrowToFloat(double value);

// Truncates toward zero and saturates to the 32-bit range; NaN has no value.
std::optional<std::int32_t> truncateToInt32(double value);

}  // namespace zarvik
