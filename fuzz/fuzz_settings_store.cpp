// Input: a settings file, the text of a change, its length, a byte choosing the change. Must hold: reading keeps the
// file's bytes, moved aside or not; a failed change writes nothing; what a save wrote loads again without a warning
// (but a newer version's), with the change made and the same presets; every warning is one plain line.
#include <algorithm>
#include <filesystem>

#include "fuzz_checks.h"
#include "host/settings_store.h"
#include "support/files.h"
#include "support/temporary_folder.h"

namespace fs = std::filesystem;
using namespace zarvik::host;
using zarvik::fuzz::check, zarvik::fuzz::plainLine;

static std::map<std::string, std::string> files(const fs::path& folder) {  // by name, with their bytes
  std::map<std::string, std::string> found;
  for (const auto& entry : fs::directory_iterator(folder))
    found[entry.path().filename()] = zarvik::testing::readFile(entry.path());
  return found;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t textSize = std::min<std::size_t>(data[size - 2], size - 2);
  const std::string fileBytes(reinterpret_cast<const char*>(data), size - 2 - textSize);
  const std::string text = zarvik::decodeUtf8Lossy({reinterpret_cast<const char*>(data) + fileBytes.size(), textSize});
  const unsigned change = data[size - 1] % 4, choice = data[size - 1];
  const zarvik::testing::TemporaryFolder folder("zarvik-fuzz");  // one per run: libFuzzer ends with no exit handler
  const fs::path file = folder.path() / "Zarvik.json";
  zarvik::testing::writeFile(file, fileBytes);

  SettingsStore store(file, "Zarvik");
  store.load();
  const std::map<std::string, std::string> read = files(folder.path());
  check(read.size() == 1 && read.begin()->second == fileBytes, "reading keeps the file's bytes, moved aside or not");

  // The text as an option and as a numeric print setting, which a save keeps only when it reads as a number.
  const SavedSettings settings{{{text, text}}, {{"org.zarvikpde.print.pde.zarvikKind.rasterSpeed", text}}};
  const std::vector<std::string> presets = store.presetNames();
  const bool existing = (change == 3 || (change == 2 && (choice & 4))) && !presets.empty();
  const std::string name = existing ? presets.front() : text;
  const Status status = change == 0 ? store.saveLastUsed(settings)
                        : change == 2 ? store.deletePreset(name) : store.savePreset(name, settings);
  for (const std::string& line : store.warnings()) check(plainLine(line), "a warning is one plain line");
  if (!status.ok()) {
    check(plainLine(status.message()) && files(folder.path()) == read, "a failure is one plain line, writes nothing");
    return 0;
  }
  SettingsStore next(file, "Zarvik");
  // A file a newer version wrote keeps its version, and so its warning, when this one saves it.
  const std::vector<std::string> again = next.load(), now = next.presetNames();
  const bool newer = again.size() == 1 && again[0].find("written by a newer version") != std::string::npos;
  check((again.empty() || newer) && now == store.presetNames() &&
            next.lastUsed().has_value() == store.lastUsed().has_value(),
        "what was saved loads again, without a warning");
  check(change == 0 ? next.lastUsed()->options == settings.options
                    : (std::ranges::find(now, name) != now.end()) == (change != 2),
        "the change was made");
  return 0;
}
