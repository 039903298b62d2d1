// The Qt adapters of the panel's controls, on bare widgets: what they show
// and answer, and that only a person's input sends a control's action.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

#include "platform/qt/qt_controls.h"
#include "qt_input.h"

namespace zarvik::qt {
namespace {

using zarvik::testing::clickCheckBox;
using zarvik::testing::dragSliderHandle;

// Records what each delivered action saw of its sender.
struct Sent {
  std::vector<NSInteger> selections;
  std::vector<NSInteger> states;
  std::vector<float> values;

  ControlAction popUp() {
    return std::function<void(NSPopUpButton&)>(
        [this](NSPopUpButton& sender) { selections.push_back(sender.indexOfSelectedItem()); });
  }
  ControlAction checkBox() {
    return std::function<void(StateSource&)>([this](StateSource& sender) { states.push_back(sender.state()); });
  }
  ControlAction number() {
    return std::function<void(FloatValueSource&)>(
        [this](FloatValueSource& sender) { values.push_back(sender.floatValue()); });
  }
};

// A shown, active window that holds the widgets under test.
class Window {
 public:
  Window() {
    widget.setLayout(new QVBoxLayout);
    widget.resize(320, 200);
  }
  template <class W>
  W& add(W* child) {
    widget.layout()->addWidget(child);
    return *child;
  }
  void show() {
    widget.show();
    widget.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&widget));
  }
  QWidget widget;
};

TEST(QtPopUpButtonTest, ItemsCarryTheirRepresentedObjectsByteForByte) {
  QComboBox comboBox;
  QtPopUpButton popUp(&comboBox);
  Sent sent;
  ASSERT_TRUE(popUp.setAction(sent.popUp()));

  for (const char* title : {"Raster Only", "Vector Only", "Raster Only"}) popUp.addItemWithTitle(title);
  const char* keywords[] = {"Raster", "Vector", "Caf\xc3\xa9\xff"};
  for (int i = 0; i < 3; ++i) {
    NSMenuItem* item = popUp.menu().itemAtIndex(i);
    ASSERT_NE(item, nullptr);
    item->setRepresentedObject(std::string(keywords[i]));
  }

  // Appended in call order, one per call, even with a repeated title.
  ASSERT_EQ(comboBox.count(), 3);
  EXPECT_EQ(comboBox.itemText(2), "Raster Only");
  EXPECT_EQ(comboBox.itemData(1, Qt::UserRole).toByteArray(), QByteArray("Vector"));
  EXPECT_EQ(popUp.menu().itemAtIndex(2)->representedObject(), std::optional<std::string>("Caf\xc3\xa9\xff"));
  EXPECT_EQ(popUp.menu().itemAtIndex(3), nullptr);
  EXPECT_EQ(popUp.menu().itemAtIndex(-1), nullptr);

  EXPECT_EQ(popUp.indexOfItemWithRepresentedObject("Vector"), 1);
  EXPECT_EQ(popUp.indexOfItemWithRepresentedObject("vector"), -1);
  EXPECT_EQ(popUp.indexOfItemWithRepresentedObject("Caf\xc3\xa9\xff"), 2);
  EXPECT_EQ(popUp.indexOfItemWithRepresentedObject(std::nullopt), -1);

  popUp.selectItemAtIndex(1);
  EXPECT_EQ(comboBox.currentIndex(), 1);
  popUp.selectItemAtIndex(-1);
  EXPECT_EQ(popUp.indexOfSelectedItem(), -1);
  EXPECT_EQ(comboBox.currentText(), "");
  popUp.selectItemAtIndex(3);
  EXPECT_EQ(popUp.indexOfSelectedItem(), -1);

  // An item without an object answers none; so does a proxy whose item
  // was removed, and setting it changes nothing.
  popUp.menu().itemAtIndex(0)->setRepresentedObject(std::nullopt);
  EXPECT_EQ(popUp.menu().itemAtIndex(0)->representedObject(), std::nullopt);
  NSMenuItem* stale = popUp.menu().itemAtIndex(1);
  popUp.removeAllItems();
  EXPECT_EQ(comboBox.count(), 0);
  EXPECT_EQ(popUp.menu().itemAtIndex(0), nullptr);
  EXPECT_EQ(stale->representedObject(), std::nullopt);
  stale->setRepresentedObject(std::string("Vector"));
  EXPECT_EQ(comboBox.count(), 0);

  EXPECT_TRUE(sent.selections.empty());
}

