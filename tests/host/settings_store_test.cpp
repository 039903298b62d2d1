// Remembered settings and presets in a real file in a private folder.
#include "host/settings_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/temporary_folder.h"

namespace zarvik::host {
namespace {

namespace fs = std::filesystem;

using testing::readFile;
using testing::writeFile;

std::vector<std::string> entries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

ino_t inodeOf(const fs::path& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

const SavedSettings kWood = {{{"JobType", "Raster"}, {"rasterSpeed", "Custom.40"}, {"materialThickness", "Custom.2.5"}},
                             {{"org.zarvikpde.print.pde.zarvikKind.rasterSpeed", "40"}}};
const SavedSettings kAcrylic = {{{"JobType", "Vector"}, {"vectorPower", "Custom.90"}}, {}};

class SettingsStoreTest : public ::testing::Test {
 protected:
  testing::TemporaryFolder made{"zarvik-settings"};
  fs::path folder = made.path();
  fs::path file = folder / "Zarvik.json";
};

TEST_F(SettingsStoreTest, FileNamesFollowXdgConfigHomeAndNeverCollide) {
  const char* previousXdg = getenv("XDG_CONFIG_HOME");
  const char* previousHome = getenv("HOME");
  std::string savedXdg = previousXdg ? previousXdg : "", savedHome = previousHome ? previousHome : "";

  setenv("XDG_CONFIG_HOME", "/xdg/config", 1);
  EXPECT_EQ(SettingsStore::defaultFileFor("Zarvik"), fs::path("/xdg/config/zarvik-print/Zarvik.json"));
  setenv("HOME", "/home/ada", 1);
  setenv("XDG_CONFIG_HOME", "relative/config", 1);  // not absolute: ignored
  EXPECT_EQ(SettingsStore::defaultFileFor("Zarvik"), fs::path("/home/ada/.config/zarvik-print/Zarvik.json"));
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(SettingsStore::defaultFileFor("Zarvik"), fs::path("/home/ada/.config/zarvik-print/Zarvik.json"));

  if (previousXdg) setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
  if (previousHome)
    setenv("HOME", savedHome.c_str(), 1);
  else
    unsetenv("HOME");

  EXPECT_EQ(SettingsStore::fileNameFor("Zarvik_2-B"), "Zarvik_2-B.json");
  EXPECT_EQ(SettingsStore::fileNameFor("Office/Laser 2"), "Office%2FLaser%202.json");
  EXPECT_EQ(SettingsStore::fileNameFor(".."), "%2E%2E.json");
  EXPECT_EQ(SettingsStore::fileNameFor("Z\xC3\xA4rvik"), "Z%C3%A4rvik.json");
  EXPECT_EQ(SettingsStore::fileNameFor("a%20b"), "a%2520b.json");
  EXPECT_EQ(SettingsStore::fileNameFor(""), "%.json");
  EXPECT_NE(SettingsStore::fileNameFor("a b"), SettingsStore::fileNameFor("a_b"));

  // Queue names CUPS takes (127 bytes) can escape to three times that: a
  // long name is cut, never inside a %XX, and keeps apart by a hash.
  const std::string umlauts = [] {
    std::string name;
    for (int i = 0; i < 63; ++i) name += "\xC3\xA4";
    return name;
  }();
  std::set<std::string> names;
  for (const std::string& printer : {umlauts + "a", umlauts + "b", std::string(250, 'z'), std::string(251, 'z')}) {
    const std::string name = SettingsStore::fileNameFor(printer);
    EXPECT_EQ(name.size(), SettingsStore::kLongestName + 5) << name;
    EXPECT_TRUE(std::regex_match(name, std::regex("(%C3|%A4)+~[0-9A-F]{16}\\.json|z+~[0-9A-F]{16}\\.json"))) << name;
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 4u);
  const std::string justShortEnough(SettingsStore::kLongestName, 'y');
  EXPECT_EQ(SettingsStore::fileNameFor(justShortEnough), justShortEnough + ".json");

  // A PPD file's settings are apart from any queue's.
  setenv("XDG_CONFIG_HOME", "/xdg/config", 1);
  EXPECT_EQ(SettingsStore::defaultFileForPpd("Zarvik"), fs::path("/xdg/config/zarvik-print/ppd/Zarvik.json"));
  if (previousXdg) {
    setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
}

TEST_F(SettingsStoreTest, LastUsedSettingsAndPresetsComeBackFromTheFile) {
  SettingsStore store(folder / "new" / "Zarvik.json", "Zarvik");
  EXPECT_TRUE(store.load().empty());  // no file yet: nothing, and no warning
  EXPECT_FALSE(store.lastUsed());
  EXPECT_TRUE(store.presetNames().empty());

  ASSERT_TRUE(store.saveLastUsed(kWood).ok());
  ASSERT_TRUE(store.savePreset("Birch 3 mm", kWood).ok());
  ASSERT_TRUE(store.savePreset("Acrylic", kAcrylic).ok());
  ASSERT_TRUE(store.savePreset("Acrylic", kWood).ok());  // replaces
  ASSERT_TRUE(store.savePreset("Acrylic", kAcrylic).ok());
  Status unnamed = store.savePreset("", kWood);
  EXPECT_EQ(unnamed.message(), "A preset needs a name.");

  SettingsStore reread(folder / "new" / "Zarvik.json", "Zarvik");
  EXPECT_TRUE(reread.load().empty());
  ASSERT_TRUE(reread.lastUsed());
  EXPECT_EQ(*reread.lastUsed(), kWood);
  EXPECT_EQ(reread.presetNames(), (std::vector<std::string>{"Acrylic", "Birch 3 mm"}));
  EXPECT_EQ(reread.preset("Acrylic"), kAcrylic);
  EXPECT_EQ(reread.preset("Birch 3 mm"), kWood);
  EXPECT_EQ(reread.preset("Oak"), std::nullopt);

  ASSERT_TRUE(reread.deletePreset("Birch 3 mm").ok());
  EXPECT_EQ(reread.deletePreset("Birch 3 mm").message(), "There is no preset \"Birch 3 mm\".");
  ASSERT_TRUE(store.saveLastUsed(kAcrylic).ok());  // the other store sees the deletion first
  EXPECT_EQ(store.presetNames(), (std::vector<std::string>{"Acrylic"}));
  EXPECT_EQ(store.warnings(), std::vector<std::string>{});

  EXPECT_EQ(readFile(folder / "new" / "Zarvik.json"), R"({
    "format": "zarvik-print-settings",
    "lastUsed": {
        "options": {
            "JobType": "Vector",
            "vectorPower": "Custom.90"
        },
        "printSettings": {
        }
    },
    "presets": {
        "Acrylic": {
            "options": {
                "JobType": "Vector",
                "vectorPower": "Custom.90"
            },
            "printSettings": {
            }
        }
    },
    "printer": "Zarvik",
    "version": 1
}
)");
}

// U+FEFF is an ordinary character in a name or a value, also where a text
// begins, where Qt's UTF-8 and JSON readers would take it for a byte order
// mark and drop it.
TEST_F(SettingsStoreTest, TextsBeginningWithAByteOrderMarkComeBackWhole) {
  const std::string mark = "\xEF\xBB\xBF";
  const SavedSettings marked{{{mark + "JobType", mark + "Vector"}}, {{mark, mark + mark}}};
  SettingsStore store(folder / "Zarvik.json", "Zarvik");
  ASSERT_TRUE(store.saveLastUsed(marked).ok());
  ASSERT_TRUE(store.savePreset(mark + "Birch", marked).ok());

  SettingsStore reread(folder / "Zarvik.json", "Zarvik");
  EXPECT_TRUE(reread.load().empty());
  EXPECT_EQ(reread.lastUsed(), marked);
  EXPECT_EQ(reread.presetNames(), std::vector<std::string>{mark + "Birch"});
  EXPECT_EQ(reread.preset(mark + "Birch"), marked);
  EXPECT_TRUE(reread.deletePreset(mark + "Birch").ok());
}

TEST_F(SettingsStoreTest, EveryWriteReplacesTheFileWholeAndLeavesNoTemporaryFile) {
  SettingsStore store(file, "Zarvik");
  ASSERT_TRUE(store.saveLastUsed(kWood).ok());
  const std::string first = readFile(file);
  // A reader that has the file open keeps the whole old contents.
  std::ifstream reader(file, std::ios::binary);
  ino_t before = inodeOf(file);
  ASSERT_TRUE(store.savePreset("Acrylic", kAcrylic).ok());
  EXPECT_NE(inodeOf(file), before);
  std::stringstream seen;
  seen << reader.rdbuf();
  EXPECT_EQ(seen.str(), first);
  EXPECT_EQ(entries(folder), std::vector<std::string>{"Zarvik.json"});

  // A write that fails halfway (the file size limit stands in for a full
  // disk) leaves the file as it was, and no temporary file.
  const std::string second = readFile(file);
  struct sigaction ignore {
  }, previousAction{};
  ignore.sa_handler = SIG_IGN;
  ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &previousAction), 0);
  struct rlimit previousLimit {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previousLimit), 0);
  struct rlimit small = previousLimit;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  Status failed = store.savePreset("Birch 3 mm", kWood);
  setrlimit(RLIMIT_FSIZE, &previousLimit);
  sigaction(SIGXFSZ, &previousAction, nullptr);

