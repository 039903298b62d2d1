// The dialog's host as the panel sees it: every request goes to the host
// over the PPD, and the dialog hears of each one, so its summary and status
// line follow the panel.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "host/cups_ppd_host.h"

namespace zarvik::print {

class ObservedHost final : public PDEPluginCallback {
 public:
  using Observer = std::function<void(std::string_view key, std::string_view choice, bool accepted)>;

  explicit ObservedHost(std::shared_ptr<host::CupsPpdHost> host) : host_(std::move(host)) {}

  bool respondsToWillChangePPDOptionKeyValue() const override { return true; }
  ppd_file_t* ppdFile() override { return host_->ppdFile(); }
  PMPrintSettings* printSettings() override { return host_->printSettings(); }
  bool willChangePPDOptionKeyValue(std::string_view key, std::string_view choice) override {
    bool accepted = host_->willChangePPDOptionKeyValue(key, choice);
    if (observer_) observer_(key, choice, accepted);
    return accepted;
  }

  // Replaces the observer; an empty one hears nothing.
  void setObserver(Observer observer) { observer_ = std::move(observer); }

 private:
  std::shared_ptr<host::CupsPpdHost> host_;
  Observer observer_;
};

}  // namespace zarvik::print
