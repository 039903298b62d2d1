// The seventeen control actions: which control sends which, what each one
// asks of the host, and the steps of auto focus and resolution.
#include <algorithm>
#include <functional>
#include <limits>
#include <set>

#include "support/panel_fixture.h"

namespace zarvik::testing {
namespace {

using Lines = std::vector<std::string>;
using Requests = std::vector<std::string>;

class ControlActionsTest : public PanelTest {
 protected:
  // A new panel on a fresh copy of the sample PPD, shown, with nothing
  // recorded yet.
  void fresh() {
    panel.reset();
    host.reset();
    ppdFile = openPpd(samplePpdPath());
    p = &makePanel();
    view = &showPanel();
    forget();
  }

  // Puts each host request into the journal, so that the order of requests
  // and control changes can be read in one list.
  void journalRequests() {
    host->decide = [this](std::string_view key, std::string_view choice) {
      std::string request = std::string(key) + "=" + std::string(choice);
      view->journal.push_back("host " + request);
      return !refused.count(request);
    };
  }

  // The journal entries of the auto focus sequence: requests, the
  // controls that auto focus governs, and each refresh as one entry.
  Lines autoFocusSequence() const {
    Lines out;
    for (const auto& entry : view->journal) {
      if (entry == "resolutionTextBox.setFloatValue(600.000000)") {
        out.push_back("refresh");
      } else if (entry.starts_with("host ") || entry.starts_with("materialText.") ||
                 entry.starts_with("materialTextBox.setEnabled") || entry.starts_with("vectorGridCheckBox.") ||
                 entry.starts_with("autoFocusCheckBox.")) {
        out.push_back(entry);
      }
    }
    return out;
  }