  EXPECT_EQ(failed.message(), "Cannot write " + file.string() + ": File too large.");
  EXPECT_EQ(readFile(file), second);
  EXPECT_EQ(entries(folder), std::vector<std::string>{"Zarvik.json"});
  SettingsStore reread(file, "Zarvik");
  EXPECT_TRUE(reread.load().empty());
  EXPECT_EQ(reread.presetNames(), std::vector<std::string>{"Acrylic"});
}

TEST_F(SettingsStoreTest, AFileThatIsNotSettingsIsMovedAsideUnderANameOfItsOwnAndTheDefaultsAreUsed) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"{\"format\": \"zarvik-print-settings\", \"lastUsed\": {", "unterminated object at byte 49"},
      {"", "illegal value at byte 0"},
      {"\xFF\xFE", "illegal value at byte 1"},
      {"[1, 2]", "it is not a JSON object"},
      {"{\"lastUsed\": {}}", "its \"format\" is not \"zarvik-print-settings\""},
      {"{\"format\": \"other\"}", "its \"format\" is not \"zarvik-print-settings\""},
  };
  // Every copy moved aside is kept, whatever the second it was moved in.
  const std::regex aside(R"((.*)/Zarvik\.json\.corrupt-[0-9]{8}-[0-9]{6}(-[0-9]+)?)");
  std::multiset<std::string> kept;
  for (const auto& [contents, reason] : cases) {
    SCOPED_TRACE(contents);
    writeFile(file, contents);
    // A dry run's store moves nothing and says what another would do.
    SettingsStore dry(file, "Zarvik", SettingsStore::Access::kReadOnly);
    std::vector<std::string> said = dry.load();
    ASSERT_EQ(said.size(), 1u);
    const std::string start = "The settings file " + file.string() + " cannot be read as settings (" + reason + ")";
    EXPECT_EQ(said[0].substr(0, start.size()), start);
    EXPECT_NE(said[0].find("; the defaults are used, and a run that is no dry run would move it to " + file.string() +
                           ".corrupt-"),
              std::string::npos)
        << said[0];
    EXPECT_EQ(readFile(file), contents);
    EXPECT_EQ(dry.saveLastUsed(kWood).message(), "A dry run saves no settings.");

    SettingsStore store(file, "Zarvik");
    said = store.load();
    ASSERT_EQ(said.size(), 1u);
    std::smatch moved;
    ASSERT_TRUE(std::regex_search(said[0], moved, std::regex(" it was moved to (.*) and the defaults are used\\.$")))
        << said[0];
    EXPECT_TRUE(std::regex_match(moved[1].str(), aside)) << moved[1];
    EXPECT_EQ(said[0].substr(0, start.size()), start);
    EXPECT_FALSE(store.lastUsed());
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(readFile(moved[1].str()), contents);
    kept.insert(contents);
  }
  std::multiset<std::string> found;
  for (const auto& entry : fs::directory_iterator(folder)) found.insert(readFile(entry.path()));
  EXPECT_EQ(found, kept);

  // The next save starts a good file; the moved ones stay for the person.
  SettingsStore store(file, "Zarvik");
  ASSERT_TRUE(store.saveLastUsed(kWood).ok());
  EXPECT_EQ(entries(folder).size(), cases.size() + 1);
  EXPECT_TRUE(store.load().empty());
  EXPECT_EQ(store.lastUsed(), kWood);

  // A file that cannot be read at all is not moved.
  SettingsStore folderAsFile(folder, "Zarvik");
  EXPECT_EQ(folderAsFile.load(), std::vector<std::string>{"Cannot read the settings file " + folder.string() +
                                                          ": Is a directory; the defaults are used."});
  EXPECT_TRUE(fs::is_directory(folder));
}

