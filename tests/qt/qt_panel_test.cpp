// The panel on Qt from the built bundle, beyond what the agreement property
// holds: tables and help books, broken views, what the view shows beside the
// values, what its controls must never send, and hostile PPDs.
#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QTextBrowser>
#include <QValidator>
#include <algorithm>
#include <cstring>
#include <limits>
#include <map>
#include <set>

#include "bundle_copy.h"
#include "panel/ppd_text.h"
#include "qt_panel_platform.h"
#include "support/german_locale.h"
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

  // A panel on the PPD at its defaults, from the bundle with `locale`'s tables.
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

// Without a table for its locale the panel takes the development region's
// texts and help book; without a book for its language it leaves help to
// the host rather than open another's. (English and German: the loader.)
TEST_F(QtPanelTest, ALocaleWithoutATableGetsTheDevelopmentRegionsAndOneWithoutABookLeavesHelpToTheHost) {
  BundleCopy german(kBuilt);
  german.edit("Contents/Info.plist", "<string>en</string>", "<string>de</string>");
  ZarvikPDE& french = build(german.path, QLocale(QLocale::French));
  EXPECT_EQ(french.panelName(), "Zarvik-Einstellungen");
  EXPECT_EQ(show().find<QLabel>("jobTypeLabel").text(), "Auftragsart:");
  EXPECT_FALSE(french.shouldShowHelp());
  const std::string opened = browser.source().toString().toStdString();
  EXPECT_EQ(opened,
            "file://" + german.path.string() + "/Contents/Resources/de.lproj/ZarvikPDEHelp/index.html#AppleTitle");

  BundleCopy bookless(kBuilt);
  std::filesystem::remove(bookless.path / "Contents/Resources/en.lproj/ZarvikPDEHelp/index.html");
  EXPECT_TRUE(build(bookless.path).shouldShowHelp());
  EXPECT_EQ(browser.source().toString().toStdString(), opened);
}

// A control that fits no outlet or action is logged and the rest works on;
// a view missing or unreadable is logged and the panel works without one,
// as it does when the host closes its window before letting go of it.
TEST_F(QtPanelTest, AViewThatDoesNotFitIsLoggedAndWorksOnAndOneUnreadableOrGoneIsDoneWithout) {
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
  driver.typeText("vFreqTextBox", "700", true);
  EXPECT_EQ(host->requests(),
            (Lines{"rasterPower=Custom", "CustomrasterPower=51", "vectorFreq=Custom", "CustomvectorFreq=700"}));
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

  ZarvikPDE& core = build();
  ASSERT_TRUE(panel->loadView());
  delete &panel->root();
  panel->restore();
  panel->willShow();
  panel->optionDidChange("JobType", "Vector");
  EXPECT_TRUE(core.popUpIsInited);
  EXPECT_EQ(core.jobTypeChoice, "Vector");
}

