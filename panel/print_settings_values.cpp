// The seven numeric parameters kept in the print settings.
#include <charconv>
#include <map>
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

  // What the fields held before the read: the PPD holds these, and a value
  // the printer refuses gives way to them again.
  const float thicknessBefore = oMaterialThickness;
  bool thicknessStored = false;
  {
    std::string key = printSettingsKey(kMaterialThicknessSuffix);
    PrintSettingValue value;
    if (PMPrintSettingsGetValue(*settings, key, value) != noErr) {
      oMaterialThickness = 0.0f;
      NSLog("Unable to get %@", key);
    } else {
      NSLog("PMPrintSettingsGetValue got: %@", describe(value));
      oMaterialThickness = floatOf(value);
      thicknessStored = true;
    }
  }

  struct IntegerKey {
    const IntegerOption* option;
    NSInteger unreadable;
    bool logValue;
  };
  static constexpr IntegerKey kIntegerKeys[] = {
      {&kRasterSpeedOption, 50, true},  {&kRasterPowerOption, 50, false}, {&kVectorPowerOption, 50, false},
      {&kVectorSpeedOption, 50, false}, {&kVectorFreqOption, 50, false},  {&kResolutionOption, 600, false},
  };
  struct Read {
    NSInteger before;
    bool stored;
  };
  std::map<const IntegerOption*, Read> reads;
  for (const IntegerKey& entry : kIntegerKeys) {
    NSInteger& field = this->*entry.option->field;
    Read& read = reads[entry.option] = {field, false};
    std::string key = printSettingsKey(entry.option->settingsSuffix);
    PrintSettingValue value;
    if (PMPrintSettingsGetValue(*settings, key, value) != noErr) {
      field = entry.unreadable;
      NSLog("Unable to get %@", key);
      continue;
    }
    if (entry.logValue) NSLog("PMPrintSettingsGetValue got: %@", describe(value));
    field = integerOf(value);
    read.stored = true;
  }

  // Push every value into the PPD again, so that the PPD carries what the
  // panel holds. The host sees 32-bit values: a larger stored number
  // saturates rather than wrapping into an unrelated one. A stored value
  // the printer refuses is replaced in the print settings by the one kept,
  // as a person's refused change is.
  if (!markMaterialThickness(*this, oMaterialThickness, thicknessBefore) && thicknessStored) {
    writeNonPPDSettingToPrintSettings(printSettingsKey(kMaterialThicknessSuffix), formatFloat(oMaterialThickness));
  }
  for (const IntegerOption* option : {&kResolutionOption, &kRasterPowerOption, &kRasterSpeedOption,
                                      &kVectorFreqOption, &kVectorPowerOption, &kVectorSpeedOption}) {
    const Read& read = reads[option];
    if (!markCustomInteger(*this, *option, saturateToInt32(this->*option->field), read.before) && read.stored) {
      writeNonPPDSettingToPrintSettings(printSettingsKey(option->settingsSuffix), formatLong(this->*option->field));
    }
  }
  resolutionIndex = resolutionStepIndex(resolution);
}

NSInteger ZarvikPDE::resolutionStepIndex(NSInteger dotsPerInch) const {
  for (std::size_t i = 0; i < resolutionSliderValues.size(); ++i) {
    if (parseLeadingInteger(resolutionSliderValues[i]) == dotsPerInch) return static_cast<NSInteger>(i);
  }
  return 5;
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