TEST(QtPopUpButtonTest, OnlyAPersonsChoiceSendsTheAction) {
  Window window;
  QComboBox& comboBox = window.add(new QComboBox);
  QtPopUpButton popUp(&comboBox);
  Sent sent;
  ASSERT_TRUE(popUp.setAction(sent.popUp()));
  EXPECT_FALSE(popUp.setAction(sent.checkBox()));
  for (const char* title : {"Top to Bottom", "Bottom to Top", "Inside Out"}) popUp.addItemWithTitle(title);
  window.show();

  popUp.selectItemAtIndex(0);
  QTest::keyClick(&comboBox, Qt::Key_Down);
  QTest::keyClick(&comboBox, Qt::Key_Down);
  popUp.selectItemAtIndex(0);
  popUp.removeAllItems();
  popUp.addItemWithTitle("Top to Bottom");
  popUp.addItemWithTitle("Bottom to Top");
  popUp.selectItemAtIndex(1);
  popUp.setEnabled(false);
  QTest::keyClick(&comboBox, Qt::Key_Up);

  EXPECT_EQ(sent.selections, (std::vector<NSInteger>{1, 2}));
  EXPECT_EQ(comboBox.currentIndex(), 1);
}

TEST(QtCheckBoxTest, OnlyAClickOrTheSpaceBarSendsTheState) {
  Window window;
  QCheckBox& box = window.add(new QCheckBox("Direct print"));
  QtCheckBox checkBox(&box);
  Sent sent;
  ASSERT_TRUE(checkBox.setAction(sent.checkBox()));
  EXPECT_FALSE(checkBox.setAction(sent.number()));
  window.show();

  checkBox.setState(1);
  EXPECT_TRUE(box.isChecked());
  EXPECT_EQ(checkBox.state(), 1);
  checkBox.setState(0);
  EXPECT_EQ(checkBox.state(), 0);
  // Only 1 is on, as the panel reads a state.
  checkBox.setState(-1);
  EXPECT_EQ(checkBox.state(), 0);
  checkBox.setState(0);
  EXPECT_TRUE(sent.states.empty());

  clickCheckBox(box);
  box.setFocus();
  QTest::keyClick(&box, Qt::Key_Space);
  checkBox.setEnabled(false);
  clickCheckBox(box);

  EXPECT_EQ(sent.states, (std::vector<NSInteger>{1, 0}));
  EXPECT_EQ(checkBox.state(), 0);
}

