// The print dialog host's side of the panel protocol, over a real PPD that
// libcups opened: it marks what it accepts with libcups and refuses, with a
// sentence for the person, what the printer cannot take.
//
// Accepted: an option keyword with one of its choice keywords, or a custom
// key ("Custom" + keyword) with a value text for the option's single custom
// parameter. Keywords, and the word "Custom", are read whatever the case of
// their letters, as libcups reads them when it marks: the host never refuses
// what libcups would mark, nor marks another option than it checked. A value text is read
// whole and the same in every locale: an integer parameter takes an optional
// sign and digits, a real one a decimal number with a point, a points one a
// decimal number with an optional unit (pt, in, ft, cm, mm, m); it must lie
// within the parameter's minimum and maximum. A change that brings a
// UIConstraints conflict that was not there before is refused and every
// mark, and the custom value, is put back as it was.
#pragma once

#include <cups/ppd.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "host/cups_handles.h"
#include "host/dialog_print_settings.h"
#include "host/status.h"
#include "plugin/pde_host.h"

namespace zarvik::host {

class CupsPpdHost final : public PDEPluginCallback {
 public:
  // Takes `ppd` over, puts its texts in the person's language when it
  // carries translations for it (ppdLocalize; keywords stay as they are),
  // and marks its defaults.
  explicit CupsPpdHost(ScopedPpd ppd);
  ~CupsPpdHost() override;
  CupsPpdHost(const CupsPpdHost&) = delete;
  CupsPpdHost& operator=(const CupsPpdHost&) = delete;

  // Opens a PPD file with libcups. The error is one sentence that says what
  // the file is when it is no PPD file (missing, a folder, empty, a PDF
  // document...), else libcups's reason and the line.
  static Expected<std::shared_ptr<CupsPpdHost>> openFile(const std::filesystem::path& path);

  // PDEPluginCallback.
  bool respondsToWillChangePPDOptionKeyValue() const override { return true; }
  ppd_file_t* ppdFile() override { return ppd_.get(); }
  bool willChangePPDOptionKeyValue(std::string_view key, std::string_view choice) override;
  PMPrintSettings* printSettings() override { return &settings_; }

  DialogPrintSettings& dialogSettings() { return settings_; }
  const DialogPrintSettings& dialogSettings() const { return settings_; }

  // One refusal: what was asked ("rasterSpeed=Custom.500", a custom key
  // written as its option's choice) and the sentence that says why not.
  struct Refusal {
    std::string request;
    std::string reason;
  };
  // Every refusal of the panel's requests and of mark(), in order.
  const std::vector<Refusal>& refusalLog() const { return refusalLog_; }
  // How many requests were refused since the host was made.
  int refusals() const { return static_cast<int>(refusalLog_.size()); }
  // The sentence of the last refusal, kept until the next refusal or
  // clearLastRefusal(); empty when nothing was refused.
  const std::string& lastRefusal() const { return lastRefusal_; }
  void clearLastRefusal() { lastRefusal_.clear(); }

  // Why the option `keyword` could not take the custom value `text`, by the
  // checks willChangePPDOptionKeyValue makes of it (its form and range, not
  // conflicts); nothing when it could. Marks nothing and records no refusal.
  std::optional<std::string> checkCustomValue(std::string_view keyword, std::string_view text);

  // Marks `choice` for the option `keyword` as willChangePPDOptionKeyValue
  // does; a choice "Custom.<value>" marks the option's custom value in one
  // step, and "Custom" without a value is refused. Nothing changes when it
  // is refused.
  [[nodiscard]] Status mark(std::string_view keyword, std::string_view choice);

  // A stored option left as it was, and the sentence that says why.
  struct Skipped {
    std::string option, choice, reason;
    bool unknown = false;  // the PPD has no such option
  };
  // What bringing stored options back did.
  struct ApplyReport {
    std::vector<std::string> applied;  // option keywords, in the order marked
    std::vector<Skipped> skipped;      // in the order of their keywords
  };
  // Marks stored options (keyword to choice, or to "Custom.<value>") with
  // the same checks as the panel's requests; refusals here are reported as
  // skipped, not as lastRefusal(). Options are tried again while any
  // succeeds, so a set that is free of conflicts as a whole goes in
  // whatever its order; an option the PPD does not have is skipped.
  ApplyReport applyOptions(const std::map<std::string, std::string>& options);

 private:
  struct Snapshot;
  struct CustomValue {
    ppd_cparam_t* param;
    ppd_cpvalue_t value;
  };
  // The value `text` gives the option's custom parameter, or the sentence
  // that says why it gives none.
  std::variant<CustomValue, std::string> readCustomValue(ppd_option_t* option, std::string_view text);
  // Each answers the refusal's sentence, or nothing when the change is made.
  std::optional<std::string> change(std::string_view key, std::string_view choice);
  std::optional<std::string> markOption(std::string_view keyword, std::string_view choice);
  std::optional<std::string> markChoice(ppd_option_t* option, std::string_view choice);
  std::optional<std::string> markCustomValue(ppd_option_t* option, std::string_view text);
  // Refuses and puts the marks back when the change just made added a
  // conflict.
  std::optional<std::string> keepUnlessConflicting(const Snapshot& before, ppd_option_t* option, const char* choice);
  std::string describeConflict(ppd_option_t* option, const char* choice);
  Snapshot snapshot();
  void restore(const Snapshot& before);
  Status refuse(std::string request, std::string sentence);

  ScopedPpd ppd_;
  DialogPrintSettings settings_;
  std::vector<Refusal> refusalLog_;
  std::string lastRefusal_;
};

}  // namespace zarvik::host
