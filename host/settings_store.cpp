#include "host/settings_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QString>
#include <QStringDecoder>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "host/atomic_file.h"
#include "panel/ppd_text.h"

namespace zarvik::host {
namespace {

// Keys and values of the file format.
constexpr char kFormatKey[] = "format";
constexpr char kFormatName[] = "zarvik-print-settings";
constexpr char kVersionKey[] = "version";
constexpr int kVersion = 1;
constexpr char kPrinterKey[] = "printer";
constexpr char kLastUsedKey[] = "lastUsed";
constexpr char kPresetsKey[] = "presets";
constexpr char kOptionsKey[] = "options";
constexpr char kPrintSettingsKey[] = "printSettings";

constexpr char kFolderName[] = "zarvik-print";
// A settings file is a few kilobytes; anything far beyond is not one.
constexpr std::size_t kMaximumFileSize = 4 * 1024 * 1024;

// QString::fromUtf8 drops a byte order mark at the start of a text, so a
// name or value beginning with U+FEFF would lose it; this keeps every
// character.
QString qText(std::string_view text) {
  QStringDecoder decode(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
  return decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}
std::string text(const QString& string) { return string.toStdString(); }

struct FileContents {
  bool missing = false;
  std::optional<std::string> error;
  std::string bytes;
};

FileContents readFile(const std::filesystem::path& path) {
  FileContents contents;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) {
      contents.missing = true;
    } else {
      contents.error = std::strerror(errno);
    }
    return contents;
  }
  char buffer[16384];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      contents.error = std::strerror(errno);
      break;
    }
    if (n == 0) break;
    contents.bytes.append(buffer, static_cast<std::size_t>(n));
    if (contents.bytes.size() > kMaximumFileSize) break;
  }
  ::close(fd);
  return contents;
}

// Reads the settings out of a file's JSON, leaving out what does not fit.
class Reader {
 public:
  Reader(const std::filesystem::path& file, std::vector<std::string>& warnings)
      : file_(file.string()), warnings_(warnings) {}

  std::map<std::string, std::string> textMap(const QJsonValue& value, const std::string& where) {
    std::map<std::string, std::string> out;
    if (value.isUndefined()) return out;
    if (!value.isObject()) {
      leftOut(where, "is not an object");
      return out;
    }
    QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
      if (!it.value().isString()) {
        leftOut(where + "/" + oneLineText(text(it.key())), "is not text");
        continue;
      }
      out.emplace(text(it.key()), text(it.value().toString()));
    }
    return out;
  }

  std::optional<SavedSettings> settings(const QJsonValue& value, const std::string& where) {
    if (!value.isObject()) {
      leftOut(where, "is not an object");
      return std::nullopt;
    }
    QJsonObject object = value.toObject();
    SavedSettings saved;
    saved.options = textMap(object.value(kOptionsKey), where + "/" + kOptionsKey);
    saved.printSettings = textMap(object.value(kPrintSettingsKey), where + "/" + kPrintSettingsKey);
    return saved;
  }

  void leftOut(const std::string& where, std::string_view what) {
    warnings_.push_back("In " + file_ + ", the value at " + where + " " + std::string(what) + "; it is left out.");
  }

 private:
  std::string file_;
  std::vector<std::string>& warnings_;
};

QJsonObject settingsObject(const SavedSettings& settings) {
  QJsonObject options;
  for (const auto& [key, value] : settings.options) options.insert(qText(key), qText(value));
  QJsonObject printSettings;
  for (const auto& [key, value] : settings.printSettings) printSettings.insert(qText(key), qText(value));
  QJsonObject object;
  object.insert(kOptionsKey, options);
  object.insert(kPrintSettingsKey, printSettings);
  return object;
}

std::filesystem::path configHome() {
  // The XDG base directory rules ignore a relative path.
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') {
    const passwd* entry = ::getpwuid(::getuid());
    home = entry != nullptr ? entry->pw_dir : "/";
  }
  return std::filesystem::path(home) / ".config";
}

}  // namespace

SettingsStore::SettingsStore(std::filesystem::path file, std::string printer)
    : file_(std::move(file)), printer_(std::move(printer)) {}

std::string SettingsStore::fileNameFor(std::string_view printer) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string name;
  for (char c : printer) {
    auto byte = static_cast<unsigned char>(c);
    bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
                 byte == '-' || byte == '_';
    if (plain) {
      name += c;
    } else {
      name += '%';
      name += kHex[byte >> 4];
      name += kHex[byte & 0xF];
    }
  }
  if (name.empty()) name = "%";
  return name + ".json";
}

std::filesystem::path SettingsStore::defaultFileFor(std::string_view printer) {
  return configHome() / kFolderName / fileNameFor(printer);
}

