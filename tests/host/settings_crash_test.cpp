// The settings store killed while it saves: a child process saves two
// settings in turn, as fast as it can, and is killed with SIGKILL at random
// moments. After every kill the file must read without a warning and hold
// one of the settings whole (or what it held before), and a preset the
// child never touched must still be there.
//
// Writing the file is a small part of a save (most of it is making the
// JSON text, more so under the sanitizers), so every second kill is aimed:
// it comes shortly after the child starts writing a file.
//
// ZARVIK_CRASH_KILLS sets the number of kills (default 50), ZARVIK_CRASH_SEED
// the seed of the moments (default 1); the run stops early at
// ZARVIK_CRASH_SECONDS (default 90) and says so.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <thread>

#include "host/settings_store.h"
#include "support/temporary_folder.h"

namespace zarvik::host {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr char kPrinter[] = "Zarvik";
constexpr char kKeptPreset[] = "Birch 3 mm";
// How the store names a temporary file beside the settings file.
constexpr std::string_view kTemporaryPrefix = ".Zarvik.json.";

unsigned long fromEnvironment(const char* name, unsigned long fallback) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return fallback;
  char* end = nullptr;
  unsigned long value = std::strtoul(text, &end, 10);
  return *end == '\0' ? value : fallback;
}

// Settings of a few hundred kilobytes, so that a save takes many pages and
// a kill can land anywhere in it. Both have the same keys; every value
// says which settings it belongs to, so a mix of the two shows.
SavedSettings large(char tag) {
  SavedSettings settings;
  const std::string filler(400, tag);
  for (int i = 0; i < 600; ++i) {
    std::string index = std::to_string(i);
    settings.options["option" + index] = "Custom." + index + filler;
    settings.printSettings["org.zarvikpde.print.pde.zarvikKind.key" + index] = filler + index;
  }
  return settings;
}

// A child that is killed and reaped on every way out of the test.
class Child {
 public:
  explicit Child(pid_t pid) : pid_(pid) {}
  ~Child() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  // Kills the child and answers its wait status.
  int kill() {
    int status = 0;
    ::kill(pid_, SIGKILL);
    if (::waitpid(pid_, &status, 0) != pid_) status = -1;
    pid_ = -1;
    return status;
  }

 private:
  pid_t pid_;
};

// Sees files being created or written in a folder.
class WriteWatch {
 public:
  explicit WriteWatch(const fs::path& folder) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (fd_ >= 0 && ::inotify_add_watch(fd_, folder.c_str(), IN_CREATE | IN_MODIFY) < 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~WriteWatch() {
    if (fd_ >= 0) ::close(fd_);
  }
  WriteWatch(const WriteWatch&) = delete;
  WriteWatch& operator=(const WriteWatch&) = delete;

  bool watching() const { return fd_ >= 0; }

  // Forgets the writes so far.
  void clear() { readEvents(); }

  // Waits until a file is created or written; false after `timeout`.
  bool waitForAWrite(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
      if (readEvents()) return true;
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return false;
      pollfd ready{fd_, POLLIN, 0};
      ::poll(&ready, 1, static_cast<int>(left));
    }
  }

 private:
  // Reads every pending event; answers whether there was one.
  bool readEvents() {
    bool any = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
      ssize_t length = ::read(fd_, buffer, sizeof buffer);
      if (length <= 0) return any;
      any = true;
    }
  }

  int fd_;
};

const SavedSettings kInitial = {{{"JobType", "Raster"}, {"rasterSpeed", "Custom.40"}}, {}};
const SavedSettings kKept = {{{"JobType", "Vector"}, {"vectorPower", "Custom.90"}}, {}};

class SettingsCrashTest : public ::testing::Test {
 protected:
  // Saves in a loop, `first` and then the other of a and b in turn, until
  // killed; never returns.
  [[noreturn]] void saveUntilKilled(int ready, const SavedSettings& first) {
    const SavedSettings& second = &first == &a ? b : a;
    SettingsStore store(file, kPrinter);
    const char started = 1;
    if (::write(ready, &started, 1) != 1) ::_exit(2);
    for (unsigned long i = 0;; ++i) {
      if (!store.saveLastUsed(i % 2 == 0 ? first : second).ok()) ::_exit(3);
    }
  }

  testing::TemporaryFolder made{"zarvik-crash"};
  fs::path folder = made.path();
  fs::path file = folder / "Zarvik.json";
  const SavedSettings a = large('A');
  const SavedSettings b = large('B');
};

