#include "support/panel_agreement.h"

#include <cups/ppd.h>
#include <locale.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <tuple>

#include "host/cups_ppd_host.h"
#include "host/job_options.h"
#include "host/ppd_options.h"
#include "panel/ppd_text.h"
#include "panel/value_text.h"
#include "support/files.h"
#include "support/ppd_files.h"
#include "support/temporary_folder.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace zarvik::testing {
namespace {

// The settings as the checks and the steps name them, independently of the panel's own tables.
struct NumericSetting {
  const char* option;
  const char* slider;  // nullptr: the field alone
  const char *field, *suffix;
  bool decimal;
  double (*value)(const ZarvikPDE&);
};

template <auto field>
double valueOf(const ZarvikPDE& p) {
  return double(p.*field);
}

const NumericSetting kNumeric[] = {
    {"rasterSpeed", "rSpeedSlider", "rSpeedTextBox", ".rasterSpeed", false, valueOf<&ZarvikPDE::rSpeed>},
    {"rasterPower", "rPowerSlider", "rPowerTextBox", ".rasterPower", false, valueOf<&ZarvikPDE::rPower>},
    {"vectorSpeed", "vSpeedSlider", "vSpeedTextBox", ".vectorSpeed", false, valueOf<&ZarvikPDE::vSpeed>},
    {"vectorPower", "vPowerSlider", "vPowerTextBox", ".vectorPower", false, valueOf<&ZarvikPDE::vPower>},
    {"vectorFreq", "vFreqSlider", "vFreqTextBox", ".vectorFreq", false, valueOf<&ZarvikPDE::vFreq>},
    {"materialThickness", nullptr, "materialTextBox", ".materialThickness", true,
     valueOf<&ZarvikPDE::oMaterialThickness>},
    {"cResolution", "resolutionSlider", "resolutionTextBox", ".resolution", false, valueOf<&ZarvikPDE::resolution>},
};
constexpr int kResolutionSetting = 6;
constexpr double kResolutionSteps[] = {75, 150, 200, 300, 400, 600, 1200};

struct ChoiceSetting {
  const char *option, *popup;
  std::optional<std::string> ZarvikPDE::*field;
};

const ChoiceSetting kChoices[] = {
    {"JobType", "jobTypePopup", &ZarvikPDE::jobTypeChoice},
    {"CenterEngraving", "centerEngravingPopup", &ZarvikPDE::centerEngravingChoice},
    {"dithering", "ditheringPopup", &ZarvikPDE::ditheringChoice},
    {"EngravingDirection", "engravingDirectionPopup", &ZarvikPDE::engraveDirChoice},
    {"vectorSort", "vSortingPopup", &ZarvikPDE::vectorSortingChoice},
};

struct OnOffSetting {
  const char *option, *box;
  NSInteger ZarvikPDE::*field;
};

const OnOffSetting kOnOff[] = {
    {"directPrint", "directPrintCheckBox", &ZarvikPDE::oDirectPrint},
    {"autoFocus", "autoFocusCheckBox", &ZarvikPDE::oAutoFocus},
    {"vectorGrid", "vectorGridCheckBox", &ZarvikPDE::oVectorGrid},
    {"vectorSpeedComp", "vSpeedCompCheckBox", &ZarvikPDE::vSpeedComp},
    {"vectorPowerComp", "vPowerCompCheckBox", &ZarvikPDE::vPowerComp},
};

using host::sameKeyword;
using namespace std::string_literals;

int pick(std::mt19937& random, int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }
bool chance(std::mt19937& random, int percent) { return pick(random, 100) < percent; }

// A variant of the sample PPD: custom ranges that may exclude the panel's own defaults or hold no value at all,
// keywords spelt in another case, an extra constraint, optional options left out; and what the print settings hold
// before the panel is built.
using Stored = std::vector<std::pair<std::string, std::string>>;  // print-settings key suffix, value text
struct Variant {
  std::string text;
  std::vector<std::string> changes;
  Stored stored;
  bool printSettings = true;
};

// The dialog's host, noting each request ("key=choice"); without print settings the panel has its defaults and the PPD.
struct NotingHost final : PDEPluginCallback {
  NotingHost(std::shared_ptr<host::CupsPpdHost> host, bool settings) : host_(std::move(host)), settings_(settings) {}
  bool respondsToWillChangePPDOptionKeyValue() const override { return true; }
  ppd_file_t* ppdFile() override { return host_->ppdFile(); }
  bool willChangePPDOptionKeyValue(std::string_view key, std::string_view choice) override {
    requests.push_back(std::string(key) + "=" + std::string(choice));
    return host_->willChangePPDOptionKeyValue(key, choice);
  }
  PMPrintSettings* printSettings() override { return settings_ ? host_->printSettings() : nullptr; }
  std::shared_ptr<host::CupsPpdHost> host_;
  bool settings_;
  std::vector<std::string> requests;
};

// C's own "%f", "%ld" (as "%d" for an int) and reading in the "C" locale: the oracle for the panel's value texts.
struct InC {
  InC() : previous(uselocale(newlocale(LC_ALL_MASK, "C", nullptr))) {}
  ~InC() { freelocale(uselocale(previous)); }
  locale_t previous;
};
std::string cText(double value, bool decimal) {
  InC c;
  char text[400];
  if (decimal)
    std::snprintf(text, sizeof text, "%f", value);
  else
    std::snprintf(text, sizeof text, "%ld", static_cast<long>(value));
  return text;
}
double cRead(const std::string& text, bool decimal) {
  InC c;
  return decimal ? std::strtod(text.c_str(), nullptr) : double(std::strtol(text.c_str(), nullptr, 10));
}

std::string withRange(const std::string& text, const std::string& option, const std::string& range) {
  std::size_t line = text.find("*ParamCustom" + option + " "), end = text.find('\n', line);
  std::size_t type = text.find_first_of("ir", text.find(':', line));  // "int" or "real", kept
  return text.substr(0, type) + text.substr(type, text.find(' ', type) - type) + " " + range + text.substr(end);
}

// A text as a person writing `mark` for a decimal separator types it in a field taking `decimals` digits after it, and
// the number it means; nothing where the field must refuse it (more decimals, the other language's separator, as
// "1.000", a thousand in German, an exponent, letters, no digit).
std::pair<std::string, std::optional<double>> typedText(std::mt19937& random, int decimals, std::string mark) {
  const int places = pick(random, decimals + 2), kind = pick(random, 7);
  std::string c = std::to_string(pick(random, decimals ? 60 : 6000));
  for (int i = 0; i < places; ++i) c += (i ? "" : ".") + std::to_string(pick(random, 10));
  double value = 0;
  std::from_chars(c.data(), c.data() + c.size(), value);
  bool takes = places <= decimals;
  if (kind == 0) mark = mark == "," ? "." : ",", takes = takes && places == 0;
  auto means = [&](double sign) { return takes ? std::optional(sign * value) : std::nullopt; };
  std::string text = c.find('.') == c.npos ? c : c.replace(c.find('.'), 1, mark);
  if (kind == 1) return {"-" + text, means(-1)};
  if (kind == 2) return {(chance(random, 50) ? "+" : " ") + text + " ", means(1)};
  if (kind == 3) return {text + (chance(random, 50) ? "e" : "E") + "2", std::nullopt};
  if (kind == 4) return {std::array{"", "abc", "7abc", "-", "2,5 mm"}[pick(random, 5)], std::nullopt};
  return {text, means(1)};
}

// A value as the print settings or a preset hold it: C's notation, or what a careless store left.
std::string storedValueText(std::mt19937& random, bool decimal) {
  static const char* kOdd[] = {"\t\n+35", "1e999", "-1e-50", "99999999999", "9223372036854775808", "nan", "+-3"};
  return chance(random, 20) ? kOdd[pick(random, 7)] : typedText(random, decimal ? 5 : 0, ".").first;
}

Stored storedValues(std::mt19937& random) {
  Stored stored;
  for (int i = 0, n = 1 + pick(random, 3); i < n; ++i) {
    const NumericSetting& setting = kNumeric[pick(random, 7)];
    stored.emplace_back(setting.suffix, storedValueText(random, setting.decimal));
  }
  return stored;
}

Variant makeVariant(std::mt19937& random) {
  Variant variant{readFile(samplePpdPath()), {}, {}, true};
  static const std::pair<const char*, const char*> kRanges[] = {
      {"rasterSpeed", "60 100"},   {"rasterPower", "60 100"},        {"vectorSpeed", "1 40"},
      {"vectorPower", "100 0"},    {"vectorFreq", "600 5000"},       {"cResolution", "75 300"},
      {"cResolution", "700 1200"}, {"materialThickness", "1.0 5.0"}, {"rasterSpeed", "100 1"}};
  // With `percent` chance the PPD becomes `text`, which is the change `what`.
  auto vary = [&](int percent, std::string text, std::string what) {
    if (!chance(random, percent)) return false;
    variant.text = std::move(text);
    variant.changes.push_back(std::move(what));
    return true;
  };
  for (const auto& [option, range] : kRanges)
    vary(15, withRange(variant.text, option, range), std::string(option) + " range " + range);
  vary(25,
       variant.text +
           "*UIConstraints: *JobType Vector *dithering Random\n*UIConstraints: *dithering Random *JobType Vector\n",
       "JobType Vector conflicts with dithering Random");
  for (const char* option : {"materialThickness", "directPrint"})
    vary(10, withoutOption(variant.text, option), std::string("no ") + option);
  vary(20, replaceAll(variant.text, "JobType", "jobtype"), "JobType spelt jobtype");
  vary(15, withRange(replaceAll(variant.text, "*DefaultrasterSpeed: 100\n", ""), "rasterSpeed", "60 100"),
       "rasterSpeed range 60 100 and no default");
  vary(20, replaceAll(variant.text, "*autoFocus enabled/", "*autoFocus Enabled/"), "autoFocus choice spelt Enabled");
  vary(20,
       variant.text +
           "*UIConstraints: *JobType Vector *autoFocus disabled\n"
           "*UIConstraints: *autoFocus disabled *JobType Vector\n",
       "JobType Vector conflicts with autoFocus disabled");
  if (vary(10, variant.text, "a dialog without print settings"))
    variant.printSettings = false;
  else if (chance(random, 30))
    variant.stored = storedValues(random);
  return variant;
}

// One thing that happens at the dialog. Indices pick a setting of the tables above; `item` is taken modulo the number
// of items there are.
struct Step {
  enum Kind { kPick, kClick, kSlide, kType, kRestore, kShow, kHostChange, kPreset, kStoredValues } kind;
  int which = 0;
  unsigned item = 0;
  double at = 0;  // a slider's place: 0 its minimum, 1 its maximum
  std::string text{};
  std::optional<double> means{};  // the number the typed text means to the person, if the field must take it
  bool commit = true;
  std::map<std::string, std::string> options{};  // a preset's options
  Stored stored{};
  std::string what{};  // the step as a failure prints it
};

std::vector<Step> makeSteps(std::mt19937& random, int count, ppd_file_t* ppd, const std::string& mark) {
  std::vector<Step> steps;
  // Half the panels are shown before any restore.
  if (chance(random, 50)) steps.push_back({Step::kRestore, 0, 0, 0, "", {}, true, {}, {}, "restore"});
  steps.push_back({Step::kShow, 0, 0, 0, "", {}, true, {}, {}, "show"});
  while (static_cast<int>(steps.size()) < count) {
    Step step{static_cast<Step::Kind>(pick(random, 9))};
    // A person's changes are most of what happens.
    if (chance(random, 40)) step.kind = static_cast<Step::Kind>(pick(random, 4));
    std::ostringstream what;
    switch (step.kind) {
      case Step::kPick:
      case Step::kHostChange:
        step.which = pick(random, 5);
        step.item = static_cast<unsigned>(pick(random, 64));
        what << (step.kind == Step::kPick ? "pick item " : "another panel marks choice ") << step.item << " of "
             << kChoices[step.which].popup << (step.kind == Step::kPick ? "" : ", show");
        break;
      case Step::kClick:
        step.which = pick(random, 5);
        what << "click " << kOnOff[step.which].box;
        break;
      case Step::kSlide:
        step.which = std::array{0, 1, 2, 3, 4, kResolutionSetting}[pick(random, 6)];
        step.at = std::uniform_real_distribution<double>(-0.05, 1.05)(random);
        what << "drag " << kNumeric[step.which].slider << " to " << step.at << " of its range";
        break;
      case Step::kType:
        step.which = pick(random, 6);
        std::tie(step.text, step.means) = typedText(random, kNumeric[step.which].decimal ? 2 : 0, mark);
        step.commit = chance(random, 70);
        what << "type \"" << step.text << "\" in " << kNumeric[step.which].field << (step.commit ? ", Return" : "");
        break;
      case Step::kPreset:
        what << "preset";
        for (int i = 0, n = 1 + pick(random, 4); i < n; ++i) {
          int setting = pick(random, 17);
          std::string option = setting < 5    ? kChoices[setting].option
                               : setting < 10 ? kOnOff[setting - 5].option
                                              : kNumeric[setting - 10].option;
          ppd_option_t* found = ppdFindOption(ppd, option.c_str());
          if (found == nullptr || found->num_choices <= 0) continue;
          std::string& choice = step.options[found->keyword];
          choice = setting >= 10 && chance(random, 50)
                       ? "Custom." + storedValueText(random, kNumeric[setting - 10].decimal)
                       : std::string(found->choices[pick(random, found->num_choices)].choice);
          what << " " << found->keyword << "=" << choice;
        }
        break;
      case Step::kStoredValues:
        what << "print settings hold";
        step.stored = storedValues(random);
        for (const auto& [suffix, text] : step.stored) what << " " << suffix << "=\"" << text << "\"";
        what << ", restore";
        break;
      default:
        what << (step.kind == Step::kRestore ? "restore" : "show");
        break;
    }
    step.what = what.str();
    steps.push_back(std::move(step));
  }
  return steps;
}

// One sequence against a fresh host and panel.
class Sequence {
 public:
  Sequence(PanelPlatform& platform, const std::filesystem::path& ppdPath, const Variant& variant, bool german)
      : platform_(platform), ppdPath_(ppdPath), variant_(variant), german_(german) {}

