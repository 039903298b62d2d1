#include "panel/value_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace zarvik {
namespace {

bool isCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view skipSpace(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isCSpace(text[i])) ++i;
  return text.substr(i);
}

}  // namespace

std::string formatInt(std::int32_t value) { return formatLong(value); }

std::string formatLong(long value) {
  char buffer[24];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, end);
}

std::string formatFloat(double value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  // The largest double has 309 integer digits; 6 decimals, sign and point.
  char buffer[330];
  auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  if (ec != std::errc()) return "nan";
  return std::string(buffer, end);
}

long parseLeadingInteger(std::string_view text) {
  text = skipSpace(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  std::size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  if (digits == 0) return 0;
  // Accumulate toward the sign's end so that LONG_MIN itself is reachable.
  constexpr long kMax = std::numeric_limits<long>::max();
  constexpr long kMin = std::numeric_limits<long>::min();
  long value = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    int digit = text[i] - '0';
    if (negative) {
      if (value < (kMin + digit) / 10) return kMin;
      value = value * 10 - digit;
    } else {
      if (value > (kMax - digit) / 10) return kMax;
      value = value * 10 + digit;
    }
  }
  return value;
}

float parseLeadingFloat(std::string_view text) {
  text = skipSpace(text);
  bool explicitPlus = !text.empty() && text[0] == '+';
  if (explicitPlus) text.remove_prefix(1);
  if (text.starts_with("+") || text.starts_with("-")) {
    if (explicitPlus) return 0;  // "+-1" is not a number
  }
  double value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ptr == text.data()) return 0;
  if (ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone; tell overflow from underflow by the
    // exponent's sign.
    std::string_view number(text.data(), static_cast<std::size_t>(ptr - text.data()));
    auto e = number.find_first_of("eE");
    bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
    bool negative = number.starts_with("-");
    if (tiny) return negative ? -0.0f : 0.0f;
    return negative ? -std::numeric_limits<float>::infinity()
                    : std::numeric_limits<float>::infinity();
  }
  return narrowToFloat(value);
}

std::int32_t saturateToInt32(long value) {
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

float narrowToFloat(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
  if (value > kMax) return std::numeric_limits<float>::infinity();
  if (value < -kMax) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

std::optional<std::int32_t> truncateToInt32(double value) {
  if (std::isnan(value)) return std::nullopt;
  constexpr double kMax = std::numeric_limits<std::int32_t>::max();
  constexpr double kMin = std::numeric_limits<std::int32_t>::min();
  if (value >= kMax) return std::numeric_limits<std::int32_t>::max();
  if (value <= kMin) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);  // in range: truncates toward zero
}

}  // namespace zarvik
