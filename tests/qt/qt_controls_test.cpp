// The Qt adapters of the panel's controls on bare widgets: only a person's
// input sends an action, numbers read and show with a point in any locale,
// keywords stay bytes, and an adapter outlives its widget.
#include "platform/qt/qt_controls.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QVBoxLayout>
#include <limits>

#include "support/german_locale.h"

namespace zarvik::qt {
namespace {

using Sent = std::vector<std::string>;

// One control of each kind in a shown, active window; each action records
// what it saw of its sender.
class QtControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* title : {"Top to Bottom", "Bottom to Top", "Inside Out"}) popUp.addItemWithTitle(title);
    ASSERT_TRUE(popUp.setAction(record<NSPopUpButton>("popUp")) && checkBox.setAction(record<StateSource>("box")) &&
                slider.setAction(record<FloatValueSource>("slider")) &&
                field.setAction(record<FloatValueSource>("field")));
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }

  template <class Sender>
  ControlAction record(std::string name) {
    return std::function<void(Sender&)>([this, name](Sender& s) { sent.push_back(name + " " + seen(s)); });
  }
  static std::string seen(NSPopUpButton& s) { return std::to_string(s.indexOfSelectedItem()); }
  static std::string seen(StateSource& s) { return std::to_string(s.state()); }
  static std::string seen(FloatValueSource& s) { return QString::number(s.floatValue()).toStdString(); }
  template <class Widget>
  Widget* add(Widget* widget) {
    layout->addWidget(widget);
    return widget;
  }
  // Types `text` in place of what `lineEdit` shows.
  static void retype(QLineEdit* lineEdit, const char* text) {
    lineEdit->setFocus();
    lineEdit->selectAll();
    QTest::keyClicks(lineEdit, text);
  }

  QWidget window;
  QVBoxLayout* layout = new QVBoxLayout(&window);
  QComboBox* combo = add(new QComboBox);
  QCheckBox* box = add(new QCheckBox("Direct print"));
  QSlider* handle = add(new QSlider(Qt::Horizontal));
  QLineEdit* edit = add(new QLineEdit);
  QLineEdit* other = add(new QLineEdit);
  QtPopUpButton popUp{combo};
  QtCheckBox checkBox{box};
  QtSlider slider{handle};
  QtTextField field{edit};
  Sent sent;
};

TEST_F(QtControlsTest, ValuesRangesSelectionsAndEnabledStatesSetFromCodeSendNothing) {
  popUp.selectItemAtIndex(2);
  popUp.removeAllItems();
  for (const char* title : {"Top to Bottom", "Bottom to Top"}) popUp.addItemWithTitle(title);
  EXPECT_EQ(combo->count(), 2);
  popUp.selectItemAtIndex(1);
  popUp.setEnabled(false);
  // Only state 1 ticks the box.
  checkBox.setState(1);
  EXPECT_TRUE(box->isChecked());
  checkBox.setState(2);
  EXPECT_FALSE(box->isChecked());
  checkBox.setEnabled(false);
  // Ranges round inwards and take the value with them; a value goes to the
  // nearest position, NaN leaves it, a huge one stops at the end.
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
  EXPECT_EQ(handle->pageStep(), 500);
  // Disabling a slider in the middle of a drag lets its handle go.
  handle->setSliderDown(true);
  handle->setSliderPosition(300);
  slider.setEnabled(false);
  // A value from code ends an edit the person left unfinished.
  retype(edit, "42");
  field.setFloatValue(7);
  other->setFocus();
  field.setMinValue(10);
  field.setEnabled(false);
  EXPECT_EQ(sent, Sent{});
}

