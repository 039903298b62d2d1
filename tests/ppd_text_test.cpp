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
  EXPECT_EQ(displayText(full), std::string(PPD_MAX_NAME, 'k'));

  char shorter[PPD_MAX_NAME] = "Combined\0stale";
  EXPECT_EQ(keywordString(shorter), "Combined");

  char empty[PPD_MAX_NAME] = "";
  EXPECT_EQ(keywordString(empty), "");

  EXPECT_EQ(boundedString(nullptr, 10), "");
  EXPECT_EQ(boundedString("abcdef", 3), "abc");
  EXPECT_EQ(displayText(static_cast<const char*>(nullptr)), "");

  // Keywords are marked back byte for byte, so they are kept as they are,
  // valid UTF-8 or not; only the text for a person is repaired.
  char latin1[PPD_MAX_NAME] = "Gr\xf6\xdf" "e";
  EXPECT_EQ(keywordString(latin1), "Gr\xf6\xdf" "e");
  EXPECT_EQ(displayText(latin1), "Gr\xef\xbf\xbd\xef\xbf\xbd" "e");
}

TEST(PpdTextTest, Utf8SequencesAreValidatedStrictly) {
  struct Case {
    std::string bytes;
    std::size_t length;
  };
  const Case cases[] = {
      {"", 0},
      {"a", 1},
      {std::string(1, '\0'), 1},
      {"\x7f", 1},
      {"\x80", 0},                  // continuation byte without a lead
      {"\xbf", 0},
      {"\xc0\x80", 0},              // overlong NUL
      {"\xc1\xbf", 0},              // overlong
      {"\xc2\x80", 2},
      {"\xc3\xa4", 2},
      {"\xdf\xbf", 2},
      {"\xc3", 0},                  // cut short
      {"\xc3\x28", 0},              // second byte not a continuation
      {"\xe0\x9f\xbf", 0},          // overlong
      {"\xe0\xa0\x80", 3},
      {"\xe2\x80\x93", 3},
      {"\xe2\x82", 0},              // cut short
      {"\xed\x9f\xbf", 3},          // last before the surrogates
      {"\xed\xa0\x80", 0},          // surrogate
      {"\xed\xbf\xbf", 0},
      {"\xee\x80\x80", 3},
      {"\xef\xbf\xbf", 3},
      {"\xe2\x80\x28", 0},          // third byte not a continuation
      {"\xf0\x8f\xbf\xbf", 0},      // overlong
      {"\xf0\x90\x80\x80", 4},
      {"\xf0\x9f\x94\xa5", 4},
      {"\xf4\x8f\xbf\xbf", 4},      // U+10FFFF
      {"\xf4\x90\x80\x80", 0},      // above U+10FFFF
      {"\xf5\x80\x80\x80", 0},
      {"\xf0\x9f\x94", 0},          // cut short
      {"\xf0\x9f\x94\x28", 0},      // fourth byte not a continuation
      {"\xff", 0},
      {"\xc3\xa4\xc3\xa4", 2},      // only the first sequence counts
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    EXPECT_EQ(validUtf8SequenceLength(c.bytes), c.length);
  }
}

TEST(PpdTextTest, InvalidBytesBecomeReplacementCharacters) {
  const std::string replacement = "\xef\xbf\xbd";
  EXPECT_EQ(decodeUtf8Lossy("Materialst\xc3\xa4rke"), "Materialst\xc3\xa4rke");
  EXPECT_EQ(decodeUtf8Lossy("Materialst\xe4rke"), "Materialst" + replacement + "rke");
  // One replacement per byte, so nothing around them is lost.
  EXPECT_EQ(decodeUtf8Lossy("\xed\xa0\x80!"), replacement + replacement + replacement + "!");
  EXPECT_EQ(decodeUtf8Lossy("a\xe2\x82"), "a" + replacement + replacement);
  EXPECT_EQ(decodeUtf8Lossy(""), "");
  EXPECT_EQ(decodeUtf8Lossy(std::string("a\0b", 3)), std::string("a\0b", 3));

  // On one line, control characters cannot break or forge it; other
  // characters, the C1 range included, stay as they are.
  EXPECT_EQ(oneLineText(std::string("Job\nType\0\x1b[2J\x7f", 14)),
            "Job" + replacement + "Type" + replacement + replacement + "[2J" + replacement);
  EXPECT_EQ(oneLineText("Gr\xf6\xc3\x9f" "e \xc2\x85"), "Gr" + replacement + "\xc3\x9f" "e \xc2\x85");
}

// The texts that libcups hands over from real PPDs: it converts choice texts
// to UTF-8 by the PPD's LanguageEncoding, but not custom parameter texts.
TEST(PpdTextTest, TextsOfRealPpdRecords) {
  auto thicknessText = [](ppd_file_t* ppd) {
    ppd_cparam_t* param = ppd::findCustomParam(ppd::findCustomOption(ppd, "materialThickness"), "thickness");
    return param ? displayText(param->text) : std::string("(no parameter)");
  };
  auto firstJobTypeText = [](ppd_file_t* ppd) {
    auto choices = ppd::choicesOf(ppd::findOption(ppd, "JobType"));
    return choices.empty() ? std::string("(no choice)") : displayText(choices[0].text);
  };

  ScopedPpd utf8 = openPpd(testPpdPath("utf8-texts.ppd"));
  ASSERT_TRUE(utf8);
  EXPECT_EQ(thicknessText(utf8.get()), "Materialst\xc3\xa4rke (mm)");
  EXPECT_EQ(firstJobTypeText(utf8.get()), "Gravur \xc3\xbc" "ber Kopf");

  ScopedPpd latin1 = openPpd(testPpdPath("latin1-texts.ppd"));
  ASSERT_TRUE(latin1);
  EXPECT_EQ(thicknessText(latin1.get()), "Materialst\xef\xbf\xbdrke (mm)");
  EXPECT_EQ(firstJobTypeText(latin1.get()), "Gravur \xc3\xbc" "ber Kopf");

  ScopedPpd sample = openPpd(samplePpdPath());
  ASSERT_TRUE(sample);
  EXPECT_EQ(thicknessText(sample.get()), "Thickness (mm)");
  ppd_option_t* jobType = ppd::findOption(sample.get(), "JobType");
  ASSERT_NE(jobType, nullptr);
  EXPECT_EQ(keywordString(jobType->defchoice), "Combined");
}

}  // namespace
}  // namespace zarvik::testing
