// Beyond the agreement: broken views, shipped wiring, what controls never send, hostile PPDs.
#include <gtest/gtest.h>

#include <QLabel>
#include <algorithm>
#include <cstring>

#include "bundle_copy.h"
#include "panel/ppd_text.h"
#include "qt_panel_platform.h"
#include "support/ppd_files.h"
#include "support/recording_host.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace zarvik::testing {
namespace {

using Lines = std::vector<std::string>;
const std::filesystem::path kBuilt = ZARVIK_PDE_BUNDLE_DIR;

class QtPanelTest : public ::testing::Test {
 protected:
  ZarvikPDE& build(const std::filesystem::path& path = kBuilt) {
    panel.reset();
    ppd = openPpd(samplePpdPath());
    ppdMarkDefaults(ppd.get());
    bundle = qt::QtBundle::open(QString::fromStdString(path.string()), QLocale(QLocale::English));
    registerBundleForClass(kPanelClassName, bundle);
    host = std::make_shared<RecordingHost>(ppd.get());
    panel.reset(static_cast<QtPanel*>(platform.build(host).release()));
    if (!panel) throw std::runtime_error("no panel");
    return const_cast<ZarvikPDE&>(panel->core());
  }
  // Its view loaded, restored and shown, before any input.
  QtPanel& show() {
    if (!panel->loadView()) throw std::runtime_error("no view");
    panel->restore();
    panel->willShow();
    host->calls.clear();
    return *panel;
  }

  QtPanelPlatform platform;
  LogCapture log;
  ScopedPpd ppd;
  std::shared_ptr<qt::QtBundle> bundle;
  std::shared_ptr<RecordingHost> host;
  std::unique_ptr<QtPanel> panel;
};

// A misfit control is logged, the rest works on, its field without it; so is a gone view, as when a host closes the
// window before letting go.
TEST_F(QtPanelTest, AViewThatDoesNotFitIsLoggedAndWorksOnAndOneGoneIsDoneWithout) {
  BundleCopy copy(kBuilt);
  const std::string view = "Contents/Resources/ZarvikPDE.ui";
  copy.edit(view, "name=\"vFreqSlider\"", "name=\"vFreqSlidr\"");
  build(copy.path);
  QtPanel& driver = show();
  EXPECT_TRUE(log.contains("Zarvik PDE view: QSlider vFreqSlidr fits no outlet of its owner"));
  driver.typeText("vFreqTextBox", "700", true);
  EXPECT_EQ(host->requests(), (Lines{"vectorFreq=Custom", "CustomvectorFreq=700"}));

  std::filesystem::remove(copy.path / view);
  build(copy.path);
  log.clear();
  EXPECT_EQ(panel->loadView(), nullptr);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_TRUE(log.lines[0].starts_with("Zarvik PDE cannot load the view " + (copy.path / view).string() + ": "));
  ZarvikPDE& core = build();
  ASSERT_TRUE(panel->loadView());
  delete &panel->root();
  panel->restore();
  panel->willShow();
  panel->optionDidChange("JobType", "Vector");
  EXPECT_EQ(core.jobTypeChoice, "Vector");
}

// The thickness caption is grey exactly while auto focus is off; an edit in a field a restore disables is dropped; a
// pick refused by a host that calls back first reverts.
TEST_F(QtPanelTest, AnUnfinishedEditOrARefusedPickNeverReachesTheJob) {
  ZarvikPDE& core = build();
  QtPanel& view = show();
  QLabel& caption = view.find<QLabel>("materialText");
  auto drawn = [&] { return caption.palette().color(QPalette::Active, QPalette::WindowText); };
  EXPECT_EQ(drawn(), QApplication::palette(&caption).color(QPalette::Disabled, QPalette::WindowText));
  ASSERT_TRUE(view.clickCheckBox("autoFocusCheckBox"));
  EXPECT_EQ(drawn(), QApplication::palette(&caption).color(QPalette::Active, QPalette::WindowText));
  ASSERT_TRUE(view.typeText("materialTextBox", "7", /*commit=*/false));
  ppdMarkOption(ppd.get(), "autoFocus", "disabled");
  panel->restore();
  EXPECT_EQ(core.oMaterialThickness, 0.0f);
  EXPECT_EQ(view.text("materialTextBox"), "0");

  host->decide = [&](std::string_view key, std::string_view choice) {
    if (key == kJobType) panel->optionDidChange(kJobType, std::string(choice));
    return key != kJobType;
  };
  ASSERT_EQ(view.shownKeyword("jobTypePopup"), "Combined");
  ASSERT_TRUE(view.pickItem("jobTypePopup", 0));
  EXPECT_EQ(view.shownKeyword("jobTypePopup"), "Combined");
}

// tests/data/hostile files (headers say what is odd) that libcups opens and that give a panel, every control worked,
// restore and summary: no crash, log entries plain one-line text (but for the panel's own line breaks), host let go.
TEST_F(QtPanelTest, EachHostilePpdGivesAPanelThatSurvives) {
  int panels = 0;
  for (const auto& entry : std::filesystem::directory_iterator(testPpdPath("hostile"))) {
    SCOPED_TRACE(entry.path().filename().string());
    ScopedPpd opened(ppdOpenFile(entry.path().c_str()));
    if (!opened) continue;
    ppdMarkDefaults(opened.get());
    auto scripted = std::make_shared<RecordingHost>(opened.get());
    std::unique_ptr<DrivenPanel> built = platform.build(scripted);
    if (!built) continue;
    ++panels;
    ASSERT_TRUE(built->loadView());
    auto& view = static_cast<QtPanel&>(*built);
    view.restore();
    view.willShow();
    for (auto* combo : view.root().findChildren<QComboBox*>())
      for (int i = 0; i < std::min(combo->count(), 8); ++i) view.pickItem(combo->objectName().toStdString(), i);
    for (auto* box : view.root().findChildren<QCheckBox*>()) view.clickCheckBox(box->objectName().toStdString());
    for (auto* slider : view.root().findChildren<QSlider*>())
      for (int at : {slider->minimum(), slider->maximum()}) view.moveSlider(slider->objectName().toStdString(), at);
    for (auto* field : view.root().findChildren<QLineEdit*>())
      view.typeText(field->objectName().toStdString(), "7", true);
    view.optionDidChange("JobType", "Raster");
    view.restore();
    if (auto summary = const_cast<ZarvikPDE&>(view.core()).summaryInfo()) {
      EXPECT_EQ(decodeUtf8Lossy(summary->begin()->second), summary->begin()->second);
    }
    for (std::string entry : log.lines) {
      for (const char* own : {"selected\nThe choice", "\n The type is", "\nText: "})
        for (std::size_t at; (at = entry.find(own)) != std::string::npos;) entry.erase(at, std::strlen(own));
      EXPECT_EQ(oneLineText(entry), entry);
    }
    log.clear();
    built.reset();
    EXPECT_EQ(scripted.use_count(), 1) << "the panel let go of its host";
  }
  EXPECT_EQ(panels, 12);
}

}  // namespace
}  // namespace zarvik::testing
