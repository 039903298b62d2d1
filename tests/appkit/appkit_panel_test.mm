// The panel on AppKit (GNUstep here) as a print dialog meets it: the bundle loaded by path with NSBundle, its view in a
// window worked as a person does, against the libcups host; the agreement property runs over it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <stdexcept>

#include "host/cups_ppd_host.h"
#include "platform/appkit/zarvik_pde_panel.h"
#include "support/panel_agreement.h"
#include "support/ppd_files.h"

// The dialog's callback object over a C++ host.
@interface ZarvikTestHost : NSObject <PDEPlugInCallbackProtocol> {
 @public
  std::shared_ptr<zarvik::PDEPluginCallback> host_;
  BOOL raises_;  // answers with an exception, as a faulty dialog might
}
@end

@implementation ZarvikTestHost
- (BOOL)willChangePPDOptionKeyValue:(NSString*)option ppdChoice:(NSString*)choice {
  if (raises_) [NSException raise:NSInternalInconsistencyException format:@"refused %@", option];
  return host_->willChangePPDOptionKeyValue([option UTF8String], [choice UTF8String]);
}
- (ppd_file_t*)ppdFile { return host_->ppdFile(); }
#ifndef __APPLE__  // Apple's dialog hands over its own print settings object, which this host does not make
- (zarvik::PMPrintSettings*)printSettings { return host_->printSettings(); }
#endif
@end

namespace zarvik::testing {
namespace {

std::vector<std::string> logged;  // the panel's log lines

NSString* nsText(std::string_view text) { return [NSString stringWithUTF8String:std::string(text).c_str()]; }

// Hands AppKit the events waiting now or due within `seconds`; true, as a driver answers for a control that took input.
bool pumpEvents(double seconds = 0) {
  NSDate* until = seconds > 0 ? [NSDate dateWithTimeIntervalSinceNow:seconds] : [NSDate distantPast];
  while (NSEvent* event = [NSApp nextEventMatchingMask:NSAnyEventMask untilDate:until inMode:NSDefaultRunLoopMode
                                               dequeue:YES])
    [NSApp sendEvent:event];
  return true;
}

// The panel through the protocol's messages, its view in a window whose controls it works through AppKit's own calls.
class AppKitDrivenPanel final : public DrivenPanel, public ViewDriver {
 public:
  AppKitDrivenPanel(ZarvikPDEPanel* panel, ZarvikTestHost* host) : panel_([panel retain]), host_([host retain]) {}
  // The window goes with what it shows: the events still due to it are handed out before it is freed.
  ~AppKitDrivenPanel() override {
    [window_ makeFirstResponder:nil];
    [window_ orderOut:nil];
    pumpEvents();
    [window_ release];
    [panel_ release];
    [host_ release];
  }

  const ZarvikPDE& core() const override { return *static_cast<const ZarvikPDE*>([panel_ corePanel]); }
  ViewDriver* loadView() override {
    ::NSView* view = [panel_ panelView];
    if (window_ != nil || view == nil) return window_ != nil ? this : nullptr;
    window_ = [[NSWindow alloc] initWithContentRect:[view frame] styleMask:NSTitledWindowMask
                                            backing:NSBackingStoreBuffered defer:NO];
    [window_ setReleasedWhenClosed:NO];
    [[window_ contentView] addSubview:view];
    [window_ makeKeyAndOrderFront:nil];
    pumpEvents(0.05);
    return this;
  }
  void willShow() override { [panel_ willShow]; }
  void restore() override { [panel_ restoreValuesAndReturnError:NULL]; }
  void optionDidChange(const std::string& option, const std::string& choice) override {
    [panel_ PPDOptionKeyValueDidChange:nsText(option) ppdChoice:nsText(choice)];
  }

  bool pickItem(std::string_view name, int index) override {
    ::NSPopUpButton* popUp = enabled(outlet(name, [::NSPopUpButton class]));
    if (popUp == nil || index < 0 || index >= [popUp numberOfItems]) return false;
    [[popUp menu] performActionForItemAtIndex:index];
    return pumpEvents();
  }
  bool clickCheckBox(std::string_view name) override {
    // performClick: without the tenth of a second GNUstep shows it pressed.
    ::NSButton* box = enabled(outlet(name, [::NSButton class]));
    [box setNextState];
    return box != nil && send(box);
  }
  bool moveSlider(std::string_view name, double value) override {
    ::NSSlider* slider = enabled(outlet(name, [::NSSlider class]));
    [slider setDoubleValue:std::clamp(value, [slider minValue], [slider maxValue])];  // the handle stays on the track
    return slider != nil && send(slider);
  }
  bool typeText(std::string_view name, std::string_view typed, bool commit) override {
    ::NSTextField* field = enabled(outlet(name, [::NSTextField class]));
    if (field == nil || ![field isEditable]) return false;
    // After Return the field keeps the focus; else the person clicks into it.
    if ([field currentEditor] == nil && ![window_ makeFirstResponder:field]) return false;
    NSText* editor = [field currentEditor];
    [editor selectAll:nil];
    [editor insertText:nsText(typed)];
    if (commit) [editor insertNewline:nil];
    pending_.erase(std::string(name));
    if (!commit) pending_.insert(std::string(name));
    return pumpEvents();
  }

