// The panel on AppKit (GNUstep here), as a print dialog meets it: the bundle
// loaded by path with NSBundle, panels from its principal class, the view in
// a window, the controls worked as a person works them against a real PPD
// marked by the libcups host.
#include "appkit_panel_platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "host/cups_ppd_host.h"
#include "panel/option_table.h"
#include "support/panel_agreement.h"
#include "support/ppd_files.h"

namespace zarvik::testing {
namespace {

// One bundle and principal class for the whole program, as a dialog loads
// a plug-in once.
AppKitPanelPlatform& platform() {
  static AppKitPanelPlatform loaded;
  return loaded;
}

class AppKitPanelTest : public ::testing::Test {
 public:
  // A panel on the sample PPD, its view loaded, restored and shown in the
  // order of a print dialog.
  void SetUp() override {
    auto opened = host::CupsPpdHost::openFile(samplePpdPath());
    ASSERT_TRUE(opened.ok()) << opened.error();
    host = opened.take();
    panel = platform().build(host);
    ASSERT_NE(panel, nullptr);
    view = panel->loadView();
    ASSERT_NE(view, nullptr);
    panel->restore();
    panel->willShow();
  }

  const ZarvikPDE& core() const { return panel->core(); }
  int requests() const { return [static_cast<AppKitDrivenPanel&>(*panel).host() requests]; }
  std::shared_ptr<host::CupsPpdHost> host;
  std::unique_ptr<DrivenPanel> panel;
  ViewDriver* view = nullptr;
};

TEST_F(AppKitPanelTest, TheBundleLoadsByPathWithOurPrincipalClassAndGivesPanelsOfItsTypeOnly) {
  ::NSBundle* bundle = platform().bundle();
  EXPECT_STREQ([NSStringFromClass([bundle principalClass]) UTF8String], "ZarvikPDEPlugIn");
  EXPECT_TRUE([[bundle executablePath] hasSuffix:@"ZarvikPDE"]);
  EXPECT_NE([bundle pathForResource:@"ZarvikPDE" ofType:@"xib"], nil);
  EXPECT_EQ([[platform().principal() PDEPanelsForType:@"another type" withHostInfo:nil] count], 0u);

  ZarvikPDEPanel* objc = static_cast<AppKitDrivenPanel&>(*panel).panel();
  EXPECT_EQ([objc corePanel], static_cast<const PDEPanel*>(&core()));
  EXPECT_STREQ([[objc panelKind] UTF8String], std::string(kPanelKind).c_str());
  EXPECT_EQ([[objc supportedPPDOptionKeys] count], core().supportedPPDOptionKeys().size());
  EXPECT_NE([objc summaryInfo], nil);
  // The texts follow the language: ZARVIK_EXPECTED_LANGUAGE names the one
  // ctest chose with LANG.
  const char* language = std::getenv("ZARVIK_EXPECTED_LANGUAGE");
  bool german = language != nullptr && std::string(language) == "de";
  EXPECT_STREQ([[objc panelName] UTF8String], german ? "Zarvik-Einstellungen" : "Zarvik Settings");
  EXPECT_STREQ([[[objc valueForKey:@"autoFocusCheckBox"] title] UTF8String], german ? "Autofokus" : "Auto focus");
}

TEST(AppKitPanelAgreementTest, TheAppKitViewShowsWhatTheJobCarriesAfterEveryStep) {
  // Fewer sequences than on Qt: GNUstep takes a tenth of a second to read
  // the nib for each panel.
  AgreementResult result = runAgreement(platform(), agreementRunFromEnvironment(100));
  std::printf("agreement on %s: %ld sequences, %ld steps, %d broke the rule\n", platform().name().c_str(),
              result.sequences, result.steps, result.failure ? 1 : 0);
  EXPECT_FALSE(result.failure.has_value()) << result.failure.value_or("");
}

TEST_F(AppKitPanelTest, ValuesRangesStatesAndEnabledStatesSetFromCodeSendNothing) {
  const ZarvikPDE& p = core();
  int before = requests();
  p.rSpeedSlider->setMinValue(10.5);
  p.rSpeedSlider->setFloatValue(3);
  p.vPowerSlider->setMaxValue(40.5);
  p.vPowerCompCheckBox->setState(2);
  p.jobTypePopup->selectItemAtIndex(7);
  p.rSpeedSlider->setEnabled(false);
  p.rSpeedSlider->setEnabled(true);
  p.rSpeedTextBox->setFloatValue(0.25f);
  pumpEvents();
  EXPECT_EQ(requests(), before);
  EXPECT_EQ(view->sliderMinimum("rSpeedSlider"), 11);
  EXPECT_EQ(view->sliderValue("rSpeedSlider"), 11);
  EXPECT_EQ(view->sliderMaximum("vPowerSlider"), 40);
  EXPECT_EQ(view->sliderValue("vPowerSlider"), 40);
  // A box is ticked for state 1 only.
  EXPECT_EQ(view->state("vPowerCompCheckBox"), 0);
  EXPECT_EQ(view->shownKeyword("jobTypePopup"), std::nullopt);
  EXPECT_EQ(view->text("rSpeedTextBox"), "0.25");
}

// The panel as AppKit draws it; with ZARVIK_PANEL_SCREENSHOT set, saved
// there as PNG.
TEST_F(AppKitPanelTest, AppKitDrawsThePanel) {
  ::NSView* root = [static_cast<AppKitDrivenPanel&>(*panel).panel() panelView];
  // GNUstep brings pop-up titles and slider handles up to date when the
  // window draws; caching alone would draw them as they were first shown.
  [[root window] display];
  pumpEvents();
  NSBitmapImageRep* picture = [root bitmapImageRepForCachingDisplayInRect:[root bounds]];
  [root cacheDisplayInRect:[root bounds] toBitmapImageRep:picture];
  ASSERT_NE(picture, nil);
  EXPECT_EQ([picture pixelsWide], 760);
  // Something was drawn: not every pixel is the background's.
  ::NSColor* corner = [picture colorAtX:0 y:0];
  bool drawn = false;
  for (NSInteger y = 0; y < [picture pixelsHigh] && !drawn; y += 7) {
    for (NSInteger x = 0; x < [picture pixelsWide] && !drawn; x += 7) drawn = ![[picture colorAtX:x y:y] isEqual:corner];
  }
  EXPECT_TRUE(drawn);
  if (const char* file = std::getenv("ZARVIK_PANEL_SCREENSHOT")) {
    NSData* png = [picture representationUsingType:NSPNGFileType properties:[NSDictionary dictionary]];
    EXPECT_TRUE([png writeToFile:[NSString stringWithUTF8String:file] atomically:YES]);
  }
}

}  // namespace
}  // namespace zarvik::testing

#ifdef GNUSTEP
// The panel's log lines, through NSLog, would bury the results.
static void quiet(NSString*) {}
#endif

int main(int argc, char** argv) {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
#ifdef GNUSTEP
  if (std::getenv("ZARVIK_VERBOSE") == nullptr) _NSLog_printf_handler = quiet;
#endif
  [NSApplication sharedApplication];
  ::testing::InitGoogleTest(&argc, argv);
  int result = RUN_ALL_TESTS();
  [pool release];
  return result;
}
