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

  markCustomInteger(*this, kResolutionOption, 600);
  NSLog("The resolution is set to: %d", getPPDCustomIntOpt(kResolution, kResolutionParam));
  // Logged before the vector power is marked below: this is what the PPD
  // held until now.
  NSLog("The custom vector power is 1set to: %d", getPPDCustomIntOpt(kVectorPower, kVectorPowerParam));

  markMaterialThickness(*this, 0.0f);
  markCustomInteger(*this, kRasterPowerOption, 50);
  markCustomInteger(*this, kRasterSpeedOption, 50);
  markCustomInteger(*this, kVectorFreqOption, 50);
  markCustomInteger(*this, kVectorPowerOption, 50);
  markCustomInteger(*this, kVectorSpeedOption, 50);
}

}  // namespace zarvik
