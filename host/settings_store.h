// Remembered settings of one printer: the last used settings and named
// presets, kept in one JSON file (docs/settings-format.md). Every write
// replaces the file atomically; a file that cannot be read as settings is
// moved aside and the defaults are used; a single bad value is left out
// alone and the rest is kept. Each problem becomes a warning sentence.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/status.h"

namespace zarvik::host {

// What a print remembers: the PPD's marks and the dialog's print settings.
struct SavedSettings {
  // PPD option keyword to choice keyword or "Custom.<value>", as
  // jobOptionsFromMarks gives them.
  std::map<std::string, std::string> options;
  std::map<std::string, std::string> printSettings;
  bool operator==(const SavedSettings&) const = default;
};

class SettingsStore {
 public:
  // Settings kept in `file`; `printer` is recorded in it for the reader.
  SettingsStore(std::filesystem::path file, std::string printer);

  // The file for `printer` under $XDG_CONFIG_HOME/zarvik-print (where that
  // is unset or not absolute, ~/.config/zarvik-print).
  static std::filesystem::path defaultFileFor(std::string_view printer);
  // The printer's name as a file name: letters, digits, '-' and '_' stay,
  // every other byte becomes %XX, so two printers never share a file;
  // then ".json". An empty name gives "%.json".
  static std::string fileNameFor(std::string_view printer);

  const std::filesystem::path& file() const { return file_; }

  // Reads the file again. A missing file holds nothing and is no warning.
  // Answers the warnings of this reading.
  std::vector<std::string> load();

  const std::optional<SavedSettings>& lastUsed() const { return lastUsed_; }
  // Preset names in sorted order.
  std::vector<std::string> presetNames() const;
  std::optional<SavedSettings> preset(std::string_view name) const;

  // Each reads the file first, so that what another dialog saved in the
  // meantime is kept, then writes it back atomically with the change.
  Status saveLastUsed(const SavedSettings& settings);
  // A preset has a name that is not empty; saving replaces one of that name.
  Status savePreset(std::string_view name, const SavedSettings& settings);
  // Fails when there is no preset of that name.
  Status deletePreset(std::string_view name);

  // Every warning since the store was made, in order.
  const std::vector<std::string>& warnings() const { return warnings_; }

 private:
  Status write();

  std::filesystem::path file_;
  std::string printer_;
  std::optional<SavedSettings> lastUsed_;
  std::map<std::string, SavedSettings, std::less<>> presets_;
  std::vector<std::string> warnings_;
};

}  // namespace zarvik::host
