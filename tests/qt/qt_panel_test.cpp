// The panel on its real view: ZarvikPDE.ui loaded from the built bundle
// into Qt widgets, bound to the sample PPD through the recording host, and
// worked with QTest's keys, clicks and drags as a person would.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "qt_input.h"
#include "qt_panel_fixture.h"

namespace zarvik::testing {
namespace {

using Requests = std::vector<std::string>;

// The outlets of the panel, by the kind of widget each is in the view.
const char* const kPopUps[] = {"jobTypePopup", "centerEngravingPopup", "ditheringPopup", "engravingDirectionPopup",
                               "vSortingPopup"};
const char* const kCheckBoxes[] = {"directPrintCheckBox", "autoFocusCheckBox", "vectorGridCheckBox",
                                   "vSpeedCompCheckBox", "vPowerCompCheckBox"};
const char* const kSliders[] = {"rPowerSlider", "rSpeedSlider", "vSpeedSlider",
                                "vPowerSlider", "vFreqSlider",  "resolutionSlider"};
const char* const kFields[] = {"materialTextBox", "rPowerTextBox", "rSpeedTextBox", "vSpeedTextBox",
                               "vPowerTextBox",   "vFreqTextBox",  "resolutionTextBox"};

std::vector<std::string> titles(const QComboBox& comboBox) {
  std::vector<std::string> out;
  for (int i = 0; i < comboBox.count(); ++i) out.push_back(comboBox.itemText(i).toStdString());
  return out;
}

std::vector<std::string> keywords(const QComboBox& comboBox) {
  std::vector<std::string> out;
  for (int i = 0; i < comboBox.count(); ++i) {
    out.push_back(comboBox.itemData(i, Qt::UserRole).toByteArray().toStdString());
  }
  return out;
}

class QtPanelViewTest : public QtPanelTest {};

TEST_F(QtPanelViewTest, TheViewConnectsEveryOutletAndFillsThePopUpsWithKeywords) {
  makePanel();
  QWidget& view = showPanel();

  EXPECT_EQ(view.objectName(), "zarvikView");
  for (const std::string& line : log.lines) EXPECT_EQ(line.rfind("Zarvik PDE view", 0), std::string::npos) << line;
  for (auto* outlet : {&panel->jobTypePopup, &panel->centerEngravingPopup, &panel->ditheringPopup,
                       &panel->engravingDirectionPopup, &panel->vSortingPopup}) {
    EXPECT_TRUE(outlet->isConnected());
  }
  for (auto* outlet : {&panel->directPrintCheckBox, &panel->autoFocusCheckBox, &panel->vectorGridCheckBox,
                       &panel->vSpeedCompCheckBox, &panel->vPowerCompCheckBox}) {
    EXPECT_TRUE(outlet->isConnected());
  }
  for (auto* outlet : {&panel->rPowerSlider, &panel->rSpeedSlider, &panel->vSpeedSlider, &panel->vPowerSlider,
                       &panel->vFreqSlider, &panel->resolutionSlider}) {
    EXPECT_TRUE(outlet->isConnected());
  }
  for (auto* outlet : {&panel->materialTextBox, &panel->materialText, &panel->rPowerTextBox, &panel->rSpeedTextBox,
                       &panel->vSpeedTextBox, &panel->vPowerTextBox, &panel->vFreqTextBox,
                       &panel->resolutionTextBox}) {
    EXPECT_TRUE(outlet->isConnected());
  }

  // Titles as the PPD gives them, keywords on the items, the PPD's
  // defaults selected.
  const QComboBox& jobType = find<QComboBox>("jobTypePopup");
  EXPECT_EQ(titles(jobType), (Requests{"Raster Only", "Vector Only", "Raster and Vector"}));
  EXPECT_EQ(keywords(jobType), (Requests{"Raster", "Vector", "Combined"}));
  EXPECT_EQ(jobType.currentIndex(), 2);
  const QComboBox& dithering = find<QComboBox>("ditheringPopup");
  EXPECT_EQ(keywords(dithering),
            (Requests{"Threshold", "Random", "Ordered", "Halftone", "FloydSteinberg", "Atkinson", "Sierra"}));
  EXPECT_EQ(dithering.currentText(), "Error Diffusion (Floyd-Steinberg)");
  EXPECT_EQ(keywords(find<QComboBox>("centerEngravingPopup")), (Requests{"None", "Horizontal", "Vertical", "Center"}));
  EXPECT_EQ(keywords(find<QComboBox>("engravingDirectionPopup")), (Requests{"TopDown", "BottomUp"}));
  EXPECT_EQ(keywords(find<QComboBox>("vSortingPopup")), (Requests{"Off", "Optimize", "InsideOut"}));
  EXPECT_EQ(find<QComboBox>("vSortingPopup").currentIndex(), 1);

  // Every control a person works says what it is, to the eye and to a
  // screen reader.
  for (const char* name : kPopUps) EXPECT_FALSE(find<QWidget>(name).toolTip().isEmpty()) << name;
  for (const char* name : kCheckBoxes) EXPECT_FALSE(find<QWidget>(name).accessibleName().isEmpty()) << name;
  for (const char* name : kSliders) EXPECT_FALSE(find<QWidget>(name).toolTip().isEmpty()) << name;
  for (const char* name : kFields) EXPECT_FALSE(find<QWidget>(name).accessibleName().isEmpty()) << name;
}

TEST_F(QtPanelViewTest, EveryControlShowsTheModel) {
  configureHost = [this](RecordingHost& host) {
    const std::pair<const char*, const char*> stored[] = {
        {kRasterSpeedSuffix, "100"}, {kVectorSpeedSuffix, "30"},         {kVectorPowerSuffix, "80"},
        {kVectorFreqSuffix, "500"},  {kMaterialThicknessSuffix, "2.25"}, {kResolutionSuffix, "1200"}};
    for (const auto& [suffix, value] : stored) host.settings.values[ZarvikPDE::printSettingsKey(suffix)] = value;
  };
  makePanel();
  showPanel();

  const std::pair<const char*, int> sliders[] = {{"rSpeedSlider", 100}, {"rPowerSlider", 50}, {"vSpeedSlider", 30},
                                                 {"vPowerSlider", 80},  {"vFreqSlider", 500}, {"resolutionSlider", 6}};
  for (const auto& [name, value] : sliders) EXPECT_EQ(find<QSlider>(name).value(), value) << name;
  const std::pair<const char*, const char*> fields[] = {
      {"rSpeedTextBox", "100"}, {"rPowerTextBox", "50"},    {"vSpeedTextBox", "30"},      {"vPowerTextBox", "80"},
      {"vFreqTextBox", "500"},  {"materialTextBox", "2.25"}, {"resolutionTextBox", "1200"}};
  for (const auto& [name, text] : fields) EXPECT_EQ(find<QLineEdit>(name).text().toStdString(), text) << name;
  EXPECT_TRUE(find<QCheckBox>("vPowerCompCheckBox").isChecked());
  EXPECT_FALSE(find<QCheckBox>("vSpeedCompCheckBox").isChecked());
  EXPECT_FALSE(find<QCheckBox>("autoFocusCheckBox").isChecked());
  // Auto focus is off: what depends on it is greyed out.
  EXPECT_FALSE(find<QLineEdit>("materialTextBox").isEnabled());
  EXPECT_FALSE(find<QLabel>("materialText").isEnabled());
  EXPECT_FALSE(find<QCheckBox>("vectorGridCheckBox").isEnabled());
}

TEST_F(QtPanelViewTest, OnOffOptionsMarkedInThePpdShowInTheirBoxes) {
  ASSERT_TRUE(markOption(ppdFile.get(), "autoFocus", "enabled"));
  ASSERT_TRUE(markOption(ppdFile.get(), "vectorGrid", "enabled"));
  ASSERT_TRUE(markOption(ppdFile.get(), "directPrint", "enabled"));
  makePanel();
  showPanel();

  EXPECT_TRUE(find<QCheckBox>("autoFocusCheckBox").isChecked());
  EXPECT_TRUE(find<QCheckBox>("vectorGridCheckBox").isChecked());
  EXPECT_TRUE(find<QCheckBox>("vectorGridCheckBox").isEnabled());
  EXPECT_TRUE(find<QCheckBox>("directPrintCheckBox").isChecked());
  EXPECT_TRUE(find<QLineEdit>("materialTextBox").isEnabled());
  EXPECT_TRUE(find<QLabel>("materialText").isEnabled());
}

TEST_F(QtPanelViewTest, NumericControlsTakeThePpdsRanges) {
  TemporaryPpd narrower(sampleWith("1 int 10 5000", "1 int 20 4000"));
  makePanel(narrower.get());
  showPanel();

  const std::tuple<const char*, int, int> ranges[] = {{"rSpeedSlider", 1, 100}, {"rPowerSlider", 0, 100},
                                                      {"vSpeedSlider", 1, 100}, {"vPowerSlider", 0, 100},
                                                      {"vFreqSlider", 20, 5000}, {"resolutionSlider", 0, 6}};
  for (const auto& [name, minimum, maximum] : ranges) {
    EXPECT_EQ(find<QSlider>(name).minimum(), minimum) << name;
    EXPECT_EQ(find<QSlider>(name).maximum(), maximum) << name;
  }
  auto* frequency = qobject_cast<const QIntValidator*>(find<QLineEdit>("vFreqTextBox").validator());
  ASSERT_NE(frequency, nullptr);
  // The custom range, widened to the PPD's own choice of 5000 Hz.
  EXPECT_EQ(frequency->bottom(), 20);
  EXPECT_EQ(frequency->top(), 5000);
  auto* thickness = qobject_cast<const QDoubleValidator*>(find<QLineEdit>("materialTextBox").validator());
  ASSERT_NE(thickness, nullptr);
  EXPECT_EQ(thickness->bottom(), 0.0);
  EXPECT_EQ(thickness->top(), 50.0);
  // The resolution has seven steps, each labelled.
  for (const char* step : {"75", "150", "200", "300", "400", "600", "1200"}) {
    EXPECT_EQ(find<QLabel>((std::string("resolutionStep") + step).c_str()).text(), step);
  }
}

TEST_F(QtPanelViewTest, LoadingAndRefreshingTheViewSendNoAction) {
  makePanel();
  panel->restoreValuesAndReturnError(nullptr);
  newRequests();

  // Loading narrows the ranges and moves values into them; showing fills
  // the pop-ups and sets every control; none of it is a person's change.
  loadView();
  panel->updateUI();
  panel->PPDOptionKeyValueDidChange(std::string("JobType"), std::string("Raster"));
  panel->updateUI();
  panel->willShow();

  EXPECT_EQ(newRequests(), Requests{});
  EXPECT_EQ(find<QComboBox>("jobTypePopup").currentText(), "Raster Only");
}

TEST_F(QtPanelViewTest, KeysOnSlidersReachTheHost) {
  makePanel();
  showPanel();
  newRequests();

  QTest::keyClick(&find<QSlider>("rPowerSlider"), Qt::Key_Right);
  EXPECT_EQ(newRequests(), (Requests{"rasterPower=Custom", "CustomrasterPower=51"}));
  EXPECT_EQ(find<QLineEdit>("rPowerTextBox").text(), "51");

  QTest::keyClick(&find<QSlider>("vSpeedSlider"), Qt::Key_PageUp);
  EXPECT_EQ(newRequests(), (Requests{"vectorSpeed=Custom", "CustomvectorSpeed=59"}));

  // The resolution slider steps through the seven resolutions; its field
  // shows the resolution and sends nothing itself.
  QSlider& resolution = find<QSlider>("resolutionSlider");
  QTest::keyClick(&resolution, Qt::Key_End);
  QTest::keyClick(&resolution, Qt::Key_Home);
  QTest::keyClick(&resolution, Qt::Key_Right);
  EXPECT_EQ(newRequests(), (Requests{"cResolution=Custom", "CustomcResolution=1200", "cResolution=Custom",
                                     "CustomcResolution=75", "cResolution=Custom", "CustomcResolution=150"}));
  QLineEdit& resolutionText = find<QLineEdit>("resolutionTextBox");
  EXPECT_EQ(resolutionText.text(), "150");
  EXPECT_TRUE(resolutionText.isReadOnly());
  QTest::keyClicks(&resolutionText, "300");
  QTest::keyClick(&resolutionText, Qt::Key_Return);
  EXPECT_EQ(resolutionText.text(), "150");
  EXPECT_EQ(newRequests(), Requests{});
  EXPECT_EQ(host->settings.values[ZarvikPDE::printSettingsKey(kResolutionSuffix)], PrintSettingValue("150"));
}

TEST_F(QtPanelViewTest, DraggingASliderSendsOnceWhenLetGo) {
  makePanel();
  showPanel();
  newRequests();

  QSlider& frequency = find<QSlider>("vFreqSlider");
  dragSliderHandle(frequency, frequency.width());

  EXPECT_EQ(newRequests(), (Requests{"vectorFreq=Custom", "CustomvectorFreq=5000"}));
  EXPECT_EQ(find<QLineEdit>("vFreqTextBox").text(), "5000");
}

TEST_F(QtPanelViewTest, TypingInTheFieldBesideASliderSendsTheSlidersAction) {
  makePanel();
  QWidget& view = showPanel();
  newRequests();
  view.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&view));

