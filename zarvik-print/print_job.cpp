// libcups 2.4 marks every ppd* call deprecated.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#include "zarvik-print/print_job.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QJsonArray>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>

#include "host/cups_client.h"
#include "host/custom_value.h"
#include "host/job_options.h"
#include "host/ppd_options.h"
#include "host/texts.h"

namespace zarvik::print {
namespace {

namespace fs = std::filesystem;

QJsonObject toJson(const std::map<std::string, std::string>& values) {
  QJsonObject object;
  for (const auto& [key, value] : values) object.insert(QString::fromStdString(key), QString::fromStdString(value));
  return object;
}

// A document's MIME type by how it begins, as far as the printer's answer
// depends on it; "application/octet-stream" where it cannot tell.
std::string documentType(const std::string& file) {
  std::string start(512, '\0');
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  const ssize_t n = fd < 0 ? 0 : ::read(fd, start.data(), start.size());
  if (fd >= 0) ::close(fd);
  start.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  static const std::pair<std::string_view, const char*> kKinds[] = {{"RaSt", "application/vnd.cups-raster"},
                                                                    {"tSaR", "application/vnd.cups-raster"},
                                                                    {"RaS2", "application/vnd.cups-raster"},
                                                                    {"2SaR", "application/vnd.cups-raster"},
                                                                    {"RaS3", "application/vnd.cups-raster"},
                                                                    {"3SaR", "application/vnd.cups-raster"},
                                                                    {"%PDF", "application/pdf"},
                                                                    {"%!", "application/postscript"},
                                                                    {"\x89PNG", "image/png"},
                                                                    {"\xFF\xD8\xFF", "image/jpeg"}};
  for (const auto& [magic, type] : kKinds) {
    if (start.starts_with(magic)) return type;
  }
  const bool text = !start.empty() && std::ranges::none_of(start, [](char c) {
    return c == '\0' || (static_cast<unsigned char>(c) < 32 && c != '\n' && c != '\r' && c != '\t' && c != '\f');
  });
  return text ? "text/plain" : "application/octet-stream";
}

// A document as messages and the job's title name it: standard input ("-")
// is read into a file that main names under /proc/self/fd.
std::string documentName(const std::string& file) {
  return file.starts_with("/proc/self/fd/") ? "standard input" : host::shownText(file);
}

bool isBundle(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path / "Contents" / "Info.plist", error);
}

}  // namespace

std::string findPlugInBundle() {
  if (const char* configured = std::getenv("ZARVIK_PDE_BUNDLE"); configured && *configured) return configured;
  std::filesystem::path program = QCoreApplication::applicationDirPath().toStdString();
  // Installed: <prefix>/bin/zarvik-print and <prefix>/lib/zarvik-print/plugins/.
  for (const std::filesystem::path& candidate :
       {program / ".." / ZARVIK_PLUGIN_INSTALL_DIR / "ZarvikPDE.plugin", std::filesystem::path(ZARVIK_BUILD_BUNDLE)}) {
    if (isBundle(candidate)) return std::filesystem::weakly_canonical(candidate).string();
  }
  return ZARVIK_BUILD_BUNDLE;
}

