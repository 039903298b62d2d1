// What the panel costs beside what cannot be avoided: opening and marking
// the PPD (the floor), one control action end to end, and filling and
// refreshing the pop-ups as the PPD's choices grow.
#include <benchmark/benchmark.h>
#include <cups/ppd.h>
#include <unistd.h>

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
// in-memory bundle. `recorded`: whether the test host keeps a list of the
// requests, as in the tests; without it what remains is the panel's own cost.
struct Platform {
  explicit Platform(bool recorded) : recorded(recorded), previousLog(setLogSink(&discard)) {
    registerBundleForClass(kPanelClassName, bundle);
  }
  ~Platform() {
    registerBundleForClass(kPanelClassName, nullptr);
    setLogSink(previousLog);
  }
  std::shared_ptr<RecordingHost> makeHost(ppd_file_t* ppd) const {
    auto host = std::make_shared<RecordingHost>(ppd);
    host->recordsCalls = recorded;
    return host;
  }
  bool recorded;
  Discard discard;
  LogSink* previousLog;
  std::shared_ptr<MemoryBundle> bundle = std::make_shared<MemoryBundle>();
};

using ScopedPpd = std::unique_ptr<ppd_file_t, void (*)(ppd_file_t*)>;

// Not inlined: callgrind leaves it out of the panel's iterations by name.
[[gnu::noinline]] ScopedPpd openMarked(const std::string& path) {
  ScopedPpd ppd(ppdOpenFile(path.c_str()), ppdClose);
  if (ppd) ppdMarkDefaults(ppd.get());
  return ppd;
}

// One iteration of each benchmark is a function of its own, so that
// callgrind can count its instructions (--toggle-collect=*iteration...*, as
// benchmarks/instruction_counts.py does).

[[gnu::noinline]] void iterationPpdFloor() {
  ScopedPpd ppd = openMarked(ZARVIK_SAMPLE_PPD);
  benchmark::DoNotOptimize(ppd.get());
}

[[gnu::noinline]] void iterationPanelShown(const Platform& platform, bool hostMarks) {
  ScopedPpd ppd = openMarked(ZARVIK_SAMPLE_PPD);
  std::shared_ptr<RecordingHost> host = platform.makeHost(ppd.get());
  host->marksPpd = hostMarks;
  std::shared_ptr<ZarvikPDE> panel = ZarvikPDE::initWithCallback(host);
  panel->restoreValuesAndReturnError(nullptr);
  panel->panelView();
  panel->willShow();
  benchmark::DoNotOptimize(panel.get());
}

[[gnu::noinline]] void iterationSliderAction(MemorySlider& slider, float value) { slider.userSets(value); }

[[gnu::noinline]] void iterationFillAndRefresh(ZarvikPDE& panel) {
  panel.initializePopup();
  panel.updateUI();
}

void BM_PpdOpenAndMarkDefaults(benchmark::State& state) {
  for (auto _ : state) iterationPpdFloor();
}
BENCHMARK(BM_PpdOpenAndMarkDefaults);

// The PPD opened and marked as in the floor, then the panel built, restored
// and first shown, and all of it let go. state.range(0): 1 when the host
// marks what it accepts in the PPD with libcups, as a real host does; 0 when
// it only answers. state.range(1): 1 when the test doubles keep their
// recordings. Without both, what remains over the floor is the panel's own
// cost.
void BM_PpdOpenPlusPanelShown(benchmark::State& state) {
  Platform platform(/*recorded=*/state.range(1) == 1);
  for (auto _ : state) iterationPanelShown(platform, /*hostMarks=*/state.range(0) == 1);
}
BENCHMARK(BM_PpdOpenPlusPanelShown)->ArgNames({"hostMarks", "recorded"})->Args({1, 1})->Args({0, 1})->Args({0, 0});

// state.range(0): 1 when the test doubles keep their recordings. The host
// marks with libcups either way: that is part of the action end to end.
void BM_SliderActionEndToEnd(benchmark::State& state) {
  Platform platform(/*recorded=*/state.range(0) == 1);
  ScopedPpd ppd = openMarked(ZARVIK_SAMPLE_PPD);
  std::shared_ptr<RecordingHost> host = platform.makeHost(ppd.get());
  std::shared_ptr<ZarvikPDE> panel = ZarvikPDE::initWithCallback(host);
  panel->panelView();
  panel->willShow();
  auto& slider = dynamic_cast<MemorySlider&>(*platform.bundle->loadedView->controls.at("rPowerSlider"));
  float value = 10;
  for (auto _ : state) {
    iterationSliderAction(slider, value);
    value = value == 10 ? 90 : 10;
    // Keep the recordings from growing across iterations.
    host->calls.clear();
    host->settings.writes.clear();
  }
}
BENCHMARK(BM_SliderActionEndToEnd)->ArgName("recorded")->Arg(1)->Arg(0);

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
  // The process id keeps runs side by side (the smoke test, callgrind) apart.
  auto path = std::filesystem::temp_directory_path() /
              ("zarvik-bench-" + std::to_string(getpid()) + "-" + std::to_string(choices) + ".ppd");
  std::ofstream(path) << text;
  return path.string();
}

void BM_FillAndRefreshPopups(benchmark::State& state) {
  Platform platform(/*recorded=*/false);
  std::string path = generatedPpd(static_cast<int>(state.range(0)));
  ScopedPpd ppd = openMarked(path);
  for (auto _ : state) {
    state.PauseTiming();
    std::shared_ptr<ZarvikPDE> panel = ZarvikPDE::initWithCallback(platform.makeHost(ppd.get()));
    panel->panelView();
    state.ResumeTiming();
    iterationFillAndRefresh(*panel);
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
