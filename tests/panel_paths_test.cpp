// The panel's paths that need no view and what the agreement run cannot see: the principal class, identity and help,
// and what each path logs.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "panel/zarvik_pde.h"
#include "plugin/zarvik_pde_plugin.h"
#include "support/files.h"
#include "support/german_locale.h"
#include "support/log_capture.h"
#include "support/memory_toolkit.h"
#include "support/ppd_files.h"
#include "support/recording_host.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace zarvik::testing {
namespace {

using Lines = std::vector<std::string>;
const std::string kKind(kPanelKind);

std::string choiceLine(const std::string& choice, long type) {
  return "A new user choice has been selected\nThe choice is: " + choice + "\n The type is: " + std::to_string(type);
}

// A printer's PPD as a host opens it (defaults marked), the recording host over it, the log, help, and a bundle with a
// help book whose view description gives nothing.
class PanelPathsTest : public ::testing::Test {
 protected:
  PanelPathsTest() {
    bundle->hasNib = false;
    bundle->info = {{"CFBundleHelpBookName", "ZarvikPDEHelp"}};
    registerBundleForClass(kPanelClassName, bundle);
  }
  ~PanelPathsTest() override {
    panel.reset();
    registerBundleForClass(kPanelClassName, nullptr);
  }

  ZarvikPDE& build(const std::string& ppdText = readFile(samplePpdPath())) {
    ppd = std::make_unique<TemporaryPpd>(ppdText);
    if (marksDefaults) ppdMarkDefaults(ppd->get());
    host = std::make_shared<RecordingHost>(ppd->get());
    if (script) script(*host);
    panel = ZarvikPDE::initWithCallback(host);
    if (!panel) throw std::runtime_error("no panel");
    return *panel;
  }
  void forget() {
    host->calls.clear();
    host->settings.writes.clear();
    log.clear();
  }

