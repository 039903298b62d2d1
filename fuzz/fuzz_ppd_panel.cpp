// Input: 16 script bytes (which requests the host refuses, seven outlet and value actions), then a PPD. Must hold:
// no crash or undefined behaviour, and the panel lets go of its host.
#include "fuzz_checks.h"
#include "panel/zarvik_pde.h"
#include "support/memory_toolkit.h"
#include "support/recording_host.h"

using namespace zarvik;
using namespace zarvik::testing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 16) return 0;
  TemporaryPpd file({reinterpret_cast<const char*>(data) + 16, size - 16});
  ppd_file_t* ppd = file.get();
  if (!ppd) return 0;  // libcups refuses it: a clear result
  ppdMarkDefaults(ppd);  // as a host opening it does
  LogCapture log;
  auto bundle = std::make_shared<MemoryBundle>();
  registerBundleForClass(kPanelClassName, bundle);
  auto host = std::make_shared<RecordingHost>(ppd);
  unsigned call = 0;  // bit k of the first two bytes refuses request k, modulo 16
  host->decide = [&](auto, auto) { return (((data[0] | data[1] << 8) >> (call++ % 16)) & 1) == 0; };
  std::shared_ptr<ZarvikPDE> panel = ZarvikPDE::initWithCallback(host);
  if (panel) {
    panel->panelView();
    panel->willShow();
    panel->restoreValuesAndReturnError(nullptr);
    for (std::size_t i = 2; i < 16; i += 2) {
      const std::string& outlet = MemoryBundle::layout()[data[i] % MemoryBundle::layout().size()].first;
      MemoryControl* control = bundle->loadedView->controls.at(outlet).get();
      const unsigned value = data[i + 1];
      if (auto* pop = dynamic_cast<MemoryPopUpButton*>(control)) pop->userSelects(value % (pop->items.size() + 1) - 1);
      if (auto* box = dynamic_cast<MemoryButton*>(control)) box->userClicks();
      if (auto* slider = dynamic_cast<MemorySlider*>(control)) slider->userSets(std::int8_t(value) * 37.5f);
      if (auto* field = dynamic_cast<MemoryTextField*>(control)) field->userSets(value / 8.0f);
    }
    panel->restoreValuesAndReturnError(nullptr);
    (void)panel->summaryInfo();
  }
  panel.reset();
  fuzz::check(host.use_count() == 1, "the panel lets go of its host");
  registerBundleForClass(kPanelClassName, nullptr);
  return 0;
}
