// Input: a settings file's bytes, the text of one change, a byte with the
// text's length, a byte choosing the change (last used settings, a new preset,
// a preset deleted, one replaced). Must hold: a file that is not settings is
// moved aside byte for byte and nothing of it kept, else reading changes no
// file; the change fails only when it cannot be made, and then writes nothing;
// a new store loads what the first one read plus the change, without a
// warning; no other file is left; every warning and failure is one plain line.
#include <filesystem>
#include <fstream>

#include "fuzz_checks.h"
#include "host/settings_store.h"

namespace fs = std::filesystem;
using namespace zarvik::host;
using zarvik::fuzz::check;
using State = std::pair<std::optional<SavedSettings>, std::map<std::string, SavedSettings>>;

// A private folder, in memory where there is one: every save flushes.
static const struct Folder {
  std::string path = (fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()) /
                     "zarvik-fuzz-settings-XXXXXX";
  Folder() { check(mkdtemp(path.data()) != nullptr, "a private folder is made"); }
  ~Folder() { fs::remove_all(path); }
} folder;

static std::optional<std::string> readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return in ? std::optional(std::string(std::istreambuf_iterator<char>(in), {})) : std::nullopt;
}

// The file moved aside, if any; no other file is left.
static std::optional<fs::path> movedAside() {
  std::optional<fs::path> aside;
  for (const auto& entry : fs::directory_iterator(folder.path)) {
    if (entry.path().filename() == "Zarvik.json") continue;
    check(!aside && entry.path().filename().string().starts_with("Zarvik.json.corrupt-"), "no other file is left");
    aside = entry.path();
  }
  return aside;
}

static State stateOf(const SettingsStore& store) {
  State state{store.lastUsed(), {}};
  for (const std::string& name : store.presetNames()) state.second.emplace(name, store.preset(name).value());
  return state;
}

// "key=value" pieces separated by ';', alternately options and print settings.
static SavedSettings settingsFrom(std::string_view text) {
  SavedSettings settings;
  for (std::size_t start = 0, index = 0; start <= text.size(); ++index) {
    std::string_view piece = text.substr(start, text.find(';', start) - start);
    std::size_t equals = std::min(piece.find('='), piece.size());
    std::string_view key = piece.substr(0, equals), value = piece.substr(std::min(equals + 1, piece.size()));
    (index % 2 ? settings.printSettings : settings.options).insert_or_assign(std::string(key), std::string(value));
    start += piece.size() + 1;
  }
  return settings;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t textSize = std::min<std::size_t>(data[size - 2], size - 2);
  const std::string fileBytes(reinterpret_cast<const char*>(data), size - 2 - textSize);
  const std::string text = zarvik::decodeUtf8Lossy({reinterpret_cast<const char*>(data) + fileBytes.size(), textSize});
  const unsigned change = data[size - 1] % 4, choice = data[size - 1];
  for (const auto& entry : fs::directory_iterator(folder.path)) fs::remove(entry.path());
  const fs::path file = fs::path(folder.path) / "Zarvik.json";
  check(static_cast<bool>(std::ofstream(file, std::ios::binary) << fileBytes), "the input file is written");

  SettingsStore store(file, "Zarvik");
  const std::vector<std::string> warnings = store.load();
  const State before = stateOf(store);
  const std::optional<fs::path> aside = movedAside();
  check(aside ? readAll(*aside) == fileBytes && before == State{} && warnings.size() == 1 && !fs::exists(file)
              : readAll(file) == fileBytes,
        "a file that is not settings is moved aside byte for byte and nothing of it kept; reading changes no file");

  State expected = before;
  const SavedSettings settings = settingsFrom(text);
  const bool existing = (change == 3 || (change == 2 && (choice & 4))) && !before.second.empty();
  const std::string name = existing ? before.second.begin()->first : text;
  const Status status = change == 0   ? store.saveLastUsed(settings)
                        : change == 2 ? store.deletePreset(name)
                                      : store.savePreset(name, settings);
  if (change == 0) expected.first = settings;
  if (change == 2) expected.second.erase(name);
  if (change % 2 == 1) expected.second.insert_or_assign(name, settings);
  check(status.ok() == (change == 0 || (change == 2 ? before.second.contains(name) : !name.empty())),
        "a change fails exactly when it cannot be made");
  for (const std::string& line : warnings) check(zarvik::fuzz::plainLine(line), "a warning is one plain line");
  for (const std::string& line : store.warnings()) check(zarvik::fuzz::plainLine(line), "a warning is one plain line");
  if (!status.ok()) {
    check(zarvik::fuzz::plainLine(status.message()) && (aside ? !fs::exists(file) : readAll(file) == fileBytes),
          "a failure is one plain line and writes nothing");
    return 0;
  }
  check(stateOf(store) == expected, "the store holds what it saved");
  SettingsStore next(file, "Zarvik");
  check(next.load().empty() && stateOf(next) == expected && movedAside() == aside,
        "what was saved loads again, without a warning, and no other file is left");
  return 0;
}
