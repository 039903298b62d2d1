#include "panel/value_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "panel/system_log.h"
#include "support/german_locale.h"
#include "support/log_capture.h"

namespace zarvik::testing {
namespace {

// Equal as bit patterns, so that -0 differs from 0 and NaN equals itself.
std::uint32_t bits(float value) { return std::bit_cast<std::uint32_t>(value); }

// Written digit for digit as C's "%d", "%ld" and "%f" write them.
TEST(ValueTextTest, NumbersAreWrittenAsCWritesThem) {
  EXPECT_EQ(formatInt(INT32_MIN), std::to_string(INT32_MIN));
  EXPECT_EQ(formatLong(LONG_MIN), std::to_string(LONG_MIN));
  // Rounding at the sixth digit and its carry, the longest text, the
  // non-finite ones; the random doubles cover the rest.
  std::vector<double> values = {-0.0, 0.0000004, 0.0000006, 9.9999995, DBL_MAX, INFINITY, -INFINITY, -std::nan("")};
  std::mt19937_64 random;
  for (int i = 0; i < 2000; ++i)
    if (double value = std::bit_cast<double>(random()); std::isfinite(value)) values.push_back(value);
  for (double value : values) {
    char c[400];  // what C's "%f" writes in the process's locale: the reference for the texts
    std::snprintf(c, sizeof c, "%f", value);
    EXPECT_EQ(formatFloat(value), std::string(c)) << std::hexfloat << value;
  }
}

// Read exactly as C's strtol and strtof read them; the agreement run reads stored values against them too. These are
// the texts it does not draw: a hexadecimal number (no decimal), rounding once, digits beyond a double.
TEST(ValueTextTest, TextIsReadFromItsStartLikeStrtolAndStrtof) {
  const std::string texts[] = {"0x10", "1.00000005960464477539062500001", "1" + std::string(400, '0') + "e-5",
                               "-9223372036854775809", "5.", ".5"};
  for (const std::string& text : texts) {
    EXPECT_EQ(parseLeadingInteger(text), std::strtol(text.c_str(), nullptr, 10)) << text;
    float c = text.starts_with("0x") ? 0.0f : std::strtof(text.c_str(), nullptr);  // hex is no decimal: "0" read
    EXPECT_EQ(bits(parseLeadingFloat(text)), bits(c)) << text;
  }
  EXPECT_EQ(parseLeadingInteger(std::string_view("123", 2)), 12);  // only the view's bytes count
  EXPECT_EQ(keywordNumber("50"), 50.0);
  for (const char* notANumber : {"50%", " 50", "", "inf", "1e999"}) EXPECT_EQ(keywordNumber(notANumber), std::nullopt);
}

TEST(ValueTextTest, NarrowingSaturates) {
  EXPECT_EQ(saturateToInt32(2147483648L), INT32_MAX);
  EXPECT_EQ(saturateToInt32(-2147483649L), INT32_MIN);

  // Rounded to nearest: from half a unit past the largest float on, an infinity.
  EXPECT_EQ(narrowToFloat(std::nextafter(0x1.ffffffp127, 0.0)), FLT_MAX);
  EXPECT_EQ(narrowToFloat(-0x1.ffffffp127), -INFINITY);
  EXPECT_TRUE(std::isnan(narrowToFloat(std::nan(""))));

  const std::pair<double, std::int32_t> truncations[] = {
      {-37.9, -37}, {2147483646.9, 2147483646}, {2147483647.5, INT32_MAX}, {-2147483648.9, INT32_MIN},
      {-1e10, INT32_MIN}, {INFINITY, INT32_MAX}};
  for (const auto& [value, truncated] : truncations) EXPECT_EQ(truncateToInt32(value), truncated) << value;
  EXPECT_EQ(truncateToInt32(std::nan("")), std::nullopt);
}

// The panel's stored-value test reads and writes decimals in German.
TEST(ValueTextTest, TextIsTheSameInAGermanLocale) {
  GermanLocale german;
  EXPECT_EQ(keywordNumber("0.5"), 0.5);
  LogCapture log;
  NSLog("%f %d %ld", 0.25, 1234567, 1234567L);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"0.250000 1234567 1234567"}));
}

}  // namespace
}  // namespace zarvik::testing
