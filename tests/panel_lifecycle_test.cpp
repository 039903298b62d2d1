// The panel object: construction and binding to the host's PPD, what it owns
// and lets go of, its identity, view and help, and showing and hiding.
#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/panel_fixture.h"

namespace zarvik::testing {
namespace {

constexpr char kTooOld[] = "This version of the Zarvik PDE does not run properly on 10.4 or earlier!";
constexpr char kHelpFailed[] = "Zarvik PDE got an error registering its help book!";

class PanelLifecycleTest : public PanelTest {
 protected:
  // How often the journal holds `entry`.
  static std::size_t countOf(const Journal& journal, const std::string& entry) {
    return static_cast<std::size_t>(std::count(journal.begin(), journal.end(), entry));
  }
};

TEST_F(PanelLifecycleTest, ConstructionBindsTheThirteenOptionsByKeyword) {
  ZarvikPDE& p = makePanel();
  EXPECT_EQ(p.ppd, ppdFile.get());
  EXPECT_EQ(host->ppdFileCalls, 1);
  const std::pair<ppd_option_t* ZarvikPDE::*, std::string> handles[] = {
      {&ZarvikPDE::jobTypeOption, "JobType"},
      {&ZarvikPDE::centerEngravingOption, "CenterEngraving"},
      {&ZarvikPDE::rasterPowerOption, "rasterPower"},
      {&ZarvikPDE::rasterSpeedOption, "rasterSpeed"},
      {&ZarvikPDE::engraveDirOption, "EngravingDirection"},
      {&ZarvikPDE::ditheringOption, "dithering"},
      {&ZarvikPDE::vectorSpeedOption, "vectorSpeed"},
      {&ZarvikPDE::vectorPowerOption, "vectorPower"},
      {&ZarvikPDE::vectorFreqOption, "vectorFreq"},
      {&ZarvikPDE::vectorSortingOption, "vectorSort"},
      {&ZarvikPDE::vectorSpeedCompOption, "vectorSpeedComp"},
      {&ZarvikPDE::vectorPowerCompOption, "vectorPowerComp"},
      {&ZarvikPDE::resolutionOption, "cResolution"},
  };
  for (const auto& [field, keyword] : handles) {
    ppd_option_t* option = p.*field;
    ASSERT_NE(option, nullptr) << keyword;
    EXPECT_EQ(std::string(option->keyword), keyword);
  }
  EXPECT_FALSE(p.popUpIsInited);
  EXPECT_EQ(p.zarvikView, nullptr);
  EXPECT_FALSE(p.thePDEName.has_value());
  EXPECT_EQ(p.vectorSortingChoice, std::nullopt);
  EXPECT_EQ(p.resolutionSliderValues,
            (std::array<std::string, 7>{"75", "150", "200", "300", "400", "600", "1200"}));
}

// Defaults first, then the values kept in the print settings, then the help
// books; the stored values win over the defaults.
TEST_F(PanelLifecycleTest, ConstructionAppliesDefaultsThenStoredValuesThenRegistersHelp) {
  auto seeded = std::make_shared<RecordingHost>(ppdFile.get());
  seeded->settings.values[key(".rasterPower")] = std::string("70");
  seeded->settings.values[key(".resolution")] = std::string("300");
  help.registers = false;
  std::shared_ptr<ZarvikPDE> p = ZarvikPDE::initWithCallback(seeded);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->rPower, 70);
  EXPECT_EQ(p->resolution, 300);
  EXPECT_EQ(p->resolutionIndex, 3);
  EXPECT_EQ(p->jobTypeChoice, "Combined");
  EXPECT_EQ(markedChoice(ppdFile.get(), "rasterPower"), "Custom");

