// Custom numeric values: marked through the host, read back from the PPD.
#include "panel/ppd_lookup.h"
#include "panel/ppd_text.h"
#include "panel/system_log.h"
#include "panel/zarvik_pde.h"

namespace zarvik {
namespace {

// The custom parameter `name` of `optionKey`, if it has the type `wanted`;
// logs why not otherwise.
const ppd_cparam_t* findTypedCustomParam(ppd_file_t* ppd, const char* optionKey, const char* name,
                                         ppd_cptype_t wanted) {
  ppd_coption_t* option = ppd::findCustomOption(ppd, optionKey ? optionKey : "");
  if (option == nullptr) {
    NSLog("Unable to find the custom option: %s.", optionKey);
    return nullptr;
  }
  ppd_cparam_t* param = ppd::findCustomParam(option, name ? name : "");
  if (param == nullptr) {
    NSLog("Unable to find the custom param: %s.", name);
    return nullptr;
  }
  NSLog("The custom option text is: %@", displayText(param->text));
  if (param->type != wanted) {
    NSLog("The type is incorrect for: %s - %s: %d.", optionKey, name, static_cast<int>(param->type));
    return nullptr;
  }
  return param;
}

}  // namespace

ppd_option_t* ZarvikPDE::numericOption(std::string_view optionKey) const {
  for (auto [key, handle] : {std::pair(kRasterSpeed, rasterSpeedOption), std::pair(kRasterPower, rasterPowerOption),
                             std::pair(kVectorSpeed, vectorSpeedOption), std::pair(kVectorPower, vectorPowerOption),
                             std::pair(kVectorFreq, vectorFreqOption), std::pair(kResolution, resolutionOption)}) {
    if (optionKey == key) return handle;
  }
  return ppd::findOption(ppd, std::string(optionKey));
}

void ZarvikPDE::restoreAPlainChoice(std::string_view optionKey, const std::optional<std::string>& previous) {
  PDEPluginCallback& host = *pdePluginCallbackObject;
  if (previous && host.willChangePPDOptionKeyValue(optionKey, *previous)) return;
  // Nothing was marked (a PPD without a default for the option): the
  // option takes the PPD's default, else the first choice the host takes,
  // one the printer lists, and the panel shows its number.
  ppd_option_t* option = numericOption(optionKey);
  std::optional<std::string> fallback;
  if (option != nullptr && option->defchoice[0] != '\0') fallback = keywordString(option->defchoice);
  if (fallback && *fallback != kCustomChoice && host.willChangePPDOptionKeyValue(optionKey, *fallback)) return;
  for (const ppd_choice_t& choice : ppd::choicesOf(option)) {
    std::string keyword = keywordString(choice.choice);
    if (keyword != kCustomChoice && host.willChangePPDOptionKeyValue(optionKey, keyword)) return;
  }
}

ZarvikPDE::CustomWrite ZarvikPDE::offerCustomValue(std::string_view optionKey, std::string_view customKey,
                                                   const std::string& valueText) {
  PDEPluginCallback& host = *pdePluginCallbackObject;
  // The choice marked until now, from the option's own records: every value
  // the panel marks asks for it, and a search by keyword costs ten times more.
  std::optional<std::string> previous;
  for (const ppd_choice_t& choice : ppd::choicesOf(numericOption(optionKey))) {
    if (choice.marked) previous = keywordString(choice.choice);
  }
  if (!host.willChangePPDOptionKeyValue(optionKey, kCustomChoice)) return CustomWrite::kOptionRefused;
  if (!host.willChangePPDOptionKeyValue(customKey, valueText)) {
    // "Custom" would otherwise carry whatever value the PPD held for it,
    // which nobody chose; a custom value marked before is still there.
    if (previous != kCustomChoice) restoreAPlainChoice(optionKey, previous);
    return CustomWrite::kValueRefused;
  }
  return CustomWrite::kAccepted;
}

bool ZarvikPDE::setPPDCustomIntOpt(std::string_view optionKey, std::string_view customKey, std::int32_t value,
                                   NSInteger& internalValue) {
  if (offerCustomValue(optionKey, customKey, formatInt(value)) != CustomWrite::kAccepted) return false;
  internalValue = value;
  return true;
}

bool ZarvikPDE::setPPDCustomFloatOpt(std::string_view optionKey, std::string_view customKey, float value,
                                     float& internalValue) {
  if (offerCustomValue(optionKey, customKey, formatFloat(value)) != CustomWrite::kAccepted) return false;
  internalValue = value;
  return true;
}

std::optional<double> ZarvikPDE::ppdHeldValue(std::string_view optionKey) const {
  const std::string option(optionKey);
  const ppd_choice_t* marked = ppd::findMarkedChoice(ppd, option);
  if (marked == nullptr) return std::nullopt;
  const std::string keyword = keywordString(marked->choice);
  if (keyword != kCustomChoice) return keywordNumber(keyword);
  const ppd_cparam_t* param = ppd::firstCustomParam(ppd::findCustomOption(ppd, option));
  if (param == nullptr) return std::nullopt;
  switch (param->type) {
    case PPD_CUSTOM_INT:
      return param->current.custom_int;
    case PPD_CUSTOM_REAL:
    case PPD_CUSTOM_CURVE:
    case PPD_CUSTOM_INVCURVE:
      return param->current.custom_real;
    case PPD_CUSTOM_POINTS:
      return param->current.custom_points;
    default:
      return std::nullopt;
  }
}

std::int32_t ZarvikPDE::getPPDCustomIntOpt(const char* optionKey, const char* customKey) {
  const ppd_cparam_t* param = findTypedCustomParam(ppd, optionKey, customKey, PPD_CUSTOM_INT);
  return param ? param->current.custom_int : -1;
}

float ZarvikPDE::getPPDCustomFloatOpt(const char* optionKey, const char* customKey) {
  const ppd_cparam_t* param = findTypedCustomParam(ppd, optionKey, customKey, PPD_CUSTOM_REAL);
  return param ? param->current.custom_real : -1.0f;
}

}  // namespace zarvik
