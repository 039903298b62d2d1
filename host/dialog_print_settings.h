// The print settings of one print dialog: keyed text values held in memory
// while the dialog is open.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "plugin/pde_host.h"

namespace zarvik::host {

class DialogPrintSettings final : public PMPrintSettings {
 public:
  using Values = std::map<std::string, std::string, std::less<>>;

  // A key that is not held answers kPMKeyNotFound.
  OSStatus getValue(std::string_view key, PrintSettingValue& value) const override;
  // Stores `value` under `key`; a locked value is stored the same way.
  OSStatus setValue(std::string_view key, std::string_view value, bool locked) override;

  const Values& values() const { return values_; }
  // Replaces every value, as when remembered settings are brought back.
  void assign(Values values) { values_ = std::move(values); }

 private:
  Values values_;
};

}  // namespace zarvik::host