  // The first disagreement: the index of the step after which it showed (-1 for the panel as built), and what
  // disagreed.
  struct Failure {
    int step;
    std::string what;
  };

  std::optional<Failure> run(const std::vector<Step>& steps) {
    auto opened = host::CupsPpdHost::openFile(ppdPath_);
    if (!opened.ok()) return Failure{-1, opened.error()};
    host_ = opened.take();
    store(variant_.stored);
    noting_ = std::make_shared<NotingHost>(host_, variant_.printSettings);
    panel_ = platform_.build(noting_);
    if (!panel_) return Failure{-1, "the plug-in gave no panel"};
    if (auto what = check()) return Failure{-1, *what};
    for (std::size_t i = 0; i < steps.size(); ++i) {
      // A step that moves the focus also ends an unfinished edit: held to the agreement only.
      const bool pending =
          view_ && std::ranges::any_of(kNumeric, [&](auto& n) { return view_->hasPendingEdit(n.field); });
      const Before before{held(false), held(true), view_ && view_->state("autoFocusCheckBox") == 1,
                          view_ && view_->state("vectorGridCheckBox") == 1, pending};
      noting_->requests.clear();
      const bool took = perform(steps[i]);
      justRestored_ =
          steps[i].kind == Step::kRestore || steps[i].kind == Step::kPreset || steps[i].kind == Step::kStoredValues;
      restored_ = restored_ || justRestored_;
      std::string what = check().value_or("") + intent(steps[i], before, took);
      // A value text goes to the host as C writes it: "%d", or "%f" for the thickness.
      for (const std::string& request : noting_->requests) {
        const bool decimal = request.starts_with("CustommaterialThickness");
        const std::string text = request.substr(request.find('=') + 1);
        if (request.starts_with("Custom") && text != cText(cRead(text, decimal), decimal)) what += "  asked " + request;
      }
      if (!what.empty()) return Failure{static_cast<int>(i), what};
    }
    return std::nullopt;
  }