  auto at = [&](const std::string& line) {
    return std::find(log.lines.begin(), log.lines.end(), line) - log.lines.begin();
  };
  ASSERT_FALSE(log.lines.empty());
  EXPECT_LT(at("Entering setDefaults"), at("Entering getNonPPDSettingsFromPrintSettings"));
  EXPECT_EQ(log.lines.back(), kHelpFailed);
  EXPECT_EQ(log.count(kHelpFailed), 1u);
  EXPECT_EQ(help.registrations, 1);
  // The defaults' marks come before the stored values are marked again.
  std::vector<std::string> requests = seeded->requests();
  ASSERT_GE(requests.size(), 2u);
  EXPECT_EQ(requests.front(), "cResolution=Custom");
  EXPECT_EQ(requests.back(), "CustomvectorSpeed=50");
  EXPECT_NE(std::find(requests.begin(), requests.end(), "CustomrasterPower=70"), requests.end());
  EXPECT_LT(std::find(requests.begin(), requests.end(), "CustomrasterPower=50"),
            std::find(requests.begin(), requests.end(), "CustomrasterPower=70"));
  EXPECT_EQ(p->getPPDCustomIntOpt("rasterPower", "rPower"), 70);
}

TEST_F(PanelLifecycleTest, HelpRegistrationIsQuietWhenItSucceeds) {
  makePanel();
  EXPECT_EQ(help.registrations, 1);
  EXPECT_EQ(log.count(kHelpFailed), 0u);
}

// Construction does not depend on the host accepting the defaults' marks.
TEST_F(PanelLifecycleTest, HostThatRefusesEveryMarkStillGetsAPanel) {
  auto refusing = std::make_shared<RecordingHost>(ppdFile.get());
  refusing->decide = [](std::string_view, std::string_view) { return false; };
  std::shared_ptr<ZarvikPDE> p = ZarvikPDE::initWithCallback(refusing);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->rPower, 50);
  EXPECT_EQ(p->resolution, 600);
  EXPECT_EQ(markedChoice(ppdFile.get(), "rasterPower"), "");
  EXPECT_EQ(log.count("Failed to set custom raster power"), 2u);
}

TEST_F(PanelLifecycleTest, HostsThatCannotBindGetNoPanelAndOnlyTheTooOldHostIsTold) {
  {
    SCOPED_TRACE("no callback object");
    EXPECT_EQ(ZarvikPDE::initWithCallback(nullptr), nullptr);
    EXPECT_EQ(log.lines, std::vector<std::string>{kTooOld});
  }
  {
    SCOPED_TRACE("host without willChangePPDOptionKeyValue");
    log.clear();
    auto old = std::make_shared<RecordingHost>(ppdFile.get());
    old->respondsToWillChange = false;
    EXPECT_EQ(ZarvikPDE::initWithCallback(old), nullptr);
    EXPECT_EQ(log.lines, std::vector<std::string>{kTooOld});
    EXPECT_EQ(old->ppdFileCalls, 0);
    EXPECT_EQ(old->printSettingsCalls, 0);
    EXPECT_TRUE(old->calls.empty());
  }
  {
    SCOPED_TRACE("printer without a PPD");
    log.clear();
    auto none = std::make_shared<RecordingHost>(nullptr);
    EXPECT_EQ(ZarvikPDE::initWithCallback(none), nullptr);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(none->ppdFileCalls, 1);
    EXPECT_EQ(none->printSettingsCalls, 0);
  }
  {
    SCOPED_TRACE("PPD without cResolution");
    log.clear();
    TemporaryPpd lacking(sampleWithoutOption("cResolution"));
    auto lackingHost = std::make_shared<RecordingHost>(lacking.get());
    EXPECT_EQ(ZarvikPDE::initWithCallback(lackingHost), nullptr);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_TRUE(lackingHost->calls.empty());
  }
  EXPECT_EQ(help.registrations, 0);
}

TEST_F(PanelLifecycleTest, PpdWithOnlyTheThirteenOptionsGetsAPanel) {
  ppdFile = openPpd(testPpdPath("no-optional-options.ppd"));
  ASSERT_NE(ppdFile, nullptr);
  ZarvikPDE& p = makePanel();
  EXPECT_EQ(p.resolution, 600);
  EXPECT_EQ(log.count(kHelpFailed), 0u);
  showPanel();
  log.clear();
  EXPECT_TRUE(p.restoreValuesAndReturnError(nullptr));
  for (const std::string& line : log.lines) {
    EXPECT_FALSE(line.starts_with("The current Auto Focus") || line.starts_with("The current Vector Grid") ||
                 line.starts_with("The current Direct Print"))
        << line;
  }
}

