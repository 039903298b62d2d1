// Keeping the panel in step with the print job: restore from the PPD's marks
// and the print settings, save, choices the host changed, and the summary.
#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "support/panel_fixture.h"

namespace zarvik::testing {
namespace {

constexpr char kUntouched[] = "untouched";

std::string choiceLine(const std::string& choice, int type) {
  return "A new user choice has been selected\nThe choice is: " + choice + "\n The type is: " + std::to_string(type);
}

class JobSyncTest : public PanelTest {
 protected:
  // Restores and checks that the answer is YES and the error place untouched.
  void restore() {
    NSError error{kUntouched};
    EXPECT_TRUE(panel->restoreValuesAndReturnError(&error));
    EXPECT_EQ(error.localizedDescription, kUntouched);
  }

  // The log lines after the stored values were read: those of the PPD's
  // marked choices and of the resolution.
  std::vector<std::string> linesAfterStoredValues() const {
    auto line = std::find(log.lines.begin(), log.lines.end(), "Entering getNonPPDSettingsFromPrintSettings");
    if (line == log.lines.end()) return {};
    ++line;
    auto fromStoredValues = [](const std::string& l) {
      return l.starts_with("Unable to get ") || l.starts_with("PMPrintSettingsGetValue got: ") ||
             l.starts_with("Failed to set custom ");
    };
    while (line != log.lines.end() && fromStoredValues(*line)) ++line;
    return {line, log.lines.end()};
  }

  // What was done to the auto focus, vector grid and direct print boxes and
  // to the material caption and field, leaving out their values.
  static Journal onOffJournal(const Journal& journal) {
    Journal out;
    for (const std::string& entry : journal) {
      std::string control = entry.substr(0, entry.find('.'));
      std::string operation = entry.substr(entry.find('.') + 1);
      bool watched = control == "autoFocusCheckBox" || control == "vectorGridCheckBox" ||
                     control == "directPrintCheckBox" || control == "materialText" || control == "materialTextBox";
      bool changesLook = operation.starts_with("setEnabled") || operation.starts_with("setState") ||
                         operation.starts_with("setTextColor");
      if (watched && changesLook) out.push_back(entry);
    }
    return out;
  }

