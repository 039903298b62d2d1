// Everything one run of zarvik-print works on, from the command line to the
// job: the printer and its host, the remembered settings, the panel, and
// what happens on Print.
#pragma once

#include <QJsonObject>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "host/cups_ppd_host.h"
#include "host/settings_store.h"
#include "zarvik-print/command_line.h"
#include "zarvik-print/panel_session.h"

namespace zarvik::print {

// A setting the person chose that the printer refused: a --set, --media or
// --copies, or a value of the preset named with --preset.
struct Refusal {
  std::string set;      // the value as given ("KEY=VALUE" for a --set); empty for a preset's value
  std::string preset;   // the preset's name, for one of its values
  std::string request;  // the preset's value ("vectorPower=Custom.95")
  std::string reason;
  std::string flag = "--set";  // the option that gave `set`
};

// The print setting that holds the number of copies.
inline constexpr char kCopiesKey[] = "copies";

class PrintJob {
 public:
  // A failure's exit status and sentence.
  struct Failure {
    int status;
    std::string message;
  };

  // Opens the printer (a queue, a PPD file, or the default destination),
  // its remembered settings (or the preset asked for), and the panel from
  // the plug-in bundle. Warnings go to `warnings` and stay in warnings():
  // a remembered value the printer now refuses, and what it refused of the
  // panel's own requests while the panel was built and restored (the job
  // then carries the PPD's own value). A value of the preset asked for that
  // the printer refuses goes to refusals(). A dry run or a screenshot
  // without --save changes no file.
  static std::variant<std::unique_ptr<PrintJob>, Failure> open(const CommandLine& line,
                                                               std::vector<std::string>& warnings);

  // Operates the panel's controls for every --set, in order. A setting the
  // panel cannot take as given stops there (a usage error); one the
  // printer refuses is kept in refusals() and the rest still apply.
  std::optional<Failure> applySettings(const std::vector<Setting>& settings);

  // The page size and the copies, from the command line, before any --set:
  // a copies that is no whole number is a usage error; what the printer
  // refuses is kept in refusals().
  std::optional<Failure> applyMediaAndCopies(const CommandLine& line);
  // The PPD's page sizes (keyword and text, in the PPD's order) and the
  // one marked; empty when the PPD has none.
  std::vector<std::pair<std::string, std::string>> mediaSizes() const;
  std::string media() const;
  // Marks a page size through the host, as any other choice.
  host::Status setMedia(const std::string& keyword);
  // The copies kept in the print settings (1 when none), and the most the
  // printer takes.
  int copies() const;
  int maxCopies() const { return maxCopies_; }
  // Takes a number of copies from 1 to maxCopies(), as text; the check
  // alone answers why not, or nothing.
  host::Status setCopies(const std::string& text);
  std::optional<std::string> checkCopies(const std::string& text) const;

  // Starts over from a preset: its options are marked by the host and the
  // panel is restored from them. What the printer refuses is skipped, and
  // its control keeps the value it had; the failure names each refusal.
  host::Status usePreset(const std::string& name);
  host::Status savePreset(const std::string& name);
  // Puts back what a preset held before it was replaced or deleted:
  // `settings`, or no preset of that name.
  host::Status restorePreset(const std::string& name, const std::optional<host::SavedSettings>& settings);
  std::optional<host::SavedSettings> preset(const std::string& name) const { return store_->preset(name); }
  host::Status deletePreset(const std::string& name);
  std::vector<std::string> presetNames() const { return store_->presetNames(); }

  // What Print would send: the PPD's marked options.
  std::map<std::string, std::string> jobOptions() const;
  // The settings a print remembers.
  host::Status saveLastUsed();
  // The panel's save, the job to CUPS, then the remembered settings. A job
  // sent whose settings were not saved fails with kExitNotSaved.
  std::variant<int, Failure> print(const std::vector<std::string>& files);

  // Why the printer would not take the documents: one that is a kind of
  // document the queue does not take (a text where it takes CUPS raster
  // only), as CUPS would refuse it. Checked alike by a dry run and Print.
  std::optional<Failure> checkFormats(const std::vector<std::string>& files) const;

  // The --dry-run report.
  QJsonObject report() const;

  const std::string& printer() const { return printer_; }
  bool isQueue() const { return isQueue_; }
  PanelSession& session() const { return *session_; }
  const std::vector<Refusal>& refusals() const { return refusals_; }
  const std::vector<std::string>& warnings() const { return warnings_; }

 private:
  PrintJob() = default;
  // Marks stored options and takes stored print settings, skipping each
  // that the printer cannot take: with a warning for remembered settings,
  // as a refusal for the preset `preset` (the person's choice), whose
  // refused print settings keep their current values. Unknown options are
  // always a warning.
  void useStored(const host::SavedSettings& stored, std::vector<std::string>& warnings,
                 const std::string* preset = nullptr);

  std::string printer_;  // the destination, maybe an instance: "Zarvik/inst1"
  std::string queue_;    // the queue it prints to: "Zarvik"
  bool isQueue_ = false;
  std::shared_ptr<host::CupsPpdHost> host_;
  std::unique_ptr<host::SettingsStore> store_;
  std::unique_ptr<PanelSession> session_;
  std::vector<Refusal> refusals_;
  std::vector<std::string> warnings_;
  std::vector<std::string> formats_;  // what the queue takes; empty when unknown
  int maxCopies_ = 9999;              // CUPS's own bound, or the queue's
};

// Where the plug-in bundle is: $ZARVIK_PDE_BUNDLE, the build tree's bundle,
// or the installed one beside the program.
std::string findPlugInBundle();

// Why the documents to print cannot be sent, a usage error; nothing when
// every one is a file that can be read and is not empty.
std::optional<PrintJob::Failure> checkDocuments(const std::vector<std::string>& files);

}  // namespace zarvik::print
