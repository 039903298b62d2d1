// The loader: bundle dlopened, principal class from its entry point, panel in a host window; this links no panel code.
#include "platform/qt/plugin_bundle.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDesktopServices>
#include <QTest>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "bundle_copy.h"
#include "support/files.h"
#include "support/ppd_files.h"
#include "support/recording_host.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace zarvik::testing {
namespace {

using Lines = std::vector<std::string>;
const std::string kBundle = ZARVIK_PDE_BUNDLE_DIR;

// The help book too. ctest reruns this under LANG=de_DE.UTF-8 and LANG=C (ZARVIK_EXPECTED_LANGUAGE: the one expected)
// and in X as panel_window_test, where ZARVIK_PANEL_SCREENSHOT names the file for docs/panel.png.
TEST(PlugInBundleTest, TheBuiltBundleGivesAPanelThatAPersonWorksInTheEnvironmentsLanguage) {
  const bool german = qEnvironmentVariable("ZARVIK_EXPECTED_LANGUAGE") == "de";
  PlugInBundle::Opened opened = PlugInBundle::open(kBundle);
  ASSERT_NE(opened.bundle, nullptr) << opened.error;
  ScopedPpd sample = openPpd(samplePpdPath());
  ppdMarkDefaults(sample.get());
  auto host = std::make_shared<RecordingHost>(sample.get());
  QWidget window;
  auto panels = opened.bundle->principalClass().PDEPanelsForType(kPrintDialogExtensionType, host);
  ASSERT_TRUE(panels && panels->size() == 1 && panels->front()->panelView());
  std::shared_ptr<PDEPanel> panel = panels->front();
  (new QVBoxLayout(&window))->addWidget(static_cast<QWidget*>(panel->panelView()->nativeView()));
  ASSERT_TRUE(panel->restoreValuesAndReturnError(nullptr));
  panel->willShow();
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  if (QByteArray path = qgetenv("ZARVIK_PANEL_SCREENSHOT"); !path.isEmpty()) {
    EXPECT_TRUE(window.grab().save(QString::fromLocal8Bit(path), "PNG")) << path.toStdString();
  }
  // The module opens its own help book in (a stand-in for) the desktop's browser.
  QTextBrowser browser;
  QDesktopServices::setUrlHandler("file", &browser, "setSource");
  EXPECT_FALSE(panel->shouldShowHelp());
  QDesktopServices::unsetUrlHandler("file");
  EXPECT_EQ(browser.source().toString().toStdString(),
            "file://" + kBundle + "/Contents/Resources/ZarvikPDE.help/Contents/Resources/" +
                (german ? "de" : "en") + ".lproj/index.html#AppleTitle");

  // The panel and its widgets outlive the bundle object (the agreement property works every control of the view).
  opened.bundle.reset();
  host->calls.clear();
  auto* box = window.findChild<QCheckBox*>("directPrintCheckBox");
  box->setFocus(Qt::TabFocusReason);
  QTest::keyClick(box, Qt::Key_Space);
  EXPECT_EQ(host->requests(), (Lines{"directPrint=enabled"}));
}

// A broken bundle is refused with its reason, naming the file at fault; a failed dlopen's own words follow ours.
TEST(PlugInBundleTest, EachBrokenBundleIsRefusedWithItsReason) {
  BundleCopy copy(kBundle);
  const std::string module = (copy.path / "Contents/MacOS/ZarvikPDE").string();
  writeFile(module, readFile(ZARVIK_MODULE_WITHOUT_ENTRY));
  PlugInBundle::Opened opened = PlugInBundle::open(copy.path.string());
  EXPECT_EQ(opened.bundle, nullptr);
  EXPECT_TRUE(opened.error.starts_with(module + " has no entry point zarvik_pde_principal_class: ")) << opened.error;
  EXPECT_EQ(PlugInBundle::open("/nonexistent/ZarvikPDE.plugin").error,
            "no plug-in bundle at /nonexistent/ZarvikPDE.plugin");
}

}  // namespace
}  // namespace zarvik::testing
