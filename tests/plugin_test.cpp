// The principal class and its factory, driven as a print dialog host does:
// through pde_protocol.h, with a recording host bound to a real PPD.
#include "plugin/zarvik_pde_plugin.h"

#include <memory>
#include <string>
#include <vector>

#include "panel/ppd_lookup.h"
#include "support/panel_fixture.h"

namespace zarvik::testing {
namespace {

constexpr std::string_view kPanelType = "BDB091F4-E57F-11D3-B5CC-0050E4603277";

class PluginTest : public PanelTest {
 protected:
  std::optional<PDEPanelList> panelsFor(std::string_view type, ppd_file_t* ppd) {
    host = std::make_shared<RecordingHost>(ppd);
    return plugIn.PDEPanelsForType(type, host);
  }

  ZarvikPDEPlugIn plugIn;
};

TEST_F(PluginTest, InitWithBundleAnswersYesAndKeepsNothing) {
  auto someBundle = std::make_shared<MemoryBundle>();
  EXPECT_TRUE(plugIn.initWithBundle(someBundle));
  EXPECT_TRUE(plugIn.initWithBundle(nullptr));
  EXPECT_EQ(someBundle.use_count(), 1);
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(PluginTest, PanelTypeYieldsOnePanelBoundToTheHostsPpd) {
  std::optional<PDEPanelList> panels = panelsFor(kPanelType, ppdFile.get());
  ASSERT_TRUE(panels.has_value());
  ASSERT_EQ(panels->size(), 1u);
  // The list holds the only reference to the panel it hands out.
  EXPECT_EQ(panels->front().use_count(), 1);
  auto* panel = dynamic_cast<ZarvikPDE*>(panels->front().get());
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->ppd, ppdFile.get());
  EXPECT_EQ(panel->pdePluginCallbackObject, host);
  EXPECT_EQ(host->ppdFileCalls, 1);
  EXPECT_EQ(panels->front()->panelName(), "Zarvik Settings");
}

// The type is compared as one whole string: no case folding, no parsing.
TEST_F(PluginTest, AnyOtherTypeYieldsAnEmptyListAndTouchesNothing) {
  const std::string others[] = {
      "bdb091f4-e57f-11d3-b5cc-0050e4603277",    // same identifier, lower case
      "{BDB091F4-E57F-11D3-B5CC-0050E4603277}",  // braced
      "BDB091F4-E57F-11D3-B5CC-0050E4603277 ",   // trailing blank
      "BDB091F4E57F11D3B5CC0050E4603277",        // no dashes
      "BDB091F4-E57F-11D3-B5CC-0050E460327",     // one digit short
      std::string(kPanelType) + std::string(1, '\0'),
      "",
  };
  for (const std::string& type : others) {
    SCOPED_TRACE(::testing::PrintToString(type));
    std::optional<PDEPanelList> panels = panelsFor(type, ppdFile.get());
    ASSERT_TRUE(panels.has_value()) << "another type must give an empty list, not no list";
    EXPECT_TRUE(panels->empty());
    EXPECT_EQ(host->ppdFileCalls, 0);
    EXPECT_EQ(host.use_count(), 1);
  }
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(help.registrations, 0);
}

TEST_F(PluginTest, EachRequestCreatesANewPanel) {
  std::optional<PDEPanelList> first = panelsFor(kPanelType, ppdFile.get());
  std::optional<PDEPanelList> second = plugIn.PDEPanelsForType(kPanelType, host);
  ASSERT_TRUE(first && second);
  ASSERT_EQ(first->size(), 1u);
  ASSERT_EQ(second->size(), 1u);
  EXPECT_NE(first->front(), second->front());
  EXPECT_EQ(host->ppdFileCalls, 2);
  EXPECT_EQ(help.registrations, 2);
  // Both panels hold the host; each lets go of it with its list.
  EXPECT_EQ(host.use_count(), 3);
  first.reset();
  EXPECT_EQ(host.use_count(), 2);
  second.reset();
  EXPECT_EQ(host.use_count(), 1);
}

// No panel is "no list", distinct from the empty list of another type.
TEST_F(PluginTest, HostsThatCannotHaveAPanelGetNoList) {
  {
    SCOPED_TRACE("no callback object");
    log.clear();
    std::optional<PDEPanelList> panels = plugIn.PDEPanelsForType(kPanelType, nullptr);
    EXPECT_FALSE(panels.has_value());
    EXPECT_EQ(log.lines,
              std::vector<std::string>{"This version of the Zarvik PDE does not run properly on 10.4 or earlier!"});
  }
  {
    SCOPED_TRACE("host too old");
    log.clear();
    host = std::make_shared<RecordingHost>(ppdFile.get());
    host->respondsToWillChange = false;
    std::optional<PDEPanelList> panels = plugIn.PDEPanelsForType(kPanelType, host);
    EXPECT_FALSE(panels.has_value());
    EXPECT_EQ(host->ppdFileCalls, 0);
    EXPECT_EQ(log.lines,
              std::vector<std::string>{"This version of the Zarvik PDE does not run properly on 10.4 or earlier!"});
  }
  {
    SCOPED_TRACE("printer without a PPD");
    log.clear();
    std::optional<PDEPanelList> panels = panelsFor(kPanelType, nullptr);
    EXPECT_FALSE(panels.has_value());
    EXPECT_EQ(host->ppdFileCalls, 1);
    EXPECT_TRUE(log.lines.empty());
  }
  EXPECT_EQ(help.registrations, 0);
}

// A PPD that lacks any one of the thirteen options the panel binds to gets
// no list, and nothing is logged, asked or marked on the way.
class PluginMissingOptionTest : public PluginTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(PluginMissingOptionTest, PpdWithoutTheOptionGetsNoListSilently) {
  TemporaryPpd variant(sampleWithoutOption(GetParam()));
  ASSERT_NE(variant.get(), nullptr);
  ASSERT_EQ(ppd::findOption(variant.get(), GetParam()), nullptr) << "the variant still has the option";