// The panel holds the host's callback object and its bundle for its life and
// lets go of each once: at destruction, or at once when it cannot bind.
TEST_F(PanelLifecycleTest, CallbackAndBundleAreHeldForThePanelsLifeAndReleasedOnce) {
  const long bundleBase = bundle.use_count();  // the fixture and the registry
  {
    SCOPED_TRACE("bound panel");
    auto callback = std::make_shared<RecordingHost>(ppdFile.get());
    std::weak_ptr<RecordingHost> watched = callback;
    std::shared_ptr<ZarvikPDE> p = ZarvikPDE::initWithCallback(callback);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->pdeBundle, bundle);
    EXPECT_EQ(callback.use_count(), 2);
    EXPECT_EQ(bundle.use_count(), bundleBase + 1);
    p->panelView();
    p->willShow();
    p->panelName();
    callback.reset();
    EXPECT_FALSE(watched.expired()) << "the panel must keep the host alive";
    p.reset();
    EXPECT_TRUE(watched.expired());
    EXPECT_EQ(bundle.use_count(), bundleBase);
  }

  struct Failing {
    const char* why;
    std::function<std::shared_ptr<RecordingHost>()> host;
  };
  TemporaryPpd lacking(sampleWithoutOption("vectorSort"));
  const Failing failing[] = {
      {"too old",
       [&] {
         auto h = std::make_shared<RecordingHost>(ppdFile.get());
         h->respondsToWillChange = false;
         return h;
       }},
      {"no PPD", [] { return std::make_shared<RecordingHost>(nullptr); }},
      {"missing option", [&] { return std::make_shared<RecordingHost>(lacking.get()); }},
  };
  for (const Failing& f : failing) {
    SCOPED_TRACE(f.why);
    std::shared_ptr<RecordingHost> callback = f.host();
    EXPECT_EQ(ZarvikPDE::initWithCallback(callback), nullptr);
    EXPECT_EQ(callback.use_count(), 1);
    EXPECT_EQ(bundle.use_count(), bundleBase);
  }
}

// Without a registered bundle a panel still binds; it has no view, its
// title is the key, and it leaves help to the host.
TEST_F(PanelLifecycleTest, PanelWithoutABundleWorksOnTheModelAlone) {
  // Only the bundle registered for the panel's own class is the panel's.
  auto otherBundle = std::make_shared<MemoryBundle>();
  registerBundleForClass("ZarvikPDEPlugIn", otherBundle);
  registerBundleForClass(kPanelClassName, nullptr);
  EXPECT_EQ(bundleForClass("ZarvikPDEPlugIn"), otherBundle);
  ZarvikPDE& p = makePanel();
  registerBundleForClass("ZarvikPDEPlugIn", nullptr);
  EXPECT_EQ(p.pdeBundle, nullptr);
  EXPECT_EQ(log.count(kHelpFailed), 1u);
  EXPECT_EQ(p.panelView(), nullptr);
  EXPECT_EQ(p.panelName(), "Zarvik Settings");
  EXPECT_TRUE(p.shouldShowHelp());
  EXPECT_TRUE(help.opened.empty());
  p.willShow();
  std::optional<std::map<std::string, std::string>> summary = p.summaryInfo();
  ASSERT_TRUE(summary.has_value());
  EXPECT_EQ(*summary, (std::map<std::string, std::string>{{"Zarvik Settings", "Raster and Vector"}}));
}

TEST_F(PanelLifecycleTest, BundleIsLookedUpByTheExactClassName) {
  auto replacement = std::make_shared<MemoryBundle>();
  EXPECT_EQ(bundleForClass("ZarvikPDE"), bundle);
  EXPECT_EQ(bundleForClass("zarvikpde"), nullptr);
  EXPECT_EQ(bundleForClass("ZarvikPDE "), nullptr);
  registerBundleForClass(kPanelClassName, replacement);
  ZarvikPDE& p = makePanel();
  EXPECT_EQ(p.pdeBundle, replacement);
  EXPECT_NE(p.panelView(), nullptr);
  EXPECT_EQ(replacement->nibLoads, 1);
  EXPECT_EQ(bundle->nibLoads, 0);
}

