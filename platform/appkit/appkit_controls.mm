#include "platform/appkit/appkit_controls.h"

#include <algorithm>
#include <cmath>

#include "panel/value_text.h"
#include "platform/appkit/appkit_firewall.h"
#include "platform/appkit/appkit_text.h"

@implementation ZarvikControlTarget

- (id)initWithAdapter:(zarvik::appkit::AppKitControl*)adapter {
  if ((self = [super init])) adapter_ = adapter;
  return self;
}

- (void)forgetAdapter {
  adapter_ = nullptr;
}

// AppKit calls these for a person's input: the firewall keeps exceptions
// out of its event loop. (The lambdas take copies: g++ does not capture
// self.)
- (void)controlAction:(id)sender {
  (void)sender;
  zarvik::appkit::AppKitControl* adapter = adapter_;
  zarvik::appkit::firewall("controlAction:", [adapter] {
    if (adapter != nullptr) adapter->controlSentAction();
  });
}

- (void)controlTextDidChange:(NSNotification*)notification {
  (void)notification;
  zarvik::appkit::AppKitControl* adapter = adapter_;
  zarvik::appkit::firewall("controlTextDidChange:", [adapter] {
    if (adapter != nullptr) adapter->personTyped();
  });
}

@end

namespace zarvik::appkit {
namespace {

// The keyword of a menu item as the panel stored it.
NSData* keywordData(const std::string& keyword) {
  return [NSData dataWithBytes:keyword.data() length:keyword.size()];
}

std::optional<std::string> keywordOf(id object) {
  if ([object isKindOfClass:[NSData class]]) {
    NSData* data = object;
    return std::string(static_cast<const char*>([data bytes]), [data length]);
  }
  if ([object isKindOfClass:[NSString class]]) return fromNSString(object);
  return std::nullopt;
}

// The decimal separator of the person's language, in which the fields read
// and show their numbers.
std::string decimalSeparator() {
  id separator = [[NSLocale currentLocale] objectForKey:NSLocaleDecimalSeparator];
  return [separator isKindOfClass:[NSString class]] ? fromNSString(separator) : std::string(".");
}

}  // namespace

AppKitControl::AppKitControl(::NSControl* control)
    : control_([control retain]), target_([[ZarvikControlTarget alloc] initWithAdapter:this]) {
  [control_ setTarget:target_];
  [control_ setAction:@selector(controlAction:)];
}

AppKitControl::~AppKitControl() {
  [target_ forgetAdapter];
  if ([control_ target] == target_) [control_ setTarget:nil];
  if ([control_ isKindOfClass:[::NSTextField class]] && [(::NSTextField*)control_ delegate] == target_) {
    [(::NSTextField*)control_ setDelegate:nil];
  }
  [target_ release];
  [control_ release];
}

std::unique_ptr<AppKitControl> makeControl(::NSView* view) {
  // A pop-up button is a button too: ask for it first.
  if ([view isKindOfClass:[::NSPopUpButton class]]) {
    return std::make_unique<AppKitPopUpButton>(static_cast<::NSPopUpButton*>(view));
  }
  if ([view isKindOfClass:[::NSButton class]]) return std::make_unique<AppKitCheckBox>(static_cast<::NSButton*>(view));
  if ([view isKindOfClass:[::NSSlider class]]) return std::make_unique<AppKitSlider>(static_cast<::NSSlider*>(view));
  if ([view isKindOfClass:[::NSTextField class]]) {
    return std::make_unique<AppKitTextField>(static_cast<::NSTextField*>(view));
  }
  return nullptr;
}

// Pop-up button.

class AppKitPopUpButton::Item final : public zarvik::NSMenuItem {
 public:
  Item(::NSPopUpButton* popUp, NSInteger index) : popUp_(popUp), index_(index) {}

  void setRepresentedObject(std::optional<std::string> object) override {
    if (index_ >= [popUp_ numberOfItems]) return;
    [[popUp_ itemAtIndex:index_] setRepresentedObject:object ? keywordData(*object) : nil];
  }

  std::optional<std::string> representedObject() const override {
    if (index_ >= [popUp_ numberOfItems]) return std::nullopt;
    return keywordOf([[popUp_ itemAtIndex:index_] representedObject]);
  }

