// Settings in real files: each shape read, copies moved aside, saves no other dialog or kill can tear.
#include "host/settings_store.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/wait.h>

#include <random>
#include <set>
#include <thread>

#include "support/files.h"
#include "support/temporary_folder.h"

namespace zarvik::host {
namespace {

namespace fs = std::filesystem;
using zarvik::testing::readFile;
using Names = std::vector<std::string>;

const std::string kKey = "org.zarvikpde.print.pde.zarvikKind.";

class SettingsStoreTest : public ::testing::Test {
 protected:
  zarvik::testing::TemporaryFolder folder{"zarvik-settings"};
  fs::path file = folder.path() / "Zarvik.json";
};

TEST_F(SettingsStoreTest, EachShapeOfFileIsReadAsFarAsItGoesAndNothingIsLost) {
  // No settings file (its warning's wording: zarvik_print_test): each copy moved aside is kept under a name of its
  // own, however fast.
  std::multiset<std::string> movedAside, kept;
  for (std::string broken : {"[1, 2]", R"({"format": "other", "lastUsed": {}})"}) {
    zarvik::testing::writeFile(file, broken);
    SettingsStore store(file, "Zarvik");
    EXPECT_EQ(store.load().size(), 1u) << broken;
    EXPECT_FALSE(store.lastUsed()) << broken;
    movedAside.insert(broken);
  }
  for (const auto& entry : fs::directory_iterator(folder.path())) kept.insert(readFile(entry.path()));
  EXPECT_EQ(kept, movedAside);
  // What a file holds of the wrong kind is left out alone; numbers are read whole; the file's texts stay on one line.
  zarvik::testing::writeFile(file, R"({"format": "zarvik-print-settings", "version": 7, "comment": "unknown keys are ignored",
      "lastUsed": {"options": {"Job\nType": 5, "rasterSpeed": "Custom.40"},
                   "printSettings": {")" + kKey + R"(rasterSpeed": "7abc", ")" + kKey + R"(rasterPower": "+40", ")" +
                                   kKey + R"(materialThickness": "2.5mm", ")" + kKey + R"(vectorSpeed": "-5"}},
      "presets": {"Good": {"options": {"JobType": "Vector"}, "printSettings": ["not an object"]}, "Bad": "Raster"}})");
  SettingsStore store(file, "Zarvik");
  const Names said = store.load();
  ASSERT_EQ(said.size(), 6u) << "the newer version, and each value left out";
  EXPECT_EQ(said[1], "In " + file.string() + ", the value at lastUsed/options/Job\uFFFDType is not text; it is left out.");
  EXPECT_EQ(store.lastUsed(), (SavedSettings{{{"rasterSpeed", "Custom.40"}},
                                             {{kKey + "rasterPower", "+40"}, {kKey + "vectorSpeed", "-5"}}}));
  EXPECT_EQ(store.presetNames(), Names{"Good"});
  // Each numeric setting is read as its own kind of number: only the thickness takes a decimal.
  for (std::string name : {"rasterSpeed", "rasterPower", "vectorSpeed", "vectorPower", "vectorFreq", "resolution",
                           "materialThickness"}) {
    zarvik::testing::writeFile(file, R"({"format": "zarvik-print-settings", "lastUsed": {"printSettings": {")" + kKey +
                                         name + R"(": "7.5"}}})");
    EXPECT_EQ(SettingsStore(file, "Zarvik").load().size(), name == "materialThickness" ? 0u : 1u) << name;
  }
  // A file of the largest size read (4 MiB) is read; one byte more is moved aside.
  constexpr std::size_t kLargest = 4 << 20;
  for (std::size_t size : {kLargest, kLargest + 1}) {
    const std::string settings = R"({"format": "zarvik-print-settings"})";
    zarvik::testing::writeFile(file, settings + std::string(size - settings.size(), ' '));
    EXPECT_EQ(SettingsStore(file, "Zarvik").load().size(), size > kLargest ? 1u : 0u) << size;
  }
}

