// Turning one control's new state into host requests, a field, the print
// settings and the controls again.
#include <algorithm>
#include <limits>

#include "support/panel_fixture.h"

namespace zarvik::testing {
namespace {

using Lines = std::vector<std::string>;
using Requests = std::vector<std::string>;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

class ValueHandlersTest : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    p = &makePanel();
    view = &showPanel();
    forget();
  }

  // The last print-settings write as "key=value".
  std::string lastWrite() const {
    if (host->settings.writes.empty()) return "<none>";
    const auto& write = host->settings.writes.back();
    return write.key + "=" + write.value + (write.locked ? " (locked)" : "");
  }

  bool refreshed() const {
    return std::count(view->journal.begin(), view->journal.end(),
                      "resolutionTextBox.setFloatValue(600.000000)") == 1;
  }

  ZarvikPDE* p = nullptr;
  MemoryView* view = nullptr;
};

TEST_F(ValueHandlersTest, IntegerValueIsTruncatedTowardZeroAndSaturatedToThe32BitRange) {
  struct Case {
    float value;
    std::string text;
  };
  const Case cases[] = {
      {37.9f, "37"},
      {49.99f, "49"},
      {-2.7f, "-2"},
      {0.0f, "0"},
      {-0.5f, "0"},
      {3e9f, "2147483647"},
      {-3e9f, "-2147483648"},
      {kInfinity, "2147483647"},
      {-kInfinity, "-2147483648"},
      {25.0f, "25"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    forget();
    view->slider("rPowerSlider").userMoves(c.value);
    EXPECT_EQ(host->requests(), (Requests{"rasterPower=Custom", "CustomrasterPower=" + c.text}));
    EXPECT_EQ(p->rPower, std::stol(c.text));
    EXPECT_EQ(lastWrite(), key(".rasterPower") + "=" + c.text);
    EXPECT_EQ(log.lines, (Lines{"Saved " + c.text + " to " + key(".rasterPower")}));
    EXPECT_EQ(view->slider("rPowerSlider").value, static_cast<float>(p->rPower));
    EXPECT_EQ(view->textField("rPowerTextBox").value, static_cast<float>(p->rPower));
    EXPECT_TRUE(refreshed());
  }
  // The field is the PPD's value too.
  EXPECT_EQ(p->getPPDCustomIntOpt("rasterPower", "rPower"), 25);
}

// NaN has no integer: nothing goes to the host or the print settings, and
// the controls show the field again.
TEST_F(ValueHandlersTest, NaNIntegerValueSendsNothingAndShowsTheFieldAgain) {
  view->slider("vFreqSlider").userMoves(kNaN);
  view->textField("vSpeedTextBox").userTypes(kNaN);
  NSNumber fortyTwo(42);
  p->sliderValueChange(fortyTwo, "vectorFreq", "CustomvectorFreq", p->vFreq, key(".vectorFreq"));
  ASSERT_EQ(p->vFreq, 42);
  forget();

  view->slider("vFreqSlider").userMoves(kNaN);
  EXPECT_TRUE(host->calls.empty());
  EXPECT_TRUE(host->settings.writes.empty());
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(p->vFreq, 42);
  EXPECT_EQ(view->slider("vFreqSlider").value, 42.0f);
  EXPECT_EQ(view->textField("vFreqTextBox").value, 42.0f);
  EXPECT_EQ(view->journal.size(), 20u);
}

TEST_F(ValueHandlersTest, IntegerValueRefusedByTheHostKeepsTheFieldEverywhere) {
  view->slider("rSpeedSlider").userMoves(40.0f);
  ASSERT_EQ(p->rSpeed, 40);

  // The "Custom" mark refused: the value is never offered.
  forget();
  host->refuse("rasterSpeed");
  view->slider("rSpeedSlider").userMoves(30.0f);
  EXPECT_EQ(host->requests(), (Requests{"rasterSpeed=Custom"}));
  EXPECT_EQ(log.lines, (Lines{"We were unsuccessful in updating rasterSpeed!", "Saved 40 to " + key(".rasterSpeed")}));
  EXPECT_EQ(p->rSpeed, 40);
  EXPECT_EQ(lastWrite(), key(".rasterSpeed") + "=40");
  EXPECT_EQ(view->slider("rSpeedSlider").value, 40.0f);
  EXPECT_EQ(view->textField("rSpeedTextBox").value, 40.0f);

  // The value refused: the option goes back to the choice it had.
  host->acceptAll();
  markOption(ppdFile.get(), "rasterSpeed", "25");
  forget();
  host->refuse("CustomrasterSpeed");
  view->textField("rSpeedTextBox").userTypes(30.0f);
  EXPECT_EQ(host->requests(), (Requests{"rasterSpeed=Custom", "CustomrasterSpeed=30", "rasterSpeed=25"}));
  EXPECT_EQ(log.lines,
            (Lines{"We were unsuccessful in changing the CustomrasterSpeed", "Saved 40 to " + key(".rasterSpeed")}));
  EXPECT_EQ(p->rSpeed, 40);
  EXPECT_EQ(lastWrite(), key(".rasterSpeed") + "=40");
  EXPECT_EQ(view->slider("rSpeedSlider").value, 40.0f);
  EXPECT_EQ(view->textField("rSpeedTextBox").value, 40.0f);
  EXPECT_EQ(markedChoice(ppdFile.get(), "rasterSpeed"), "25");
}

TEST_F(ValueHandlersTest, DecimalValueIsSentAndStoredUnrounded) {
  struct Case {
    float value;
    std::string text;
  };
  const Case cases[] = {
      {0.25f, "0.250000"}, {2.5f, "2.500000"}, {0.0f, "0.000000"}, {-1.5f, "-1.500000"}, {1e-7f, "0.000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    forget();
    view->textField("materialTextBox").userTypes(c.value);
    EXPECT_EQ(host->requests(), (Requests{"materialThickness=Custom", "CustommaterialThickness=" + c.text}));
    EXPECT_EQ(p->oMaterialThickness, c.value);
    EXPECT_EQ(lastWrite(), key(".materialThickness") + "=" + c.text);
    EXPECT_EQ(log.lines, (Lines{"Saved " + c.text + " to " + key(".materialThickness")}));
    EXPECT_EQ(view->textField("materialTextBox").value, c.value);
    EXPECT_TRUE(refreshed());
  }
}

TEST_F(ValueHandlersTest, DecimalValueWithoutDigitsSendsNothingAndShowsTheFieldAgain) {
  view->textField("materialTextBox").userTypes(1.5f);
  for (float value : {kNaN, kInfinity, -kInfinity}) {
    SCOPED_TRACE(value);
    forget();
    view->textField("materialTextBox").userTypes(value);
    EXPECT_TRUE(host->calls.empty());
    EXPECT_TRUE(host->settings.writes.empty());
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(p->oMaterialThickness, 1.5f);
    EXPECT_EQ(view->textField("materialTextBox").value, 1.5f);
    EXPECT_TRUE(refreshed());
  }
}

TEST_F(ValueHandlersTest, DecimalValueRefusedByTheHostKeepsTheField) {
  view->textField("materialTextBox").userTypes(1.5f);

  forget();
  host->refuse("materialThickness");
  view->textField("materialTextBox").userTypes(3.0f);
  EXPECT_EQ(host->requests(), (Requests{"materialThickness=Custom"}));
  EXPECT_EQ(log.lines, (Lines{"We were unsuccessful in updating materialThickness!",
                              "Saved 1.500000 to " + key(".materialThickness")}));
  EXPECT_EQ(p->oMaterialThickness, 1.5f);
  EXPECT_EQ(view->textField("materialTextBox").value, 1.5f);

  host->acceptAll();
  forget();
  host->refuse("CustommaterialThickness");
  view->textField("materialTextBox").userTypes(3.0f);
  EXPECT_EQ(host->requests(), (Requests{"materialThickness=Custom", "CustommaterialThickness=3.000000"}));
  EXPECT_EQ(log.lines, (Lines{"We were unsuccessful in changing the CustommaterialThickness",
                              "Saved 1.500000 to " + key(".materialThickness")}));
  EXPECT_EQ(p->oMaterialThickness, 1.5f);
  EXPECT_EQ(lastWrite(), key(".materialThickness") + "=1.500000");
  EXPECT_EQ(view->textField("materialTextBox").value, 1.5f);
}

// Every box, accepted on and off and then refused: a refused box shows the
// panel's value again, whether the refresh owns it or not.
TEST_F(ValueHandlersTest, CheckBoxSendsEnabledOrDisabledAndARefusedBoxShowsTheField) {
  struct Case {
    std::string box, option;
    NSInteger ZarvikPDE::*field;
  };
  const Case cases[] = {
      {"directPrintCheckBox", "directPrint", &ZarvikPDE::oDirectPrint},
      {"vectorGridCheckBox", "vectorGrid", &ZarvikPDE::oVectorGrid},
      {"vSpeedCompCheckBox", "vectorSpeedComp", &ZarvikPDE::vSpeedComp},
      {"vPowerCompCheckBox", "vectorPowerComp", &ZarvikPDE::vPowerComp},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    MemoryButton& box = view->checkBox(c.box);
    for (int click = 0; click < 2; ++click) {
      forget();
      box.userClicks();
      NSInteger state = box.state();
      std::string choice = state == 1 ? "enabled" : "disabled";
      EXPECT_EQ(host->requests(), (Requests{c.option + "=" + choice}));
      EXPECT_EQ(p->*c.field, state);
      EXPECT_EQ(markedChoice(ppdFile.get(), c.option), choice);
      EXPECT_EQ(log.lines, (Lines{"We have made a new choice for " + c.option + ": " + choice + "!"}));
      EXPECT_TRUE(refreshed());
      EXPECT_TRUE(host->settings.writes.empty());
    }

    NSInteger kept = p->*c.field;
    forget();
    host->refuse(c.option);
    box.userClicks();
    EXPECT_EQ(host->requests(), (Requests{c.option + "=" + (kept == 1 ? "disabled" : "enabled")}));
    EXPECT_EQ(p->*c.field, kept);
    EXPECT_EQ(box.state(), kept);
    EXPECT_EQ(log.lines, (Lines{"We were unsuccessful in updating " + c.option + "!"}));
    EXPECT_TRUE(refreshed());
    host->acceptAll();
  }
}

// Only state 1 is on; any other state is sent as off and kept as it is.
TEST_F(ValueHandlersTest, CheckBoxStateOtherThanOneIsOff) {
  Journal journal;
  MemoryButton mixed("mixed", journal);
  mixed.state_ = 2;
  p->checkboxValueChange(mixed, "vectorSpeedComp", p->vSpeedComp);
  EXPECT_EQ(host->requests(), (Requests{"vectorSpeedComp=disabled"}));
  EXPECT_EQ(p->vSpeedComp, 2);
  EXPECT_EQ(log.lines, (Lines{"We have made a new choice for vectorSpeedComp: disabled!"}));
}

TEST_F(ValueHandlersTest, AcceptedPopUpChoiceBecomesTheOldChoiceOfTheNextChange) {
  MemoryPopUpButton& jobType = view->popup("jobTypePopup");
  ASSERT_EQ(jobType.selectedObject(), "Combined");

  jobType.userSelects(0);
  EXPECT_EQ(host->requests(), (Requests{"JobType=Raster"}));
  EXPECT_EQ(p->jobTypeChoice, "Raster");
  EXPECT_EQ(markedChoice(ppdFile.get(), "JobType"), "Raster");
  EXPECT_EQ(log.lines, (Lines{"A new user choice has been selected\nThe choice is: Raster\n The type is: 0"}));
  // No refresh after an accepted choice.
  EXPECT_TRUE(view->journal.empty());

  forget();
  host->refuse("JobType", "Vector");
  jobType.userSelects(1);
  EXPECT_EQ(host->requests(), (Requests{"JobType=Vector"}));
  EXPECT_EQ(p->jobTypeChoice, "Raster");
  EXPECT_EQ(view->journal, (Journal{"jobTypePopup.selectItemAtIndex(0)"}));
  EXPECT_EQ(jobType.selectedObject(), "Raster");
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(markedChoice(ppdFile.get(), "JobType"), "Raster");
}

TEST_F(ValueHandlersTest, RefusedPopUpChoiceWithoutAnOldItemSelectsNothing) {
  // No vector sorting choice yet on a panel that was never restored.
  ASSERT_EQ(p->vectorSortingChoice, std::nullopt);
  host->refuse("vectorSort");
  view->popup("vSortingPopup").userSelects(2);
  EXPECT_EQ(host->requests(), (Requests{"vectorSort=InsideOut"}));
  EXPECT_EQ(view->journal, (Journal{"vSortingPopup.selectItemAtIndex(-1)"}));
  EXPECT_EQ(view->popup("vSortingPopup").indexOfSelectedItem(), -1);

  // An old choice that no item carries ends the same way.
  forget();
  host->refuse("dithering");
  p->setNewUserChoice("Bogus", ChoiceTypeDithering);
  view->popup("ditheringPopup").userSelects(0);
  EXPECT_EQ(view->journal, (Journal{"ditheringPopup.selectItemAtIndex(-1)"}));
  EXPECT_EQ(p->ditheringChoice, "Bogus");
}

TEST_F(ValueHandlersTest, PopUpWithoutASelectedKeywordSendsNothing) {
  view->popup("ditheringPopup").userSelects(-1);
  view->popup("engravingDirectionPopup").userSelects(2);  // past its two items

  Journal journal;
  MemoryPopUpButton bare("bare", journal);
  bare.addItemWithTitle("No keyword");
  bare.selected = 0;
  p->popupValueChange(bare, "dithering", ChoiceTypeDithering, p->ditheringChoice);

  EXPECT_TRUE(host->calls.empty());
  EXPECT_TRUE(log.lines.empty());
  EXPECT_TRUE(view->journal.empty());
  EXPECT_EQ(p->ditheringChoice, "FloydSteinberg");
  EXPECT_EQ(p->engraveDirChoice, "TopDown");
}

}  // namespace
}  // namespace zarvik::testing
