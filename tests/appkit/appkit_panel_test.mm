// The panel on AppKit (GNUstep here), as a print dialog meets it: the bundle
// loaded by path with NSBundle, panels from its principal class, the view in
// a window, the controls worked as a person works them against a real PPD
// marked by the libcups host.
#include "appkit_panel_platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "host/cups_ppd_host.h"
#include "host/job_options.h"
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
  std::string job(const std::string& option) const {
    auto options = host::jobOptionsFromMarks(host->ppdFile()).options;
    return options.count(option) ? options[option] : "";
  }
  std::string setting(const std::string& suffix) const {
    auto& values = host->dialogSettings().values();
    auto found = values.find(ZarvikPDE::printSettingsKey(suffix));
    return found == values.end() ? "" : found->second;
  }

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
  AgreementResult result = runAgreement(platform(), agreementRunFromEnvironment(200));
  std::printf("agreement on %s: %ld sequences, %ld steps, %d broke the rule\n", platform().name().c_str(),
              result.sequences, result.steps, result.failure ? 1 : 0);
  EXPECT_FALSE(result.failure.has_value()) << result.failure.value_or("");
}

// One person's change per row, and what the view, the panel, the PPD's
// marks and the print settings hold afterwards.
struct Change {
  const char* what;
  std::function<bool(ViewDriver&)> act;
  std::function<void(const AppKitPanelTest&, const ZarvikPDE&, ViewDriver&)> check;
};

TEST_F(AppKitPanelTest, APersonsChangeOnEveryKindOfControlReachesThePpdAndTheView) {
  const Change changes[] = {
      {"a pop-up item", [](ViewDriver& v) { return v.pickItem("jobTypePopup", 1); },
       [](const AppKitPanelTest& t, const ZarvikPDE& p, ViewDriver& v) {
         EXPECT_EQ(v.shownKeyword("jobTypePopup"), "Vector");
         EXPECT_EQ(p.jobTypeChoice, "Vector");
         EXPECT_EQ(t.job(kJobType), "Vector");
       }},
      {"a check box", [](ViewDriver& v) { return v.clickCheckBox("vSpeedCompCheckBox"); },
       [](const AppKitPanelTest& t, const ZarvikPDE& p, ViewDriver& v) {
         EXPECT_EQ(v.state("vSpeedCompCheckBox"), 1);
         EXPECT_EQ(p.vSpeedComp, 1);
         EXPECT_EQ(t.job(kVectorSpeedComp), "enabled");
       }},
      {"a slider let go between positions", [](ViewDriver& v) { return v.moveSlider("rSpeedSlider", 37.4); },
       [](const AppKitPanelTest& t, const ZarvikPDE& p, ViewDriver& v) {
         EXPECT_EQ(v.sliderValue("rSpeedSlider"), 37);
         EXPECT_EQ(v.text("rSpeedTextBox"), "37");
         EXPECT_EQ(p.rSpeed, 37);
         EXPECT_EQ(t.job(kRasterSpeed), "Custom.37");
         EXPECT_EQ(t.setting(kRasterSpeedSuffix), "37");
       }},
      {"a slider beyond its end", [](ViewDriver& v) { return v.moveSlider("vFreqSlider", 1e9); },
       [](const AppKitPanelTest& t, const ZarvikPDE& p, ViewDriver& v) {
         EXPECT_EQ(v.sliderMaximum("vFreqSlider"), 5000);
         EXPECT_EQ(p.vFreq, 5000);
         EXPECT_EQ(t.job(kVectorFreq), "Custom.5000");
       }},
      {"the resolution's steps", [](ViewDriver& v) { return v.moveSlider("resolutionSlider", 2); },
       [](const AppKitPanelTest& t, const ZarvikPDE& p, ViewDriver& v) {
         EXPECT_EQ(v.text("resolutionTextBox"), "200");
         EXPECT_EQ(p.resolution, 200);
         EXPECT_EQ(t.job(kResolution), "Custom.200");
       }},
      {"a number typed and entered", [](ViewDriver& v) { return v.typeText("vPowerTextBox", "81", true); },
       [](const AppKitPanelTest& t, const ZarvikPDE& p, ViewDriver& v) {
         EXPECT_EQ(v.sliderValue("vPowerSlider"), 81);
         EXPECT_EQ(p.vPower, 81);
         EXPECT_EQ(t.job(kVectorPower), "Custom.81");
         EXPECT_FALSE(v.hasPendingEdit("vPowerTextBox"));
       }},
      {"a number outside the field's range", [](ViewDriver& v) { return v.typeText("rPowerTextBox", "500", true); },
       [](const AppKitPanelTest&, const ZarvikPDE& p, ViewDriver& v) {
         EXPECT_EQ(v.text("rPowerTextBox"), "50");
         EXPECT_EQ(p.rPower, 50);
       }},
      {"a number left pending", [](ViewDriver& v) { return v.typeText("rPowerTextBox", "7", false); },
       [](const AppKitPanelTest&, const ZarvikPDE& p, ViewDriver& v) {
         EXPECT_TRUE(v.hasPendingEdit("rPowerTextBox"));
         EXPECT_EQ(v.text("rPowerTextBox"), "7");
         EXPECT_EQ(p.rPower, 50);
       }},
      {"a pending number ended by the next field",
       [](ViewDriver& v) { return v.typeText("vSpeedTextBox", "12", true); },
       [](const AppKitPanelTest& t, const ZarvikPDE& p, ViewDriver&) {
         EXPECT_EQ(p.rPower, 7);
         EXPECT_EQ(t.job(kRasterPower), "Custom.7");
         EXPECT_EQ(p.vSpeed, 12);
       }},
      {"auto focus on, then a decimal thickness",
       [](ViewDriver& v) { return v.clickCheckBox("autoFocusCheckBox") && v.typeText("materialTextBox", "2.5", true); },
       [](const AppKitPanelTest& t, const ZarvikPDE& p, ViewDriver& v) {
         EXPECT_TRUE(v.isEnabled("vectorGridCheckBox"));
         EXPECT_EQ(p.oMaterialThickness, 2.5f);
         EXPECT_EQ(t.job(kMaterialThickness), "Custom.2.5");
       }},
      {"a pending thickness, then auto focus off",
       [](ViewDriver& v) { return v.typeText("materialTextBox", "3", false) && v.clickCheckBox("autoFocusCheckBox"); },
       [](const AppKitPanelTest&, const ZarvikPDE& p, ViewDriver& v) {
         EXPECT_FALSE(v.isEnabled("materialTextBox"));
         EXPECT_FALSE(v.hasPendingEdit("materialTextBox"));
         EXPECT_EQ(v.text("materialTextBox"), "2.5");
         EXPECT_EQ(p.oMaterialThickness, 2.5f);
         EXPECT_EQ(p.oAutoFocus, 0);
       }},
      {"a disabled control", [](ViewDriver& v) { return !v.clickCheckBox("vectorGridCheckBox"); },
       [](const AppKitPanelTest&, const ZarvikPDE& p, ViewDriver& v) {
         EXPECT_EQ(v.state("vectorGridCheckBox"), 0);
         EXPECT_EQ(p.oVectorGrid, 0);
       }},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    ASSERT_TRUE(change.act(*view));
    change.check(*this, core(), *view);
  }
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
