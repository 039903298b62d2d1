// The host's loader: the bundle of the build tree loaded with dlopen, its
// principal class created through the module's entry point, and a panel
// from it on the sample PPD. This program links no panel code of its own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLocale>
#include <QTest>
#include <QUrl>
#include <QWidget>

#include "bundle_copy.h"
#include "opened_urls.h"
#include "platform/qt/plugin_bundle.h"
#include "qt_input.h"
#include "support/ppd_files.h"
#include "support/recording_host.h"

namespace zarvik::testing {
namespace {

using ::testing::StartsWith;

const std::string kBundle = ZARVIK_PDE_BUNDLE_DIR;


class PlugInBundleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ppdFile = openPpd(samplePpdPath());
    markDefaults(ppdFile.get());
    host = std::make_shared<RecordingHost>(ppdFile.get());
  }
  void TearDown() override { QLocale::setDefault(previousLocale_); }

  // The one panel the bundle's principal class gives for print dialogs.
  std::shared_ptr<PDEPanel> panelFrom(const PlugInBundle& bundle) {
    std::optional<PDEPanelList> panels = bundle.principalClass().PDEPanelsForType(kPrintDialogExtensionType, host);
    if (!panels || panels->size() != 1) throw std::runtime_error("not one panel");
    return panels->front();
  }

  ScopedPpd ppdFile;
  std::shared_ptr<RecordingHost> host;

 private:
  QLocale previousLocale_;
};

TEST_F(PlugInBundleTest, TheBuiltBundleGivesAWorkingPanel) {
  PlugInBundle::Opened opened = PlugInBundle::open(kBundle);
  ASSERT_NE(opened.bundle, nullptr) << opened.error;
  EXPECT_EQ(opened.error, "");
  const PlugInBundle& bundle = *opened.bundle;
  EXPECT_EQ(bundle.infoValue("CFBundleIdentifier"), "org.zarvikpde.print.pde.ZarvikPDE");
  EXPECT_EQ(bundle.infoValue("NoSuchKey"), std::nullopt);

  std::optional<PDEPanelList> other =
      bundle.principalClass().PDEPanelsForType("bdb091f4-e57f-11d3-b5cc-0050e4603277", host);
  ASSERT_TRUE(other.has_value());
  EXPECT_TRUE(other->empty());

  std::shared_ptr<PDEPanel> panel = panelFrom(bundle);
  EXPECT_EQ(panel->panelName(), "Zarvik Settings");
  EXPECT_EQ(panel->panelKind(), "org.zarvikpde.print.pde.zarvikKind");
  NSView* view = panel->panelView();
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(panel->restoreValuesAndReturnError(nullptr));
  auto* root = static_cast<QWidget*>(view->nativeView());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->objectName(), "zarvikView");
  panel->willShow();
  root->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(root));

  auto* jobType = root->findChild<QComboBox*>("jobTypePopup");
  auto* directPrint = root->findChild<QCheckBox*>("directPrintCheckBox");
  ASSERT_TRUE(jobType && directPrint);
  EXPECT_EQ(jobType->currentText(), "Raster and Vector");
  EXPECT_EQ(jobType->itemData(0, Qt::UserRole).toByteArray(), QByteArray("Raster"));

  host->calls.clear();
  clickCheckBox(*directPrint);
  QTest::keyClick(jobType, Qt::Key_Up);
  EXPECT_EQ(host->requests(), (std::vector<std::string>{"directPrint=enabled", "JobType=Vector"}));

  // The module opens its own help book.
  OpenedUrls browser;
  EXPECT_FALSE(panel->shouldShowHelp());
  ASSERT_EQ(browser.urls.size(), 1u);
  EXPECT_EQ(browser.urls[0].fileName(), "index.html");
  EXPECT_EQ(browser.urls[0].fragment(), "AppleTitle");

  // The panel and its widgets outlive the bundle object.
  opened.bundle.reset();
  QTest::keyClick(jobType, Qt::Key_Up);
  EXPECT_EQ(host->requests().back(), "JobType=Raster");
}

TEST_F(PlugInBundleTest, AGermanLocaleGivesAGermanPanel) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  PlugInBundle::Opened opened = PlugInBundle::open(kBundle);
  ASSERT_NE(opened.bundle, nullptr) << opened.error;
  std::shared_ptr<PDEPanel> panel = panelFrom(*opened.bundle);

  EXPECT_EQ(panel->panelName(), "Zarvik-Einstellungen");
  NSView* view = panel->panelView();
  ASSERT_NE(view, nullptr);
  auto* autoFocus = static_cast<QWidget*>(view->nativeView())->findChild<QCheckBox*>("autoFocusCheckBox");
  ASSERT_NE(autoFocus, nullptr);
  EXPECT_EQ(autoFocus->text(), "Autofokus");
}

// The language follows the environment the host was started in. ctest runs
// this case again under LANG=de_DE.UTF-8 and under LANG=C, naming the
// language it expects in ZARVIK_EXPECTED_LANGUAGE.
TEST(PlugInBundleLocaleTest, TheEnvironmentsLanguageChoosesTheTables) {
  const QString language = QLocale::languageToCode(QLocale::system().language());
  if (QString expected = qEnvironmentVariable("ZARVIK_EXPECTED_LANGUAGE"); !expected.isEmpty()) {
    ASSERT_EQ(language, expected);
  }
  ScopedPpd ppd = openPpd(samplePpdPath());
  auto host = std::make_shared<RecordingHost>(ppd.get());
  PlugInBundle::Opened opened = PlugInBundle::open(kBundle);
  ASSERT_NE(opened.bundle, nullptr) << opened.error;
  std::optional<PDEPanelList> panels =
      opened.bundle->principalClass().PDEPanelsForType(kPrintDialogExtensionType, host);
  ASSERT_TRUE(panels && panels->size() == 1);
  EXPECT_EQ(panels->front()->panelName(), language == "de" ? "Zarvik-Einstellungen" : "Zarvik Settings");
}