  ZarvikPDE* p = nullptr;
  MemoryView* view = nullptr;
  std::set<std::string> refused;
};

// One row per control of the layout. A control without an action sends
// nothing; every other one is run twice, once as a person works the control
// and once through the panel's action of that name with the same control.
TEST_F(ControlActionsTest, EachControlSendsItsSettingsRequestsFieldAndKey) {
  enum class Act { kSelect, kClick, kMove, kType };
  using Direct = std::function<void(ZarvikPDE&, MemoryView&)>;
  struct Wiring {
    std::string control;
    Act act;
    float value;
    Requests requests;
    std::function<std::string(const ZarvikPDE&)> field;
    std::string fieldValue;
    std::string settingsSuffix;  // the key's value is fieldValue
    Lines log;
    Direct direct;
  };
  auto integer = [](NSInteger ZarvikPDE::*f) {
    return [f](const ZarvikPDE& panel) { return std::to_string(panel.*f); };
  };
  auto choice = [](std::optional<std::string> ZarvikPDE::*f) {
    return [f](const ZarvikPDE& panel) { return (panel.*f).value_or("(nil)"); };
  };
  auto decimal = [](const ZarvikPDE& panel) { return formatFloat(panel.oMaterialThickness); };
  auto picked = [](std::string keyword, int type) {
    return Lines{"A new user choice has been selected\nThe choice is: " + keyword +
                 "\n The type is: " + std::to_string(type)};
  };
  auto madeChoice = [](std::string option, std::string choice) {
    return Lines{"We have made a new choice for " + option + ": " + choice + "!"};
  };
  auto saved = [this](std::string text, std::string suffix) {
    return Lines{"Saved " + text + " to " + key(suffix)};
  };
  auto popup = [](void (ZarvikPDE::*action)(NSPopUpButton&), std::string name, int index) -> Direct {
    return [=](ZarvikPDE& panel, MemoryView& v) {
      v.popup(name).selectItemAtIndex(index);
      (panel.*action)(v.popup(name));
    };
  };
  auto box = [](void (ZarvikPDE::*action)(StateSource&), std::string name) -> Direct {
    return [=](ZarvikPDE& panel, MemoryView& v) {
      v.checkBox(name).setState(v.checkBox(name).state() == 1 ? 0 : 1);
      (panel.*action)(v.checkBox(name));
    };
  };
  auto slider = [](void (ZarvikPDE::*action)(FloatValueSource&), std::string name, float value) -> Direct {
    return [=](ZarvikPDE& panel, MemoryView& v) {
      v.slider(name).setFloatValue(value);
      (panel.*action)(v.slider(name));
    };
  };
  auto field = [](void (ZarvikPDE::*action)(FloatValueSource&), std::string name, float value) -> Direct {
    return [=](ZarvikPDE& panel, MemoryView& v) {
      v.textField(name).setFloatValue(value);
      (panel.*action)(v.textField(name));
    };
  };
  using P = ZarvikPDE;

  const Wiring wirings[] = {
      {"jobTypePopup", Act::kSelect, 0, {"JobType=Raster"}, choice(&P::jobTypeChoice), "Raster", "",
       picked("Raster", 0), popup(&P::requestNewJobType, "jobTypePopup", 0)},
      {"centerEngravingPopup", Act::kSelect, 3, {"CenterEngraving=Center"}, choice(&P::centerEngravingChoice),
       "Center", "", picked("Center", 1), popup(&P::requestNewCenterEngraving, "centerEngravingPopup", 3)},
      {"directPrintCheckBox", Act::kClick, 0, {"directPrint=enabled"}, integer(&P::oDirectPrint), "1", "",
       madeChoice("directPrint", "enabled"), box(&P::requestNewDirectPrint, "directPrintCheckBox")},
      {"autoFocusCheckBox", Act::kClick, 0, {"autoFocus=enabled"}, integer(&P::oAutoFocus), "1", "",
       madeChoice("autoFocus", "enabled"), box(&P::requestNewAutoFocus, "autoFocusCheckBox")},
      {"materialTextBox", Act::kType, 0.25f, {"materialThickness=Custom", "CustommaterialThickness=0.250000"},
       decimal, "0.250000", ".materialThickness", saved("0.250000", ".materialThickness"),
       field(&P::requestNewMaterialThickness, "materialTextBox", 0.25f)},
      {"vectorGridCheckBox", Act::kClick, 0, {"vectorGrid=enabled"}, integer(&P::oVectorGrid), "1", "",
       madeChoice("vectorGrid", "enabled"), box(&P::requestNewVectorGrid, "vectorGridCheckBox")},
      {"materialText", Act::kType, 3, {}, nullptr, "", "", {}, nullptr},
      {"rPowerTextBox", Act::kType, 31, {"rasterPower=Custom", "CustomrasterPower=31"}, integer(&P::rPower), "31",
       ".rasterPower", saved("31", ".rasterPower"), field(&P::requestNewRPower, "rPowerTextBox", 31)},
      {"rSpeedTextBox", Act::kType, 32, {"rasterSpeed=Custom", "CustomrasterSpeed=32"}, integer(&P::rSpeed), "32",
       ".rasterSpeed", saved("32", ".rasterSpeed"), field(&P::requestNewRSpeed, "rSpeedTextBox", 32)},
      {"ditheringPopup", Act::kSelect, 0, {"dithering=Threshold"}, choice(&P::ditheringChoice), "Threshold", "",
       picked("Threshold", 2), popup(&P::requestNewDithering, "ditheringPopup", 0)},
      {"engravingDirectionPopup", Act::kSelect, 1, {"EngravingDirection=BottomUp"}, choice(&P::engraveDirChoice),
       "BottomUp", "", picked("BottomUp", 3), popup(&P::requestNewEngraveDir, "engravingDirectionPopup", 1)},
      {"rPowerSlider", Act::kMove, 33, {"rasterPower=Custom", "CustomrasterPower=33"}, integer(&P::rPower), "33",
       ".rasterPower", saved("33", ".rasterPower"), slider(&P::requestNewRPower, "rPowerSlider", 33)},
      {"rSpeedSlider", Act::kMove, 30, {"rasterSpeed=Custom", "CustomrasterSpeed=30"}, integer(&P::rSpeed), "30",
       ".rasterSpeed", saved("30", ".rasterSpeed"), slider(&P::requestNewRSpeed, "rSpeedSlider", 30)},
      {"vSpeedSlider", Act::kMove, 34, {"vectorSpeed=Custom", "CustomvectorSpeed=34"}, integer(&P::vSpeed), "34",
       ".vectorSpeed", saved("34", ".vectorSpeed"), slider(&P::requestNewVSpeed, "vSpeedSlider", 34)},
      {"vPowerSlider", Act::kMove, 35, {"vectorPower=Custom", "CustomvectorPower=35"}, integer(&P::vPower), "35",
       ".vectorPower", saved("35", ".vectorPower"), slider(&P::requestNewVPower, "vPowerSlider", 35)},
      {"vFreqSlider", Act::kMove, 36, {"vectorFreq=Custom", "CustomvectorFreq=36"}, integer(&P::vFreq), "36",
       ".vectorFreq", saved("36", ".vectorFreq"), slider(&P::requestNewVFreq, "vFreqSlider", 36)},
      {"vSpeedTextBox", Act::kType, 37, {"vectorSpeed=Custom", "CustomvectorSpeed=37"}, integer(&P::vSpeed), "37",
       ".vectorSpeed", saved("37", ".vectorSpeed"), field(&P::requestNewVSpeed, "vSpeedTextBox", 37)},
      {"vPowerTextBox", Act::kType, 38, {"vectorPower=Custom", "CustomvectorPower=38"}, integer(&P::vPower), "38",
       ".vectorPower", saved("38", ".vectorPower"), field(&P::requestNewVPower, "vPowerTextBox", 38)},
      {"vFreqTextBox", Act::kType, 39, {"vectorFreq=Custom", "CustomvectorFreq=39"}, integer(&P::vFreq), "39",
       ".vectorFreq", saved("39", ".vectorFreq"), field(&P::requestNewVFreq, "vFreqTextBox", 39)},
      {"vSortingPopup", Act::kSelect, 2, {"vectorSort=InsideOut"}, choice(&P::vectorSortingChoice), "InsideOut", "",
       picked("InsideOut", 4), popup(&P::requestNewVSorting, "vSortingPopup", 2)},
      {"vSpeedCompCheckBox", Act::kClick, 0, {"vectorSpeedComp=enabled"}, integer(&P::vSpeedComp), "1", "",
       madeChoice("vectorSpeedComp", "enabled"), box(&P::requestNewVSpeedComp, "vSpeedCompCheckBox")},
      {"vPowerCompCheckBox", Act::kClick, 0, {"vectorPowerComp=disabled"}, integer(&P::vPowerComp), "0", "",
       madeChoice("vectorPowerComp", "disabled"), box(&P::requestNewVPowerComp, "vPowerCompCheckBox")},
      // Its value is read as a resolution, which the resolution action
      // would take for a slider position.
      {"resolutionTextBox", Act::kType, 300, {}, nullptr, "", "", {}, nullptr},
      {"resolutionSlider", Act::kMove, 3, {"cResolution=Custom", "CustomcResolution=300"}, integer(&P::resolution),
       "300", ".resolution", saved("300", ".resolution"), slider(&P::requestNewResolution, "resolutionSlider", 3)},
  };

  std::set<std::string> covered, laidOut;
  for (const Wiring& w : wirings) covered.insert(w.control);
  for (const auto& [outlet, action] : MemoryBundle::layout()) laidOut.insert(outlet);
  EXPECT_EQ(covered, laidOut);

  for (const Wiring& w : wirings) {
    for (bool byName : {false, true}) {
      if (byName && !w.direct) continue;
      SCOPED_TRACE(w.control + (byName ? " through the action's name" : " worked by a person"));
      fresh();
      if (byName) {
        w.direct(*p, *view);
      } else {
        switch (w.act) {
          case Act::kSelect: view->popup(w.control).userSelects(static_cast<NSInteger>(w.value)); break;
          case Act::kClick: view->checkBox(w.control).userClicks(); break;
          case Act::kMove: view->slider(w.control).userMoves(w.value); break;
          case Act::kType: view->textField(w.control).userTypes(w.value); break;
        }
      }
      EXPECT_EQ(host->requests(), w.requests);
      EXPECT_EQ(log.lines, w.log);
      if (w.field) {
        EXPECT_EQ(w.field(*p), w.fieldValue);
      }
      if (w.settingsSuffix.empty()) {
        EXPECT_TRUE(host->settings.writes.empty());
      } else {
        ASSERT_EQ(host->settings.writes.size(), 1u);
        EXPECT_EQ(host->settings.writes[0].key, key(w.settingsSuffix));
        EXPECT_EQ(host->settings.writes[0].value, w.fieldValue);
        EXPECT_FALSE(host->settings.writes[0].locked);
      }
      if (!w.field) {
        EXPECT_TRUE(view->journal.empty());
      }
    }
  }
}

TEST_F(ControlActionsTest, AutoFocusOffWithVectorGridOnSwitchesTheGridOffFirst) {
  fresh();
  view->checkBox("autoFocusCheckBox").userClicks();
  view->checkBox("vectorGridCheckBox").userClicks();
  ASSERT_EQ(p->oVectorGrid, 1);
  forget();
  journalRequests();

  view->checkBox("autoFocusCheckBox").userClicks();

  EXPECT_EQ(autoFocusSequence(), (Lines{
                                     "materialText.setEnabled(NO)",
                                     "materialTextBox.setEnabled(NO)",
                                     "host vectorGrid=disabled",
                                     "refresh",
                                     "vectorGridCheckBox.setEnabled(NO)",
                                     "vectorGridCheckBox.setState(0)",
                                     "materialText.setTextColor(gray)",
                                     "host autoFocus=disabled",
                                     "refresh",
                                 }));
  EXPECT_EQ(host->requests(), (Requests{"vectorGrid=disabled", "autoFocus=disabled"}));
  EXPECT_EQ(log.lines, (Lines{"We have made a new choice for vectorGrid: disabled!",
                              "We have made a new choice for autoFocus: disabled!"}));
  EXPECT_EQ(p->oVectorGrid, 0);
  EXPECT_EQ(p->oAutoFocus, 0);
  EXPECT_EQ(view->checkBox("autoFocusCheckBox").state(), 0);
  EXPECT_EQ(view->checkBox("vectorGridCheckBox").state(), 0);
  EXPECT_FALSE(view->checkBox("vectorGridCheckBox").enabled);
  EXPECT_FALSE(view->textField("materialTextBox").enabled);
  EXPECT_FALSE(view->textField("materialText").enabled);
  EXPECT_EQ(view->textField("materialText").color, NSColor::grayColor);
  EXPECT_EQ(markedChoice(ppdFile.get(), "vectorGrid"), "disabled");
  EXPECT_EQ(markedChoice(ppdFile.get(), "autoFocus"), "disabled");
}

TEST_F(ControlActionsTest, AutoFocusOffWithVectorGridOffAsksOnlyForAutoFocus) {
  fresh();
  view->textField("materialTextBox").userTypes(2.5f);
  view->checkBox("autoFocusCheckBox").userClicks();
  forget();
  journalRequests();

  view->checkBox("autoFocusCheckBox").userClicks();

  EXPECT_EQ(autoFocusSequence(), (Lines{
                                     "materialText.setEnabled(NO)",
                                     "materialTextBox.setEnabled(NO)",
                                     "vectorGridCheckBox.setEnabled(NO)",
                                     "vectorGridCheckBox.setState(0)",
                                     "materialText.setTextColor(gray)",
                                     "host autoFocus=disabled",
                                     "refresh",
                                 }));
  EXPECT_EQ(host->requests(), (Requests{"autoFocus=disabled"}));
  // The thickness is left as it was.
  EXPECT_EQ(p->oMaterialThickness, 2.5f);
  EXPECT_EQ(view->textField("materialTextBox").value, 2.5f);
}

TEST_F(ControlActionsTest, AutoFocusOnMakesTheGridAvailableButLeavesItOff) {
  fresh();
  view->checkBox("autoFocusCheckBox").userClicks();
  view->checkBox("vectorGridCheckBox").userClicks();
  view->checkBox("autoFocusCheckBox").userClicks();
  ASSERT_FALSE(view->checkBox("vectorGridCheckBox").enabled);
  forget();
  journalRequests();

  view->checkBox("autoFocusCheckBox").userClicks();

  EXPECT_EQ(autoFocusSequence(), (Lines{
                                     "materialText.setEnabled(YES)",
                                     "materialTextBox.setEnabled(YES)",
                                     "vectorGridCheckBox.setEnabled(YES)",
                                     "materialText.setTextColor(black)",
                                     "host autoFocus=enabled",
                                     "refresh",
                                 }));
  EXPECT_EQ(host->requests(), (Requests{"autoFocus=enabled"}));
  EXPECT_EQ(p->oAutoFocus, 1);
  EXPECT_EQ(p->oVectorGrid, 0);
  EXPECT_TRUE(view->checkBox("vectorGridCheckBox").enabled);
  EXPECT_EQ(view->checkBox("vectorGridCheckBox").state(), 0);
  EXPECT_EQ(view->textField("materialText").color, NSColor::blackColor);
}

// A refused auto focus change leaves the box, and the controls it governs,
// on the value the panel kept.
TEST_F(ControlActionsTest, RefusedAutoFocusLeavesTheBoxAndItsControlsOnTheKeptValue) {
  // Switching off refused; the grid was switched off on the way.
  fresh();
  view->checkBox("autoFocusCheckBox").userClicks();
  view->checkBox("vectorGridCheckBox").userClicks();
  forget();
  journalRequests();
  refused = {"autoFocus=disabled"};
  view->checkBox("autoFocusCheckBox").userClicks();
  EXPECT_EQ(autoFocusSequence(), (Lines{
                                     "materialText.setEnabled(NO)",
                                     "materialTextBox.setEnabled(NO)",
                                     "host vectorGrid=disabled",
                                     "refresh",
                                     "vectorGridCheckBox.setEnabled(NO)",
                                     "vectorGridCheckBox.setState(0)",
                                     "materialText.setTextColor(gray)",
                                     "host autoFocus=disabled",
                                     "autoFocusCheckBox.setState(1)",
                                     "refresh",
                                     "materialText.setEnabled(YES)",
                                     "materialTextBox.setEnabled(YES)",
                                     "vectorGridCheckBox.setEnabled(YES)",
                                     "materialText.setTextColor(black)",
                                     "vectorGridCheckBox.setState(0)",
                                 }));
  EXPECT_EQ(log.lines, (Lines{"We have made a new choice for vectorGrid: disabled!",
                              "We were unsuccessful in updating autoFocus!"}));
  EXPECT_EQ(p->oAutoFocus, 1);
  EXPECT_EQ(p->oVectorGrid, 0);
  EXPECT_EQ(view->checkBox("autoFocusCheckBox").state(), 1);
  EXPECT_TRUE(view->checkBox("vectorGridCheckBox").enabled);
  EXPECT_TRUE(view->textField("materialTextBox").enabled);
  EXPECT_TRUE(view->textField("materialText").enabled);

  // Both refused: the grid box shows the grid the panel kept.
  fresh();
  view->checkBox("autoFocusCheckBox").userClicks();
  view->checkBox("vectorGridCheckBox").userClicks();
  forget();
  journalRequests();
  refused = {"autoFocus=disabled", "vectorGrid=disabled"};
  view->checkBox("autoFocusCheckBox").userClicks();
  EXPECT_EQ(p->oAutoFocus, 1);
  EXPECT_EQ(p->oVectorGrid, 1);
  EXPECT_EQ(view->checkBox("autoFocusCheckBox").state(), 1);
  EXPECT_EQ(view->checkBox("vectorGridCheckBox").state(), 1);
  EXPECT_TRUE(view->checkBox("vectorGridCheckBox").enabled);

  // Switching on refused.
  fresh();
  view->checkBox("autoFocusCheckBox").userClicks();
  view->checkBox("autoFocusCheckBox").userClicks();
  forget();
  journalRequests();
  refused = {"autoFocus=enabled"};
  view->checkBox("autoFocusCheckBox").userClicks();
  EXPECT_EQ(autoFocusSequence(), (Lines{
                                     "materialText.setEnabled(YES)",
                                     "materialTextBox.setEnabled(YES)",
                                     "vectorGridCheckBox.setEnabled(YES)",
                                     "materialText.setTextColor(black)",
                                     "host autoFocus=enabled",
                                     "autoFocusCheckBox.setState(0)",
                                     "refresh",
                                     "materialText.setEnabled(NO)",
                                     "materialTextBox.setEnabled(NO)",
                                     "vectorGridCheckBox.setEnabled(NO)",
                                     "vectorGridCheckBox.setState(0)",
                                     "materialText.setTextColor(gray)",
                                 }));
  EXPECT_EQ(p->oAutoFocus, 0);
  EXPECT_EQ(view->checkBox("autoFocusCheckBox").state(), 0);
  EXPECT_FALSE(view->checkBox("vectorGridCheckBox").enabled);
  EXPECT_EQ(view->textField("materialText").color, NSColor::grayColor);
}

// The grid is switched off whatever the host says about it; only the auto
// focus answer counts for the controls.
TEST_F(ControlActionsTest, AutoFocusOffSwitchesTheGridBoxOffEvenWhenTheGridChangeIsRefused) {
  fresh();
  view->checkBox("autoFocusCheckBox").userClicks();
  view->checkBox("vectorGridCheckBox").userClicks();
  forget();
  host->refuse("vectorGrid");
  view->checkBox("autoFocusCheckBox").userClicks();
  EXPECT_EQ(host->requests(), (Requests{"vectorGrid=disabled", "autoFocus=disabled"}));
  EXPECT_EQ(log.lines, (Lines{"We were unsuccessful in updating vectorGrid!",
                              "We have made a new choice for autoFocus: disabled!"}));
  EXPECT_EQ(p->oAutoFocus, 0);
  EXPECT_EQ(p->oVectorGrid, 1);
  EXPECT_EQ(view->checkBox("vectorGridCheckBox").state(), 0);
  EXPECT_FALSE(view->checkBox("vectorGridCheckBox").enabled);
}

TEST_F(ControlActionsTest, ResolutionPositionSendsItsStepInDotsPerInch) {
  const std::pair<float, NSInteger> steps[] = {{0, 75}, {5, 600}, {6, 1200}, {2, 200}, {6.9f, 1200}};
  fresh();
  for (const auto& [position, dpi] : steps) {
    SCOPED_TRACE(position);
    forget();
    view->slider("resolutionSlider").userMoves(position);
    std::string text = std::to_string(dpi);
    EXPECT_EQ(host->requests(), (Requests{"cResolution=Custom", "CustomcResolution=" + text}));
    EXPECT_EQ(p->resolution, dpi);
    EXPECT_EQ(p->resolutionIndex, static_cast<NSInteger>(position));
    ASSERT_EQ(host->settings.writes.size(), 1u);
    EXPECT_EQ(host->settings.writes[0].key, key(".resolution"));
    EXPECT_EQ(host->settings.writes[0].value, text);
    EXPECT_EQ(log.lines, (Lines{"Saved " + text + " to " + key(".resolution")}));
    EXPECT_EQ(view->slider("resolutionSlider").value, static_cast<float>(p->resolutionIndex));
    EXPECT_EQ(view->textField("resolutionTextBox").value, static_cast<float>(dpi));
    EXPECT_EQ(p->getPPDCustomIntOpt("cResolution", "cRes"), dpi);
  }
}

// The slider springs back to the step of the resolution kept.
TEST_F(ControlActionsTest, RefusedResolutionSpringsBackToThePreviousStep) {
  for (const char* refusedKey : {"cResolution", "CustomcResolution"}) {
    SCOPED_TRACE(refusedKey);
    fresh();
    host->refuse(refusedKey);
    view->slider("resolutionSlider").userMoves(6);
    EXPECT_EQ(p->resolutionIndex, 5);
    EXPECT_EQ(p->resolution, 600);
    EXPECT_EQ(view->slider("resolutionSlider").value, 5.0f);
    EXPECT_EQ(view->textField("resolutionTextBox").value, 600.0f);
    ASSERT_EQ(host->settings.writes.size(), 1u);
    EXPECT_EQ(host->settings.writes[0].value, "600");
  }
  EXPECT_EQ(host->requests(), (Requests{"cResolution=Custom", "CustomcResolution=1200"}));
  EXPECT_EQ(log.lines, (Lines{"We were unsuccessful in changing the CustomcResolution",
                              "Saved 600 to " + key(".resolution")}));
}

// A position with no step, or no position at all, changes nothing and puts
// the slider back.
TEST_F(ControlActionsTest, ResolutionPositionWithoutAStepSendsNothing) {
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  const float positions[] = {-1, 7, 1e10f, -1e10f, kInfinity, -kInfinity,
                             std::numeric_limits<float>::quiet_NaN()};
  fresh();
  view->slider("resolutionSlider").userMoves(2);
  for (float position : positions) {
    SCOPED_TRACE(position);
    forget();
    view->slider("resolutionSlider").userMoves(position);
    EXPECT_TRUE(host->calls.empty());
    EXPECT_TRUE(host->settings.writes.empty());
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(p->resolutionIndex, 2);
    EXPECT_EQ(p->resolution, 200);
    EXPECT_EQ(view->slider("resolutionSlider").value, 2.0f);
    EXPECT_EQ(view->textField("resolutionTextBox").value, 200.0f);
    EXPECT_EQ(view->journal.size(), 20u);
  }
}

}  // namespace
}  // namespace zarvik::testing