 private:
  void store(const Stored& stored) {
    for (const auto& [suffix, text] : stored)
      (void)host_->printSettings()->setValue(std::string(kPanelKind) + suffix, text, false);
  }
  // Whether a person's input was taken by its control.
  bool perform(const Step& step) {
    switch (step.kind) {
      case Step::kPick:
        if (int count = view_ ? view_->itemCount(kChoices[step.which].popup) : 0; count > 0)
          return view_->pickItem(kChoices[step.which].popup,
                                 static_cast<int>(step.item % static_cast<unsigned>(count)));
        break;
      case Step::kClick:
        return view_ && view_->clickCheckBox(kOnOff[step.which].box);
      case Step::kSlide:
        if (view_) {
          const char* slider = kNumeric[step.which].slider;
          double low = view_->sliderMinimum(slider), high = view_->sliderMaximum(slider);
          double position = std::clamp(std::round(low + step.at * (high - low)), low, high);
          slidTo_ = step.which != kResolutionSetting ? position : kResolutionSteps[std::size_t(position)];
          return view_->moveSlider(slider, low + step.at * (high - low));
        }
        break;
      case Step::kType:
        return view_ && view_->typeText(kNumeric[step.which].field, step.text, step.commit);
      case Step::kRestore:
        panel_->restore();
        break;
      case Step::kShow:
        if (!view_) view_ = panel_->loadView();
        panel_->willShow();
        break;
      case Step::kHostChange: {
        ppd_option_t* option = ppdFindOption(host_->ppdFile(), kChoices[step.which].option);
        if (option == nullptr || option->num_choices <= 0) break;
        std::string choice = option->choices[step.item % static_cast<unsigned>(option->num_choices)].choice;
        // Another panel of the dialog changes the option; the person sees this panel again only once it is shown again.
        if (host_->mark(option->keyword, choice).ok()) panel_->optionDidChange(kChoices[step.which].option, choice);
        if (view_) panel_->willShow();
        break;
      }
      case Step::kPreset:
        (void)host_->applyOptions(step.options);
        // As the dialog brings a preset back: each option the panel shows is announced, then the panel is restored and
        // shown again.
        for (const std::string& keyword : panel_->core().supportedPPDOptionKeys()) {
          if (ppd_choice_t* marked = ppdFindMarkedChoice(host_->ppdFile(), keyword.c_str()))
            panel_->optionDidChange(keyword, marked->choice);
        }
        panel_->restore();
        if (view_) panel_->willShow();
        break;
      case Step::kStoredValues:
        store(step.stored);
        panel_->restore();
        break;
    }
    return false;
  }

