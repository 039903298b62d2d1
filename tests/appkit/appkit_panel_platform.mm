#include "appkit_panel_platform.h"

#include <algorithm>
#include <set>
#include <stdexcept>

@implementation ZarvikTestHost

- (id)initWithHost:(std::shared_ptr<zarvik::PDEPluginCallback>)host {
  if ((self = [super init])) host_ = std::move(host);
  return self;
}

- (int)requests {
  return requests_;
}

- (BOOL)willChangePPDOptionKeyValue:(NSString*)option ppdChoice:(NSString*)choice {
  ++requests_;
  return host_->willChangePPDOptionKeyValue([option UTF8String], [choice UTF8String]);
}

- (ppd_file_t*)ppdFile {
  return host_->ppdFile();
}

- (zarvik::PMPrintSettings*)printSettings {
  return host_->printSettings();
}

@end

namespace zarvik::testing {
namespace {

NSString* nsText(std::string_view value) {
  return [[[NSString alloc] initWithBytes:value.data() length:value.size() encoding:NSUTF8StringEncoding]
      autorelease];
}

// Works the controls of a view in a window through AppKit's own calls: a
// box's click, a chosen menu item, a slider's action, typing in the field
// editor.
class AppKitViewDriver final : public ViewDriver {
 public:
  AppKitViewDriver(ZarvikPDEPanel* panel, NSWindow* window) : panel_(panel), window_(window) {}

  bool pickItem(std::string_view name, int index) override {
    ::NSPopUpButton* popUp = enabled(popUpNamed(name));
    if (popUp == nil || index < 0 || index >= [popUp numberOfItems]) return false;
    [[popUp menu] performActionForItemAtIndex:index];
    pumpEvents(0);
    return true;
  }

  bool clickCheckBox(std::string_view name) override {
    ::NSButton* box = enabled(boxNamed(name));
    if (box == nil) return false;
    // What performClick: does, without the tenth of a second GNUstep shows
    // the box pressed: the next state, then the action.
    [box setNextState];
    [NSApp sendAction:[box action] to:[box target] from:box];
    pumpEvents(0);
    return true;
  }

  bool moveSlider(std::string_view name, double value) override {
    ::NSSlider* slider = enabled(sliderNamed(name));
    if (slider == nil) return false;
    // The handle cannot leave the track.
    [slider setDoubleValue:std::clamp(value, [slider minValue], [slider maxValue])];
    [NSApp sendAction:[slider action] to:[slider target] from:slider];
    pumpEvents(0);
    return true;
  }

  bool typeText(std::string_view name, std::string_view typed, bool commit) override {
    ::NSTextField* field = enabled(fieldNamed(name));
    if (field == nil || ![field isEditable]) return false;
    // After Return the field keeps the focus with its text selected, as the
    // person left it; else the person clicks into it.
    if ([field currentEditor] == nil && ![window_ makeFirstResponder:field]) return false;
    NSText* editor = [field currentEditor];
    [editor selectAll:nil];
    [editor insertText:nsText(typed)];
    if (commit) {
      [editor insertNewline:nil];
      pending_.erase(std::string(name));
    } else {
      pending_.insert(std::string(name));
    }
    pumpEvents(0);
    return true;
  }

  int itemCount(std::string_view name) const override {
    return static_cast<int>([popUpNamed(name) numberOfItems]);
  }

  std::optional<std::string> shownKeyword(std::string_view name) const override {
    id object = [[popUpNamed(name) selectedItem] representedObject];
    if (![object isKindOfClass:[NSData class]]) return std::nullopt;
    return std::string(static_cast<const char*>([object bytes]), [object length]);
  }

  int state(std::string_view name) const override { return static_cast<int>([boxNamed(name) state]); }
  double sliderValue(std::string_view name) const override { return [sliderNamed(name) doubleValue]; }
  double sliderMinimum(std::string_view name) const override { return [sliderNamed(name) minValue]; }
  double sliderMaximum(std::string_view name) const override { return [sliderNamed(name) maxValue]; }

  std::string text(std::string_view name) const override {
    ::NSTextField* field = fieldNamed(name);
    // While an edit is open the person sees the field editor's text.
    NSString* shown = [field currentEditor] != nil ? [[field currentEditor] string] : [field stringValue];
    return [shown UTF8String];
  }

  bool isEnabled(std::string_view name) const override { return [outlet(name, [::NSControl class]) isEnabled]; }

  bool hasPendingEdit(std::string_view name) const override {
    return pending_.count(std::string(name)) > 0 && [fieldNamed(name) currentEditor] != nil;
  }

