#include "host/settings_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QString>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "host/atomic_file.h"
#include "host/custom_value.h"
#include "host/texts.h"
#include "panel/ppd_text.h"

namespace zarvik::host {

const std::array<NumericPrintSetting, 7> kNumericPrintSettings = {{
    {"org.zarvikpde.print.pde.zarvikKind.rasterSpeed", "rasterSpeed", true},
    {"org.zarvikpde.print.pde.zarvikKind.rasterPower", "rasterPower", true},
    {"org.zarvikpde.print.pde.zarvikKind.vectorSpeed", "vectorSpeed", true},
    {"org.zarvikpde.print.pde.zarvikKind.vectorPower", "vectorPower", true},
    {"org.zarvikpde.print.pde.zarvikKind.vectorFreq", "vectorFreq", true},
    {"org.zarvikpde.print.pde.zarvikKind.resolution", "cResolution", true},
    {"org.zarvikpde.print.pde.zarvikKind.materialThickness", "materialThickness", false},
}};

namespace {

const NumericPrintSetting* numericSetting(std::string_view key) {
  for (const NumericPrintSetting& numeric : kNumericPrintSettings) {
    if (numeric.key == key) return &numeric;
  }
  return nullptr;
}

// Whether the panel's numeric print setting `numeric` holds a number as a
// whole in `value`: what the store keeps, on reading and on writing alike.
bool isWholeValue(const NumericPrintSetting& numeric, const std::string& value) {
  return numeric.whole ? parseWholeNumber(value).has_value() : parseDecimal(value).has_value();
}

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
constexpr char kPpdFolderName[] = "ppd";
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
  bool noFolder = false;  // a folder on the way is a file: there is no such file
  std::optional<std::string> error;
  std::string bytes;
};

FileContents readFile(const std::filesystem::path& path) {
  FileContents contents;
  // Never waits on a FIFO or a device: only a regular file is read.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    contents.missing = errno == ENOENT;
    contents.noFolder = errno == ENOTDIR;
    if (!contents.missing) contents.error = std::strerror(errno);
    return contents;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    contents.error = sentence(QT_TRANSLATE_NOOP("zarvik-print", "it is not a regular file"));
    ::close(fd);
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
      : file_(shownText(file.string())), warnings_(warnings) {}

  std::map<std::string, std::string> textMap(const QJsonValue& value, const std::string& where,
                                             bool printSettings = false) {
    std::map<std::string, std::string> out;
    if (value.isUndefined()) return out;
    if (!value.isObject()) {
      leftOut(QT_TRANSLATE_NOOP("zarvik-print", "In %1, the value at %2 is not an object; it is left out."), where);
      return out;
    }
    QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
      const std::string key = text(it.key());
      const std::string at = where + "/" + shownText(key);
      if (!it.value().isString()) {
        leftOut(QT_TRANSLATE_NOOP("zarvik-print", "In %1, the value at %2 is not text; it is left out."), at);
        continue;
      }
      std::string entry = text(it.value().toString());
      // The panel would take the number a text begins with: what is not
      // a number as a whole is left out here instead.
      if (printSettings) {
        if (const NumericPrintSetting* numeric = numericSetting(key); numeric && !isWholeValue(*numeric, entry)) {
          leftOut(numeric->whole
                      ? QT_TRANSLATE_NOOP("zarvik-print",
                                          "In %1, the value at %2 is %3, not a whole number; it is left out.")
                      : QT_TRANSLATE_NOOP("zarvik-print",
                                          "In %1, the value at %2 is %3, not a decimal number; it is left out."),
                  at, entry);
          continue;
        }
      }
      out.emplace(key, std::move(entry));
    }
    return out;
  }

