// PPD bytes -> a whole panel: bound through a host that refuses as the input
// says, shown, restored, summarised and driven by a few actions chosen from
// the input. The panel must never crash, leak or change a field that the
// host did not accept.
#include <cups/ppd.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "panel/ppd_lookup.h"
#include "panel/ppd_text.h"
#include "panel/system_log.h"
#include "panel/zarvik_pde.h"
#include "memory_toolkit.h"
#include "support/recording_host.h"
#include "fuzz_checks.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

using zarvik::fuzz::check;

using namespace zarvik;
using namespace zarvik::testing;

class Discard final : public LogSink {
 public:
  void write(std::string_view) override {}
};

struct Fields {
  std::optional<std::string> choices[5];
  NSInteger integers[11];
  float thickness;
  bool operator==(const Fields&) const = default;
};

Fields snapshot(const ZarvikPDE& p) {
  return {{p.jobTypeChoice, p.centerEngravingChoice, p.ditheringChoice, p.engraveDirChoice, p.vectorSortingChoice},
          {p.rPower, p.rSpeed, p.vPower, p.vSpeed, p.vFreq, p.vSpeedComp, p.vPowerComp, p.oDirectPrint,
           p.oAutoFocus, p.oVectorGrid, p.resolution},
          p.oMaterialThickness};
}

bool optionHasChoice(ppd_option_t* option, const std::string& keyword) {
  for (const ppd_choice_t& choice : ppd::choicesOf(option)) {
    if (keywordString(choice.choice) == keyword) return true;
  }
  return false;
}

constexpr std::size_t kScriptSize = 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kScriptSize) return 0;
  const std::uint8_t* script = data;
  std::string text(reinterpret_cast<const char*>(data + kScriptSize), size - kScriptSize);

  // libcups reads through a file descriptor: hand it an in-memory file.
  int fd = memfd_create("ppd", 0);
  if (fd < 0) return 0;
  bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  lseek(fd, 0, SEEK_SET);
  std::unique_ptr<ppd_file_t, void (*)(ppd_file_t*)> ppd(written ? ppdOpenFd(fd) : nullptr, ppdClose);
  close(fd);
  if (!ppd) return 0;  // libcups refuses it: a clear result
  ppdMarkDefaults(ppd.get());

  Discard discard;
  LogSink* previousLog = setLogSink(&discard);
  auto bundle = std::make_shared<MemoryBundle>();
  registerBundleForClass(kPanelClassName, bundle);

  auto host = std::make_shared<RecordingHost>(ppd.get());
  std::uint32_t refusals = script[0] | (script[1] << 8);
  int accepted = 0;
  std::size_t call = 0;
  host->decide = [&](std::string_view, std::string_view) {
    bool ok = ((refusals >> (call++ % 16)) & 1) == 0;
    accepted += ok;
    return ok;
  };

  bool hasAll = true;
  for (std::string_view keyword : kRequiredOptions) {
    hasAll = hasAll && ppd::findOption(ppd.get(), std::string(keyword)) != nullptr;
  }
  std::shared_ptr<ZarvikPDE> panel = ZarvikPDE::initWithCallback(host);
  check(static_cast<bool>(panel) == hasAll, "a panel exactly when the PPD has the thirteen options");

  if (panel) {
    panel->panelView();
    panel->willShow();
    panel->restoreValuesAndReturnError(nullptr);
    (void)panel->summaryInfo();
    MemoryView& view = *bundle->loadedView;
    const auto& layout = MemoryBundle::layout();
    for (std::size_t i = 2; i + 1 < kScriptSize; i += 2) {
      const std::string& outlet = layout[script[i] % layout.size()].first;
      std::uint8_t value = script[i + 1];
      Fields before = snapshot(*panel);
      accepted = 0;
      MemoryControl& control = *view.controls.at(outlet);
      if (auto* popup = dynamic_cast<MemoryPopUpButton*>(&control)) {
        NSInteger count = static_cast<NSInteger>(popup->items.size());
        popup->userSelects(count == 0 ? -1 : static_cast<NSInteger>(value) % (count + 1) - 1);
      } else if (auto* box = dynamic_cast<MemoryButton*>(&control)) {
        box->userClicks();
      } else if (auto* slider = dynamic_cast<MemorySlider*>(&control)) {
        slider->userMoves(static_cast<float>(static_cast<std::int8_t>(value)) * 37.5f);
      } else if (auto* field = dynamic_cast<MemoryTextField*>(&control)) {
        field->userTypes(static_cast<float>(value) / 8.0f);
      }
      if (accepted == 0) check(snapshot(*panel) == before, "a field changed although the host refused");
      if (dynamic_cast<MemoryPopUpButton*>(&control) && accepted > 0) {
        // What a person picks comes from the pop-up's items, which come from
        // the PPD: the field holds one of the option's keywords.
        const std::pair<std::string_view, std::pair<ppd_option_t*, const std::optional<std::string>*>> popups[] = {
            {"jobTypePopup", {panel->jobTypeOption, &panel->jobTypeChoice}},
            {"centerEngravingPopup", {panel->centerEngravingOption, &panel->centerEngravingChoice}},
            {"ditheringPopup", {panel->ditheringOption, &panel->ditheringChoice}},
            {"engravingDirectionPopup", {panel->engraveDirOption, &panel->engraveDirChoice}},
            {"vSortingPopup", {panel->vectorSortingOption, &panel->vectorSortingChoice}}};
        for (const auto& [name, model] : popups) {
          if (name != outlet) continue;
          check(*model.second && optionHasChoice(model.first, **model.second),
                "a picked keyword is one of the option's choices");
        }
      }
    }
    panel->restoreValuesAndReturnError(nullptr);
    (void)panel->summaryInfo();
  }

  panel.reset();
  check(host.use_count() == 1, "the panel let go of its host");
  registerBundleForClass(kPanelClassName, nullptr);
  setLogSink(previousLog);
  return 0;
}
