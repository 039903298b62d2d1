// A host's loader for the plug-in bundle: reads the bundle's Info.plist,
// loads its module with dlopen, and creates the principal class that
// Info.plist names through the module's one exported entry point. Nothing
// else of the plug-in is linked into the host.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "plugin/pde_protocol.h"

namespace zarvik {

// The Info.plist keys the loader reads.
inline constexpr char kBundleExecutableKey[] = "CFBundleExecutable";
inline constexpr char kPrincipalClassKey[] = "NSPrincipalClass";

class PlugInBundle {
 public:
  struct Opened {
    std::unique_ptr<PlugInBundle> bundle;  // nullptr on failure
    std::string error;                     // why, when there is no bundle
  };

  // Opens the bundle directory `path` (…/ZarvikPDE.plugin): its Info.plist
  // must name the executable under Contents/MacOS and the principal class,
  // as a Mac's dialog reads it (the panel types are the principal class's
  // answer); the module is loaded, the principal class created and
  // initialised with the bundle.
  [[nodiscard]] static Opened open(const std::string& path);

  // Deletes the principal class. The module stays loaded for the rest of
  // the process, so panels and widgets it made may outlive this object.
  ~PlugInBundle();
  PlugInBundle(const PlugInBundle&) = delete;
  PlugInBundle& operator=(const PlugInBundle&) = delete;

  PDEPlugIn& principalClass() const { return *principal_; }
  const std::string& path() const { return path_; }
  // Sends the module's log lines to `writer` too (nullptr: the system log
  // alone). False when the module has no such hook.
  bool routeLog(void (*writer)(const char* entry, std::size_t length, void* context), void* context) const;

  // A string entry of the bundle's Info.plist, or nullopt.
  std::optional<std::string> infoValue(std::string_view key) const;

 private:
  PlugInBundle() = default;

  std::string path_;
  std::map<std::string, std::string, std::less<>> info_;
  void* module_ = nullptr;
  std::unique_ptr<PDEPlugIn> principal_;
};

}  // namespace zarvik
