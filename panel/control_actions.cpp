// The seventeen control actions. Fifteen only hand their control to a
// value-change handler with their setting's option, field and key; auto
// focus and resolution have steps of their own.
#include <algorithm>
#include <cmath>

#include "panel/zarvik_pde.h"

namespace zarvik {
namespace {

using P = ZarvikPDE;

using Senders = std::array<std::string_view, 2>;

constexpr ControlActionRow popup(std::string_view action, std::string_view sender, std::string_view option,
                                std::optional<std::string> P::*choice, ChoiceType type) {
  return {action, {sender, {}}, ActionHandler::kPopup, option, {}, choice, nullptr, nullptr, {}, type};
}
constexpr ControlActionRow checkbox(std::string_view action, std::string_view sender, std::string_view option,
                                   NSInteger P::*field) {
  return {action, {sender, {}}, ActionHandler::kCheckbox, option, {}, nullptr, field, nullptr, {}, -1};
}
constexpr ControlActionRow slider(std::string_view action, Senders senders, std::string_view option,
                                 std::string_view customKey, NSInteger P::*field, std::string_view suffix) {
  return {action, senders, ActionHandler::kSlider, option, customKey, nullptr, field, nullptr, suffix, -1};
}
constexpr ControlActionRow textBox(std::string_view action, std::string_view sender, std::string_view option,
                                  std::string_view customKey, float P::*field, std::string_view suffix) {
  return {action, {sender, {}}, ActionHandler::kTextBox, option, customKey, nullptr, nullptr, field, suffix, -1};
}

constexpr ControlActionRow kActions[] = {
    popup("requestNewJobType", "jobTypePopup", kJobType, &P::jobTypeChoice, ChoiceTypeJobType),
    popup("requestNewCenterEngraving", "centerEngravingPopup", kCenterEngraving, &P::centerEngravingChoice,
          ChoiceTypeCenterEngraving),
    checkbox("requestNewDirectPrint", "directPrintCheckBox", kDirectPrint, &P::oDirectPrint),
    checkbox("requestNewAutoFocus", "autoFocusCheckBox", kAutoFocus, &P::oAutoFocus),
    checkbox("requestNewVectorGrid", "vectorGridCheckBox", kVectorGrid, &P::oVectorGrid),
    textBox("requestNewMaterialThickness", "materialTextBox", kMaterialThickness, kCustomMaterialThickness,
            &P::oMaterialThickness, kMaterialThicknessSuffix),
    slider("requestNewRSpeed", {"rSpeedSlider", "rSpeedTextBox"}, kRasterSpeed, kCustomRasterSpeed, &P::rSpeed,
           kRasterSpeedSuffix),
    slider("requestNewRPower", {"rPowerSlider", "rPowerTextBox"}, kRasterPower, kCustomRasterPower, &P::rPower,
           kRasterPowerSuffix),
    popup("requestNewEngraveDir", "engravingDirectionPopup", kEngravingDirection, &P::engraveDirChoice,
          ChoiceTypeEngravingDirection),
    popup("requestNewDithering", "ditheringPopup", kDithering, &P::ditheringChoice, ChoiceTypeDithering),
    slider("requestNewVSpeed", {"vSpeedSlider", "vSpeedTextBox"}, kVectorSpeed, kCustomVectorSpeed, &P::vSpeed,
           kVectorSpeedSuffix),
    slider("requestNewVPower", {"vPowerSlider", "vPowerTextBox"}, kVectorPower, kCustomVectorPower, &P::vPower,
           kVectorPowerSuffix),
    slider("requestNewVFreq", {"vFreqSlider", "vFreqTextBox"}, kVectorFreq, kCustomVectorFreq, &P::vFreq,
           kVectorFreqSuffix),
    popup("requestNewVSorting", "vSortingPopup", kVectorSort, &P::vectorSortingChoice, ChoiceTypeVectorSort),
    checkbox("requestNewVSpeedComp", "vSpeedCompCheckBox", kVectorSpeedComp, &P::vSpeedComp),
    checkbox("requestNewVPowerComp", "vPowerCompCheckBox", kVectorPowerComp, &P::vPowerComp),
    slider("requestNewResolution", {"resolutionSlider", {}}, kResolution, kCustomResolution, &P::resolution,
           kResolutionSuffix),
};

const ControlActionRow& row(std::string_view action) { return *controlActionNamed(action); }

}  // namespace

std::span<const ControlActionRow> controlActions() { return kActions; }

const ControlActionRow* controlActionNamed(std::string_view action) {
  auto found = std::find_if(std::begin(kActions), std::end(kActions),
                            [&](const ControlActionRow& r) { return r.action == action; });
  return found == std::end(kActions) ? nullptr : found;
}

void ZarvikPDE::performAction(const ControlActionRow& action, NSPopUpButton& sender) {
  popupValueChange(sender, action.optionKey, action.choiceType, this->*action.choiceField);
}

void ZarvikPDE::performAction(const ControlActionRow& action, StateSource& sender) {
  if (action.optionKey == kAutoFocus) return requestNewAutoFocus(sender);
  checkboxValueChange(sender, action.optionKey, this->*action.integerField);
}

void ZarvikPDE::performAction(const ControlActionRow& action, FloatValueSource& sender) {
  if (action.optionKey == kResolution) return requestNewResolution(sender);
  std::string saveKey = printSettingsKey(action.settingsSuffix);
  if (action.handler == ActionHandler::kTextBox) {
    textBoxValueChange(sender, action.optionKey, action.customKey, this->*action.floatField, saveKey);
  } else {
    sliderValueChange(sender, action.optionKey, action.customKey, this->*action.integerField, saveKey);
  }
}

void ZarvikPDE::requestNewJobType(NSPopUpButton& sender) { performAction(row("requestNewJobType"), sender); }
void ZarvikPDE::requestNewCenterEngraving(NSPopUpButton& sender) {
  performAction(row("requestNewCenterEngraving"), sender);
}
void ZarvikPDE::requestNewDirectPrint(StateSource& sender) { performAction(row("requestNewDirectPrint"), sender); }
void ZarvikPDE::requestNewVectorGrid(StateSource& sender) { performAction(row("requestNewVectorGrid"), sender); }
void ZarvikPDE::requestNewMaterialThickness(FloatValueSource& sender) {
  performAction(row("requestNewMaterialThickness"), sender);
}
void ZarvikPDE::requestNewRSpeed(FloatValueSource& sender) { performAction(row("requestNewRSpeed"), sender); }
void ZarvikPDE::requestNewRPower(FloatValueSource& sender) { performAction(row("requestNewRPower"), sender); }
void ZarvikPDE::requestNewEngraveDir(NSPopUpButton& sender) { performAction(row("requestNewEngraveDir"), sender); }
void ZarvikPDE::requestNewDithering(NSPopUpButton& sender) { performAction(row("requestNewDithering"), sender); }
void ZarvikPDE::requestNewVSpeed(FloatValueSource& sender) { performAction(row("requestNewVSpeed"), sender); }
void ZarvikPDE::requestNewVPower(FloatValueSource& sender) { performAction(row("requestNewVPower"), sender); }
void ZarvikPDE::requestNewVFreq(FloatValueSource& sender) { performAction(row("requestNewVFreq"), sender); }
void ZarvikPDE::requestNewVSorting(NSPopUpButton& sender) { performAction(row("requestNewVSorting"), sender); }
void ZarvikPDE::requestNewVSpeedComp(StateSource& sender) { performAction(row("requestNewVSpeedComp"), sender); }
void ZarvikPDE::requestNewVPowerComp(StateSource& sender) { performAction(row("requestNewVPowerComp"), sender); }

void ZarvikPDE::applyAutoFocusToControls(bool autoFocusOn) {
  materialText->setEnabled(autoFocusOn);
  materialTextBox->setEnabled(autoFocusOn);
  vectorGridCheckBox->setEnabled(autoFocusOn);
  if (!autoFocusOn) vectorGridCheckBox->setState(0);
  materialText->setTextColor(autoFocusOn ? NSColor::blackColor : NSColor::grayColor);
}

void ZarvikPDE::requestNewAutoFocus(StateSource& sender) {
  if (sender.state() == 1) {
    applyAutoFocusToControls(true);
  } else {
    materialText->setEnabled(false);
    materialTextBox->setEnabled(false);
    // Vector grid needs auto focus: switch it off first. The auto focus box
    // is off now, so it is the state that gets sent.
    if (vectorGridCheckBox->state() == 1) checkboxValueChange(sender, kVectorGrid, oVectorGrid);
    vectorGridCheckBox->setEnabled(false);
    vectorGridCheckBox->setState(0);
    materialText->setTextColor(NSColor::grayColor);
  }
  NSInteger wanted = sender.state();
  checkboxValueChange(sender, kAutoFocus, oAutoFocus);
  // Refused: the controls that depend on auto focus follow the value the
  // job keeps, not the box the person clicked.
  if (oAutoFocus != wanted) {
    bool kept = oAutoFocus == 1;
    applyAutoFocusToControls(kept);
    if (kept) vectorGridCheckBox->setState(oVectorGrid);
  }
}

void ZarvikPDE::requestNewResolution(FloatValueSource& sender) {
  // NaN is no position, though a toolkit may give it an integer value.
  if (std::isnan(sender.floatValue())) {
    updateUI();
    return;
  }
  int position = sender.intValue();
  if (position < 0 || static_cast<std::size_t>(position) >= resolutionSliderValues.size()) {
    // No step there: nothing to store or send; show the current values.
    updateUI();
    return;
  }
  const NSInteger previousIndex = resolutionIndex;
  resolutionIndex = position;
  const int dotsPerInch = static_cast<int>(parseLeadingInteger(resolutionSliderValues[position]));
  sliderValueChange(NSNumber(dotsPerInch), kResolution, kCustomResolution, resolution,
                    printSettingsKey(kResolutionSuffix));
  if (resolution != dotsPerInch) {
    // Refused: the slider springs back to the step of the resolution kept,
    // as every other refused control does.
    resolutionIndex = previousIndex;
    resolutionSlider->setFloatValue(static_cast<float>(resolutionIndex));
  }
}

Outlet<NSButton>* ZarvikPDE::onOffBox(std::string_view optionKey) {
  if (optionKey == kDirectPrint) return &directPrintCheckBox;
  if (optionKey == kAutoFocus) return &autoFocusCheckBox;
  if (optionKey == kVectorGrid) return &vectorGridCheckBox;
  return nullptr;
}

}  // namespace zarvik