// Until the platform installs a help manager, registering help fails and
// opening help does nothing.
TEST_F(PanelLifecycleTest, DefaultHelpManagerRegistersAndOpensNothing) {
  NSHelpManager* installed = NSHelpManager::setShared(nullptr);
  EXPECT_EQ(installed, &help);
  bundle->info["CFBundleHelpBookName"] = "Zarvik Help";
  ZarvikPDE& p = makePanel();
  // Registering failed, so the panel cannot open its book: the host shows
  // its own help.
  EXPECT_TRUE(p.shouldShowHelp());
  EXPECT_EQ(NSHelpManager::setShared(installed), nullptr);
  EXPECT_EQ(log.count(kHelpFailed), 1u);
  EXPECT_EQ(help.registrations, 0);
  EXPECT_TRUE(help.opened.empty());
}

TEST_F(PanelLifecycleTest, PanelViewLoadsTheNibOnceAndAnswersTheSameView) {
  ZarvikPDE& p = makePanel();
  const std::size_t requestsBefore = host->calls.size();
  NSView* first = p.panelView();
  ASSERT_NE(first, nullptr);
  NSView* second = p.panelView();
  EXPECT_EQ(first, second);
  EXPECT_EQ(bundle->nibLoads, 1);
  EXPECT_EQ(first->nativeView(), static_cast<void*>(bundle->loadedView));
  // Loading sends no action: nothing reaches the host.
  EXPECT_EQ(host->calls.size(), requestsBefore);
}

TEST_F(PanelLifecycleTest, PanelViewTriesAgainWhileTheNibGivesNoView) {
  bundle->hasNib = false;
  ZarvikPDE& p = makePanel();
  EXPECT_EQ(p.panelView(), nullptr);
  EXPECT_EQ(p.panelView(), nullptr);
  EXPECT_EQ(bundle->nibLoads, 2);
  // The model works without a view.
  p.willShow();
  EXPECT_TRUE(p.restoreValuesAndReturnError(nullptr));

  bundle->hasNib = true;
  NSView* view = p.panelView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(bundle->nibLoads, 3);
  EXPECT_EQ(p.panelView(), view);
  EXPECT_EQ(bundle->nibLoads, 3);
}