std::vector<std::string> SettingsStore::load() {
  lastUsed_.reset();
  presets_.clear();
  std::vector<std::string> found;
  const std::string name = file_.string();

  FileContents contents = readFile(file_);
  if (contents.missing) return found;
  if (contents.error) {
    found.push_back("Cannot read the settings file " + name + ": " + *contents.error + "; the defaults are used.");
    warnings_.insert(warnings_.end(), found.begin(), found.end());
    return found;
  }

  std::optional<std::string> broken;
  QJsonObject root;
  if (contents.bytes.size() > kMaximumFileSize) {
    broken = "it is larger than " + std::to_string(kMaximumFileSize) + " bytes";
  } else {
    QJsonParseError error{};
    QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(contents.bytes.data(), static_cast<qsizetype>(contents.bytes.size())), &error);
    if (error.error != QJsonParseError::NoError) {
      broken = text(error.errorString()) + " at byte " + std::to_string(error.offset);
    } else if (!document.isObject()) {
      broken = "it is not a JSON object";
    } else {
      root = document.object();
      if (root.value(kFormatKey).toString() != QLatin1String(kFormatName)) {
        broken = std::string("its \"") + kFormatKey + "\" is not \"" + kFormatName + "\"";
      }
    }
  }
  if (broken) {
    std::filesystem::path aside = file_;
    aside += ".corrupt";
    std::error_code moved;
    std::filesystem::rename(file_, aside, moved);
    if (moved) {
      found.push_back("The settings file " + name + " cannot be read as settings (" + *broken +
                      ") and cannot be moved aside: " + moved.message() + "; the defaults are used.");
    } else {
      found.push_back("The settings file " + name + " cannot be read as settings (" + *broken + "); it was moved to " +
                      aside.string() + " and the defaults are used.");
    }
    warnings_.insert(warnings_.end(), found.begin(), found.end());
    return found;
  }

  Reader reader(file_, found);
  QJsonValue version = root.value(kVersionKey);
  if (!version.isUndefined() && !version.isDouble()) {
    reader.leftOut(kVersionKey, "is not a number");
  } else if (version.toDouble(kVersion) > kVersion) {
    found.push_back("The settings file " + name + " was written by a newer version (" +
                    std::to_string(version.toInt()) + "); only what this version knows is read.");
  }
  QJsonValue last = root.value(kLastUsedKey);
  if (!last.isUndefined()) lastUsed_ = reader.settings(last, kLastUsedKey);
  QJsonValue presets = root.value(kPresetsKey);
  if (presets.isObject()) {
    QJsonObject object = presets.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
      std::string presetName = text(it.key());
      if (std::optional<SavedSettings> saved =
              reader.settings(it.value(), std::string(kPresetsKey) + "/" + oneLineText(presetName))) {
        presets_.emplace(presetName, std::move(*saved));
      }
    }
  } else if (!presets.isUndefined()) {
    reader.leftOut(kPresetsKey, "is not an object");
  }
  warnings_.insert(warnings_.end(), found.begin(), found.end());
  return found;
}

std::vector<std::string> SettingsStore::presetNames() const {
  std::vector<std::string> names;
  for (const auto& [name, settings] : presets_) names.push_back(name);
  return names;
}

std::optional<SavedSettings> SettingsStore::preset(std::string_view name) const {
  auto found = presets_.find(name);
  if (found == presets_.end()) return std::nullopt;
  return found->second;
}

Status SettingsStore::saveLastUsed(const SavedSettings& settings) {
  load();
  lastUsed_ = settings;
  return write();
}

Status SettingsStore::savePreset(std::string_view name, const SavedSettings& settings) {
  if (name.empty()) return Status::failure("A preset needs a name.");
  load();
  presets_.insert_or_assign(std::string(name), settings);
  return write();
}

Status SettingsStore::deletePreset(std::string_view name) {
  load();
  auto found = presets_.find(name);
  if (found == presets_.end()) return Status::failure("There is no preset \"" + oneLineText(name) + "\".");
  presets_.erase(found);
  return write();
}

Status SettingsStore::write() {
  QJsonObject root;
  root.insert(kFormatKey, kFormatName);
  root.insert(kVersionKey, kVersion);
  root.insert(kPrinterKey, qText(printer_));
  if (lastUsed_) root.insert(kLastUsedKey, settingsObject(*lastUsed_));
  QJsonObject presets;
  for (const auto& [name, settings] : presets_) presets.insert(qText(name), settingsObject(settings));
  root.insert(kPresetsKey, presets);
  QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Indented);
  // Qt's JSON reader drops U+FEFF at the start of a string, but keeps the
  // escape; the writer puts the character only inside strings.
  json.replace("\xEF\xBB\xBF", "\\ufeff");
  return writeFileAtomically(file_, std::string_view(json.constData(), static_cast<std::size_t>(json.size())));
}

}  // namespace zarvik::host
