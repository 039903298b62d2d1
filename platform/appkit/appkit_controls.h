// The panel's controls on AppKit: one adapter per control of a loaded view,
// each answering the toolkit operations of its kind over the real
// NSPopUpButton, check-box NSButton, NSSlider or NSTextField.
//
// Only a person sends a control's action: AppKit sends a control's action
// for a click, a chosen menu item, a let-go slider handle or an ended edit,
// never for a value, a state, a range or an enabled state set from code.
// Each adapter makes itself the control's target (and a field's delegate)
// and hands the action to the panel's operation bound to it.
//
// An adapter keeps its control alive; when the adapter goes, the control
// sends nothing more.
#pragma once

#include "platform/appkit/appkit_import.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zarvik::appkit {
class AppKitControl;
}

// The Objective-C side of an adapter: the control's target and a field's
// delegate.
@interface ZarvikControlTarget : NSObject <NSTextFieldDelegate> {
  zarvik::appkit::AppKitControl* adapter_;
}
- (id)initWithAdapter:(zarvik::appkit::AppKitControl*)adapter;
// The adapter is gone: every later message does nothing.
- (void)forgetAdapter;
- (void)controlAction:(id)sender;
- (void)controlTextDidChange:(NSNotification*)notification;
@end

namespace zarvik::appkit {

// What the adapters share: the control and the kind of outlet it serves.
class AppKitControl {
 public:
  virtual ~AppKitControl();
  AppKitControl(const AppKitControl&) = delete;
  AppKitControl& operator=(const AppKitControl&) = delete;

  ::NSControl* control() const { return control_; }
  // The control as an outlet of its kind.
  virtual OutletTarget outletTarget() = 0;
  // Binds the action this control sends; false when the action takes
  // another kind of sender.
  virtual bool setAction(const ControlAction& action) = 0;
  // Whether a person changes this control (a caption does not).
  virtual bool takesInput() const { return true; }

  // From the control: a person's action, and a person's typing.
  virtual void controlSentAction() = 0;
  virtual void personTyped() {}

 protected:
  explicit AppKitControl(::NSControl* control);

  ::NSControl* control_;  // retained
  ZarvikControlTarget* target_;
};

// The adapter for `view` by its class, or nullptr for a view that is no
// control of the panel's kinds (a box, a plain view).
std::unique_ptr<AppKitControl> makeControl(::NSView* view);

// A pop-up button. Each item's represented object holds its keyword as
// NSData, so keywords that are not UTF-8 come back byte for byte.
class AppKitPopUpButton final : public AppKitControl, public zarvik::NSPopUpButton, private zarvik::NSMenu {
 public:
  explicit AppKitPopUpButton(::NSPopUpButton* popUp);
  ~AppKitPopUpButton() override;

  ::NSPopUpButton* popUp() const { return static_cast<::NSPopUpButton*>(control_); }
  OutletTarget outletTarget() override { return static_cast<zarvik::NSPopUpButton*>(this); }
  bool setAction(const ControlAction& action) override;
  void controlSentAction() override;

  void setEnabled(bool enabled) override;
  void removeAllItems() override;
  // Appends an item even when one of the same title is there, which
  // -[NSPopUpButton addItemWithTitle:] would remove.
  void addItemWithTitle(const std::string& title) override;
  zarvik::NSMenu& menu() override { return *this; }
  NSInteger indexOfSelectedItem() const override;
  NSInteger indexOfItemWithRepresentedObject(const std::optional<std::string>& object) const override;
  void selectItemAtIndex(NSInteger index) override;

 private:
  class Item;
  // Item proxies are made on demand and owned here; each stands for a
  // position of the menu and is valid as long as this adapter.
  zarvik::NSMenuItem* itemAtIndex(NSInteger index) override;

  std::vector<std::unique_ptr<Item>> items_;
  std::function<void(zarvik::NSPopUpButton&)> action_;
};

// A check box (a switch button): state 1 ticked, any other state not.
class AppKitCheckBox final : public AppKitControl, public zarvik::NSButton {
 public:
  explicit AppKitCheckBox(::NSButton* button);

  ::NSButton* button() const { return static_cast<::NSButton*>(control_); }
  OutletTarget outletTarget() override { return static_cast<zarvik::NSButton*>(this); }
  bool setAction(const ControlAction& action) override;
  void controlSentAction() override;

  void setEnabled(bool enabled) override;
  NSInteger state() const override;
  void setState(NSInteger state) override;

 private:
  std::function<void(StateSource&)> action_;
};

// A slider with whole-number positions inside its range; its float value is
// the position. It sends when a person lets go of the handle (the nib makes
// it not continuous), after moving the handle to the nearest position.
class AppKitSlider final : public AppKitControl, public zarvik::NSSlider {
 public:
  explicit AppKitSlider(::NSSlider* slider);

  ::NSSlider* slider() const { return static_cast<::NSSlider*>(control_); }
  OutletTarget outletTarget() override { return static_cast<zarvik::NSSlider*>(this); }
  bool setAction(const ControlAction& action) override;
  void controlSentAction() override;

  void setEnabled(bool enabled) override;
  float floatValue() const override;
  int intValue() const override;
  // Rounds to the nearest position inside the range; NaN changes nothing.
  void setFloatValue(float value) override;
  // The range's ends are rounded inwards to whole positions.
  void setMinValue(double value) override;
  void setMaxValue(double value) override;

 private:
  // Puts the handle on the whole position nearest `value` inside the range.
  void moveTo(double value);

  std::function<void(FloatValueSource&)> action_;
};

// A number field, editable or a caption. A person's text counts when the
// edit ends (Return, or leaving the field) and it means, in the person's
// language, a number the field takes: a whole number, or a decimal with at
// most as many digits after the separator as the field's tag in the nib
// says. Any other text sends nothing and shows the last number again; so
// does a pending edit when code disables the field or sets its value. A
// number outside the printer's range is the host's to refuse.
class AppKitTextField final : public AppKitControl, public zarvik::NSTextField {
 public:
  explicit AppKitTextField(::NSTextField* field);

  ::NSTextField* field() const { return static_cast<::NSTextField*>(control_); }
  OutletTarget outletTarget() override { return static_cast<zarvik::NSTextField*>(this); }
  bool setAction(const ControlAction& action) override;
  bool takesInput() const override;
  void controlSentAction() override;
  void personTyped() override { edited_ = true; }

  void setEnabled(bool enabled) override;
  // The number the text shows; while a text that means none is being
  // typed, the number shown before.
  float floatValue() const override;
  int intValue() const override;
  void setFloatValue(float value) override;
  // Black is the system's text colour, grey its colour for disabled text.
  void setTextColor(zarvik::NSColor color) override;
  void setMinValue(double) override {}
  void setMaxValue(double) override {}

  // The number a person's `text` means, if the field takes it.
  std::optional<double> accepted(const std::string& text) const;

 private:
  // Ends a pending edit without sending and shows the last number again.
  void dropEdit();

  std::function<void(FloatValueSource&)> action_;
  std::string separator_;
  std::string shownText_;
  int decimals_ = 0;
  bool edited_ = false;
};

}  // namespace zarvik::appkit