  using Choices = std::tuple<std::optional<std::string>, std::optional<std::string>, std::optional<std::string>,
                             std::optional<std::string>, std::optional<std::string>>;
  Choices choices() const {
    return {panel->jobTypeChoice, panel->centerEngravingChoice, panel->ditheringChoice, panel->engraveDirChoice,
            panel->vectorSortingChoice};
  }
};

// Restore with no marked choice at all: the host accepts the defaults' marks
// but keeps none, so libcups finds nothing marked.
class RestoreNothingMarkedTest : public JobSyncTest {
 protected:
  void configureHost(RecordingHost& h) override { h.marksPpd = false; }
};

TEST_F(RestoreNothingMarkedTest, LogsOnlyEntryVectorPowerAndMissingResolution) {
  ZarvikPDE& p = makePanel();
  MemoryView& view = showPanel();
  // Values that no restore step sets, and values the defaults set again.
  view.checkBox("directPrintCheckBox").userClicks();
  ASSERT_EQ(p.oDirectPrint, 1);
  p.PPDOptionKeyValueDidChange("vectorSort", "Off");
  p.PPDOptionKeyValueDidChange("JobType", "Raster");
  log.clear();
  view.journal.clear();

  restore();

  const std::string kind = p.panelKind();
  EXPECT_EQ(log.lines, (std::vector<std::string>{
                           "Entering restoreValuesAndReturnError",
                           "The custom option text is: Vector Power (%)",
                           "The custom vector power is 2set to: 0",
                           "Entering setDefaults",
                           choiceLine("Combined", 0),
                           choiceLine("None", 1),
                           choiceLine("TopDown", 3),
                           choiceLine("FloydSteinberg", 2),
                           "The custom option text is: Resolution (dpi)",
                           "The resolution is set to: 0",
                           "The custom option text is: Vector Power (%)",
                           "The custom vector power is 1set to: 0",
                           "Entering getNonPPDSettingsFromPrintSettings",
                           "Unable to get " + kind + ".materialThickness",
                           "Unable to get " + kind + ".rasterSpeed",
                           "Unable to get " + kind + ".rasterPower",
                           "Unable to get " + kind + ".vectorPower",
                           "Unable to get " + kind + ".vectorSpeed",
                           "Unable to get " + kind + ".vectorFreq",
                           "Unable to get " + kind + ".resolution",
                           "Unable to find the resolution choice.",
                       }));
  EXPECT_EQ(choices(), (Choices{"Combined", "None", "FloydSteinberg", "TopDown", "Off"}));
  EXPECT_EQ(p.oDirectPrint, 1);
  EXPECT_EQ(p.oAutoFocus, 0);
  EXPECT_EQ(p.oVectorGrid, 0);
  EXPECT_TRUE(onOffJournal(view.journal).empty()) << ::testing::PrintToString(view.journal);
  EXPECT_EQ(view.checkBox("directPrintCheckBox").state(), 1);
  // The refresh ran: the job type shows the default again.
  EXPECT_EQ(view.popup("jobTypePopup").selectedObject(), "Combined");
}

TEST_F(JobSyncTest, RestoreTakesEveryMarkedChoiceInTableOrder) {
  ZarvikPDE& p = makePanel();
  MemoryView& view = showPanel();
  const std::pair<const char*, const char*> marks[] = {
      {"JobType", "Raster"},    {"CenterEngraving", "Center"}, {"dithering", "Atkinson"},
      {"EngravingDirection", "BottomUp"}, {"vectorSort", "InsideOut"}, {"autoFocus", "enabled"},
      {"vectorGrid", "enabled"}, {"directPrint", "enabled"},
  };
  for (const auto& [option, choice] : marks) ASSERT_TRUE(markOption(ppdFile.get(), option, choice)) << option;
  log.clear();
  view.journal.clear();
  host->calls.clear();

  restore();

  EXPECT_EQ(linesAfterStoredValues(), (std::vector<std::string>{
                                          choiceLine("Raster", 0),
                                          "The current jobtype choice is: Raster",
                                          choiceLine("Center", 1),
                                          "The current center engraving choice is: Center",
                                          choiceLine("Atkinson", 2),
                                          "The current dithering choice is: Atkinson",
                                          choiceLine("BottomUp", 3),
                                          "The current engraving direction choice is: BottomUp",
                                          choiceLine("InsideOut", 4),
                                          "The current vector sorting choice is: InsideOut",
                                          "The current Auto Focus choice is: enabled",
                                          "The current Vector Grid choice is: enabled",
                                          "The current Direct Print choice is: enabled",
                                          "Unable to find the custom option.",
                                          "The current resolution choice is: Custom\nText: Custom Resolution",
                                      }));
  EXPECT_EQ(choices(), (Choices{"Raster", "Center", "Atkinson", "BottomUp", "InsideOut"}));
  EXPECT_EQ(p.oAutoFocus, 1);
  EXPECT_EQ(p.oVectorGrid, 1);
  EXPECT_EQ(p.oDirectPrint, 1);
  EXPECT_EQ(onOffJournal(view.journal), (Journal{
                                            "autoFocusCheckBox.setState(1)",
                                            "materialText.setEnabled(YES)",
                                            "materialTextBox.setEnabled(YES)",
                                            "vectorGridCheckBox.setEnabled(YES)",
                                            "materialText.setTextColor(black)",
                                            "vectorGridCheckBox.setState(1)",
                                            "directPrintCheckBox.setState(1)",
                                        }));
  EXPECT_EQ(view.popup("jobTypePopup").selectedObject(), "Raster");
  EXPECT_EQ(view.popup("centerEngravingPopup").selectedObject(), "Center");
  EXPECT_EQ(view.popup("ditheringPopup").selectedObject(), "Atkinson");
  EXPECT_EQ(view.popup("engravingDirectionPopup").selectedObject(), "BottomUp");
  EXPECT_EQ(view.popup("vSortingPopup").selectedObject(), "InsideOut");
  // Reading the marks marks nothing: the only requests are the numeric
  // values that the defaults and the print settings mark.
  for (const std::string& request : host->requests()) {
    EXPECT_TRUE(request.find("=Custom") != std::string::npos || request.starts_with("Custom")) << request;
  }
}

// The vector power logged first is the PPD's value from before the restore
// marks the defaults.
TEST_F(JobSyncTest, RestoreLogsTheVectorPowerThePpdHeldBefore) {
  ZarvikPDE& p = makePanel();
  ASSERT_TRUE(markOption(ppdFile.get(), "vectorPower", "Custom.42"));
  log.clear();
  restore();
  ASSERT_GE(log.lines.size(), 3u);
  EXPECT_EQ(log.lines[2], "The custom vector power is 2set to: 42");
  EXPECT_EQ(log.count("The custom vector power is 1set to: 42"), 1u);
  EXPECT_EQ(p.vPower, 50);
  EXPECT_EQ(p.getPPDCustomIntOpt("vectorPower", "vPower"), 50);
}

TEST_F(JobSyncTest, RestoreLogsMinusOneForAVectorPowerThatIsNotAnInteger) {
  ppdFile = openPpd(testPpdPath("wrong-custom-types.ppd"));
  ASSERT_NE(ppdFile, nullptr);
  makePanel();
  log.clear();
  restore();
  ASSERT_GE(log.lines.size(), 4u);
  EXPECT_EQ(log.lines[0], "Entering restoreValuesAndReturnError");
  EXPECT_EQ(log.lines[1], "The custom option text is: Vector Power (%)");
  EXPECT_EQ(log.lines[2], "The type is incorrect for: vectorPower - vPower: 6.");
  EXPECT_EQ(log.lines[3], "The custom vector power is 2set to: -1");
}

// "enabled" is compared as libcups compares keywords: a host that marked
// "Enabled" for the panel's "enabled" switched the option on.
TEST_F(JobSyncTest, EnabledInAnotherCaseCountsAsOn) {
  struct OnOff {
    const char* option;
    const char* box;
    NSInteger ZarvikPDE::*field;
    const char* message;
  };
  const OnOff onOff[] = {
      {"autoFocus", "autoFocusCheckBox", &ZarvikPDE::oAutoFocus, "The current Auto Focus choice is: Enabled"},
      {"vectorGrid", "vectorGridCheckBox", &ZarvikPDE::oVectorGrid, "The current Vector Grid choice is: Enabled"},
      {"directPrint", "directPrintCheckBox", &ZarvikPDE::oDirectPrint, "The current Direct Print choice is: Enabled"},
  };
  for (const OnOff& row : onOff) {
    SCOPED_TRACE(row.option);
    std::string option(row.option);
    TemporaryPpd capitalised(sampleWith("*" + option + " enabled/", "*" + option + " Enabled/"));
    ASSERT_NE(capitalised.get(), nullptr);
    bundle->loadedView = nullptr;
    host = std::make_shared<RecordingHost>(capitalised.get());
    panel = ZarvikPDE::initWithCallback(host);
    ASSERT_NE(panel, nullptr);
    MemoryView& view = showPanel();
    MemoryButton& box = view.checkBox(row.box);
    if (option == "vectorGrid") view.checkBox("autoFocusCheckBox").userClicks();

    // A person turns it on; the host marks the PPD's own spelling.
    ASSERT_TRUE(box.userClicks());
    ASSERT_EQ((*panel).*row.field, 1);
    ASSERT_EQ(markedChoice(capitalised.get(), option), "Enabled");
    log.clear();

    restore();

    EXPECT_EQ((*panel).*row.field, 1);
    EXPECT_EQ(box.state(), 1);
    EXPECT_EQ(log.count(row.message), 1u);
    if (option == "autoFocus") {
      EXPECT_TRUE(view.textField("materialTextBox").enabled);
      EXPECT_TRUE(view.checkBox("vectorGridCheckBox").enabled);
      EXPECT_EQ(view.textField("materialText").color, NSColor::blackColor);
    }
    panel.reset();
  }
}

TEST_F(JobSyncTest, AutoFocusOffKeepsTheVectorGridOnButDisabled) {
  ZarvikPDE& p = makePanel();
  MemoryView& view = showPanel();
  ASSERT_TRUE(markOption(ppdFile.get(), "autoFocus", "disabled"));
  ASSERT_TRUE(markOption(ppdFile.get(), "vectorGrid", "enabled"));
  log.clear();
  view.journal.clear();
  host->calls.clear();

  restore();

  EXPECT_EQ(onOffJournal(view.journal), (Journal{
                                            "autoFocusCheckBox.setState(0)",
                                            "materialText.setEnabled(NO)",
                                            "materialTextBox.setEnabled(NO)",
                                            "vectorGridCheckBox.setEnabled(NO)",
                                            "vectorGridCheckBox.setState(0)",
                                            "materialText.setTextColor(gray)",
                                            "vectorGridCheckBox.setState(1)",
                                        }));
  EXPECT_EQ(p.oAutoFocus, 0);
  EXPECT_EQ(p.oVectorGrid, 1);
  EXPECT_FALSE(view.textField("materialText").enabled);
  EXPECT_FALSE(view.textField("materialTextBox").enabled);
  EXPECT_FALSE(view.checkBox("vectorGridCheckBox").enabled);
  EXPECT_EQ(view.checkBox("vectorGridCheckBox").state(), 1);
  EXPECT_EQ(view.textField("materialText").color, NSColor::grayColor);
  // The auto focus rule changes neither the model's nor the PPD's grid.
  EXPECT_EQ(markedChoice(ppdFile.get(), "vectorGrid"), "enabled");
  for (const std::string& request : host->requests()) {
    EXPECT_FALSE(request.starts_with("vectorGrid=") || request.starts_with("autoFocus=")) << request;
  }
  std::vector<std::string> lines = linesAfterStoredValues();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "The current Auto Focus choice is: disabled");
  EXPECT_EQ(lines[1], "The current Vector Grid choice is: enabled");
}

// Without a marked auto focus the dependent controls keep what they show.
TEST_F(JobSyncTest, UnmarkedAutoFocusLeavesTheMaterialControlsAlone) {
  ZarvikPDE& p = makePanel();
  MemoryView& view = showPanel();
  // The host takes the person's change without marking it.
  host->marksPpd = false;
  ASSERT_TRUE(view.checkBox("autoFocusCheckBox").userClicks());
  ASSERT_TRUE(view.checkBox("autoFocusCheckBox").userClicks());
  host->marksPpd = true;
  ASSERT_EQ(markedChoice(ppdFile.get(), "autoFocus"), "");
  ASSERT_EQ(p.oAutoFocus, 0);
  ASSERT_FALSE(view.textField("materialTextBox").enabled);
  view.journal.clear();

  restore();

  EXPECT_TRUE(onOffJournal(view.journal).empty()) << ::testing::PrintToString(view.journal);
  EXPECT_FALSE(view.textField("materialText").enabled);
  EXPECT_FALSE(view.textField("materialTextBox").enabled);
  EXPECT_FALSE(view.checkBox("vectorGridCheckBox").enabled);
  EXPECT_EQ(view.textField("materialText").color, NSColor::grayColor);
  EXPECT_EQ(log.count("The current Auto Focus choice is: disabled"), 0u);
}

// Before the view exists a restore changes the model only; the on/off boxes
// then show what the view description gives them until the next restore.
TEST_F(JobSyncTest, RestoreBeforeTheViewChangesOnlyTheModel) {
  ZarvikPDE& p = makePanel();
  for (const char* option : {"autoFocus", "vectorGrid", "directPrint"}) {
    ASSERT_TRUE(markOption(ppdFile.get(), option, "enabled"));
  }
  ASSERT_TRUE(markOption(ppdFile.get(), "JobType", "Vector"));

  restore();

  EXPECT_EQ(p.oAutoFocus, 1);
  EXPECT_EQ(p.oVectorGrid, 1);
  EXPECT_EQ(p.oDirectPrint, 1);
  EXPECT_EQ(p.jobTypeChoice, "Vector");
  EXPECT_EQ(bundle->nibLoads, 0);

  MemoryView& view = showPanel();
  for (const char* box : {"autoFocusCheckBox", "vectorGridCheckBox", "directPrintCheckBox"}) {
    EXPECT_EQ(view.checkBox(box).state(), 0) << box;
  }
  EXPECT_TRUE(onOffJournal(view.journal).empty()) << ::testing::PrintToString(view.journal);
  EXPECT_EQ(view.popup("jobTypePopup").selectedObject(), "Vector");

  restore();
  for (const char* box : {"autoFocusCheckBox", "vectorGridCheckBox", "directPrintCheckBox"}) {
    EXPECT_EQ(view.checkBox(box).state(), 1) << box;
  }
}

// The resolution step only logs; the model keeps what the defaults and the
// print settings gave it.
TEST_F(JobSyncTest, ResolutionIsOnlyLogged) {
  {
    SCOPED_TRACE("marked Custom by the panel itself");
    ZarvikPDE& p = makePanel();
    log.clear();
    restore();
    std::vector<std::string> lines = linesAfterStoredValues();
    EXPECT_EQ(lines, (std::vector<std::string>{"Unable to find the custom option.",
                                               "The current resolution choice is: Custom\nText: Custom Resolution"}));
    EXPECT_EQ(p.resolution, 600);
  }
  {
    SCOPED_TRACE("a preset step marked, another value stored");
    auto refusing = std::make_shared<RecordingHost>(ppdFile.get());
    refusing->refuse("cResolution");
    refusing->settings.values[key(".resolution")] = std::string("1200");
    std::shared_ptr<ZarvikPDE> p = ZarvikPDE::initWithCallback(refusing);
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(markOption(ppdFile.get(), "cResolution", "300"));
    log.clear();
    NSError error{kUntouched};
    EXPECT_TRUE(p->restoreValuesAndReturnError(&error));
    EXPECT_EQ(error.localizedDescription, kUntouched);
    // The stored value the host refuses gives way to the resolution the
    // PPD holds, in the field, on the slider and in the print settings.
    std::vector<std::string> lines = linesAfterStoredValues();
    EXPECT_EQ(lines,
              (std::vector<std::string>{"Saved 300 to " + key(".resolution"), "Unable to find the custom option.",
                                        "The current resolution choice is: 300\nText: 300 dpi"}));
    EXPECT_EQ(p->resolution, 300);
    EXPECT_EQ(p->resolutionIndex, 3);
    EXPECT_EQ(markedChoice(ppdFile.get(), "cResolution"), "300");
  }
  {
    SCOPED_TRACE("a PPD without a custom resolution");
    ScopedPpd plain = openPpd(testPpdPath("no-custom-resolution.ppd"));
    ASSERT_NE(plain, nullptr);
    auto plainHost = std::make_shared<RecordingHost>(plain.get());
    std::shared_ptr<ZarvikPDE> p = ZarvikPDE::initWithCallback(plainHost);
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(markOption(plain.get(), "cResolution", "1200"));
    log.clear();
    EXPECT_TRUE(p->restoreValuesAndReturnError(nullptr));
    std::vector<std::string> lines = linesAfterStoredValues();
    // "cResolution=Custom" names no choice of this PPD, so 1200 stays marked.
    EXPECT_EQ(lines, (std::vector<std::string>{"Unable to find the custom option.",
                                               "The current resolution choice is: 1200\nText: 1200 dpi"}));
    EXPECT_EQ(p->resolution, 600);
  }
}

TEST_F(JobSyncTest, SaveWritesNothingAnywhere) {
  ZarvikPDE& p = makePanel();
  MemoryView& view = showPanel();
  view.slider("rPowerSlider").userMoves(30);
  view.popup("ditheringPopup").userSelects(1);

  std::vector<std::pair<std::string, std::string>> marks;
  for (int g = 0; g < ppdFile->num_groups; ++g) {
    const ppd_group_t& group = ppdFile->groups[g];
    for (int o = 0; o < group.num_options; ++o) {
      std::string keyword = group.options[o].keyword;
      marks.emplace_back(keyword, markedChoice(ppdFile.get(), keyword));
    }
  }
  ASSERT_GE(marks.size(), 17u);
  const auto calls = host->calls;
  const auto values = host->settings.values;
  const std::size_t writes = host->settings.writes.size();
  const int settingsCalls = host->printSettingsCalls;
  const int ppdCalls = host->ppdFileCalls;
  const Journal journal = view.journal;
  const Choices before = choices();
  log.clear();

  NSError error{kUntouched};
  EXPECT_TRUE(p.saveValuesAndReturnError(&error));
  EXPECT_TRUE(p.saveValuesAndReturnError(nullptr));

  EXPECT_EQ(error.localizedDescription, kUntouched);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"Entering saveValuesAndReturnError",
                                                 "Entering saveValuesAndReturnError"}));
  for (const auto& [option, choice] : marks) EXPECT_EQ(markedChoice(ppdFile.get(), option), choice) << option;
  EXPECT_EQ(host->calls, calls);
  EXPECT_EQ(host->settings.values, values);
  EXPECT_EQ(host->settings.writes.size(), writes);
  EXPECT_EQ(host->printSettingsCalls, settingsCalls);
  EXPECT_EQ(host->ppdFileCalls, ppdCalls);
  EXPECT_EQ(view.journal, journal);
  EXPECT_EQ(choices(), before);
  EXPECT_EQ(p.rPower, 30);
  EXPECT_EQ(p.getPPDCustomIntOpt("rasterPower", "rPower"), 30);
}

