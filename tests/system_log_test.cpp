#include "panel/system_log.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "support/log_capture.h"

namespace zarvik::testing {
namespace {

using Lines = std::vector<std::string>;

TEST(SystemLogTest, DirectivesFormatAsInCAndArgumentsNeverAsDirectives) {
  LogCapture log;
  const char* none = nullptr;
  NSLog("int %d long %ld c %s object %@ real %f percent %%", -7, LONG_MIN, "abc", std::string("xyz"), 0.25);
  // A string object may stand where a C string is expected; nil is (null).
  NSLog("%s|%@|%s", std::string("object"), std::optional<std::string>(), none);
  NSLog("Saved %@ to %@", std::string("%d%s%@%%"), std::string("%n%ld%f"));
  EXPECT_EQ(log.lines, (Lines{"int -7 long -9223372036854775808 c abc object xyz real 0.250000 percent %",
                              "object|(null)|(null)", "Saved %d%s%@%% to %n%ld%f"}));
}

TEST(SystemLogTest, ArgumentsAreEscapedSoDataCannotForgeAnEntry) {
  // An argument and its exact form (the fuzz target checks any text, through every kind of argument, gives one
  // valid line).
  const std::pair<std::string, std::string> cases[] = {
      {"k\nSaved 1 to k", "k\\nSaved 1 to k"},
      // The backslash is escaped: data cannot pass for an escape the log made.
      {"a\\nb", "a\\\\nb"},
      // Each byte of an invalid sequence is escaped alone.
      {"Gr\xf6\xdf" "e", "Gr\\xf6\\xdfe"},
      // Controls and separators outside ASCII that some readers break on.
      {"\xc2\x80\xc2\x9f\xc2\xa0", "\\u0080\\u009f\xc2\xa0"},
      {"a\xe2\x80\xa8" "b\xe2\x80\xa9" "c", "a\\u2028b\\u2029c"},
  };
  for (const auto& [argument, shown] : cases) {
    SCOPED_TRACE(shown);
    LogCapture log;
    NSLog("Unable to get %@", argument);
    EXPECT_EQ(log.lines, Lines{"Unable to get " + shown});
  }
}

}  // namespace
}  // namespace zarvik::testing
