// An in-memory toolkit for what drives the panel apart from any real toolkit (the tests without a view, the fuzz
// targets, the benchmarks): controls that hold what was set on them, a view that holds them, a bundle whose view
// description makes that view and binds each control to the action the panel's own table names for it, and a help
// manager.
//
// A caller acts as the person at the dialog with the user* calls: they change the control and then deliver its
// action, as the toolkit would. Setting a control from code never delivers an action.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "panel/bundle.h"
#include "panel/toolkit.h"
#include "panel/value_text.h"

namespace zarvik::testing {

struct MemoryControl {
  virtual ~MemoryControl() = default;
  bool enabled = true;
  std::optional<ControlAction> action;
};

class MemoryPopUpButton final : public NSPopUpButton, public MemoryControl, private NSMenu {
 public:
  struct Item final : NSMenuItem {
    std::optional<std::string> object;
    void setRepresentedObject(std::optional<std::string> o) override { object = std::move(o); }
    std::optional<std::string> representedObject() const override { return object; }
  };

  void setEnabled(bool e) override { enabled = e; }
  void removeAllItems() override;
  void addItemWithTitle(const std::string&) override { items.push_back(std::make_unique<Item>()); }
  NSMenu& menu() override { return *this; }
  NSInteger indexOfSelectedItem() const override { return selected; }
  NSInteger indexOfItemWithRepresentedObject(const std::optional<std::string>& object) const override;
  void selectItemAtIndex(NSInteger index) override;
  // The person picks item `index`; false when the control is disabled.
  bool userSelects(NSInteger index);

  std::vector<std::unique_ptr<Item>> items;
  NSInteger selected = -1;

 private:
  NSMenuItem* itemAtIndex(NSInteger index) override;
};

class MemoryButton final : public NSButton, public MemoryControl {
 public:
  void setEnabled(bool e) override { enabled = e; }
  NSInteger state() const override { return state_; }
  void setState(NSInteger s) override { state_ = s; }
  // The person clicks the box, which toggles it; false when disabled.
  bool userClicks();
  NSInteger state_ = 0;
};

// A slider or a number field: a value the person sets.
template <class Control>
class MemoryValueControl : public Control, public MemoryControl {
 public:
  void setEnabled(bool e) override { enabled = e; }
  float floatValue() const override { return value; }
  int intValue() const override { return truncateToInt32(value).value_or(0); }
  void setFloatValue(float v) override { value = v; }
  void setMinValue(double) override {}
  void setMaxValue(double) override {}
  // The person moves the slider to `v`, or types it and ends editing; false when disabled.
  bool userSets(float v);
  float value = 0;
};
using MemorySlider = MemoryValueControl<NSSlider>;
struct MemoryTextField final : MemoryValueControl<NSTextField> {
  void setTextColor(NSColor) override {}
};

// The panel's view: every control by its outlet name.
class MemoryView final : public NSView {
 public:
  void* nativeView() const override { return const_cast<MemoryView*>(this); }
  std::map<std::string, std::unique_ptr<MemoryControl>> controls;
};

// The bundle: the view description "ZarvikPDE" (unless hasNib is false), no translations (the built bundle's are
// tested with it), an information dictionary.
class MemoryBundle final : public NSBundle {
 public:
  bool loadNibNamed(std::string_view name, NibOwner& owner) override;
  std::string localizedStringForKey(std::string_view key, std::optional<std::string_view> value,
                                    std::optional<std::string_view> table) const override;
  std::optional<std::string> objectForInfoDictionaryKey(std::string_view key) const override;

  // The outlet names and the action each control sends, from the panel's table; an empty action name means the
  // control sends none.
  static const std::vector<std::pair<std::string, std::string>>& layout();

  bool hasNib = true;
  std::map<std::string, std::string, std::less<>> info;
  int nibLoads = 0;
  MemoryView* loadedView = nullptr;  // owned by the nib's owner
};

class MemoryHelpManager final : public NSHelpManager {
 public:
  MemoryHelpManager() : previous_(NSHelpManager::setShared(this)) {}
  ~MemoryHelpManager() override { NSHelpManager::setShared(previous_); }
  bool registerBooksInBundle(const NSBundle&) override { return registers; }
  void openHelpAnchor(std::string_view anchor, std::string_view book) override {
    opened.emplace_back(std::string(anchor), std::string(book));
  }
  bool registers = true;
  std::vector<std::pair<std::string, std::string>> opened;

 private:
  NSHelpManager* previous_;
};

}  // namespace zarvik::testing