// The host reports a new choice of a pick-one option; everything else, and
// a missing option or choice, changes nothing.
TEST_F(JobSyncTest, ChangedChoicesOfThePickOneOptionsAreRecordedAsGiven) {
  struct Change {
    std::optional<std::string> option, choice;
    Choices expected;  // after the change, starting from the defaults
    std::optional<std::string> logged;
  };
  const Choices defaults{"Combined", "None", "FloydSteinberg", "TopDown", std::nullopt};
  const Change changes[] = {
      {"JobType", "Raster", {"Raster", "None", "FloydSteinberg", "TopDown", std::nullopt}, choiceLine("Raster", 0)},
      {"CenterEngraving", "Vertical", {"Combined", "Vertical", "FloydSteinberg", "TopDown", std::nullopt},
       choiceLine("Vertical", 1)},
      {"dithering", "Random", {"Combined", "None", "Random", "TopDown", std::nullopt}, choiceLine("Random", 2)},
      {"EngravingDirection", "BottomUp", {"Combined", "None", "FloydSteinberg", "BottomUp", std::nullopt},
       choiceLine("BottomUp", 3)},
      {"vectorSort", "Off", {"Combined", "None", "FloydSteinberg", "TopDown", "Off"}, choiceLine("Off", 4)},
      // Not checked against the PPD: the host has marked it already.
      {"JobType", "NoSuchChoice", {"NoSuchChoice", "None", "FloydSteinberg", "TopDown", std::nullopt},
       choiceLine("NoSuchChoice", 0)},
      {"JobType", std::nullopt, defaults, std::nullopt},
      {std::nullopt, "Raster", defaults, std::nullopt},
      {std::nullopt, std::nullopt, defaults, std::nullopt},
      {"rasterPower", "Custom", defaults, std::nullopt},
      {"CustomvectorPower", "60", defaults, std::nullopt},
      {"autoFocus", "enabled", defaults, std::nullopt},
      {"vectorGrid", "enabled", defaults, std::nullopt},
      {"jobtype", "Raster", defaults, std::nullopt},
      {"JobType ", "Raster", defaults, std::nullopt},
      {"", "", defaults, std::nullopt},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(::testing::PrintToString(change.option) + " " + ::testing::PrintToString(change.choice));
    panel.reset();
    bundle->loadedView = nullptr;
    ZarvikPDE& p = makePanel();
    MemoryView& view = showPanel();
    const NSInteger before[] = {p.oAutoFocus, p.oVectorGrid, p.oDirectPrint, p.rPower, p.vPower};
    const std::string marked = markedChoice(ppdFile.get(), "JobType");
    log.clear();
    view.journal.clear();
    host->calls.clear();

    p.PPDOptionKeyValueDidChange(change.option, change.choice);

    EXPECT_EQ(choices(), change.expected);
    std::vector<std::string> expectedLog{"Entering PPDOptionKeyValueDidChange"};
    if (change.logged) expectedLog.push_back(*change.logged);
    EXPECT_EQ(log.lines, expectedLog);
    const NSInteger after[] = {p.oAutoFocus, p.oVectorGrid, p.oDirectPrint, p.rPower, p.vPower};
    EXPECT_TRUE(std::equal(std::begin(before), std::end(before), std::begin(after)));
    // Nothing is marked and nothing is refreshed.
    EXPECT_TRUE(host->calls.empty());
    EXPECT_EQ(markedChoice(ppdFile.get(), "JobType"), marked);
    EXPECT_TRUE(view.journal.empty()) << ::testing::PrintToString(view.journal);
  }
}