  int itemCount(std::string_view name) const override { return [outlet(name, [::NSPopUpButton class]) numberOfItems]; }
  std::optional<std::string> shownKeyword(std::string_view name) const override {
    id object = [[outlet(name, [::NSPopUpButton class]) selectedItem] representedObject];
    if (![object isKindOfClass:[NSData class]]) return std::nullopt;
    return std::string(static_cast<const char*>([object bytes]), [object length]);
  }
  int state(std::string_view name) const override { return [outlet(name, [::NSButton class]) state]; }
  double sliderValue(std::string_view name) const override { return [outlet(name, [::NSSlider class]) doubleValue]; }
  double sliderMinimum(std::string_view name) const override { return [outlet(name, [::NSSlider class]) minValue]; }
  double sliderMaximum(std::string_view name) const override { return [outlet(name, [::NSSlider class]) maxValue]; }
  std::string text(std::string_view name) const override {
    // While an edit is open the person sees the field editor's text.
    id field = outlet(name, [::NSTextField class]);
    return [([field currentEditor] != nil ? [[field currentEditor] string] : [field stringValue]) UTF8String];
  }
  bool isEnabled(std::string_view name) const override { return [outlet(name, [::NSControl class]) isEnabled]; }
  bool hasPendingEdit(std::string_view name) const override {
    return pending_.count(std::string(name)) > 0 && [outlet(name, [::NSTextField class]) currentEditor] != nil;
  }

  ZarvikPDEPanel* panel_;
  ZarvikTestHost* host_;

 private:
  // The panel's outlet `name`, read by key as from a nib's owner (no templates: g++ loses Objective-C messages there).
  id outlet(std::string_view name, Class kind) const {
    id control = [panel_ valueForKey:nsText(name)];
    if (![control isKindOfClass:kind]) throw std::runtime_error("the view has no control " + std::string(name));
    return control;
  }
  static id enabled(::NSControl* control) { return [control isEnabled] ? control : nil; }
  static bool send(::NSControl* control) {
    [NSApp sendAction:[control action] to:[control target] from:control];
    return pumpEvents();
  }

  NSWindow* window_ = nil;
  std::set<std::string> pending_;
};

// One bundle for the whole program, as a dialog loads a plug-in once.
class AppKitPanelPlatform final : public PanelPlatform {
 public:
  // As macOS 13 makes a principal class that conforms to PDEPlugIn: initWithBundle:, its one initialiser, gives the
  // instance back.
  AppKitPanelPlatform() : bundle([[::NSBundle alloc] initWithPath:nsText(ZARVIK_APPKIT_BUNDLE_DIR)]) {
    Class principalClass = [bundle principalClass];
    if (![principalClass conformsToProtocol:@protocol(PDEPlugIn)]) throw std::runtime_error("no PDEPlugIn class");
    principal = [[principalClass alloc] initWithBundle:bundle];
    if (principal == nil) throw std::runtime_error("the principal class refused its bundle");
  }
  std::string name() const override { return "AppKit"; }
  std::unique_ptr<DrivenPanel> build(std::shared_ptr<PDEPluginCallback> host) override {
    ZarvikTestHost* object = [[[ZarvikTestHost alloc] init] autorelease];
    object->host_ = std::move(host);
    NSArray* panels = [principal PDEPanelsForType:nsText(kPrintDialogExtensionType) withHostInfo:object];
    return [panels count] == 1 ? std::make_unique<AppKitDrivenPanel>([panels objectAtIndex:0], object) : nullptr;
  }

  ~AppKitPanelPlatform() override {
    [principal release];
    [bundle release];
  }

