#include "support/panel_fixture.h"

namespace zarvik::testing {
namespace {

class SmokeTest : public PanelTest {};

TEST_F(SmokeTest, PanelBindsShowsAndTakesASliderChange) {
  ZarvikPDE& p = makePanel();
  MemoryView& view = showPanel();
  EXPECT_EQ(p.resolutionIndex, 5);
  EXPECT_EQ(view.popup("jobTypePopup").selectedObject(), p.jobTypeChoice);
  host->calls.clear();
  view.slider("rPowerSlider").userMoves(37.9f);
  EXPECT_EQ(p.rPower, 37);
  EXPECT_EQ(host->requests(), (std::vector<std::string>{"rasterPower=Custom", "CustomrasterPower=37"}));
  EXPECT_EQ(view.textField("rPowerTextBox").value, 37.0f);
  EXPECT_EQ(p.getPPDCustomIntOpt("rasterPower", "rPower"), 37);
  for (const auto& l : log.lines) std::cerr << l << "\n";
}

}  // namespace
}  // namespace zarvik::testing
