// Settings file bytes -> the settings store: load, one change, load again.
// What the store read plus the change is exactly what a new store reads
// back, without a warning; a file that is not settings is moved aside
// byte for byte and nothing of it is kept; every warning is one plain line.
//
// Input: the file's bytes, then the text of the change, then one byte with
// the text's length and one byte choosing the change.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_checks.h"
#include "host/settings_store.h"
#include "panel/ppd_text.h"

namespace {

using zarvik::fuzz::check;
using zarvik::fuzz::plainLine;

namespace fs = std::filesystem;
using zarvik::host::SavedSettings;
using zarvik::host::SettingsStore;
using zarvik::host::Status;

constexpr char kPrinter[] = "Zarvik";

// A private folder for the run, in memory where there is one: every save
// flushes to disk, and the fuzzer saves a great many times.
const fs::path& folder() {
  static const fs::path made = [] {
    fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "zarvik-fuzz-settings-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    std::atexit([] { fs::remove_all(folder()); });
    return fs::path(pattern);
  }();
  return made;
}

// The copy the store moved the file aside to, if any: its name carries the
// time.
std::optional<fs::path> movedAside() {
  for (const auto& entry : fs::directory_iterator(folder())) {
    if (entry.path().filename().string().starts_with("Zarvik.json.corrupt-")) return entry.path();
  }
  return std::nullopt;
}

std::optional<std::string> readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeAll(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  check(static_cast<bool>(out.flush()), "the input file is written");
}

void checkWarnings(const std::vector<std::string>& warnings) {
  for (const std::string& warning : warnings) check(plainLine(warning), "a warning is one plain line");
}

// Settings made of the change's text: "key=value" pieces separated by ';',
// alternately options and print settings. Texts the store keeps come from
// libcups keywords, value texts and preset names typed in the dialog, so
// they are UTF-8; any code point goes, NUL and line breaks included.
SavedSettings settingsFrom(const std::string& text) {
  SavedSettings settings;
  std::size_t index = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    std::string piece = text.substr(start, end - start);
    std::size_t equals = piece.find('=');
    std::string key = piece.substr(0, equals);
    std::string value = equals == std::string::npos ? std::string() : piece.substr(equals + 1);
    (index++ % 2 == 0 ? settings.options : settings.printSettings).insert_or_assign(key, value);
    start = end + 1;
  }
  return settings;
}

struct State {
  std::optional<SavedSettings> lastUsed;
  std::map<std::string, SavedSettings> presets;
  bool operator==(const State&) const = default;
};

State stateOf(const SettingsStore& store) {
  State state;
  state.lastUsed = store.lastUsed();
  for (const std::string& name : store.presetNames()) {
    std::optional<SavedSettings> preset = store.preset(name);
    check(preset.has_value(), "every preset named is there");
    state.presets.emplace(name, *preset);
  }
  return state;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t choice = data[size - 1];
  const std::size_t textSize = std::min<std::size_t>(data[size - 2], size - 2);
  const std::string_view bytes(reinterpret_cast<const char*>(data), size - 2);
  const std::string_view fileBytes = bytes.substr(0, bytes.size() - textSize);
  const std::string text = zarvik::decodeUtf8Lossy(bytes.substr(bytes.size() - textSize));

  const fs::path file = folder() / "Zarvik.json";
  fs::remove(file);
  while (std::optional<fs::path> old = movedAside()) fs::remove(*old);
  writeAll(file, fileBytes);

  SettingsStore store(file, kPrinter);
  std::vector<std::string> warnings = store.load();
  checkWarnings(warnings);
  check(store.warnings() == warnings, "the store keeps the warnings of its reading");
  const State before = stateOf(store);
  const std::optional<fs::path> aside = movedAside();
  if (!fs::exists(file)) {
    check(aside && readAll(*aside) == std::string(fileBytes), "a file moved aside keeps its bytes");
    check(before == State{}, "nothing of a file moved aside is kept");
    check(warnings.size() == 1, "moving a file aside is one warning");
  } else {
    check(!aside, "a file is moved aside or left where it is");
    check(readAll(file) == std::string(fileBytes), "reading leaves the file as it was");
    // Reading again gives the same; a save relies on it.
    check(store.load() == warnings && stateOf(store) == before, "reading again reads the same");
  }

  // One change, and what it should give.
  State expected = before;
  const SavedSettings settings = settingsFrom(text);
  const std::string existing = before.presets.empty() ? text : before.presets.begin()->first;
  Status status = Status::success();
  bool shouldWork = true;
  switch (choice % 4) {
    case 0:
      status = store.saveLastUsed(settings);
      expected.lastUsed = settings;
      break;
    case 1:
      status = store.savePreset(text, settings);
      shouldWork = !text.empty();
      if (shouldWork) expected.presets.insert_or_assign(text, settings);
      break;
    case 2:
      status = store.deletePreset((choice & 4) ? existing : text);
      shouldWork = expected.presets.erase((choice & 4) ? existing : text) == 1;
      break;
    case 3:
      status = store.savePreset(existing, settings);
      shouldWork = !existing.empty();
      if (shouldWork) expected.presets.insert_or_assign(existing, settings);
      break;
  }
  check(status.ok() == shouldWork, "a change fails exactly when it cannot be made");
  check(status.ok() || plainLine(status.message()), "a failure is one plain line");
  checkWarnings(store.warnings());
  check(store.warnings().size() >= warnings.size() &&
            std::equal(warnings.begin(), warnings.end(), store.warnings().begin()),
        "warnings are kept in order");
  if (!status.ok()) {
    // Nothing was written: the file is as the first reading left it.
    if (aside) {
      check(!fs::exists(file), "a failed change writes nothing");
    } else {
      check(readAll(file) == std::string(fileBytes), "a failed change writes nothing");
    }
    return 0;
  }
  check(stateOf(store) == expected, "the store holds what it saved");

  // A new store, as the next dialog opens it.
  SettingsStore next(file, kPrinter);
  std::vector<std::string> again = next.load();
  check(again.empty(), "a file the store wrote reads without a warning");
  check(stateOf(next) == expected, "what was saved is what is loaded");

  // Saving what is there changes no byte.
  std::optional<std::string> written = readAll(file);
  if (expected.lastUsed) {
    check(next.saveLastUsed(*expected.lastUsed).ok(), "saving again works");
    check(readAll(file) == written, "saving the same settings writes the same bytes");
  }
  for (const auto& entry : fs::directory_iterator(folder())) {
    std::string name = entry.path().filename().string();
    check(name == "Zarvik.json" || name.starts_with("Zarvik.json.corrupt-"), "no temporary file is left behind");
  }
  return 0;
}