  // The job's options (and print settings), to tell whether a step changed anything.
  std::string held(bool withPrintSettings) const {
    std::ostringstream out;
    for (const auto& [option, choice] : host::jobOptionsFromMarks(host_->ppdFile()).options) out << option << choice;
    if (withPrintSettings)
      for (const auto& [key, text] : host_->dialogSettings().values()) out << key << text;
    return out.str();
  }
  struct Before {
    std::string held, all;
    bool autoFocusOn, gridOn, pendingEdit;
  };

  // A person's intent: a show or a text the field must refuse changes and sends nothing; a typed number is taken
  // whole or refused (not where the printer takes it); a number goes as "Custom", then its C text, kept in the print
  // settings; vector grid goes off before auto focus.
  std::string intent(const Step& step, const Before& before, bool took) {
    std::string asks;
    for (const std::string& request : noting_->requests) asks += " " + request;
    if (step.kind == Step::kShow ||
        (step.kind == Step::kType && !before.pendingEdit && !(took && step.commit && step.means)))
      return asks.empty() && held(true) == before.all ? "" : "  it changed the job or asked" + asks + "\n";
    if (before.pendingEdit || !took) return "";
    if (step.kind == Step::kClick && kOnOff[step.which].field == &ZarvikPDE::oAutoFocus) {
      std::string order = before.autoFocusOn ? (before.gridOn ? " vectorGrid=disabled" : ""s) + " autoFocus=disabled"
                                             : " autoFocus=enabled";
      return asks == order ? "" : "  auto focus asked" + asks + "\n";
    }
    // A pop-up or a box asks for its own option, once.
    if (step.kind == Step::kPick || step.kind == Step::kClick) {
      std::string option = step.kind == Step::kPick ? kChoices[step.which].option : kOnOff[step.which].option;
      return asks.starts_with(" " + option + "=") && asks.find(' ', 1) == asks.npos ? "" : "  asked" + asks + "\n";
    }
    if (step.kind != Step::kSlide && step.kind != Step::kType) return "";
    const NumericSetting& setting = kNumeric[step.which];
    const std::string option = setting.option, key = std::string(kPanelKind) + setting.suffix;
    const double meant = step.kind == Step::kSlide ? slidTo_ : setting.decimal ? float(*step.means) : *step.means;
    const double field = setting.value(panel_->core());
    std::string out, wanted = " " + option + "=Custom Custom" + option + "=" + cText(meant, setting.decimal);
    if (!asks.empty() && asks != " " + option + "=Custom" && !(asks + " ").starts_with(wanted + " "))
      out += "  asked" + asks + "\n";
    const auto& stored = host_->dialogSettings().values();
    if (!asks.empty() && variant_.printSettings &&
        (!stored.contains(key) || stored.find(key)->second != cText(field, setting.decimal)))
      out += "  print settings hold " + (stored.contains(key) ? stored.find(key)->second : "nothing"s) + "\n";
    if (step.kind == Step::kType && field != meant &&
        (held(false) != before.held || inCustomRange(option.c_str(), meant)))
      out += "  \"" + step.text + "\" was not taken as " + cText(meant, true) + "\n";
    return out;
  }

