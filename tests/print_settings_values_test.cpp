#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "support/german_locale.h"
#include "support/panel_fixture.h"

namespace zarvik::testing {
namespace {

using Lines = std::vector<std::string>;
using Requests = std::vector<std::string>;

const std::string kKind = "org.zarvikpde.print.pde.zarvikKind";

// The pushes of the seven values, in push order, with their value texts.
Requests pushes(const std::string& thickness, const std::string& resolution, const std::string& rasterPower,
                const std::string& rasterSpeed, const std::string& vectorFreq, const std::string& vectorPower,
                const std::string& vectorSpeed) {
  return {"materialThickness=Custom", "CustommaterialThickness=" + thickness,
          "cResolution=Custom",       "CustomcResolution=" + resolution,
          "rasterPower=Custom",       "CustomrasterPower=" + rasterPower,
          "rasterSpeed=Custom",       "CustomrasterSpeed=" + rasterSpeed,
          "vectorFreq=Custom",        "CustomvectorFreq=" + vectorFreq,
          "vectorPower=Custom",       "CustomvectorPower=" + vectorPower,
          "vectorSpeed=Custom",       "CustomvectorSpeed=" + vectorSpeed};
}

class PrintSettingsValuesTest : public PanelTest {
 protected:
  // Builds the panel, then gives its fields values that no read produces,
  // and clears the record of the construction.
  ZarvikPDE& preparedPanel() {
    ZarvikPDE& p = makePanel();
    p.oMaterialThickness = 9.5f;
    p.rSpeed = 1;
    p.rPower = 2;
    p.vPower = 3;
    p.vSpeed = 4;
    p.vFreq = 5;
    p.resolution = 6;
    p.resolutionIndex = 3;
    host->calls.clear();
    log.clear();
    return p;
  }