  ::NSBundle* bundle;
  id<PDEPlugIn> principal;
};

AppKitPanelPlatform& platform() { static AppKitPanelPlatform loaded; return loaded; }

TEST(AppKitPanelAgreementTest, TheAppKitViewShowsWhatTheJobCarriesAfterEveryStep) {
  // Fewer than on Qt: GNUstep takes a tenth of a second to read each nib.
  std::optional<std::string> failure = runAgreement(platform(), 100);
  EXPECT_FALSE(failure.has_value()) << failure.value_or("");
}

// A panel that goes takes its view and controls along (run under Valgrind as appkit_teardown): nothing but the test
// holds the host or a control afterwards, and the control's action finds no panel to reach.
TEST(AppKitTeardownTest, APanelThatGoesFreesItsViewAndItsControlsSendNothing) {
  auto opened = host::CupsPpdHost::openFile(samplePpdPath());
  ASSERT_TRUE(opened.ok());
  ZarvikTestHost* host = nil;
  ::NSSlider* slider = nil;
  ENTER_POOL
  std::unique_ptr<DrivenPanel> built = platform().build(opened.take());
  auto* panel = static_cast<AppKitDrivenPanel*>(built.get());
  if (panel != nullptr && panel->loadView() != nullptr) {
    panel->willShow();
    host = [panel->host_ retain];
    slider = [[panel->panel_ valueForKey:@"rSpeedSlider"] retain];
  }
  built.reset();
  LEAVE_POOL
  ASSERT_NE(slider, nil);
  [slider setDoubleValue:[slider maxValue]];
  [NSApp sendAction:[slider action] to:[slider target] from:slider];
  pumpEvents();
  EXPECT_EQ([slider retainCount], 1u);
  EXPECT_EQ([host retainCount], 1u);
  [slider release];
  [host release];
}

// A panel on a PPD with some texts in UTF-8, shown and drawn; ctest names the language in ZARVIK_EXPECTED_LANGUAGE. An
// item the pop-up lacks selects none; a host's exception goes no further than the panel.
TEST(AppKitPanelTest, ThePanelShowsItselfInTheChosenLanguageAndStopsWhatItCannotShowOrTake) {
  auto opened = host::CupsPpdHost::openFile(testPpdPath("utf8-texts.ppd"));
  ASSERT_TRUE(opened.ok());
  std::unique_ptr<DrivenPanel> panel = platform().build(opened.take());
  ViewDriver* view = panel ? panel->loadView() : nullptr;
  ASSERT_NE(view, nullptr);
  panel->restore();
  panel->willShow();
  ZarvikPDEPanel* objc = static_cast<AppKitDrivenPanel*>(panel.get())->panel_;
  const char* language = std::getenv("ZARVIK_EXPECTED_LANGUAGE");
  const bool german = language != nullptr && std::string(language) == "de";
  EXPECT_STREQ([[[objc valueForKey:@"autoFocusCheckBox"] title] UTF8String], german ? "Autofokus" : "Auto focus");
  // GNUstep updates pop-up titles and slider handles when the window draws.
  [[[objc panelView] window] display];
  pumpEvents(0.05);
  // The dialog's summary names the job type the person picked, in the PPD's UTF-8.
  view->pickItem("jobTypePopup", 1);
  EXPECT_STREQ([[[objc summaryInfo] objectForKey:[objc panelName]] UTF8String], "Größe – Schneiden");
  panel->core().jobTypePopup->selectItemAtIndex(7);
  EXPECT_EQ(view->shownKeyword("jobTypePopup"), std::nullopt);

  // An exception from the host stops at the control's action, logged once; the number stays.
  const NSInteger speed = panel->core().rSpeed;
  static_cast<AppKitDrivenPanel*>(panel.get())->host_->raises_ = YES;
  view->typeText("rSpeedTextBox", std::to_string(speed + 1), true);
  EXPECT_EQ(panel->core().rSpeed, speed);
  EXPECT_EQ(std::ranges::count_if(logged, [](auto& line) { return line.find("stopped controlAction: at") != line.npos; }),
            1);
}

}  // namespace
}  // namespace zarvik::testing

int main(int argc, char** argv) {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
#ifdef GNUSTEP
  // The panel's log lines, through NSLog, are kept for the tests rather than burying the results.
  _NSLog_printf_handler = [](NSString* line) { zarvik::testing::logged.push_back([line UTF8String]); };
#endif
  [NSApplication sharedApplication];
  // An Objective-C exception ends the program with its name, its reason and the agreement sequence that raised it.
  // gtest would report it as an unknown one, and g++ cannot catch it by type in Objective-C++; uncaught, GNUstep would
  // wait on a modal error panel nobody under xvfb-run closes. --gtest_catch_exceptions=1 catches again.
  ::testing::GTEST_FLAG(catch_exceptions) = false;
  NSSetUncaughtExceptionHandler([](NSException* exception) {
    std::fprintf(stderr, "Uncaught %s: %s\n%s\n", [[exception name] UTF8String], [[exception reason] UTF8String],
                 zarvik::testing::agreementSequenceUnderway().c_str());
    std::abort();
  });
  ::testing::InitGoogleTest(&argc, argv);
  int result = RUN_ALL_TESTS();
  [pool release];
  return result;
}
