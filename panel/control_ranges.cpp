// The numeric controls take their ranges from the PPD when the view loads.
#include <cmath>

#include "panel/ppd_lookup.h"
#include "panel/zarvik_pde.h"

namespace zarvik {
namespace {

struct Range {
  double minimum, maximum;
};

// The range of the option's custom value, if the PPD gives a sound one.
std::optional<Range> customRange(ppd_file_t* ppd, const char* option) {
  const ppd_cparam_t* param = ppd::firstCustomParam(ppd::findCustomOption(ppd, option));
  if (param == nullptr) return std::nullopt;
  Range range;
  switch (param->type) {
    case PPD_CUSTOM_INT:
      range = {static_cast<double>(param->minimum.custom_int), static_cast<double>(param->maximum.custom_int)};
      break;
    case PPD_CUSTOM_REAL:
      range = {param->minimum.custom_real, param->maximum.custom_real};
      break;
    default:
      return std::nullopt;
  }
  if (!std::isfinite(range.minimum) || !std::isfinite(range.maximum) || range.minimum > range.maximum) {
    return std::nullopt;
  }
  return range;
}

}  // namespace

void ZarvikPDE::applyPpdRangesToControls() {
  const std::tuple<const char*, Outlet<NSSlider>*, Outlet<NSTextField>*> controls[] = {
      {kRasterSpeed, &rSpeedSlider, &rSpeedTextBox},   {kRasterPower, &rPowerSlider, &rPowerTextBox},
      {kVectorSpeed, &vSpeedSlider, &vSpeedTextBox},   {kVectorPower, &vPowerSlider, &vPowerTextBox},
      {kVectorFreq, &vFreqSlider, &vFreqTextBox},      {kMaterialThickness, nullptr, &materialTextBox},
  };
  for (const auto& [option, slider, field] : controls) {
    std::optional<Range> range = customRange(ppd, option);
    if (!range) continue;
    if (slider) {
      (*slider)->setMinValue(range->minimum);
      (*slider)->setMaxValue(range->maximum);
    }
    (*field)->setMinValue(range->minimum);
    (*field)->setMaxValue(range->maximum);
  }
}

}  // namespace zarvik
