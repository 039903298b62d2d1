#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/german_locale.h"
#include "support/panel_fixture.h"

namespace zarvik::testing {
namespace {

using Lines = std::vector<std::string>;
using Requests = std::vector<std::string>;

class CustomOptionsTest : public PanelTest {
 protected:
  // The panel as built, with the host's and the log's record of the
  // construction cleared.
  ZarvikPDE& freshPanel() {
    ZarvikPDE& p = makePanel();
    host->calls.clear();
    log.clear();
    return p;
  }
};

TEST_F(CustomOptionsTest, IntegerWriteMarksCustomThenTheValueText) {
  ZarvikPDE& p = freshPanel();

  EXPECT_TRUE(p.setPPDCustomIntOpt("rasterSpeed", "CustomrasterSpeed", 50, p.rSpeed));
  EXPECT_EQ(host->requests(), (Requests{"rasterSpeed=Custom", "CustomrasterSpeed=50"}));
  EXPECT_EQ(p.rSpeed, 50);

  host->calls.clear();
  EXPECT_TRUE(p.setPPDCustomIntOpt("rasterPower", "CustomrasterPower", -5, p.rPower));
  EXPECT_EQ(host->requests(), (Requests{"rasterPower=Custom", "CustomrasterPower=-5"}));
  // Widened with its sign to the field's full width.
  EXPECT_EQ(p.rPower, NSInteger{-5});

  host->calls.clear();
  EXPECT_TRUE(p.setPPDCustomIntOpt("vectorFreq", "CustomvectorFreq", INT32_MIN, p.vFreq));
  EXPECT_TRUE(p.setPPDCustomIntOpt("vectorSpeed", "CustomvectorSpeed", INT32_MAX, p.vSpeed));
  EXPECT_EQ(host->requests(), (Requests{"vectorFreq=Custom", "CustomvectorFreq=-2147483648", "vectorSpeed=Custom",
                                        "CustomvectorSpeed=2147483647"}));
  EXPECT_EQ(p.vFreq, NSInteger{-2147483648L});
  EXPECT_EQ(p.vSpeed, NSInteger{2147483647L});

  // The host marked both, so the PPD carries the value.
  EXPECT_EQ(markedChoice(ppdFile.get(), "rasterPower"), "Custom");
  EXPECT_EQ(p.getPPDCustomIntOpt("rasterPower", "rPower"), -5);
  // Writes log nothing; the read logs its text line.
  EXPECT_EQ(log.lines, (Lines{"The custom option text is: Raster Power (%)"}));
}

TEST_F(CustomOptionsTest, RefusedCustomMarkSendsNoValue) {
  ZarvikPDE& p = freshPanel();
  host->refuse("rasterSpeed", "Custom");
  host->refuse("materialThickness", "Custom");
  p.rSpeed = 42;
  p.oMaterialThickness = 1.5f;

  EXPECT_FALSE(p.setPPDCustomIntOpt("rasterSpeed", "CustomrasterSpeed", 80, p.rSpeed));
  EXPECT_EQ(host->requests(), (Requests{"rasterSpeed=Custom"}));
  EXPECT_EQ(p.rSpeed, 42);

  host->calls.clear();
  EXPECT_FALSE(p.setPPDCustomFloatOpt("materialThickness", "CustommaterialThickness", 3.0f, p.oMaterialThickness));
  EXPECT_EQ(host->requests(), (Requests{"materialThickness=Custom"}));
  EXPECT_EQ(p.oMaterialThickness, 1.5f);

  // The PPD still carries what construction marked; the callers log refusals.
  EXPECT_EQ(p.getPPDCustomIntOpt("rasterSpeed", "rSpeed"), 50);
  EXPECT_EQ(log.lines, (Lines{"The custom option text is: Raster Speed (%)"}));
}

TEST_F(CustomOptionsTest, RefusedValueLeavesTheFieldAndTheOptionCustom) {
  ZarvikPDE& p = freshPanel();
  host->refuse("CustomvectorFreq");
  host->refuse("CustommaterialThickness");
  p.vFreq = 77;
  p.oMaterialThickness = 1.5f;

  EXPECT_FALSE(p.setPPDCustomIntOpt("vectorFreq", "CustomvectorFreq", 1000, p.vFreq));
  EXPECT_FALSE(p.setPPDCustomFloatOpt("materialThickness", "CustommaterialThickness", 3.0f, p.oMaterialThickness));
  EXPECT_EQ(host->requests(), (Requests{"vectorFreq=Custom", "CustomvectorFreq=1000", "materialThickness=Custom",
                                        "CustommaterialThickness=3.000000"}));
  EXPECT_EQ(p.vFreq, 77);
  EXPECT_EQ(p.oMaterialThickness, 1.5f);
  // Nothing is undone: the first step stays marked.
  EXPECT_EQ(markedChoice(ppdFile.get(), "vectorFreq"), "Custom");
  EXPECT_EQ(markedChoice(ppdFile.get(), "materialThickness"), "Custom");
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(CustomOptionsTest, FloatWriteSendsSixDecimalsAndKeepsTheExactFloat) {
  ZarvikPDE& p = freshPanel();

  EXPECT_TRUE(p.setPPDCustomFloatOpt("materialThickness", "CustommaterialThickness", 0.1f, p.oMaterialThickness));
  // The text is rounded; the field holds the float given, not the text's value.
  EXPECT_EQ(p.oMaterialThickness, 0.1f);
  EXPECT_TRUE(p.setPPDCustomFloatOpt("materialThickness", "CustommaterialThickness", 2.5f, p.oMaterialThickness));
  EXPECT_EQ(p.oMaterialThickness, 2.5f);
  EXPECT_TRUE(
      p.setPPDCustomFloatOpt("materialThickness", "CustommaterialThickness", 0.0000004f, p.oMaterialThickness));
  EXPECT_EQ(p.oMaterialThickness, 0.0000004f);
  EXPECT_EQ(host->requests(),
            (Requests{"materialThickness=Custom", "CustommaterialThickness=0.100000", "materialThickness=Custom",
                      "CustommaterialThickness=2.500000", "materialThickness=Custom",
                      "CustommaterialThickness=0.000000"}));

  host->calls.clear();
  {
    GermanLocale german;
    ASSERT_EQ(german.failure(), "");
    EXPECT_TRUE(
        p.setPPDCustomFloatOpt("materialThickness", "CustommaterialThickness", 0.25f, p.oMaterialThickness));
  }
  EXPECT_EQ(host->requests(), (Requests{"materialThickness=Custom", "CustommaterialThickness=0.250000"}));
  EXPECT_EQ(p.getPPDCustomFloatOpt("materialThickness", "thickness"), 0.25f);
}

TEST_F(CustomOptionsTest, ReadsTheValueTheHostMarked) {
  ZarvikPDE& p = freshPanel();
  // Construction marked the defaults.
  EXPECT_EQ(p.getPPDCustomIntOpt("cResolution", "cRes"), 600);
  EXPECT_EQ(p.getPPDCustomFloatOpt("materialThickness", "thickness"), 0.0f);

  ASSERT_TRUE(p.setPPDCustomIntOpt("vectorPower", "CustomvectorPower", 73, p.vPower));
  EXPECT_EQ(p.getPPDCustomIntOpt("vectorPower", "vPower"), 73);
  // A current value of -1 reads as -1, like a failure, but logs no failure.
  ASSERT_TRUE(p.setPPDCustomIntOpt("vectorPower", "CustomvectorPower", -1, p.vPower));
  EXPECT_EQ(p.getPPDCustomIntOpt("vectorPower", "vPower"), -1);

  EXPECT_EQ(log.lines, (Lines{"The custom option text is: Resolution (dpi)",
                              "The custom option text is: Thickness (mm)",
                              "The custom option text is: Vector Power (%)",
                              "The custom option text is: Vector Power (%)"}));
}

TEST_F(CustomOptionsTest, ReadFailuresLogTheirStepAndAnswerTheSentinel) {
  ZarvikPDE& p = freshPanel();

  EXPECT_EQ(p.getPPDCustomIntOpt("noSuchOption", "cRes"), -1);
  EXPECT_EQ(p.getPPDCustomFloatOpt("JobType", "thickness"), -1.0f);  // an option without a custom option
  EXPECT_EQ(p.getPPDCustomIntOpt("cResolution", "noSuchParam"), -1);
  EXPECT_EQ(p.getPPDCustomIntOpt(nullptr, "cRes"), -1);
  // Keywords are data in the log too.
  EXPECT_EQ(p.getPPDCustomIntOpt("cResolution\nSaved 1 to x", "cRes"), -1);
  // The text line comes before the type is compared.
  EXPECT_EQ(p.getPPDCustomFloatOpt("rasterPower", "rPower"), -1.0f);
  EXPECT_EQ(p.getPPDCustomIntOpt("materialThickness", "thickness"), -1);

  EXPECT_EQ(log.lines, (Lines{"Unable to find the custom option: noSuchOption.",
                              "Unable to find the custom option: JobType.",
                              "Unable to find the custom param: noSuchParam.",
                              "Unable to find the custom option: (null).",
                              "Unable to find the custom option: cResolution\\nSaved 1 to x.",
                              "The custom option text is: Raster Power (%)",
                              "The type is incorrect for: rasterPower - rPower: 1.",
                              "The custom option text is: Thickness (mm)",
                              "The type is incorrect for: materialThickness - thickness: 6."}));
}

TEST_F(CustomOptionsTest, IntegerReadOfARealParameterLogsTheType) {
  ppdFile = openPpd(testPpdPath("wrong-custom-types.ppd"));
  ZarvikPDE& p = freshPanel();

  EXPECT_EQ(p.getPPDCustomIntOpt("vectorPower", "vPower"), -1);
  // The same parameter read as the real it is.
  EXPECT_EQ(p.getPPDCustomFloatOpt("vectorPower", "vPower"), 50.0f);
  EXPECT_EQ(log.lines, (Lines{"The custom option text is: Vector Power (%)",
                              "The type is incorrect for: vectorPower - vPower: 6.",
                              "The custom option text is: Vector Power (%)"}));
}

TEST_F(CustomOptionsTest, MissingCustomOptionIsLogged) {
  ppdFile = openPpd(testPpdPath("no-custom-resolution.ppd"));
  ZarvikPDE& p = freshPanel();

  EXPECT_EQ(p.getPPDCustomIntOpt("cResolution", "cRes"), -1);
  EXPECT_EQ(log.lines, (Lines{"Unable to find the custom option: cResolution."}));
}

TEST_F(CustomOptionsTest, TextLineShowsTheParameterTextAsUtf8) {
  ppdFile = openPpd(testPpdPath("utf8-texts.ppd"));
  ZarvikPDE& p = freshPanel();
  EXPECT_EQ(p.getPPDCustomFloatOpt("materialThickness", "thickness"), 0.0f);
  EXPECT_EQ(log.lines, (Lines{"The custom option text is: Materialst\xc3\xa4rke (mm)"}));
}

TEST_F(CustomOptionsTest, TextLineRepairsAParameterTextThatIsNotUtf8) {
  // libcups leaves custom parameter texts in the PPD's own encoding.
  ppdFile = openPpd(testPpdPath("latin1-texts.ppd"));
  ZarvikPDE& p = freshPanel();
  EXPECT_EQ(p.getPPDCustomFloatOpt("materialThickness", "thickness"), 0.0f);
  EXPECT_EQ(log.lines, (Lines{"The custom option text is: Materialst\xef\xbf\xbdrke (mm)"}));
}

}  // namespace
}  // namespace zarvik::testing
