#include "plugin/zarvik_pde_plugin.h"

#include "panel/zarvik_pde.h"

namespace zarvik {

// The panel finds its bundle itself; nothing to keep.
bool ZarvikPDEPlugIn::initWithBundle(const std::shared_ptr<NSBundle>& /*bundle*/) { return true; }

std::optional<PDEPanelList> ZarvikPDEPlugIn::PDEPanelsForType(std::string_view type,
                                                               std::shared_ptr<PDEPluginCallback> hostInfo) {
  PDEPanelList panels;
  if (type != kPrintDialogExtensionType) return panels;
  std::shared_ptr<ZarvikPDE> panel = ZarvikPDE::initWithCallback(std::move(hostInfo));
  if (!panel) return std::nullopt;
  panels.push_back(std::move(panel));
  return panels;
}

}  // namespace zarvik