  void store(std::string_view suffix, PrintSettingValue value) {
    host->settings.values.insert_or_assign(key(suffix), std::move(value));
  }
};

TEST_F(PrintSettingsValuesTest, NoStoredValuesGiveTheValuesWhenUnreadable) {
  ZarvikPDE& p = preparedPanel();
  p.getNonPPDSettingsFromPrintSettings();

  // Read in one order, pushed in another.
  EXPECT_EQ(log.lines, (Lines{"Entering getNonPPDSettingsFromPrintSettings",
                              "Unable to get " + kKind + ".materialThickness",
                              "Unable to get " + kKind + ".rasterSpeed", "Unable to get " + kKind + ".rasterPower",
                              "Unable to get " + kKind + ".vectorPower", "Unable to get " + kKind + ".vectorSpeed",
                              "Unable to get " + kKind + ".vectorFreq", "Unable to get " + kKind + ".resolution"}));
  EXPECT_EQ(host->requests(), pushes("0.000000", "600", "50", "50", "50", "50", "50"));
  EXPECT_EQ(p.oMaterialThickness, 0.0f);
  EXPECT_EQ(p.rSpeed, 50);
  EXPECT_EQ(p.rPower, 50);
  EXPECT_EQ(p.vPower, 50);
  EXPECT_EQ(p.vSpeed, 50);
  EXPECT_EQ(p.vFreq, 50);
  EXPECT_EQ(p.resolution, 600);
  EXPECT_EQ(p.resolutionIndex, 5);
  // Reading writes nothing back.
  EXPECT_TRUE(host->settings.writes.empty());
}

TEST_F(PrintSettingsValuesTest, StoredValuesOverrideAndArePushedAgain) {
  ZarvikPDE& p = preparedPanel();
  store(".materialThickness", std::string("0.125000"));
  store(".rasterSpeed", std::string("35"));
  store(".rasterPower", std::string("36"));
  store(".vectorPower", std::string("37"));
  store(".vectorSpeed", std::string("38"));
  store(".vectorFreq", std::string("2500"));
  store(".resolution", std::string("1200"));

  p.getNonPPDSettingsFromPrintSettings();

  // Only the first two values are logged.
  EXPECT_EQ(log.lines, (Lines{"Entering getNonPPDSettingsFromPrintSettings", "PMPrintSettingsGetValue got: 0.125000",
                              "PMPrintSettingsGetValue got: 35"}));
  EXPECT_EQ(host->requests(), pushes("0.125000", "1200", "36", "35", "2500", "37", "38"));
  EXPECT_EQ(p.oMaterialThickness, 0.125f);
  EXPECT_EQ(p.rSpeed, 35);
  EXPECT_EQ(p.rPower, 36);
  EXPECT_EQ(p.vPower, 37);
  EXPECT_EQ(p.vSpeed, 38);
  EXPECT_EQ(p.vFreq, 2500);
  EXPECT_EQ(p.resolution, 1200);
  EXPECT_EQ(p.resolutionIndex, 6);
  // The host marked the pushes in the PPD.
  EXPECT_EQ(p.getPPDCustomIntOpt("vectorPower", "vPower"), 37);
  EXPECT_EQ(p.getPPDCustomFloatOpt("materialThickness", "thickness"), 0.125f);
}

TEST_F(PrintSettingsValuesTest, ResolutionFindsItsStep) {
  ZarvikPDE& p = preparedPanel();
  struct Case {
    std::string stored;
    NSInteger resolution, index;
    std::string pushed;
  };
  const Case cases[] = {
      {"75", 75, 0, "75"},
      {"150", 150, 1, "150"},
      {"600", 600, 5, "600"},
      {"1200", 1200, 6, "1200"},
      // Not a step: the value stays, the index falls back to 5.
      {"500", 500, 5, "500"},
      {"1200dpi", 1200, 6, "1200"},
      {" +0075", 75, 0, "75"},
      {"0", 0, 5, "0"},
      {"-75", -75, 5, "-75"},
      {"dpi", 0, 5, "0"},
      // Pushed as 32 bits, a stored number saturates rather than wraps;
      // the accepted push stores the saturated value back.
      {"99999999999", 2147483647, 5, "2147483647"},
      {"-99999999999", -2147483648L, 5, "-2147483648"},
      {"4294967296", 2147483647, 5, "2147483647"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    store(".resolution", c.stored);
    p.resolutionIndex = 3;
    host->calls.clear();
    p.getNonPPDSettingsFromPrintSettings();
    EXPECT_EQ(p.resolution, c.resolution);
    EXPECT_EQ(p.resolutionIndex, c.index);
    Requests requests = host->requests();
    ASSERT_EQ(requests.size(), 14u);
    EXPECT_EQ(requests[3], "CustomcResolution=" + c.pushed);
  }
}

// A stored value the host refuses gives way to the one the PPD holds, which
// is stored again; the other pushes go on.
TEST_F(PrintSettingsValuesTest, RefusedPushGivesWayToWhatThePpdHoldsAndTheOthersGoOn) {
  ZarvikPDE& p = preparedPanel();
  store(".rasterPower", std::string("99999999999"));
  store(".vectorFreq", std::string("800"));
  host->refuse("CustomrasterPower");
  host->refuse("vectorFreq", "Custom");
  host->refuse("materialThickness", "Custom");

  p.getNonPPDSettingsFromPrintSettings();

  EXPECT_EQ(log.lines,
            (Lines{"Entering getNonPPDSettingsFromPrintSettings", "Unable to get " + kKind + ".materialThickness",
                   "Unable to get " + kKind + ".rasterSpeed", "Unable to get " + kKind + ".vectorPower",
                   "Unable to get " + kKind + ".vectorSpeed", "Unable to get " + kKind + ".resolution",
                   "Failed to set custom material thickness", "Failed to set custom raster power",
                   "Saved 50 to " + kKind + ".rasterPower", "Failed to set custom vector frequency",
                   "Saved 50 to " + kKind + ".vectorFreq"}));
  EXPECT_EQ(host->requests(),
            (Requests{"materialThickness=Custom", "cResolution=Custom", "CustomcResolution=600", "rasterPower=Custom",
                      "CustomrasterPower=2147483647", "rasterSpeed=Custom", "CustomrasterSpeed=50",
                      "vectorFreq=Custom", "vectorPower=Custom", "CustomvectorPower=50", "vectorSpeed=Custom",
                      "CustomvectorSpeed=50"}));
  EXPECT_EQ(p.rPower, 50);
  EXPECT_EQ(p.vFreq, 50);
  EXPECT_EQ(p.oMaterialThickness, 0.0f);
}

TEST_F(PrintSettingsValuesTest, StoredTextIsReadAsANumberFromItsStart) {
  ZarvikPDE& p = preparedPanel();
  store(".materialThickness", std::string("2.5 mm"));
  store(".rasterSpeed", std::string("  -12"));
  store(".rasterPower", std::string("not a number"));
  store(".vectorPower", std::string("37.9"));
  store(".vectorSpeed", std::string(""));
  store(".vectorFreq", PrintSettingValue{});  // a read that gives no value at all
  store(".resolution", std::string("1e3"));

  p.getNonPPDSettingsFromPrintSettings();

  EXPECT_EQ(p.oMaterialThickness, 2.5f);
  EXPECT_EQ(p.rSpeed, -12);
  EXPECT_EQ(p.rPower, 0);
  EXPECT_EQ(p.vPower, 37);
  EXPECT_EQ(p.vSpeed, 0);
  EXPECT_EQ(p.vFreq, 0);
  EXPECT_EQ(p.resolution, 1);
  EXPECT_EQ(host->requests(), pushes("2.500000", "1", "0", "-12", "0", "37", "0"));
  // The values are data in the log: their control characters are escaped.
  log.clear();
  store(".materialThickness", std::string("1.5\nSaved 9 to x"));
  store(".rasterSpeed", PrintSettingValue{});
  p.getNonPPDSettingsFromPrintSettings();
  ASSERT_GE(log.lines.size(), 3u);
  EXPECT_EQ(log.lines[1], "PMPrintSettingsGetValue got: 1.5\\nSaved 9 to x");
  EXPECT_EQ(log.lines[2], "PMPrintSettingsGetValue got: (null)");
  EXPECT_EQ(p.oMaterialThickness, 1.5f);
  EXPECT_EQ(p.rSpeed, 0);
}

TEST_F(PrintSettingsValuesTest, FloatTextOutOfRangeIsReadAsStrtofWould) {
  ZarvikPDE& p = preparedPanel();
  store(".materialThickness", std::string("1e39"));
  p.getNonPPDSettingsFromPrintSettings();
  EXPECT_EQ(p.oMaterialThickness, std::numeric_limits<float>::infinity());
  ASSERT_GE(host->requests().size(), 2u);
  EXPECT_EQ(host->requests()[1], "CustommaterialThickness=inf");
}

TEST_F(PrintSettingsValuesTest, NumberObjectsAreTakenByTheirValue) {
  ZarvikPDE& p = preparedPanel();
  store(".materialThickness", 0.5);
  store(".rasterSpeed", 37.9);
  store(".rasterPower", -12.7);
  store(".vectorPower", 1e30);
  store(".vectorSpeed", -1e30);
  store(".vectorFreq", 1000.0);
  store(".resolution", 75.0);

  p.getNonPPDSettingsFromPrintSettings();

  EXPECT_EQ(log.lines, (Lines{"Entering getNonPPDSettingsFromPrintSettings", "PMPrintSettingsGetValue got: 0.5",
                              "PMPrintSettingsGetValue got: 37.9"}));
  EXPECT_EQ(p.oMaterialThickness, 0.5f);
  EXPECT_EQ(p.rSpeed, 37);
  EXPECT_EQ(p.rPower, -12);
  EXPECT_EQ(p.vFreq, 1000);
  EXPECT_EQ(p.resolution, 75);
  EXPECT_EQ(p.resolutionIndex, 0);
  // Beyond every integer width: saturated, then pushed as 32 bits.
  EXPECT_EQ(host->requests(), pushes("0.500000", "75", "-12", "37", "1000", "2147483647", "-2147483648"));
  EXPECT_EQ(p.vPower, 2147483647);
  EXPECT_EQ(p.vSpeed, -2147483648L);
}

TEST_F(PrintSettingsValuesTest, OnlyTheThicknessStored) {
  ZarvikPDE& p = preparedPanel();
  store(".materialThickness", std::string("3.250000"));
  p.getNonPPDSettingsFromPrintSettings();
  ASSERT_GE(log.lines.size(), 3u);
  EXPECT_EQ(log.lines[1], "PMPrintSettingsGetValue got: 3.250000");
  EXPECT_EQ(log.lines[2], "Unable to get " + kKind + ".rasterSpeed");
  EXPECT_EQ(p.oMaterialThickness, 3.25f);
  EXPECT_EQ(p.rSpeed, 50);
}

TEST_F(PrintSettingsValuesTest, ValuesReadTheSameInAGermanLocale) {
  ZarvikPDE& p = preparedPanel();
  store(".materialThickness", std::string("0.125000"));
  store(".rasterSpeed", std::string("35"));
  {
    GermanLocale german;
    ASSERT_EQ(german.failure(), "");
    p.getNonPPDSettingsFromPrintSettings();
    p.writeNonPPDSettingToPrintSettings(key(".materialThickness"), formatFloat(p.oMaterialThickness));
  }
  EXPECT_EQ(p.oMaterialThickness, 0.125f);
  EXPECT_EQ(host->requests(), pushes("0.125000", "600", "50", "35", "50", "50", "50"));
  ASSERT_EQ(host->settings.writes.size(), 1u);
  EXPECT_EQ(host->settings.writes[0].value, "0.125000");
}

TEST_F(PrintSettingsValuesTest, HostWithoutPrintSettingsChangesNothing) {
  ZarvikPDE& p = preparedPanel();
  host->hasPrintSettings = false;
  store(".rasterSpeed", std::string("35"));

  p.getNonPPDSettingsFromPrintSettings();
  p.writeNonPPDSettingToPrintSettings(key(".rasterSpeed"), "80");

  EXPECT_EQ(log.lines, (Lines{"Entering getNonPPDSettingsFromPrintSettings"}));
  EXPECT_TRUE(host->calls.empty());
  EXPECT_TRUE(host->settings.writes.empty());
  EXPECT_EQ(p.oMaterialThickness, 9.5f);
  EXPECT_EQ(p.rSpeed, 1);
  EXPECT_EQ(p.resolution, 6);
  EXPECT_EQ(p.resolutionIndex, 3);
}

class PanelWithoutPrintSettingsTest : public PrintSettingsValuesTest {
 protected:
  void configureHost(RecordingHost& h) override { h.hasPrintSettings = false; }
};

TEST_F(PanelWithoutPrintSettingsTest, ConstructionMarksOnlyTheDefaults) {
  ZarvikPDE& p = makePanel();
  // Only the defaults' marks; no second round of pushes.
  EXPECT_EQ(host->requests(),
            (Requests{"cResolution=Custom", "CustomcResolution=600", "materialThickness=Custom",
                      "CustommaterialThickness=0.000000", "rasterPower=Custom", "CustomrasterPower=50",
                      "rasterSpeed=Custom", "CustomrasterSpeed=50", "vectorFreq=Custom", "CustomvectorFreq=50",
                      "vectorPower=Custom", "CustomvectorPower=50", "vectorSpeed=Custom", "CustomvectorSpeed=50"}));
  EXPECT_EQ(p.resolution, 600);
  // The defaults put the slider on the step of 600 dpi.
  EXPECT_EQ(p.resolutionIndex, 5);
  EXPECT_TRUE(log.contains("Entering getNonPPDSettingsFromPrintSettings"));
  EXPECT_FALSE(log.contains("Unable to get " + kKind + ".materialThickness"));
}

TEST_F(PrintSettingsValuesTest, WriteStoresTheTextAndLogsValueThenKey) {
  ZarvikPDE& p = preparedPanel();
  p.writeNonPPDSettingToPrintSettings(key(".rasterSpeed"), "35");
  p.writeNonPPDSettingToPrintSettings(key(".materialThickness"), "0.125000");
  host->settings.setStatus = -50;
  p.writeNonPPDSettingToPrintSettings(key(".vectorFreq"), "800");

  EXPECT_EQ(log.lines, (Lines{"Saved 35 to " + kKind + ".rasterSpeed",
                              "Saved 0.125000 to " + kKind + ".materialThickness",
                              "Zarvik PDE got an error -50 setting the value for " + kKind + ".vectorFreq !"}));
  ASSERT_EQ(host->settings.writes.size(), 3u);
  EXPECT_EQ(host->settings.writes[0].key, kKind + ".rasterSpeed");
  EXPECT_EQ(host->settings.writes[0].value, "35");
  EXPECT_EQ(host->settings.writes[1].value, "0.125000");
  for (const auto& write : host->settings.writes) EXPECT_FALSE(write.locked);
  EXPECT_EQ(host->settings.values.count(kKind + ".vectorFreq"), 0u);
  // Writing changes no field and asks nothing of the host's PPD.
  EXPECT_EQ(p.rSpeed, 1);
  EXPECT_TRUE(host->calls.empty());

  // What was written is what the next read finds.
  host->settings.setStatus = noErr;
  log.clear();
  p.getNonPPDSettingsFromPrintSettings();
  EXPECT_EQ(p.rSpeed, 35);
  EXPECT_EQ(p.oMaterialThickness, 0.125f);
  ASSERT_GE(log.lines.size(), 3u);
  EXPECT_EQ(log.lines[1], "PMPrintSettingsGetValue got: 0.125000");
  EXPECT_EQ(log.lines[2], "PMPrintSettingsGetValue got: 35");
}

}  // namespace
}  // namespace zarvik::testing
