// Showing the model in the controls.
#include <algorithm>

#include "support/panel_fixture.h"

namespace zarvik::testing {
namespace {

// The entries of `journal` from the first one that names `first` on.
Journal from(const Journal& journal, std::string_view first) {
  for (std::size_t i = 0; i < journal.size(); ++i) {
    if (journal[i].starts_with(first)) return Journal(journal.begin() + static_cast<std::ptrdiff_t>(i), journal.end());
  }
  return {};
}

class ControlRefreshTest : public PanelTest {};

// A panel on print settings that hold none of the panel's keys, on its
// first show: every control in the refresh's order, and nothing else.
TEST_F(ControlRefreshTest, FirstShowGivesEveryControlItsFieldInOrder) {
  makePanel();
  MemoryView& view = showPanel();
  EXPECT_EQ(from(view.journal, "jobTypePopup.selectItemAtIndex"),
            (Journal{
                "jobTypePopup.selectItemAtIndex(2)",
                "centerEngravingPopup.selectItemAtIndex(0)",
                "ditheringPopup.selectItemAtIndex(4)",
                "engravingDirectionPopup.selectItemAtIndex(0)",
                "vSortingPopup.selectItemAtIndex(-1)",
                "materialTextBox.setFloatValue(0.000000)",
                "rSpeedSlider.setFloatValue(50.000000)",
                "rSpeedTextBox.setFloatValue(50.000000)",
                "rPowerSlider.setFloatValue(50.000000)",
                "rPowerTextBox.setFloatValue(50.000000)",
                "vSpeedSlider.setFloatValue(50.000000)",
                "vSpeedTextBox.setFloatValue(50.000000)",
                "vPowerSlider.setFloatValue(50.000000)",
                "vPowerTextBox.setFloatValue(50.000000)",
                "vFreqSlider.setFloatValue(50.000000)",
                "vFreqTextBox.setFloatValue(50.000000)",
                "vPowerCompCheckBox.setState(1)",
                "vSpeedCompCheckBox.setState(0)",
                "resolutionSlider.setFloatValue(5.000000)",
                "resolutionTextBox.setFloatValue(600.000000)",
            }));
  // No vector sorting choice on a panel that was never restored.
  EXPECT_EQ(view.popup("vSortingPopup").selectedObject(), std::nullopt);
  EXPECT_EQ(view.popup("ditheringPopup").selectedObject(), "FloydSteinberg");
}

class StoredValuesRefreshTest : public ControlRefreshTest {
 protected:
  void configureHost(RecordingHost& h) override {
    h.settings.values = {
        {key(".materialThickness"), std::string("0.125000")}, {key(".rasterSpeed"), std::string("11")},
        {key(".rasterPower"), std::string("22")},             {key(".vectorSpeed"), std::string("33")},
        {key(".vectorPower"), std::string("44")},             {key(".vectorFreq"), std::string("55")},
        {key(".resolution"), std::string("1200")},
    };
  }
};

// Each control gets its own field: a slider and its text field the same
// number, the resolution slider the step's position and never the
// resolution itself.
TEST_F(StoredValuesRefreshTest, EachControlShowsItsOwnField) {
  makePanel();
  MemoryView& view = showPanel();
  EXPECT_EQ(view.textField("materialTextBox").value, 0.125f);
  EXPECT_EQ(view.slider("rSpeedSlider").value, 11.0f);
  EXPECT_EQ(view.textField("rSpeedTextBox").value, 11.0f);
  EXPECT_EQ(view.slider("rPowerSlider").value, 22.0f);
  EXPECT_EQ(view.textField("rPowerTextBox").value, 22.0f);
  EXPECT_EQ(view.slider("vSpeedSlider").value, 33.0f);
  EXPECT_EQ(view.textField("vSpeedTextBox").value, 33.0f);
  EXPECT_EQ(view.slider("vPowerSlider").value, 44.0f);
  EXPECT_EQ(view.textField("vPowerTextBox").value, 44.0f);
  EXPECT_EQ(view.slider("vFreqSlider").value, 55.0f);
  EXPECT_EQ(view.textField("vFreqTextBox").value, 55.0f);
  EXPECT_EQ(view.slider("resolutionSlider").value, 6.0f);
  EXPECT_EQ(view.textField("resolutionTextBox").value, 1200.0f);
}

// The refresh at the end of a restore that comes before the first show
// selects nothing; the show's own refresh does, right after the fill.
TEST_F(ControlRefreshTest, RefreshBeforeTheFirstShowLeavesThePopupsAlone) {
  ZarvikPDE& p = makePanel();
  p.updateUI();  // no view yet: nothing to set, nothing fails
  p.panelView();
  MemoryView& view = *bundle->loadedView;
  markOption(ppdFile.get(), "vectorSort", "InsideOut");
  markOption(ppdFile.get(), "JobType", "Raster");

  p.updateUI();
  ASSERT_TRUE(p.restoreValuesAndReturnError(nullptr));
  EXPECT_EQ(p.vectorSortingChoice, "InsideOut");
  for (const auto& entry : view.journal) EXPECT_EQ(entry.find("Popup."), std::string::npos) << entry;
  EXPECT_EQ(std::count(view.journal.begin(), view.journal.end(), "resolutionTextBox.setFloatValue(600.000000)"), 2);
  EXPECT_EQ(view.slider("resolutionSlider").value, 5.0f);

  p.willShow();
  EXPECT_EQ(view.popup("jobTypePopup").selectedObject(), "Raster");
  EXPECT_EQ(view.popup("vSortingPopup").selectedObject(), "InsideOut");
}

TEST_F(ControlRefreshTest, KeywordThatNoItemCarriesSelectsNothingAndTheRestIsStillShown) {
  ZarvikPDE& p = makePanel();
  MemoryView& view = showPanel();
  p.setNewUserChoice("Bogus", ChoiceTypeDithering);
  p.setNewUserChoice("Raster", ChoiceTypeJobType);
  p.setNewUserChoice("BottomUp", ChoiceTypeEngravingDirection);
  view.journal.clear();

  p.updateUI();

  EXPECT_EQ(view.popup("ditheringPopup").indexOfSelectedItem(), -1);
  EXPECT_EQ(view.popup("jobTypePopup").selectedObject(), "Raster");
  EXPECT_EQ(view.popup("engravingDirectionPopup").selectedObject(), "BottomUp");
  ASSERT_EQ(view.journal.size(), 20u);
  EXPECT_EQ(view.journal[2], "ditheringPopup.selectItemAtIndex(-1)");
  EXPECT_EQ(view.journal[3], "engravingDirectionPopup.selectItemAtIndex(1)");
  EXPECT_EQ(view.journal[19], "resolutionTextBox.setFloatValue(600.000000)");
}

// The refresh sets values only: a disabled control gets its value, and no
// enabled state, colour or on/off box that the refresh does not own moves.
TEST_F(ControlRefreshTest, RefreshSetsValuesOnlyAndDisabledControlsGetThemToo) {
  ZarvikPDE& p = makePanel();
  MemoryView& view = showPanel();
  view.checkBox("autoFocusCheckBox").userClicks();
  view.checkBox("vectorGridCheckBox").userClicks();
  view.checkBox("autoFocusCheckBox").userClicks();
  ASSERT_FALSE(view.textField("materialTextBox").enabled);
  view.checkBox("directPrintCheckBox").userClicks();
  host->settings.values[key(".materialThickness")] = std::string("1.500000");
  host->settings.values[key(".rasterPower")] = std::string("70");
  ASSERT_TRUE(p.restoreValuesAndReturnError(nullptr));
  view.journal.clear();

  p.updateUI();

  EXPECT_EQ(view.textField("materialTextBox").value, 1.5f);
  EXPECT_FALSE(view.textField("materialTextBox").enabled);
  EXPECT_EQ(view.slider("rPowerSlider").value, 70.0f);
  for (const auto& entry : view.journal) {
    EXPECT_EQ(entry.find("setEnabled"), std::string::npos) << entry;
    EXPECT_EQ(entry.find("setTextColor"), std::string::npos) << entry;
    for (const char* untouched : {"directPrintCheckBox", "autoFocusCheckBox", "vectorGridCheckBox", "materialText."}) {
      EXPECT_FALSE(entry.starts_with(untouched)) << entry;
    }
  }
  EXPECT_EQ(view.journal.size(), 20u);
}

}  // namespace
}  // namespace zarvik::testing