  std::optional<SavedSettings> settings(const QJsonValue& value, const std::string& where) {
    if (!value.isObject()) {
      leftOut(QT_TRANSLATE_NOOP("zarvik-print", "In %1, the value at %2 is not an object; it is left out."), where);
      return std::nullopt;
    }
    QJsonObject object = value.toObject();
    SavedSettings saved;
    saved.options = textMap(object.value(kOptionsKey), where + "/" + kOptionsKey);
    saved.printSettings = textMap(object.value(kPrintSettingsKey), where + "/" + kPrintSettingsKey, true);
    return saved;
  }

  void leftOut(const char* source, const std::string& where, std::string_view value = {}) {
    warnings_.push_back(sentence(source, {file_, where, quotedText(value)}));
  }

 private:
  std::string file_;
  std::vector<std::string>& warnings_;
};

// `settings` over what the file held for them, which keeps the keys this
// version does not know.
QJsonObject settingsObject(const SavedSettings& settings, QJsonObject object) {
  QJsonObject options;
  for (const auto& [key, value] : settings.options) options.insert(qText(key), qText(value));
  QJsonObject printSettings;
  for (const auto& [key, value] : settings.printSettings) {
    // A value the store would leave out when reading it back is not written.
    const NumericPrintSetting* numeric = numericSetting(key);
    if (numeric == nullptr || isWholeValue(*numeric, value)) printSettings.insert(qText(key), qText(value));
  }
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

SettingsStore::SettingsStore(std::filesystem::path file, std::string printer, Access access)
    : file_(std::move(file)), printer_(std::move(printer)), access_(access) {}

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
  if (name.size() > kLongestName) {
    // Names this long differ somewhere: the hash of the whole name keeps
    // them apart, and the start still says whose file it is.
    QByteArray digest = QCryptographicHash::hash(QByteArray(printer.data(), static_cast<qsizetype>(printer.size())),
                                                 QCryptographicHash::Sha256)
                            .toHex()
                            .toUpper()
                            .left(16);
    std::size_t keep = kLongestName - 1 - static_cast<std::size_t>(digest.size());
    // Never cut a %XX in two.
    if (name[keep - 1] == '%') {
      keep -= 1;
    } else if (name[keep - 2] == '%') {
      keep -= 2;
    }
    name = name.substr(0, keep) + "~" + digest.toStdString();
  }
  return name + ".json";
}

std::filesystem::path SettingsStore::defaultFileFor(std::string_view printer) {
  return configHome() / kFolderName / fileNameFor(printer);
}

std::filesystem::path SettingsStore::defaultFileForPpd(std::string_view name) {
  return configHome() / kFolderName / kPpdFolderName / fileNameFor(name);
}

std::filesystem::path SettingsStore::asideName(int attempt) const {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  char stamp[32] = "";
  if (localtime_r(&now, &local) != nullptr) std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::filesystem::path aside = file_;
  aside += std::string(".corrupt-") + stamp;
  if (attempt > 1) aside += "-" + std::to_string(attempt);
  return aside;
}