// Every outlet of the view description reaches its field, and every
// control's action reaches the operation of its own setting.
TEST_F(PanelLifecycleTest, LoadingTheViewConnectsEveryOutletAndAction) {
  ZarvikPDE& p = makePanel();
  MemoryView& view = showPanel();

  const std::pair<Outlet<NSPopUpButton> ZarvikPDE::*, std::string> popups[] = {
      {&ZarvikPDE::jobTypePopup, "jobTypePopup"},
      {&ZarvikPDE::centerEngravingPopup, "centerEngravingPopup"},
      {&ZarvikPDE::ditheringPopup, "ditheringPopup"},
      {&ZarvikPDE::engravingDirectionPopup, "engravingDirectionPopup"},
      {&ZarvikPDE::vSortingPopup, "vSortingPopup"},
  };
  for (const auto& [field, name] : popups) {
    EXPECT_EQ((p.*field).get(), static_cast<NSPopUpButton*>(&view.popup(name))) << name;
  }
  const std::pair<Outlet<NSButton> ZarvikPDE::*, std::string> boxes[] = {
      {&ZarvikPDE::directPrintCheckBox, "directPrintCheckBox"},
      {&ZarvikPDE::autoFocusCheckBox, "autoFocusCheckBox"},
      {&ZarvikPDE::vectorGridCheckBox, "vectorGridCheckBox"},
      {&ZarvikPDE::vSpeedCompCheckBox, "vSpeedCompCheckBox"},
      {&ZarvikPDE::vPowerCompCheckBox, "vPowerCompCheckBox"},
  };
  for (const auto& [field, name] : boxes) {
    EXPECT_EQ((p.*field).get(), static_cast<NSButton*>(&view.checkBox(name))) << name;
  }
  const std::pair<Outlet<NSSlider> ZarvikPDE::*, std::string> sliders[] = {
      {&ZarvikPDE::rPowerSlider, "rPowerSlider"}, {&ZarvikPDE::rSpeedSlider, "rSpeedSlider"},
      {&ZarvikPDE::vSpeedSlider, "vSpeedSlider"}, {&ZarvikPDE::vPowerSlider, "vPowerSlider"},
      {&ZarvikPDE::vFreqSlider, "vFreqSlider"},   {&ZarvikPDE::resolutionSlider, "resolutionSlider"},
  };
  for (const auto& [field, name] : sliders) {
    EXPECT_EQ((p.*field).get(), static_cast<NSSlider*>(&view.slider(name))) << name;
  }
  const std::pair<Outlet<NSTextField> ZarvikPDE::*, std::string> fields[] = {
      {&ZarvikPDE::materialTextBox, "materialTextBox"}, {&ZarvikPDE::materialText, "materialText"},
      {&ZarvikPDE::rPowerTextBox, "rPowerTextBox"},     {&ZarvikPDE::rSpeedTextBox, "rSpeedTextBox"},
      {&ZarvikPDE::vSpeedTextBox, "vSpeedTextBox"},     {&ZarvikPDE::vPowerTextBox, "vPowerTextBox"},
      {&ZarvikPDE::vFreqTextBox, "vFreqTextBox"},       {&ZarvikPDE::resolutionTextBox, "resolutionTextBox"},
  };
  for (const auto& [field, name] : fields) {
    EXPECT_EQ((p.*field).get(), static_cast<NSTextField*>(&view.textField(name))) << name;
  }

  // What a person's change of each control first asks of the host.
  struct Acting {
    std::string control;
    std::function<bool()> act;
    std::string firstRequest;
  };
  const Acting acting[] = {
      {"jobTypePopup", [&] { return view.popup("jobTypePopup").userSelects(0); }, "JobType=Raster"},
      {"centerEngravingPopup", [&] { return view.popup("centerEngravingPopup").userSelects(1); },
       "CenterEngraving=Horizontal"},
      {"ditheringPopup", [&] { return view.popup("ditheringPopup").userSelects(0); }, "dithering=Threshold"},
      {"engravingDirectionPopup", [&] { return view.popup("engravingDirectionPopup").userSelects(1); },
       "EngravingDirection=BottomUp"},
      {"vSortingPopup", [&] { return view.popup("vSortingPopup").userSelects(2); }, "vectorSort=InsideOut"},
      {"directPrintCheckBox", [&] { return view.checkBox("directPrintCheckBox").userClicks(); },
       "directPrint=enabled"},
      {"autoFocusCheckBox", [&] { return view.checkBox("autoFocusCheckBox").userClicks(); }, "autoFocus=enabled"},
      {"vectorGridCheckBox", [&] { return view.checkBox("vectorGridCheckBox").userClicks(); },
       "vectorGrid=enabled"},
      {"vSpeedCompCheckBox", [&] { return view.checkBox("vSpeedCompCheckBox").userClicks(); },
       "vectorSpeedComp=enabled"},
      {"vPowerCompCheckBox", [&] { return view.checkBox("vPowerCompCheckBox").userClicks(); },
       "vectorPowerComp=disabled"},
      {"materialTextBox", [&] { return view.textField("materialTextBox").userTypes(2.5f); },
       "materialThickness=Custom"},
      {"rPowerSlider", [&] { return view.slider("rPowerSlider").userMoves(11); }, "rasterPower=Custom"},
      {"rPowerTextBox", [&] { return view.textField("rPowerTextBox").userTypes(12); }, "rasterPower=Custom"},
      {"rSpeedSlider", [&] { return view.slider("rSpeedSlider").userMoves(13); }, "rasterSpeed=Custom"},
      {"rSpeedTextBox", [&] { return view.textField("rSpeedTextBox").userTypes(14); }, "rasterSpeed=Custom"},
      {"vSpeedSlider", [&] { return view.slider("vSpeedSlider").userMoves(15); }, "vectorSpeed=Custom"},
      {"vSpeedTextBox", [&] { return view.textField("vSpeedTextBox").userTypes(16); }, "vectorSpeed=Custom"},
      {"vPowerSlider", [&] { return view.slider("vPowerSlider").userMoves(17); }, "vectorPower=Custom"},
      {"vPowerTextBox", [&] { return view.textField("vPowerTextBox").userTypes(18); }, "vectorPower=Custom"},
      {"vFreqSlider", [&] { return view.slider("vFreqSlider").userMoves(19); }, "vectorFreq=Custom"},
      {"vFreqTextBox", [&] { return view.textField("vFreqTextBox").userTypes(20); }, "vectorFreq=Custom"},
      {"resolutionSlider", [&] { return view.slider("resolutionSlider").userMoves(3); }, "cResolution=Custom"},
  };
  for (const Acting& a : acting) {
    SCOPED_TRACE(a.control);
    host->calls.clear();
    ASSERT_TRUE(a.act()) << "control disabled";
    std::vector<std::string> requests = host->requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front(), a.firstRequest);
  }
  EXPECT_EQ(p.rPower, 12);
  EXPECT_EQ(p.rSpeed, 14);
  EXPECT_EQ(p.vSpeed, 16);
  EXPECT_EQ(p.vPower, 18);
  EXPECT_EQ(p.vFreq, 20);
  EXPECT_EQ(p.resolution, 300);
  EXPECT_EQ(p.oMaterialThickness, 2.5f);
  // The two labels send nothing.
  EXPECT_FALSE(view.textField("materialText").action.has_value());
  EXPECT_FALSE(view.textField("resolutionTextBox").action.has_value());
}

