#include "platform/qt/plugin_bundle.h"

#include <dlfcn.h>

#include <filesystem>

#include "panel/bundle.h"
#include "platform/qt/plugin_entry.h"
#include "platform/qt/property_list.h"

namespace zarvik {
namespace {

// The bundle as the host hands it to the principal class: its information
// dictionary. The plug-in reads its views and tables itself.
class InfoBundle final : public NSBundle {
 public:
  explicit InfoBundle(std::map<std::string, std::string, std::less<>> info) : info_(std::move(info)) {}
  bool loadNibNamed(std::string_view, NibOwner&) override { return false; }
  std::string localizedStringForKey(std::string_view key, std::optional<std::string_view> value,
                                    std::optional<std::string_view>) const override {
    return std::string(value.value_or(key));
  }
  std::optional<std::string> objectForInfoDictionaryKey(std::string_view key) const override {
    auto found = info_.find(key);
    if (found == info_.end()) return std::nullopt;
    return found->second;
  }

 private:
  std::map<std::string, std::string, std::less<>> info_;
};

std::string lastDlError() {
  const char* message = dlerror();
  return message ? message : "unknown error";
}

}  // namespace

PlugInBundle::Opened PlugInBundle::open(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ignored;
  if (!fs::is_directory(path, ignored)) return {nullptr, "no plug-in bundle at " + path};

  std::string error;
  std::optional<qt::InfoDictionary> info =
      qt::readInfoDictionary((fs::path(path) / "Contents/Info.plist").string(), error);
  if (!info) return {nullptr, error};

  std::unique_ptr<PlugInBundle> bundle(new PlugInBundle());
  bundle->path_ = path;
  bundle->info_ = std::move(*info);
  std::optional<std::string> executable = bundle->infoValue(kBundleExecutableKey);
  if (!executable || executable->empty()) {
    return {nullptr, "the Info.plist of " + path + " names no " + kBundleExecutableKey};
  }
  std::optional<std::string> className = bundle->infoValue(kPrincipalClassKey);
  if (!className || className->empty()) {
    return {nullptr, "the Info.plist of " + path + " names no " + kPrincipalClassKey};
  }

  // RTLD_LOCAL keeps the module's symbols out of the host's way; the module
  // is never unmapped because objects it made (panels, widgets, the help
  // manager) may outlive the bundle object.
  const std::string modulePath = (fs::path(path) / "Contents/MacOS" / *executable).string();
  bundle->module_ = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (bundle->module_ == nullptr) return {nullptr, "cannot load " + modulePath + ": " + lastDlError()};
  dlerror();
  void* symbol = dlsym(bundle->module_, kPrincipalClassEntryPoint);
  if (symbol == nullptr) {
    return {nullptr, modulePath + " has no entry point " + kPrincipalClassEntryPoint + ": " + lastDlError()};
  }
  auto factory = reinterpret_cast<PrincipalClassFactory>(symbol);
  bundle->principal_.reset(factory(className->c_str(), path.c_str()));
  if (!bundle->principal_) return {nullptr, modulePath + " has no principal class " + *className};
  if (!bundle->principal_->initWithBundle(std::make_shared<InfoBundle>(bundle->info_))) {
    return {nullptr, "the principal class " + *className + " refused the bundle " + path};
  }
  return {std::move(bundle), std::string()};
}

PlugInBundle::~PlugInBundle() {
  principal_.reset();
  if (module_ != nullptr) dlclose(module_);
}

bool PlugInBundle::routeLog(void (*writer)(const char* entry, std::size_t length, void* context),
                            void* context) const {
  auto route = reinterpret_cast<RouteLog>(dlsym(module_, kRouteLogEntryPoint));
  if (route == nullptr) return false;
  route(writer, context);
  return true;
}

std::optional<std::string> PlugInBundle::infoValue(std::string_view key) const {
  auto found = info_.find(key);
  if (found == info_.end()) return std::nullopt;
  return found->second;
}

}  // namespace zarvik
