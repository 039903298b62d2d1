// The bundle on disk: its information dictionary, its localisation tables,
// its view description when it is broken, and its help book.
#include <gmock/gmock.h>

#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QUrl>
#include <algorithm>

#include "bundle_copy.h"
#include "opened_urls.h"
#include "qt_panel_fixture.h"

namespace zarvik::testing {
namespace {

using ::testing::StartsWith;
using Requests = std::vector<std::string>;

std::filesystem::path builtBundle() { return builtBundlePath().toStdString(); }


TEST(QtBundleTest, TheInformationDictionaryAnswersItsStrings) {
  std::shared_ptr<qt::QtBundle> bundle = qt::QtBundle::open(builtBundlePath());
  ASSERT_NE(bundle, nullptr);
  const std::pair<const char*, const char*> entries[] = {
      {"CFBundleIdentifier", "org.zarvikpde.print.pde.ZarvikPDE"},
      {"CFBundleExecutable", "ZarvikPDE"},
      {"NSPrincipalClass", "ZarvikPDEPlugIn"},
      {"CFBundleHelpBookName", "ZarvikPDEHelp"},
      {"PDEPanelType", "BDB091F4-E57F-11D3-B5CC-0050E4603277"},
      {"CFBundleDevelopmentRegion", "en"},
  };
  for (const auto& [key, value] : entries) EXPECT_EQ(bundle->objectForInfoDictionaryKey(key), value) << key;
  EXPECT_EQ(bundle->objectForInfoDictionaryKey("cfbundleidentifier"), std::nullopt);

  // Values of other kinds are no strings, and nested keys are not the
  // bundle's.
  BundleCopy copy(builtBundle());
  copy.edit("Contents/Info.plist", "<dict>",
            "<dict>\n<key>LSMinimumSystemVersion</key><integer>10</integer>\n"
            "<key>NSHighResolutionCapable</key><true/>\n"
            "<key>CFBundleDocumentTypes</key><array><dict><key>Nested</key><string>x</string></dict></array>\n"
            "<key>Escaped</key><string>Grey &amp; &lt;white&gt;</string>");
  std::shared_ptr<qt::QtBundle> edited = qt::QtBundle::open(copy.qpath());
  ASSERT_NE(edited, nullptr);
  EXPECT_EQ(edited->objectForInfoDictionaryKey("LSMinimumSystemVersion"), std::nullopt);
  EXPECT_EQ(edited->objectForInfoDictionaryKey("NSHighResolutionCapable"), std::nullopt);
  EXPECT_EQ(edited->objectForInfoDictionaryKey("Nested"), std::nullopt);
  EXPECT_EQ(edited->objectForInfoDictionaryKey("Escaped"), "Grey & <white>");
  EXPECT_EQ(edited->objectForInfoDictionaryKey("NSPrincipalClass"), "ZarvikPDEPlugIn");
}

TEST(QtBundleTest, ABundleWithoutAReadableInfoPlistIsNoBundle) {
  LogCapture log;
  BundleCopy copy(builtBundle());
  copy.edit("Contents/Info.plist", "</dict>", "</dictionary>");
  EXPECT_EQ(qt::QtBundle::open(copy.qpath()), nullptr);
  copy.remove("Contents/Info.plist");
  EXPECT_EQ(qt::QtBundle::open(copy.qpath()), nullptr);

  const std::string plist = copy.path().string() + "/Contents/Info.plist";
  ASSERT_EQ(log.lines.size(), 2u);
  EXPECT_THAT(log.lines[0], StartsWith("Zarvik PDE cannot read its bundle: " + plist + " is not well-formed XML: "));
  EXPECT_EQ(log.lines[1], "Zarvik PDE cannot read its bundle: cannot read " + plist + ": No such file or directory");
}

TEST(QtBundleTest, LocalisedStringsComeFromTheTableOfTheLocale) {
  auto english = qt::QtBundle::open(builtBundlePath(), QLocale(QLocale::English, QLocale::UnitedKingdom));
  auto german = qt::QtBundle::open(builtBundlePath(), QLocale(QLocale::German, QLocale::Austria));
  auto french = qt::QtBundle::open(builtBundlePath(), QLocale(QLocale::French, QLocale::France));
  ASSERT_TRUE(english && german && french);

  EXPECT_EQ(english->language(), "en");
  EXPECT_EQ(german->language(), "de");
  // No French table: the development region's.
  EXPECT_EQ(french->language(), "en");
  EXPECT_EQ(english->localizedStringForKey("Zarvik Settings", std::nullopt, std::nullopt), "Zarvik Settings");
  EXPECT_EQ(german->localizedStringForKey("Zarvik Settings", std::nullopt, std::nullopt), "Zarvik-Einstellungen");
  EXPECT_EQ(french->localizedStringForKey("Zarvik Settings", std::nullopt, std::nullopt), "Zarvik Settings");
  // A key the table lacks: the value when given, else the key.
  EXPECT_EQ(german->localizedStringForKey("Zarvik Presets", std::string_view("Presets"), std::nullopt), "Presets");
  EXPECT_EQ(german->localizedStringForKey("Zarvik Presets", std::nullopt, std::nullopt), "Zarvik Presets");
  // The table name picks the table; the view's texts are one of its own.
  EXPECT_EQ(german->localizedStringForKey("Job", std::nullopt, std::string_view("ZarvikPDE")), "Auftrag");
  EXPECT_EQ(german->localizedStringForKey("Zarvik Settings", std::nullopt, std::string_view("Other")),
            "Zarvik Settings");

  // Without a locale the bundle takes the process's, as LANG sets it.
  QLocale previous;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Switzerland));
  auto byDefault = qt::QtBundle::open(builtBundlePath());
  QLocale::setDefault(previous);
  ASSERT_NE(byDefault, nullptr);
  EXPECT_EQ(byDefault->localizedStringForKey("Zarvik Settings", std::nullopt, std::nullopt), "Zarvik-Einstellungen");

