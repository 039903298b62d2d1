// The host's callback object, an Objective-C object answering
// PDEPlugInCallbackProtocol, as the core's host boundary.
#pragma once

#include "platform/appkit/pde_protocols.h"

#include <memory>

namespace zarvik::appkit {

#ifdef __APPLE__
class ApplePrintSettings;
#endif

class AppKitHostCallback final : public PDEPluginCallback {
 public:
  // Keeps `host` for as long as this object lives.
  explicit AppKitHostCallback(id host);
  ~AppKitHostCallback() override;
  AppKitHostCallback(const AppKitHostCallback&) = delete;
  AppKitHostCallback& operator=(const AppKitHostCallback&) = delete;

  bool respondsToWillChangePPDOptionKeyValue() const override;
  ppd_file_t* ppdFile() override;
  // Keys and choices go over as NSString: bytes that are not UTF-8 arrive
  // as ISO Latin 1.
  bool willChangePPDOptionKeyValue(std::string_view key, std::string_view choice) override;
  zarvik::PMPrintSettings* printSettings() override;

 private:
  id<PDEPlugInCallbackProtocol> host_;
#ifdef __APPLE__
  // The one wrapper of the host's print settings this callback hands out.
  std::unique_ptr<ApplePrintSettings> settings_;
#endif
};

}  // namespace zarvik::appkit