// A view description that offers the panel outlets and actions it does not
// have: the panel takes only its own, by name and kind.
class ProbingBundle final : public NSBundle {
 public:
  bool loadNibNamed(std::string_view, NibOwner& owner) override {
    MemoryView scratch;
    MemorySlider slider("probe", scratch.journal);
    MemoryPopUpButton popup("probe", scratch.journal);
    connected = {
        owner.connectOutlet("rPowerSlider", static_cast<NSSlider*>(&slider)),
        owner.connectOutlet("rPowerSlider", static_cast<NSPopUpButton*>(&popup)),
        owner.connectOutlet("jobTypePopup", static_cast<NSSlider*>(&slider)),
        owner.connectOutlet("noSuchSlider", static_cast<NSSlider*>(&slider)),
        owner.connectOutlet("", static_cast<NSSlider*>(&slider)),
    };
    for (const char* name : {"requestNewRPower", "requestNewrpower", "requestNewRPower:", "updateUI",
                             "restoreValuesAndReturnError", ""}) {
      named.push_back(owner.actionNamed(name).has_value());
    }
    for (const char* name : {"requestNewJobType", "requestNewCenterEngraving", "requestNewDirectPrint",
                             "requestNewAutoFocus", "requestNewVectorGrid", "requestNewMaterialThickness",
                             "requestNewRSpeed", "requestNewRPower", "requestNewEngraveDir", "requestNewDithering",
                             "requestNewVSpeed", "requestNewVPower", "requestNewVFreq", "requestNewVSorting",
                             "requestNewVSpeedComp", "requestNewVPowerComp", "requestNewResolution"}) {
      if (!owner.actionNamed(name)) missingActions.push_back(name);
    }
    // Leave no outlet pointing at the scratch controls.
    owner.connectOutlet("rPowerSlider", static_cast<NSSlider*>(nullptr));
    return true;
  }
  std::string localizedStringForKey(std::string_view key, std::optional<std::string_view>,
                                    std::optional<std::string_view>) const override {
    return std::string(key);
  }
  std::optional<std::string> objectForInfoDictionaryKey(std::string_view) const override { return std::nullopt; }

  std::vector<bool> connected;
  std::vector<bool> named;
  std::vector<std::string> missingActions;
};

TEST_F(PanelLifecycleTest, PanelTakesOnlyItsOwnOutletsAndActions) {
  auto probing = std::make_shared<ProbingBundle>();
  ScopedPanelBundle probe(probing);
  ZarvikPDE& p = makePanel();
  EXPECT_EQ(p.panelView(), nullptr) << "the probe sets no view";
  EXPECT_EQ(probing->connected, (std::vector<bool>{true, false, false, false, false}));
  EXPECT_EQ(probing->named, (std::vector<bool>{true, false, false, false, false, false}));
  EXPECT_TRUE(probing->missingActions.empty()) << ::testing::PrintToString(probing->missingActions);
  EXPECT_FALSE(p.rPowerSlider.isConnected());
}

