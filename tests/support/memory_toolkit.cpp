#include "support/memory_toolkit.h"

#include "panel/option_table.h"

namespace zarvik::testing {
namespace {

template <class Sender>
bool deliver(const MemoryControl& control, Sender& sender) {
  if (!control.enabled) return false;
  if (!control.action) return true;
  if (auto* f = std::get_if<std::function<void(Sender&)>>(&*control.action)) (*f)(sender);
  return true;
}

// A new control of the kind `Made`, which `target` then names as the panel's kind `Target`.
template <class Made, class Target>
std::unique_ptr<MemoryControl> made(OutletTarget& target) {
  auto control = std::make_unique<Made>();
  target = static_cast<Target*>(control.get());
  return control;
}

}  // namespace

void MemoryPopUpButton::removeAllItems() {
  items.clear();
  selected = -1;
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
}

bool MemoryPopUpButton::userSelects(NSInteger index) {
  if (enabled) selected = index;
  return deliver<NSPopUpButton>(*this, *this);
}

bool MemoryButton::userClicks() {
  if (enabled) state_ = state_ == 1 ? 0 : 1;
  return deliver<StateSource>(*this, *this);
}

template <class Control>
bool MemoryValueControl<Control>::userSets(float v) {
  if (enabled) value = v;
  return deliver<FloatValueSource>(*this, *this);
}
template class MemoryValueControl<NSSlider>;
template class MemoryValueControl<NSTextField>;

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
  for (const auto& [outlet, actionName] : layout()) {
    OutletTarget target;
    std::unique_ptr<MemoryControl> control =
        outlet.ends_with("Popup")      ? made<MemoryPopUpButton, NSPopUpButton>(target)
        : outlet.ends_with("CheckBox") ? made<MemoryButton, NSButton>(target)
        : outlet.ends_with("Slider")   ? made<MemorySlider, NSSlider>(target)
                                       : made<MemoryTextField, NSTextField>(target);
    if (!actionName.empty()) control->action = owner.actionNamed(actionName);
    owner.connectOutlet(outlet, target);
    view->controls.emplace(outlet, std::move(control));
  }
  loadedView = view.get();
  owner.setView(std::move(view));
  return true;
}

std::string MemoryBundle::localizedStringForKey(std::string_view key, std::optional<std::string_view> value,
                                                std::optional<std::string_view>) const {
  return std::string(value.value_or(key));
}

std::optional<std::string> MemoryBundle::objectForInfoDictionaryKey(std::string_view key) const {
  auto found = info.find(key);
  return found != info.end() ? std::optional(found->second) : std::nullopt;
}

}  // namespace zarvik::testing
