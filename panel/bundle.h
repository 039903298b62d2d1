// The plug-in's bundle as the panel sees it: the view description, the
// localisation table, the information dictionary, and the help books.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "panel/toolkit.h"
#include "plugin/pde_protocol.h"

namespace zarvik {

// A control's action: the operation it calls with itself as the sender.
// Pop-up buttons send themselves, check boxes their state, sliders and text
// fields their number.
using ControlAction = std::variant<std::function<void(NSPopUpButton&)>,
                                   std::function<void(StateSource&)>,
                                   std::function<void(FloatValueSource&)>>;

// Takes `action` into `slot` when it is an action for this kind of sender; the toolkits' controls bind with it.
template <class Sender>
bool bindAction(const ControlAction& action, std::function<void(Sender&)>& slot) {
  const auto* function = std::get_if<std::function<void(Sender&)>>(&action);
  if (function == nullptr) return false;
  slot = *function;
  return true;
}

// A control of a loaded view, by kind.
using OutletTarget = std::variant<NSPopUpButton*, NSButton*, NSSlider*, NSTextField*>;

// The object that a view description is loaded for: it receives the root
// view and the controls, and names the operations the controls call.
class NibOwner {
 public:
  virtual ~NibOwner() = default;
  virtual void setView(std::unique_ptr<NSView> view) = 0;
  // Connects the outlet `name` to `control`; false when the owner has no
  // outlet of that name and kind.
  virtual bool connectOutlet(std::string_view name, OutletTarget control) = 0;
  // The action called `name`, or nullopt when the owner has none.
  virtual std::optional<ControlAction> actionNamed(std::string_view name) = 0;
};

class NSBundle {
 public:
  virtual ~NSBundle() = default;
  // Loads the view description `name` for `owner`, which receives the root
  // view and controls; the controls' actions are bound to the owner.
  virtual bool loadNibNamed(std::string_view name, NibOwner& owner) = 0;
  // The localised text for `key`, `value` when the table has none and
  // `value` is given, else the key itself. No table means the default one.
  virtual std::string localizedStringForKey(std::string_view key, std::optional<std::string_view> value,
                                            std::optional<std::string_view> table) const = 0;
  virtual std::optional<std::string> objectForInfoDictionaryKey(std::string_view key) const = 0;
};

class NSHelpManager {
 public:
  virtual ~NSHelpManager() = default;
  // True when the bundle's help books are registered.
  virtual bool registerBooksInBundle(const NSBundle& bundle) = 0;
  virtual void openHelpAnchor(std::string_view anchor, std::string_view book) = 0;

  // The process's help manager: the one installed with setShared, or one
  // that registers nothing and opens nothing.
  static NSHelpManager& sharedHelpManager();
  // Installs `manager` (not owned; nullptr restores the default) and answers
  // the previous one.
  static NSHelpManager* setShared(NSHelpManager* manager);
};

// The bundle that holds the named class: the platform registers it when it
// loads the plug-in. Answers nullptr for a class no bundle was registered for.
std::shared_ptr<NSBundle> bundleForClass(std::string_view className);
void registerBundleForClass(std::string_view className, std::shared_ptr<NSBundle> bundle);

}  // namespace zarvik
