// An in-memory toolkit for the benchmarks and the fuzzers, which measure
// and shake the panel apart from any real toolkit: controls that remember
// what was set on them, a view that holds them, a bundle whose view
// description makes that view and binds each control to the action the
// panel's own table names for it, and a help manager.
//
// A caller acts as the person at the dialog with the user* calls: they change
// the control and then deliver its action, as the toolkit would. Setting a
// control from code never delivers an action.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "panel/bundle.h"
#include "panel/toolkit.h"

namespace zarvik::testing {

// What was done to the controls, in order, as "outlet.operation(argument)".
using Journal = std::vector<std::string>;

class MemoryControl {
 public:
  MemoryControl(std::string name, Journal& journal) : name_(std::move(name)), journal_(journal) {}
  virtual ~MemoryControl() = default;
  const std::string& name() const { return name_; }
  bool enabled = true;
  std::optional<ControlAction> action;
  // Whether what is done to the control goes into the journal.
  bool journaled = true;

 protected:
  // Journals "outlet.operation(argument)".
  void record(std::string_view operation, std::string_view argument);

 private:
  std::string name_;
  Journal& journal_;
};

class MemoryPopUpButton final : public NSPopUpButton, public MemoryControl, private NSMenu {
 public:
  using MemoryControl::MemoryControl;
  struct Item final : NSMenuItem {
    std::string title;
    std::optional<std::string> object;
    void setRepresentedObject(std::optional<std::string> o) override { object = std::move(o); }
    std::optional<std::string> representedObject() const override { return object; }
  };

  void setEnabled(bool e) override;
  void removeAllItems() override;
  void addItemWithTitle(const std::string& title) override;
  NSMenu& menu() override { return *this; }
  NSInteger indexOfSelectedItem() const override { return selected; }
  NSInteger indexOfItemWithRepresentedObject(const std::optional<std::string>& object) const override;
  void selectItemAtIndex(NSInteger index) override;

  // The person picks item `index`; false when the control is disabled.
  bool userSelects(NSInteger index);
  std::vector<std::string> titles() const;
  std::vector<std::optional<std::string>> objects() const;
  // The represented object of the selected item, or nullopt.
  std::optional<std::string> selectedObject() const;

  std::vector<std::unique_ptr<Item>> items;
  NSInteger selected = -1;

 private:
  NSMenuItem* itemAtIndex(NSInteger index) override;
};

class MemoryButton final : public NSButton, public MemoryControl {
 public:
  using MemoryControl::MemoryControl;
  void setEnabled(bool e) override;
  NSInteger state() const override { return state_; }
  void setState(NSInteger s) override;
  // The person clicks the box, which toggles it; false when disabled.
  bool userClicks();
  NSInteger state_ = 0;
};

class MemorySlider final : public NSSlider, public MemoryControl {
 public:
  using MemoryControl::MemoryControl;
  void setEnabled(bool e) override;
  float floatValue() const override { return value; }
  int intValue() const override;
  void setFloatValue(float v) override;
  void setMinValue(double v) override { minValue = v; }
  void setMaxValue(double v) override { maxValue = v; }
  // The person moves the slider to `v`; false when disabled.
  bool userMoves(float v);
  float value = 0;
  double minValue = 0, maxValue = 100;
};

class MemoryTextField final : public NSTextField, public MemoryControl {
 public:
  using MemoryControl::MemoryControl;
  void setEnabled(bool e) override;
  float floatValue() const override { return value; }
  int intValue() const override;
  void setFloatValue(float v) override;
  void setTextColor(NSColor c) override;
  void setMinValue(double v) override { minValue = v; }
  void setMaxValue(double v) override { maxValue = v; }
  // The person types `v` and ends editing; false when disabled.
  bool userTypes(float v);
  float value = 0;
  NSColor color = NSColor::blackColor;
  std::optional<double> minValue, maxValue;
};

// The panel's view: every control by its outlet name.
class MemoryView final : public NSView {
 public:
  void* nativeView() const override { return const_cast<MemoryView*>(this); }
  MemoryPopUpButton& popup(const std::string& name) const;
  MemoryButton& checkBox(const std::string& name) const;
  MemorySlider& slider(const std::string& name) const;
  MemoryTextField& textField(const std::string& name) const;

  Journal journal;
  std::map<std::string, std::unique_ptr<MemoryControl>> controls;
};

// The bundle: the view description "ZarvikPDE", a localisation table, an
// information dictionary.
class MemoryBundle final : public NSBundle {
 public:
  bool loadNibNamed(std::string_view name, NibOwner& owner) override;
  std::string localizedStringForKey(std::string_view key, std::optional<std::string_view> value,
                                    std::optional<std::string_view> table) const override;
  std::optional<std::string> objectForInfoDictionaryKey(std::string_view key) const override;

  // The outlet names and the action each control sends, from the panel's
  // table; an empty action name means the control sends none.
  static const std::vector<std::pair<std::string, std::string>>& layout();

  bool hasNib = true;
  // Whether the controls of the views it loads keep the journal; the
  // benchmarks turn it off to time the panel rather than the recording.
  bool keepsJournal = true;
  std::set<std::string> omittedOutlets;
  std::map<std::string, std::string, std::less<>> strings;
  std::map<std::string, std::string, std::less<>> info;
  int nibLoads = 0;
  mutable int localizedLookups = 0;
  MemoryView* loadedView = nullptr;  // owned by the nib's owner
};

class MemoryHelpManager final : public NSHelpManager {
 public:
  MemoryHelpManager() : previous_(NSHelpManager::setShared(this)) {}
  ~MemoryHelpManager() override { NSHelpManager::setShared(previous_); }
  bool registerBooksInBundle(const NSBundle&) override {
    ++registrations;
    return registers;
  }
  void openHelpAnchor(std::string_view anchor, std::string_view book) override {
    opened.emplace_back(std::string(anchor), std::string(book));
  }
  bool registers = true;
  int registrations = 0;
  std::vector<std::pair<std::string, std::string>> opened;

 private:
  NSHelpManager* previous_;
};

}  // namespace zarvik::testing