// Savers in parallel each find the others' presets kept, and the keys a newer version wrote; settings too large to be
// read back, or a file that is there but cannot be read (another user's), are never written.
TEST_F(SettingsStoreTest, NoSaveLosesWhatAnotherSaverOrAnotherVersionWrote) {
  zarvik::testing::writeFile(file, R"({"format": "zarvik-print-settings", "version": 2, "media": {"size": "A4"},
      "presets": {"Birch": {"options": {"JobType": "Vector"}, "copies": 3}}})");
  std::vector<pid_t> savers;
  for (int saver = 0; saver < 6; ++saver)
    if ((savers.emplace_back(::fork())) == 0) {
      for (int i = 0; i < 10; ++i)
        if (!SettingsStore(file, "Zarvik").savePreset(std::to_string(saver * 10 + i), {}).ok()) ::_exit(3);
      ::_exit(0);
    }
  for (pid_t saver : savers) {
    int status = 0;
    ASSERT_EQ(::waitpid(saver, &status, 0), saver);
    ASSERT_EQ(status, 0);
  }
  SettingsStore store(file, "Zarvik");
  store.load();
  EXPECT_EQ(store.presetNames().size(), 61u);
  ASSERT_TRUE(SettingsStore(file, "Zarvik").deletePreset("0").ok());
  store.load();
  EXPECT_EQ(store.presetNames().size(), 60u) << "a reload kept a preset another saver deleted";
  const std::string written = readFile(file);
  for (std::string kept : {R"("media")", R"("copies": 3)", R"("version": 2)"})
    EXPECT_NE(written.find(kept), std::string::npos) << kept;

  const std::string before = readFile(file);
  EXPECT_FALSE(store.saveLastUsed({{{"big", std::string(4 << 20, 'x')}}, {}}).ok());
  EXPECT_EQ(readFile(file), before);
  fs::permissions(folder.path(), fs::perms::all);
  if (::fork() == 0) ::_exit(::setuid(65534) == 0 && !SettingsStore(file, "Zarvik").savePreset("x", {}).ok() ? 0 : 3);
  int status = 1;
  ::wait(&status);
  EXPECT_EQ(status, 0) << "another user's save of the unreadable file did not fail";
  EXPECT_EQ(readFile(file), before);
}

// A child saves two large settings in turn until killed, at random or just as it writes a file (under the sanitizers
// random moments alone may all miss the writes); the file stays whole, with the preset.
TEST_F(SettingsStoreTest, AKilledSaveLeavesTheOldSettingsOrTheNewNeverAMix) {
  SavedSettings big[2];
  for (int i = 0; i < 1200; ++i) big[i % 2].options["option" + std::to_string(i / 2)] = std::string(400, "AB"[i % 2]);
  const SavedSettings kept{{{"Birch", "Birch"}}, {{"Birch", "40"}}};
  ASSERT_TRUE(SettingsStore(file, "Zarvik").savePreset("Birch", kept).ok());
  ASSERT_TRUE(SettingsStore(file, "Zarvik").saveLastUsed(big[0]).ok());
  std::mt19937 random(1);
  const int watch = ::inotify_init1(IN_CLOEXEC);
  ASSERT_GE(::inotify_add_watch(watch, folder.path().c_str(), IN_CREATE | IN_MODIFY), 0);
  auto written = [&](int ms) {  // whether a file was written within `ms`; forgets what it saw
    bool any = false;
    char events[4096];
    for (pollfd ready{watch, POLLIN, 0}; ::poll(&ready, 1, any ? 0 : ms) == 1;) any = ::read(watch, events, 4096) > 0;
    return any;
  };
  for (int kill = 0; kill < 40; ++kill) {
    SCOPED_TRACE(kill);
    written(0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    for (int i = 0; child == 0; ++i)
      if (!SettingsStore(file, "Zarvik").saveLastUsed(big[i % 2]).ok()) ::_exit(3);
    ASSERT_TRUE(kill % 2 == 0 || written(10000)) << "the child wrote no file in 10 s";
    std::this_thread::sleep_for(std::chrono::microseconds(random() % (kill % 2 == 1 ? 50 : 100000)));
    int status = 0;
    ::kill(child, SIGKILL);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "a save failed";
    SettingsStore store(file, "Zarvik");
    store.load();
    ASSERT_TRUE(store.lastUsed() == big[0] || store.lastUsed() == big[1]);
    ASSERT_EQ(store.preset("Birch"), kept);
  }
  ::close(watch);
  // Each kill inside a write leaves its temporary file, which no read takes.
  EXPECT_GT(std::distance(fs::directory_iterator(folder.path()), {}), 1) << "no kill landed inside a write";
}

}  // namespace
}  // namespace zarvik::host
