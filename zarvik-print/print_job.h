// Everything one run of zarvik-print works on, from the command line to the
// job: the printer and its host, the remembered settings, the panel, and
// what happens on Print.
#pragma once

#include <QJsonObject>
#include <variant>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/cups_ppd_host.h"
#include "host/settings_store.h"
#include "zarvik-print/command_line.h"
#include "zarvik-print/panel_session.h"

namespace zarvik::print {

struct Refusal {
  std::string set;  // "KEY=VALUE" as given
  std::string reason;
};

class PrintJob {
 public:
  // A failure's exit status and sentence.
  struct Failure {
    int status;
    std::string message;
  };

  // Opens the printer (a queue, a PPD file, or the default destination),
  // its remembered settings (or the preset asked for), and the panel from
  // the plug-in bundle. Warnings go to `warnings`.
  static std::variant<std::unique_ptr<PrintJob>, Failure> open(const CommandLine& line,
                                                               std::vector<std::string>& warnings);

  // Operates the panel's controls for every --set, in order. A setting the
  // panel cannot take as given stops there (a usage error); one the
  // printer refuses is kept in refusals() and the rest still apply.
  std::optional<Failure> applySettings(const std::vector<Setting>& settings);

  // Starts over from a preset: its options are marked by the host and the
  // panel is restored from them.
  host::Status usePreset(const std::string& name);
  host::Status savePreset(const std::string& name);
  host::Status deletePreset(const std::string& name);
  std::vector<std::string> presetNames() const { return store_->presetNames(); }

  // What Print would send: the PPD's marked options.
  std::map<std::string, std::string> jobOptions() const;
  // The settings a print remembers.
  host::Status saveLastUsed();
  // The panel's save, the job to CUPS, then the remembered settings.
  std::variant<int, Failure> print(const std::vector<std::string>& files);

  // The --dry-run report.
  QJsonObject report() const;

  const std::string& printer() const { return printer_; }
  bool isQueue() const { return isQueue_; }
  PanelSession& session() const { return *session_; }
  const std::vector<Refusal>& refusals() const { return refusals_; }

 private:
  PrintJob() = default;

  std::string printer_;
  bool isQueue_ = false;
  std::shared_ptr<host::CupsPpdHost> host_;
  std::unique_ptr<host::SettingsStore> store_;
  std::unique_ptr<PanelSession> session_;
  std::vector<Refusal> refusals_;
};

// Where the plug-in bundle is: $ZARVIK_PDE_BUNDLE, the build tree's bundle,
// or the installed one beside the program.
std::string findPlugInBundle();

}  // namespace zarvik::print