Expected<std::filesystem::path> SettingsStore::moveAside() {
  // A name of its own for each file moved aside, so none replaces another.
  for (int attempt = 1; attempt <= 100; ++attempt) {
    std::filesystem::path aside = asideName(attempt);
    if (::renameat2(AT_FDCWD, file_.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) return aside;
    if (errno == EEXIST) continue;
    if (errno != EINVAL && errno != ENOSYS) return Expected<std::filesystem::path>::failure(std::strerror(errno));
    // A file system that cannot refuse to replace: look first.
    std::error_code error;
    if (std::filesystem::exists(aside, error)) continue;
    std::filesystem::rename(file_, aside, error);
    if (error) return Expected<std::filesystem::path>::failure(error.message());
    return aside;
  }
  return Expected<std::filesystem::path>::failure(std::strerror(EEXIST));
}

std::vector<std::string> SettingsStore::load() {
  lastUsed_.reset();
  presets_.clear();
  read_.clear();
  unread_.reset();
  std::vector<std::string> found;
  const std::string name = shownText(file_.string());

  FileContents contents = readFile(file_);
  if (contents.missing) return found;
  if (contents.error) {
    if (!contents.noFolder) unread_ = contents.error;
    found.push_back(
        sentence(QT_TRANSLATE_NOOP("zarvik-print", "Cannot read the settings file %1: %2; the defaults are used."),
                 {name, *contents.error}));
    warnings_.insert(warnings_.end(), found.begin(), found.end());
    return found;
  }

  std::optional<std::string> broken;
  QJsonObject root;
  if (contents.bytes.size() > kMaximumFileSize) {
    broken =
        sentence(QT_TRANSLATE_NOOP("zarvik-print", "it is larger than %1 bytes"), {std::to_string(kMaximumFileSize)});
  } else {
    QJsonParseError error{};
    QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(contents.bytes.data(), static_cast<qsizetype>(contents.bytes.size())), &error);
    if (error.error != QJsonParseError::NoError) {
      broken = sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 at byte %2"),
                        {text(error.errorString()), std::to_string(error.offset)});
    } else if (!document.isObject()) {
      broken = sentence(QT_TRANSLATE_NOOP("zarvik-print", "it is not a JSON object"));
    } else {
      root = document.object();
      if (root.value(kFormatKey).toString() != QLatin1String(kFormatName)) {
        broken = sentence(QT_TRANSLATE_NOOP("zarvik-print", "its \"format\" is not \"zarvik-print-settings\""));
      }
    }
  }
  if (broken) {
    if (access_ == Access::kReadOnly) {
      found.push_back(
          sentence(QT_TRANSLATE_NOOP("zarvik-print",
                                     "The settings file %1 cannot be read as settings (%2); the defaults are "
                                     "used, and a run that is no dry run would move it to %3."),
                   {name, *broken, oneLineText(asideName(1).string())}));
    } else if (Expected<std::filesystem::path> aside = moveAside(); aside.ok()) {
      found.push_back(
          sentence(QT_TRANSLATE_NOOP("zarvik-print",
                                     "The settings file %1 cannot be read as settings (%2); it was moved to %3 "
                                     "and the defaults are used."),
                   {name, *broken, oneLineText(aside.value().string())}));
    } else {
      unread_ = *broken;
      found.push_back(
          sentence(QT_TRANSLATE_NOOP("zarvik-print",
                                     "The settings file %1 cannot be read as settings (%2) and cannot be moved "
                                     "aside: %3; the defaults are used."),
                   {name, *broken, aside.error()}));
    }
    warnings_.insert(warnings_.end(), found.begin(), found.end());
    return found;
  }

  read_ = std::move(contents.bytes);
  Reader reader(file_, found);
  QJsonValue version = root.value(kVersionKey);
  if (!version.isUndefined() && !version.isDouble()) {
    reader.leftOut(QT_TRANSLATE_NOOP("zarvik-print", "In %1, the value at %2 is not a number; it is left out."),
                   kVersionKey);
  } else if (version.toDouble(kVersion) > kVersion) {
    found.push_back(
        sentence(QT_TRANSLATE_NOOP("zarvik-print",
                                   "The settings file %1 was written by a newer version (%2); only what this "
                                   "version knows is read."),
                 {name, std::to_string(version.toInt())}));
  }
  QJsonValue last = root.value(kLastUsedKey);
  if (!last.isUndefined()) lastUsed_ = reader.settings(last, kLastUsedKey);
  QJsonValue presets = root.value(kPresetsKey);
  if (presets.isObject()) {
    QJsonObject object = presets.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
      std::string presetName = text(it.key());
      if (std::optional<SavedSettings> saved =
              reader.settings(it.value(), std::string(kPresetsKey) + "/" + shownText(presetName))) {
        presets_.emplace(presetName, std::move(*saved));
      }
    }
  } else if (!presets.isUndefined()) {
    reader.leftOut(QT_TRANSLATE_NOOP("zarvik-print", "In %1, the value at %2 is not an object; it is left out."),
                   kPresetsKey);
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
  return change([&] {
    lastUsed_ = settings;
    return Status::success();
  });
}