 private:
  ::NSPopUpButton* popUp_;  // kept alive by the adapter that owns this item
  NSInteger index_;
};

AppKitPopUpButton::AppKitPopUpButton(::NSPopUpButton* popUp) : AppKitControl(popUp) {}

AppKitPopUpButton::~AppKitPopUpButton() = default;

bool AppKitPopUpButton::setAction(const ControlAction& action) { return bindAction(action, action_); }

void AppKitPopUpButton::controlSentAction() {
  if (action_) action_(*this);
}

void AppKitPopUpButton::setEnabled(bool enabled) { [popUp() setEnabled:enabled]; }

void AppKitPopUpButton::removeAllItems() { [popUp() removeAllItems]; }

void AppKitPopUpButton::addItemWithTitle(const std::string& title) {
  [[popUp() menu] addItemWithTitle:toNSString(title) action:NULL keyEquivalent:@""];
}

NSInteger AppKitPopUpButton::indexOfSelectedItem() const { return [popUp() indexOfSelectedItem]; }

NSInteger AppKitPopUpButton::indexOfItemWithRepresentedObject(const std::optional<std::string>& object) const {
  if (!object) return -1;
  NSInteger count = [popUp() numberOfItems];
  for (NSInteger index = 0; index < count; ++index) {
    if (keywordOf([[popUp() itemAtIndex:index] representedObject]) == object) return index;
  }
  return -1;
}

void AppKitPopUpButton::selectItemAtIndex(NSInteger index) {
  bool inside = index >= 0 && index < [popUp() numberOfItems];
  [popUp() selectItemAtIndex:inside ? index : -1];
}

zarvik::NSMenuItem* AppKitPopUpButton::itemAtIndex(NSInteger index) {
  if (index < 0 || index >= [popUp() numberOfItems]) return nullptr;
  auto position = static_cast<std::size_t>(index);
  while (items_.size() <= position) {
    items_.push_back(std::make_unique<Item>(popUp(), static_cast<NSInteger>(items_.size())));
  }
  return items_[position].get();
}

// Check box.

AppKitCheckBox::AppKitCheckBox(::NSButton* button) : AppKitControl(button) {}

bool AppKitCheckBox::setAction(const ControlAction& action) { return bindAction(action, action_); }

void AppKitCheckBox::controlSentAction() {
  if (action_) action_(*this);
}

void AppKitCheckBox::setEnabled(bool enabled) { [button() setEnabled:enabled]; }

NSInteger AppKitCheckBox::state() const { return [button() state] == NSControlStateValueOn ? 1 : 0; }

void AppKitCheckBox::setState(NSInteger state) {
  // AppKit would show 2 or -1 as ticked or mixed; the panel's boxes are on
  // for 1 only.
  [button() setState:state == 1 ? NSControlStateValueOn : NSControlStateValueOff];
}

// Slider.

AppKitSlider::AppKitSlider(::NSSlider* slider) : AppKitControl(slider) {}

bool AppKitSlider::setAction(const ControlAction& action) { return bindAction(action, action_); }

void AppKitSlider::controlSentAction() {
  // A drag lets go between positions; the panel gets, and the slider shows,
  // the nearest one.
  moveTo([slider() doubleValue]);
  if (action_) action_(*this);
}

void AppKitSlider::setEnabled(bool enabled) { [slider() setEnabled:enabled]; }

float AppKitSlider::floatValue() const { return static_cast<float>([slider() doubleValue]); }

int AppKitSlider::intValue() const { return truncateToInt32([slider() doubleValue]).value_or(0); }

void AppKitSlider::setFloatValue(float value) {
  if (!std::isnan(value)) moveTo(value);
}

void AppKitSlider::setMinValue(double value) {
  if (std::isnan(value)) return;
  [slider() setMinValue:std::ceil(value)];
  // A narrower range moves the handle inside it, as the toolkit would not
  // do by itself everywhere; that is no person's change.
  moveTo([slider() doubleValue]);
}

void AppKitSlider::setMaxValue(double value) {
  if (std::isnan(value)) return;
  [slider() setMaxValue:std::floor(value)];
  moveTo([slider() doubleValue]);
}

void AppKitSlider::moveTo(double value) {
  double position = std::min(std::max(std::round(value), [slider() minValue]), [slider() maxValue]);
  [slider() setDoubleValue:position];
}

// Text field.

AppKitTextField::AppKitTextField(::NSTextField* field)
    : AppKitControl(field), separator_(decimalSeparator()) {
  // The nib gives a decimal field its number of digits after the separator
  // as its tag; a field without one takes whole numbers. (A number formatter
  // would say it too, but GNUstep's nib loader drops the formatter's
  // settings, and one would write 50 as "50,00".)
  decimals_ = static_cast<int>(std::max<NSInteger>(0, [field tag]));
  if ([field isEditable]) {
    [field setDelegate:target_];
    // Leaving the field ends the edit as Return does.
    [[field cell] setSendsActionOnEndEditing:YES];
  }
  shownText_ = fromNSString([field stringValue]);
}

bool AppKitTextField::setAction(const ControlAction& action) { return bindAction(action, action_); }

bool AppKitTextField::takesInput() const { return [field() isEditable]; }

void AppKitTextField::controlSentAction() {
  // Return, or leaving the field, also ends an edit with nothing typed.
  if (!edited_) return;
  edited_ = false;
  if (!accepted(fromNSString([field() stringValue]))) {
    dropEdit();
    return;
  }
  if (action_) action_(*this);
}

void AppKitTextField::setEnabled(bool enabled) {
  if (!enabled) dropEdit();
  [field() setEnabled:enabled];
}

float AppKitTextField::floatValue() const {
  std::optional<double> typed = typedNumber(fromNSString([field() stringValue]), separator_, kAnyDecimals);
  if (!typed) typed = typedNumber(shownText_, separator_, kAnyDecimals);
  return narrowToFloat(typed.value_or(0));
}

int AppKitTextField::intValue() const { return truncateToInt32(floatValue()).value_or(0); }

void AppKitTextField::setFloatValue(float value) {
  shownText_ = shownNumber(value, separator_);
  dropEdit();
}

void AppKitTextField::setTextColor(zarvik::NSColor color) {
  [field() setTextColor:color == zarvik::NSColor::blackColor ? [::NSColor controlTextColor]
                                                             : [::NSColor disabledControlTextColor]];
}

std::optional<double> AppKitTextField::accepted(const std::string& text) const {
  std::optional<double> number = typedNumber(text, separator_, decimals_);
  // A whole number the float value cannot hold exactly would arrive as
  // another one.
  if (!number || (decimals_ == 0 && static_cast<double>(narrowToFloat(*number)) != *number)) return std::nullopt;
  return number;
}

void AppKitTextField::dropEdit() {
  edited_ = false;
  if ([field() currentEditor] != nil) [field() abortEditing];
  [field() setStringValue:toNSString(shownText_)];
}

}  // namespace zarvik::appkit