std::optional<PrintJob::Failure> checkDocuments(const std::vector<std::string>& files) {
  for (const std::string& file : files) {
    const std::string name = documentName(file);
    std::error_code error;
    fs::file_status status = fs::status(file, error);
    if (!fs::exists(status)) {
      return PrintJob::Failure{kExitUsage,
                               host::sentence(QT_TRANSLATE_NOOP("zarvik-print", "there is no document %1"), {name})};
    }
    if (fs::is_directory(status)) {
      return PrintJob::Failure{
          kExitUsage, host::sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 is a folder, not a document"), {name})};
    }
    if (::access(file.c_str(), R_OK) != 0) {
      return PrintJob::Failure{kExitUsage,
                               host::sentence(QT_TRANSLATE_NOOP("zarvik-print", "cannot read the document %1: %2"),
                                              {name, std::strerror(errno)})};
    }
    // CUPS refuses an empty document once the job is made.
    if (fs::is_regular_file(status) && fs::file_size(file, error) == 0 && !error) {
      return PrintJob::Failure{kExitUsage,
                               host::sentence(QT_TRANSLATE_NOOP("zarvik-print", "the document %1 is empty"), {name})};
    }
  }
  return std::nullopt;
}

std::variant<std::unique_ptr<PrintJob>, PrintJob::Failure> PrintJob::open(const CommandLine& line,
                                                                          std::vector<std::string>& warnings) {
  std::unique_ptr<PrintJob> job(new PrintJob());
  if (line.ppd) {
    host::Expected<std::shared_ptr<host::CupsPpdHost>> opened = host::CupsPpdHost::openFile(*line.ppd);
    if (!opened.ok()) return Failure{kExitUsage, opened.error()};
    job->host_ = opened.take();
    job->printer_ = fs::path(*line.ppd).stem().string();
  } else {
    host::Expected<host::ScopedHttp> http = host::connectToCups();
    if (!http.ok()) return Failure{kExitCups, http.error()};
    // An instance ("Zarvik/inst1", from lpoptions) prints to its queue with
    // its own options first, and has a settings file of its own.
    std::string name = line.printer.value_or("");
    std::map<std::string, std::string> instanceOptions;
    if (!line.printer || name.find('/') != std::string::npos) {
      host::Expected<std::vector<host::Destination>> destinations = host::listDestinations(http.value().get());
      if (!destinations.ok()) return Failure{kExitCups, destinations.error()};
      for (const host::Destination& destination : destinations.value()) {
        if (line.printer ? destination.name == name : destination.isDefault) {
          name = destination.name;
          instanceOptions = destination.options;
        }
      }
      if (name.empty()) return Failure{kExitCups, "CUPS has no default printer; name one with --printer"};
    }
    const std::string queue = name.substr(0, name.find('/'));
    host::Expected<std::shared_ptr<host::CupsPpdHost>> opened = host::openQueue(http.value().get(), queue);
    if (!opened.ok()) return Failure{kExitCups, opened.error()};
    host::Expected<host::PrinterCapabilities> capabilities = host::printerCapabilities(http.value().get(), queue);
    if (!capabilities.ok()) return Failure{kExitCups, capabilities.error()};
    job->formats_ = capabilities.value().formats;
    job->maxCopies_ = capabilities.value().maxCopies;
    job->host_ = opened.take();
    job->printer_ = name;
    job->queue_ = queue;
    job->isQueue_ = true;
    std::erase_if(instanceOptions,
                  [&](const auto& option) { return !host::findOption(job->host_->ppdFile(), option.first); });
    for (const host::CupsPpdHost::Skipped& skipped : job->host_->applyOptions(instanceOptions).skipped) {
      warnings.push_back(host::sentence(QT_TRANSLATE_NOOP("zarvik-print", "Skipped the option %1 of %2: %3"),
                                        {host::shownText(skipped.option) + "=" + host::shownText(skipped.choice),
                                         host::shownText(name), skipped.reason}));
    }
  }

  // A PPD file's settings are kept apart from any queue's of that name.
  fs::path file = line.settingsFile ? fs::path(*line.settingsFile)
                  : line.ppd        ? host::SettingsStore::defaultFileForPpd(job->printer_)
                                    : host::SettingsStore::defaultFileFor(job->printer_);
  const bool changesNoFile = (line.dryRun || line.screenshot) && !line.save;
  job->store_ = std::make_unique<host::SettingsStore>(
      file, job->printer_,
      changesNoFile ? host::SettingsStore::Access::kReadOnly : host::SettingsStore::Access::kReadWrite);
  for (std::string& warning : job->store_->load()) warnings.push_back(std::move(warning));

  // Start from the preset asked for, else from what the last print used.
  std::optional<host::SavedSettings> start = job->store_->lastUsed();
  if (line.preset) {
    start = job->store_->preset(*line.preset);
    if (!start) {
      return Failure{kExitUsage,
                     "there is no preset " + host::quotedText(*line.preset) + " in " + host::shownText(file.string())};
    }
  }
  if (start) job->useStored(*start, warnings, line.preset ? &*line.preset : nullptr);

  const std::size_t refusalsBefore = job->host_->refusalLog().size();
  PanelSession::Opened session = PanelSession::open(job->host_, findPlugInBundle(), line.verbose);
  if (!session.session) return Failure{session.noPanel ? kExitNoPanel : kExitUsage, session.error};
  job->session_ = std::move(session.session);
  job->session_->start();
  // What the printer refuses of the panel's own requests as it opens is
  // nobody's choice: the job carries the PPD's own value, and a warning
  // says so, once for each request however often the panel asked. An
  // option the PPD lacks altogether (the optional ones) is no news.
  const std::vector<host::CupsPpdHost::Refusal>& log = job->host_->refusalLog();
  std::set<std::string> said;
  for (std::size_t i = refusalsBefore; i < log.size(); ++i) {
    const std::string keyword = log[i].request.substr(0, log[i].request.find('='));
    if (!said.insert(log[i].request).second) continue;
    if (!line.verbose && host::findOption(job->host_->ppdFile(), keyword) == nullptr) continue;
    warnings.push_back(
        host::sentence(QT_TRANSLATE_NOOP("zarvik-print", "The printer refused the panel's own %1 as it opened: %2"),
                       {log[i].request, log[i].reason}));
  }
  job->warnings_ = warnings;
  return job;
}

void PrintJob::useStored(const host::SavedSettings& stored, std::vector<std::string>& warnings,
                         const std::string* preset) {
  auto skip = [&](const std::string& what, const std::string& reason, bool unknown) {
    if (preset != nullptr && !unknown) {
      // One refusal of a value, though its option and print setting both hold it.
      for (const Refusal& refusal : refusals_) {
        if (refusal.reason == reason) return;
      }
      refusals_.push_back({{}, *preset, what, reason});
    } else {
      warnings.push_back(host::sentence(
          preset != nullptr ? QT_TRANSLATE_NOOP("zarvik-print", "Skipped the option %1 of the preset: %2")
                            : QT_TRANSLATE_NOOP("zarvik-print", "Skipped the stored option %1: %2"),
          {what, reason}));
    }
  };
  host::CupsPpdHost::ApplyReport report = host_->applyOptions(stored.options);
  std::set<std::string> refusedOptions;
  for (const host::CupsPpdHost::Skipped& skipped : report.skipped) {
    skip(host::shownText(skipped.option) + "=" + host::shownText(skipped.choice), skipped.reason, skipped.unknown);
    refusedOptions.insert(skipped.option);
  }
  // A stored number the printer cannot take is skipped like a stored
  // option: the panel then starts from its own default for it, or, for a
  // preset, keeps the value it shows.
  host::DialogPrintSettings::Values settings;
  const host::DialogPrintSettings::Values& current = host_->dialogSettings().values();
  for (const auto& [key, value] : stored.printSettings) {
    const host::NumericPrintSetting* numeric = nullptr;
    for (const host::NumericPrintSetting& each : host::kNumericPrintSettings) {
      if (each.key == key) numeric = &each;
    }
    std::optional<std::string> refusal = numeric != nullptr  ? host_->checkCustomValue(numeric->option, value)
                                         : key == kCopiesKey ? checkCopies(value)
                                                             : std::nullopt;
    if (refusal) {
      if (preset == nullptr) {
        warnings.push_back(host::sentence(QT_TRANSLATE_NOOP("zarvik-print", "Skipped the stored print setting %1: %2"),
                                          {host::shownText(key) + "=" + host::shownText(value), *refusal}));
      } else {
        skip(numeric ? std::string(numeric->option) + "=Custom." + host::shownText(value)
                     : key + "=" + host::shownText(value),
             *refusal, false);
        if (auto kept = current.find(key); kept != current.end()) settings.emplace(key, kept->second);
      }
      continue;
    }
    settings.emplace(key, value);
  }
  // A number refused as a preset's option keeps its control's value too.
  for (const host::NumericPrintSetting& numeric : host::kNumericPrintSettings) {
    auto kept = current.find(numeric.key);
    if (preset != nullptr && refusedOptions.count(std::string(numeric.option)) != 0 && kept != current.end())
      settings.emplace(kept->first, kept->second);
  }
  host_->dialogSettings().assign(std::move(settings));
}

std::optional<PrintJob::Failure> PrintJob::applyMediaAndCopies(const CommandLine& line) {
  if (line.copies && !host::parseWholeNumber(*line.copies)) {
    return Failure{kExitUsage, "--copies takes a whole number, not " + host::quotedText(*line.copies)};
  }
  if (line.media) {
    if (host::Status marked = setMedia(*line.media); !marked.ok())
      refusals_.push_back({*line.media, {}, {}, marked.message(), "--media"});
  }
  if (line.copies) {
    if (host::Status taken = setCopies(*line.copies); !taken.ok())
      refusals_.push_back({*line.copies, {}, {}, taken.message(), "--copies"});
  }
  return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> PrintJob::mediaSizes() const {
  std::vector<std::pair<std::string, std::string>> sizes;
  if (ppd_option_t* option = host::findOption(host_->ppdFile(), "PageSize")) {
    for (int i = 0; i < option->num_choices; ++i)
      sizes.emplace_back(option->choices[i].choice, host::choiceName(option->choices[i]));
  }
  return sizes;
}

std::string PrintJob::media() const {
  ppd_choice_t* marked = ppdFindMarkedChoice(host_->ppdFile(), "PageSize");
  return marked != nullptr ? marked->choice : "";
}

host::Status PrintJob::setMedia(const std::string& keyword) { return host_->mark("PageSize", keyword); }

int PrintJob::copies() const {
  const host::DialogPrintSettings::Values& values = host_->dialogSettings().values();
  auto found = values.find(kCopiesKey);
  std::optional<long long> copies = found != values.end() ? host::parseWholeNumber(found->second) : std::nullopt;
  return copies && *copies >= 1 && *copies <= maxCopies_ ? static_cast<int>(*copies) : 1;
}

std::optional<std::string> PrintJob::checkCopies(const std::string& text) const {
  std::optional<long long> copies = host::parseWholeNumber(text);
  if (copies && *copies >= 1 && *copies <= maxCopies_) return std::nullopt;
  return host::sentence(QT_TRANSLATE_NOOP("zarvik-print", "The printer takes from 1 to %1 copies, not %2."),
                        {std::to_string(maxCopies_), host::quotedText(text)});
}

host::Status PrintJob::setCopies(const std::string& text) {
  if (std::optional<std::string> refusal = checkCopies(text)) return host::Status::failure(*refusal);
  host::DialogPrintSettings::Values values = host_->dialogSettings().values();
  values.insert_or_assign(kCopiesKey, std::to_string(*host::parseWholeNumber(text)));
  host_->dialogSettings().assign(std::move(values));
  return host::Status::success();
}

std::optional<PrintJob::Failure> PrintJob::applySettings(const std::vector<Setting>& settings) {
  for (const Setting& setting : settings) {
    SetOutcome outcome = session_->set(setting.key, setting.value);
    if (outcome.kind == SetOutcome::kUsageError) {
      return Failure{kExitUsage, "--set " + host::shownText(setting.text) + ": " + outcome.reasons.front()};
    }
    for (const std::string& reason : outcome.reasons) refusals_.push_back({setting.text, {}, {}, reason});
  }
  return std::nullopt;
}

host::Status PrintJob::usePreset(const std::string& name) {
  std::optional<host::SavedSettings> preset = store_->preset(name);
  if (!preset)
    return host::Status::failure(
        host::sentence(QT_TRANSLATE_NOOP("zarvik-print", "There is no preset %1."), {host::quotedText(name)}));
  std::vector<std::string> warnings;
  refusals_.clear();
  useStored(*preset, warnings, &name);
  session_->restoreFromHost();
  std::string said;
  for (const Refusal& refusal : refusals_) said += (said.empty() ? "" : " ") + refusal.reason;
  for (const std::string& warning : warnings) said += (said.empty() ? "" : " ") + warning;
  refusals_.clear();  // shown now; the dialog's controls hold what the printer took
  if (!said.empty()) return host::Status::failure(said);
  return host::Status::success();
}

host::Status PrintJob::savePreset(const std::string& name) {
  return store_->savePreset(
      name, {jobOptions(), {host_->dialogSettings().values().begin(), host_->dialogSettings().values().end()}});
}

host::Status PrintJob::deletePreset(const std::string& name) { return store_->deletePreset(name); }

host::Status PrintJob::restorePreset(const std::string& name, const std::optional<host::SavedSettings>& settings) {
  return settings ? store_->savePreset(name, *settings) : store_->deletePreset(name);
}

std::map<std::string, std::string> PrintJob::jobOptions() const {
  return host::jobOptionsFromMarks(host_->ppdFile()).options;
}

host::Status PrintJob::saveLastUsed() {
  return store_->saveLastUsed(
      {jobOptions(), {host_->dialogSettings().values().begin(), host_->dialogSettings().values().end()}});
}

std::variant<int, PrintJob::Failure> PrintJob::print(const std::vector<std::string>& files) {
  // A document that is not there is the person's mistake, not CUPS's: it
  // is a usage error, found before anything is sent.
  if (files.empty())
    return Failure{kExitUsage, host::sentence(QT_TRANSLATE_NOOP("zarvik-print", "there is no document to print"))};
  if (std::optional<Failure> unreadable = checkDocuments(files)) return *unreadable;
  if (std::optional<Failure> refused = checkFormats(files)) return *refused;
  // What the panel asks as it saves is checked too: a job goes out only
  // when the printer refused none of it.
  const std::size_t refusalsBefore = host_->refusalLog().size();
  session_->panel().saveValuesAndReturnError(nullptr);
  if (host_->refusalLog().size() != refusalsBefore) return Failure{kExitRefused, host_->refusalLog().back().reason};
  if (!isQueue_) {
    return Failure{kExitUsage, host::sentence(QT_TRANSLATE_NOOP(
                                   "zarvik-print", "a PPD file is no printer: print to a queue with --printer"))};
  }
  host::Expected<host::ScopedHttp> http = host::connectToCups();
  if (!http.ok()) return Failure{kExitCups, http.error()};
  host::JobRequest request;
  request.printer = queue_;
  request.title = files.front().starts_with("/proc/self/fd/") ? documentName(files.front())
                                                              : fs::path(files.front()).filename().string();
  for (const std::string& file : files) request.files.emplace_back(file);
  request.options = jobOptions();
  if (const int copies = this->copies(); copies != 1) request.options["copies"] = std::to_string(copies);
  host::Expected<int> submitted = host::submitJob(http.value().get(), request);
  if (!submitted.ok()) return Failure{kExitCups, submitted.error()};
  if (host::Status saved = saveLastUsed(); !saved.ok()) {
    return Failure{
        kExitNotSaved,
        host::sentence(QT_TRANSLATE_NOOP("zarvik-print", "job %1 was sent to %2, but the settings were not saved: %3"),
                       {std::to_string(submitted.value()), host::shownText(printer_), saved.message()})};
  }
  return submitted.value();
}

std::optional<PrintJob::Failure> PrintJob::checkFormats(const std::vector<std::string>& files) const {
  for (const std::string& file : files) {
    const std::string type = documentType(file);
    if (formats_.empty() || type == "application/octet-stream" || std::ranges::count(formats_, type) != 0) continue;
    std::string taken;
    for (const std::string& format : formats_) {
      if (format != "application/octet-stream") taken += (taken.empty() ? "" : ", ") + format;
    }
    return Failure{kExitUsage,
                   host::sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 is %2, which %3 does not take; it takes %4"),
                                  {documentName(file), type, host::shownText(printer_), taken})};
  }
  return std::nullopt;
}

QJsonObject PrintJob::report() const {
  QJsonArray refused, warned;
  for (const Refusal& refusal : refusals_) {
    QJsonObject entry{{"reason", QString::fromStdString(refusal.reason)}};
    if (refusal.set.empty()) {
      entry.insert("preset", QString::fromStdString(refusal.preset));
      entry.insert("option", QString::fromStdString(refusal.request));
    } else {
      entry.insert(QString::fromStdString(refusal.flag.substr(2)), QString::fromStdString(refusal.set));
    }
    refused.append(entry);
  }
  for (const std::string& warning : warnings_) warned.append(QString::fromStdString(warning));
  // The panel's title is in the person's language: a key of machine output
  // never is.
  QJsonArray summary;
  for (const auto& [title, text] : session_->summary())
    summary.append(QJsonObject{{"title", QString::fromStdString(title)}, {"text", QString::fromStdString(text)}});
  std::map<std::string, std::string> settings(host_->dialogSettings().values().begin(),
                                              host_->dialogSettings().values().end());
  return QJsonObject{{"printer", QString::fromStdString(printer_)},
                     {"options", toJson(jobOptions())},
                     {"printSettings", toJson(settings)},
                     {"summary", summary},
                     {"refused", refused},
                     {"warnings", warned}};
}

}  // namespace zarvik::print
