#include "host/custom_value.h"

#include <array>
#include <charconv>
#include <limits>

namespace zarvik::host {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Splits off an optional sign; answers whether the number is negative.
bool takeSign(std::string_view& text) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    bool negative = text.front() == '-';
    text.remove_prefix(1);
    return negative;
  }
  return false;
}

std::size_t countDigits(std::string_view text) {
  std::size_t n = 0;
  while (n < text.size() && isDigit(text[n])) ++n;
  return n;
}

// Length of the decimal number at the start of `text` (without its sign),
// or 0 when it does not start with one.
std::size_t decimalLength(std::string_view text) {
  std::size_t whole = countDigits(text);
  if (whole == 0) return 0;
  if (whole < text.size() && text[whole] == '.') {
    std::size_t fraction = countDigits(text.substr(whole + 1));
    return fraction == 0 ? 0 : whole + 1 + fraction;
  }
  return whole;
}

double readDecimal(std::string_view digits, bool negative) {
  double value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    // Beyond a double: huge when a whole digit is not zero, else tiny.
    bool huge = digits.substr(0, digits.find('.')).find_first_not_of('0') != std::string_view::npos;
    value = huge ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

struct Unit {
  std::string_view name;
  double points;
};
constexpr std::array<Unit, 6> kUnits = {
    {{"pt", 1.0}, {"in", 72.0}, {"ft", 12.0 * 72.0}, {"cm", 72.0 / 2.54}, {"mm", 72.0 / 25.4}, {"m", 72.0 / 0.0254}}};

}  // namespace

std::optional<long long> parseWholeNumber(std::string_view text) {
  bool negative = takeSign(text);
  if (text.empty() || countDigits(text) != text.size()) return std::nullopt;
  unsigned long long magnitude = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
  (void)end;
  constexpr auto kMax = static_cast<unsigned long long>(std::numeric_limits<long long>::max());
  if (error == std::errc::result_out_of_range || magnitude > kMax) {
    return negative ? std::numeric_limits<long long>::min() : std::numeric_limits<long long>::max();
  }
  long long value = static_cast<long long>(magnitude);
  return negative ? -value : value;
}

std::optional<double> parseDecimal(std::string_view text) {
  bool negative = takeSign(text);
  if (text.empty() || decimalLength(text) != text.size()) return std::nullopt;
  return readDecimal(text, negative);
}

std::optional<double> parseLengthInPoints(std::string_view text) {
  bool negative = takeSign(text);
  std::size_t length = decimalLength(text);
  if (length == 0) return std::nullopt;
  std::string_view unit = text.substr(length);
  double value = readDecimal(text.substr(0, length), negative);
  if (unit.empty()) return value;
  for (const Unit& known : kUnits) {
    if (unit == known.name) return value * known.points;
  }
  return std::nullopt;
}

std::string formatReal(float value) {
  if (value == 0.0f) value = 0.0f;  // no "-0"
  std::array<char, 64> buffer{};
  auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
  if (error != std::errc()) return "0";
  return std::string(buffer.data(), end);
}

}  // namespace zarvik::host
