#include "zarvik-print/panel_session.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "host/ppd_options.h"
#include "host/texts.h"
#include "platform/qt/qt_controls.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace zarvik::print {
namespace {

// The panel's controls by the PPD option a person sets with them.
enum class ControlKind { kPopup, kOnOff, kInteger, kDecimal, kResolution };

struct ControlFor {
  const char* keyword;
  const char* outlet;
  ControlKind kind;
};

constexpr ControlFor kControls[] = {
    {"JobType", "jobTypePopup", ControlKind::kPopup},
    {"CenterEngraving", "centerEngravingPopup", ControlKind::kPopup},
    {"EngravingDirection", "engravingDirectionPopup", ControlKind::kPopup},
    {"dithering", "ditheringPopup", ControlKind::kPopup},
    {"vectorSort", "vSortingPopup", ControlKind::kPopup},
    {"directPrint", "directPrintCheckBox", ControlKind::kOnOff},
    {"autoFocus", "autoFocusCheckBox", ControlKind::kOnOff},
    {"vectorGrid", "vectorGridCheckBox", ControlKind::kOnOff},
    {"vectorSpeedComp", "vSpeedCompCheckBox", ControlKind::kOnOff},
    {"vectorPowerComp", "vPowerCompCheckBox", ControlKind::kOnOff},
    // The numbers are typed into the field beside each slider.
    {"rasterSpeed", "rSpeedTextBox", ControlKind::kInteger},
    {"rasterPower", "rPowerTextBox", ControlKind::kInteger},
    {"vectorSpeed", "vSpeedTextBox", ControlKind::kInteger},
    {"vectorPower", "vPowerTextBox", ControlKind::kInteger},
    {"vectorFreq", "vFreqTextBox", ControlKind::kInteger},
    {"materialThickness", "materialTextBox", ControlKind::kDecimal},
    {"cResolution", "resolutionSlider", ControlKind::kResolution},
};

constexpr const char* kRequiredOptions[] = {
    "JobType",         "CenterEngraving", "rasterPower", "rasterSpeed", "EngravingDirection",
    "dithering",       "vectorSpeed",     "vectorPower", "vectorFreq",  "vectorSort",
    "vectorSpeedComp", "vectorPowerComp", "cResolution"};

constexpr int kResolutionSteps[] = {75, 150, 200, 300, 400, 600, 1200};

// A sign and digits, however many: a number beyond any range is still a
// number, which the printer refuses with its range, not a malformed value.
bool isWholeNumber(const std::string& text) {
  std::size_t digits = !text.empty() && (text.front() == '-' || text.front() == '+') ? 1 : 0;
  if (digits == text.size()) return false;
  for (std::size_t i = digits; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

bool isDecimalNumber(const std::string& text) {
  // from_chars takes a "-" but no "+": read both alike.
  std::string_view number = text;
  if (number.starts_with('+') && !number.substr(1).starts_with('-')) number.remove_prefix(1);
  double value;
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::fixed);
  return ec == std::errc() && end == number.data() + number.size() && std::isfinite(value);
}

SetOutcome usage(std::string reason) { return {SetOutcome::kUsageError, {std::move(reason)}}; }
SetOutcome refused(std::string reason) { return {SetOutcome::kRefused, {std::move(reason)}}; }

// A log line as logged: a line of its own. An entry whose message holds a
// line break keeps it, as the system log does.
void writeLogLine(const char* entry, std::size_t length, void*) {
  std::fwrite(entry, 1, length, stderr);
  std::fputc('\n', stderr);
}

}  // namespace

std::vector<std::string> missingEngraverOptions(ppd_file_t* ppd) {
  std::vector<std::string> missing;
  for (const char* keyword : kRequiredOptions) {
    if (ppd == nullptr || ppdFindOption(ppd, keyword) == nullptr) missing.push_back(keyword);
  }
  return missing;
}

PanelSession::Opened PanelSession::open(std::shared_ptr<host::CupsPpdHost> host, const std::string& bundlePath,
                                        bool logToStandardError) {
  PlugInBundle::Opened opened = PlugInBundle::open(bundlePath);
  if (!opened.bundle) return {nullptr, opened.error, false};
  if (logToStandardError) opened.bundle->routeLog(writeLogLine, nullptr);
  auto observed = std::make_shared<ObservedHost>(host);
  std::optional<PDEPanelList> panels =
      opened.bundle->principalClass().PDEPanelsForType(kPrintDialogExtensionType, observed);
  if (!panels || panels->empty()) {
    std::string error = "this printer is not a Zarvik engraver: its PPD lacks";
    for (const std::string& keyword : missingEngraverOptions(host->ppdFile())) error += " " + keyword;
    return {nullptr, error, true};
  }
  std::unique_ptr<PanelSession> session(new PanelSession());
  session->host_ = std::move(host);
  session->observed_ = std::move(observed);
  session->bundle_ = std::move(opened.bundle);
  session->panel_ = panels->front();
  return {std::move(session), {}, false};
}

PanelSession::~PanelSession() {
  // The panel goes before the bundle that made it.
  panel_.reset();
}

void PanelSession::start() {
  if (NSView* view = panel_->panelView()) view_ = static_cast<QWidget*>(view->nativeView());
  panel_->restoreValuesAndReturnError(nullptr);
  panel_->willShow();
}

void PanelSession::restoreFromHost() {
  ppd_file_t* ppd = host_->ppdFile();
  for (const std::string& keyword : panel_->supportedPPDOptionKeys()) {
    if (ppd_choice_t* marked = ppdFindMarkedChoice(ppd, keyword.c_str())) {
      panel_->PPDOptionKeyValueDidChange(keyword, std::string(marked->choice));
    }
  }
  panel_->restoreValuesAndReturnError(nullptr);
  panel_->willShow();
}

std::map<std::string, std::string> PanelSession::summary() const {
  return panel_->summaryInfo().value_or(std::map<std::string, std::string>{});
}

bool PanelSession::showHelp() { return panel_->shouldShowHelp(); }

SetOutcome PanelSession::set(const std::string& keyword, const std::string& value) {
  const ControlFor* control = nullptr;
  // Keys and choices are read as libcups reads keywords, whatever the case.
  for (const ControlFor& candidate : kControls) {
    if (host::sameKeyword(keyword, candidate.keyword)) control = &candidate;
  }
  if (control == nullptr) return usage("unknown setting " + host::quotedText(keyword));
  if (view_ == nullptr) return refused("the panel's view could not be loaded");
  QWidget* widget = view_->findChild<QWidget*>(QString::fromUtf8(control->outlet));
  if (widget == nullptr) return refused(std::string("the panel has no control for ") + control->keyword);
  const std::string name = host::shownText(keyword);
  const std::string given = host::quotedText(value);

  // Check the value before touching anything.
  int resolutionPosition = -1;
  switch (control->kind) {
    case ControlKind::kOnOff:
      if (value != "on" && value != "off") return usage(name + " takes on or off, not " + given);
      break;
    case ControlKind::kInteger:
      if (!isWholeNumber(value)) return usage(name + " takes a whole number, not " + given);
      break;
    case ControlKind::kDecimal: {
      if (!isDecimalNumber(value)) return usage(name + " takes a decimal number, not " + given);
      // The field takes no more decimals than its view gives it; more
      // would not be the number the field holds.
      const int allowed = widget->property(qt::kDecimalsProperty).toInt();
      std::size_t point = value.find('.');
      std::size_t decimals = point == std::string::npos ? 0 : value.size() - point - 1;
      if (decimals > static_cast<std::size_t>(allowed)) {
        return usage(name + " takes at most " + std::to_string(allowed) + " decimals, not " + given);
      }
      break;
    }
    case ControlKind::kResolution: {
      long dotsPerInch = 0;
      auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), dotsPerInch);
      bool whole = ec == std::errc() && end == value.data() + value.size();
      for (int i = 0; whole && i < static_cast<int>(std::size(kResolutionSteps)); ++i) {
        if (dotsPerInch == kResolutionSteps[i]) resolutionPosition = i;
      }
      if (resolutionPosition < 0) {
        return usage(name + " takes one of the steps 75, 150, 200, 300, 400, 600, 1200, not " + given);
      }
      break;
    }
    case ControlKind::kPopup:
      break;
  }
  if (!widget->isEnabled()) {
    // A box that already shows what is asked needs no click: the job gets
    // what the script wants, and nothing was refused.
    if (auto* box = qobject_cast<QAbstractButton*>(widget);
        control->kind == ControlKind::kOnOff && box != nullptr && box->isChecked() == (value == "on")) {
      return {};
    }
    return refused(
        std::string("the control for ") + control->keyword + " is not available now" +
        (control->keyword == std::string_view("vectorGrid") || control->keyword == std::string_view("materialThickness")
             ? " (it needs auto focus on)"
             : ""));
  }

  // The field reads a number as the panel does, which may not be what was
  // typed (a number beyond an int saturates, one beyond a float is lost):
  // the printer's answer to the value as given decides, before the field
  // is touched.
  if (control->kind == ControlKind::kInteger || control->kind == ControlKind::kDecimal) {
    // Offered as given, the printer refuses it as the dialog shows.
    if (host_->checkCustomValue(control->keyword, value) &&
        !observed_->willChangePPDOptionKeyValue(std::string("Custom") + control->keyword, value)) {
      return refused(host_->lastRefusal());
    }
  }
  // A field holds whole numbers as exact floats and puts back any other,
  // which then reaches no printer to say why.
  if (control->kind == ControlKind::kInteger) {
    double number = 0;
    std::string_view digits = value;
    if (digits.starts_with('+')) digits.remove_prefix(1);
    std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (static_cast<double>(static_cast<float>(number)) != number)
      return refused(name + " cannot hold " + given);
  }
  const std::size_t refusalsBefore = host_->refusalLog().size();
  host_->clearLastRefusal();
  // Set the control, then send its action, as the toolkit does for a person.
  switch (control->kind) {
    case ControlKind::kPopup: {
      auto* combo = qobject_cast<QComboBox*>(widget);
      if (combo == nullptr) return refused(std::string("the control for ") + control->keyword + " is no pop-up");
      // The items carry their keywords as bytes, as the PPD spells them.
      int index = -1;
      for (int i = 0; index < 0 && i < combo->count(); ++i) {
        if (host::sameKeyword(combo->itemData(i).toByteArray().toStdString(), value)) index = i;
      }
      if (index < 0) {
        std::string offered;
        for (int i = 0; i < combo->count(); ++i)
          offered.append(" ").append(combo->itemData(i).toByteArray().toStdString());
        return usage(name + " offers no choice " + given + "; it offers" + offered);
      }
      combo->setCurrentIndex(index);
      emit combo->activated(index);
      break;
    }
    case ControlKind::kOnOff: {
      auto* box = qobject_cast<QAbstractButton*>(widget);
      if (box == nullptr) return refused(std::string("the control for ") + control->keyword + " is no box");
      bool on = value == "on";
      box->setChecked(on);
      emit box->clicked(on);
      break;
    }
    case ControlKind::kInteger:
    case ControlKind::kDecimal: {
      auto* field = qobject_cast<QLineEdit*>(widget);
      if (field == nullptr) return refused(std::string("the control for ") + control->keyword + " is no field");
      // Typed as a person of the dialog's language types it.
      QString text = QString::fromUtf8(value).replace(QLatin1Char('.'), QLocale().decimalPoint());
      field->setText(text);
      emit field->textEdited(text);
      emit field->editingFinished();
      break;
    }
    case ControlKind::kResolution: {
      auto* slider = qobject_cast<QAbstractSlider*>(widget);
      if (slider == nullptr) return refused("the resolution control is no slider");
      {
        QSignalBlocker quiet(slider);
        slider->setValue(resolutionPosition);
      }
      emit slider->valueChanged(resolutionPosition);
      break;
    }
  }
  const std::vector<host::CupsPpdHost::Refusal>& log = host_->refusalLog();
  if (log.size() == refusalsBefore) return {};
  SetOutcome outcome{SetOutcome::kRefused, {}};
  for (std::size_t i = refusalsBefore; i < log.size(); ++i) outcome.reasons.push_back(log[i].reason);
  return outcome;
}

}  // namespace zarvik::print
