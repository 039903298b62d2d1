// The panel in a real window of an X server: a host loads the bundle,
// puts the panel's view into its window, and a person works every kind of
// control with the mouse and the keyboard. ctest runs it under xvfb-run.
//
// With ZARVIK_PANEL_SCREENSHOT naming a PNG file, the picture of the panel
// on the sample PPD is saved there (docs/panel.png comes from it).
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QSlider>
#include <QStyleHints>
#include <QTest>
#include <QVBoxLayout>

#include "platform/qt/plugin_bundle.h"
#include "qt_input.h"
#include "support/ppd_files.h"
#include "support/recording_host.h"

namespace zarvik::testing {
namespace {

using Requests = std::vector<std::string>;

class PanelWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "this test needs an X server";
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ppdFile = openPpd(samplePpdPath());
    markDefaults(ppdFile.get());
    host = std::make_shared<RecordingHost>(ppdFile.get());

    PlugInBundle::Opened opened = PlugInBundle::open(ZARVIK_PDE_BUNDLE_DIR);
    ASSERT_NE(opened.bundle, nullptr) << opened.error;
    bundle = std::move(opened.bundle);
    std::optional<PDEPanelList> panels = bundle->principalClass().PDEPanelsForType(kPrintDialogExtensionType, host);
    ASSERT_TRUE(panels && panels->size() == 1);
    panel = panels->front();

    // The host's part: the view in its window, restore, willShow, show.
    NSView* view = panel->panelView();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(panel->restoreValuesAndReturnError(nullptr));
    auto* panelWidget = static_cast<QWidget*>(view->nativeView());
    window.setWindowTitle(QString::fromStdString(panel->panelName()));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(panelWidget);
    panel->willShow();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    host->calls.clear();
  }

  void TearDown() override {
    // The panel deletes its view, which leaves the window.
    panel.reset();
    QLocale::setDefault(QLocale::system());
  }

  template <class Widget>
  Widget& find(const char* name) {
    auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) throw std::runtime_error(std::string("the window has no ") + name);
    return *widget;
  }

  ScopedPpd ppdFile;
  std::shared_ptr<RecordingHost> host;
  std::unique_ptr<PlugInBundle> bundle;
  std::shared_ptr<PDEPanel> panel;
  QWidget window;
};

TEST_F(PanelWindowTest, ThePanelDrawsItselfInTheWindow) {
  QPixmap picture = window.grab();
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.size(), window.size() * window.devicePixelRatio());
  EXPECT_EQ(window.windowTitle(), "Zarvik Settings");
  if (QByteArray path = qgetenv("ZARVIK_PANEL_SCREENSHOT"); !path.isEmpty()) {
    EXPECT_TRUE(picture.save(QString::fromLocal8Bit(path), "PNG")) << path.toStdString();
  }
}

TEST_F(PanelWindowTest, EveryKindOfControlWorksByMouseAndKeyboard) {
  // A check box clicked.
  clickCheckBox(find<QCheckBox>("directPrintCheckBox"));
  EXPECT_EQ(host->requests(), Requests{"directPrint=enabled"});

  // A pop-up opened with the mouse and an item chosen in its list.
  host->calls.clear();
  QComboBox& dithering = find<QComboBox>("ditheringPopup");
  QTest::mouseClick(&dithering, Qt::LeftButton);
  QAbstractItemView* list = dithering.view();
  ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }));
  // The list ignores a release that comes as quickly as a double click.
  QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
  QRect random = list->visualRect(dithering.model()->index(1, 0));
  QTest::mouseMove(list->viewport(), random.center());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, random.center());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !list->isVisible(); }));
  EXPECT_EQ(host->requests(), Requests{"dithering=Random"});
  EXPECT_EQ(dithering.currentText(), "Random Noise");

  // A slider's handle dragged to the end.
  host->calls.clear();
  QSlider& power = find<QSlider>("rPowerSlider");
  dragSliderHandle(power, power.width());
  EXPECT_EQ(host->requests(), (Requests{"rasterPower=Custom", "CustomrasterPower=100"}));
  EXPECT_EQ(find<QLineEdit>("rPowerTextBox").text(), "100");

  // A number typed into a field clicked into.
  host->calls.clear();
  QLineEdit& vectorPower = find<QLineEdit>("vPowerTextBox");
  QTest::mouseClick(&vectorPower, Qt::LeftButton);
  EXPECT_TRUE(vectorPower.hasFocus());
  QTest::keyClick(&vectorPower, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(&vectorPower, "65");
  QTest::keyClick(&vectorPower, Qt::Key_Return);
  EXPECT_EQ(host->requests(), (Requests{"vectorPower=Custom", "CustomvectorPower=65"}));
  EXPECT_EQ(find<QSlider>("vPowerSlider").value(), 65);

  // Tab on to the next control, and work it with the keyboard.
  host->calls.clear();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), &find<QSlider>("vFreqSlider"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
  EXPECT_EQ(host->requests(), (Requests{"vectorFreq=Custom", "CustomvectorFreq=51"}));
}

}  // namespace
}  // namespace zarvik::testing
