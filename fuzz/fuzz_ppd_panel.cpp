// Input: 16 bytes of script (two bytes saying which requests the host
// refuses, seven actions of an outlet byte and a value byte), then a PPD.
// Must hold: a panel exactly when the PPD has the thirteen options; no field
// changes without an accepted request; a pop-up's field holds one of its
// option's keywords, set once picked; the panel lets go of its host.
#include <algorithm>
#include <tuple>

#include "fuzz_checks.h"
#include "memory_toolkit.h"
#include "panel/ppd_lookup.h"
#include "panel/zarvik_pde.h"
#include "support/recording_host.h"

using namespace zarvik;
using namespace zarvik::testing;

static std::optional<std::string> keyword(const ppd_choice_t& choice) { return keywordString(choice.choice); }

static auto fields(const ZarvikPDE& p) {
  return std::tuple(p.jobTypeChoice, p.centerEngravingChoice, p.ditheringChoice, p.engraveDirChoice,
                    p.vectorSortingChoice, p.rPower, p.rSpeed, p.vPower, p.vSpeed, p.vFreq, p.vSpeedComp,
                    p.vPowerComp, p.oDirectPrint, p.oAutoFocus, p.oVectorGrid, p.resolution, p.oMaterialThickness);
}

// Shows the panel and acts on it as the script says.
static void drive(ZarvikPDE& panel, MemoryBundle& bundle, const std::uint8_t* script, unsigned& accepted) {
  panel.panelView();
  panel.willShow();
  panel.restoreValuesAndReturnError(nullptr);
  for (std::size_t i = 2; i < 16; i += 2) {
    const std::string& outlet = MemoryBundle::layout()[script[i] % MemoryBundle::layout().size()].first;
    MemoryControl* control = bundle.loadedView->controls.at(outlet).get();
    const auto before = fields(panel);
    accepted = 0;
    if (auto* popup = dynamic_cast<MemoryPopUpButton*>(control)) {
      popup->userSelects(static_cast<NSInteger>(script[i + 1] % (popup->items.size() + 1)) - 1);
    } else if (auto* box = dynamic_cast<MemoryButton*>(control)) {
      box->userClicks();
    } else if (auto* slider = dynamic_cast<MemorySlider*>(control)) {
      slider->userMoves(static_cast<std::int8_t>(script[i + 1]) * 37.5f);
    } else if (auto* field = dynamic_cast<MemoryTextField*>(control)) {
      field->userTypes(script[i + 1] / 8.0f);
    }
    fuzz::check(accepted > 0 || fields(panel) == before, "a field changed although the host refused");
    const std::tuple<std::string_view, ppd_option_t*, const std::optional<std::string>&> popups[] = {
        {"jobTypePopup", panel.jobTypeOption, panel.jobTypeChoice},
        {"centerEngravingPopup", panel.centerEngravingOption, panel.centerEngravingChoice},
        {"ditheringPopup", panel.ditheringOption, panel.ditheringChoice},
        {"engravingDirectionPopup", panel.engraveDirOption, panel.engraveDirChoice},
        {"vSortingPopup", panel.vectorSortingOption, panel.vectorSortingChoice}};
    for (const auto& [name, option, choice] : popups) {
      const bool among = std::ranges::count(ppd::choicesOf(option), choice, keyword) > 0;
      fuzz::check(among || accepted == 0 || name != outlet, "a picked keyword is one of the option's choices");
    }
  }
  panel.restoreValuesAndReturnError(nullptr);
  (void)panel.summaryInfo();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 16) return 0;
  auto ppd = fuzz::openPpd({reinterpret_cast<const char*>(data) + 16, size - 16});
  if (!ppd) return 0;  // libcups refuses it: a clear result
  fuzz::LogEntries log;
  auto bundle = std::make_shared<MemoryBundle>();
  registerBundleForClass(kPanelClassName, bundle);
  auto host = std::make_shared<RecordingHost>(ppd.get());
  unsigned call = 0, accepted = 0;
  host->decide = [&](std::string_view, std::string_view) {
    bool ok = (((data[0] | data[1] << 8) >> (call++ % 16)) & 1) == 0;
    accepted += ok;
    return ok;
  };
  std::shared_ptr<ZarvikPDE> panel = ZarvikPDE::initWithCallback(host);
  auto missing = [&](std::string_view keyword) { return !ppd::findOption(ppd.get(), std::string(keyword)); };
  fuzz::check(!panel == std::ranges::any_of(kRequiredOptions, missing),
              "a panel exactly when the PPD has the thirteen options");
  if (panel) drive(*panel, *bundle, data, accepted);
  panel.reset();
  fuzz::check(host.use_count() == 1, "the panel lets go of its host");
  registerBundleForClass(kPanelClassName, nullptr);
  return 0;
}
