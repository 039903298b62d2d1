// The panel's starting state.
#include "panel/numeric_options.h"
#include "panel/ppd_text.h"
#include "panel/system_log.h"
#include "panel/zarvik_pde.h"

namespace zarvik {

void ZarvikPDE::setDefaults() {
  NSLog("Entering setDefaults");
  setNewUserChoice(keywordString(jobTypeOption->defchoice), ChoiceTypeJobType);
  setNewUserChoice(keywordString(centerEngravingOption->defchoice), ChoiceTypeCenterEngraving);
  setNewUserChoice(keywordString(engraveDirOption->defchoice), ChoiceTypeEngravingDirection);
  setNewUserChoice(keywordString(ditheringOption->defchoice), ChoiceTypeDithering);

  markCustomInteger(*this, kResolutionOption, 600, resolution);
  // The slider shows the step of the resolution the field now holds.
  resolutionIndex = resolutionStepIndex(resolution);
  NSLog("The resolution is set to: %d", getPPDCustomIntOpt(kResolution, kResolutionParam));
  // Logged before the vector power is marked below: this is what the PPD
  // held until now.
  NSLog("The custom vector power is 1set to: %d", getPPDCustomIntOpt(kVectorPower, kVectorPowerParam));

  markMaterialThickness(*this, 0.0f, oMaterialThickness);
  for (const IntegerOption* option : {&kRasterPowerOption, &kRasterSpeedOption, &kVectorFreqOption,
                                      &kVectorPowerOption, &kVectorSpeedOption}) {
    markCustomInteger(*this, *option, 50, this->*option->field);
  }
}

}  // namespace zarvik