  QLineEdit& speed = find<QLineEdit>("rSpeedTextBox");
  speed.setFocus();
  speed.selectAll();
  QTest::keyClicks(&speed, "42");
  QTest::keyClick(&speed, Qt::Key_Return);
  EXPECT_EQ(newRequests(), (Requests{"rasterSpeed=Custom", "CustomrasterSpeed=42"}));
  EXPECT_EQ(find<QSlider>("rSpeedSlider").value(), 42);

  // Beyond what the PPD accepts: nothing is sent, and leaving the field
  // shows the speed the job keeps.
  speed.selectAll();
  QTest::keyClicks(&speed, "500");
  QTest::keyClick(&speed, Qt::Key_Return);
  QTest::keyClick(&speed, Qt::Key_Tab);
  EXPECT_EQ(newRequests(), Requests{});
  EXPECT_EQ(speed.text(), "42");
  // Tab moved on to the next control in the panel's order.
  EXPECT_EQ(QApplication::focusWidget(), &find<QSlider>("rPowerSlider"));
}

TEST_F(QtPanelViewTest, ClicksOnCheckBoxesReachTheHost) {
  makePanel();
  showPanel();
  newRequests();

  clickCheckBox(find<QCheckBox>("directPrintCheckBox"));
  clickCheckBox(find<QCheckBox>("vSpeedCompCheckBox"));
  QCheckBox& powerCompensation = find<QCheckBox>("vPowerCompCheckBox");
  powerCompensation.setFocus();
  QTest::keyClick(&powerCompensation, Qt::Key_Space);

  EXPECT_EQ(newRequests(), (Requests{"directPrint=enabled", "vectorSpeedComp=enabled", "vectorPowerComp=disabled"}));
  EXPECT_EQ(panel->oDirectPrint, 1);
  EXPECT_EQ(panel->vSpeedComp, 1);
  EXPECT_EQ(panel->vPowerComp, 0);
}