// Each control sends the action the panel's table names for it (a slider
// on its neighbour's action passes every test built from the table); items
// bear the PPD's Latin-1 texts; Tab goes down the left column, then the
// right, each stop says what it is; the caption is grey without auto focus.
TEST_F(QtPanelTest, TheShippedViewIsWiredTitledTabbedAndGreyedAsThePanelWants) {
  build(kBuilt, QLocale(QLocale::English), testPpdPath("latin1-texts.ppd"));
  QtPanel& view = show();
  std::map<std::string, std::string> shipped, wanted;
  for (QWidget* widget : view.root().findChildren<QWidget*>()) {
    QVariant action = widget->property(qt::kActionProperty);
    if (action.isValid()) shipped[widget->objectName().toStdString()] = action.toString().toStdString();
  }
  for (const ControlActionRow& row : controlActions()) {
    for (std::string_view sender : row.senders) {
      if (!sender.empty()) wanted[std::string(sender)] = std::string(row.action);
    }
  }
  EXPECT_EQ(shipped, wanted);

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

// An unfinished edit in a field a restore disables is dropped, not sent; a
// pick refused by a host that calls back into the panel first goes back to
// the choice the person left.
TEST_F(QtPanelTest, AnUnfinishedEditOrARefusedPickNeverReachesTheJob) {
  ZarvikPDE& core = build();
  QtPanel& view = show();
  ASSERT_TRUE(view.clickCheckBox("autoFocusCheckBox"));
  ASSERT_TRUE(view.typeText("materialTextBox", "7", /*commit=*/false));
  ASSERT_TRUE(markOption(ppd.get(), "autoFocus", "disabled"));
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

// Through the panel's outlets, nothing code does sends: a raised minimum
// moving a slider, disabling it mid-drag, a value over an unfinished edit.
// Ranges round inwards, values to the nearest position (NaN to none); only
// state 1 ticks a box; keywords are bytes, found only when exact.
TEST_F(QtPanelTest, ControlsSetFromCodeSendNothingAndKeepTheirValuesInRangeAndKeywordsAsBytes) {
  ZarvikPDE& core = build();
  QtPanel& view = show();
  NSPopUpButton& popUp = *core.engravingDirectionPopup;
  popUp.selectItemAtIndex(2);
  popUp.removeAllItems();
  for (const char* title : {"Top to Bottom", "Bottom to Top"}) popUp.addItemWithTitle(title);
  EXPECT_EQ(view.itemCount("engravingDirectionPopup"), 2);
  popUp.selectItemAtIndex(1);
  for (NSInteger state : {1, 2}) {
    core.directPrintCheckBox->setState(state);
    EXPECT_EQ(view.state("directPrintCheckBox"), state == 1);
  }
  NSSlider& slider = *core.rSpeedSlider;
  slider.setFloatValue(50);
  slider.setMinValue(55.2);
  EXPECT_EQ(slider.floatValue(), 56.0f);
  slider.setFloatValue(70);
  slider.setMaxValue(60.5);
  EXPECT_EQ(slider.floatValue(), 60.0f);
  const std::pair<float, int> positions[] = {
      {57.6f, 58}, {std::numeric_limits<float>::quiet_NaN(), 58}, {1e20f, 60}, {-1e20f, 56}};
  for (auto [value, position] : positions) {
    slider.setFloatValue(value);
    EXPECT_EQ(slider.intValue(), position) << value;
  }
  slider.setMaxValue(5056);
  QSlider& handle = view.find<QSlider>("rSpeedSlider");
  EXPECT_EQ(handle.pageStep(), 500);
  handle.setSliderDown(true);
  handle.setSliderPosition(300);
  slider.setEnabled(false);
  ASSERT_TRUE(view.typeText("rPowerTextBox", "42", /*commit=*/false));
  core.rPowerTextBox->setFloatValue(7);
  view.find("vPowerTextBox").setFocus();
  core.rPowerTextBox->setMinValue(10);
  core.rPowerTextBox->setEnabled(false);
  EXPECT_EQ(host->requests(), Lines{});

  NSPopUpButton& jobType = *core.jobTypePopup;
  const std::string keywords[] = {"Raster", "Caf\xc3\xa9", "\xff\xfe"};
  for (int i = 0; i < 3; ++i) jobType.menu().itemAtIndex(i)->setRepresentedObject(keywords[i]);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(jobType.menu().itemAtIndex(i)->representedObject(), keywords[i]);
    EXPECT_EQ(jobType.indexOfItemWithRepresentedObject(keywords[i]), i);
  }
  EXPECT_EQ(jobType.indexOfItemWithRepresentedObject("raster"), -1);
  EXPECT_EQ(jobType.indexOfItemWithRepresentedObject(std::nullopt), -1);
  for (NSInteger outside : {-1, 3}) {
    EXPECT_EQ(jobType.menu().itemAtIndex(outside), nullptr);
    jobType.selectItemAtIndex(outside);
    EXPECT_EQ(jobType.indexOfSelectedItem(), -1);
  }
}

// The numeric controls take the PPD's ranges widened to its numeric choices
// (custom 100 to 4000 Hz take in the 50 and 5000 Hz choices). Fields made in
// a German locale take numbers in range with a point and the decimals
// allowed, else show the last number again on leaving; they show a point and
// read the text's start, integers truncated toward zero.
TEST_F(QtPanelTest, ControlsTakeThePpdsRangesAndFieldsOnlyNumbersInThemWithAPointInAGermanLocale) {
  GermanLocale german;
  ASSERT_EQ(german.failure(), "");
  const QLocale previous;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  TemporaryFolder folder("zarvik-qt");
  writeFile(folder.path() / "narrower.ppd", sampleWith("1 int 10 5000", "1 int 100 4000"));
  ZarvikPDE& core = build(kBuilt, QLocale(QLocale::English), folder.path() / "narrower.ppd");
  QtPanel& view = show();
  auto rangeOf = [&](const char* name) -> std::pair<double, double> {
    if (auto* slider = qobject_cast<QSlider*>(&view.find(name))) return {slider->minimum(), slider->maximum()};
    const QValidator* validator = view.find<QLineEdit>(name).validator();
    if (auto* integers = qobject_cast<const QIntValidator*>(validator)) return {integers->bottom(), integers->top()};
    auto* decimals = qobject_cast<const QDoubleValidator*>(validator);
    return decimals ? std::pair(decimals->bottom(), decimals->top()) : std::pair(0.0, 0.0);
  };
  for (auto [name, low, high] : {std::tuple{"vFreqSlider", 50, 5000},
                                 {"vFreqTextBox", 50, 5000},
                                 {"resolutionSlider", 0, 6},
                                 {"materialTextBox", 0, 50}}) {
    EXPECT_EQ(rangeOf(name), std::pair(double(low), double(high))) << name;
  }
  ASSERT_TRUE(view.clickCheckBox("autoFocusCheckBox"));
  host->calls.clear();
  const std::string frequency = view.text("vFreqTextBox");
  view.typeText("vFreqTextBox", "6000", true);
  view.find("vPowerTextBox").setFocus();
  EXPECT_EQ(view.text("vFreqTextBox"), frequency);
  view.typeText("materialTextBox", "2,5", false);
  EXPECT_EQ(view.text("materialTextBox"), "25");
  view.typeText("materialTextBox", "2.505", true);
  EXPECT_EQ(host->requests(), (Lines{"materialThickness=Custom", "CustommaterialThickness=2.500000"}));

  NSTextField& integers = *core.rSpeedTextBox;
  for (auto [value, text] : {std::pair{0.25f, "0.25"}, {12345678.0f, "12345678"}}) {
    integers.setFloatValue(value);
    EXPECT_EQ(view.text("rSpeedTextBox"), text);
  }
  view.find<QLineEdit>("rSpeedTextBox").setText("-7.9");
  EXPECT_EQ(std::pair(integers.floatValue(), integers.intValue()), std::pair(-7.9f, -7));
  QLocale::setDefault(previous);
}

// Each file of tests/data/hostile (its header says what is odd) and 10,000
// job types give a clear refusal or a panel that survives every control,
// restore and summary with a host accepting or refusing all: no crash, each
// log entry plain text on one line (but for the panel's own line breaks).
TEST_F(QtPanelTest, EachHostilePpdGivesAPanelThatSurvivesOrAClearRefusal) {
  auto survive = [&](ppd_file_t* hostile, bool hostAccepts, int itemsPerPopup) {
    auto scripted = std::make_shared<RecordingHost>(hostile);
    if (!hostAccepts) scripted->decide = [](auto, auto) { return false; };
    std::unique_ptr<DrivenPanel> built = platform.build(scripted);
    ASSERT_TRUE(built && built->loadView());
    auto& view = static_cast<QtPanel&>(*built);
    view.restore();
    view.willShow();
    for (auto* combo : view.root().findChildren<QComboBox*>()) {
      for (int i = 0; i < std::min(combo->count(), itemsPerPopup); ++i)
        view.pickItem(combo->objectName().toStdString(), i);
    }
    for (const char* box : {"autoFocusCheckBox", "vectorGridCheckBox", "directPrintCheckBox", "vSpeedCompCheckBox",
                            "vPowerCompCheckBox", "autoFocusCheckBox"}) {
      view.clickCheckBox(box);
    }
    for (auto* slider : view.root().findChildren<QSlider*>()) {
      for (int at : {slider->minimum(), slider->maximum()}) view.moveSlider(slider->objectName().toStdString(), at);
    }
    for (auto* field : view.root().findChildren<QLineEdit*>())
      view.typeText(field->objectName().toStdString(), "7", true);
    view.optionDidChange("JobType", "Raster");
    view.restore();
    if (auto summary = const_cast<ZarvikPDE&>(view.core()).summaryInfo()) {
      EXPECT_EQ(decodeUtf8Lossy(summary->begin()->second), summary->begin()->second);
    }
    for (std::string entry : log.lines) {
      for (const char* own : {"selected\nThe choice", "\n The type is", "\nText: "}) {
        for (std::size_t at; (at = entry.find(own)) != std::string::npos;) entry.erase(at, std::strlen(own));
      }
      EXPECT_EQ(oneLineText(entry), entry);
    }
    log.clear();
    built.reset();
    EXPECT_EQ(scripted.use_count(), 1) << "the panel let go of its host";
  };
  // A panel, libcups's refusal, or no panel (a required option is missing).
  const std::set<std::string> panels = {
      "control-characters.ppd", "custom-ranges.ppd",           "format-directives.ppd",     "latin1-declared-utf8.ppd",
      "missing-defaults.ppd",   "options-without-choices.ppd", "required-option-twice.ppd", "truncated-in-openui.ppd",
      "two-custom-params.ppd",  "unknown-encoding.ppd",        "unusual-keywords.ppd",      "utf8-declared-latin1.ppd"};
  const std::map<std::string, ppd_status_t> refused = {{"binary-garbage.ppd", PPD_MISSING_ASTERISK},
                                                       {"duplicate-custom-param.ppd", PPD_BAD_CUSTOM_PARAM},
                                                       {"empty.ppd", PPD_MISSING_PPDADOBE4},
                                                       {"high-byte-keyword.ppd", PPD_ILLEGAL_OPTION_KEYWORD},
                                                       {"long-choice-keyword.ppd", PPD_ILLEGAL_OPTION_KEYWORD}};
  const std::string noPanel = "truncated-before-required.ppd";
  std::size_t seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(testPpdPath("hostile"))) {
    const std::string file = entry.path().filename().string();
    SCOPED_TRACE(file);
    ASSERT_TRUE(panels.contains(file) || refused.contains(file) || file == noPanel) << "say here what it gives";
    ++seen;
    ScopedPpd opened(ppdOpenFile(entry.path().c_str()));
    int line = 0;
    if (refused.contains(file)) {
      EXPECT_FALSE(opened);
      EXPECT_EQ(ppdLastError(&line), refused.at(file));
      continue;
    }
    ASSERT_TRUE(opened);
    ppdMarkDefaults(opened.get());
    if (file == noPanel) {
      host = std::make_shared<RecordingHost>(opened.get());
      EXPECT_FALSE(platform.build(host));
      EXPECT_TRUE(log.lines.empty() && host->calls.empty());
      continue;
    }
    survive(opened.get(), /*hostAccepts=*/true, 8);
    survive(opened.get(), /*hostAccepts=*/false, 8);
  }
  EXPECT_EQ(seen, panels.size() + refused.size() + 1);

  // 10,000 job types fill one pop-up.
  std::string jobTypes;
  for (int i = 0; i < 10000; ++i)
    jobTypes += "*JobType T" + std::to_string(i) + "/Type " + std::to_string(i) + ": \"\"\n";
  TemporaryPpd large(sampleWith("*JobType Raster/Raster Only: \"\"\n", jobTypes));
  ASSERT_TRUE(large.get());
  survive(large.get(), /*hostAccepts=*/true, 3);
}

}  // namespace
}  // namespace zarvik::testing
