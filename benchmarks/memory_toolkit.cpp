#include "memory_toolkit.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "panel/option_table.h"
#include "panel/value_text.h"

namespace zarvik::testing {
namespace {

std::string number(double v) { return formatFloat(v); }

std::string_view yesNo(bool e) { return e ? "YES" : "NO"; }

template <class Sender>
void deliver(const std::optional<ControlAction>& action, Sender& sender) {
  if (!action) return;
  if (auto* f = std::get_if<std::function<void(Sender&)>>(&*action)) (*f)(sender);
}

}  // namespace

void MemoryControl::record(std::string_view operation, std::string_view argument) {
  if (!journaled) return;
  // One allocation per entry: controls are set many times per refresh.
  std::string entry;
  entry.reserve(name_.size() + operation.size() + argument.size() + 3);
  entry.append(name_).append(1, '.').append(operation).append(1, '(').append(argument).append(1, ')');
  journal_.push_back(std::move(entry));
}

void MemoryPopUpButton::setEnabled(bool e) {
  enabled = e;
  record("setEnabled", yesNo(e));
}

void MemoryPopUpButton::removeAllItems() {
  items.clear();
  selected = -1;
  record("removeAllItems", "");
}

void MemoryPopUpButton::addItemWithTitle(const std::string& title) {
  auto item = std::make_unique<Item>();
  item->title = title;
  // Room for a typical menu at once rather than growing by doubling.
  if (items.empty()) items.reserve(8);
  items.push_back(std::move(item));
  record("addItemWithTitle", title);
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
  if (journaled) record("selectItemAtIndex", formatLong(index));
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
  record("setEnabled", yesNo(e));
}

void MemoryButton::setState(NSInteger s) {
  state_ = s;
  if (journaled) record("setState", formatLong(s));
}

bool MemoryButton::userClicks() {
  if (!enabled) return false;
  state_ = state_ == 1 ? 0 : 1;
  deliver<StateSource>(action, *this);
  return true;
}

void MemorySlider::setEnabled(bool e) {
  enabled = e;
  record("setEnabled", yesNo(e));
}

int MemorySlider::intValue() const { return truncateToInt32(value).value_or(0); }

void MemorySlider::setFloatValue(float v) {
  value = v;
  if (journaled) record("setFloatValue", number(v));
}

bool MemorySlider::userMoves(float v) {
  if (!enabled) return false;
  value = v;
  deliver<FloatValueSource>(action, *this);
  return true;
}

void MemoryTextField::setEnabled(bool e) {
  enabled = e;
  record("setEnabled", yesNo(e));
}

int MemoryTextField::intValue() const { return truncateToInt32(value).value_or(0); }

void MemoryTextField::setFloatValue(float v) {
  value = v;
  if (journaled) record("setFloatValue", number(v));
}

void MemoryTextField::setTextColor(NSColor c) {
  color = c;
  record("setTextColor", c == NSColor::blackColor ? "black" : "gray");
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
  static const std::vector<std::pair<std::string, std::string>> kLayout = [] {
    // The two captions send nothing.
    std::vector<std::pair<std::string, std::string>> layout = {{"materialText", ""}, {"resolutionTextBox", ""}};
    for (const ControlActionRow& row : controlActions()) {
      for (std::string_view sender : row.senders) {
        if (!sender.empty()) layout.emplace_back(std::string(sender), std::string(row.action));
      }
    }
    return layout;
  }();
  return kLayout;
}

bool MemoryBundle::loadNibNamed(std::string_view name, NibOwner& owner) {
  ++nibLoads;
  if (!hasNib || name != "ZarvikPDE") return false;
  auto view = std::make_unique<MemoryView>();
  // The view's map is filled in its own order, each control placed with a
  // hint that is right, which saves the search; the controls are made and
  // connected in the layout's order.
  static const std::vector<std::size_t> kByName = [] {
    std::vector<std::size_t> order(layout().size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(),
              [](std::size_t a, std::size_t b) { return layout()[a].first < layout()[b].first; });
    return order;
  }();
  std::vector<std::unique_ptr<MemoryControl>> made;
  made.reserve(layout().size());
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
    control->journaled = keepsJournal;
    if (!actionName.empty()) control->action = owner.actionNamed(actionName);
    if (omittedOutlets.empty() || !omittedOutlets.contains(outlet)) owner.connectOutlet(outlet, target);
    made.push_back(std::move(control));
  }
  for (std::size_t i : kByName) {
    view->controls.emplace_hint(view->controls.end(), layout()[i].first, std::move(made[i]));
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
