#include "panel/ppd_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "panel/ppd_lookup.h"
#include "support/ppd_files.h"

namespace zarvik::testing {
namespace {

TEST(PpdTextTest, RecordArraysAreReadWithinTheirSize) {
  // A keyword that fills its array to the last byte, with no terminator.
  char full[PPD_MAX_NAME];
  std::memset(full, 'k', sizeof full);
  EXPECT_EQ(keywordString(full), std::string(PPD_MAX_NAME, 'k'));

  char shorter[PPD_MAX_NAME] = "Combined\0stale";
  EXPECT_EQ(keywordString(shorter), "Combined");

  EXPECT_EQ(boundedString(nullptr, 10), "");
  EXPECT_EQ(displayText(static_cast<const char*>(nullptr)), "");

  // Keywords are marked back byte for byte, so they are kept as they are,
  // valid UTF-8 or not; only the text for a person is repaired.
  char latin1[PPD_MAX_NAME] = "Gr\xf6\xdf" "e";
  EXPECT_EQ(keywordString(latin1), "Gr\xf6\xdf" "e");
  EXPECT_EQ(displayText(latin1), "Gr\xef\xbf\xbd\xef\xbf\xbd" "e");
}

TEST(PpdTextTest, Utf8SequencesAreValidatedStrictly) {
  // Valid: each length at its ends (NUL included); only the first counts.
  const std::pair<std::string, std::size_t> valid[] = {
      {std::string(1, '\0'), 1}, {"\x7f", 1}, {"\xc2\x80", 2}, {"\xdf\xbf", 2}, {"\xe0\xa0\x80", 3},
      {"\xed\x9f\xbf", 3}, {"\xf0\x90\x80\x80", 4}, {"\xf4\x8f\xbf\xbf", 4}, {"\xc3\xa4\xc3\xa4", 2}};
  for (const auto& [bytes, length] : valid) EXPECT_EQ(validUtf8SequenceLength(bytes), length) << bytes;
  // Invalid: overlong, surrogate, above U+10FFFF, cut short, not continued.
  for (std::string bytes : {"", "\x80", "\xc1\xbf", "\xe0\x9f\xbf", "\xf0\x8f\xbf\xbf", "\xed\xa0\x80",
                            "\xf4\x90\x80\x80", "\xf5\x80\x80\x80", "\xc3", "\xc3\x28", "\xe2\x80\x28"})
    EXPECT_EQ(validUtf8SequenceLength(bytes), 0u) << ::testing::PrintToString(bytes);
}

TEST(PpdTextTest, InvalidBytesBecomeReplacementCharacters) {
  const std::string replacement = "\xef\xbf\xbd";
  // One replacement per byte, so nothing around them is lost.
  EXPECT_EQ(decodeUtf8Lossy("\xed\xa0\x80!"), replacement + replacement + replacement + "!");

  // On one line, controls cannot break or forge it.
  EXPECT_EQ(oneLineText(std::string("Job\nType\0\x1b[2J\x7f", 14)),
            "Job" + replacement + "Type" + replacement + replacement + "[2J" + replacement);
}

}  // namespace
}  // namespace zarvik::testing
