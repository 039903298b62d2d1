#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "support/panel_fixture.h"

namespace zarvik::testing {
namespace {

using Lines = std::vector<std::string>;
using Choice = std::optional<std::string>;

std::string newChoiceLine(const std::string& choice, const std::string& code) {
  return "A new user choice has been selected\nThe choice is: " + choice + "\n The type is: " + code;
}

class ChoiceMarkingTest : public PanelTest {
 protected:
  struct Choices {
    Choice jobType, centerEngraving, dithering, engraveDir, vectorSorting;
    bool operator==(const Choices&) const = default;
  };
  Choices choices() const {
    return {panel->jobTypeChoice, panel->centerEngravingChoice, panel->ditheringChoice, panel->engraveDirChoice,
            panel->vectorSortingChoice};
  }
};

TEST_F(ChoiceMarkingTest, EachCodeWritesItsOwnField) {
  ZarvikPDE& p = makePanel();
  log.clear();
  host->calls.clear();

  p.setNewUserChoice(std::string("Raster"), ChoiceTypeJobType);
  EXPECT_EQ(choices(), (Choices{"Raster", "None", "FloydSteinberg", "TopDown", std::nullopt}));
  p.setNewUserChoice(std::string("Center"), ChoiceTypeCenterEngraving);
  EXPECT_EQ(choices(), (Choices{"Raster", "Center", "FloydSteinberg", "TopDown", std::nullopt}));
  // Code 2 is dithering and code 3 engraving direction, although the fields
  // are declared the other way round.
  p.setNewUserChoice(std::string("Atkinson"), 2);
  EXPECT_EQ(choices(), (Choices{"Raster", "Center", "Atkinson", "TopDown", std::nullopt}));
  p.setNewUserChoice(std::string("BottomUp"), 3);
  EXPECT_EQ(choices(), (Choices{"Raster", "Center", "Atkinson", "BottomUp", std::nullopt}));
  p.setNewUserChoice(std::string("InsideOut"), ChoiceTypeVectorSort);
  EXPECT_EQ(choices(), (Choices{"Raster", "Center", "Atkinson", "BottomUp", "InsideOut"}));
  // A second call with the same code keeps only the second keyword.
  p.setNewUserChoice(std::string("Vector"), ChoiceTypeJobType);
  EXPECT_EQ(p.jobTypeChoice, "Vector");

  EXPECT_EQ(log.lines, (Lines{newChoiceLine("Raster", "0"), newChoiceLine("Center", "1"),
                              newChoiceLine("Atkinson", "2"), newChoiceLine("BottomUp", "3"),
                              newChoiceLine("InsideOut", "4"), newChoiceLine("Vector", "0")}));
  // Recording a keyword neither asks the host nor marks the PPD.
  EXPECT_TRUE(host->calls.empty());
  EXPECT_EQ(markedChoice(ppdFile.get(), "JobType"), "");
  EXPECT_EQ(markedChoice(ppdFile.get(), "dithering"), "");
}

TEST_F(ChoiceMarkingTest, UnhandledCodesChangeNothing) {
  ZarvikPDE& p = makePanel();
  p.setNewUserChoice(std::string("Off"), ChoiceTypeVectorSort);
  const Choices before = choices();
  struct Case {
    NSInteger code;
    std::string shown;  // the code in the first line, as a word
    std::string cut;    // the code cut to 32 bits
  };
  const Case cases[] = {
      {5, "5", "5"},
      {-1, "-1", "-1"},
      {1000, "1000", "1000"},
      // Beyond 32 bits: the cut code would name a field, the code does not.
      {0x100000003L, "4294967299", "3"},
      {-0x100000000L, "-4294967296", "0"},
      {LONG_MAX, "9223372036854775807", "-1"},
      {LONG_MIN, "-9223372036854775808", "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    log.clear();
    p.setNewUserChoice(std::string("Vector"), c.code);
    EXPECT_EQ(log.lines, (Lines{newChoiceLine("Vector", c.shown),
                                "Zarvik PDE got an unhandled type in setNewUserChoice! " + c.cut}));
    EXPECT_EQ(choices(), before);
  }
}

TEST_F(ChoiceMarkingTest, NilAndTheFieldsOwnStringAreStoredSafely) {
  ZarvikPDE& p = makePanel();
  log.clear();

  // Handing the field its own string keeps it.
  p.setNewUserChoice(p.jobTypeChoice, ChoiceTypeJobType);
  EXPECT_EQ(p.jobTypeChoice, "Combined");

  // Nil empties the field.
  p.setNewUserChoice(std::nullopt, ChoiceTypeDithering);
  EXPECT_EQ(p.ditheringChoice, std::nullopt);
  // An empty keyword is a string, not nil.
  p.setNewUserChoice(std::string(), ChoiceTypeEngravingDirection);
  EXPECT_EQ(p.engraveDirChoice, "");

  {
    // A keyword that only the caller's temporary held stays in the field.
    std::string temporary = "Horizontal";
    p.setNewUserChoice(temporary, ChoiceTypeCenterEngraving);
    temporary.assign("overwritten");
  }
  EXPECT_EQ(p.centerEngravingChoice, "Horizontal");

  // The keyword is stored as given; only the log line is escaped.
  const std::string forged = "Raster\n The type is: 4";
  p.setNewUserChoice(forged, ChoiceTypeJobType);
  EXPECT_EQ(p.jobTypeChoice, forged);

  EXPECT_EQ(log.lines, (Lines{newChoiceLine("Combined", "0"), newChoiceLine("(null)", "2"),
                              newChoiceLine("", "3"), newChoiceLine("Horizontal", "1"),
                              newChoiceLine("Raster\\n The type is: 4", "0")}));
}

}  // namespace
}  // namespace zarvik::testing