TEST_F(QtPanelViewTest, AutoFocusOpensTheMaterialThicknessAndTheVectorGrid) {
  makePanel();
  QWidget& view = showPanel();
  view.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
  newRequests();
  QCheckBox& autoFocus = find<QCheckBox>("autoFocusCheckBox");
  QCheckBox& grid = find<QCheckBox>("vectorGridCheckBox");
  QLineEdit& thickness = find<QLineEdit>("materialTextBox");
  QLabel& caption = find<QLabel>("materialText");

  clickCheckBox(autoFocus);
  EXPECT_EQ(newRequests(), Requests{"autoFocus=enabled"});
  EXPECT_TRUE(thickness.isEnabled());
  EXPECT_TRUE(caption.isEnabled());
  EXPECT_TRUE(grid.isEnabled());
  EXPECT_EQ(caption.palette().color(QPalette::Active, QPalette::WindowText),
            QApplication::palette(&caption).color(QPalette::Active, QPalette::WindowText));

  thickness.setFocus();
  thickness.selectAll();
  QTest::keyClicks(&thickness, "2.5");
  QTest::keyClick(&thickness, Qt::Key_Enter);
  EXPECT_EQ(newRequests(), (Requests{"materialThickness=Custom", "CustommaterialThickness=2.500000"}));
  EXPECT_EQ(thickness.text(), "2.5");
  EXPECT_EQ(host->settings.values[ZarvikPDE::printSettingsKey(kMaterialThicknessSuffix)],
            PrintSettingValue("2.500000"));

  clickCheckBox(grid);
  clickCheckBox(autoFocus);
  EXPECT_EQ(newRequests(), (Requests{"vectorGrid=enabled", "vectorGrid=disabled", "autoFocus=disabled"}));
  EXPECT_FALSE(grid.isChecked());
  EXPECT_FALSE(grid.isEnabled());
  EXPECT_FALSE(thickness.isEnabled());
  EXPECT_EQ(caption.palette().color(QPalette::Active, QPalette::WindowText),
            QApplication::palette(&caption).color(QPalette::Disabled, QPalette::WindowText));
}

