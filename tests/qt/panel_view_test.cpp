// What needs the panel's real view: the pop-ups filled from the PPD, a
// person's picks, the auto focus rule, and the outlets the view connects.
#include <gtest/gtest.h>

#include <QComboBox>

#include "panel/ppd_text.h"
#include "qt_panel_platform.h"
#include "support/ppd_files.h"
#include "support/recording_host.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace zarvik::testing {
namespace {

using Lines = std::vector<std::string>;

class PanelViewTest : public ::testing::Test {
 protected:
  ZarvikPDE& build(ppd_file_t* file) {
    host = std::make_shared<RecordingHost>(file);
    driven = platform.build(host);
    if (!driven) throw std::runtime_error("no panel");
    return const_cast<ZarvikPDE&>(driven->core());
  }
  QtViewDriver& show() {
    auto* view = static_cast<QtViewDriver*>(driven->loadView());
    driven->restore();
    driven->willShow();
    host->calls.clear();
    return *view;
  }

  QtPanelPlatform platform;
  ScopedPpd sample = openPpd(samplePpdPath());
  std::shared_ptr<RecordingHost> host;
  std::unique_ptr<DrivenPanel> driven;
};

// Each pop-up holds one item per choice of its option, in the PPD's order,
// titled with the choice's text as valid UTF-8 and carrying its keyword;
// it is filled once, by the first show that has a view.
TEST_F(PanelViewTest, PopupsAreFilledOnceWithThePpdsChoices) {
  for (const char* file : {"utf8-texts.ppd", "latin1-texts.ppd", "mislabelled-encoding.ppd"}) {
    SCOPED_TRACE(file);
    ScopedPpd ppd = openPpd(testPpdPath(file));
    ZarvikPDE& p = build(ppd.get());
    driven->willShow();
    EXPECT_FALSE(p.popUpIsInited);
    QtViewDriver& view = show();
    driven->willShow();
    const std::pair<const char*, const char*> popups[] = {{"jobTypePopup", "JobType"},
                                                          {"centerEngravingPopup", "CenterEngraving"},
                                                          {"ditheringPopup", "dithering"},
                                                          {"engravingDirectionPopup", "EngravingDirection"},
                                                          {"vSortingPopup", "vectorSort"}};
    for (const auto& [name, option] : popups) {
      auto& combo = *view.root().findChild<QComboBox*>(name);
      ppd_option_t* choices = ppdFindOption(ppd.get(), option);
      ASSERT_EQ(combo.count(), choices->num_choices) << name;
      for (int i = 0; i < combo.count(); ++i) {
        const ppd_choice_t& choice = choices->choices[i];
        EXPECT_EQ(combo.itemText(i).toStdString(), displayText(choice.text));
        EXPECT_EQ(combo.itemData(i, Qt::UserRole).toByteArray().toStdString(), keywordString(choice.choice));
      }
    }
    driven.reset();
  }
}

// A pick is offered to the host; a refused one shows the choice before it.
TEST_F(PanelViewTest, APickIsOfferedToTheHostAndARefusedOneGoesBack) {
  ZarvikPDE& p = build(sample.get());
  QtViewDriver& view = show();
  ASSERT_TRUE(view.pickItem("jobTypePopup", 1));
  EXPECT_EQ(host->requests(), (Lines{"JobType=Vector"}));
  EXPECT_EQ(p.jobTypeChoice, "Vector");
  host->refuse("dithering");
  ASSERT_TRUE(view.pickItem("ditheringPopup", 0));
  EXPECT_EQ(view.shownKeyword("ditheringPopup"), "FloydSteinberg");
  EXPECT_EQ(p.ditheringChoice, "FloydSteinberg");
}

// Auto focus makes the material thickness and the vector grid available;
// switching it off switches the grid off first, whatever the host answers.
TEST_F(PanelViewTest, AutoFocusGatesTheMaterialThicknessAndTheVectorGrid) {
  ZarvikPDE& p = build(sample.get());
  QtViewDriver& view = show();
  auto enabled = [&] {
    return std::vector<bool>{view.isEnabled("materialText"), view.isEnabled("materialTextBox"),
                             view.isEnabled("vectorGridCheckBox")};
  };
  EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false}));
  ASSERT_TRUE(view.clickCheckBox("autoFocusCheckBox"));
  EXPECT_EQ(host->requests(), (Lines{"autoFocus=enabled"}));
  EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(view.state("vectorGridCheckBox"), 0);

  ASSERT_TRUE(view.clickCheckBox("vectorGridCheckBox"));
  host->calls.clear();
  ASSERT_TRUE(view.clickCheckBox("autoFocusCheckBox"));
  EXPECT_EQ(host->requests(), (Lines{"vectorGrid=disabled", "autoFocus=disabled"}));
  EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false}));
  EXPECT_EQ(view.state("vectorGridCheckBox"), 0);
  EXPECT_EQ(p.oVectorGrid, 0);

  // Refused: the box and what it governs follow the value the job keeps.
  host->refuse("autoFocus");
  ASSERT_TRUE(view.clickCheckBox("autoFocusCheckBox"));
  EXPECT_EQ(view.state("autoFocusCheckBox"), 0);
  EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false}));

  // A restore applies the same rule, and leaves a grid the PPD marks on
  // shown as on, though not available.
  ASSERT_TRUE(markOption(sample.get(), "vectorGrid", "enabled"));
  driven->restore();
  EXPECT_EQ(view.state("vectorGridCheckBox"), 1);
  EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false}));
}

// The view connects every outlet once, and is loaded once.
TEST_F(PanelViewTest, LoadingTheViewConnectsEveryOutletOnce) {
  ZarvikPDE& p = build(sample.get());
  NSView* first = p.panelView();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(p.panelView(), first);
  const bool connected[] = {
      p.jobTypePopup.isConnected(),       p.centerEngravingPopup.isConnected(), p.directPrintCheckBox.isConnected(),
      p.autoFocusCheckBox.isConnected(),  p.materialTextBox.isConnected(),      p.vectorGridCheckBox.isConnected(),
      p.materialText.isConnected(),       p.rPowerTextBox.isConnected(),        p.rSpeedTextBox.isConnected(),
      p.ditheringPopup.isConnected(),     p.engravingDirectionPopup.isConnected(), p.rPowerSlider.isConnected(),
      p.rSpeedSlider.isConnected(),       p.vSpeedSlider.isConnected(),         p.vPowerSlider.isConnected(),
      p.vFreqSlider.isConnected(),        p.vSpeedTextBox.isConnected(),        p.vPowerTextBox.isConnected(),
      p.vFreqTextBox.isConnected(),       p.vSortingPopup.isConnected(),        p.vSpeedCompCheckBox.isConnected(),
      p.vPowerCompCheckBox.isConnected(), p.resolutionTextBox.isConnected(),    p.resolutionSlider.isConnected()};
  for (std::size_t i = 0; i < std::size(connected); ++i) EXPECT_TRUE(connected[i]) << "outlet " << i;
}

}  // namespace
}  // namespace zarvik::testing