TEST_F(PlugInBundleTest, EachBrokenBundleIsRefusedWithItsReason) {
  const std::string module = "/Contents/MacOS/ZarvikPDE";
  const std::string plist = "/Contents/Info.plist";
  struct Case {
    const char* what;
    std::function<void(BundleCopy&)> breakIt;
    std::function<std::string(const std::string&)> error;  // from the bundle path
  };
  const Case cases[] = {
      {"no Info.plist", [&](BundleCopy& b) { b.remove("Contents/Info.plist"); },
       [&](const std::string& p) { return "cannot read " + p + plist + ": No such file or directory"; }},
      {"root is no plist", [&](BundleCopy& b) { b.write("Contents/Info.plist", "<dict><key>a</key></dict>"); },
       [&](const std::string& p) { return p + plist + " is not a property list: its root element is not <plist>"; }},
      {"no dictionary", [&](BundleCopy& b) { b.write("Contents/Info.plist", "<plist><array/></plist>"); },
       [&](const std::string& p) {
         return p + plist + " is not an information dictionary: its top element is not <dict>";
       }},
      {"key without value",
       [&](BundleCopy& b) {
         b.write("Contents/Info.plist", "<plist>\n<dict>\n<key>A</key>\n<key>B</key><string>b</string></dict></plist>");
       },
       [&](const std::string& p) { return p + plist + ": key \"A\" has no value (line 4, column 5)"; }},
      {"value without key",
       [&](BundleCopy& b) { b.write("Contents/Info.plist", "<plist><dict><string>b</string></dict></plist>"); },
       [&](const std::string& p) { return p + plist + ": <string> without a key (line 1, column 21)"; }},
      {"not XML",
       [&](BundleCopy& b) { b.write("Contents/Info.plist", "<plist><dict>\n<key>A</key><string>a</dict></plist>"); },
       [&](const std::string& p) {
         return p + plist + " is not well-formed XML: Opening and ending tag mismatch. (line 2, column 28)";
       }},
      {"another type",
       [&](BundleCopy& b) {
         b.edit("Contents/Info.plist", "BDB091F4-E57F-11D3-B5CC-0050E4603277", "BDB091F4-E57F-11D3-B5CC-0050E4603278");
       },
       [&](const std::string& p) {
         return p + " is not a print dialog extension: its Info.plist has no PDEPanelType "
                    "BDB091F4-E57F-11D3-B5CC-0050E4603277";
       }},
      {"no executable",
       [&](BundleCopy& b) { b.edit("Contents/Info.plist", "<key>CFBundleExecutable</key>", "<key>Executable</key>"); },
       [&](const std::string& p) { return "the Info.plist of " + p + " names no CFBundleExecutable"; }},
      {"no principal class",
       [&](BundleCopy& b) { b.edit("Contents/Info.plist", "<string>ZarvikPDEPlugIn</string>", "<string></string>"); },
       [&](const std::string& p) { return "the Info.plist of " + p + " names no NSPrincipalClass"; }},
      {"another principal class",
       [&](BundleCopy& b) {
         b.edit("Contents/Info.plist", "<string>ZarvikPDEPlugIn</string>", "<string>OtherPlugIn</string>");
       },
       [&](const std::string& p) { return p + module + " has no principal class OtherPlugIn"; }},
  };
  for (const Case& c : cases) {
    BundleCopy copy(kBundle);
    c.breakIt(copy);
    PlugInBundle::Opened opened = PlugInBundle::open(copy.path().string());
    EXPECT_EQ(opened.bundle, nullptr) << c.what;
    EXPECT_EQ(opened.error, c.error(copy.path().string())) << c.what;
  }

  // Failures of the dynamic loader carry its own words after ours.
  BundleCopy noModule(kBundle);
  noModule.remove("Contents/MacOS/ZarvikPDE");
  PlugInBundle::Opened opened = PlugInBundle::open(noModule.path().string());
  EXPECT_EQ(opened.bundle, nullptr);
  EXPECT_THAT(opened.error, StartsWith("cannot load " + noModule.path().string() + module + ": "));

  BundleCopy foreignModule(kBundle);
  std::filesystem::copy_file(ZARVIK_MODULE_WITHOUT_ENTRY, foreignModule.path() / "Contents/MacOS/ZarvikPDE",
                             std::filesystem::copy_options::overwrite_existing);
  opened = PlugInBundle::open(foreignModule.path().string());
  EXPECT_EQ(opened.bundle, nullptr);
  EXPECT_THAT(opened.error, StartsWith(foreignModule.path().string() + module +
                                       " has no entry point zarvik_pde_principal_class: "));

  opened = PlugInBundle::open("/nonexistent/ZarvikPDE.plugin");
  EXPECT_EQ(opened.error, "no plug-in bundle at /nonexistent/ZarvikPDE.plugin");
}

}  // namespace
}  // namespace zarvik::testing