TEST_F(JobSyncTest, SummaryIsTheTitleAndThePpdTextOfTheJobType) {
  ZarvikPDE& p = makePanel();
  using Summary = std::map<std::string, std::string>;
  log.clear();
  EXPECT_EQ(p.summaryInfo(), (Summary{{"Zarvik Settings", "Raster and Vector"}}));
  p.PPDOptionKeyValueDidChange("JobType", "Vector");
  log.clear();
  EXPECT_EQ(p.summaryInfo(), (Summary{{"Zarvik Settings", "Vector Only"}}));
  EXPECT_TRUE(log.lines.empty());

  // The title is looked up on every call, apart from the cached panel name.
  bundle->strings["Zarvik Settings"] = "Réglages Zarvik";
  EXPECT_EQ(p.panelName(), "Réglages Zarvik");
  bundle->strings["Zarvik Settings"] = "Zarvik-Einstellungen";
  int lookups = bundle->localizedLookups;
  EXPECT_EQ(p.summaryInfo(), (Summary{{"Zarvik-Einstellungen", "Vector Only"}}));
  EXPECT_EQ(p.summaryInfo(), (Summary{{"Zarvik-Einstellungen", "Vector Only"}}));
  EXPECT_EQ(bundle->localizedLookups, lookups + 2);
  EXPECT_EQ(p.panelName(), "Réglages Zarvik");
  EXPECT_EQ(p.thePDEName, "Réglages Zarvik");
}