  // Whether the PPD gives the option a custom value and `value` lies in its range.
  bool inCustomRange(const char* option, double value) const {
    ppd_cparam_t* p = ppdFirstCustomParam(ppdFindCustomOption(host_->ppdFile(), option));
    if (p && p->type == PPD_CUSTOM_INT) return value >= p->minimum.custom_int && value <= p->maximum.custom_int;
    return p && p->type == PPD_CUSTOM_REAL && value >= p->minimum.custom_real && value <= p->maximum.custom_real;
  }

  // What the PPD holds for an option, as its marked choice and as a number.
  std::optional<std::string> marked(const char* option) const {
    ppd_choice_t* choice = ppdFindMarkedChoice(host_->ppdFile(), option);
    return choice ? std::optional(keywordString(choice->choice)) : std::nullopt;
  }
  std::optional<double> markedNumber(const char* option) const {
    std::optional<std::string> choice = marked(option);
    if (!choice || *choice != "Custom") return choice ? keywordNumber(*choice) : std::nullopt;
    ppd_cparam_t* param = ppdFirstCustomParam(ppdFindCustomOption(host_->ppdFile(), option));
    if (param == nullptr) return std::nullopt;
    return param->type == PPD_CUSTOM_INT ? double(param->current.custom_int) : double(param->current.custom_real);
  }

