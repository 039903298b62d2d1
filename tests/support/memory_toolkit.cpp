#include "support/memory_toolkit.h"

#include <stdexcept>

namespace zarvik::testing {
namespace {

std::string number(double v) { return formatFloat(v); }

template <class Sender>
void deliver(const std::optional<ControlAction>& action, Sender& sender) {
  if (!action) return;
  if (auto* f = std::get_if<std::function<void(Sender&)>>(&*action)) (*f)(sender);
}

}  // namespace

void MemoryPopUpButton::setEnabled(bool e) {
  enabled = e;
  record(std::string("setEnabled(") + (e ? "YES" : "NO") + ")");
}

void MemoryPopUpButton::removeAllItems() {
  items.clear();
  selected = -1;
  record("removeAllItems()");
}

void MemoryPopUpButton::addItemWithTitle(const std::string& title) {
  auto item = std::make_unique<Item>();
  item->title = title;
  items.push_back(std::move(item));
  record("addItemWithTitle(" + title + ")");
}

NSMenuItem* MemoryPopUpButton::itemAtIndex(NSInteger index) {
  if (index < 0 || static_cast<std::size_t>(index) >= items.size()) return nullptr;
  return items[static_cast<std::size_t>(index)].get();
}

NSInteger MemoryPopUpButton::indexOfItemWithRepresentedObject(const std::optional<std::string>& object) const {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (object && items[i]->object == object) return static_cast<NSInteger>(i);
  }
  return -1;
}

void MemoryPopUpButton::selectItemAtIndex(NSInteger index) {
  selected = index >= 0 && static_cast<std::size_t>(index) < items.size() ? index : -1;
  record("selectItemAtIndex(" + std::to_string(index) + ")");
}

bool MemoryPopUpButton::userSelects(NSInteger index) {
  if (!enabled) return false;
  selected = index;
  deliver<NSPopUpButton>(action, *this);
  return true;
}

std::vector<std::string> MemoryPopUpButton::titles() const {
  std::vector<std::string> out;
  for (const auto& item : items) out.push_back(item->title);
  return out;
}

std::vector<std::optional<std::string>> MemoryPopUpButton::objects() const {
  std::vector<std::optional<std::string>> out;
  for (const auto& item : items) out.push_back(item->object);
  return out;
}

std::optional<std::string> MemoryPopUpButton::selectedObject() const {
  if (selected < 0 || static_cast<std::size_t>(selected) >= items.size()) return std::nullopt;
  return items[static_cast<std::size_t>(selected)]->object;
}

void MemoryButton::setEnabled(bool e) {
  enabled = e;
  record(std::string("setEnabled(") + (e ? "YES" : "NO") + ")");
}

void MemoryButton::setState(NSInteger s) {
  state_ = s;
  record("setState(" + std::to_string(s) + ")");
}

bool MemoryButton::userClicks() {
  if (!enabled) return false;
  state_ = state_ == 1 ? 0 : 1;
  deliver<StateSource>(action, *this);
  return true;
}

void MemorySlider::setEnabled(bool e) {
  enabled = e;
  record(std::string("setEnabled(") + (e ? "YES" : "NO") + ")");
}

int MemorySlider::intValue() const { return truncateToInt32(value).value_or(0); }

void MemorySlider::setFloatValue(float v) {
  value = v;
  record("setFloatValue(" + number(v) + ")");
}

bool MemorySlider::userMoves(float v) {
  if (!enabled) return false;
  value = v;
  deliver<FloatValueSource>(action, *this);
  return true;
}

void MemoryTextField::setEnabled(bool e) {
  enabled = e;
  record(std::string("setEnabled(") + (e ? "YES" : "NO") + ")");
}

int MemoryTextField::intValue() const { return truncateToInt32(value).value_or(0); }

void MemoryTextField::setFloatValue(float v) {
  value = v;
  record("setFloatValue(" + number(v) + ")");
}

void MemoryTextField::setTextColor(NSColor c) {
  color = c;
  record(std::string("setTextColor(") + (c == NSColor::blackColor ? "black" : "gray") + ")");
}

bool MemoryTextField::userTypes(float v) {
  if (!enabled) return false;
  value = v;
  deliver<FloatValueSource>(action, *this);
  return true;
}

