#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "support/panel_fixture.h"

namespace zarvik::testing {
namespace {

using Lines = std::vector<std::string>;
using Requests = std::vector<std::string>;

std::string newChoiceLine(const std::string& choice, const std::string& code) {
  return "A new user choice has been selected\nThe choice is: " + choice + "\n The type is: " + code;
}

// The four choice lines for the sample PPD's defaults, in the order
// job type, centre engraving, engraving direction, dithering.
const Lines kSampleDefaultChoiceLines = {newChoiceLine("Combined", "0"), newChoiceLine("None", "1"),
                                         newChoiceLine("TopDown", "3"), newChoiceLine("FloydSteinberg", "2")};

const Lines kFailureLines = {"Failed to set custom resolution",      "Failed to set custom material thickness",
                             "Failed to set custom raster power",    "Failed to set custom raster speed",
                             "Failed to set custom vector frequency", "Failed to set custom vector power",
                             "Failed to set custom vector speed"};

Lines concat(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class DefaultsTest : public PanelTest {
 protected:
  // Gives every field that setDefaults may touch a value it never sets.
  void scatterFields(ZarvikPDE& p) {
    p.setNewUserChoice(std::string("Raster"), ChoiceTypeJobType);
    p.setNewUserChoice(std::string("Center"), ChoiceTypeCenterEngraving);
    p.setNewUserChoice(std::string("BottomUp"), ChoiceTypeEngravingDirection);
    p.setNewUserChoice(std::string("Atkinson"), ChoiceTypeDithering);
    p.setNewUserChoice(std::string("InsideOut"), ChoiceTypeVectorSort);
    p.resolution = 1200;
    p.resolutionIndex = 6;
    p.oMaterialThickness = 4.5f;
    p.rPower = 11;
    p.rSpeed = 12;
    p.vFreq = 13;
    p.vPower = 14;
    p.vSpeed = 15;
    p.vSpeedComp = 1;
    p.vPowerComp = 0;
    p.oDirectPrint = 1;
    p.oAutoFocus = 1;
    p.oVectorGrid = 1;
  }

  // The fields setDefaults never touches hold what scatterFields gave them.
  void expectUntouched(const ZarvikPDE& p) {
    EXPECT_EQ(p.vectorSortingChoice, "InsideOut");
    EXPECT_EQ(p.vSpeedComp, 1);
    EXPECT_EQ(p.vPowerComp, 0);
    EXPECT_EQ(p.oDirectPrint, 1);
    EXPECT_EQ(p.oAutoFocus, 1);
    EXPECT_EQ(p.oVectorGrid, 1);
  }

  void expectSampleDefaultChoices(const ZarvikPDE& p) {
    EXPECT_EQ(p.jobTypeChoice, "Combined");
    EXPECT_EQ(p.centerEngravingChoice, "None");
    EXPECT_EQ(p.engraveDirChoice, "TopDown");
    EXPECT_EQ(p.ditheringChoice, "FloydSteinberg");
  }
};

TEST_F(DefaultsTest, NewPanelHasTheDefaultsAndNoVectorSorting) {
  ZarvikPDE& p = makePanel();
  expectSampleDefaultChoices(p);
  EXPECT_EQ(p.vectorSortingChoice, std::nullopt);
  EXPECT_EQ(p.vSpeedComp, 0);
  EXPECT_EQ(p.vPowerComp, 1);
  EXPECT_EQ(p.oDirectPrint, 0);
  EXPECT_EQ(p.oAutoFocus, 0);
  EXPECT_EQ(p.oVectorGrid, 0);
  // The first read-back in a new panel sees libcups's own starting value.
  ASSERT_GE(log.lines.size(), 9u);
  EXPECT_EQ(log.lines[0], "Entering setDefaults");
  EXPECT_EQ(log.lines[8], "The custom vector power is 1set to: 0");
}

TEST_F(DefaultsTest, AcceptedRunMarksSevenValuesAndLogsInOrder) {
  ZarvikPDE& p = makePanel();
  scatterFields(p);
  // What the PPD holds before this run: the read-back of the resolution
  // comes after its mark, that of the vector power before its mark.
  ASSERT_TRUE(markOption(ppdFile.get(), "cResolution", "Custom.300"));
  ASSERT_TRUE(markOption(ppdFile.get(), "vectorPower", "Custom.77"));
  ASSERT_TRUE(markOption(ppdFile.get(), "JobType", "Vector"));
  host->calls.clear();
  log.clear();

  p.setDefaults();

  EXPECT_EQ(log.lines, concat({{"Entering setDefaults"},
                               kSampleDefaultChoiceLines,
                               {"The custom option text is: Resolution (dpi)", "The resolution is set to: 600",
                                "The custom option text is: Vector Power (%)",
                                "The custom vector power is 1set to: 77"}}));
  EXPECT_EQ(host->requests(),
            (Requests{"cResolution=Custom", "CustomcResolution=600", "materialThickness=Custom",
                      "CustommaterialThickness=0.000000", "rasterPower=Custom", "CustomrasterPower=50",
                      "rasterSpeed=Custom", "CustomrasterSpeed=50", "vectorFreq=Custom", "CustomvectorFreq=50",
                      "vectorPower=Custom", "CustomvectorPower=50", "vectorSpeed=Custom", "CustomvectorSpeed=50"}));
  expectSampleDefaultChoices(p);
  EXPECT_EQ(p.resolution, 600);
  EXPECT_EQ(p.oMaterialThickness, 0.0f);
  EXPECT_EQ(p.rPower, 50);
  EXPECT_EQ(p.rSpeed, 50);
  EXPECT_EQ(p.vFreq, 50);
  EXPECT_EQ(p.vPower, 50);
  EXPECT_EQ(p.vSpeed, 50);
  EXPECT_EQ(p.resolutionIndex, 5);  // the step of 600 dpi
  expectUntouched(p);
  // The PPD's marked choice is not the panel's: only the field took the
  // default keyword.
  EXPECT_EQ(markedChoice(ppdFile.get(), "JobType"), "Vector");
  EXPECT_EQ(p.getPPDCustomIntOpt("vectorPower", "vPower"), 50);
  // setDefaults writes nothing to the print settings.
  EXPECT_TRUE(host->settings.writes.empty());
}

// Each refused value leaves its field with what the PPD holds, here what
// construction marked, so the controls show what the job carries.
TEST_F(DefaultsTest, RefusedRunLogsSevenFailuresAndTheFieldsFollowThePpd) {
  ZarvikPDE& p = makePanel();
  scatterFields(p);
  host->decide = [](std::string_view, std::string_view) { return false; };
  host->calls.clear();
  log.clear();

  p.setDefaults();

  // Both read-backs are logged all the same, with what construction marked.
  EXPECT_EQ(log.lines,
            concat({{"Entering setDefaults"},
                    kSampleDefaultChoiceLines,
                    {kFailureLines[0], "The custom option text is: Resolution (dpi)", "The resolution is set to: 600",
                     "The custom option text is: Vector Power (%)", "The custom vector power is 1set to: 50"},
                    Lines(kFailureLines.begin() + 1, kFailureLines.end())}));
  // A refused "Custom" mark sends no value.
  EXPECT_EQ(host->requests(),
            (Requests{"cResolution=Custom", "materialThickness=Custom", "rasterPower=Custom", "rasterSpeed=Custom",
                      "vectorFreq=Custom", "vectorPower=Custom", "vectorSpeed=Custom"}));
  // The choices are the panel's own and still take the defaults.
  expectSampleDefaultChoices(p);
  EXPECT_EQ(p.resolution, 600);
  EXPECT_EQ(p.resolutionIndex, 5);
  EXPECT_EQ(p.oMaterialThickness, 0.0f);
  for (NSInteger value : {p.rPower, p.rSpeed, p.vFreq, p.vPower, p.vSpeed}) EXPECT_EQ(value, 50);
  expectUntouched(p);
}

// A refused value puts the option back on the choice it had, and the field
// takes that choice's number.
TEST_F(DefaultsTest, RefusedValuesPutTheOptionsBackOnTheirChoices) {
  ZarvikPDE& p = makePanel();
  scatterFields(p);
  ASSERT_TRUE(markOption(ppdFile.get(), "rasterPower", "25"));
  host->decide = [](std::string_view key, std::string_view) { return !key.starts_with("Custom"); };
  host->calls.clear();
  log.clear();

  p.setDefaults();

  EXPECT_EQ(host->requests().size(), 15u);  // seven values and one choice marked back
  EXPECT_EQ(log.lines,
            concat({{"Entering setDefaults"},
                    kSampleDefaultChoiceLines,
                    {kFailureLines[0], "The custom option text is: Resolution (dpi)", "The resolution is set to: 600",
                     "The custom option text is: Vector Power (%)", "The custom vector power is 1set to: 50"},
                    Lines(kFailureLines.begin() + 1, kFailureLines.end())}));
  EXPECT_EQ(markedChoice(ppdFile.get(), "rasterPower"), "25");
  EXPECT_EQ(p.rPower, 25);
  // Options that were on "Custom" stay there with the value they had.
  EXPECT_EQ(markedChoice(ppdFile.get(), "cResolution"), "Custom");
  EXPECT_EQ(p.resolution, 600);
}

TEST_F(DefaultsTest, ReadBackFailuresLogTheirReasonAndMinusOne) {
  ppdFile = openPpd(testPpdPath("wrong-custom-types.ppd"));
  ZarvikPDE& p = makePanel();
  log.clear();
  p.setDefaults();
  EXPECT_EQ(log.lines, concat({{"Entering setDefaults"},
                               kSampleDefaultChoiceLines,
                               {"The custom option text is: Resolution (dpi)",
                                "The type is incorrect for: cResolution - cRes: 6.", "The resolution is set to: -1",
                                "The custom option text is: Vector Power (%)",
                                "The type is incorrect for: vectorPower - vPower: 6.",
                                "The custom vector power is 1set to: -1"}}));
  // The marks themselves went through.
  EXPECT_EQ(p.resolution, 600);
  EXPECT_EQ(p.vPower, 50);
}

TEST_F(DefaultsTest, MissingCustomResolutionIsLoggedAtItsReadBack) {
  ppdFile = openPpd(testPpdPath("no-custom-resolution.ppd"));
  ZarvikPDE& p = makePanel();
  log.clear();
  p.setDefaults();
  EXPECT_EQ(log.lines, concat({{"Entering setDefaults"},
                               kSampleDefaultChoiceLines,
                               {"Unable to find the custom option: cResolution.", "The resolution is set to: -1",
                                "The custom option text is: Vector Power (%)",
                                "The custom vector power is 1set to: 50"}}));
}

TEST_F(DefaultsTest, OptionWithoutDefaultLineGivesAnEmptyKeyword) {
  // libcups keeps an empty default choice when the PPD has no default line.
  ppdFile = openPpd(testPpdPath("missing-defaults.ppd"));
  ZarvikPDE& p = makePanel();
  EXPECT_EQ(p.jobTypeChoice, "");
  EXPECT_EQ(p.ditheringChoice, "");
  EXPECT_EQ(p.centerEngravingChoice, "None");
  EXPECT_EQ(p.engraveDirChoice, "TopDown");
  ASSERT_GE(log.lines.size(), 5u);
  EXPECT_EQ(log.lines[1], newChoiceLine("", "0"));
  EXPECT_EQ(log.lines[4], newChoiceLine("", "2"));
}

}  // namespace
}  // namespace zarvik::testing
