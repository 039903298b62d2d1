// The panel on Qt as its bundle on disk gives it, beyond what the agreement
// property holds: the tables and help book of each locale, a view that is
// broken or gone, what the view shows beside the values, and what must
// never reach the job.
#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QTextBrowser>
#include <algorithm>

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
  void SetUp() override { QDesktopServices::setUrlHandler("file", &browser, "setSource"); }
  void TearDown() override { QDesktopServices::unsetUrlHandler("file"); }

  // A panel on `ppd` (marked at its defaults) from the bundle at `path`
  // with the tables of `locale`.
  ZarvikPDE& build(const std::filesystem::path& path = kBuilt, const QLocale& locale = QLocale(QLocale::English),
                   const std::filesystem::path& ppdPath = samplePpdPath()) {
    panel.reset();
    ppd = openPpd(ppdPath);
    markDefaults(ppd.get());
    bundle = qt::QtBundle::open(QString::fromStdString(path.string()), locale);
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
  QTextBrowser browser;  // stands for the desktop's browser, which help opens
  ScopedPpd ppd;
  std::shared_ptr<qt::QtBundle> bundle;
  std::shared_ptr<RecordingHost> host;
  std::unique_ptr<QtPanel> panel;
};

// The texts come from the table of the locale, else the development
// region's; help opens at its anchor in the book of that language. A
// missing book is not stood in for by another language's: the panel leaves
// help to the host. (English and German from the environment are the
// loader test's.)
TEST_F(QtPanelTest, EachLocaleGetsItsTablesAndHelpBookOrTheDevelopmentRegions) {
  const QLocale french(QLocale::French, QLocale::France);
  const struct {
    const char* what;
    QLocale locale;
    std::function<void(BundleCopy&)> change;
    bool german;
    bool book;
  } cases[] = {
      {"French, no table", french, nullptr, false, true},
      {"French, German development region", french,
       [](BundleCopy& b) { b.edit("Contents/Info.plist", "<string>en</string>", "<string>de</string>"); }, true, true},
      {"English, no English book", QLocale(QLocale::English),
       [](BundleCopy& b) { std::filesystem::remove(b.path / "Contents/Resources/en.lproj/ZarvikPDEHelp/index.html"); },
       false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    BundleCopy copy(kBuilt);
    if (c.change) c.change(copy);
    const QUrl opened = browser.source();
    ZarvikPDE& core = build(copy.path, c.locale);
    EXPECT_EQ(core.panelName(), c.german ? "Zarvik-Einstellungen" : "Zarvik Settings");
    EXPECT_EQ(show().text("jobTypeLabel"), c.german ? "Auftragsart:" : "Job type:");
    EXPECT_EQ(core.shouldShowHelp(), !c.book);
    EXPECT_EQ(browser.source().toString().toStdString(),
              c.book ? "file://" + copy.path.string() + "/Contents/Resources/" + (c.german ? "de" : "en") +
                           ".lproj/ZarvikPDEHelp/index.html#AppleTitle"
                     : opened.toString().toStdString());
  }
}

// Each control that fits no outlet, names an action the panel lacks or one
// for another kind of control is logged, and the rest works on: the slider
// without an outlet still sends, and its field follows it. Without its
// view, or with one Qt cannot read, the panel has none, says why, and works
// on without it.
TEST_F(QtPanelTest, AViewThatDoesNotFitIsLoggedAndWorksOnAndOneThatCannotBeReadIsNone) {
  BundleCopy copy(kBuilt);
  const std::string view = "Contents/Resources/ZarvikPDE.ui";
  copy.edit(view, "name=\"rPowerSlider\"", "name=\"rPowerSlidr\"");
  copy.edit(view, "requestNewVFreq</string>", "requestNewVFrequency</string>");
  copy.edit(view, "requestNewDirectPrint</string>", "requestNewJobType</string>");
  copy.edit(view, "name=\"jobGroup\">",
            "name=\"jobGroup\"><property name=\"zarvikAction\" stdset=\"0\"><string>requestNewJobType</string>"
            "</property>");
  build(copy.path);
  QtPanel& driver = show();
  Lines logged;
  std::copy_if(log.lines.begin(), log.lines.end(), std::back_inserter(logged),
               [](const std::string& line) { return line.starts_with("Zarvik PDE view"); });
  std::sort(logged.begin(), logged.end());
  EXPECT_EQ(logged, (Lines{"Zarvik PDE view: QCheckBox directPrintCheckBox cannot send the action requestNewJobType",
                           "Zarvik PDE view: QGroupBox jobGroup cannot send the action requestNewJobType",
                           "Zarvik PDE view: QSlider rPowerSlidr fits no outlet of its owner",
                           "Zarvik PDE view: vFreqSlider names the action requestNewVFrequency, which its owner "
                           "does not have"}));
  driver.moveSlider("rPowerSlidr", 51);
  driver.moveSlider("vFreqSlider", 900);
  driver.clickCheckBox("directPrintCheckBox");
  driver.typeText("vFreqTextBox", "700", true);
  EXPECT_EQ(host->requests(),
            (Lines{"rasterPower=Custom", "CustomrasterPower=51", "vectorFreq=Custom", "CustomvectorFreq=700"}));
  EXPECT_EQ(driver.text("rPowerTextBox"), "51");
  EXPECT_EQ(driver.sliderValue("vFreqSlider"), 700);

  const std::string file = (copy.path / view).string();
  for (const char* text : {"", "<ui version=\"4.0\"><widget class=\"QWidget\""}) {
    *text ? writeFile(file, text) : (void)std::filesystem::remove(file);
    build(copy.path);
    log.clear();
    EXPECT_EQ(panel->loadView(), nullptr);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_TRUE(log.lines[0].starts_with("Zarvik PDE cannot load the view " + file + ": ")) << log.lines[0];
    panel->restore();
    panel->willShow();
  }
}

// Pop-up items are titled with the PPD's texts, here in Latin-1; the Tab
// key goes down the left column, then the right, and each stop says what it
// is; the material caption is grey only while auto focus is off.
TEST_F(QtPanelTest, TheViewShowsThePpdsTextsTabsThroughTheGroupsAndGreysTheCaptionWithoutAutoFocus) {
  build(kBuilt, QLocale(QLocale::English), testPpdPath("latin1-texts.ppd"));
  QtPanel& view = show();
  ppd_option_t* jobTypes = ppdFindOption(ppd.get(), "JobType");
  ASSERT_EQ(view.itemCount("jobTypePopup"), jobTypes->num_choices);
  for (int i = 0; i < jobTypes->num_choices; ++i) {
    EXPECT_EQ(view.find<QComboBox>("jobTypePopup").itemText(i).toStdString(), displayText(jobTypes->choices[i].text));
  }

  std::string chain;
  QWidget* first = &view.find("jobTypePopup");
  QWidget* widget = first;
  do {
    if (widget->focusPolicy() & Qt::TabFocus) {
      chain += widget->objectName().toStdString() + " ";
      EXPECT_FALSE(widget->toolTip().isEmpty() && widget->accessibleName().isEmpty()) << chain;
    }
    widget = widget->nextInFocusChain();
  } while (widget != first && widget != &view.root() && chain.size() < 1000);
  EXPECT_EQ(chain,
            "jobTypePopup centerEngravingPopup engravingDirectionPopup resolutionSlider directPrintCheckBox "
            "autoFocusCheckBox materialTextBox rSpeedSlider rSpeedTextBox rPowerSlider rPowerTextBox ditheringPopup "
            "vSpeedSlider vSpeedTextBox vPowerSlider vPowerTextBox vFreqSlider vFreqTextBox vSortingPopup "
            "vSpeedCompCheckBox vPowerCompCheckBox vectorGridCheckBox ");
  EXPECT_TRUE(view.find<QLineEdit>("resolutionTextBox").isReadOnly());

  QLabel& caption = view.find<QLabel>("materialText");
  const QPalette theme = QApplication::palette(&caption);
  ASSERT_NE(theme.color(QPalette::Active, QPalette::WindowText), theme.color(QPalette::Disabled, QPalette::WindowText));
  for (QPalette::ColorGroup wanted : {QPalette::Disabled, QPalette::Active, QPalette::Disabled}) {
    QPalette::ColorGroup drawn = caption.isEnabled() ? QPalette::Active : QPalette::Disabled;
    EXPECT_EQ(caption.palette().color(drawn, QPalette::WindowText), theme.color(wanted, QPalette::WindowText));
    view.clickCheckBox("autoFocusCheckBox");
  }
}

// An edit the person left unfinished in a field that code then disables (a
// restore after the host switched auto focus off) is dropped, not sent. A
// host that calls back into the panel before it refuses a pick: the pop-up
// still goes back to the choice the person left.
TEST_F(QtPanelTest, AnUnfinishedEditOrARefusedPickNeverReachesTheJob) {
  ZarvikPDE& core = build();
  QtPanel& view = show();
  ASSERT_TRUE(view.clickCheckBox("autoFocusCheckBox"));
  ASSERT_TRUE(view.typeText("materialTextBox", "7", /*commit=*/false));
  ASSERT_TRUE(markOption(ppd.get(), "autoFocus", "disabled"));
  panel->restore();
  EXPECT_EQ(core.oMaterialThickness, 0.0f);
  EXPECT_EQ(view.text("materialTextBox"), "0");
  EXPECT_FALSE(view.isEnabled("materialTextBox"));
  EXPECT_EQ(host->settings.values.count(std::string(kPanelKind) + ".materialThickness"), 0u);

  host->decide = [&](std::string_view key, std::string_view choice) {
    if (key == kJobType) panel->optionDidChange(kJobType, std::string(choice));
    return key != kJobType;
  };
  ASSERT_EQ(view.shownKeyword("jobTypePopup"), "Combined");
  ASSERT_TRUE(view.pickItem("jobTypePopup", 0));
  EXPECT_EQ(view.shownKeyword("jobTypePopup"), "Combined");
}

}  // namespace
}  // namespace zarvik::testing
