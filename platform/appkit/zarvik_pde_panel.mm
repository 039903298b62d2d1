#include "platform/appkit/zarvik_pde_panel.h"

#include "panel/option_table.h"
#include "platform/appkit/appkit_bundle.h"
#include "platform/appkit/appkit_help_manager.h"
#include "platform/appkit/appkit_host.h"
#include "platform/appkit/appkit_log.h"
#include "platform/appkit/appkit_text.h"
#include "platform/appkit/appkit_view.h"

namespace {

using zarvik::appkit::fromNSString;
using zarvik::appkit::toNSString;

std::optional<std::string> optionalText(NSString* text) {
  if (text == nil) return std::nullopt;
  return fromNSString(text);
}

}  // namespace

@implementation ZarvikPDEPlugIn

- (BOOL)initWithBundle:(NSBundle*)theBundle {
  if (theBundle == nil) return NO;
  // One log sink and help manager for the module's lifetime; a bundle's
  // code is never unloaded.
  static zarvik::appkit::FoundationLogSink log;
  static zarvik::appkit::AppKitHelpManager help;
  zarvik::setLogSink(&log);
  zarvik::NSHelpManager::setShared(&help);
  auto bundle = std::make_shared<zarvik::appkit::AppKitBundle>(theBundle);
  zarvik::registerBundleForClass(zarvik::kPanelClassName, bundle);
  return plugIn_.initWithBundle(bundle);
}

- (NSArray*)PDEPanelsForType:(NSString*)pdeType withHostInfo:(id)host {
  auto callback = std::make_shared<zarvik::appkit::AppKitHostCallback>(host);
  std::optional<zarvik::PDEPanelList> panels = plugIn_.PDEPanelsForType(fromNSString(pdeType), callback);
  if (!panels) return nil;
  NSMutableArray* result = [NSMutableArray arrayWithCapacity:panels->size()];
  for (const auto& panel : *panels) {
    ZarvikPDEPanel* wrapped = [[ZarvikPDEPanel alloc] initWithPanel:panel];
    [result addObject:wrapped];
    [wrapped release];
  }
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
  return toNSString(panel_->panelName());
}

- (NSString*)panelKind {
  return toNSString(panel_->panelKind());
}

- (NSView*)panelView {
  zarvik::NSView* view = panel_->panelView();
  return view ? static_cast<::NSView*>(view->nativeView()) : nil;
}

- (NSArray*)supportedPPDOptionKeys {
  std::vector<std::string> keys = panel_->supportedPPDOptionKeys();
  NSMutableArray* result = [NSMutableArray arrayWithCapacity:keys.size()];
  for (const std::string& key : keys) [result addObject:toNSString(key)];
  return result;
}

- (BOOL)shouldShowHelp {
  return panel_->shouldShowHelp();
}

- (void)willShow {
  panel_->willShow();
}

- (BOOL)shouldHide {
  return panel_->shouldHide();
}

// The core never writes an error, so *error is left alone.
- (BOOL)restoreValuesAndReturnError:(NSError**)error {
  (void)error;
  return panel_->restoreValuesAndReturnError(nullptr);
}

- (BOOL)saveValuesAndReturnError:(NSError**)error {
  (void)error;
  return panel_->saveValuesAndReturnError(nullptr);
}

- (void)PPDOptionKeyValueDidChange:(NSString*)option ppdChoice:(NSString*)choice {
  panel_->PPDOptionKeyValueDidChange(optionalText(option), optionalText(choice));
}

- (NSDictionary*)summaryInfo {
  std::optional<std::map<std::string, std::string>> summary = panel_->summaryInfo();
  if (!summary) return nil;
  NSMutableDictionary* result = [NSMutableDictionary dictionaryWithCapacity:summary->size()];
  for (const auto& [title, text] : *summary) [result setObject:toNSString(text) forKey:toNSString(title)];
  return result;
}

- (id)valueForUndefinedKey:(NSString*)key {
  auto* view = dynamic_cast<zarvik::appkit::AppKitView*>(panel_->panelView());
  id outlet = view ? view->outletNamed(key) : nil;
  return outlet != nil ? outlet : [super valueForUndefinedKey:key];
}

@end