// Integers, or as many decimals as the field's property allows, with a
// point whatever the locale, inside the range; leaving a field with
// anything else shows the last number again.
TEST_F(QtControlsTest, FieldsTakeOnlyNumbersInsideTheirRangeAndShowThemWithAPointInAGermanLocale) {
  zarvik::testing::GermanLocale german;
  ASSERT_EQ(german.failure(), "");
  const QLocale previous;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  // A field made while the locale is German.
  QLineEdit* decimalEdit = add(new QLineEdit);
  decimalEdit->setProperty(kDecimalsProperty, 2);
  QtTextField decimalField(decimalEdit);
  ASSERT_TRUE(decimalField.setAction(record<FloatValueSource>("decimal")));
  decimalEdit->show();
  field.setMinValue(10);
  field.setMaxValue(100);
  field.setFloatValue(50);
  decimalField.setMinValue(1);
  decimalField.setMaxValue(50);
  decimalField.setFloatValue(3);
  for (auto [lineEdit, text, shown] :
       {std::tuple{edit, "500", "50"}, {edit, "5", "50"}, {decimalEdit, "60", "3"}, {decimalEdit, "0.5", "3"}}) {
    retype(lineEdit, text);
    QTest::keyClick(lineEdit, Qt::Key_Return);
    other->setFocus();
    EXPECT_EQ(lineEdit->text(), shown) << text;
  }
  retype(decimalEdit, "2,5");
  EXPECT_EQ(decimalEdit->text(), "25");
  retype(decimalEdit, "2.505");
  QTest::keyClick(decimalEdit, Qt::Key_Return);
  EXPECT_EQ(sent, Sent{"decimal 2.5"});

  for (auto [value, text] : {std::pair{0.25f, "0.25"}, {12345678.0f, "12345678"}}) {
    field.setFloatValue(value);
    EXPECT_EQ(edit->text(), text);
  }
  for (auto [text, value, integer] : {std::tuple{"12.7", 12.7f, 12}, {"-7.9", -7.9f, -7}}) {
    edit->setText(text);
    EXPECT_EQ(std::pair(field.floatValue(), field.intValue()), std::pair(value, integer)) << text;
  }
  QLocale::setDefault(previous);
}

// Keywords are bytes, whatever their encoding; only an exact one finds its
// item.
TEST_F(QtControlsTest, PopUpItemsCarryTheirKeywordsByteForByte) {
  const std::string keywords[] = {"Raster", "Caf\xc3\xa9", "\xff\xfe"};
  for (int i = 0; i < 3; ++i) popUp.menu().itemAtIndex(i)->setRepresentedObject(keywords[i]);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(popUp.menu().itemAtIndex(i)->representedObject(), keywords[i]);
    EXPECT_EQ(popUp.indexOfItemWithRepresentedObject(keywords[i]), i);
  }
  EXPECT_EQ(popUp.indexOfItemWithRepresentedObject("raster"), -1);
  EXPECT_EQ(popUp.indexOfItemWithRepresentedObject(std::nullopt), -1);
  for (NSInteger outside : {-1, 3}) {
    EXPECT_EQ(popUp.menu().itemAtIndex(outside), nullptr);
    popUp.selectItemAtIndex(outside);
    EXPECT_EQ(popUp.indexOfSelectedItem(), -1);
  }
}

// The panel may outlive its window: every operation on a control whose
// widget is gone does nothing and answers zero.
TEST_F(QtControlsTest, AControlWhoseWidgetIsGoneDoesNothingAndAnswersZero) {
  NSMenuItem* item = popUp.menu().itemAtIndex(0);
  QtLabel label(new QLabel("12"));
  for (QWidget* widget : std::initializer_list<QWidget*>{combo, box, handle, edit, label.widget()}) delete widget;
  popUp.addItemWithTitle("Vector Only");
  popUp.selectItemAtIndex(0);
  item->setRepresentedObject(std::string("Raster"));
  checkBox.setState(1);
  slider.setMaxValue(10);
  slider.setFloatValue(5);
  for (NSTextField* text : std::initializer_list<NSTextField*>{&field, &label}) {
    text->setFloatValue(5);
    text->setTextColor(NSColor::grayColor);
  }
  for (NSControl* control : std::initializer_list<NSControl*>{&popUp, &checkBox, &slider, &field, &label}) {
    control->setEnabled(true);
  }
  EXPECT_EQ(std::tuple(popUp.widget(), item->representedObject(), popUp.menu().itemAtIndex(0)),
            std::tuple(nullptr, std::nullopt, nullptr));
  EXPECT_EQ(std::tuple(popUp.indexOfSelectedItem(), popUp.indexOfItemWithRepresentedObject("Raster"), checkBox.state(),
                       slider.floatValue(), field.floatValue(), label.intValue()),
            std::tuple(0, 0, 0, 0.0f, 0.0f, 0));
  EXPECT_EQ(sent, Sent{});
}

}  // namespace
}  // namespace zarvik::qt
