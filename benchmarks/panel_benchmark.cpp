// What the panel costs beside what cannot be avoided: opening and marking
// the PPD (the floor), one control action end to end, and filling and
// refreshing the pop-ups as the PPD's choices grow.
#include <benchmark/benchmark.h>
#include <cups/ppd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "panel/system_log.h"
#include "panel/zarvik_pde.h"
#include "support/memory_toolkit.h"
#include "support/recording_host.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

using namespace zarvik;
using namespace zarvik::testing;

class Discard final : public LogSink {
 public:
  void write(std::string_view) override {}
};

// The platform the panel runs on in every benchmark: a silent log and the
// in-memory bundle.
struct Platform {
  Platform() : previousLog(setLogSink(&discard)) { registerBundleForClass(kPanelClassName, bundle); }
  ~Platform() {
    registerBundleForClass(kPanelClassName, nullptr);
    setLogSink(previousLog);
  }
  Discard discard;
  LogSink* previousLog;
  std::shared_ptr<MemoryBundle> bundle = std::make_shared<MemoryBundle>();
};

using ScopedPpd = std::unique_ptr<ppd_file_t, void (*)(ppd_file_t*)>;

ScopedPpd openMarked(const std::string& path) {
  ScopedPpd ppd(ppdOpenFile(path.c_str()), ppdClose);
  if (ppd) ppdMarkDefaults(ppd.get());
  return ppd;
}

void BM_PpdOpenAndMarkDefaults(benchmark::State& state) {
  for (auto _ : state) {
    ScopedPpd ppd = openMarked(ZARVIK_SAMPLE_PPD);
    benchmark::DoNotOptimize(ppd.get());
  }
}
BENCHMARK(BM_PpdOpenAndMarkDefaults);

// state.range(0): 1 when the host marks what it accepts in the PPD with
// libcups, as a real host does; 0 when it only answers, which leaves the
// panel's own cost.
void BM_PpdOpenPlusPanelShown(benchmark::State& state) {
  Platform platform;
  for (auto _ : state) {
    ScopedPpd ppd = openMarked(ZARVIK_SAMPLE_PPD);
    auto host = std::make_shared<RecordingHost>(ppd.get());
    host->marksPpd = state.range(0) == 1;
    std::shared_ptr<ZarvikPDE> panel = ZarvikPDE::initWithCallback(host);
    panel->restoreValuesAndReturnError(nullptr);
    panel->panelView();
    panel->willShow();
    benchmark::DoNotOptimize(panel.get());
  }
}
BENCHMARK(BM_PpdOpenPlusPanelShown)->ArgName("hostMarks")->Arg(1)->Arg(0);

void BM_SliderActionEndToEnd(benchmark::State& state) {
  Platform platform;
  ScopedPpd ppd = openMarked(ZARVIK_SAMPLE_PPD);
  auto host = std::make_shared<RecordingHost>(ppd.get());
  std::shared_ptr<ZarvikPDE> panel = ZarvikPDE::initWithCallback(host);
  panel->panelView();
  panel->willShow();
  MemorySlider& slider = platform.bundle->loadedView->slider("rPowerSlider");
  float value = 10;
  for (auto _ : state) {
    slider.userMoves(value);
    value = value == 10 ? 90 : 10;
    // Keep the recordings from growing across iterations.
    host->calls.clear();
    host->settings.writes.clear();
    platform.bundle->loadedView->journal.clear();
  }
}
BENCHMARK(BM_SliderActionEndToEnd);

// A sample PPD whose five pick-one options share `choices` choices.
std::string generatedPpd(int choices) {
  std::ifstream in(ZARVIK_SAMPLE_PPD);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const char* options[] = {"JobType", "CenterEngraving", "dithering", "EngravingDirection", "vectorSort"};
  for (int o = 0; o < 5; ++o) {
    std::string extra;
    for (int i = o; i < choices; i += 5) {
      std::string number = std::to_string(i);
      extra.append("*").append(options[o]).append(" G").append(number);
      extra.append("/Generated choice ").append(number).append(": \"\"\n");
    }
    std::string close = std::string("*CloseUI: *").append(options[o]);
    text.insert(text.find(close), extra);
  }
  auto path = std::filesystem::temp_directory_path() / ("zarvik-bench-" + std::to_string(choices) + ".ppd");
  std::ofstream(path) << text;
  return path.string();
}

void BM_FillAndRefreshPopups(benchmark::State& state) {
  Platform platform;
  std::string path = generatedPpd(static_cast<int>(state.range(0)));
  ScopedPpd ppd = openMarked(path);
  for (auto _ : state) {
    state.PauseTiming();
    auto host = std::make_shared<RecordingHost>(ppd.get());
    std::shared_ptr<ZarvikPDE> panel = ZarvikPDE::initWithCallback(host);
    panel->panelView();
    state.ResumeTiming();
    panel->initializePopup();
    panel->updateUI();
    state.PauseTiming();
    panel.reset();
    state.ResumeTiming();
  }
  state.counters["choices"] = static_cast<double>(state.range(0));
  std::filesystem::remove(path);
}
BENCHMARK(BM_FillAndRefreshPopups)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