  std::optional<std::string> check() {
    const ZarvikPDE& p = panel_->core();
    ppd_file_t* ppd = host_->ppdFile();
    const std::map<std::string, std::string> job = host::jobOptionsFromMarks(ppd).options;
    auto jobValue = [&](const char* option) -> std::optional<std::string> {
      auto found = std::ranges::find_if(job, [&](const auto& sent) { return sameKeyword(sent.first, option); });
      return found == job.end() ? std::nullopt : std::optional(found->second);
    };
    std::ostringstream out;
    auto expect = [&](bool ok, const std::string& what) { out << (ok ? "" : "  " + what + "\n"); };
    auto show = [](const std::optional<std::string>& text) { return text ? "\"" + *text + "\"" : "nothing"s; };

    for (const ChoiceSetting& setting : kChoices) {
      const std::optional<std::string>& field = p.*setting.field;
      std::optional<std::string> mark = marked(setting.option), sent = jobValue(setting.option);
      // Vector sorting has no default of the panel's: its pop-up is blank until a restore.
      expect(field == mark || (!field && !restored_ && setting.field == &ZarvikPDE::vectorSortingChoice),
             std::string(setting.option) + ": field " + show(field) + ", PPD " + show(mark));
      expect(sent == mark, std::string(setting.option) + ": job " + show(sent));
      if (view_ && p.popUpIsInited) {
        std::optional<std::string> shown = view_->shownKeyword(setting.popup);
        expect(shown == field, std::string(setting.popup) + " shows " + show(shown) + ", field " + show(field));
      }
    }

    for (const OnOffSetting& setting : kOnOff) {
      NSInteger field = p.*setting.field;
      if (ppdFindOption(ppd, setting.option)) {
        std::optional<std::string> mark = marked(setting.option), sent = jobValue(setting.option);
        // Only "enabled" is on; a restore reads "Enabled" as off, a click as on.
        NSInteger on = mark == "enabled" ? 1 : 0;
        expect(field == on || (!justRestored_ && mark && sameKeyword(*mark, "enabled")),
               std::string(setting.option) + ": field " + std::to_string(field) + ", PPD " + show(mark));
        expect(sent == mark, std::string(setting.option) + ": job " + show(sent));
      }
      if (const int shown = view_ ? view_->state(setting.box) : 0; view_)
        expect(shown == field,
               std::string(setting.box) + " shows " + std::to_string(shown) + ", field " + std::to_string(field));
    }
    for (std::string control : {"materialText", "materialTextBox", "vectorGridCheckBox"}) {
      const bool enabled = view_ && view_->isEnabled(control);
      if (view_)
        expect(enabled == (p.oAutoFocus == 1),
               control + " enabled " + std::to_string(enabled) + ", auto focus " + std::to_string(p.oAutoFocus));
    }

    for (const NumericSetting& setting : kNumeric) {
      const double field = setting.value(p);
      auto same = [&](double a, double b) { return setting.decimal ? float(a) == float(b) : a == b; };
      const std::string name = setting.option;
      if (ppdFindOption(ppd, setting.option)) {
        std::optional<double> held = markedNumber(setting.option);
        expect(held && same(*held, field), name + ": field " + formatFloat(field) + ", PPD " +
                                               (held ? formatFloat(*held) : show(marked(setting.option))));
        std::optional<std::string> sent = jobValue(setting.option);
        std::optional<double> number =
            sent ? keywordNumber(sent->starts_with("Custom.") ? sent->substr(7) : *sent) : std::nullopt;
        expect(number && same(*number, field), name + ": field " + formatFloat(field) + ", job " + show(sent));
        // A custom value the printer refused, or one nobody chose, never reaches the job.
        if (sent && sent->starts_with("Custom.") && ppdFirstCustomParam(ppdFindCustomOption(ppd, setting.option)))
          expect(inCustomRange(setting.option, keywordNumber(sent->substr(7)).value_or(NAN)),
                 name + ": job " + show(sent));
      }
      // The print settings agree when the panel reads back what it holds.
      const auto& stored = host_->dialogSettings().values();
      if (auto found = stored.find(std::string(kPanelKind) + setting.suffix);
          variant_.printSettings && found != stored.end()) {
        double readBack = cRead(found->second, setting.decimal);
        expect(same(readBack, field),
               name + ": print settings hold \"" + found->second + "\", field " + formatFloat(field));
      }
      if (!view_) continue;
      if (!view_->hasPendingEdit(setting.field)) {
        // As a person reads it: German writes a comma for C's point, and no point.
        std::string text = view_->text(setting.field);
        if (german_)
          for (char& c : text) c = c == ',' ? '.' : c == '.' ? '?' : c;
        std::optional<double> shown = keywordNumber(text);
        expect(
            shown && float(*shown) == float(field),
            std::string(setting.field) + " shows \"" + view_->text(setting.field) + "\", field " + formatFloat(field));
      }
      if (setting.slider == nullptr) continue;
      double wanted = field;
      if (&setting == &kNumeric[kResolutionSetting]) {
        // The slider shows the resolution's step; one between steps shows at the 600 dpi step.
        auto step = std::find(std::begin(kResolutionSteps), std::end(kResolutionSteps), field);
        wanted = step == std::end(kResolutionSteps) ? 5 : double(step - std::begin(kResolutionSteps));
      }
      const double slid = view_->sliderValue(setting.slider);
      expect(slid == wanted,
             std::string(setting.slider) + " shows " + formatFloat(slid) + ", wanted " + formatFloat(wanted));
    }
    return out.str().empty() ? std::nullopt : std::optional(out.str());
  }