TEST_F(JobSyncTest, SummaryIsNoneWithoutAJobTypeOfThePpd) {
  ZarvikPDE& p = makePanel();
  for (const std::optional<std::string>& choice :
       std::vector<std::optional<std::string>>{"NoSuchChoice", "", "Custom", "Raster Only", std::nullopt}) {
    SCOPED_TRACE(::testing::PrintToString(choice));
    p.setNewUserChoice(choice, ChoiceTypeJobType);
    log.clear();
    EXPECT_EQ(p.summaryInfo(), std::nullopt);
    EXPECT_TRUE(log.lines.empty());
  }
  // A PPD without a default job type leaves an empty keyword.
  ScopedPpd noDefaults = openPpd(testPpdPath("missing-defaults.ppd"));
  ASSERT_NE(noDefaults, nullptr);
  auto other = std::make_shared<RecordingHost>(noDefaults.get());
  std::shared_ptr<ZarvikPDE> q = ZarvikPDE::initWithCallback(other);
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(q->jobTypeChoice, "");
  EXPECT_EQ(q->summaryInfo(), std::nullopt);
}

// Choice texts outside ASCII reach the summary as UTF-8: converted by libcups
// from a declared Latin-1, and with U+FFFD for each byte that is not UTF-8
// when the PPD claims UTF-8 but holds Latin-1. The entry is never dropped.
TEST_F(JobSyncTest, SummaryOfTextsOutsideAscii) {
  struct Texts {
    const char* file;
    std::string raster, vector;
  };
  const Texts texts[] = {
      {"utf8-texts.ppd", "Gravur \xC3\xBC" "ber Kopf", "Gr\xC3\xB6\xC3\x9F" "e \xE2\x80\x93 Schneiden"},
      {"latin1-texts.ppd", "Gravur \xC3\xBC" "ber Kopf", "Gr\xC3\xB6\xC3\x9F" "e"},
      {"mislabelled-encoding.ppd", "Gravur \xEF\xBF\xBD" "ber Kopf", "Gr\xEF\xBF\xBD\xEF\xBF\xBD" "e"},
  };
  for (const Texts& t : texts) {
    SCOPED_TRACE(t.file);
    ScopedPpd ppd = openPpd(testPpdPath(t.file));
    ASSERT_NE(ppd, nullptr);
    auto textsHost = std::make_shared<RecordingHost>(ppd.get());
    std::shared_ptr<ZarvikPDE> p = ZarvikPDE::initWithCallback(textsHost);
    ASSERT_NE(p, nullptr);
    for (const auto& [keyword, text] : {std::pair{"Raster", t.raster}, std::pair{"Vector", t.vector}}) {
      ASSERT_TRUE(markOption(ppd.get(), "JobType", keyword));
      log.clear();
      EXPECT_TRUE(p->restoreValuesAndReturnError(nullptr));
      // Keywords are ASCII words (libcups refuses others), logged as they are.
      EXPECT_EQ(log.count(std::string("The current jobtype choice is: ") + keyword), 1u);
      std::optional<std::map<std::string, std::string>> summary = p->summaryInfo();
      ASSERT_TRUE(summary.has_value());
      EXPECT_EQ(*summary, (std::map<std::string, std::string>{{"Zarvik Settings", text}}));
    }
  }
}

