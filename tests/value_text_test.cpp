#include "panel/value_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "panel/system_log.h"
#include "support/german_locale.h"
#include "support/log_capture.h"

namespace zarvik::testing {
namespace {

// What C's "%d", "%ld" and "%f" write in the process's locale: the
// reference for the texts.
std::string cText(std::int32_t value) { return std::to_string(value); }
std::string cText(long value) { return std::to_string(value); }
std::string cText(double value) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%f", value);
  return buffer;
}

// Equal as bit patterns, so that -0 differs from 0 and NaN equals itself.
::testing::AssertionResult sameFloat(float expected, float actual) {
  if (std::bit_cast<std::uint32_t>(expected) == std::bit_cast<std::uint32_t>(actual)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "expected " << expected << ", got " << actual;
}

// Written digit for digit as C's "%d", "%ld" and "%f" write them, over the
// whole range of their types.
TEST(ValueTextTest, NumbersAreWrittenAsCWritesThem) {
  for (std::int32_t value : {0, 50, -5, INT32_MAX, INT32_MIN}) EXPECT_EQ(formatInt(value), cText(value));
  for (long value : {1200L, 99999999999L, LONG_MAX, LONG_MIN}) EXPECT_EQ(formatLong(value), cText(value));
  std::vector<double> values = {0.0,     -0.0,          2.5,     0.1f, 0.0000004, 0.0000006, 1e20,
                                FLT_MAX, DBL_MAX,       DBL_MIN, 0.5,  1.0000005, 9.9999995, -1e-300,
                                INFINITY, -INFINITY, std::nan(""), -std::nan("")};
  std::uint64_t bits = 0x9E3779B97F4A7C15u;
  for (int i = 0; i < 2000; ++i) {
    bits ^= bits << 13;
    bits ^= bits >> 7;
    bits ^= bits << 17;
    if (double value = std::bit_cast<double>(bits); std::isfinite(value)) values.push_back(value);
  }
  for (double value : values) EXPECT_EQ(formatFloat(value), cText(value)) << std::hexfloat << value;
}

// Read exactly as C's strtol and strtof read them.
TEST(ValueTextTest, TextIsReadFromItsStartLikeStrtolAndStrtof) {
  const std::string manyZeros(60, '0'), moreThanDoubleHolds(400, '0');
  const std::string texts[] = {
      "35", "  35", "\t\n\v\f\r+35", "-35", "0035", "35abc", "3.9", "-3.9", "1e3", "0x10", "1 200", "1,200", "",
      "abc", "-", "+", "+-3", "- 3", "99999999999", "-99999999999", "9223372036854775808",
      "123456789012345678901234567890", "-9223372036854775809", "0.125000", "0,5", " 2.5mm", ".5", "5.", "1E-3",
      "1e", "0.1", "3.4028234e38", ".", "-+1", "1e39", "-1e39", "3.40282357e38", "1" + manyZeros,
      "1" + manyZeros + "e-10", "1" + moreThanDoubleHolds + "e-5", "1e99999999999999999999", "1e-50", "-1e-50",
      "0." + manyZeros + "1e5", "-0." + moreThanDoubleHolds + "1", "1e-99999999999999999999", "1e-40", "inf",
      "-Infinity", "nan", "0x1p3",
      // Just above halfway between 1 and the next float: rounded once, up;
      // through a double it would round down to 1.
      "1.00000005960464477539062500001"};
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    EXPECT_EQ(parseLeadingInteger(text), std::strtol(text.c_str(), nullptr, 10));
    // Hexadecimal is no decimal number: of "0x10" only the 0 is read.
    float c = text.starts_with("0x") ? 0.0f : std::strtof(text.c_str(), nullptr);
    EXPECT_TRUE(sameFloat(c, parseLeadingFloat(text)));
  }
  // Only the view's bytes count, not what lies beyond it.
  EXPECT_EQ(parseLeadingInteger(std::string_view("123", 2)), 12);
  EXPECT_EQ(keywordNumber("50"), 50.0);
  for (const char* notANumber : {"Fast", "50%", " 50", "", "inf", "1e999"}) EXPECT_EQ(keywordNumber(notANumber), std::nullopt);
}

TEST(ValueTextTest, NarrowingSaturates) {
  for (long value : {99999999999L, LONG_MAX, 2147483648L}) EXPECT_EQ(saturateToInt32(value), INT32_MAX);
  for (long value : {-99999999999L, LONG_MIN}) EXPECT_EQ(saturateToInt32(value), INT32_MIN);
  EXPECT_EQ(saturateToInt32(-5), -5);

  EXPECT_TRUE(sameFloat(0.1f, narrowToFloat(0.1)));
  EXPECT_TRUE(sameFloat(FLT_MAX, narrowToFloat(FLT_MAX)));
  // Rounded to nearest: up to half a unit above the largest float is still
  // the largest float; from there on it is an infinity.
  EXPECT_TRUE(sameFloat(FLT_MAX, narrowToFloat(std::nextafter(0x1.ffffffp127, 0.0))));
  EXPECT_TRUE(sameFloat(INFINITY, narrowToFloat(0x1.ffffffp127)));
  EXPECT_TRUE(sameFloat(-INFINITY, narrowToFloat(-1e39)));
  EXPECT_TRUE(sameFloat(0.0f, narrowToFloat(1e-50)));
  EXPECT_TRUE(std::isnan(narrowToFloat(std::nan(""))));

  const std::pair<double, std::int32_t> truncations[] = {
      {37.9, 37},          {-37.9, -37},           {-0.5, 0},        {2147483646.9, 2147483646},
      {2147483647.5, INT32_MAX}, {1e10, INT32_MAX}, {-2147483648.9, INT32_MIN}, {-1e10, INT32_MIN},
      {INFINITY, INT32_MAX}};
  for (const auto& [value, truncated] : truncations) EXPECT_EQ(truncateToInt32(value), truncated) << value;
  EXPECT_EQ(truncateToInt32(std::nan("")), std::nullopt);
}

TEST(ValueTextTest, TextIsTheSameInAGermanLocale) {
  GermanLocale german;
  ASSERT_EQ(german.failure(), "");
  ASSERT_EQ(cText(0.25), "0,250000");  // the trap is set
  EXPECT_EQ(formatFloat(-1234.5), "-1234.500000");
  EXPECT_EQ(parseLeadingFloat("0.125000"), 0.125f);
  EXPECT_EQ(parseLeadingFloat("0,5"), 0.0f);
  EXPECT_EQ(keywordNumber("0.5"), 0.5);
  LogCapture log;
  NSLog("%f %d %ld", 0.25, 1234567, 1234567L);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"0.250000 1234567 1234567"}));
}

}  // namespace
}  // namespace zarvik::testing