 private:
  // The panel's outlet `name`, read by key as from any nib's owner; throws
  // when the view has no such control of that class. (g++ loses Objective-C
  // messages inside templates, so there are none here.)
  id outlet(std::string_view name, Class kind) const {
    id control = nil;
    @try {
      control = [panel_ valueForKey:nsText(name)];
    } @catch (NSException* exception) {
      control = nil;
    }
    if (![control isKindOfClass:kind]) {
      throw std::runtime_error("the view has no control " + std::string(name) + " of that kind");
    }
    return control;
  }
  ::NSPopUpButton* popUpNamed(std::string_view name) const { return outlet(name, [::NSPopUpButton class]); }
  ::NSButton* boxNamed(std::string_view name) const { return outlet(name, [::NSButton class]); }
  ::NSSlider* sliderNamed(std::string_view name) const { return outlet(name, [::NSSlider class]); }
  ::NSTextField* fieldNamed(std::string_view name) const { return outlet(name, [::NSTextField class]); }
  // `control` when a person can work it, else nil.
  static id enabled(::NSControl* control) { return [control isEnabled] ? control : nil; }

  ZarvikPDEPanel* panel_;
  NSWindow* window_;
  std::set<std::string> pending_;
};

}  // namespace

void pumpEvents(double seconds) {
  // A date already past takes what is waiting without waiting for more.
  NSDate* until = seconds > 0 ? [NSDate dateWithTimeIntervalSinceNow:seconds] : [NSDate distantPast];
  while (NSEvent* event = [NSApp nextEventMatchingMask:NSAnyEventMask
                                             untilDate:until
                                                inMode:NSDefaultRunLoopMode
                                               dequeue:YES]) {
    [NSApp sendEvent:event];
  }
}

AppKitPanelPlatform::AppKitPanelPlatform(const std::string& path)
    : bundle_([[::NSBundle alloc] initWithPath:nsText(path)]), principal_(nil) {
  Class principalClass = [bundle_ principalClass];
  if (principalClass == Nil) throw std::runtime_error("the bundle at " + path + " gives no principal class");
  principal_ = [[principalClass alloc] init];
  if (![principal_ initWithBundle:bundle_]) throw std::runtime_error("the principal class refused its bundle");
}

AppKitPanelPlatform::~AppKitPanelPlatform() {
  [principal_ release];
  [bundle_ release];
}

std::unique_ptr<DrivenPanel> AppKitPanelPlatform::build(std::shared_ptr<PDEPluginCallback> host) {
  ZarvikTestHost* hostObject = [[[ZarvikTestHost alloc] initWithHost:std::move(host)] autorelease];
  NSArray* panels = [principal_ PDEPanelsForType:nsText(kPrintDialogExtensionType) withHostInfo:hostObject];
  if ([panels count] != 1) return nullptr;
  return std::make_unique<AppKitDrivenPanel>([panels objectAtIndex:0], hostObject);
}

AppKitDrivenPanel::AppKitDrivenPanel(ZarvikPDEPanel* panel, ZarvikTestHost* host)
    : panel_([panel retain]), host_([host retain]) {}

AppKitDrivenPanel::~AppKitDrivenPanel() {
  driver_.reset();
  [window_ orderOut:nil];
  [window_ release];
  [panel_ release];
  [host_ release];
  pumpEvents(0);
}

const ZarvikPDE& AppKitDrivenPanel::core() const { return *static_cast<const ZarvikPDE*>([panel_ corePanel]); }

ViewDriver* AppKitDrivenPanel::loadView() {
  if (driver_) return driver_.get();
  ::NSView* view = [panel_ panelView];
  if (view == nil) return nullptr;
  window_ = [[NSWindow alloc] initWithContentRect:[view frame]
                                        styleMask:NSTitledWindowMask
                                          backing:NSBackingStoreBuffered
                                            defer:NO];
  [window_ setReleasedWhenClosed:NO];
  [[window_ contentView] addSubview:view];
  [window_ makeKeyAndOrderFront:nil];
  pumpEvents();
  driver_ = std::make_unique<AppKitViewDriver>(panel_, window_);
  return driver_.get();
}

void AppKitDrivenPanel::willShow() { [panel_ willShow]; }

void AppKitDrivenPanel::restore() { [panel_ restoreValuesAndReturnError:NULL]; }

void AppKitDrivenPanel::optionDidChange(const std::string& option, const std::string& choice) {
  [panel_ PPDOptionKeyValueDidChange:nsText(option) ppdChoice:nsText(choice)];
}

}  // namespace zarvik::testing
