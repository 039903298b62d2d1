// What the panel asks of the print dialog host: the callback object handed
// to the panel at construction, and the print job's print settings.
#pragma once

#include <cups/ppd.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace zarvik {

// Status of a print-settings call: 0 for success.
using OSStatus = std::int32_t;
inline constexpr OSStatus noErr = 0;
// The status for a key that the print settings do not hold.
inline constexpr OSStatus kPMKeyNotFound = -30899;

// A value read from the print settings: nothing, text, or a number.
using PrintSettingValue = std::variant<std::monostate, std::string, double>;

// The print job's keyed values. Owned by the host.
class PMPrintSettings {
 public:
  virtual ~PMPrintSettings() = default;
  // On noErr, `value` holds what is stored under `key`; a key that is not
  // held answers a nonzero status and leaves `value` alone.
  virtual OSStatus getValue(std::string_view key, PrintSettingValue& value) const = 0;
  virtual OSStatus setValue(std::string_view key, std::string_view value, bool locked) = 0;
};

inline OSStatus PMPrintSettingsGetValue(const PMPrintSettings& settings, std::string_view key,
                                        PrintSettingValue& value) {
  return settings.getValue(key, value);
}

inline OSStatus PMPrintSettingsSetValue(PMPrintSettings& settings, std::string_view key,
                                        std::string_view value, bool locked) {
  return settings.setValue(key, value, locked);
}

// The host's callback object. Every call is answered synchronously on the
// host's main thread.
class PDEPluginCallback {
 public:
  virtual ~PDEPluginCallback() = default;

  // Whether the host answers willChangePPDOptionKeyValue; hosts too old for
  // the panel do not.
  virtual bool respondsToWillChangePPDOptionKeyValue() const = 0;

  // The printer's open PPD, owned by the host; nullptr when it has none.
  virtual ppd_file_t* ppdFile() = 0;

  // Asks the host to mark `choice` for `key`: an option keyword with one of
  // its choice keywords (or "Custom"), or a custom key ("Custom" followed by
  // the option keyword) with a value text. True when the host accepted and
  // marked it, so that later libcups lookups on the PPD see it; false when it
  // refused and nothing changed.
  virtual bool willChangePPDOptionKeyValue(std::string_view key, std::string_view choice) = 0;

  // The print job's print settings, owned by the host; nullptr when none.
  virtual PMPrintSettings* printSettings() = 0;
};

}  // namespace zarvik