TEST_F(QtPanelViewTest, KeysOnPopUpsReachTheHost) {
  makePanel();
  showPanel();
  newRequests();

  QTest::keyClick(&find<QComboBox>("ditheringPopup"), Qt::Key_Down);
  QTest::keyClick(&find<QComboBox>("jobTypePopup"), Qt::Key_Up);
  QTest::keyClick(&find<QComboBox>("engravingDirectionPopup"), Qt::Key_End);

  EXPECT_EQ(newRequests(), (Requests{"dithering=Atkinson", "JobType=Vector", "EngravingDirection=BottomUp"}));
  EXPECT_EQ(panel->ditheringChoice, "Atkinson");
  EXPECT_EQ(panel->jobTypeChoice, "Vector");
  EXPECT_EQ(panel->engraveDirChoice, "BottomUp");
}

TEST_F(QtPanelViewTest, ARefusedChangeSpringsBackWithoutAnotherRequest) {
  makePanel();
  showPanel();
  newRequests();
  host->refuse("CustomrasterPower");
  host->refuse("JobType");
  host->refuse("directPrint");

  QTest::keyClick(&find<QSlider>("rPowerSlider"), Qt::Key_Right);
  QTest::keyClick(&find<QComboBox>("jobTypePopup"), Qt::Key_Up);
  clickCheckBox(find<QCheckBox>("directPrintCheckBox"));

  // One offer per change: the controls going back are set from code.
  EXPECT_EQ(newRequests(),
            (Requests{"rasterPower=Custom", "CustomrasterPower=51", "JobType=Vector", "directPrint=enabled"}));
  EXPECT_EQ(find<QSlider>("rPowerSlider").value(), 50);
  EXPECT_EQ(find<QLineEdit>("rPowerTextBox").text(), "50");
  EXPECT_EQ(find<QComboBox>("jobTypePopup").currentText(), "Raster and Vector");
  EXPECT_FALSE(find<QCheckBox>("directPrintCheckBox").isChecked());
}

