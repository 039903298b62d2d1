// A print dialog host for tests: records every call the panel makes, answers each request from a script, and marks what
// it accepts in the real PPD with libcups so that the panel's read-backs see it.
#pragma once

#include <cups/ppd.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "plugin/pde_host.h"

namespace zarvik::testing {

// Print settings held in memory.
class MemoryPrintSettings final : public PMPrintSettings {
 public:
  OSStatus getValue(std::string_view key, PrintSettingValue& value) const override;
  OSStatus setValue(std::string_view key, std::string_view value, bool locked) override;

  std::map<std::string, PrintSettingValue, std::less<>> values;
  // Every setValue, in order: key, value, locked flag.
  struct Write {
    std::string key, value;
    bool locked;
  };
  std::vector<Write> writes;
};

class RecordingHost final : public PDEPluginCallback {
 public:
  // `ppd` is borrowed; it may be nullptr for a host without a PPD.
  explicit RecordingHost(ppd_file_t* ppd) : ppd_(ppd) {}

  bool respondsToWillChangePPDOptionKeyValue() const override { return respondsToWillChange; }
  ppd_file_t* ppdFile() override;
  bool willChangePPDOptionKeyValue(std::string_view key, std::string_view choice) override;
  PMPrintSettings* printSettings() override { return &settings; }

  // Requests made so far, as "key=choice", in order.
  std::vector<std::string> requests() const;

  bool respondsToWillChange = true;
  // Whether accepted requests are marked in the PPD.
  bool marksPpd = true;
  // Decides each request; accepts all when empty.
  std::function<bool(std::string_view key, std::string_view choice)> decide;
  // Whether requests are kept in `calls`; the benchmarks turn it off to time the panel rather than the recording.
  bool recordsCalls = true;
  std::vector<std::pair<std::string, std::string>> calls;
  int ppdFileCalls = 0;
  MemoryPrintSettings settings;

 private:
  void mark(std::string_view key, std::string_view choice);
  ppd_file_t* ppd_;
};

}  // namespace zarvik::testing
