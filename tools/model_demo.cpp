// Binds a panel to an engraver PPD through a minimal host that marks with
// libcups, restores it, and prints the panel's model and the PPD's marks.
// Usage: zarvik-model-demo [FILE.ppd]
#include <cups/ppd.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <memory>

#include "panel/system_log.h"
#include "panel/zarvik_pde.h"
#include "plugin/zarvik_pde_plugin.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

using namespace zarvik;

class StderrLog final : public LogSink {
 public:
  void write(std::string_view entry) override { std::cerr << "log: " << entry << "\n"; }
};

class MapPrintSettings final : public PMPrintSettings {
 public:
  OSStatus getValue(std::string_view key, PrintSettingValue& value) const override {
    auto found = values_.find(std::string(key));
    if (found == values_.end()) return kPMKeyNotFound;
    value = found->second;
    return noErr;
  }
  OSStatus setValue(std::string_view key, std::string_view value, bool) override {
    values_[std::string(key)] = std::string(value);
    return noErr;
  }

 private:
  std::map<std::string, std::string> values_;
};

class LibcupsHost final : public PDEPluginCallback {
 public:
  explicit LibcupsHost(ppd_file_t* ppd) : ppd_(ppd) {}
  bool respondsToWillChangePPDOptionKeyValue() const override { return true; }
  ppd_file_t* ppdFile() override { return ppd_; }
  PMPrintSettings* printSettings() override { return &settings_; }
  bool willChangePPDOptionKeyValue(std::string_view key, std::string_view choice) override {
    std::string option(key), value(choice);
    if (option.rfind("Custom", 0) == 0 && ppdFindCustomOption(ppd_, option.c_str() + 6)) {
      option.erase(0, 6);
      value = "Custom." + value;
    }
    if (ppdFindOption(ppd_, option.c_str()) == nullptr) return false;
    ppdMarkOption(ppd_, option.c_str(), value.c_str());
    return true;
  }

 private:
  ppd_file_t* ppd_;
  MapPrintSettings settings_;
};

}  // namespace

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : ZARVIK_SAMPLE_PPD;
  std::unique_ptr<ppd_file_t, void (*)(ppd_file_t*)> ppd(ppdOpenFile(path), ppdClose);
  if (!ppd) {
    std::cerr << "cannot open PPD " << path << "\n";
    return 2;
  }
  ppdMarkDefaults(ppd.get());
  StderrLog log;
  setLogSink(&log);

  auto host = std::make_shared<LibcupsHost>(ppd.get());
  ZarvikPDEPlugIn plugin;
  auto panels = plugin.PDEPanelsForType(kPrintDialogExtensionType, host);
  if (!panels || panels->empty()) {
    std::cerr << "no panel: the PPD lacks the engraver's options\n";
    return 4;
  }
  auto panel = std::static_pointer_cast<ZarvikPDE>(panels->front());
  panel->restoreValuesAndReturnError(nullptr);

  std::cout << "panel " << panel->panelName() << " (" << panel->panelKind() << ")\n"
            << "  job type " << panel->jobTypeChoice.value_or("(none)") << ", centre engraving "
            << panel->centerEngravingChoice.value_or("(none)") << ", direction "
            << panel->engraveDirChoice.value_or("(none)") << ", dithering "
            << panel->ditheringChoice.value_or("(none)") << ", vector sorting "
            << panel->vectorSortingChoice.value_or("(none)") << "\n"
            << "  raster speed " << panel->rSpeed << ", power " << panel->rPower << "; vector speed "
            << panel->vSpeed << ", power " << panel->vPower << ", frequency " << panel->vFreq << "\n"
            << "  resolution " << panel->resolution << " dpi (step " << panel->resolutionIndex
            << "), material thickness " << panel->oMaterialThickness << " mm\n";
  if (auto summary = panel->summaryInfo()) {
    for (const auto& [title, text] : *summary) std::cout << "  summary: " << title << ": " << text << "\n";
  }
  std::cout << "marked in the PPD:\n";
  for (const char* option : {"JobType", "CenterEngraving", "EngravingDirection", "dithering", "vectorSort",
                             "rasterSpeed", "rasterPower", "vectorSpeed", "vectorPower", "vectorFreq",
                             "cResolution", "materialThickness", "autoFocus", "vectorGrid", "directPrint"}) {
    ppd_choice_t* marked = ppdFindMarkedChoice(ppd.get(), option);
    std::cout << "  " << option << "=" << (marked ? marked->choice : "(none)") << "\n";
  }
  setLogSink(nullptr);
  return 0;
}