  // A bundle without tables answers the keys themselves.
  BundleCopy copy(builtBundle());
  copy.remove("Contents/Resources/ZarvikPDE_de.qm");
  copy.remove("Contents/Resources/ZarvikPDE_en.qm");
  auto untranslated = qt::QtBundle::open(copy.qpath(), QLocale(QLocale::German, QLocale::Germany));
  ASSERT_NE(untranslated, nullptr);
  EXPECT_EQ(untranslated->language(), "");
  EXPECT_EQ(untranslated->localizedStringForKey("Zarvik Settings", std::nullopt, std::nullopt), "Zarvik Settings");
}

class QtBundleViewTest : public QtPanelTest {};

TEST_F(QtBundleViewTest, AViewThatDoesNotFitThePanelIsLoggedAndTheRestStillWorks) {
  BundleCopy copy(builtBundle());
  const std::string view = "Contents/Resources/ZarvikPDE.ui";
  copy.edit(view, "name=\"rPowerSlider\"", "name=\"rPowerSlidr\"");
  copy.edit(view, "requestNewVFreq</string>", "requestNewVFrequency</string>");
  copy.edit(view, "requestNewDirectPrint</string>", "requestNewJobType</string>");
  copy.edit(view, "<widget class=\"QLabel\" name=\"materialUnit\">",
            "<widget class=\"QLabel\" name=\"materialUnit\">\n"
            "<property name=\"zarvikAction\" stdset=\"0\"><string>requestNewMaterialThickness</string></property>");
  copy.edit(view, "<widget class=\"QGroupBox\" name=\"jobGroup\">",
            "<widget class=\"QGroupBox\" name=\"jobGroup\">\n"
            "<property name=\"zarvikAction\" stdset=\"0\"><string>requestNewJobType</string></property>");
  useBundle(copy.qpath(), QLocale());
  makePanel();
  showPanel();

  std::vector<std::string> viewLines;
  for (const std::string& line : log.lines) {
    if (line.rfind("Zarvik PDE view", 0) == 0) viewLines.push_back(line);
  }
  std::sort(viewLines.begin(), viewLines.end());
  EXPECT_EQ(viewLines, (std::vector<std::string>{
                           "Zarvik PDE view: QCheckBox directPrintCheckBox cannot send the action requestNewJobType",
                           "Zarvik PDE view: QGroupBox jobGroup cannot send the action requestNewJobType",
                           "Zarvik PDE view: QLabel materialUnit cannot send the action requestNewMaterialThickness",
                           "Zarvik PDE view: QSlider rPowerSlidr fits no outlet of its owner",
                           "Zarvik PDE view: vFreqSlider names the action requestNewVFrequency, which its owner "
                           "does not have",
                       }));

  // The panel works on: the slider without an outlet still sends its
  // action, its field still shows the power, the frequency field still
  // sends, and the slider without an action and the box bound to nothing
  // send nothing.
  EXPECT_FALSE(panel->rPowerSlider.isConnected());
  EXPECT_TRUE(panel->directPrintCheckBox.isConnected());
  newRequests();
  QTest::keyClick(&find<QSlider>("rPowerSlidr"), Qt::Key_Right);
  EXPECT_EQ(find<QLineEdit>("rPowerTextBox").text(), "51");
  QTest::keyClick(&find<QSlider>("vFreqSlider"), Qt::Key_Right);
  EXPECT_EQ(newRequests(), (Requests{"rasterPower=Custom", "CustomrasterPower=51"}));
  QLineEdit& frequency = find<QLineEdit>("vFreqTextBox");
  frequency.selectAll();
  QTest::keyClicks(&frequency, "700");
  QTest::keyClick(&frequency, Qt::Key_Return);
  EXPECT_EQ(newRequests(), (Requests{"vectorFreq=Custom", "CustomvectorFreq=700"}));
  EXPECT_EQ(find<QSlider>("vFreqSlider").value(), 700);
}