TEST_F(QtPanelViewTest, TheTabOrderGoesThroughTheGroupsInTurn) {
  makePanel();
  QWidget& view = showPanel();

  const std::vector<std::string> expected = {
      "jobTypePopup",  "centerEngravingPopup", "engravingDirectionPopup", "resolutionSlider", "directPrintCheckBox",
      "autoFocusCheckBox", "materialTextBox", "rSpeedSlider", "rSpeedTextBox", "rPowerSlider", "rPowerTextBox",
      "ditheringPopup", "vSpeedSlider", "vSpeedTextBox", "vPowerSlider", "vPowerTextBox", "vFreqSlider",
      "vFreqTextBox", "vSortingPopup", "vSpeedCompCheckBox", "vPowerCompCheckBox", "vectorGridCheckBox"};
  std::vector<std::string> chain;
  QWidget* widget = &find<QWidget>("jobTypePopup");
  do {
    if (widget->focusPolicy() & Qt::TabFocus) chain.push_back(widget->objectName().toStdString());
    widget = widget->nextInFocusChain();
  } while (widget != &find<QWidget>("jobTypePopup") && widget != &view && chain.size() < 40);
  EXPECT_EQ(chain, expected);
}

TEST_F(QtPanelViewTest, AGermanLocaleShowsGermanTextsAndThePpdsOwn) {
  useBundle(builtBundlePath(), QLocale(QLocale::German, QLocale::Germany));
  makePanel();
  showPanel();

  EXPECT_EQ(panel->panelName(), "Zarvik-Einstellungen");
  EXPECT_EQ(find<QGroupBox>("jobGroup").title(), "Auftrag");
  EXPECT_EQ(find<QGroupBox>("rasterGroup").title(), "Rastergravur");
  EXPECT_EQ(find<QGroupBox>("vectorGroup").title(), "Vektorschnitt");
  EXPECT_EQ(find<QLabel>("jobTypeLabel").text(), "Auftragsart:");
  EXPECT_EQ(find<QLabel>("materialText").text(), "Materialstärke:");
  EXPECT_EQ(find<QCheckBox>("autoFocusCheckBox").text(), "Autofokus");
  EXPECT_EQ(find<QSlider>("vFreqSlider").toolTip(), "Pulsfrequenz des Lasers für den Vektorschnitt in Hertz");
  EXPECT_EQ(find<QComboBox>("jobTypePopup").accessibleName(), "Auftragsart");
  // The PPD's choices are shown as the PPD gives them.
  EXPECT_EQ(find<QComboBox>("jobTypePopup").currentText(), "Raster and Vector");
  auto summary = panel->summaryInfo();
  ASSERT_TRUE(summary.has_value());
  EXPECT_EQ(*summary, (std::map<std::string, std::string>{{"Zarvik-Einstellungen", "Raster and Vector"}}));
}

}  // namespace
}  // namespace zarvik::testing
