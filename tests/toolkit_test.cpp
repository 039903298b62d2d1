// The toolkit boundary: outlets before the view is loaded, and controls that
// send their action only when a person changes them.
#include <limits>
#include <variant>

#include "support/panel_fixture.h"

namespace zarvik::testing {
namespace {

using Requests = std::vector<std::string>;

// The text stored under `key` in the host's print settings.
std::string stored(const RecordingHost& host, const std::string& key) {
  auto found = host.settings.values.find(key);
  if (found == host.settings.values.end()) return "<nothing>";
  const auto* text = std::get_if<std::string>(&found->second);
  return text ? *text : "<not text>";
}

TEST(OutletTest, EveryOperationOnAnAbsentControlDoesNothingAndAnswersZero) {
  Outlet<NSPopUpButton> popup;
  Outlet<NSButton> box;
  Outlet<NSSlider> slider;
  Outlet<NSTextField> field;
  EXPECT_FALSE(popup.isConnected());
  EXPECT_EQ(popup.get(), nullptr);

  popup->removeAllItems();
  popup->addItemWithTitle("Raster Only");
  popup->selectItemAtIndex(0);
  popup->setEnabled(false);
  EXPECT_EQ(popup->menu().itemAtIndex(0), nullptr);
  EXPECT_EQ(popup->indexOfSelectedItem(), 0);
  EXPECT_EQ(popup->indexOfItemWithRepresentedObject("Raster"), 0);
  EXPECT_EQ(popup->indexOfItemWithRepresentedObject(std::nullopt), 0);

  box->setState(1);
  box->setEnabled(true);
  EXPECT_EQ(box->state(), 0);

  slider->setFloatValue(37.5f);
  EXPECT_EQ(slider->floatValue(), 0.0f);
  EXPECT_EQ(slider->intValue(), 0);

  field->setFloatValue(2.5f);
  field->setTextColor(NSColor::grayColor);
  EXPECT_EQ(field->floatValue(), 0.0f);
  EXPECT_EQ(field->intValue(), 0);
}

TEST(OutletTest, ConnectedOutletReachesItsControlUntilItIsDisconnected) {
  Journal journal;
  MemorySlider control("rPowerSlider", journal);
  Outlet<NSSlider> slider;
  slider = &control;
  EXPECT_TRUE(slider.isConnected());
  slider->setFloatValue(37.0f);
  EXPECT_EQ(control.value, 37.0f);
  EXPECT_EQ(slider->intValue(), 37);

  slider = nullptr;
  slider->setFloatValue(12.0f);
  EXPECT_EQ(control.value, 37.0f);
  EXPECT_EQ(slider->floatValue(), 0.0f);
  EXPECT_EQ(journal, (Journal{"rPowerSlider.setFloatValue(37.000000)"}));
}

TEST(MemoryToolkitTest, SettingFromCodeSendsNoActionAndAPersonsChangeSendsOne) {
  Journal journal;
  int sent = 0;
  MemoryPopUpButton popup("jobTypePopup", journal);
  MemoryButton box("directPrintCheckBox", journal);
  MemorySlider slider("rSpeedSlider", journal);
  MemoryTextField field("rSpeedTextBox", journal);
  popup.action = std::function<void(NSPopUpButton&)>([&](NSPopUpButton&) { ++sent; });
  box.action = std::function<void(StateSource&)>([&](StateSource&) { ++sent; });
  slider.action = std::function<void(FloatValueSource&)>([&](FloatValueSource&) { ++sent; });
  field.action = std::function<void(FloatValueSource&)>([&](FloatValueSource&) { ++sent; });

  popup.addItemWithTitle("Raster Only");
  popup.addItemWithTitle("Vector Only");
  popup.selectItemAtIndex(1);
  popup.setEnabled(false);
  popup.setEnabled(true);
  box.setState(1);
  box.setEnabled(true);
  slider.setFloatValue(30.0f);
  slider.setEnabled(true);
  field.setFloatValue(30.0f);
  field.setTextColor(NSColor::grayColor);
  field.setEnabled(true);
  EXPECT_EQ(sent, 0);

  EXPECT_TRUE(popup.userSelects(0));
  EXPECT_TRUE(box.userClicks());
  EXPECT_TRUE(slider.userMoves(31.0f));
  EXPECT_TRUE(field.userTypes(32.0f));
  EXPECT_EQ(sent, 4);
  EXPECT_EQ(box.state(), 0);

  // A disabled control takes nothing from a person.
  popup.setEnabled(false);
  box.setEnabled(false);
  slider.setEnabled(false);
  field.setEnabled(false);
  EXPECT_FALSE(popup.userSelects(1));
  EXPECT_FALSE(box.userClicks());
  EXPECT_FALSE(slider.userMoves(40.0f));
  EXPECT_FALSE(field.userTypes(40.0f));
  EXPECT_EQ(sent, 4);
  EXPECT_EQ(popup.selected, 0);
  EXPECT_EQ(box.state(), 0);
  EXPECT_EQ(slider.value, 31.0f);
  EXPECT_EQ(field.value, 32.0f);
}

TEST(MemoryToolkitTest, PopUpFindsTheFirstItemByItsObjectAndSelectsNothingOutsideItsItems) {
  Journal journal;
  MemoryPopUpButton popup("ditheringPopup", journal);
  for (const char* keyword : {"Threshold", "Random", "Threshold"}) {
    popup.addItemWithTitle(keyword);
    NSInteger last = static_cast<NSInteger>(popup.items.size()) - 1;
    ASSERT_NE(popup.menu().itemAtIndex(last), nullptr);
    popup.menu().itemAtIndex(last)->setRepresentedObject(keyword);
  }
  EXPECT_EQ(popup.menu().itemAtIndex(3), nullptr);
  EXPECT_EQ(popup.menu().itemAtIndex(-1), nullptr);
  EXPECT_EQ(popup.indexOfItemWithRepresentedObject("Threshold"), 0);
  EXPECT_EQ(popup.indexOfItemWithRepresentedObject("Random"), 1);
  EXPECT_EQ(popup.indexOfItemWithRepresentedObject("threshold"), -1);
  EXPECT_EQ(popup.indexOfItemWithRepresentedObject(std::nullopt), -1);

  popup.selectItemAtIndex(1);
  EXPECT_EQ(popup.indexOfSelectedItem(), 1);
  popup.selectItemAtIndex(-1);
  EXPECT_EQ(popup.indexOfSelectedItem(), -1);
  popup.selectItemAtIndex(3);
  EXPECT_EQ(popup.indexOfSelectedItem(), -1);
  popup.selectItemAtIndex(2);
  popup.removeAllItems();
  EXPECT_TRUE(popup.items.empty());
  EXPECT_EQ(popup.indexOfSelectedItem(), -1);
}

TEST(MemoryToolkitTest, IntegerValueOfANumberTruncatesAndSaturates) {
  Journal journal;
  MemorySlider slider("vFreqSlider", journal);
  const std::pair<float, int> cases[] = {
      {37.9f, 37},
      {-2.7f, -2},
      {3e9f, std::numeric_limits<int>::max()},
      {-3e9f, std::numeric_limits<int>::min()},
      {std::numeric_limits<float>::infinity(), std::numeric_limits<int>::max()},
      {-std::numeric_limits<float>::infinity(), std::numeric_limits<int>::min()},
  };
  for (const auto& [value, integer] : cases) {
    slider.value = value;
    EXPECT_EQ(slider.intValue(), integer) << value;
  }
  EXPECT_EQ(NSNumber(600).floatValue(), 600.0f);
  EXPECT_EQ(NSNumber(-5).intValue(), -5);
}

class PanelToolkitTest : public PanelTest {};

// Before the view is loaded the actions and handlers still change the model,
// the PPD and the print settings; only the controls are missing.
TEST_F(PanelToolkitTest, ActionsBeforeTheViewIsLoadedStillChangeTheModel) {
  ZarvikPDE& p = makePanel();
  Journal journal;
  MemoryButton box("autoFocus", journal);
  box.state_ = 1;
  MemoryPopUpButton popup("jobType", journal);
  popup.addItemWithTitle("Vector Only");
  ASSERT_NE(popup.menu().itemAtIndex(0), nullptr);
  popup.menu().itemAtIndex(0)->setRepresentedObject("Vector");
  popup.selected = 0;
  journal.clear();
  host->calls.clear();

  NSNumber thirty(30);
  p.requestNewRPower(thirty);
  EXPECT_EQ(p.rPower, 30);
  NSNumber two(2);
  p.requestNewMaterialThickness(two);
  EXPECT_EQ(p.oMaterialThickness, 2.0f);
  NSNumber six(6);
  p.requestNewResolution(six);
  EXPECT_EQ(p.resolution, 1200);
  EXPECT_EQ(p.resolutionIndex, 6);
  p.requestNewAutoFocus(box);
  EXPECT_EQ(p.oAutoFocus, 1);
  p.requestNewDirectPrint(box);
  EXPECT_EQ(p.oDirectPrint, 1);
  p.requestNewJobType(popup);
  EXPECT_EQ(p.jobTypeChoice, "Vector");

  EXPECT_EQ(host->requests(), (Requests{"rasterPower=Custom", "CustomrasterPower=30", "materialThickness=Custom",
                                        "CustommaterialThickness=2.000000", "cResolution=Custom",
                                        "CustomcResolution=1200", "autoFocus=enabled", "directPrint=enabled",
                                        "JobType=Vector"}));
  EXPECT_EQ(stored(*host, key(".rasterPower")), "30");
  EXPECT_EQ(stored(*host, key(".materialThickness")), "2.000000");
  EXPECT_EQ(stored(*host, key(".resolution")), "1200");
  EXPECT_EQ(markedChoice(ppdFile.get(), "autoFocus"), "enabled");
  EXPECT_EQ(markedChoice(ppdFile.get(), "JobType"), "Vector");
  EXPECT_EQ(p.getPPDCustomIntOpt("cResolution", "cRes"), 1200);
  // The senders were only read, never set.
  EXPECT_TRUE(journal.empty());
  EXPECT_FALSE(p.popUpIsInited);
  EXPECT_EQ(bundle->nibLoads, 0);
}

// The refresh sets every control from code; none of them may call its
// action back, or each handler's own refresh would run again.
TEST_F(PanelToolkitTest, RefreshAndRestoreNeverDeliverAnAction) {
  ZarvikPDE& p = makePanel();
  p.panelView();
  MemoryView& view = *bundle->loadedView;
  std::map<std::string, int> delivered;
  for (auto& [name, control] : view.controls) {
    if (!control->action) continue;
    std::visit(
        [&, outlet = name](auto& action) {
          action = [&delivered, outlet, inner = action](auto& sender) {
            ++delivered[outlet];
            inner(sender);
          };
        },
        *control->action);
  }

  host->calls.clear();
  p.willShow();
  p.updateUI();
  p.willShow();
  EXPECT_TRUE(host->calls.empty());
  EXPECT_TRUE(p.restoreValuesAndReturnError(nullptr));
  EXPECT_TRUE(delivered.empty());

  // A refused change refreshes every control; only the person's own change
  // arrives.
  host->calls.clear();
  host->refuse("rasterSpeed");
  view.slider("rSpeedSlider").userMoves(20.0f);
  view.checkBox("vSpeedCompCheckBox").userClicks();
  EXPECT_EQ(delivered, (std::map<std::string, int>{{"rSpeedSlider", 1}, {"vSpeedCompCheckBox", 1}}));
  EXPECT_EQ(host->requests(), (Requests{"rasterSpeed=Custom", "vectorSpeedComp=enabled"}));
}

}  // namespace
}  // namespace zarvik::testing
