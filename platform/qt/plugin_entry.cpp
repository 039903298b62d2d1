// The plug-in module's entry: the principal class for the bundle on disk,
// with the bundle and the help manager in place for the panels it makes.
#include "platform/qt/plugin_entry.h"

#include <string_view>

#include "panel/option_table.h"
#include "platform/qt/qt_bundle.h"
#include "platform/qt/qt_help_manager.h"
#include "panel/system_log.h"
#include "plugin/zarvik_pde_plugin.h"

namespace {

constexpr std::string_view kPrincipalClassName = "ZarvikPDEPlugIn";

// The system log, and a host's writer beside it.
class RoutedLog final : public zarvik::LogSink {
 public:
  void write(std::string_view entry) override {
    zarvik::systemLogSink().write(entry);
    if (writer) writer(entry.data(), entry.size(), context);
  }
  zarvik::LogWriter writer = nullptr;
  void* context = nullptr;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) zarvik::PDEPlugIn* zarvik_pde_principal_class(
    const char* principalClassName, const char* bundlePath) {
  if (principalClassName == nullptr || bundlePath == nullptr || principalClassName != kPrincipalClassName) {
    return nullptr;
  }
  std::shared_ptr<zarvik::qt::QtBundle> bundle = zarvik::qt::QtBundle::open(QString::fromUtf8(bundlePath));
  if (!bundle) return nullptr;
  // One help manager for the module's lifetime; the module is never
  // unloaded.
  static zarvik::qt::QtHelpManager help;
  zarvik::NSHelpManager::setShared(&help);
  zarvik::registerBundleForClass(zarvik::kPanelClassName, std::move(bundle));
  return new zarvik::ZarvikPDEPlugIn();
}

extern "C" __attribute__((visibility("default"))) void zarvik_pde_route_log(zarvik::LogWriter writer,
                                                                             void* context) {
  static RoutedLog routed;
  routed.writer = writer;
  routed.context = context;
  zarvik::setLogSink(writer ? &routed : nullptr);
}
