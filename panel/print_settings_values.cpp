// The seven numeric parameters kept in the print settings.
#include <charconv>
#include <cmath>
#include <limits>
#include <variant>

#include "panel/numeric_options.h"
#include "panel/system_log.h"
#include "panel/zarvik_pde.h"

namespace zarvik {
namespace {

// A value read from the print settings, as a number: text is read from its
// start, a number object by its value, no value at all as 0.
long integerOf(const PrintSettingValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return parseLeadingInteger(*text);
  if (const auto* number = std::get_if<double>(&value)) {
    // Saturate rather than convert an out-of-range double (undefined).
    if (std::isnan(*number)) return 0;
    // 2^63 is the first double beyond long's range; -2^63 is long's least.
    constexpr double kLongEnd = -static_cast<double>(std::numeric_limits<long>::min());
    if (*number >= kLongEnd) return std::numeric_limits<long>::max();
    if (*number <= -kLongEnd) return std::numeric_limits<long>::min();
    return static_cast<long>(*number);  // truncates toward zero
  }
  return 0;
}

float floatOf(const PrintSettingValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return parseLeadingFloat(*text);
  if (const auto* number = std::get_if<double>(&value)) return narrowToFloat(*number);
  return 0;
}

std::string describe(const PrintSettingValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* number = std::get_if<double>(&value)) {
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, *number);
    return ec == std::errc() ? std::string(buffer, end) : formatFloat(*number);
  }
  return "(null)";
}

}  // namespace

void ZarvikPDE::getNonPPDSettingsFromPrintSettings() {
  NSLog("Entering getNonPPDSettingsFromPrintSettings");
  PMPrintSettings* settings = pdePluginCallbackObject ? pdePluginCallbackObject->printSettings() : nullptr;
  if (settings == nullptr) return;

  struct IntegerKey {
    const char* suffix;
    NSInteger ZarvikPDE::*field;
    NSInteger unreadable;
    bool logValue;
  };
  {
    std::string key = printSettingsKey(kMaterialThicknessSuffix);
    PrintSettingValue value;
    if (PMPrintSettingsGetValue(*settings, key, value) != noErr) {
      oMaterialThickness = 0.0f;
      NSLog("Unable to get %@", key);
    } else {
      NSLog("PMPrintSettingsGetValue got: %@", describe(value));
      oMaterialThickness = floatOf(value);
    }
  }
  static constexpr IntegerKey kIntegerKeys[] = {
      {kRasterSpeedSuffix, &ZarvikPDE::rSpeed, 50, true},
      {kRasterPowerSuffix, &ZarvikPDE::rPower, 50, false},
      {kVectorPowerSuffix, &ZarvikPDE::vPower, 50, false},
      {kVectorSpeedSuffix, &ZarvikPDE::vSpeed, 50, false},
      {kVectorFreqSuffix, &ZarvikPDE::vFreq, 50, false},
      {kResolutionSuffix, &ZarvikPDE::resolution, 600, false},
  };
  for (const IntegerKey& entry : kIntegerKeys) {
    std::string key = printSettingsKey(entry.suffix);
    PrintSettingValue value;
    if (PMPrintSettingsGetValue(*settings, key, value) != noErr) {
      this->*entry.field = entry.unreadable;
      NSLog("Unable to get %@", key);
      continue;
    }
    if (entry.logValue) NSLog("PMPrintSettingsGetValue got: %@", describe(value));
    this->*entry.field = integerOf(value);
  }

  resolutionIndex = 5;
  for (std::size_t i = 0; i < resolutionSliderValues.size(); ++i) {
    if (parseLeadingInteger(resolutionSliderValues[i]) == resolution) {
      resolutionIndex = static_cast<NSInteger>(i);
      break;
    }
  }

  // Push every value into the PPD again, so that the PPD carries what the
  // panel holds. The host sees 32-bit values: a larger stored number
  // saturates rather than wrapping into an unrelated one.
  markMaterialThickness(*this, oMaterialThickness);
  for (const IntegerOption* option : {&kResolutionOption, &kRasterPowerOption, &kRasterSpeedOption,
                                      &kVectorFreqOption, &kVectorPowerOption, &kVectorSpeedOption}) {
    markCustomInteger(*this, *option, saturateToInt32(this->*option->field));
  }
}

void ZarvikPDE::writeNonPPDSettingToPrintSettings(const std::string& key, const std::string& value) {
  PMPrintSettings* settings = pdePluginCallbackObject ? pdePluginCallbackObject->printSettings() : nullptr;
  if (settings == nullptr) return;
  OSStatus status = PMPrintSettingsSetValue(*settings, key, value, /*locked=*/false);
  if (status == noErr) {
    NSLog("Saved %@ to %@", value, key);
  } else {
    NSLog("Zarvik PDE got an error %d setting the value for %@ !", static_cast<int>(status), key);
  }
}

}  // namespace zarvik