TEST_F(QtBundleViewTest, WithoutItsViewThePanelHasNoViewAndWorksOnTheModel) {
  BundleCopy copy(builtBundle());
  copy.remove("Contents/Resources/ZarvikPDE.ui");
  useBundle(copy.qpath(), QLocale());
  makePanel();
  log.clear();

  EXPECT_EQ(panel->panelView(), nullptr);
  EXPECT_EQ(panel->panelName(), "Zarvik Settings");
  panel->willShow();
  EXPECT_TRUE(panel->restoreValuesAndReturnError(nullptr));

  const std::string missing = "Zarvik PDE cannot load the view " + copy.path().string() +
                              "/Contents/Resources/ZarvikPDE.ui: No such file or directory";
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines[0], missing);

  copy.write("Contents/Resources/ZarvikPDE.ui", "<ui version=\"4.0\"><widget class=\"QWidget\"");
  log.clear();
  EXPECT_EQ(panel->panelView(), nullptr);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_THAT(log.lines[0], StartsWith("Zarvik PDE cannot load the view " + copy.path().string() +
                                       "/Contents/Resources/ZarvikPDE.ui: "));
}

TEST_F(QtBundleViewTest, HelpOpensTheBookOfTheLocaleAtItsAnchor) {
  OpenedUrls browser;
  makePanel();
  EXPECT_FALSE(panel->shouldShowHelp());
  panel.reset();
  registerBundleForClass(kPanelClassName, nullptr);
  useBundle(builtBundlePath(), QLocale(QLocale::German, QLocale::Germany));
  makePanel();
  EXPECT_FALSE(panel->shouldShowHelp());

  EXPECT_FALSE(log.contains("Zarvik PDE got an error registering its help book!"));
  const std::string resources = builtBundlePath().toStdString() + "/Contents/Resources/";
  ASSERT_EQ(browser.urls.size(), 2u);
  EXPECT_EQ(browser.urls[0].toString().toStdString(),
            "file://" + resources + "en.lproj/ZarvikPDEHelp/index.html#AppleTitle");
  EXPECT_EQ(browser.urls[1].toString().toStdString(),
            "file://" + resources + "de.lproj/ZarvikPDEHelp/index.html#AppleTitle");
  // The page has the anchor it is opened at.
  QFile page(browser.urls[1].toLocalFile());
  ASSERT_TRUE(page.open(QIODevice::ReadOnly));
  EXPECT_TRUE(page.readAll().contains("id=\"AppleTitle\""));
}

TEST_F(QtBundleViewTest, RegistrationFailsCleanlyWithoutTheHelpBook) {
  OpenedUrls browser;
  BundleCopy copy(builtBundle());
  copy.remove("Contents/Resources/en.lproj/ZarvikPDEHelp/index.html");
  // A German book does not stand in for the development region's in
  // English.
  useBundle(copy.qpath(), QLocale(QLocale::English, QLocale::UnitedStates));
  makePanel();

  EXPECT_EQ(log.count("Zarvik PDE got an error registering its help book!"), 1u);
  EXPECT_FALSE(help.registerBooksInBundle(*bundle));
  // The panel cannot open a book it could not register: the host shows its
  // own help.
  EXPECT_TRUE(panel->shouldShowHelp());
  EXPECT_TRUE(browser.urls.empty());
  EXPECT_EQ(help.urlForAnchor("AppleTitle", "ZarvikPDEHelp"), std::nullopt);
}

}  // namespace
}  // namespace zarvik::testing

