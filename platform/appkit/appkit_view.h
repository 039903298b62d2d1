// The panel's root view on AppKit: the root NSView of the loaded nib, the
// adapters of its controls, and the outlets by name, which live exactly as
// long as this view.
#pragma once

#include "platform/appkit/appkit_controls.h"

#include <memory>
#include <vector>

namespace zarvik::appkit {

class AppKitView final : public zarvik::NSView {
 public:
  // Keeps `root` and `outlets` (outlet name to object).
  AppKitView(::NSView* root, NSDictionary* outlets);
  // The adapters go first, so no action reaches the panel afterwards; a
  // window the host put the root view in keeps it alive on its own.
  ~AppKitView() override;
  AppKitView(const AppKitView&) = delete;
  AppKitView& operator=(const AppKitView&) = delete;

  // The root ::NSView*.
  void* nativeView() const override { return root_; }
  ::NSView* root() const { return root_; }
  // The object the nib connected to the outlet `name`, or nil.
  id outletNamed(NSString* name) const { return [outlets_ objectForKey:name]; }

  // Keeps `control` for the view's lifetime.
  void adopt(std::unique_ptr<AppKitControl> control) { controls_.push_back(std::move(control)); }

 private:
  ::NSView* root_;
  NSDictionary* outlets_;
  std::vector<std::unique_ptr<AppKitControl>> controls_;
};

}  // namespace zarvik::appkit
