// The seven numeric parameters as the panel marks them in the PPD: each
// one's option, custom key, field and the line logged when the host refuses.
#pragma once

#include "panel/system_log.h"
#include "panel/zarvik_pde.h"

namespace zarvik {

struct IntegerOption {
  const char* optionKey;
  const char* customKey;
  NSInteger ZarvikPDE::*field;
  const char* settingsSuffix;
  LogFormat<> refused;
};

inline constexpr IntegerOption kResolutionOption{kResolution, kCustomResolution, &ZarvikPDE::resolution,
                                                 kResolutionSuffix, "Failed to set custom resolution"};
inline constexpr IntegerOption kRasterPowerOption{kRasterPower, kCustomRasterPower, &ZarvikPDE::rPower,
                                                  kRasterPowerSuffix, "Failed to set custom raster power"};
inline constexpr IntegerOption kRasterSpeedOption{kRasterSpeed, kCustomRasterSpeed, &ZarvikPDE::rSpeed,
                                                  kRasterSpeedSuffix, "Failed to set custom raster speed"};
inline constexpr IntegerOption kVectorFreqOption{kVectorFreq, kCustomVectorFreq, &ZarvikPDE::vFreq, kVectorFreqSuffix,
                                                 "Failed to set custom vector frequency"};
inline constexpr IntegerOption kVectorPowerOption{kVectorPower, kCustomVectorPower, &ZarvikPDE::vPower,
                                                  kVectorPowerSuffix, "Failed to set custom vector power"};
inline constexpr IntegerOption kVectorSpeedOption{kVectorSpeed, kCustomVectorSpeed, &ZarvikPDE::vSpeed,
                                                  kVectorSpeedSuffix, "Failed to set custom vector speed"};

// Marks `value` as the option's custom value, logging a refusal; true when
// the host took it. A refused value leaves the field with the number the
// PPD holds for the option, so that the controls show what the job will
// carry, or with `kept` when the PPD holds none.
inline bool markCustomInteger(ZarvikPDE& panel, const IntegerOption& option, std::int32_t value, NSInteger kept) {
  if (panel.setPPDCustomIntOpt(option.optionKey, option.customKey, value, panel.*option.field)) return true;
  NSLog(option.refused);
  std::optional<double> held = panel.ppdHeldValue(option.optionKey);
  panel.*option.field = held ? truncateToInt32(*held).value_or(kept) : kept;
  return false;
}

inline bool markMaterialThickness(ZarvikPDE& panel, float value, float kept) {
  if (panel.setPPDCustomFloatOpt(kMaterialThickness, kCustomMaterialThickness, value, panel.oMaterialThickness)) {
    return true;
  }
  NSLog("Failed to set custom material thickness");
  std::optional<double> held = panel.ppdHeldValue(kMaterialThickness);
  panel.oMaterialThickness = held ? narrowToFloat(*held) : kept;
  return false;
}

}  // namespace zarvik
