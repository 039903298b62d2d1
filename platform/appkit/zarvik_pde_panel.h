// The plug-in's Objective-C classes: the principal class the dialog finds
// through the bundle's NSPrincipalClass, and the panel it hands out. Both
// forward every message to the C++ core, each behind a firewall: no
// exception goes back into the host.
#pragma once

#include "platform/appkit/pde_protocols.h"

#include <memory>

#include "plugin/zarvik_pde_plugin.h"

@interface ZarvikPDEPlugIn : NSObject <PDEPlugIn> {
  zarvik::ZarvikPDEPlugIn plugIn_;
}
@end

// One "Zarvik Settings" panel. The panel's outlets are readable by key
// (valueForKey: @"rSpeedSlider"), as a nib's owner's are; reading one loads
// the view.
@interface ZarvikPDEPanel : NSObject <PDEPanel> {
  std::shared_ptr<zarvik::PDEPanel> panel_;
}
- (id)initWithPanel:(std::shared_ptr<zarvik::PDEPanel>)panel;
// The C++ panel this object forwards to, for a host's diagnostics and
// tests; it lives as long as this object.
- (zarvik::PDEPanel*)corePanel;
@end
