// Turning one control's new state into a change of the model: offered to
// the host first, stored only when the host accepts.
#include <cmath>

#include "panel/system_log.h"
#include "panel/zarvik_pde.h"

namespace zarvik {

bool ZarvikPDE::offerLoggingRefusals(std::string_view optionKey, std::string_view customKey,
                                     const std::string& valueText) {
  switch (offerCustomValue(optionKey, customKey, valueText)) {
    case CustomWrite::kAccepted:
      return true;
    case CustomWrite::kOptionRefused:
      NSLog("We were unsuccessful in updating %@!", optionKey);
      return false;
    case CustomWrite::kValueRefused:
      NSLog("We were unsuccessful in changing the %@", customKey);
      return false;
  }
  return false;
}

void ZarvikPDE::popupValueChange(NSPopUpButton& sender, std::string_view senderKey, NSInteger choiceType,
                                 std::optional<std::string> oldChoice) {
  NSInteger selected = sender.indexOfSelectedItem();
  NSMenuItem* item = selected < 0 ? nullptr : sender.menu().itemAtIndex(selected);
  std::optional<std::string> newChoice = item ? item->representedObject() : std::nullopt;
  // No selected item, or one that carries no keyword: nothing to offer.
  if (!newChoice) return;

  if (pdePluginCallbackObject->willChangePPDOptionKeyValue(senderKey, *newChoice)) {
    setNewUserChoice(newChoice, choiceType);
  } else {
    sender.selectItemAtIndex(sender.indexOfItemWithRepresentedObject(oldChoice));
  }
}

void ZarvikPDE::checkboxValueChange(const StateSource& sender, std::string_view senderKey,
                                    NSInteger& internalValue) {
  NSInteger state = sender.state();
  std::string_view choice = state == 1 ? kEnabled : kDisabled;
  if (pdePluginCallbackObject->willChangePPDOptionKeyValue(senderKey, choice)) {
    NSLog("We have made a new choice for %@: %@!", senderKey, choice);
    internalValue = state;
  } else {
    NSLog("We were unsuccessful in updating %@!", senderKey);
    // The box goes back to the value the job keeps; the compensation boxes
    // get theirs from the refresh below.
    if (Outlet<NSButton>* box = onOffBox(senderKey)) (*box)->setState(internalValue);
  }
  updateUI();
}

void ZarvikPDE::sliderValueChange(const FloatValueSource& sender, std::string_view optionKey,
                                  std::string_view customKey, NSInteger& internalValue,
                                  const std::string& saveKey) {
  // NaN has no integer; anything beyond the 32-bit range saturates.
  std::optional<std::int32_t> value = truncateToInt32(sender.floatValue());
  if (!value) {
    updateUI();
    return;
  }
  if (offerLoggingRefusals(optionKey, customKey, formatInt(*value))) internalValue = *value;
  writeNonPPDSettingToPrintSettings(saveKey, formatLong(internalValue));
  updateUI();
}

void ZarvikPDE::textBoxValueChange(const FloatValueSource& sender, std::string_view optionKey,
                                   std::string_view customKey, float& internalValue,
                                   const std::string& saveKey) {
  float value = sender.floatValue();
  // "%f" of NaN or an infinity is no number a printer can take.
  if (!std::isfinite(value)) {
    updateUI();
    return;
  }
  if (offerLoggingRefusals(optionKey, customKey, formatFloat(value))) internalValue = value;
  writeNonPPDSettingToPrintSettings(saveKey, formatFloat(internalValue));
  updateUI();
}

}  // namespace zarvik
