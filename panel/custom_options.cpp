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

bool ZarvikPDE::setPPDCustomIntOpt(std::string_view optionKey, std::string_view customKey, std::int32_t value,
                                   NSInteger& internalValue) {
  if (!pdePluginCallbackObject->willChangePPDOptionKeyValue(optionKey, kCustomChoice)) return false;
  if (!pdePluginCallbackObject->willChangePPDOptionKeyValue(customKey, formatInt(value))) return false;
  internalValue = value;
  return true;
}

bool ZarvikPDE::setPPDCustomFloatOpt(std::string_view optionKey, std::string_view customKey, float value,
                                     float& internalValue) {
  if (!pdePluginCallbackObject->willChangePPDOptionKeyValue(optionKey, kCustomChoice)) return false;
  if (!pdePluginCallbackObject->willChangePPDOptionKeyValue(customKey, formatFloat(value))) return false;
  internalValue = value;
  return true;
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