  LogCapture log;
  MemoryHelpManager help;
  std::shared_ptr<MemoryBundle> bundle = std::make_shared<MemoryBundle>();
  std::unique_ptr<TemporaryPpd> ppd;
  std::shared_ptr<RecordingHost> host;
  std::shared_ptr<ZarvikPDE> panel;
  std::function<void(RecordingHost&)> script;  // sets the host up before the panel is built
  bool marksDefaults = true;                   // as a host opening the PPD does
};

// The principal class builds one panel per request for the print dialog type (another type gets an empty list) and
// only for a host it can bind.
TEST_F(PanelPathsTest, ThePrincipalClassHandsOutOnePanelPerRequestToAHostItCanBind) {
  ppd = std::make_unique<TemporaryPpd>(readFile(samplePpdPath()));
  host = std::make_shared<RecordingHost>(ppd->get());
  ZarvikPDEPlugIn principal;
  EXPECT_TRUE(principal.initWithBundle(nullptr));
  std::optional<PDEPanelList> first = principal.PDEPanelsForType(kPrintDialogExtensionType, host);
  std::optional<PDEPanelList> second = principal.PDEPanelsForType(kPrintDialogExtensionType, host);
  ASSERT_TRUE(first && second);
  ASSERT_EQ(first->size(), 1u);
  EXPECT_NE(first->front(), second->front());
  EXPECT_EQ(first->front().use_count(), 1);
  std::optional<PDEPanelList> other = principal.PDEPanelsForType("org.example.other", host);
  EXPECT_TRUE(other && other->empty());

  // Hosts that cannot have a panel get no list at all; only the host too old to mark choices is told why, and it is
  // never asked for its PPD.
  auto oldHost = std::make_shared<RecordingHost>(ppd->get());
  oldHost->respondsToWillChange = false;
  log.clear();
  EXPECT_FALSE(principal.PDEPanelsForType(kPrintDialogExtensionType, oldHost));
  EXPECT_FALSE(principal.PDEPanelsForType(kPrintDialogExtensionType, nullptr));
  EXPECT_FALSE(principal.PDEPanelsForType(kPrintDialogExtensionType, std::make_shared<RecordingHost>(nullptr)));
  EXPECT_EQ(log.lines, Lines(2, "This version of the Zarvik PDE does not run properly on 10.4 or earlier!"));
  EXPECT_EQ(oldHost->ppdFileCalls, 0);
  EXPECT_EQ(oldHost.use_count(), 1);
  for (const char* option : kRequiredPpdOptions) {  // without any one of them, no panel
    TemporaryPpd without(sampleWithoutOption(option));
    EXPECT_FALSE(principal.PDEPanelsForType(kPrintDialogExtensionType, std::make_shared<RecordingHost>(without.get())))
        << "no " << option;
  }
}

// Identity, view and help of a built panel.
TEST_F(PanelPathsTest, APanelAnswersItsIdentityAndHelpAndTriesItsViewUntilOneLoads) {
  ZarvikPDE& p = build();
  EXPECT_EQ(p.panelName(), "Zarvik Settings");
  EXPECT_EQ(p.panelKind(), "org.zarvikpde.print.pde.zarvikKind");
  EXPECT_TRUE(p.shouldHide());
  EXPECT_EQ(p.panelView(), nullptr);
  EXPECT_EQ(p.panelView(), nullptr);
  EXPECT_EQ(bundle->nibLoads, 2);

  EXPECT_FALSE(p.shouldShowHelp());
  EXPECT_EQ(help.opened, (std::vector<std::pair<std::string, std::string>>{{"AppleTitle", "ZarvikPDEHelp"}}));

  // A book that could not be registered is left to the host's own help.
  help.registers = false;
  EXPECT_TRUE(build().shouldShowHelp());
  EXPECT_EQ(help.opened.size(), 1u);
  EXPECT_TRUE(log.contains("Zarvik PDE got an error registering its help book!"));
}

// Restoring builds the model again in order; saving hands nothing on: every change was handed on
// as it was made.
TEST_F(PanelPathsTest, RestoringLogsEachStepInOrderAndSavingHandsNothingOn) {
  ZarvikPDE& p = build();
  forget();
  NSError error{"untouched"};
  EXPECT_TRUE(p.restoreValuesAndReturnError(&error));
  // The defaults first, then the stored values (none here), then each control from what the PPD has marked.
  auto at = [&](const std::string& line) { return std::ranges::find(log.lines, line) - log.lines.begin(); };
  EXPECT_EQ(at("Entering restoreValuesAndReturnError"), 0);
  EXPECT_LT(at("Entering setDefaults"), at("Unable to get " + kKind + ".resolution"));
  EXPECT_LT(at("Unable to get " + kKind + ".resolution"), at("The current vector sorting choice is: Optimize"));
  EXPECT_EQ(log.lines.back(), "The current resolution choice is: Custom\nText: Custom Resolution");
  forget();
  EXPECT_TRUE(p.saveValuesAndReturnError(&error));
  EXPECT_EQ(log.lines, Lines{"Entering saveValuesAndReturnError"});
  EXPECT_TRUE(host->calls.empty() && host->settings.writes.empty());
  EXPECT_EQ(error.localizedDescription, "untouched");
}

// Stored values are read as C reads them in any locale (a number object by its value, saturated) and not written back;
// a text is logged as data, escaped.
TEST_F(PanelPathsTest, StoredValuesAreReadWithAPointInAGermanLocaleAndLoggedAsData) {
  GermanLocale german;
  ZarvikPDE& p = build();
  host->settings.values = {{kKind + ".materialThickness", std::string("1.5\nSaved 9 to x")},
                           {kKind + ".rasterSpeed", 37.9},
                           {kKind + ".vectorPower", 1e30}};
  forget();
  p.getNonPPDSettingsFromPrintSettings();
  EXPECT_TRUE(log.contains("PMPrintSettingsGetValue got: 1.5\\nSaved 9 to x"));
  EXPECT_EQ(p.oMaterialThickness, 1.5f);
  EXPECT_EQ(p.vPower, 2147483647);
  EXPECT_TRUE(host->settings.writes.empty());

  // A write is not locked, so that the dialog can still change it.
  p.writeNonPPDSettingToPrintSettings(kKind + ".vectorFreq", "9");
  ASSERT_EQ(host->settings.writes.size(), 1u);
  EXPECT_FALSE(host->settings.writes[0].locked);
}

// A custom value read that fails says which step failed.
TEST_F(PanelPathsTest, AFailedCustomValueReadLogsTheFailingStep) {
  ZarvikPDE& p = build();
  const std::tuple<const char*, const char*, bool, const char*> reads[] = {
      {"JobType", "x", false, "Unable to find the custom option: JobType."},
      {"cResolution", "dpi", false, "Unable to find the custom param: dpi."},
      {"materialThickness", "thickness", false, "The type is incorrect for: materialThickness - thickness: 6."},
      {"cResolution", "cRes", true, "The type is incorrect for: cResolution - cRes: 1."},
  };
  for (const auto& [option, param, real, line] : reads) {
    EXPECT_EQ(real ? p.getPPDCustomFloatOpt(option, param) : p.getPPDCustomIntOpt(option, param), -1) << option;
    EXPECT_EQ(log.lines.back(), line) << option;
  }
}

// The pick-one choices: a code that names none is logged (the agreement run holds the field each code names), and the
// job type is summarised with the PPD's text.
TEST_F(PanelPathsTest, ChoicesAreRecordedByCodeAndSummarisedWithThePpdsText) {
  ZarvikPDE& p = build();
  // Each unknown code is logged, as "%d" writes it.
  for (auto [code, shown] : {std::pair(5L, "5"), std::pair(4294967296L, "0")}) {
    log.clear();
    p.setNewUserChoice(std::string("X"), code);
    EXPECT_EQ(log.lines, (Lines{choiceLine("X", code),
                                std::string("Zarvik PDE got an unhandled type in setNewUserChoice! ") + shown}));
  }
  p.setNewUserChoice(p.jobTypeChoice, 0);  // its own string
  EXPECT_EQ(p.jobTypeChoice, "Combined");

  p.setNewUserChoice(std::string("Raster"), 0);
  EXPECT_EQ(p.summaryInfo(), (std::map<std::string, std::string>{{"Zarvik Settings", "Raster Only"}}));
}

// A slider or a box of the memory toolkit as the person left it; as() lets it stand where an action takes its sender.
template <class Sender>
Sender& as(Sender&& sender) {
  return sender;
}
MemorySlider number(float value) {
  MemorySlider slider;
  slider.value = value;
  return slider;
}
MemoryButton box(NSInteger state) {
  MemoryButton box;
  box.state_ = state;
  return box;
}

// A person's change, before any view is loaded: offered to the host first, "Custom" before the value, and the numeric
// ones written to the print settings whatever the host answered; a value that is no number is dropped.
TEST_F(PanelPathsTest, APersonsChangeIsOfferedToTheHostFirstAndLoggedAsAnswered) {
  struct Change {
    const char* name;
    std::function<void(ZarvikPDE&)> act;
    std::string refused;  // the request the host refuses, as "key=choice"
    Lines requests;
    Lines lines;
  };
  const Change changes[] = {
      {"slider at 49.99",
       [](ZarvikPDE& p) { p.requestNewRSpeed(as(number(49.99f))); },
       "",
       {"rasterSpeed=Custom", "CustomrasterSpeed=49"},
       {"Saved 49 to " + kKind + ".rasterSpeed"}},
      {"3e9 saturates",
       [](ZarvikPDE& p) { p.requestNewVFreq(as(number(3e9f))); },
       "",
       {"vectorFreq=Custom", "CustomvectorFreq=2147483647"},
       {"Saved 2147483647 to " + kKind + ".vectorFreq"}},
      {"NaN is no number",
       [](ZarvikPDE& p) { p.requestNewVSpeed(as(number(std::numeric_limits<float>::quiet_NaN()))); },
       "",
       {},
       {}},
      {"an infinite decimal",
       [](ZarvikPDE& p) { p.requestNewMaterialThickness(as(number(std::numeric_limits<float>::infinity()))); },
       "",
       {},
       {}},
      {"refused Custom",
       [](ZarvikPDE& p) { p.requestNewVPower(as(number(30))); },
       "vectorPower=Custom",
       {"vectorPower=Custom"},
       {"We were unsuccessful in updating vectorPower!", "Saved 50 to " + kKind + ".vectorPower"}},
      {"refused value",
       [](ZarvikPDE& p) { p.requestNewRSpeed(as(number(30))); },
       "CustomrasterSpeed=30",
       {"rasterSpeed=Custom", "CustomrasterSpeed=30"},
       {"We were unsuccessful in changing the CustomrasterSpeed", "Saved 50 to " + kKind + ".rasterSpeed"}},
      {"past the last resolution step", [](ZarvikPDE& p) { p.requestNewResolution(as(number(7))); }, "", {}, {}},
      {"box in state 2",
       [](ZarvikPDE& p) { p.requestNewVPowerComp(as(box(2))); },
       "",
       {"vectorPowerComp=disabled"},
       {"We have made a new choice for vectorPowerComp: disabled!"}},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.name);
    ZarvikPDE& p = build();
    host->decide = [&](std::string_view key, std::string_view choice) {
      return std::string(key) + "=" + std::string(choice) != change.refused;
    };
    forget();
    change.act(p);
    EXPECT_EQ(host->requests(), change.requests);
    EXPECT_EQ(log.lines, change.lines);
  }

  // With nothing marked (a host that marks no choice, not even the defaults), a refused value falls back to the PPD's
  // default before the first choice listed.
  marksDefaults = false;
  script = [](RecordingHost& h) {
    h.marksPpd = false;
    h.decide = [](std::string_view key, auto) { return key != "CustomrasterSpeed"; };
  };
  build().requestNewRSpeed(as(number(30)));
  EXPECT_EQ(host->requests().back(), "rasterSpeed=100");
}

}  // namespace
}  // namespace zarvik::testing
