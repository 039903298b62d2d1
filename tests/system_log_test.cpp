#include "panel/system_log.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/log_capture.h"

namespace zarvik::testing {
namespace {

using Lines = std::vector<std::string>;

TEST(SystemLogTest, DirectivesFormatAsInCAndArgumentsNeverAsDirectives) {
  LogCapture log;
  const char* none = nullptr;
  NSLog("int %d long %ld c %s object %@ real %f percent %%", -7, LONG_MIN, "abc", std::string("xyz"), 0.25);
  // A float is widened to double, as C's varargs do.
  NSLog("%d %ld %f %f %f", INT_MIN, LONG_MAX, 0.1f, -0.0, std::nan(""));
  // A string object may stand where a C string is expected; nil is (null),
  // an empty string is a string.
  NSLog("%s|%@|%@|%@|%s|[%@]", std::string("object"), std::string_view("view"), std::optional<std::string>("held"),
        std::optional<std::string>(), none, std::string());
  NSLog("Saved %@ to %@", std::string("%d%s%@%%"), std::string("%n%ld%f"));
  NSLog("A new user choice has been selected\nThe choice is: %@\n The type is: %ld", std::string("Raster"), 0L);
  EXPECT_EQ(log.lines, (Lines{"int -7 long -9223372036854775808 c abc object xyz real 0.250000 percent %",
                              "-2147483648 9223372036854775807 0.100000 -0.000000 nan",
                              "object|view|held|(null)|(null)|[]", "Saved %d%s%@%% to %n%ld%f",
                              "A new user choice has been selected\nThe choice is: Raster\n The type is: 0"}));
  // setLogSink answers the sink it replaced, so a caller can put it back.
  LogCapture other;
  EXPECT_EQ(setLogSink(&log), &other);
  EXPECT_EQ(setLogSink(&other), &log);
}

TEST(SystemLogTest, ArgumentsAreEscapedSoDataCannotForgeAnEntry) {
  struct Case {
    std::string argument;
    std::string shown;
  };
  const Case cases[] = {
      {"k\nSaved 1 to k", "k\\nSaved 1 to k"},
      {"a\rb\tc", "a\\rb\\tc"},
      {std::string("nul\0here", 8), "nul\\x00here"},
      {"\x1b[31mred", "\\x1b[31mred"},
      // The backslash itself is escaped, so an escape in the data cannot
      // pass for one that the log made.
      {"a\\nb", "a\\\\nb"},
      // Valid UTF-8 stays readable.
      {"Materialst\xc3\xa4rke \xe2\x80\x93 \xf0\x9f\x94\xa5", "Materialst\xc3\xa4rke \xe2\x80\x93 \xf0\x9f\x94\xa5"},
      // Every byte of an invalid sequence is escaped on its own.
      {"Gr\xf6\xdf" "e", "Gr\\xf6\\xdfe"},
      {"\xc3", "\\xc3"},
      // Controls and separators outside ASCII that some readers break on.
      {"a\xc2\x85" "b", "a\\u0085b"},
      {"\xc2\x80\xc2\x9f\xc2\xa0", "\\u0080\\u009f\xc2\xa0"},
      {"a\xe2\x80\xa8" "b\xe2\x80\xa9" "c", "a\\u2028b\\u2029c"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    LogCapture log;
    NSLog("Unable to get %@", c.argument);
    NSLog("Unable to find the custom option: %s.", c.argument.c_str());
    std::string cString = c.argument.substr(0, c.argument.find('\0'));
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0], "Unable to get " + c.shown);
    EXPECT_EQ(log.lines[1], "Unable to find the custom option: " + escapeForLog(cString) + ".");
    EXPECT_EQ(escapeForLog(c.argument), c.shown);
  }
}

}  // namespace
}  // namespace zarvik::testing
