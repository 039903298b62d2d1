#include "panel/system_log.h"

#include <gtest/gtest.h>

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
  // A string object may stand where a C string is expected; nil is (null).
  NSLog("%s|%@|%s %d%%", std::string("object"), std::optional<std::string>(), none, -7);
  NSLog("Saved %@ to %@", std::string("%d%s%@%%"), std::string("%n%ld%f"));
  EXPECT_EQ(log.lines, (Lines{"object|(null)|(null) -7%", "Saved %d%s%@%% to %n%ld%f"}));
}

TEST(SystemLogTest, ArgumentsAreEscapedSoDataCannotForgeAnEntry) {
  // An argument and its exact form.
  const std::pair<std::string, std::string> cases[] = {
      {"k\nSaved 1 to k", "k\\nSaved 1 to k"},
      // The backslash is escaped: data cannot pass for an escape the log made.
      {"a\\nb", "a\\\\nb"},
      // Valid UTF-8 stays, an en dash beside the separators too; each byte of an invalid sequence is escaped alone.
      {"\xe2\x80\x93", "\xe2\x80\x93"},
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
