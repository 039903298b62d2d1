#include "panel/value_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "panel/system_log.h"
#include "support/german_locale.h"
#include "support/log_capture.h"

namespace zarvik::testing {
namespace {

// C's own "%f", in the "C" locale, as the reference for formatFloat.
std::string cFixed(double value) {
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

TEST(ValueTextTest, IntegersArePlainDecimal) {
  EXPECT_EQ(formatInt(0), "0");
  EXPECT_EQ(formatInt(50), "50");
  EXPECT_EQ(formatInt(-5), "-5");
  EXPECT_EQ(formatInt(INT32_MAX), "2147483647");
  EXPECT_EQ(formatInt(INT32_MIN), "-2147483648");
  EXPECT_EQ(formatLong(1200), "1200");
  EXPECT_EQ(formatLong(99999999999L), "99999999999");
  EXPECT_EQ(formatLong(LONG_MAX), "9223372036854775807");
  EXPECT_EQ(formatLong(LONG_MIN), "-9223372036854775808");
}

TEST(ValueTextTest, FloatsHaveSixDecimalsInFixedNotation) {
  EXPECT_EQ(formatFloat(0.0), "0.000000");
  EXPECT_EQ(formatFloat(-0.0), "-0.000000");
  EXPECT_EQ(formatFloat(2.5), "2.500000");
  EXPECT_EQ(formatFloat(0.25), "0.250000");
  EXPECT_EQ(formatFloat(0.125f), "0.125000");
  EXPECT_EQ(formatFloat(0.1f), "0.100000");  // the float widened: 0.100000001490116...
  EXPECT_EQ(formatFloat(0.0000004), "0.000000");
  EXPECT_EQ(formatFloat(0.0000006), "0.000001");
  EXPECT_EQ(formatFloat(1e20), "100000000000000000000.000000");
  EXPECT_EQ(formatFloat(FLT_MAX), "340282346638528859811704183484516925440.000000");
  EXPECT_EQ(formatFloat(std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(formatFloat(-std::numeric_limits<double>::infinity()), "-inf");
  EXPECT_EQ(formatFloat(std::nan("")), "nan");
  EXPECT_EQ(formatFloat(-std::nan("")), "-nan");

  // Digit for digit what C writes, over the whole range of doubles.
  std::vector<double> values = {DBL_MAX, -DBL_MAX, DBL_MIN, DBL_TRUE_MIN, 0.5, 1.0000005, 2.0000005,
                                0.0000005, 9.9999995, 123456789.123456789, 1e300, -1e-300};
  std::uint64_t bits = 0x9E3779B97F4A7C15u;
  for (int i = 0; i < 2000; ++i) {
    bits ^= bits << 13;
    bits ^= bits >> 7;
    bits ^= bits << 17;
    double value = std::bit_cast<double>(bits);
    if (std::isfinite(value)) values.push_back(value);
  }
  for (double value : values) EXPECT_EQ(formatFloat(value), cFixed(value)) << std::hexfloat << value;
}

TEST(ValueTextTest, IntegerTextIsReadFromItsStartLikeStrtol) {
  struct Case {
    const char* text;
    long value;
  };
  const Case cases[] = {
      {"35", 35},
      {"  35", 35},
      {"\t\n\v\f\r+35", 35},
      {"-35", -35},
      {"0035", 35},
      {"35abc", 35},
      {"3.9", 3},
      {"-3.9", -3},
      {"1e3", 1},
      {"0x10", 0},
      {"1 200", 1},
      {"1,200", 1},
      {"", 0},
      {"abc", 0},
      {"-", 0},
      {"+", 0},
      {"+-3", 0},
      {"- 3", 0},
      {"99999999999", 99999999999L},
      {"-99999999999", -99999999999L},
      {"9223372036854775807", LONG_MAX},
      {"9223372036854775808", LONG_MAX},
      {"123456789012345678901234567890", LONG_MAX},
      {"-9223372036854775808", LONG_MIN},
      {"-9223372036854775809", LONG_MIN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(parseLeadingInteger(c.text), c.value);
    EXPECT_EQ(parseLeadingInteger(c.text), std::strtol(c.text, nullptr, 10));
  }
  // Only the view's bytes count, not what lies beyond it.
  EXPECT_EQ(parseLeadingInteger(std::string_view("123", 2)), 12);
}

TEST(ValueTextTest, FloatTextIsReadFromItsStartLikeStrtof) {
  const std::string manyZeros(60, '0');
  const std::string moreThanDoubleHolds(400, '0');
  struct Case {
    std::string text;
    float value;
  };
  const Case cases[] = {
      {"0.125000", 0.125f},
      {"0.5", 0.5f},
      {"0,5", 0.0f},  // the point is the only decimal separator
      {"2,5", 2.0f},
      {" 2.5mm", 2.5f},
      {"+1.5", 1.5f},
      {"-1.5", -1.5f},
      {".5", 0.5f},
      {"5.", 5.0f},
      {"1e3", 1000.0f},
      {"1E-3", 0.001f},
      {"1e", 1.0f},
      {"0.1", 0.1f},
      {"3.4028234e38", FLT_MAX},
      {"", 0.0f},
      {"abc", 0.0f},
      {".", 0.0f},
      {"+-1", 0.0f},
      {"-+1", 0.0f},
      {"1e39", std::numeric_limits<float>::infinity()},
      {"-1e39", -std::numeric_limits<float>::infinity()},
      {"3.40282357e38", std::numeric_limits<float>::infinity()},
      {"1" + manyZeros, std::numeric_limits<float>::infinity()},
      {"1" + manyZeros + "e-10", std::numeric_limits<float>::infinity()},
      {"1" + moreThanDoubleHolds + "e-5", std::numeric_limits<float>::infinity()},
      {"1e99999999999999999999", std::numeric_limits<float>::infinity()},
      {"1e-50", 0.0f},
      {"-1e-50", -0.0f},
      {"0." + manyZeros + "1", 0.0f},
      {"0." + manyZeros + "1e5", 0.0f},
      {"-0." + moreThanDoubleHolds + "1", -0.0f},
      {"1e-99999999999999999999", 0.0f},
      {"1e-40", 1e-40f},  // subnormal, not zero
      {"inf", std::numeric_limits<float>::infinity()},
      {"-Infinity", -std::numeric_limits<float>::infinity()},
      {"nan", std::numeric_limits<float>::quiet_NaN()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_TRUE(sameFloat(c.value, parseLeadingFloat(c.text)));
    EXPECT_TRUE(sameFloat(std::strtof(c.text.c_str(), nullptr), parseLeadingFloat(c.text)));
  }
  // Rounded once, straight to float, as strtof does: just above halfway
  // between 1 and the next float, it rounds up; through a double it would
  // first become the halfway value and then round down to 1.
  const char* halfway = "1.00000005960464477539062500001";
  EXPECT_TRUE(sameFloat(std::strtof(halfway, nullptr), parseLeadingFloat(halfway)));
  // Hexadecimal is not a decimal number: only its leading 0 is read.
  EXPECT_TRUE(sameFloat(0.0f, parseLeadingFloat("0x1p3")));
}

TEST(ValueTextTest, NarrowingSaturates) {
  EXPECT_EQ(saturateToInt32(99999999999L), INT32_MAX);
  EXPECT_EQ(saturateToInt32(-99999999999L), INT32_MIN);
  EXPECT_EQ(saturateToInt32(LONG_MAX), INT32_MAX);
  EXPECT_EQ(saturateToInt32(LONG_MIN), INT32_MIN);
  EXPECT_EQ(saturateToInt32(2147483648L), INT32_MAX);
  EXPECT_EQ(saturateToInt32(INT32_MAX), INT32_MAX);
  EXPECT_EQ(saturateToInt32(INT32_MIN), INT32_MIN);
  EXPECT_EQ(saturateToInt32(-5), -5);

  EXPECT_TRUE(sameFloat(0.1f, narrowToFloat(0.1)));
  EXPECT_TRUE(sameFloat(FLT_MAX, narrowToFloat(FLT_MAX)));
  // Rounded to nearest: up to half a unit above the largest float is still
  // the largest float; from there on it is an infinity.
  EXPECT_TRUE(sameFloat(FLT_MAX, narrowToFloat(std::nextafter(0x1.ffffffp127, 0.0))));
  EXPECT_TRUE(sameFloat(std::numeric_limits<float>::infinity(), narrowToFloat(0x1.ffffffp127)));
  EXPECT_TRUE(sameFloat(-std::numeric_limits<float>::infinity(), narrowToFloat(-1e39)));
  EXPECT_TRUE(sameFloat(std::numeric_limits<float>::infinity(), narrowToFloat(DBL_MAX)));
  EXPECT_TRUE(sameFloat(0.0f, narrowToFloat(1e-50)));
  EXPECT_TRUE(std::isnan(narrowToFloat(std::nan(""))));

  EXPECT_EQ(truncateToInt32(37.9), 37);
  EXPECT_EQ(truncateToInt32(-37.9), -37);
  EXPECT_EQ(truncateToInt32(-0.5), 0);
  EXPECT_EQ(truncateToInt32(2147483646.9), 2147483646);
  EXPECT_EQ(truncateToInt32(2147483647.5), INT32_MAX);
  EXPECT_EQ(truncateToInt32(1e10), INT32_MAX);
  EXPECT_EQ(truncateToInt32(-2147483648.9), INT32_MIN);
  EXPECT_EQ(truncateToInt32(-1e10), INT32_MIN);
  EXPECT_EQ(truncateToInt32(std::numeric_limits<double>::infinity()), INT32_MAX);
  EXPECT_EQ(truncateToInt32(std::nan("")), std::nullopt);
}

TEST(ValueTextTest, TextIsTheSameInAGermanLocale) {
  GermanLocale german;
  ASSERT_EQ(german.failure(), "");
  // The trap is set: C and C++ both write a decimal comma now.
  char cText[32];
  std::snprintf(cText, sizeof cText, "%f", 0.25);
  ASSERT_STREQ(cText, "0,250000");
  std::ostringstream stream;
  stream << 0.5;
  ASSERT_EQ(stream.str(), "0,5");
  ASSERT_EQ(std::strtof("0,5", nullptr), 0.5f);

  EXPECT_EQ(formatFloat(0.25), "0.250000");
  EXPECT_EQ(formatFloat(-1234.5), "-1234.500000");
  EXPECT_EQ(formatInt(1234567), "1234567");
  EXPECT_EQ(formatLong(-1234567), "-1234567");
  EXPECT_EQ(parseLeadingFloat("0.5"), 0.5f);
  EXPECT_EQ(parseLeadingFloat("0.125000"), 0.125f);
  EXPECT_EQ(parseLeadingFloat("0,5"), 0.0f);
  EXPECT_EQ(parseLeadingInteger("1.234"), 1);

  LogCapture log;
  NSLog("%f %d %ld", 0.25, 1234567, 1234567L);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"0.250000 1234567 1234567"}));
}

}  // namespace
}  // namespace zarvik::testing
