#include "support/recording_host.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace zarvik::testing {

OSStatus MemoryPrintSettings::getValue(std::string_view key, PrintSettingValue& value) const {
  auto found = values.find(key);
  if (found == values.end()) return kPMKeyNotFound;
  value = found->second;
  return noErr;
}

OSStatus MemoryPrintSettings::setValue(std::string_view key, std::string_view value, bool locked) {
  writes.push_back({std::string(key), std::string(value), locked});
  // Looked up by the view, so that a key already held is not copied again.
  if (auto found = values.find(key); found != values.end())
    found->second = std::string(value);
  else
    values.emplace(std::string(key), std::string(value));
  return noErr;
}

ppd_file_t* RecordingHost::ppdFile() {
  ++ppdFileCalls;
  return ppd_;
}

bool RecordingHost::willChangePPDOptionKeyValue(std::string_view key, std::string_view choice) {
  if (recordsCalls) calls.emplace_back(key, choice);
  if (decide && !decide(key, choice)) return false;
  if (marksPpd) mark(key, choice);
  return true;
}

std::vector<std::string> RecordingHost::requests() const {
  std::vector<std::string> out;
  for (const auto& [key, choice] : calls) out.push_back(key + "=" + choice);
  return out;
}

void RecordingHost::mark(std::string_view key, std::string_view choice) {
  if (ppd_ == nullptr) return;
  std::string option(key), value(choice);
  // A custom key carries the value of the option it names; libcups sets the
  // option's single custom parameter from "Custom.<value>".
  if (option.rfind("Custom", 0) == 0 && ppdFindCustomOption(ppd_, option.c_str() + 6) != nullptr) {
    option.erase(0, 6);
    value = "Custom." + value;
  }
  ppdMarkOption(ppd_, option.c_str(), value.c_str());
}

}  // namespace zarvik::testing