TEST_F(SettingsStoreTest, OneBadValueFallsBackAloneAndTheOthersAreKept) {
  writeFile(file, R"({
    "format": "zarvik-print-settings",
    "version": 1,
    "printer": "Zarvik",
    "lastUsed": {
        "options": {"JobType": 5, "rasterSpeed": "Custom.40", "dithering": null},
        "printSettings": ["not", "an", "object"]
    },
    "presets": {
        "Good": {"options": {"JobType": "Vector"}, "printSettings": {"k": "v", "n": 12}},
        "Bad": "Raster"
    },
    "comment": "unknown keys are ignored"
})");
  SettingsStore store(file, "Zarvik");
  const std::string in = "In " + file.string() + ", the value at ";
  EXPECT_EQ(store.load(), (std::vector<std::string>{in + "lastUsed/options/JobType is not text; it is left out.",
                                                    in + "lastUsed/options/dithering is not text; it is left out.",
                                                    in + "lastUsed/printSettings is not an object; it is left out.",
                                                    in + "presets/Bad is not an object; it is left out.",
                                                    in + "presets/Good/printSettings/n is not text; it is left out."}));
  ASSERT_TRUE(store.lastUsed());
  EXPECT_EQ(*store.lastUsed(), (SavedSettings{{{"rasterSpeed", "Custom.40"}}, {}}));
  EXPECT_EQ(store.presetNames(), std::vector<std::string>{"Good"});
  EXPECT_EQ(store.preset("Good"), (SavedSettings{{{"JobType", "Vector"}}, {{"k", "v"}}}));
  EXPECT_TRUE(fs::exists(file));

  writeFile(file, R"({"format": "zarvik-print-settings", "version": 7, "presets": []})");
  EXPECT_EQ(store.load(),
            (std::vector<std::string>{"The settings file " + file.string() +
                                          " was written by a newer version (7); only what this version knows is read.",
                                      in + "presets is not an object; it is left out."}));
}

