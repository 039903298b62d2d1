// The plug-in's principal class: hands out one "Zarvik Settings" panel for
// print dialogs.
#pragma once

#include "plugin/pde_protocol.h"

namespace zarvik {

class ZarvikPDEPlugIn final : public PDEPlugIn {
 public:
  bool initWithBundle(const std::shared_ptr<NSBundle>& bundle) override;
  std::optional<PDEPanelList> PDEPanelsForType(std::string_view type,
                                                std::shared_ptr<PDEPluginCallback> hostInfo) override;
};

}  // namespace zarvik