// The resolution text is logged as UTF-8 in the same way.
TEST_F(JobSyncTest, ResolutionTextOutsideAsciiIsLoggedAsUtf8) {
  const std::pair<std::string, std::string> encodings[] = {
      {"ISOLatin1", "The current resolution choice is: 300\nText: 300 d\xC3\xA9pi"},
      {"UTF-8", "The current resolution choice is: 300\nText: 300 d\xEF\xBF\xBDpi"},
  };
  for (const auto& [encoding, line] : encodings) {
    SCOPED_TRACE(encoding);
    std::string text = sampleWith("*cResolution 300/300 dpi", "*cResolution 300/300 d\xE9pi");
    const std::string declared = "*LanguageEncoding: ISOLatin1";
    text.replace(text.find(declared), declared.size(), "*LanguageEncoding: " + encoding);
    TemporaryPpd ppd(text);
    ASSERT_NE(ppd.get(), nullptr);
    auto resolutionHost = std::make_shared<RecordingHost>(ppd.get());
    resolutionHost->refuse("cResolution");
    std::shared_ptr<ZarvikPDE> p = ZarvikPDE::initWithCallback(resolutionHost);
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(markOption(ppd.get(), "cResolution", "300"));
    log.clear();
    EXPECT_TRUE(p->restoreValuesAndReturnError(nullptr));
    EXPECT_EQ(log.count(line), 1u) << ::testing::PrintToString(log.lines);
  }
}

}  // namespace
}  // namespace zarvik::testing
