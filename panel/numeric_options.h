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
  LogFormat<> refused;
};

inline constexpr IntegerOption kResolutionOption{kResolution, kCustomResolution, &ZarvikPDE::resolution,
                                                 "Failed to set custom resolution"};
inline constexpr IntegerOption kRasterPowerOption{kRasterPower, kCustomRasterPower, &ZarvikPDE::rPower,
                                                  "Failed to set custom raster power"};
inline constexpr IntegerOption kRasterSpeedOption{kRasterSpeed, kCustomRasterSpeed, &ZarvikPDE::rSpeed,
                                                  "Failed to set custom raster speed"};
inline constexpr IntegerOption kVectorFreqOption{kVectorFreq, kCustomVectorFreq, &ZarvikPDE::vFreq,
                                                 "Failed to set custom vector frequency"};
inline constexpr IntegerOption kVectorPowerOption{kVectorPower, kCustomVectorPower, &ZarvikPDE::vPower,
                                                  "Failed to set custom vector power"};
inline constexpr IntegerOption kVectorSpeedOption{kVectorSpeed, kCustomVectorSpeed, &ZarvikPDE::vSpeed,
                                                  "Failed to set custom vector speed"};

// Marks `value` as the option's custom value, logging a refusal.
inline void markCustomInteger(ZarvikPDE& panel, const IntegerOption& option, std::int32_t value) {
  if (!panel.setPPDCustomIntOpt(option.optionKey, option.customKey, value, panel.*option.field)) {
    NSLog(option.refused);
  }
}

inline void markMaterialThickness(ZarvikPDE& panel, float value) {
  if (!panel.setPPDCustomFloatOpt(kMaterialThickness, kCustomMaterialThickness, value,
                                  panel.oMaterialThickness)) {
    NSLog("Failed to set custom material thickness");
  }
}

}  // namespace zarvik
