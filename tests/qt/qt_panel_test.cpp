// Beyond the agreement: a missing or gone view, the caption's colour, a host that calls back.
#include <gtest/gtest.h>

#include <QLabel>

#include "bundle_copy.h"
#include "qt_panel_platform.h"
#include "support/ppd_files.h"
#include "support/recording_host.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace zarvik::testing {
namespace {

const std::filesystem::path kBuilt = ZARVIK_PDE_BUNDLE_DIR;

class QtPanelTest : public ::testing::Test {
 protected:
  ZarvikPDE& build() {
    panel.reset();
    ppd = openPpd(samplePpdPath());
    ppdMarkDefaults(ppd.get());
    host = std::make_shared<RecordingHost>(ppd.get());
    panel.reset(static_cast<QtPanel*>(platform.build(host).release()));
    if (!panel) throw std::runtime_error("no panel");
    return const_cast<ZarvikPDE&>(panel->core());
  }

  QtPanelPlatform platform;
  LogCapture log;
  ScopedPpd ppd;
  std::shared_ptr<RecordingHost> host;
  std::unique_ptr<QtPanel> panel;
};

// A gone view is done without, as when a host closes the window before letting go; a bundle without its view gives a
// panel without one, and says why.
TEST_F(QtPanelTest, AViewMissingOrGoneIsDoneWithout) {
  ZarvikPDE& core = build();
  ASSERT_TRUE(panel->loadView());
  delete &panel->root();
  panel->restore();
  panel->willShow();
  panel->optionDidChange("JobType", "Vector");
  EXPECT_EQ(core.jobTypeChoice, "Vector");

  BundleCopy copy(kBuilt);
  const std::filesystem::path view = copy.path / "Contents/Resources/ZarvikPDE.ui";
  std::filesystem::remove(view);
  registerBundleForClass(kPanelClassName, qt::QtBundle::open(QString::fromStdString(copy.path.string()), QLocale()));
  build();
  log.clear();
  EXPECT_EQ(panel->loadView(), nullptr);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_TRUE(log.lines[0].starts_with("Zarvik PDE cannot load the view " + view.string() + ": "));
}

// The thickness caption is drawn active once auto focus is on; an edit in a field a restore disables is dropped; a
// pick refused by a host that calls back first reverts.
TEST_F(QtPanelTest, AnUnfinishedEditOrARefusedPickNeverReachesTheJob) {
  ZarvikPDE& core = build();
  ASSERT_TRUE(panel->loadView());
  QtPanel& view = *panel;
  view.restore();
  view.willShow();
  QLabel& caption = view.find<QLabel>("materialText");
  ASSERT_TRUE(view.clickCheckBox("autoFocusCheckBox"));
  EXPECT_EQ(caption.palette().color(QPalette::WindowText), QApplication::palette(&caption).color(QPalette::WindowText));
  ASSERT_TRUE(view.typeText("materialTextBox", "7", /*commit=*/false));
  ppdMarkOption(ppd.get(), "autoFocus", "disabled");
  panel->restore();
  EXPECT_EQ(core.oMaterialThickness, 0.0f);
  EXPECT_EQ(view.text("materialTextBox"), "0");

  host->decide = [&](std::string_view key, std::string_view choice) {
    if (key == kJobType) panel->optionDidChange(kJobType, std::string(choice));
    return key != kJobType;
  };
  ASSERT_TRUE(view.pickItem("jobTypePopup", 0));
  EXPECT_EQ(view.shownKeyword("jobTypePopup"), "Combined");
}

}  // namespace
}  // namespace zarvik::testing
