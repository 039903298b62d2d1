// The panel on Qt as its bundle on disk gives it, beyond what the agreement
// property holds: the tables and help book of each locale, a view that is
// broken or gone, the ranges the numeric controls take, the order of the
// Tab key, and the material caption.
#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QTextBrowser>
#include <algorithm>

#include "bundle_copy.h"
#include "qt_panel_platform.h"
#include "support/ppd_files.h"
#include "support/recording_host.h"

namespace zarvik::testing {
namespace {

using Lines = std::vector<std::string>;
using Range = std::pair<double, double>;
const std::filesystem::path kBuilt = ZARVIK_PDE_BUNDLE_DIR;

class QtPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    markDefaults(sample.get());
    QDesktopServices::setUrlHandler("file", &browser, "setSource");
  }
  void TearDown() override { QDesktopServices::unsetUrlHandler("file"); }

  // A panel on `ppd` from the bundle at `path` with the tables of `locale`.
  ZarvikPDE& build(const std::filesystem::path& path = kBuilt, const QLocale& locale = QLocale(QLocale::English),
                   ppd_file_t* ppd = nullptr) {
    panel.reset();
    bundle = qt::QtBundle::open(QString::fromStdString(path.string()), locale);
    registerBundleForClass(kPanelClassName, bundle);
    host = std::make_shared<RecordingHost>(ppd ? ppd : sample.get());
    panel = platform.build(host);
    if (!panel) throw std::runtime_error("no panel");
    return const_cast<ZarvikPDE&>(panel->core());
  }
  // Its view loaded, restored and shown, before any input.
  QtViewDriver& show() {
    auto* view = static_cast<QtViewDriver*>(panel->loadView());
    if (!view) throw std::runtime_error("no view");
    panel->restore();
    panel->willShow();
    host->calls.clear();
    return *view;
  }

  QtPanelPlatform platform;
  LogCapture log;
  QTextBrowser browser;  // stands for the desktop's browser, which help opens
  ScopedPpd sample = openPpd(samplePpdPath());
  std::shared_ptr<qt::QtBundle> bundle;
  std::shared_ptr<RecordingHost> host;
  std::unique_ptr<DrivenPanel> panel;
};

