#include "zarvik-print/print_job.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QJsonArray>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "host/cups_client.h"
#include "host/job_options.h"

namespace zarvik::print {
namespace {

QJsonObject toJson(const std::map<std::string, std::string>& values) {
  QJsonObject object;
  for (const auto& [key, value] : values) object.insert(QString::fromStdString(key), QString::fromStdString(value));
  return object;
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

std::variant<std::unique_ptr<PrintJob>, PrintJob::Failure> PrintJob::open(const CommandLine& line,
                                                                          std::vector<std::string>& warnings) {
  std::unique_ptr<PrintJob> job(new PrintJob());
  if (line.ppd) {
    if (!std::filesystem::is_regular_file(*line.ppd)) {
      return Failure{kExitUsage, "there is no PPD file " + *line.ppd};
    }
    host::Expected<std::shared_ptr<host::CupsPpdHost>> opened = host::CupsPpdHost::openFile(*line.ppd);
    if (!opened.ok()) return Failure{kExitUsage, opened.error()};
    job->host_ = opened.take();
    job->printer_ = std::filesystem::path(*line.ppd).stem().string();
  } else {
    host::Expected<host::ScopedHttp> http = host::connectToCups();
    if (!http.ok()) return Failure{kExitCups, http.error()};
    std::string queue;
    if (line.printer) {
      queue = *line.printer;
    } else {
      host::Expected<std::vector<host::Destination>> destinations = host::listDestinations(http.value().get());
      if (!destinations.ok()) return Failure{kExitCups, destinations.error()};
      for (const host::Destination& destination : destinations.value()) {
        if (destination.isDefault) queue = destination.name;
      }
      if (queue.empty()) return Failure{kExitCups, "CUPS has no default printer; name one with --printer"};
    }
    host::Expected<std::shared_ptr<host::CupsPpdHost>> opened = host::openQueue(http.value().get(), queue);
    if (!opened.ok()) return Failure{kExitCups, opened.error()};
    job->host_ = opened.take();
    job->printer_ = queue;
    job->isQueue_ = true;
  }

  std::filesystem::path file =
      line.settingsFile ? std::filesystem::path(*line.settingsFile) : host::SettingsStore::defaultFileFor(job->printer_);
  job->store_ = std::make_unique<host::SettingsStore>(file, job->printer_);
  for (std::string& warning : job->store_->load()) warnings.push_back(std::move(warning));

  // Start from the preset asked for, else from what the last print used.
  std::optional<host::SavedSettings> start = job->store_->lastUsed();
  if (line.preset) {
    start = job->store_->preset(*line.preset);
    if (!start) return Failure{kExitUsage, "there is no preset \"" + *line.preset + "\" in " + file.string()};
  }
  if (start) {
    host::CupsPpdHost::ApplyReport report = job->host_->applyOptions(start->options);
    for (std::string& warning : report.warnings) warnings.push_back(std::move(warning));
    job->host_->dialogSettings().assign({start->printSettings.begin(), start->printSettings.end()});
  }

  PanelSession::Opened session = PanelSession::open(job->host_, findPlugInBundle(), line.verbose);
  if (!session.session) return Failure{session.noPanel ? kExitNoPanel : kExitUsage, session.error};
  job->session_ = std::move(session.session);
  job->session_->start();
  return job;
}

std::optional<PrintJob::Failure> PrintJob::applySettings(const std::vector<Setting>& settings) {
  for (const Setting& setting : settings) {
    SetOutcome outcome = session_->set(setting.key, setting.value);
    if (outcome.kind == SetOutcome::kUsageError) return Failure{kExitUsage, "--set " + setting.text + ": " + outcome.reason};
    if (outcome.kind == SetOutcome::kRefused) refusals_.push_back({setting.text, outcome.reason});
  }
  return std::nullopt;
}

host::Status PrintJob::usePreset(const std::string& name) {
  std::optional<host::SavedSettings> preset = store_->preset(name);
  if (!preset) return host::Status::failure("There is no preset \"" + name + "\".");
  host::CupsPpdHost::ApplyReport report = host_->applyOptions(preset->options);
  host_->dialogSettings().assign({preset->printSettings.begin(), preset->printSettings.end()});
  session_->restoreFromHost();
  if (!report.warnings.empty()) return host::Status::failure(report.warnings.front());
  return host::Status::success();
}

host::Status PrintJob::savePreset(const std::string& name) {
  return store_->savePreset(name, {jobOptions(), {host_->dialogSettings().values().begin(),
                                                  host_->dialogSettings().values().end()}});
}

host::Status PrintJob::deletePreset(const std::string& name) { return store_->deletePreset(name); }

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
  if (files.empty()) return Failure{kExitUsage, "there is no document to print"};
  for (const std::string& file : files) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return Failure{kExitUsage, "there is no document " + file};
    if (::access(file.c_str(), R_OK) != 0) {
      return Failure{kExitUsage, "cannot read the document " + file + ": " + std::strerror(errno)};
    }
  }
  session_->panel().saveValuesAndReturnError(nullptr);
  if (!isQueue_) return Failure{kExitUsage, "a PPD file is no printer: print to a queue with --printer"};
  host::Expected<host::ScopedHttp> http = host::connectToCups();
  if (!http.ok()) return Failure{kExitCups, http.error()};
  host::JobRequest request;
  request.printer = printer_;
  request.title = files.empty() ? "Zarvik job" : std::filesystem::path(files.front()).filename().string();
  for (const std::string& file : files) request.files.emplace_back(file);
  request.options = jobOptions();
  host::Expected<int> submitted = host::submitJob(http.value().get(), request);
  if (!submitted.ok()) return Failure{kExitCups, submitted.error()};
  if (host::Status saved = saveLastUsed(); !saved.ok()) {
    return Failure{kExitUsage, "the job was sent, but the settings were not saved: " + saved.message()};
  }
  return submitted.value();
}

QJsonObject PrintJob::report() const {
  QJsonArray refused;
  for (const Refusal& refusal : refusals_) {
    refused.append(QJsonObject{{"set", QString::fromStdString(refusal.set)},
                               {"reason", QString::fromStdString(refusal.reason)}});
  }
  std::map<std::string, std::string> settings(host_->dialogSettings().values().begin(),
                                              host_->dialogSettings().values().end());
  return QJsonObject{{"printer", QString::fromStdString(printer_)},
                     {"options", toJson(jobOptions())},
                     {"printSettings", toJson(settings)},
                     {"summary", toJson(session_->summary())},
                     {"refused", refused}};
}

}  // namespace zarvik::print