Status SettingsStore::savePreset(std::string_view name, const SavedSettings& settings) {
  if (name.empty()) return Status::failure(sentence(QT_TRANSLATE_NOOP("zarvik-print", "A preset needs a name.")));
  return change([&] {
    presets_.insert_or_assign(std::string(name), settings);
    return Status::success();
  });
}

Status SettingsStore::deletePreset(std::string_view name) {
  return change([&] {
    auto found = presets_.find(name);
    if (found == presets_.end()) {
      return Status::failure(sentence(QT_TRANSLATE_NOOP("zarvik-print", "There is no preset %1."), {quotedText(name)}));
    }
    presets_.erase(found);
    return Status::success();
  });
}

Status SettingsStore::change(const std::function<Status()>& edit) {
  if (access_ == Access::kReadOnly)
    return Status::failure(sentence(QT_TRANSLATE_NOOP("zarvik-print", "A dry run saves no settings.")));
  // Another zarvik-print saving between this read and the rename would
  // lose its change: the folder's lock keeps the two apart. It is the
  // folder's, as the file itself is replaced by each save.
  const std::filesystem::path folder = file_.has_parent_path() ? file_.parent_path() : ".";
  std::error_code created;
  std::filesystem::create_directories(folder, created);
  if (created) {
    return Status::failure(sentence(QT_TRANSLATE_NOOP("zarvik-print", "Cannot create the folder %1: %2."),
                                    {shownText(folder.string()), created.message()}));
  }
  const int lock = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  while (lock >= 0 && ::flock(lock, LOCK_EX) != 0 && errno == EINTR) {
  }
  load();
  Status status = edit();
  if (status.ok()) status = write();
  if (lock >= 0) ::close(lock);  // and so unlocks
  return status;
}

Status SettingsStore::write() {
  if (unread_) {
    return Status::failure(
        sentence(QT_TRANSLATE_NOOP("zarvik-print",
                                   "The settings file %1 is there but cannot be read (%2), so it is not written over."),
                 {shownText(file_.string()), *unread_}));
  }
  const QJsonObject read =
      QJsonDocument::fromJson(QByteArray(read_.data(), static_cast<qsizetype>(read_.size()))).object();
  QJsonObject root = read;
  root.insert(kFormatKey, kFormatName);
  root.insert(kVersionKey, std::max(kVersion, root.value(kVersionKey).toInt(kVersion)));
  root.insert(kPrinterKey, qText(printer_));
  if (lastUsed_) root.insert(kLastUsedKey, settingsObject(*lastUsed_, read.value(kLastUsedKey).toObject()));
  const QJsonObject before = read.value(kPresetsKey).toObject();
  QJsonObject presets;
  for (const auto& [name, settings] : presets_)
    presets.insert(qText(name), settingsObject(settings, before.value(qText(name)).toObject()));
  root.insert(kPresetsKey, presets);
  // Indented to be read by a person, unless only the compact form stays
  // within what the store reads back.
  QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Indented);
  if (static_cast<std::size_t>(json.size()) > kMaximumFileSize)
    json = QJsonDocument(root).toJson(QJsonDocument::Compact);
  // Qt's JSON reader drops U+FEFF at the start of a string, but keeps the
  // escape; the writer puts the character only inside strings.
  json.replace("\xEF\xBB\xBF", "\\ufeff");
  if (static_cast<std::size_t>(json.size()) > kMaximumFileSize) {
    return Status::failure(sentence(
        QT_TRANSLATE_NOOP("zarvik-print",
                          "The settings would take %1 bytes, more than the %2 a settings file may have; %3 is left "
                          "as it was."),
        {std::to_string(json.size()), std::to_string(kMaximumFileSize), shownText(file_.string())}));
  }
  return writeFileAtomically(file_, std::string_view(json.constData(), static_cast<std::size_t>(json.size())));
}

}  // namespace zarvik::host
