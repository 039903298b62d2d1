#include "platform/appkit/appkit_host.h"

#include "platform/appkit/appkit_text.h"

namespace zarvik::appkit {

#ifdef __APPLE__
// Apple's print settings as the core's: text values as CFString, numbers
// read back as double. One per callback object, so a reference the core
// holds stays valid across nested calls; it keeps the host's settings
// object it was last given alive.
class ApplePrintSettings final : public zarvik::PMPrintSettings {
 public:
  ApplePrintSettings() = default;
  ~ApplePrintSettings() override { use(nullptr); }
  ApplePrintSettings(const ApplePrintSettings&) = delete;
  ApplePrintSettings& operator=(const ApplePrintSettings&) = delete;

  void use(::PMPrintSettings settings) {
    if (settings == settings_) return;
    if (settings != nullptr) ::PMRetain(settings);
    if (settings_ != nullptr) ::PMRelease(settings_);
    settings_ = settings;
  }

  zarvik::OSStatus getValue(std::string_view key, PrintSettingValue& value) const override {
    CFTypeRef stored = nullptr;
    ::OSStatus status = ::PMPrintSettingsGetValue(settings_, (CFStringRef)toNSString(key), &stored);
    if (status != zarvik::noErr) return status;
    if (stored == nullptr) return zarvik::kPMKeyNotFound;
    if (CFGetTypeID(stored) == CFStringGetTypeID()) {
      value = fromNSString((NSString*)stored);
    } else if (CFGetTypeID(stored) == CFNumberGetTypeID()) {
      double number = 0;
      CFNumberGetValue((CFNumberRef)stored, kCFNumberDoubleType, &number);
      value = number;
    } else {
      value = std::monostate();
    }
    return zarvik::noErr;
  }

  zarvik::OSStatus setValue(std::string_view key, std::string_view text, bool locked) override {
    return ::PMPrintSettingsSetValue(settings_, (CFStringRef)toNSString(key), (CFTypeRef)toNSString(text), locked);
  }

 private:
  ::PMPrintSettings settings_ = nullptr;
};
#endif

AppKitHostCallback::AppKitHostCallback(id host)
    : host_([host retain])
#ifdef __APPLE__
      ,
      settings_(std::make_unique<ApplePrintSettings>())
#endif
{
}

AppKitHostCallback::~AppKitHostCallback() { [host_ release]; }

bool AppKitHostCallback::respondsToWillChangePPDOptionKeyValue() const {
  return [host_ respondsToSelector:@selector(willChangePPDOptionKeyValue:ppdChoice:)];
}

ppd_file_t* AppKitHostCallback::ppdFile() {
  return [host_ respondsToSelector:@selector(ppdFile)] ? [host_ ppdFile] : nullptr;
}

bool AppKitHostCallback::willChangePPDOptionKeyValue(std::string_view key, std::string_view choice) {
  return [host_ willChangePPDOptionKeyValue:toNSString(key) ppdChoice:toNSString(choice)];
}

zarvik::PMPrintSettings* AppKitHostCallback::printSettings() {
  if (![host_ respondsToSelector:@selector(printSettings)]) return nullptr;
#ifdef __APPLE__
  ::PMPrintSettings settings = [host_ printSettings];
  if (settings == nullptr) return nullptr;
  settings_->use(settings);
  return settings_.get();
#else
  return [host_ printSettings];
#endif
}

}  // namespace zarvik::appkit
