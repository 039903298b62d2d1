#include "panel/value_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>


namespace zarvik::testing {
namespace {

// Equal as bit patterns, so that -0 differs from 0 and NaN equals itself.
std::uint32_t bits(float value) { return std::bit_cast<std::uint32_t>(value); }

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
      {-37.9, -37}, {2147483647.5, INT32_MAX}, {-2147483648.9, INT32_MIN},
      {-1e10, INT32_MIN}, {INFINITY, INT32_MAX}};
  for (const auto& [value, truncated] : truncations) EXPECT_EQ(truncateToInt32(value), truncated) << value;
  EXPECT_EQ(truncateToInt32(std::nan("")), std::nullopt);
}

}  // namespace
}  // namespace zarvik::testing
