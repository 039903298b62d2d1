// The print dialog extension protocol as a host sees it: the plug-in's
// principal class hands out panels, and the host drives each panel through
// these operations. A host includes this header and pde_host.h only.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/pde_host.h"

namespace zarvik {

class NSBundle;

// A panel's root view. The host knows which toolkit made it.
class NSView {
 public:
  virtual ~NSView() = default;
  // The toolkit's own object for the view (a QWidget* for Qt), owned by
  // this view.
  virtual void* nativeView() const = 0;
};

// An error object a host may be handed; the panel never writes one.
struct NSError {
  std::string localizedDescription;
};

// The type identifier of print dialog panels.
inline constexpr std::string_view kPrintDialogExtensionType = "BDB091F4-E57F-11D3-B5CC-0050E4603277";

// One panel of the print dialog.
class PDEPanel {
 public:
  virtual ~PDEPanel() = default;
  // The localised title shown on the panel's tab or menu entry.
  virtual std::string panelName() = 0;
  virtual std::string panelKind() const = 0;
  // The root view, owned by the panel; nullptr when it could not be loaded.
  virtual NSView* panelView() = 0;
  // The PPD option keywords the panel shows; the host leaves them to it.
  virtual std::vector<std::string> supportedPPDOptionKeys() const = 0;
  // False when the panel opened its own help; true asks the host to.
  virtual bool shouldShowHelp() = 0;
  virtual void willShow() = 0;
  virtual bool shouldHide() = 0;
  // Rebuilds the panel from the PPD's marks and the print settings.
  virtual bool restoreValuesAndReturnError(NSError* error) = 0;
  virtual bool saveValuesAndReturnError(NSError* error) = 0;
  // The host changed `option` to `choice` itself; either may be missing.
  virtual void PPDOptionKeyValueDidChange(const std::optional<std::string>& option,
                                          const std::optional<std::string>& choice) = 0;
  // The panel's line of the job summary (title to text), or nullopt.
  virtual std::optional<std::map<std::string, std::string>> summaryInfo() = 0;
};

using PDEPanelList = std::vector<std::shared_ptr<PDEPanel>>;

// The plug-in's principal class.
class PDEPlugIn {
 public:
  virtual ~PDEPlugIn() = default;
  virtual bool initWithBundle(const std::shared_ptr<NSBundle>& bundle) = 0;
  // The panels for dialogs of `type`: an empty list for another type, and
  // nullopt when a panel of this type could not be built.
  virtual std::optional<PDEPanelList> PDEPanelsForType(std::string_view type,
                                                        std::shared_ptr<PDEPluginCallback> hostInfo) = 0;
};

}  // namespace zarvik