namespace {

template <class Control>
Control& find(const MemoryView& view, const std::string& name) {
  auto found = view.controls.find(name);
  auto* control = found == view.controls.end() ? nullptr : dynamic_cast<Control*>(found->second.get());
  if (control == nullptr) throw std::out_of_range("no control " + name + " of that kind in the view");
  return *control;
}

}  // namespace

MemoryPopUpButton& MemoryView::popup(const std::string& name) const { return find<MemoryPopUpButton>(*this, name); }
MemoryButton& MemoryView::checkBox(const std::string& name) const { return find<MemoryButton>(*this, name); }
MemorySlider& MemoryView::slider(const std::string& name) const { return find<MemorySlider>(*this, name); }
MemoryTextField& MemoryView::textField(const std::string& name) const { return find<MemoryTextField>(*this, name); }

const std::vector<std::pair<std::string, std::string>>& MemoryBundle::layout() {
  static const std::vector<std::pair<std::string, std::string>> kLayout = {
      {"jobTypePopup", "requestNewJobType"},
      {"centerEngravingPopup", "requestNewCenterEngraving"},
      {"directPrintCheckBox", "requestNewDirectPrint"},
      {"autoFocusCheckBox", "requestNewAutoFocus"},
      {"materialTextBox", "requestNewMaterialThickness"},
      {"vectorGridCheckBox", "requestNewVectorGrid"},
      {"materialText", ""},
      {"rPowerTextBox", "requestNewRPower"},
      {"rSpeedTextBox", "requestNewRSpeed"},
      {"ditheringPopup", "requestNewDithering"},
      {"engravingDirectionPopup", "requestNewEngraveDir"},
      {"rPowerSlider", "requestNewRPower"},
      {"rSpeedSlider", "requestNewRSpeed"},
      {"vSpeedSlider", "requestNewVSpeed"},
      {"vPowerSlider", "requestNewVPower"},
      {"vFreqSlider", "requestNewVFreq"},
      {"vSpeedTextBox", "requestNewVSpeed"},
      {"vPowerTextBox", "requestNewVPower"},
      {"vFreqTextBox", "requestNewVFreq"},
      {"vSortingPopup", "requestNewVSorting"},
      {"vSpeedCompCheckBox", "requestNewVSpeedComp"},
      {"vPowerCompCheckBox", "requestNewVPowerComp"},
      {"resolutionTextBox", ""},
      {"resolutionSlider", "requestNewResolution"},
  };
  return kLayout;
}

bool MemoryBundle::loadNibNamed(std::string_view name, NibOwner& owner) {
  ++nibLoads;
  if (!hasNib || name != "ZarvikPDE") return false;
  auto view = std::make_unique<MemoryView>();
  for (const auto& [outlet, actionName] : layout()) {
    std::unique_ptr<MemoryControl> control;
    OutletTarget target;
    if (outlet.ends_with("Popup")) {
      auto* c = new MemoryPopUpButton(outlet, view->journal);
      control.reset(c);
      target = static_cast<NSPopUpButton*>(c);
    } else if (outlet.ends_with("CheckBox")) {
      auto* c = new MemoryButton(outlet, view->journal);
      control.reset(c);
      target = static_cast<NSButton*>(c);
    } else if (outlet.ends_with("Slider")) {
      auto* c = new MemorySlider(outlet, view->journal);
      control.reset(c);
      target = static_cast<NSSlider*>(c);
    } else {
      auto* c = new MemoryTextField(outlet, view->journal);
      control.reset(c);
      target = static_cast<NSTextField*>(c);
    }
    if (!actionName.empty()) control->action = owner.actionNamed(actionName);
    if (!omittedOutlets.count(outlet)) owner.connectOutlet(outlet, target);
    view->controls.emplace(outlet, std::move(control));
  }
  loadedView = view.get();
  owner.setView(std::move(view));
  return true;
}

std::string MemoryBundle::localizedStringForKey(std::string_view key, std::optional<std::string_view> value,
                                                std::optional<std::string_view>) const {
  ++localizedLookups;
  auto found = strings.find(key);
  if (found != strings.end()) return found->second;
  return std::string(value.value_or(key));
}

std::optional<std::string> MemoryBundle::objectForInfoDictionaryKey(std::string_view key) const {
  auto found = info.find(key);
  if (found == info.end()) return std::nullopt;
  return found->second;
}

}  // namespace zarvik::testing