TEST_F(PanelLifecycleTest, PanelNameIsLookedUpOncePerPanel) {
  bundle->strings["Zarvik Settings"] = "Réglages Zarvik";
  ZarvikPDE& p = makePanel();
  EXPECT_EQ(bundle->localizedLookups, 0);
  EXPECT_EQ(p.panelName(), "Réglages Zarvik");
  bundle->strings["Zarvik Settings"] = "Zarvik-Einstellungen";
  EXPECT_EQ(p.panelName(), "Réglages Zarvik");
  EXPECT_EQ(bundle->localizedLookups, 1);

  // A panel made later looks it up for itself; without an entry the title
  // is the key.
  std::shared_ptr<ZarvikPDE> other = ZarvikPDE::initWithCallback(host);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other->panelName(), "Zarvik-Einstellungen");
  bundle->strings.clear();
  std::shared_ptr<ZarvikPDE> third = ZarvikPDE::initWithCallback(host);
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(third->panelName(), "Zarvik Settings");
}

TEST_F(PanelLifecycleTest, PanelKindIsOurReverseDnsNameAndPrefixesTheStoredValues) {
  auto seeded = std::make_shared<RecordingHost>(ppdFile.get());
  std::shared_ptr<ZarvikPDE> first = ZarvikPDE::initWithCallback(seeded);
  ASSERT_NE(first, nullptr);
  const std::string kind = first->panelKind();
  const std::string suffix = ".print.pde.zarvikKind";
  ASSERT_GT(kind.size(), suffix.size());
  EXPECT_TRUE(kind.ends_with(suffix)) << kind;
  // Reverse DNS: at least a top-level and a second-level label before the suffix.
  std::string domain = kind.substr(0, kind.size() - suffix.size());
  auto dot = domain.find('.');
  ASSERT_NE(dot, std::string::npos) << kind;
  EXPECT_GT(dot, 0u);
  EXPECT_LT(dot + 1, domain.size());
  EXPECT_TRUE(std::all_of(domain.begin(), domain.end(),
                          [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-'; }))
      << kind;
  EXPECT_EQ(first->panelKind(), kind);

  // The seven values the print settings hold are read under the kind.
  seeded->settings.values = {
      {kind + ".materialThickness", std::string("3.5")}, {kind + ".rasterSpeed", std::string("11")},
      {kind + ".rasterPower", std::string("12")},        {kind + ".vectorPower", std::string("13")},
      {kind + ".vectorSpeed", std::string("14")},        {kind + ".vectorFreq", std::string("15")},
      {kind + ".resolution", std::string("1200")},
  };
  std::shared_ptr<ZarvikPDE> second = ZarvikPDE::initWithCallback(seeded);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->panelKind(), kind);
  EXPECT_EQ(second->oMaterialThickness, 3.5f);
  EXPECT_EQ(second->rSpeed, 11);
  EXPECT_EQ(second->rPower, 12);
  EXPECT_EQ(second->vPower, 13);
  EXPECT_EQ(second->vSpeed, 14);
  EXPECT_EQ(second->vFreq, 15);
  EXPECT_EQ(second->resolution, 1200);
  EXPECT_EQ(log.count("Unable to get " + kind + ".rasterPower"), 1u) << "only the first panel lacked it";

  // And a person's change is written under it.
  second->panelView();
  second->willShow();
  seeded->settings.writes.clear();
  bundle->loadedView->slider("vFreqSlider").userMoves(40);
  ASSERT_EQ(seeded->settings.writes.size(), 1u);
  EXPECT_EQ(seeded->settings.writes[0].key, kind + ".vectorFreq");
  EXPECT_EQ(seeded->settings.writes[0].value, "40");
}

TEST_F(PanelLifecycleTest, SupportedOptionKeysAreTheEighteenInOrder) {
  ZarvikPDE& p = makePanel();
  const std::vector<std::string> expected = {
      "JobType",      "CenterEngraving", "rasterSpeed",     "rasterPower",       "EngravingDirection",
      "dithering",    "vectorSpeed",     "vectorPower",     "vectorFreq",        "vectorSort",
      "vectorSpeedComp", "vectorPowerComp", "cResolution", "CustomvectorPower", "autoFocus",
      "directPrint",  "vectorGrid",      "materialThickness"};
  std::vector<std::string> keys = p.supportedPPDOptionKeys();
  ASSERT_EQ(keys.size(), 18u);
  EXPECT_EQ(keys[13], "CustomvectorPower");
  EXPECT_EQ(keys, expected);
  // Each call answers a list of its own.
  keys.clear();
  EXPECT_EQ(p.supportedPPDOptionKeys(), expected);
}

TEST_F(PanelLifecycleTest, ShouldShowHelpOpensTheBundlesHelpBookItself) {
  ZarvikPDE& p = makePanel();
  EXPECT_TRUE(p.shouldShowHelp()) << "no help book: the host shows its own help";
  EXPECT_TRUE(help.opened.empty());

  bundle->info["CFBundleHelpBookName"] = "Zarvik Help";
  EXPECT_FALSE(p.shouldShowHelp());
  EXPECT_FALSE(p.shouldShowHelp());
  using Opened = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(help.opened, (Opened{{"AppleTitle", "Zarvik Help"}, {"AppleTitle", "Zarvik Help"}}));
}

TEST_F(PanelLifecycleTest, ShouldHideAnswersYesAtAnyTimeAndChangesNothing) {
  ZarvikPDE& p = makePanel();
  log.clear();
  host->calls.clear();
  EXPECT_TRUE(p.shouldHide());
  MemoryView& view = showPanel();
  Journal before = view.journal;
  EXPECT_TRUE(p.shouldHide());
  EXPECT_TRUE(p.shouldHide());
  EXPECT_EQ(view.journal, before);
  EXPECT_TRUE(log.lines.empty());
  EXPECT_TRUE(host->calls.empty());
  EXPECT_TRUE(p.popUpIsInited);
}

// The pop-up buttons are filled on the first show only; every show
// refreshes the controls from the model.
TEST_F(PanelLifecycleTest, WillShowFillsThePopupsOnceAndRefreshesEveryTime) {
  ZarvikPDE& p = makePanel();
  ASSERT_NE(p.panelView(), nullptr);
  MemoryView& view = *bundle->loadedView;
  EXPECT_TRUE(view.journal.empty()) << "loading alone fills and refreshes nothing";

  p.willShow();
  p.willShow();
  EXPECT_TRUE(p.popUpIsInited);
  for (const char* popup :
       {"jobTypePopup", "centerEngravingPopup", "ditheringPopup", "engravingDirectionPopup", "vSortingPopup"}) {
    EXPECT_EQ(countOf(view.journal, std::string(popup) + ".removeAllItems()"), 1u) << popup;
  }
  EXPECT_EQ(view.popup("jobTypePopup").titles(),
            (std::vector<std::string>{"Raster Only", "Vector Only", "Raster and Vector"}));
  EXPECT_EQ(countOf(view.journal, "jobTypePopup.selectItemAtIndex(2)"), 2u);
  EXPECT_EQ(countOf(view.journal, "rPowerSlider.setFloatValue(50.000000)"), 2u);
  EXPECT_EQ(countOf(view.journal, "resolutionTextBox.setFloatValue(600.000000)"), 2u);
  EXPECT_EQ(countOf(view.journal, "resolutionSlider.setFloatValue(5.000000)"), 2u);
  EXPECT_EQ(view.popup("vSortingPopup").selectedObject(), std::nullopt)
      << "vector sorting has no default choice field";

  // A change the host reports shows at the next show.
  p.PPDOptionKeyValueDidChange("JobType", "Vector");
  EXPECT_EQ(view.popup("jobTypePopup").selectedObject(), "Combined");
  p.willShow();
  EXPECT_EQ(view.popup("jobTypePopup").selectedObject(), "Vector");
  EXPECT_EQ(view.popup("jobTypePopup").items.size(), 3u);
}

}  // namespace
}  // namespace zarvik::testing
