#include "host/dialog_print_settings.h"

namespace zarvik::host {

OSStatus DialogPrintSettings::getValue(std::string_view key, PrintSettingValue& value) const {
  auto found = values_.find(key);
  if (found == values_.end()) return kPMKeyNotFound;
  value = found->second;
  return noErr;
}

OSStatus DialogPrintSettings::setValue(std::string_view key, std::string_view value, bool /*locked*/) {
  values_.insert_or_assign(std::string(key), std::string(value));
  return noErr;
}

}  // namespace zarvik::host
