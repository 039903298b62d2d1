// Value texts of PPD custom parameters, read and written the same way in
// every locale. A text is taken whole: nothing before or after the number.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zarvik::host {

// An optional sign and decimal digits ("-12", "+7"). A number beyond the
// range of long long saturates to its end, so it is out of any range.
std::optional<long long> parseWholeNumber(std::string_view text);

// An optional sign, digits, and optionally a point followed by digits
// ("0.25", "-3", "10.0"); always a point, never a comma, no exponent.
std::optional<double> parseDecimal(std::string_view text);

// A length in points: a decimal number, optionally followed at once by a
// unit "pt", "in", "ft", "cm", "mm" or "m" ("12.5mm").
std::optional<double> parseLengthInPoints(std::string_view text);

// The shortest text that reads back as the same float ("0.25", "50",
// "-1.5"): the form the host writes custom values in.
std::string formatReal(float value);

}  // namespace zarvik::host