TEST_F(SettingsStoreTest, NamesFromTheFileOrTheCallerNeverBreakTheWarningLine) {
  // A hand-edited file, or a preset name, with line breaks and an escape
  // sequence: each warning and failure stays one line to print.
  writeFile(file, R"({"format": "zarvik-print-settings",
    "lastUsed": {"options": {"Job\nType": 5, "\u001b[2J": 6}},
    "presets": {"a\r\nzarvik-print: error": 7}})");
  SettingsStore store(file, "Zarvik");
  const std::string in = "In " + file.string() + ", the value at ";
  EXPECT_EQ(store.load(),
            (std::vector<std::string>{in + "lastUsed/options/\xEF\xBF\xBD[2J is not text; it is left out.",
                                      in + "lastUsed/options/Job\xEF\xBF\xBDType is not text; it is left out.",
                                      in + "presets/a\xEF\xBF\xBD\xEF\xBF\xBDzarvik-print: error is not an object; "
                                           "it is left out."}));
  EXPECT_EQ(store.deletePreset("Oak\n\x1B[31mred\xFF").message(),
            "There is no preset \"Oak\xEF\xBF\xBD\xEF\xBF\xBD[31mred\xEF\xBF\xBD\".");
}

}  // namespace
}  // namespace zarvik::host