  std::optional<PDEPanelList> panels = panelsFor(kPanelType, variant.get());
  EXPECT_FALSE(panels.has_value());
  EXPECT_TRUE(log.lines.empty());
  EXPECT_TRUE(host->calls.empty());
  EXPECT_EQ(host->ppdFileCalls, 1);
  EXPECT_EQ(host->printSettingsCalls, 0);
  EXPECT_EQ(help.registrations, 0);
  EXPECT_EQ(host.use_count(), 1);
}

INSTANTIATE_TEST_SUITE_P(RequiredOptions, PluginMissingOptionTest,
                         ::testing::Values("JobType", "CenterEngraving", "rasterPower", "rasterSpeed",
                                           "EngravingDirection", "dithering", "vectorSpeed", "vectorPower",
                                           "vectorFreq", "vectorSort", "vectorSpeedComp", "vectorPowerComp",
                                           "cResolution"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

// The four options without a handle are not required.
TEST_F(PluginTest, PpdWithoutTheOptionalOptionsGetsAPanel) {
  ScopedPpd ppd = openPpd(testPpdPath("no-optional-options.ppd"));
  ASSERT_NE(ppd, nullptr);
  std::optional<PDEPanelList> panels = panelsFor(kPanelType, ppd.get());
  ASSERT_TRUE(panels.has_value());
  ASSERT_EQ(panels->size(), 1u);
  for (const char* option : {"autoFocus", "directPrint", "vectorGrid", "materialThickness"}) {
    TemporaryPpd without(sampleWithoutOption(option));
    std::optional<PDEPanelList> more = panelsFor(kPanelType, without.get());
    ASSERT_TRUE(more.has_value()) << option;
    EXPECT_EQ(more->size(), 1u) << option;
  }
}

// A whole panel as a print dialog drives it: handed out by the factory,
// bound, restored and shown, worked by a person, saved, summarised, changed
// by the host, restored again when the dialog comes back, and let go of.
TEST_F(PluginTest, WholePanelFromFactoryToDestruction) {
  markDefaults(ppdFile.get());
  bundle->info["CFBundleHelpBookName"] = "Zarvik Help";
  const long bundleBase = bundle.use_count();
  ASSERT_TRUE(plugIn.initWithBundle(bundle));
  std::optional<PDEPanelList> panels = panelsFor(kPanelType, ppdFile.get());
  ASSERT_TRUE(panels.has_value());
  ASSERT_EQ(panels->size(), 1u);
  PDEPanel& pde = *panels->front();

  EXPECT_EQ(pde.panelName(), "Zarvik Settings");
  EXPECT_TRUE(pde.panelKind().ends_with(".print.pde.zarvikKind"));
  EXPECT_EQ(pde.supportedPPDOptionKeys().size(), 18u);
  NSView* view = pde.panelView();
  ASSERT_NE(view, nullptr);
  auto& v = *static_cast<MemoryView*>(view->nativeView());

  // The dialog restores the panel from the job before showing it.
  EXPECT_TRUE(pde.restoreValuesAndReturnError(nullptr));
  pde.willShow();
  EXPECT_EQ(v.popup("jobTypePopup").selectedObject(), "Combined");
  EXPECT_EQ(v.popup("vSortingPopup").selectedObject(), "Optimize");
  EXPECT_FALSE(v.textField("materialTextBox").enabled) << "auto focus is off by default";
  EXPECT_EQ(v.textField("materialText").color, NSColor::grayColor);
  EXPECT_EQ(v.slider("resolutionSlider").value, 5.0f);

  // A person works the panel.
  host->calls.clear();
  ASSERT_TRUE(v.popup("jobTypePopup").userSelects(0));
  ASSERT_TRUE(v.checkBox("autoFocusCheckBox").userClicks());
  ASSERT_TRUE(v.textField("materialTextBox").userTypes(3.5f));
  ASSERT_TRUE(v.checkBox("vectorGridCheckBox").userClicks());
  ASSERT_TRUE(v.slider("rPowerSlider").userMoves(65.7f));
  ASSERT_TRUE(v.slider("resolutionSlider").userMoves(6));
  EXPECT_EQ(host->requests(), (std::vector<std::string>{
                                  "JobType=Raster",
                                  "autoFocus=enabled",
                                  "materialThickness=Custom",
                                  "CustommaterialThickness=3.500000",
                                  "vectorGrid=enabled",
                                  "rasterPower=Custom",
                                  "CustomrasterPower=65",
                                  "cResolution=Custom",
                                  "CustomcResolution=1200",
                              }));
  EXPECT_EQ(v.textField("rPowerTextBox").value, 65.0f);
  EXPECT_EQ(v.textField("resolutionTextBox").value, 1200.0f);

  // Save hands on nothing more; the summary names the job type's text.
  EXPECT_TRUE(pde.saveValuesAndReturnError(nullptr));
  EXPECT_EQ(host->calls.size(), 9u);
  using Summary = std::map<std::string, std::string>;
  EXPECT_EQ(pde.summaryInfo(), (Summary{{"Zarvik Settings", "Raster Only"}}));

  // The host changes the job type itself and says so.
  ASSERT_TRUE(markOption(ppdFile.get(), "JobType", "Vector"));
  pde.PPDOptionKeyValueDidChange("JobType", "Vector");
  EXPECT_EQ(pde.summaryInfo(), (Summary{{"Zarvik Settings", "Vector Only"}}));
  EXPECT_FALSE(pde.shouldShowHelp());
  EXPECT_EQ(help.opened, (std::vector<std::pair<std::string, std::string>>{{"AppleTitle", "Zarvik Help"}}));
  EXPECT_TRUE(pde.shouldHide());

  // The dialog comes back: the job's marks and stored values return.
  EXPECT_TRUE(pde.restoreValuesAndReturnError(nullptr));
  pde.willShow();
  EXPECT_EQ(v.popup("jobTypePopup").selectedObject(), "Vector");
  EXPECT_EQ(v.slider("rPowerSlider").value, 65.0f);
  EXPECT_EQ(v.slider("resolutionSlider").value, 6.0f);
  EXPECT_EQ(v.textField("resolutionTextBox").value, 1200.0f);
  EXPECT_EQ(v.textField("materialTextBox").value, 3.5f);
  EXPECT_TRUE(v.textField("materialTextBox").enabled);
  EXPECT_EQ(v.textField("materialText").color, NSColor::blackColor);
  EXPECT_EQ(v.checkBox("autoFocusCheckBox").state(), 1);
  EXPECT_EQ(v.checkBox("vectorGridCheckBox").state(), 1);
  EXPECT_EQ(markedChoice(ppdFile.get(), "rasterPower"), "Custom");
  EXPECT_EQ(markedChoice(ppdFile.get(), "vectorGrid"), "enabled");
  EXPECT_EQ(host->settings.values.at(std::string(pde.panelKind()) + ".rasterPower"), PrintSettingValue("65"));

  // The host lets go: the panel lets go of the host and the bundle.
  std::weak_ptr<PDEPanel> watched = panels->front();
  panels.reset();
  EXPECT_TRUE(watched.expired());
  EXPECT_EQ(host.use_count(), 1);
  EXPECT_EQ(bundle.use_count(), bundleBase);
}

}  // namespace
}  // namespace zarvik::testing