// The texts come from the table of the locale, else the development
// region's, beside the PPD's own choice texts; help opens at its anchor in
// the book of that language. A missing book is not stood in for by another
// language's: registration fails and the panel leaves help to the host.
TEST_F(QtPanelTest, EachLocaleGetsItsTablesAndHelpBookOrTheDevelopmentRegions) {
  const QLocale english(QLocale::English, QLocale::UnitedKingdom), german(QLocale::German, QLocale::Austria),
      french(QLocale::French, QLocale::France);
  struct Case {
    const char* what;
    QLocale locale;
    std::function<void(BundleCopy&)> change;
    std::string language;  // of the table in use, and of the texts
    const char* book;      // nullptr: none registered
  };
  const Case cases[] = {
      {"English", english, nullptr, "en", "en"},
      {"German", german, nullptr, "de", "de"},
      {"French, no table", french, nullptr, "en", "en"},
      {"French, German development region", french,
       [](BundleCopy& b) { b.edit("Contents/Info.plist", "<string>en</string>", "<string>de</string>"); }, "de", "de"},
      {"English, no English book", english,
       [](BundleCopy& b) { std::filesystem::remove(b.path / "Contents/Resources/en.lproj/ZarvikPDEHelp/index.html"); },
       "en", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BundleCopy copy(kBuilt);
    if (c.change) c.change(copy);
    log.clear();
    const QUrl opened = browser.source();
    ZarvikPDE& core = build(copy.path, c.locale);
    const std::string title = c.language == "de" ? "Zarvik-Einstellungen" : "Zarvik Settings";
    EXPECT_EQ(bundle->language().toStdString(), c.language);
    EXPECT_EQ(core.panelName(), title);
    QtViewDriver& view = show();
    EXPECT_EQ(view.text("jobTypeLabel"), c.language == "de" ? "Auftragsart:" : "Job type:");
    EXPECT_EQ(view.root().findChild<QComboBox*>("jobTypePopup")->currentText(), "Raster and Vector");
    EXPECT_EQ(core.summaryInfo(), (std::map<std::string, std::string>{{title, "Raster and Vector"}}));
    EXPECT_EQ(log.contains("Zarvik PDE got an error registering its help book!"), c.book == nullptr);
    EXPECT_EQ(core.shouldShowHelp(), c.book == nullptr);
    EXPECT_EQ(browser.source().toString().toStdString(), c.book
                                                             ? "file://" + copy.path.string() + "/Contents/Resources/" +
                                                                   c.book + ".lproj/ZarvikPDEHelp/index.html#AppleTitle"
                                                             : opened.toString().toStdString());
  }
}

// Each control that fits no outlet, names an action the panel lacks or one
// for another kind of control is logged; the rest of the view works on: the
// slider without an outlet still sends, and its field follows it.
TEST_F(QtPanelTest, AViewThatDoesNotFitThePanelIsLoggedAndTheRestStillWorks) {
  BundleCopy copy(kBuilt);
  const std::string view = "Contents/Resources/ZarvikPDE.ui";
  const std::string action = "<property name=\"zarvikAction\" stdset=\"0\"><string>";
  copy.edit(view, "name=\"rPowerSlider\"", "name=\"rPowerSlidr\"");
  copy.edit(view, "requestNewVFreq</string>", "requestNewVFrequency</string>");
  copy.edit(view, "requestNewDirectPrint</string>", "requestNewJobType</string>");
  for (const char* widget :
       {"<widget class=\"QLabel\" name=\"materialUnit\">", "<widget class=\"QGroupBox\" name=\"jobGroup\">"}) {
    copy.edit(view, widget, widget + action + "requestNewJobType</string></property>");
  }
  build(copy.path);
  QtViewDriver& driver = show();
  Lines logged;
  std::copy_if(log.lines.begin(), log.lines.end(), std::back_inserter(logged),
               [](const std::string& line) { return line.starts_with("Zarvik PDE view"); });
  std::sort(logged.begin(), logged.end());
  EXPECT_EQ(logged, (Lines{"Zarvik PDE view: QCheckBox directPrintCheckBox cannot send the action requestNewJobType",
                           "Zarvik PDE view: QGroupBox jobGroup cannot send the action requestNewJobType",
                           "Zarvik PDE view: QLabel materialUnit cannot send the action requestNewJobType",
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
}

// Without its view, or with one Qt cannot read, the panel has none, says
// why, and works on without it.
TEST_F(QtPanelTest, WithoutAReadableViewThePanelHasNoView) {
  BundleCopy copy(kBuilt);
  const std::string file = copy.path.string() + "/Contents/Resources/ZarvikPDE.ui";
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

// The range of a custom value, widened to every choice that names a number:
// the frequency's custom 100 to 4000 Hz takes in the choices of 50 and
// 5000 Hz.
TEST_F(QtPanelTest, NumericControlsTakeThePpdsRangesWidenedToItsNumericChoices) {
  TemporaryPpd narrower(sampleWith("1 int 10 5000", "1 int 100 4000"));
  build(kBuilt, QLocale(QLocale::English), narrower.get());
  QtViewDriver& view = show();
  auto rangeOf = [&](const char* name) {
    QWidget* widget = view.root().findChild<QWidget*>(name);
    if (auto* slider = qobject_cast<QSlider*>(widget)) return Range(slider->minimum(), slider->maximum());
    const QValidator* validator = static_cast<QLineEdit*>(widget)->validator();
    if (auto* integers = qobject_cast<const QIntValidator*>(validator))
      return Range(integers->bottom(), integers->top());
    auto* decimals = qobject_cast<const QDoubleValidator*>(validator);
    return decimals ? Range(decimals->bottom(), decimals->top()) : Range();
  };
  const std::pair<std::vector<const char*>, Range> ranges[] = {
      {{"rSpeedSlider", "rSpeedTextBox", "vSpeedSlider", "vSpeedTextBox"}, {1, 100}},
      {{"rPowerSlider", "rPowerTextBox", "vPowerSlider", "vPowerTextBox"}, {0, 100}},
      {{"vFreqSlider", "vFreqTextBox"}, {50, 5000}},
      {{"resolutionSlider"}, {0, 6}},
      {{"materialTextBox"}, {0, 50}}};
  for (const auto& [names, range] : ranges) {
    for (const char* name : names) EXPECT_EQ(rangeOf(name), range) << name;
  }
}

// Down the left column, then the right; each stop says what it is to a
// screen reader or in its tool tip. The resolution's field only shows.
TEST_F(QtPanelTest, TheTabKeyGoesThroughTheGroupsInTurnAndEveryStopSaysWhatItIs) {
  build();
  QtViewDriver& view = show();
  std::string chain;
  QWidget* first = view.root().findChild<QWidget*>("jobTypePopup");
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
  EXPECT_TRUE(view.root().findChild<QLineEdit*>("resolutionTextBox")->isReadOnly());
}

// The caption of the material thickness reads in the theme's colour for
// disabled text while auto focus is off, in its normal colour while it is on.
TEST_F(QtPanelTest, TheMaterialCaptionIsGreyOnlyWhileAutoFocusIsOff) {
  build();
  QtViewDriver& view = show();
  QLabel* caption = view.root().findChild<QLabel*>("materialText");
  const QPalette theme = QApplication::palette(caption);
  ASSERT_NE(theme.color(QPalette::Active, QPalette::WindowText), theme.color(QPalette::Disabled, QPalette::WindowText));
  for (QPalette::ColorGroup wanted : {QPalette::Disabled, QPalette::Active, QPalette::Disabled}) {
    QPalette::ColorGroup drawn = caption->isEnabled() ? QPalette::Active : QPalette::Disabled;
    EXPECT_EQ(caption->palette().color(drawn, QPalette::WindowText), theme.color(wanted, QPalette::WindowText));
    view.clickCheckBox("autoFocusCheckBox");
  }
}

}  // namespace
}  // namespace zarvik::testing
