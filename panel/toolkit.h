// The user-interface toolkit as the panel sees it: pop-up buttons with a
// menu of items, check boxes, sliders and text fields.
//
// Setting a value, a state, a selection or an enabled state from code never
// sends the control's action; only a person's change does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "panel/value_text.h"

namespace zarvik {

// Any object that answers a number: a slider, a text field, or a number.
class FloatValueSource {
 public:
  virtual ~FloatValueSource() = default;
  virtual float floatValue() const = 0;
  virtual int intValue() const = 0;
};

// The object whose on/off state a check-box change sends: 1 on, else off.
class StateSource {
 public:
  virtual ~StateSource() = default;
  virtual NSInteger state() const = 0;
};

// A number handed to a value-change handler in place of a control.
class NSNumber final : public FloatValueSource {
 public:
  explicit NSNumber(int value) : value_(value) {}
  float floatValue() const override { return static_cast<float>(value_); }
  int intValue() const override { return value_; }

 private:
  int value_;
};

class NSControl {
 public:
  virtual ~NSControl() = default;
  // A disabled control takes no input from a person.
  virtual void setEnabled(bool enabled) = 0;
};

class NSMenuItem {
 public:
  virtual ~NSMenuItem() = default;
  // An object stored on the item and given back unchanged; nullopt is none.
  virtual void setRepresentedObject(std::optional<std::string> object) = 0;
  virtual std::optional<std::string> representedObject() const = 0;
};

class NSMenu {
 public:
  virtual ~NSMenu() = default;
  // The item at `index`, owned by the menu; nullptr outside the items.
  virtual NSMenuItem* itemAtIndex(NSInteger index) = 0;
};

class NSPopUpButton : public NSControl {
 public:
  virtual void removeAllItems() = 0;
  // Appends one item.
  virtual void addItemWithTitle(const std::string& title) = 0;
  virtual NSMenu& menu() = 0;
  // -1 when no item is selected.
  virtual NSInteger indexOfSelectedItem() const = 0;
  // The first item whose represented object equals `object`, or -1.
  virtual NSInteger indexOfItemWithRepresentedObject(const std::optional<std::string>& object) const = 0;
  // -1 leaves no item selected.
  virtual void selectItemAtIndex(NSInteger index) = 0;
};

class NSButton : public NSControl, public StateSource {
 public:
  virtual void setState(NSInteger state) = 0;
};

class NSSlider : public NSControl, public FloatValueSource {
 public:
  virtual void setFloatValue(float value) = 0;
  // The range a person can choose from.
  virtual void setMinValue(double value) = 0;
  virtual void setMaxValue(double value) = 0;
};

enum class NSColor { blackColor, grayColor };

class NSTextField : public NSControl, public FloatValueSource {
 public:
  virtual void setFloatValue(float value) = 0;
  virtual void setTextColor(NSColor color) = 0;
  // The range of numbers the field accepts from a person.
  virtual void setMinValue(double value) = 0;
  virtual void setMaxValue(double value) = 0;
};

// A reference to a control of the panel view that may not be there yet.
// Before the view is loaded every call goes to a stand-in that does nothing
// and answers zero, so the panel's model changes still happen around it.
template <class Control>
class Outlet {
 public:
  Outlet() = default;
  Outlet& operator=(Control* control) {
    control_ = control;
    return *this;
  }
  bool isConnected() const { return control_ != nullptr; }
  Control* get() const { return control_; }
  Control* operator->() const { return control_ ? control_ : &absent(); }
  Control& operator*() const { return *operator->(); }

 private:
  static Control& absent();
  Control* control_ = nullptr;
};

// The stand-in for every kind of control that is not there. Its menu is
// empty: it answers no item, as a message to no object answers nil.
class AbsentControl final : public NSPopUpButton, public NSButton, public NSSlider, public NSTextField,
                            private NSMenu {
 public:
  static AbsentControl& instance();

  void setEnabled(bool) override {}
  void removeAllItems() override {}
  void addItemWithTitle(const std::string&) override {}
  NSMenu& menu() override { return *this; }
  NSInteger indexOfSelectedItem() const override { return 0; }
  NSInteger indexOfItemWithRepresentedObject(const std::optional<std::string>&) const override { return 0; }
  void selectItemAtIndex(NSInteger) override {}
  NSInteger state() const override { return 0; }
  void setState(NSInteger) override {}
  float floatValue() const override { return 0; }
  int intValue() const override { return 0; }
  void setFloatValue(float) override {}
  void setTextColor(NSColor) override {}
  void setMinValue(double) override {}
  void setMaxValue(double) override {}

 private:
  NSMenuItem* itemAtIndex(NSInteger) override { return nullptr; }
};

template <class Control>
Control& Outlet<Control>::absent() {
  return AbsentControl::instance();
}

}  // namespace zarvik
