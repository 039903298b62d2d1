// The numeric controls take their ranges from the PPD when the view loads.
#include <algorithm>
#include <cmath>

#include "panel/ppd_lookup.h"
#include "panel/ppd_text.h"
#include "panel/zarvik_pde.h"

namespace zarvik {
namespace {

struct Range {
  double minimum, maximum;
};

// The numbers a person can choose for the option: the range of its custom
// value, if the PPD gives a sound one, widened to take in every choice that
// names a number, so a control can show any value the job may carry.
std::optional<Range> valueRange(ppd_file_t* ppd, const char* option, const ppd_option_t* handle) {
  std::optional<Range> range;
  auto include = [&](double minimum, double maximum) {
    if (!std::isfinite(minimum) || !std::isfinite(maximum) || minimum > maximum) return;
    range = range ? Range{std::min(range->minimum, minimum), std::max(range->maximum, maximum)}
                  : Range{minimum, maximum};
  };
  if (const ppd_cparam_t* param = ppd::firstCustomParam(ppd::findCustomOption(ppd, option))) {
    if (param->type == PPD_CUSTOM_INT) include(param->minimum.custom_int, param->maximum.custom_int);
    if (param->type == PPD_CUSTOM_REAL) include(param->minimum.custom_real, param->maximum.custom_real);
  }
  for (const ppd_choice_t& choice : ppd::choicesOf(handle)) {
    if (std::optional<double> number = keywordNumber(keywordString(choice.choice))) include(*number, *number);
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
    std::optional<Range> range = valueRange(ppd, option, numericOption(option));
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