TEST_F(SettingsCrashTest, AKilledSaveLeavesTheOldSettingsOrTheNewNeverAMix) {
  const unsigned long kills = fromEnvironment("ZARVIK_CRASH_KILLS", 50);
  const unsigned long seed = fromEnvironment("ZARVIK_CRASH_SEED", 1);
  const auto deadline = Clock::now() + std::chrono::seconds(fromEnvironment("ZARVIK_CRASH_SECONDS", 90));

  {
    SettingsStore store(file, kPrinter);
    ASSERT_TRUE(store.savePreset(kKeptPreset, kKept).ok());
    ASSERT_TRUE(store.saveLastUsed(kInitial).ok());
  }
  // Kills are spread over three saves' time after the child starts.
  auto saveTime = Clock::duration::zero();
  {
    SettingsStore store(file, kPrinter);
    constexpr int kSaves = 6;
    auto start = Clock::now();
    for (int i = 0; i < kSaves; ++i) ASSERT_TRUE(store.saveLastUsed(i % 2 == 0 ? a : b).ok());
    saveTime = (Clock::now() - start) / kSaves;
    ASSERT_TRUE(store.saveLastUsed(kInitial).ok());
  }
  const auto window = std::chrono::duration_cast<std::chrono::microseconds>(3 * saveTime).count();
  std::mt19937_64 random(seed);
  std::uniform_int_distribution<long long> moment(0, window);
  std::uniform_int_distribution<long long> intoWrite(0, 50);
  WriteWatch watch(folder);
  ASSERT_TRUE(watch.watching()) << "cannot watch " << folder;

  unsigned long done = 0, aimed = 0, survived = 0, torn = 0, heldOld = 0, heldNew = 0;
  SavedSettings before = kInitial;
  for (; done < kills && Clock::now() < deadline; ++done) {
    const bool aim = done % 2 == 1;
    watch.clear();
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::close(ready[0]);
      // The first save changes the file, whatever it holds.
      saveUntilKilled(ready[1], before == a ? b : a);
    }
    Child child(pid);
    ::close(ready[1]);
    char started = 0;
    ASSERT_EQ(::read(ready[0], &started, 1), 1) << "the saving child did not start";
    ::close(ready[0]);
    if (aim) {
      ASSERT_TRUE(watch.waitForAWrite(std::chrono::seconds(10))) << "the child wrote no file in 10 s";
      std::this_thread::sleep_for(std::chrono::microseconds(intoWrite(random)));
      ++aimed;
    } else {
      std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    }
    int status = child.kill();
    ASSERT_TRUE(status != -1 && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the child stopped by itself (status " << status << "): a save failed";

    SettingsStore store(file, kPrinter);
    std::vector<std::string> warnings = store.load();
    const std::optional<SavedSettings>& last = store.lastUsed();
    bool whole = warnings.empty() && last.has_value() && (*last == kInitial || *last == a || *last == b) &&
                 store.preset(kKeptPreset) == kKept && store.presetNames().size() == 1;
    if (!whole) {
      ++torn;
      ++done;
      ADD_FAILURE() << "after kill " << done << " (seed " << seed << ") the file is torn"
                    << (warnings.empty() ? std::string() : ": " + warnings.front());
      break;
    }
    ++survived;
    ++(*last == before ? heldOld : heldNew);
    before = *last;
  }

  // Each kill inside a write leaves its temporary file; the store ignores it.
  unsigned long temporaries = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::string name = entry.path().filename().string();
    if (name != "Zarvik.json") {
      EXPECT_TRUE(name.starts_with(kTemporaryPrefix)) << name;
      ++temporaries;
    }
  }
  std::printf(
      "[ figures  ] %lu of %lu kills (seed %lu, %lld us per save, %lu kills at a random moment within %lld us, %lu "
      "as a write began): %lu survived, %lu torn; the file then held the settings from before the kill "
      "%lu times, newer ones %lu times; %lu kills landed inside a write%s\n",
      done, kills, seed, static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(saveTime).count()),
      done - aimed, static_cast<long long>(window), aimed, survived, torn, heldOld, heldNew, temporaries,
      done < kills && torn == 0 ? " (stopped at the time limit)" : "");
  std::fflush(stdout);
  EXPECT_EQ(torn, 0u);
  EXPECT_GT(done, 0u);
  // A run whose kills all miss the writes proves nothing.
  if (done >= 20) {
    EXPECT_GT(temporaries, 0u) << "no kill landed while a file was being written";
  }
}

}  // namespace
}  // namespace zarvik::host
