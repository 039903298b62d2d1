// Showing the model in the controls.
#include "panel/zarvik_pde.h"

namespace zarvik {

void ZarvikPDE::updateUI() {
  if (popUpIsInited) {
    const std::pair<Outlet<NSPopUpButton>*, const std::optional<std::string>*> popups[] = {
        {&jobTypePopup, &jobTypeChoice},
        {&centerEngravingPopup, &centerEngravingChoice},
        {&ditheringPopup, &ditheringChoice},
        {&engravingDirectionPopup, &engraveDirChoice},
        {&vSortingPopup, &vectorSortingChoice},
    };
    // A keyword that no item carries selects -1: no item.
    for (auto& [popup, choice] : popups) {
      (*popup)->selectItemAtIndex((*popup)->indexOfItemWithRepresentedObject(*choice));
    }
  }
  auto number = [](NSInteger value) { return static_cast<float>(value); };
  materialTextBox->setFloatValue(oMaterialThickness);
  rSpeedSlider->setFloatValue(number(rSpeed));
  rSpeedTextBox->setFloatValue(number(rSpeed));
  rPowerSlider->setFloatValue(number(rPower));
  rPowerTextBox->setFloatValue(number(rPower));
  vSpeedSlider->setFloatValue(number(vSpeed));
  vSpeedTextBox->setFloatValue(number(vSpeed));
  vPowerSlider->setFloatValue(number(vPower));
  vPowerTextBox->setFloatValue(number(vPower));
  vFreqSlider->setFloatValue(number(vFreq));
  vFreqTextBox->setFloatValue(number(vFreq));
  vPowerCompCheckBox->setState(vPowerComp);
  vSpeedCompCheckBox->setState(vSpeedComp);
  // The slider shows the step's position, the field the resolution.
  resolutionSlider->setFloatValue(number(resolutionIndex));
  resolutionTextBox->setFloatValue(number(resolution));
}

}  // namespace zarvik
