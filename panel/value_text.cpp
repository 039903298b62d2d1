#include "panel/value_text.h"

#include <algorithm>
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

// Whether a finite decimal number, [-]digits[.digits][(e|E)[sign]digits],
// is at least 1 in magnitude: whether the position of its first nonzero
// digit, moved by the exponent, lies left of the decimal point. Used only
// for numbers beyond float's range, which are far from 1 either way.
bool hasPositiveDecimalExponent(std::string_view number) {
  if (number.starts_with("-")) number.remove_prefix(1);
  std::size_t exponentAt = number.find_first_of("eE");
  std::string_view mantissa = number.substr(0, exponentAt);
  long exponent = exponentAt == std::string_view::npos ? 0 : parseLeadingInteger(number.substr(exponentAt + 1));
  std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  std::size_t first = mantissa.find_first_of("123456789");
  if (first == std::string_view::npos) return false;  // zero; never out of range
  // Digits left of the point from the first nonzero one, or minus the zeros
  // between the point and the first nonzero digit.
  long long position = first < point ? static_cast<long long>(point - first)
                                     : -static_cast<long long>(first - point - 1);
  // The position is bounded by the text's length and the exponent saturated
  // by its parse; clamped, their sum cannot overflow.
  return position + std::clamp<long long>(exponent, -(1LL << 62), 1LL << 62) > 0;
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
  // Whole numbers, most values the panel and its controls hold, print as
  // their integer and six zeros: exact below 2^53, and many times cheaper
  // than fixed notation with a precision.
  if (std::fabs(value) < 0x1p53 && value == std::trunc(value)) {
    char buffer[32];
    char* at = buffer;
    if (std::signbit(value)) *at++ = '-';  // keeps the sign of -0
    auto [end, ec] = std::to_chars(at, buffer + sizeof buffer, static_cast<long long>(std::fabs(value)));
    std::string text(buffer, end);
    text += ".000000";
    return text;
  }
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
  // from_chars takes a minus sign but no plus sign.
  if (text.starts_with("+")) {
    text.remove_prefix(1);
    if (text.starts_with("+") || text.starts_with("-")) return 0;
  }
  // Straight to float: parsing a double first and narrowing it would round
  // twice.
  float value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (end == text.data()) return 0;
  if (ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone; strtof gives an infinity or zero.
    std::string_view number(text.data(), static_cast<std::size_t>(end - text.data()));
    float magnitude = hasPositiveDecimalExponent(number) ? std::numeric_limits<float>::infinity() : 0.0f;
    return number.starts_with("-") ? -magnitude : magnitude;
  }
  return value;
}

std::string shownNumber(float value, std::string_view separator) {
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (error != std::errc()) return std::string();
  std::string text(buffer, end);
  if (std::size_t point = text.find('.'); point != std::string::npos) text.replace(point, 1, separator);
  return text;
}

std::optional<double> typedNumber(std::string_view text, std::string_view separator, int decimals) {
  text = skipSpace(text);
  while (!text.empty() && isCSpace(text.back())) text.remove_suffix(1);
  // Rewritten in C notation for from_chars, which takes no '+'.
  std::string number;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    if (text[0] == '-') number += '-';
    text.remove_prefix(1);
  }
  std::size_t digits = 0;
  int after = -1;  // digits after the separator, once there is one
  while (!text.empty()) {
    if (text[0] >= '0' && text[0] <= '9') {
      number += text[0];
      ++digits;
      if (after >= 0 && ++after > decimals) return std::nullopt;
      text.remove_prefix(1);
    } else if (after < 0 && decimals > 0 && !separator.empty() && text.starts_with(separator)) {
      number += '.';
      after = 0;
      text.remove_prefix(separator.size());
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0) return std::nullopt;
  double value = 0;
  auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::int32_t saturateToInt32(long value) {
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

std::optional<double> keywordNumber(std::string_view keyword) {
  double number = 0;
  const char* end = keyword.data() + keyword.size();
  auto [stop, error] = std::from_chars(keyword.data(), end, number);
  if (error != std::errc() || stop != end || !std::isfinite(number)) return std::nullopt;
  return number;
}

float narrowToFloat(double value) {
  // Half a unit in the last place above float's largest value: from here on
  // rounding to nearest gives an infinity; below it, the largest value.
  constexpr double kOverflow = 0x1.ffffffp127;
  if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
  if (value >= kOverflow) return std::numeric_limits<float>::infinity();
  if (value <= -kOverflow) return -std::numeric_limits<float>::infinity();
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
