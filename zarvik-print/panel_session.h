// One print dialog's panel session: the host over the printer's PPD, the
// plug-in's panel loaded from its bundle, and the panel's view. It drives
// the panel in the order a print dialog does and operates its controls as a
// person would.
#pragma once

#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/cups_ppd_host.h"
#include "host/status.h"
#include "platform/qt/plugin_bundle.h"
#include "plugin/pde_protocol.h"
#include "zarvik-print/observed_host.h"

namespace zarvik::print {

// What came of operating one control.
struct SetOutcome {
  enum Kind { kDone, kUsageError, kRefused } kind = kDone;
  // For a usage error, one sentence; for a refusal, one for each request
  // the printer refused (or for why the control could not be operated).
  std::vector<std::string> reasons;
};

class PanelSession {
 public:
  struct Opened {
    std::unique_ptr<PanelSession> session;
    std::string error;     // when there is no session
    bool noPanel = false;  // the PPD is not an engraver's
  };

  // Loads the plug-in bundle at `bundlePath` and asks it for a panel bound
  // to `host`'s printer. With `logToStandardError` the panel's log lines
  // also go to standard error, one per line.
  static Opened open(std::shared_ptr<host::CupsPpdHost> host, const std::string& bundlePath,
                     bool logToStandardError = false);

  ~PanelSession();
  PanelSession(const PanelSession&) = delete;
  PanelSession& operator=(const PanelSession&) = delete;

  // Loads the panel's view, restores the panel from the job's state and
  // shows it, as a dialog does before the panel first appears. The view
  // comes first so that the restore can set the boxes only it sets.
  void start();
  // Rebuilds the panel from the PPD's marks and the print settings, after
  // the host changed them itself (a preset): each claimed pick-one option
  // is announced first.
  void restoreFromHost();

  // Operates the control of PPD option `keyword` with `value` ("on"/"off",
  // a number, a choice keyword or dots per inch) and sends its action. A
  // number the printer refuses is named as it was given, not as the panel
  // read it ("99999999999999999999", not the largest int).
  SetOutcome set(const std::string& keyword, const std::string& value);

  PDEPanel& panel() const { return *panel_; }
  host::CupsPpdHost& host() const { return *host_; }
  // Hears of every request the panel makes of the host.
  void setRequestObserver(ObservedHost::Observer observer) { observed_->setObserver(std::move(observer)); }
  // The panel's root widget; nullptr when its view could not be loaded.
  QWidget* view() const { return view_; }
  // The panel's line of the summary, or nothing.
  std::map<std::string, std::string> summary() const;
  // The help the panel answers for: false when it opened its own.
  bool showHelp();

 private:
  PanelSession() = default;

  std::shared_ptr<host::CupsPpdHost> host_;
  std::shared_ptr<ObservedHost> observed_;
  std::unique_ptr<PlugInBundle> bundle_;
  std::shared_ptr<PDEPanel> panel_;
  QWidget* view_ = nullptr;
};

// The thirteen options a PPD must have for the panel, that `ppd` lacks.
std::vector<std::string> missingEngraverOptions(ppd_file_t* ppd);

}  // namespace zarvik::print
