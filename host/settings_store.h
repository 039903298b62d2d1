// Remembered settings of one printer: the last used settings and named
// presets, kept in one JSON file (docs/settings-format.md). Every write
// replaces the file atomically, under a lock that other stores honour, and
// keeps the keys this version does not know; a file that cannot be read as
// settings is moved aside under a name of its own and the defaults are
// used; a file that exists but cannot be read at all (or is no regular
// file) is never written over; a single bad value is left out alone and the
// rest is kept. Each problem becomes a warning sentence. A store for a dry
// run changes no file.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
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

// The panel's numeric print settings: the key, the PPD option whose custom
// value it holds, and whether its value is a whole number (else a decimal
// number with a point).
struct NumericPrintSetting {
  std::string_view key;
  std::string_view option;
  bool whole;
};
extern const std::array<NumericPrintSetting, 7> kNumericPrintSettings;

class SettingsStore {
 public:
  enum class Access { kReadWrite, kReadOnly };

  // Settings kept in `file`; `printer` is recorded in it for the reader. A
  // read-only store moves no file aside and saves nothing; its warnings
  // say what a store that may write would do.
  SettingsStore(std::filesystem::path file, std::string printer, Access access = Access::kReadWrite);

  // The file for the queue `printer` under $XDG_CONFIG_HOME/zarvik-print
  // (where that is unset or not absolute, ~/.config/zarvik-print).
  static std::filesystem::path defaultFileFor(std::string_view printer);
  // The file for a PPD file named `name` (without ".ppd"), in the folder
  // "ppd" there, apart from every queue's.
  static std::filesystem::path defaultFileForPpd(std::string_view name);
  // The printer's name as a file name: letters, digits, '-' and '_' stay,
  // every other byte becomes %XX, so two printers never share a file;
  // then ".json". An empty name gives "%.json". A name that would be
  // longer than kLongestName is cut and ends in "~" and 16 hexadecimal
  // digits of its SHA-256, which no escaped name has.
  static std::string fileNameFor(std::string_view printer);
  // The longest file name, before ".json": with ".json", a ".corrupt-"
  // stamp or a temporary file's suffix it stays within NAME_MAX.
  static constexpr std::size_t kLongestName = 200;

  const std::filesystem::path& file() const { return file_; }

  // Reads the file again. A missing file holds nothing and is no warning.
  // Answers the warnings of this reading.
  std::vector<std::string> load();

  const std::optional<SavedSettings>& lastUsed() const { return lastUsed_; }
  // Preset names in sorted order.
  std::vector<std::string> presetNames() const;
  std::optional<SavedSettings> preset(std::string_view name) const;

  // Each locks the folder against other stores, reads the file again, so
  // that what another dialog saved in the meantime is kept, then writes it
  // back atomically with the change. A file that could not be read is not
  // written over, and settings too large to be read back are not written:
  // each fails with a sentence and the file stays as it was.
  Status saveLastUsed(const SavedSettings& settings);
  // A preset has a name that is not empty; saving replaces one of that name.
  Status savePreset(std::string_view name, const SavedSettings& settings);
  // Fails when there is no preset of that name.
  Status deletePreset(std::string_view name);

  // Every warning since the store was made, in order.
  const std::vector<std::string>& warnings() const { return warnings_; }

 private:
  // Locks, loads, applies `edit` and writes when it succeeded.
  Status change(const std::function<Status()>& edit);
  Status write();
  // Moves the unreadable file aside under a name of its own; answers that
  // name or the sentence that says why not.
  Expected<std::filesystem::path> moveAside();
  // The name the unreadable file is moved to now.
  std::filesystem::path asideName(int attempt) const;

  std::filesystem::path file_;
  std::string printer_;
  Access access_;
  std::optional<SavedSettings> lastUsed_;
  std::map<std::string, SavedSettings, std::less<>> presets_;
  std::string read_;                   // the file's JSON as read, with what this version does not know
  std::optional<std::string> unread_;  // why a file that is there could not be read
  std::vector<std::string> warnings_;
};

}  // namespace zarvik::host
