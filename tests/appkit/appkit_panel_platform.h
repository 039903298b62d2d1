// A print dialog host on AppKit, for tests: it loads the plug-in bundle the
// build made with NSBundle, makes its principal class, asks it for panels
// of the print dialog extension type, puts a panel's view in a window and
// works the controls as a person would.
#pragma once

#include "support/panel_platform.h"

#include "platform/appkit/zarvik_pde_panel.h"

#include <memory>
#include <string>

// The host's callback object: answers the dialog's protocol over a C++
// host and counts what the panel asks of it.
@interface ZarvikTestHost : NSObject <PDEPlugInCallbackProtocol> {
  std::shared_ptr<zarvik::PDEPluginCallback> host_;
  int requests_;
}
- (id)initWithHost:(std::shared_ptr<zarvik::PDEPluginCallback>)host;
- (int)requests;
@end

namespace zarvik::testing {

// The AppKit bundle the build laid out.
inline std::string builtAppKitBundlePath() { return ZARVIK_APPKIT_BUNDLE_DIR; }

// Hands AppKit the events that are waiting, for up to `seconds`.
void pumpEvents(double seconds = 0.05);

class AppKitPanelPlatform final : public PanelPlatform {
 public:
  // Loads the bundle at `path` and makes its principal class; throws when
  // either fails.
  explicit AppKitPanelPlatform(const std::string& path = builtAppKitBundlePath());
  ~AppKitPanelPlatform() override;

  std::string name() const override { return "AppKit"; }
  std::unique_ptr<DrivenPanel> build(std::shared_ptr<PDEPluginCallback> host) override;

  ::NSBundle* bundle() const { return bundle_; }
  id<PDEPlugIn> principal() const { return principal_; }

 private:
  ::NSBundle* bundle_;
  id<PDEPlugIn> principal_;
};

// The panel of an AppKit dialog, driven through the Objective-C panel's
// messages.
class AppKitDrivenPanel final : public DrivenPanel {
 public:
  AppKitDrivenPanel(ZarvikPDEPanel* panel, ZarvikTestHost* host);
  ~AppKitDrivenPanel() override;

  const ZarvikPDE& core() const override;
  ViewDriver* loadView() override;
  void willShow() override;
  void restore() override;
  void optionDidChange(const std::string& option, const std::string& choice) override;

  ZarvikPDEPanel* panel() const { return panel_; }
  ZarvikTestHost* host() const { return host_; }

 private:
  ZarvikPDEPanel* panel_;
  ZarvikTestHost* host_;
  NSWindow* window_ = nil;
  std::unique_ptr<ViewDriver> driver_;
};

}  // namespace zarvik::testing
