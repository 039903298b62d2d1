// The panel's controls on Qt Widgets: one adapter per widget of a loaded
// view, each answering the toolkit operations of its kind.
//
// Only a person sends a control's action. Each adapter connects its action
// to signals that fire for user input alone: a combo box's activated, a
// check box's clicked, a line edit's end of editing after the person typed.
// A slider's valueChanged also fires for changes from code, so the slider
// adapter ignores it while it sets the slider itself.
//
// An adapter holds its widget weakly: once the widget is gone (its window
// was destroyed), every operation does nothing and answers zero, as for a
// control that is not there.
#pragma once

#include <QAbstractSlider>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "panel/bundle.h"
#include "panel/toolkit.h"

namespace zarvik::qt {

// The widget property that makes a line edit take decimals: the number of
// digits allowed after the decimal separator. Without it the field takes
// whole numbers.
inline constexpr char kDecimalsProperty[] = "zarvikDecimals";

// The decimal separator of the person's language (the default QLocale), in
// which the fields read and show their numbers.
std::string decimalSeparator();

// What the adapters share: the widget and the kind of outlet it serves.
class QtControl : public QObject {
 public:
  ~QtControl() override;
  // The widget, or nullptr once it is gone.
  virtual QWidget* widget() const = 0;
  // The control as an outlet of its kind.
  virtual OutletTarget outletTarget() = 0;
  // Binds the action this control sends; false when the action takes
  // another kind of sender, or the control sends none.
  virtual bool setAction(const ControlAction& action) = 0;
  // Whether a person changes this control (a caption does not).
  virtual bool takesInput() const { return true; }
};

// The adapter for `widget` by its class, or nullptr for a widget that is
// no control of the panel's kinds (a layout container, a group box).
std::unique_ptr<QtControl> makeControl(QWidget* widget);

// A pop-up button on a combo box. Each item's Qt::UserRole data holds its
// represented object as bytes.
class QtPopUpButton final : public QtControl, public NSPopUpButton, private NSMenu {
 public:
  explicit QtPopUpButton(QComboBox* comboBox);
  ~QtPopUpButton() override;

  QWidget* widget() const override;
  QComboBox* comboBox() const { return comboBox_; }
  OutletTarget outletTarget() override { return static_cast<NSPopUpButton*>(this); }
  bool setAction(const ControlAction& action) override;

  void setEnabled(bool enabled) override;
  void removeAllItems() override;
  void addItemWithTitle(const std::string& title) override;
  NSMenu& menu() override { return *this; }
  NSInteger indexOfSelectedItem() const override;
  NSInteger indexOfItemWithRepresentedObject(const std::optional<std::string>& object) const override;
  void selectItemAtIndex(NSInteger index) override;

 private:
  class Item;
  // Item proxies are made on demand and owned here; each stands for a
  // position of the combo box and is valid as long as this adapter.
  NSMenuItem* itemAtIndex(NSInteger index) override;

  QPointer<QComboBox> comboBox_;
  std::vector<std::unique_ptr<Item>> items_;
  std::function<void(NSPopUpButton&)> action_;
};

// A check box: state 1 checked, 0 not.
class QtCheckBox final : public QtControl, public NSButton {
 public:
  explicit QtCheckBox(QCheckBox* checkBox);

  QWidget* widget() const override;
  QCheckBox* checkBox() const { return checkBox_; }
  OutletTarget outletTarget() override { return static_cast<NSButton*>(this); }
  bool setAction(const ControlAction& action) override;

  void setEnabled(bool enabled) override;
  NSInteger state() const override;
  // Only state 1 checks the box; every other state is off, as the panel
  // reads it.
  void setState(NSInteger state) override;

 private:
  QPointer<QCheckBox> checkBox_;
  std::function<void(StateSource&)> action_;
};

// A slider with whole-number positions; its float value is the position.
// It sends its action when a person lets go of the handle or steps it with
// the keyboard or the wheel, not on every move of a drag.
class QtSlider final : public QtControl, public NSSlider {
 public:
  explicit QtSlider(QAbstractSlider* slider);

  QWidget* widget() const override;
  QAbstractSlider* slider() const { return slider_; }
  OutletTarget outletTarget() override { return static_cast<NSSlider*>(this); }
  bool setAction(const ControlAction& action) override;

  void setEnabled(bool enabled) override;
  float floatValue() const override;
  int intValue() const override;
  // Rounds to the nearest position inside the range; NaN changes nothing.
  void setFloatValue(float value) override;
  // The range's ends are rounded inwards to whole positions. A page step is
  // a tenth of the range.
  void setMinValue(double value) override;
  void setMaxValue(double value) override;

 private:
  void updatePageStep();

  QPointer<QAbstractSlider> slider_;
  std::function<void(FloatValueSource&)> action_;
  bool settingFromCode_ = false;
};

// An editable or read-only number field on a line edit, in the person's
// language. A person's text counts once editing ends with Return or by
// leaving the field, and only when it means a number the field takes, with
// no more decimals than the kDecimalsProperty property allows. Any other
// text sends nothing and the field shows its number again; no keystroke is
// ever dropped. A number outside the printer's range is the host's to
// refuse, which says why. Disabling the field from code drops an edit in
// progress.
class QtTextField final : public QtControl, public NSTextField {
 public:
  explicit QtTextField(QLineEdit* lineEdit);

  QWidget* widget() const override;
  QLineEdit* lineEdit() const { return lineEdit_; }
  OutletTarget outletTarget() override { return static_cast<NSTextField*>(this); }
  bool setAction(const ControlAction& action) override;

  void setEnabled(bool enabled) override;
  // The number the text shows; while a text that means none is being
  // typed, the number shown before.
  float floatValue() const override;
  int intValue() const override;
  void setFloatValue(float value) override;
  // Black is the theme's text colour, grey its colour for disabled text.
  void setTextColor(NSColor color) override;
  void setMinValue(double) override {}
  void setMaxValue(double) override {}

 private:
  void editingFinished();
  // The number a person's `text` means, if the field takes it.
  std::optional<double> accepted(const QString& text) const;

  QPointer<QLineEdit> lineEdit_;
  std::function<void(FloatValueSource&)> action_;
  std::string separator_;
  int decimals_ = 0;
  QString shownText_;
  bool edited_ = false;
};

// A caption on a label, as the panel's text fields that a person does not
// edit. It sends no action.
class QtLabel final : public QtControl, public NSTextField {
 public:
  explicit QtLabel(QLabel* label);

  QWidget* widget() const override;
  QLabel* label() const { return label_; }
  OutletTarget outletTarget() override { return static_cast<NSTextField*>(this); }
  bool setAction(const ControlAction&) override { return false; }
  bool takesInput() const override { return false; }

  void setEnabled(bool enabled) override;
  float floatValue() const override;
  int intValue() const override;
  void setFloatValue(float value) override;
  void setTextColor(NSColor color) override;
  void setMinValue(double) override {}
  void setMaxValue(double) override {}

 private:
  QPointer<QLabel> label_;
};

}  // namespace zarvik::qt