TEST(QtSliderTest, ChangesFromCodeSendNothingEvenWhenTheRangeMovesTheValue) {
  QSlider handle(Qt::Horizontal);
  handle.setRange(0, 100);
  handle.setValue(50);
  QtSlider slider(&handle);
  Sent sent;
  ASSERT_TRUE(slider.setAction(sent.number()));

  slider.setFloatValue(70);
  EXPECT_EQ(slider.intValue(), 70);
  slider.setMaxValue(60.5);  // the value follows the range inwards
  EXPECT_EQ(handle.maximum(), 60);
  EXPECT_EQ(slider.floatValue(), 60.0f);
  slider.setMinValue(55.2);
  EXPECT_EQ(handle.minimum(), 56);
  slider.setFloatValue(57.6f);
  EXPECT_EQ(slider.intValue(), 58);
  slider.setFloatValue(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(slider.intValue(), 58);
  slider.setFloatValue(1e20f);
  EXPECT_EQ(slider.intValue(), 60);
  slider.setMinValue(10);
  slider.setMaxValue(5000);
  EXPECT_EQ(handle.pageStep(), 499);
  slider.setEnabled(false);
  EXPECT_FALSE(handle.isEnabled());

  EXPECT_TRUE(sent.values.empty());
}

TEST(QtSliderTest, KeysSendEachStepAndADragSendsOnceWhenLetGo) {
  Window window;
  QSlider& handle = window.add(new QSlider(Qt::Horizontal));
  handle.setRange(0, 100);
  QtSlider slider(&handle);
  Sent sent;
  ASSERT_TRUE(slider.setAction(sent.number()));
  slider.setFloatValue(50);
  window.show();

  QTest::keyClick(&handle, Qt::Key_Right);
  QTest::keyClick(&handle, Qt::Key_PageUp);
  QTest::keyClick(&handle, Qt::Key_End);
  ASSERT_EQ(sent.values, (std::vector<float>{51, 61, 100}));

  sent.values.clear();
  slider.setFloatValue(0);
  dragSliderHandle(handle, handle.width());
  EXPECT_EQ(sent.values, (std::vector<float>{100}));

  sent.values.clear();
  slider.setEnabled(false);
  QTest::keyClick(&handle, Qt::Key_Left);
  EXPECT_TRUE(sent.values.empty());
}

TEST(QtTextFieldTest, NumbersShowWithoutNoiseAndWithAPointInEveryLocale) {
  QLocale previous;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  QLineEdit edit;
  QtTextField field(&edit);
  const std::pair<float, const char*> shown[] = {
      {50, "50"}, {0.25f, "0.25"}, {2.5f, "2.5"}, {1200, "1200"}, {0.1f, "0.1"}, {-3, "-3"}, {12345678, "12345678"},
  };
  for (const auto& [value, text] : shown) {
    field.setFloatValue(value);
    EXPECT_EQ(edit.text(), text) << value;
  }

  const std::tuple<const char*, float, int> read[] = {
      {"0.25", 0.25f, 0}, {"12.7", 12.7f, 12}, {" 42 mm", 42, 42}, {"abc", 0, 0}, {"-7.9", -7.9f, -7}, {"", 0, 0},
  };
  for (const auto& [text, value, integer] : read) {
    edit.setText(text);
    EXPECT_EQ(field.floatValue(), value) << text;
    EXPECT_EQ(field.intValue(), integer) << text;
  }
  QLocale::setDefault(previous);
}

TEST(QtTextFieldTest, SendsOnceWhenAPersonEndsEditing) {
  Window window;
  QLineEdit& edit = window.add(new QLineEdit);
  QLineEdit& other = window.add(new QLineEdit);
  QtTextField field(&edit);
  Sent sent;
  ASSERT_TRUE(field.setAction(sent.number()));
  EXPECT_FALSE(field.setAction(sent.popUp()));
  field.setFloatValue(50);
  window.show();
  edit.setFocus();

  edit.selectAll();
  QTest::keyClicks(&edit, "42");
  EXPECT_TRUE(sent.values.empty());
  QTest::keyClick(&edit, Qt::Key_Return);
  ASSERT_EQ(sent.values, (std::vector<float>{42}));

  // Return again, leaving the field, or a number from code: nothing typed.
  QTest::keyClick(&edit, Qt::Key_Return);
  other.setFocus();
  edit.setFocus();
  field.setFloatValue(7);
  EXPECT_EQ(sent.values, (std::vector<float>{42}));

  // Typing and then leaving the field ends editing too.
  QTest::keyClick(&edit, Qt::Key_Backspace);
  QTest::keyClicks(&edit, "9");
  other.setFocus();
  EXPECT_EQ(sent.values, (std::vector<float>{42, 9}));

  field.setEnabled(false);
  QTest::keyClicks(&edit, "1");
  QTest::keyClick(&edit, Qt::Key_Return);
  EXPECT_EQ(sent.values, (std::vector<float>{42, 9}));
}

TEST(QtTextFieldTest, TakesOnlyNumbersInsideItsRange) {
  Window window;
  QLineEdit& integerEdit = window.add(new QLineEdit);
  QLineEdit& decimalEdit = window.add(new QLineEdit);
  decimalEdit.setProperty(kDecimalsProperty, 2);
  QtTextField integers(&integerEdit);
  QtTextField decimals(&decimalEdit);
  Sent sent;
  ASSERT_TRUE(integers.setAction(sent.number()));
  ASSERT_TRUE(decimals.setAction(sent.number()));
  integers.setMinValue(1);
  integers.setMaxValue(100);
  decimals.setMinValue(0);
  decimals.setMaxValue(50);
  integers.setFloatValue(50);
  decimals.setFloatValue(0);
  window.show();

  // Too big: Return does not end the editing, and leaving the field shows
  // the last number again.
  integerEdit.setFocus();
  integerEdit.selectAll();
  QTest::keyClicks(&integerEdit, "500");
  QTest::keyClick(&integerEdit, Qt::Key_Return);
  EXPECT_TRUE(sent.values.empty());
  decimalEdit.setFocus();
  EXPECT_EQ(integerEdit.text(), "50");
  EXPECT_TRUE(sent.values.empty());

  // A decimal comma is no decimal point, and a third decimal is not taken.
  decimalEdit.selectAll();
  QTest::keyClicks(&decimalEdit, "2,5");
  EXPECT_EQ(decimalEdit.text(), "25");
  decimalEdit.selectAll();
  QTest::keyClicks(&decimalEdit, "2.505");
  EXPECT_EQ(decimalEdit.text(), "2.50");
  QTest::keyClick(&decimalEdit, Qt::Key_Return);
  EXPECT_EQ(sent.values, (std::vector<float>{2.5f}));
}

TEST(QtTextFieldTest, TextColourIsTheThemesNormalOrDisabledColour) {
  QLineEdit edit;
  QLabel caption("Material thickness:");
  QtTextField field(&edit);
  QtLabel label(&caption);
  const QPalette theme = QApplication::palette(&edit);

  field.setTextColor(NSColor::grayColor);
  label.setTextColor(NSColor::grayColor);
  EXPECT_EQ(edit.palette().color(QPalette::Active, QPalette::Text), theme.color(QPalette::Disabled, QPalette::Text));
  EXPECT_EQ(caption.palette().color(QPalette::Active, QPalette::WindowText),
            QApplication::palette(&caption).color(QPalette::Disabled, QPalette::WindowText));
  field.setTextColor(NSColor::blackColor);
  label.setTextColor(NSColor::blackColor);
  EXPECT_EQ(edit.palette().color(QPalette::Active, QPalette::Text), theme.color(QPalette::Active, QPalette::Text));
  EXPECT_EQ(caption.palette().color(QPalette::Inactive, QPalette::WindowText),
            QApplication::palette(&caption).color(QPalette::Active, QPalette::WindowText));
}

TEST(QtLabelTest, ACaptionSendsNoActionAndShowsNumbers) {
  QLabel caption("12.5 mm");
  QtLabel label(&caption);
  Sent sent;
  EXPECT_FALSE(label.setAction(sent.number()));
  EXPECT_FALSE(label.takesInput());
  EXPECT_EQ(label.floatValue(), 12.5f);
  EXPECT_EQ(label.intValue(), 12);
  label.setFloatValue(0.25f);
  EXPECT_EQ(caption.text(), "0.25");
  label.setEnabled(false);
  EXPECT_FALSE(caption.isEnabled());
}

TEST(QtControlTest, AControlWhoseWidgetIsGoneDoesNothingAndAnswersZero) {
  auto* comboBox = new QComboBox;
  auto* box = new QCheckBox;
  auto* handle = new QSlider;
  auto* edit = new QLineEdit;
  QtPopUpButton popUp(comboBox);
  QtCheckBox checkBox(box);
  QtSlider slider(handle);
  QtTextField field(edit);
  popUp.addItemWithTitle("Raster Only");
  NSMenuItem* item = popUp.menu().itemAtIndex(0);
  ASSERT_NE(item, nullptr);
  checkBox.setState(1);
  slider.setFloatValue(40);
  field.setFloatValue(40);
  delete comboBox;
  delete box;
  delete handle;
  delete edit;

  EXPECT_EQ(popUp.widget(), nullptr);
  popUp.addItemWithTitle("Vector Only");
  item->setRepresentedObject(std::string("Raster"));
  EXPECT_EQ(item->representedObject(), std::nullopt);
  EXPECT_EQ(popUp.menu().itemAtIndex(0), nullptr);
  EXPECT_EQ(popUp.indexOfSelectedItem(), 0);
  EXPECT_EQ(popUp.indexOfItemWithRepresentedObject("Raster"), 0);
  popUp.selectItemAtIndex(0);
  EXPECT_EQ(checkBox.state(), 0);
  checkBox.setState(1);
  EXPECT_EQ(slider.floatValue(), 0.0f);
  slider.setMaxValue(10);
  EXPECT_EQ(field.floatValue(), 0.0f);
  field.setTextColor(NSColor::grayColor);
}

}  // namespace
}  // namespace zarvik::qt
