// Keeping the panel in step with the print job: restore, save, changes
// the host reports, and the summary line.
#include "panel/ppd_lookup.h"
#include "panel/ppd_text.h"
#include "panel/system_log.h"
#include "panel/zarvik_pde.h"

namespace zarvik {
namespace {

// A marked on/off choice is on only when it is "enabled" exactly: the
// choices the panel itself asks for.
NSInteger onOffValue(const std::string& keyword) { return keyword == kEnabled ? 1 : 0; }

}  // namespace

bool ZarvikPDE::restoreValuesAndReturnError(NSError* /*error*/) {
  NSLog("Entering restoreValuesAndReturnError");
  // What the PPD held before the defaults are marked again; logged only.
  NSLog("The custom vector power is 2set to: %d", getPPDCustomIntOpt(kVectorPower, kVectorPowerParam));
  setDefaults();
  getNonPPDSettingsFromPrintSettings();

  struct MarkedChoice {
    const char* option;
    ChoiceType type;
    LogFormat<std::string> message;
  };
  static constexpr MarkedChoice kPickOne[] = {
      {kJobType, ChoiceTypeJobType, "The current jobtype choice is: %@"},
      {kCenterEngraving, ChoiceTypeCenterEngraving, "The current center engraving choice is: %@"},
      {kDithering, ChoiceTypeDithering, "The current dithering choice is: %@"},
      {kEngravingDirection, ChoiceTypeEngravingDirection, "The current engraving direction choice is: %@"},
      {kVectorSort, ChoiceTypeVectorSort, "The current vector sorting choice is: %@"},
  };
  for (const MarkedChoice& row : kPickOne) {
    const ppd_choice_t* marked = ppd::findMarkedChoice(ppd, row.option);
    if (marked == nullptr) continue;
    std::string keyword = keywordString(marked->choice);
    setNewUserChoice(keyword, row.type);
    NSLog(row.message, keyword);
  }

  if (const ppd_choice_t* marked = ppd::findMarkedChoice(ppd, kAutoFocus)) {
    std::string keyword = keywordString(marked->choice);
    oAutoFocus = onOffValue(keyword);
    autoFocusCheckBox->setState(oAutoFocus);
    applyAutoFocusToControls(oAutoFocus == 1);
    NSLog("The current Auto Focus choice is: %@", keyword);
  }
  if (const ppd_choice_t* marked = ppd::findMarkedChoice(ppd, kVectorGrid)) {
    std::string keyword = keywordString(marked->choice);
    oVectorGrid = onOffValue(keyword);
    vectorGridCheckBox->setState(oVectorGrid);
    NSLog("The current Vector Grid choice is: %@", keyword);
  }
  if (const ppd_choice_t* marked = ppd::findMarkedChoice(ppd, kDirectPrint)) {
    std::string keyword = keywordString(marked->choice);
    oDirectPrint = onOffValue(keyword);
    directPrintCheckBox->setState(oDirectPrint);
    NSLog("The current Direct Print choice is: %@", keyword);
  }

  // The compensation boxes show their fields at the refresh below; the
  // fields follow the PPD like the other on/off options, so that a preset
  // or another panel that changed them shows here.
  for (auto [option, field] :
       {std::pair(kVectorSpeedComp, &ZarvikPDE::vSpeedComp), std::pair(kVectorPowerComp, &ZarvikPDE::vPowerComp)}) {
    if (const ppd_choice_t* marked = ppd::findMarkedChoice(ppd, option))
      this->*field = onOffValue(keywordString(marked->choice));
  }

  // The resolution is only logged here: the model takes it from the print
  // settings above.
  if (const ppd_choice_t* marked = ppd::findMarkedChoice(ppd, kResolution)) {
    std::string keyword = keywordString(marked->choice);
    std::string text = displayText(marked->text);
    if (ppd_coption_t* custom = ppd::findCustomOption(ppd, kCustomResolution)) {
      if (const ppd_cparam_t* param = ppd::findCustomParam(custom, kResolutionParam)) {
        NSLog("The custom option text is: %@", displayText(param->text));
        if (param->type == PPD_CUSTOM_INT) NSLog("The custom value is: %d", param->current.custom_int);
      } else {
        NSLog("Unable to find the custom param.");
      }
    } else {
      NSLog("Unable to find the custom option.");
    }
    NSLog("The current resolution choice is: %@\nText: %@", keyword, text);
  } else {
    NSLog("Unable to find the resolution choice.");
  }

  updateUI();
  return true;
}

bool ZarvikPDE::saveValuesAndReturnError(NSError* /*error*/) {
  NSLog("Entering saveValuesAndReturnError");
  return true;
}

void ZarvikPDE::PPDOptionKeyValueDidChange(const std::optional<std::string>& option,
                                           const std::optional<std::string>& choice) {
  NSLog("Entering PPDOptionKeyValueDidChange");
  if (!option || !choice) return;
  if (*option == kJobType) setNewUserChoice(choice, ChoiceTypeJobType);
  if (*option == kCenterEngraving) setNewUserChoice(choice, ChoiceTypeCenterEngraving);
  if (*option == kEngravingDirection) setNewUserChoice(choice, ChoiceTypeEngravingDirection);
  if (*option == kDithering) setNewUserChoice(choice, ChoiceTypeDithering);
  if (*option == kVectorSort) setNewUserChoice(choice, ChoiceTypeVectorSort);
}

std::optional<std::map<std::string, std::string>> ZarvikPDE::summaryInfo() {
  if (!jobTypeChoice) return std::nullopt;
  const ppd_choice_t* choice = ppd::findChoice(jobTypeOption, *jobTypeChoice);
  if (choice == nullptr) return std::nullopt;
  std::string title = pdeBundle ? pdeBundle->localizedStringForKey(kPanelTitleKey, std::nullopt, std::nullopt)
                                : std::string(kPanelTitleKey);
  return std::map<std::string, std::string>{{std::move(title), displayText(choice->text)}};
}

}  // namespace zarvik
