// Input: a settings file, the text of a change, its length, a byte choosing the change. Must hold: load, the change,
// save, load again gives what was saved, without a warning (but a newer version's, whose version is kept); a change
// fails exactly when it cannot be made, and then writes nothing; an unparsable file is moved aside byte for byte,
// nothing of it kept; every warning is one plain line.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>

#include "fuzz_checks.h"
#include "host/settings_store.h"
#include "support/files.h"
#include "support/temporary_folder.h"

namespace fs = std::filesystem;
using namespace zarvik::host;
using zarvik::fuzz::check, zarvik::fuzz::plainLine, zarvik::testing::readFile, zarvik::testing::TemporaryFolder;
using State = std::pair<std::optional<SavedSettings>, std::map<std::string, SavedSettings>>;  // last used, presets

static std::map<std::string, std::string> files(const fs::path& folder) {  // by name, with their bytes
  std::map<std::string, std::string> found;
  for (const auto& entry : fs::directory_iterator(folder)) found[entry.path().filename()] = readFile(entry.path());
  return found;
}

static State stateOf(const SettingsStore& store) {
  State state{store.lastUsed(), {}};
  for (const std::string& name : store.presetNames()) state.second.emplace(name, store.preset(name).value());
  return state;
}

// "key=value" pieces separated by ';', alternately options and print settings.
static SavedSettings settingsFrom(const std::string& text) {
  SavedSettings settings;
  for (std::size_t start = 0, end, index = 0; start <= text.size(); start = end + 1, ++index) {
    end = std::min(text.find(';', start), text.size());
    const std::string piece = text.substr(start, end - start), key = piece.substr(0, piece.find('='));
    (index % 2 ? settings.printSettings : settings.options)[key] = piece.substr(std::min(key.size() + 1, piece.size()));
  }
  return settings;
}

// What a save keeps of `settings`, as docs/settings-format.md says: the panel's seven numeric print settings only
// when they read as numbers (whole ones, and a decimal with a point for the thickness).
static SavedSettings kept(SavedSettings settings) {
  static const std::regex whole("[+-]?[0-9]+"), decimal("[+-]?[0-9]+([.][0-9]+)?");
  for (const char* name : {"rasterSpeed", "rasterPower", "vectorSpeed", "vectorPower", "vectorFreq", "resolution",
                           "materialThickness"}) {
    const auto found = settings.printSettings.find(std::string("org.zarvikpde.print.pde.zarvikKind.") + name);
    if (found != settings.printSettings.end() &&
        !std::regex_match(found->second, std::string_view(name) == "materialThickness" ? decimal : whole)) {
      settings.printSettings.erase(found);
    }
  }
  return settings;
}

static State kept(State state) {
  if (state.first) state.first = kept(*state.first);
  for (auto& [name, settings] : state.second) settings = kept(settings);
  return state;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t textSize = std::min<std::size_t>(data[size - 2], size - 2);
  const std::string fileBytes(reinterpret_cast<const char*>(data), size - 2 - textSize);
  const std::string text = zarvik::decodeUtf8Lossy({reinterpret_cast<const char*>(data) + fileBytes.size(), textSize});
  const unsigned change = data[size - 1] % 4, choice = data[size - 1];
  const TemporaryFolder folder("zarvik-fuzz");  // one per run: libFuzzer ends with no exit handler
  const fs::path file = folder.path() / "Zarvik.json";
  check(static_cast<bool>(std::ofstream(file, std::ios::binary) << fileBytes), "the file is written");

  SettingsStore store(file, "Zarvik");
  const std::vector<std::string> warned = store.load();
  const bool oneWarning = warned.size() == 1;
  const State before = stateOf(store);
  const std::map<std::string, std::string> read = files(folder.path());
  const bool aside = !read.contains("Zarvik.json");
  check(read.size() == 1 && read.begin()->second == fileBytes, "reading keeps the file's bytes, moved aside or not");
  check(!aside || (read.begin()->first.starts_with("Zarvik.json.corrupt-") && oneWarning && before == State{}),
        "a file that is not settings is moved aside, with one warning, and nothing of it is kept");

  State expected = before;
  const SavedSettings settings = settingsFrom(text);
  const bool existing = (change == 3 || (change == 2 && (choice & 4))) && !before.second.empty();
  const std::string name = existing ? before.second.begin()->first : text;
  const Status status = change == 0 ? store.saveLastUsed(settings)
                        : change == 2 ? store.deletePreset(name) : store.savePreset(name, settings);
  if (change == 0) expected.first = settings;
  if (change == 2) expected.second.erase(name);
  if (change % 2 == 1) expected.second.insert_or_assign(name, settings);
  check(status.ok() == (change == 0 || (change == 2 ? before.second.contains(name) : !name.empty())), "fails if must");
  for (const std::string& line : store.warnings()) check(plainLine(line), "a warning is one plain line");
  if (!status.ok()) {
    check(plainLine(status.message()) && files(folder.path()) == read, "a failure is one plain line, writes nothing");
    return 0;
  }
  SettingsStore next(file, "Zarvik");
  // A file a newer version wrote keeps its version, and so its warning, when this one saves it.
  const std::vector<std::string> again = next.load();
  const bool newer = again.size() == 1 && again[0].find("written by a newer version") != std::string::npos &&
                     std::ranges::find(warned, again[0]) != warned.end();
  check((again.empty() || newer) && stateOf(next) == kept(expected), "what was saved loads again, without a warning");
  check(stateOf(store) == expected && files(folder.path()).size() == read.size() + aside, "kept, no file left over");
  return 0;
}