  PanelPlatform& platform_;
  std::filesystem::path ppdPath_;
  const Variant& variant_;
  std::shared_ptr<host::CupsPpdHost> host_;
  std::shared_ptr<NotingHost> noting_;
  std::unique_ptr<DrivenPanel> panel_;
  ViewDriver* view_ = nullptr;
  bool german_;
  bool restored_ = false, justRestored_ = false;
  double slidTo_ = 0;  // where the last drag left the slider, as the number it stands for
};

long environmentNumber(const char* name, long fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

}  // namespace

AgreementRun agreementRunFromEnvironment(long defaultSequences) {
  AgreementRun run;
  run.sequences = environmentNumber("ZARVIK_AGREEMENT_SEQUENCES", defaultSequences);
  run.firstSeed = static_cast<std::uint32_t>(environmentNumber("ZARVIK_AGREEMENT_SEED", 1));
  if (const char* replay = std::getenv("ZARVIK_AGREEMENT_REPLAY"); replay && *replay) {
    std::istringstream in(replay);
    std::string seed, step;
    std::getline(in, seed, ':');
    run.firstSeed = static_cast<std::uint32_t>(std::strtoul(seed.c_str(), nullptr, 10));
    run.sequences = 1;
    run.replay.emplace();
    while (std::getline(in, step, ',')) run.replay->push_back(std::atoi(step.c_str()));
  }
  return run;
}

AgreementResult runAgreement(PanelPlatform& platform, const AgreementRun& run) {
  AgreementResult result;
  // The separator of the language the run is asked for: a toolkit in another fails it.
  const char* language = std::getenv("ZARVIK_EXPECTED_LANGUAGE");
  const std::string separator = language && std::string(language) == "de" ? "," : ".";
  TemporaryFolder folder("zarvik-agreement");
  for (long i = 0; i < run.sequences; ++i) {
    const std::uint32_t seed = run.firstSeed + static_cast<std::uint32_t>(i);
    std::mt19937 random(seed);
    Variant variant = makeVariant(random);
    const std::filesystem::path path = folder.path() / ("variant-" + std::to_string(seed) + ".ppd");
    writeFile(path, variant.text);
    // A PPD libcups cannot open fails the sequence as the panel is built.
    const std::vector<Step> all = makeSteps(random, run.steps, openPpd(path).get(), separator);
    std::vector<int> kept(all.size());
    for (std::size_t k = 0; k < all.size(); ++k) kept[k] = static_cast<int>(k);
    if (run.replay) kept = *run.replay;
    auto stepsOf = [&](const std::vector<int>& indices) {
      std::vector<Step> steps;
      for (int k : indices)
        if (k >= 0 && k < static_cast<int>(all.size())) steps.push_back(all[static_cast<std::size_t>(k)]);
      return steps;
    };

    std::optional<Sequence::Failure> failure = Sequence(platform, path, variant, separator == ",").run(stepsOf(kept));
    ++result.sequences;
    result.steps += static_cast<long>(kept.size());
    if (!failure) continue;

    // Shorten: drop every step the failure does not need, and the steps after it.
    kept.resize(static_cast<std::size_t>(failure->step + 1));
    for (std::size_t k = 0; k < kept.size();) {
      std::vector<int> fewer = kept;
      fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(k));
      if (auto shorter = Sequence(platform, path, variant, separator == ",").run(stepsOf(fewer))) {
        kept = fewer;
        kept.resize(static_cast<std::size_t>(shorter->step + 1));
        failure = shorter;
      } else {
        ++k;
      }
    }
    std::ostringstream out;
    out << platform.name() << ": after " << kept.size() << " steps the panel disagrees with the job.\nPPD: the sample";
    for (const std::string& change : variant.changes) out << "; " << change;
    for (const auto& [suffix, text] : variant.stored)
      out << "; print settings hold " << suffix << "=\"" << text << "\"";
    out << "\n";
    std::string replay = std::to_string(seed) + ":";
    for (std::size_t k = 0; k < kept.size(); ++k) {
      out << "  " << k + 1 << ". " << all[static_cast<std::size_t>(kept[k])].what << "\n";
      replay += (k ? "," : "") + std::to_string(kept[k]);
    }
    if (kept.empty()) out << "  (as built)\n";
    out << failure->what << "Replay: ZARVIK_AGREEMENT_REPLAY=" << replay << "\n";
    result.failure = out.str();
    return result;
  }
  return result;
}

}  // namespace zarvik::testing
