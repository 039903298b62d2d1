#include "platform/appkit/zarvik_pde_panel.h"

#include "panel/option_table.h"
#include "platform/appkit/appkit_bundle.h"
#include "platform/appkit/appkit_firewall.h"
#include "platform/appkit/appkit_help_manager.h"
#include "platform/appkit/appkit_host.h"
#include "platform/appkit/appkit_log.h"
#include "platform/appkit/appkit_text.h"
#include "platform/appkit/appkit_view.h"

namespace {

using zarvik::appkit::firewall;
using zarvik::appkit::fromNSString;
using zarvik::appkit::toNSString;

std::optional<std::string> optionalText(NSString* text) {
  if (text == nil) return std::nullopt;
  return fromNSString(text);
}

}  // namespace

// Each method copies what it needs of self into locals before the
// firewall's lambda: g++ cannot capture self in one.

@implementation ZarvikPDEPlugIn

// The one initialiser. It answers the instance whatever the bundle, as the
// plug-in keeps nothing of it: each panel finds its bundle by its class.
- (instancetype)initWithBundle:(NSBundle*)theBundle {
  if ((self = [super init]) == nil) return nil;
  zarvik::ZarvikPDEPlugIn* plugIn = &plugIn_;
  firewall("initWithBundle:", [&] {
    if (theBundle == nil) return;
    // One log sink and help manager for the module's lifetime; a bundle's
    // code is never unloaded.
    static zarvik::appkit::FoundationLogSink log;
    static zarvik::appkit::AppKitHelpManager help;
    zarvik::setLogSink(&log);
    zarvik::NSHelpManager::setShared(&help);
    auto bundle = std::make_shared<zarvik::appkit::AppKitBundle>(theBundle);
    zarvik::registerBundleForClass(zarvik::kPanelClassName, bundle);
    plugIn->initWithBundle(bundle);
  });
  return self;
}

- (NSArray*)PDEPanelsForType:(NSString*)pdeType withHostInfo:(id<PDEPlugInCallbackProtocol>)host {
  NSMutableArray* result = nil;
  zarvik::ZarvikPDEPlugIn* plugIn = &plugIn_;
  firewall("PDEPanelsForType:withHostInfo:", [&] {
    auto callback = std::make_shared<zarvik::appkit::AppKitHostCallback>(host);
    std::optional<zarvik::PDEPanelList> panels = plugIn->PDEPanelsForType(fromNSString(pdeType), callback);
    if (!panels) return;
    result = [NSMutableArray arrayWithCapacity:panels->size()];
    for (const auto& panel : *panels) {
      ZarvikPDEPanel* wrapped = [[ZarvikPDEPanel alloc] initWithPanel:panel];
      [result addObject:wrapped];
      [wrapped release];
    }
  });
  return result;
}

@end

@implementation ZarvikPDEPanel

- (id)initWithPanel:(std::shared_ptr<zarvik::PDEPanel>)panel {
  if ((self = [super init])) panel_ = std::move(panel);
  return self;
}

- (zarvik::PDEPanel*)corePanel {
  return panel_.get();
}

- (NSString*)panelName {
  zarvik::PDEPanel* panel = panel_.get();
  NSString* name = nil;
  firewall("panelName", [&] { name = toNSString(panel->panelName()); });
  return name;
}

- (NSString*)panelKind {
  zarvik::PDEPanel* panel = panel_.get();
  NSString* kind = nil;
  firewall("panelKind", [&] { kind = toNSString(panel->panelKind()); });
  return kind;
}

- (NSView*)panelView {
  zarvik::PDEPanel* panel = panel_.get();
  ::NSView* root = nil;
  firewall("panelView", [&] {
    zarvik::NSView* view = panel->panelView();
    if (view != nullptr) root = static_cast<::NSView*>(view->nativeView());
  });
  return root;
}

- (NSArray*)supportedPPDOptionKeys {
  zarvik::PDEPanel* panel = panel_.get();
  NSMutableArray* result = nil;
  firewall("supportedPPDOptionKeys", [&] {
    std::vector<std::string> keys = panel->supportedPPDOptionKeys();
    result = [NSMutableArray arrayWithCapacity:keys.size()];
    for (const std::string& key : keys) [result addObject:toNSString(key)];
  });
  return result;
}

// A failure shows the dialog's own help rather than none.
- (BOOL)shouldShowHelp {
  zarvik::PDEPanel* panel = panel_.get();
  bool show = true;
  firewall("shouldShowHelp", [&] { show = panel->shouldShowHelp(); });
  return show;
}

- (void)willShow {
  zarvik::PDEPanel* panel = panel_.get();
  firewall("willShow", [&] { panel->willShow(); });
}

// A failure must not keep the person in the panel.
- (BOOL)shouldHide {
  zarvik::PDEPanel* panel = panel_.get();
  bool hide = true;
  firewall("shouldHide", [&] { hide = panel->shouldHide(); });
  return hide;
}

// The core never writes an error, so *error is left alone.
- (BOOL)restoreValuesAndReturnError:(NSError**)error {
  zarvik::PDEPanel* panel = panel_.get();
  (void)error;
  bool restored = false;
  firewall("restoreValuesAndReturnError:", [&] { restored = panel->restoreValuesAndReturnError(nullptr); });
  return restored;
}

- (BOOL)saveValuesAndReturnError:(NSError**)error {
  zarvik::PDEPanel* panel = panel_.get();
  (void)error;
  bool saved = false;
  firewall("saveValuesAndReturnError:", [&] { saved = panel->saveValuesAndReturnError(nullptr); });
  return saved;
}

- (void)PPDOptionKeyValueDidChange:(NSString*)option ppdChoice:(NSString*)choice {
  zarvik::PDEPanel* panel = panel_.get();
  firewall("PPDOptionKeyValueDidChange:ppdChoice:",
           [&] { panel->PPDOptionKeyValueDidChange(optionalText(option), optionalText(choice)); });
}

- (NSDictionary*)summaryInfo {
  zarvik::PDEPanel* panel = panel_.get();
  NSMutableDictionary* result = nil;
  firewall("summaryInfo", [&] {
    std::optional<std::map<std::string, std::string>> summary = panel->summaryInfo();
    if (!summary) return;
    result = [NSMutableDictionary dictionaryWithCapacity:summary->size()];
    for (const auto& [title, text] : *summary) [result setObject:toNSString(text) forKey:toNSString(title)];
  });
  return result;
}

- (id)valueForUndefinedKey:(NSString*)key {
  auto* view = dynamic_cast<zarvik::appkit::AppKitView*>(panel_->panelView());
  id outlet = view ? view->outletNamed(key) : nil;
  return outlet != nil ? outlet : [super valueForUndefinedKey:key];
}

@end
