#include "panel/bundle.h"

#include <map>

namespace zarvik {
namespace {

class NoHelpManager final : public NSHelpManager {
 public:
  bool registerBooksInBundle(const NSBundle&) override { return false; }
  void openHelpAnchor(std::string_view, std::string_view) override {}
};

NSHelpManager* installedHelpManager = nullptr;

std::map<std::string, std::shared_ptr<NSBundle>, std::less<>>& bundles() {
  static std::map<std::string, std::shared_ptr<NSBundle>, std::less<>> registry;
  return registry;
}

}  // namespace

NSHelpManager& NSHelpManager::sharedHelpManager() {
  static NoHelpManager none;
  return installedHelpManager ? *installedHelpManager : none;
}

NSHelpManager* NSHelpManager::setShared(NSHelpManager* manager) {
  NSHelpManager* previous = installedHelpManager;
  installedHelpManager = manager;
  return previous;
}

std::shared_ptr<NSBundle> bundleForClass(std::string_view className) {
  auto found = bundles().find(className);
  return found == bundles().end() ? nullptr : found->second;
}

void registerBundleForClass(std::string_view className, std::shared_ptr<NSBundle> bundle) {
  if (bundle) {
    bundles().insert_or_assign(std::string(className), std::move(bundle));
  } else if (auto found = bundles().find(className); found != bundles().end()) {
    bundles().erase(found);
  }
}

}  // namespace zarvik
