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
#include <map>
#include <numeric>
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

// The settings as the checks and the steps name them, independently of the panel's own tables: the option, the control
// that shows it and, for a number, the slider beside its field (nullptr: the field alone) and its print-settings key.
struct Setting {
  enum Kind { kChoice, kOnOff, kNumber, kDecimal } kind;
  const char *option, *control, *slider = nullptr, *suffix = nullptr;
};

const Setting kSettings[] = {
    {Setting::kChoice, "JobType", "jobTypePopup"},
    {Setting::kChoice, "CenterEngraving", "centerEngravingPopup"},
    {Setting::kChoice, "dithering", "ditheringPopup"},
    {Setting::kChoice, "EngravingDirection", "engravingDirectionPopup"},
    {Setting::kChoice, "vectorSort", "vSortingPopup"},
    {Setting::kOnOff, "directPrint", "directPrintCheckBox"},
    {Setting::kOnOff, "autoFocus", "autoFocusCheckBox"},
    {Setting::kOnOff, "vectorGrid", "vectorGridCheckBox"},
    {Setting::kOnOff, "vectorSpeedComp", "vSpeedCompCheckBox"},
    {Setting::kOnOff, "vectorPowerComp", "vPowerCompCheckBox"},
    {Setting::kNumber, "rasterSpeed", "rSpeedTextBox", "rSpeedSlider", ".rasterSpeed"},
    {Setting::kNumber, "rasterPower", "rPowerTextBox", "rPowerSlider", ".rasterPower"},
    {Setting::kNumber, "vectorSpeed", "vSpeedTextBox", "vSpeedSlider", ".vectorSpeed"},
    {Setting::kNumber, "vectorPower", "vPowerTextBox", "vPowerSlider", ".vectorPower"},
    {Setting::kNumber, "vectorFreq", "vFreqTextBox", "vFreqSlider", ".vectorFreq"},
    {Setting::kDecimal, "materialThickness", "materialTextBox", nullptr, ".materialThickness"},
    {Setting::kNumber, "cResolution", "resolutionTextBox", "resolutionSlider", ".resolution"},
};
constexpr int kFirstOnOff = 5, kAutoFocus = 6, kFirstNumber = 10, kResolution = 16;
constexpr double kResolutionSteps[] = {75, 150, 200, 300, 400, 600, 1200};

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
    const Setting& setting = kSettings[kFirstNumber + pick(random, 7)];
    stored.emplace_back(setting.suffix, storedValueText(random, setting.kind == Setting::kDecimal));
  }
  return stored;
}

Variant makeVariant(std::mt19937& random) {
  Variant variant{readFile(samplePpdPath()), {}, {}, true};
  static const std::pair<const char*, const char*> kRanges[] = {
      {"rasterSpeed", "60 100"},   {"vectorSpeed", "1 40"},
      {"vectorPower", "100 0"},    {"vectorFreq", "600 5000"},       {"cResolution", "75 300"},
      {"cResolution", "700 1200"}, {"materialThickness", "1.0 5.0"}};
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

// One thing that happens at the dialog, as the checks of a person's intent need it.
struct Step {
  enum Kind { kPick, kClick, kSlide, kType, kRestore, kShow, kHostChange } kind;
  const Setting* setting = nullptr;
  std::optional<double> means{};  // the number the typed text means to the person, if the field must take it
  bool commit = true;             // Return after the text; a host change that is a preset, which restores the panel
  std::string text{};
};

// One sequence against a fresh host and panel.
class Sequence {
 public:
  Sequence(PanelPlatform& platform, const std::filesystem::path& ppdPath, const Variant& variant, std::uint32_t seed,
           bool german)
      : platform_(platform), ppdPath_(ppdPath), variant_(variant), seed_(seed), german_(german) {}

  // The first disagreement: the index of the step after which it showed (-1 for the panel as built), what disagreed,
  // and the steps up to it as a person would tell them.
  struct Failure {
    int step;
    std::string what;
    std::vector<std::string> steps{};
  };

  std::optional<Failure> run(const std::vector<int>& indices) {
    auto opened = host::CupsPpdHost::openFile(ppdPath_);
    if (!opened.ok()) return Failure{-1, opened.error()};
    host_ = opened.take();
    store(variant_.stored);
    noting_ = std::make_shared<NotingHost>(host_, variant_.printSettings);
    panel_ = platform_.build(noting_);
    if (!panel_) return Failure{-1, "the plug-in gave no panel"};
    if (auto what = check()) return Failure{-1, *what};
    std::vector<std::string> told;
    for (std::size_t i = 0; i < indices.size(); ++i) {
      // A step that moves the focus also ends an unfinished edit: held to the agreement only.
      const bool pending = view_ && std::ranges::any_of(kSettings, [&](const Setting& setting) {
                             return setting.suffix && view_->hasPendingEdit(setting.control);
                           });
      const Before before{held(false), held(true), shownOn("autoFocusCheckBox"), shownOn("vectorGridCheckBox"),
                          pending};
      noting_->requests.clear();
      Step step{Step::kShow};
      std::ostringstream tell;
      const bool took = perform(indices[i], step, tell);
      told.push_back(tell.str());
      justRestored_ = step.kind == Step::kRestore || (step.kind == Step::kHostChange && step.commit);
      restored_ = restored_ || justRestored_;
      std::string what = check().value_or("") + intent(step, before, took);
      // A value text goes to the host as C writes it: "%d", or "%f" for the thickness.
      for (const std::string& request : noting_->requests) {
        const bool decimal = request.starts_with("CustommaterialThickness");
        const std::string text = request.substr(request.find('=') + 1);
        if (request.starts_with("Custom") && text != cText(cRead(text, decimal), decimal)) what += "  asked " + request;
      }
      if (!what.empty()) return Failure{static_cast<int>(i), what, told};
    }
    return std::nullopt;
  }

 private:
  void store(const Stored& stored) {
    for (const auto& [suffix, text] : stored)
      (void)host_->printSettings()->setValue(std::string(kPanelKind) + suffix, text, false);
  }

  // Draws step `index` from the seed and the index alone, so that any part of a sequence replays, performs it and tells
  // it; whether a person's input was taken by its control.
  bool perform(int index, Step& step, std::ostringstream& tell) {
    std::seed_seq seeds{seed_, static_cast<std::uint32_t>(index)};
    std::mt19937 random(seeds);
    // A person's changes are most of what happens; half the panels are shown before any restore.
    step.kind = static_cast<Step::Kind>(pick(random, chance(random, 40) ? 4 : 7));
    if (index < 2) step.kind = index == 0 && chance(random, 50) ? Step::kRestore : Step::kShow;
    switch (step.kind) {
      case Step::kPick: {
        step.setting = &kSettings[pick(random, kFirstOnOff)];
        const int item = pick(random, 64), count = view_ ? view_->itemCount(step.setting->control) : 0;
        tell << "pick item " << item << " of " << step.setting->control;
        return count > 0 && view_->pickItem(step.setting->control, item % count);
      }
      case Step::kClick:
        step.setting = &kSettings[kFirstOnOff + pick(random, 5)];
        tell << "click " << step.setting->control;
        return view_ && view_->clickCheckBox(step.setting->control);
      case Step::kSlide: {
        step.setting = &kSettings[kFirstNumber + std::array{0, 1, 2, 3, 4, 6}[pick(random, 6)]];
        const double at = std::uniform_real_distribution<double>(-0.05, 1.05)(random);
        tell << "drag " << step.setting->slider << " to " << at << " of its range";
        if (!view_) return false;
        const double low = view_->sliderMinimum(step.setting->slider),
                     high = view_->sliderMaximum(step.setting->slider);
        const double position = std::clamp(std::round(low + at * (high - low)), low, high);
        slidTo_ = step.setting != &kSettings[kResolution] ? position : kResolutionSteps[std::size_t(position)];
        return view_->moveSlider(step.setting->slider, low + at * (high - low));
      }
      case Step::kType:
        step.setting = &kSettings[kFirstNumber + pick(random, 6)];
        std::tie(step.text, step.means) =
            typedText(random, step.setting->kind == Setting::kDecimal ? 2 : 0, german_ ? "," : ".");
        step.commit = chance(random, 70);
        tell << "type \"" << step.text << "\" in " << step.setting->control << (step.commit ? ", Return" : "");
        return view_ && view_->typeText(step.setting->control, step.text, step.commit);
      case Step::kRestore:
        // Half the time the print settings hold values first, as a careless store may leave them.
        if (chance(random, 50)) {
          const Stored stored = storedValues(random);
          tell << "print settings hold";
          for (const auto& [suffix, text] : stored) tell << " " << suffix << "=\"" << text << "\"";
          tell << ", ";
          store(stored);
        }
        tell << "restore";
        panel_->restore();
        return false;
      case Step::kShow:
        tell << "show";
        if (!view_) view_ = panel_->loadView();
        panel_->willShow();
        return false;
      case Step::kHostChange: {
        // Another panel of the dialog marks a choice, or the dialog brings a preset back. Each option the panel shows
        // is announced, and a preset also restores the panel; the person sees the change once it is shown again.
        step.commit = chance(random, 50);
        tell << (step.commit ? "a preset marks" : "another panel marks");
        std::map<std::string, std::string> options;
        for (int k = 0, n = step.commit ? 1 + pick(random, 4) : 1; k < n; ++k) {
          const Setting& setting = kSettings[pick(random, step.commit ? 17 : kFirstOnOff)];
          ppd_option_t* found = ppdFindOption(host_->ppdFile(), setting.option);
          if (found == nullptr || found->num_choices <= 0) continue;
          std::string& choice = options[found->keyword];
          choice = setting.suffix && chance(random, 50)
                       ? "Custom." + storedValueText(random, setting.kind == Setting::kDecimal)
                       : std::string(found->choices[pick(random, found->num_choices)].choice);
          tell << " " << found->keyword << "=" << choice;
        }
        (void)host_->applyOptions(options);
        for (const Setting& announced : kSettings)
          if (ppd_choice_t* choice = ppdFindMarkedChoice(host_->ppdFile(), announced.option))
            panel_->optionDidChange(announced.option, choice->choice);
        if (step.commit) panel_->restore();
        if (view_) panel_->willShow();
        tell << (step.commit ? ", restore" : "") << (view_ ? ", show" : "");
        return false;
      }
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
  bool shownOn(const char* box) const { return view_ && view_->state(box) == 1; }

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
    const Setting& setting = *step.setting;
    const std::string option = setting.option;
    if (step.kind == Step::kClick && step.setting == &kSettings[kAutoFocus]) {
      std::string order = before.autoFocusOn ? (before.gridOn ? " vectorGrid=disabled" : ""s) + " autoFocus=disabled"
                                             : " autoFocus=enabled";
      return asks == order ? "" : "  auto focus asked" + asks + "\n";
    }
    // A pop-up or a box asks for its own option, once.
    if (step.kind == Step::kPick || step.kind == Step::kClick)
      return asks.starts_with(" " + option + "=") && asks.find(' ', 1) == asks.npos ? "" : "  asked" + asks + "\n";
    if (step.kind != Step::kSlide && step.kind != Step::kType) return "";
    const bool decimal = setting.kind == Setting::kDecimal;
    const double meant = step.kind == Step::kSlide ? slidTo_ : decimal ? float(*step.means) : *step.means;
    const double now = number(setting).value_or(NAN);
    std::string out, wanted = " " + option + "=Custom Custom" + option + "=" + cText(meant, decimal);
    if (!asks.empty() && asks != " " + option + "=Custom" && !(asks + " ").starts_with(wanted + " "))
      out += "  asked" + asks + "\n";
    const auto& stored = host_->dialogSettings().values();
    const auto kept = stored.find(std::string(kPanelKind) + setting.suffix);
    if (!asks.empty() && variant_.printSettings && (kept == stored.end() || kept->second != cText(now, decimal)))
      out += "  print settings hold " + (kept == stored.end() ? "nothing"s : kept->second) + "\n";
    if (step.kind == Step::kType && now != meant &&
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
  // The number a field shows, as a person reads it: German writes a comma for C's point, and no point.
  std::optional<double> shownNumber(const char* field) const {
    std::string text = view_->text(field);
    if (german_)
      for (char& c : text) c = c == ',' ? '.' : c == '.' ? '?' : c;
    return keywordNumber(text);
  }
  // The number a setting holds: the PPD's, or for an option the PPD lacks what its field shows once edited.
  std::optional<double> number(const Setting& setting) const {
    if (ppdFindOption(host_->ppdFile(), setting.option)) return markedNumber(setting.option);
    return view_ && !view_->hasPendingEdit(setting.control) ? shownNumber(setting.control) : std::nullopt;
  }

  std::optional<std::string> check() {
    ppd_file_t* ppd = host_->ppdFile();
    const std::map<std::string, std::string> job = host::jobOptionsFromMarks(ppd).options;
    const auto& stored = host_->dialogSettings().values();
    std::ostringstream out;
    auto expect = [&](bool ok, const std::string& what) { out << (ok ? "" : "  " + what + "\n"); };
    auto show = [](const std::optional<std::string>& text) { return text ? "\"" + *text + "\"" : "nothing"s; };
    auto shown = [](std::optional<double> number) { return number ? formatFloat(*number) : "nothing"s; };

    for (const Setting& setting : kSettings) {
      const std::string name = setting.option, control = setting.control;
      const bool has = ppdFindOption(ppd, setting.option) != nullptr;
      const std::optional<std::string> mark = marked(setting.option);
      const auto found = std::ranges::find_if(job, [&](const auto& sent) { return sameKeyword(sent.first, name); });
      const std::optional<std::string> sent = found == job.end() ? std::nullopt : std::optional(found->second);
      if (setting.kind == Setting::kChoice || setting.kind == Setting::kOnOff)
        expect(sent == mark, name + ": PPD " + show(mark) + ", job " + show(sent));
      if (setting.kind == Setting::kChoice) {
        const std::optional<std::string> keyword = view_ ? view_->shownKeyword(control) : mark;
        // Vector sorting has no default of the panel's: its pop-up is blank until a restore.
        expect(keyword == mark || (!keyword && !restored_ && name == "vectorSort"),
               control + " shows " + show(keyword) + ", PPD " + show(mark));
        continue;
      }
      if (setting.kind == Setting::kOnOff) {
        // Only "enabled" is on; a restore reads "Enabled" as off, a click as on.
        expect(!view_ || !has || shownOn(setting.control) == (mark == "enabled") ||
                   (!justRestored_ && mark && sameKeyword(*mark, "enabled")),
               control + " shows " + std::to_string(view_ ? view_->state(control) : 0) + ", PPD " + show(mark));
        continue;
      }
      const bool decimal = setting.kind == Setting::kDecimal;
      const std::optional<double> value = number(setting);
      auto same = [&](std::optional<double> a) {
        return a && value && (decimal ? float(*a) == float(*value) : *a == *value);
      };
      if (has) {
        const std::optional<double> sentNumber =
            sent ? keywordNumber(sent->starts_with("Custom.") ? sent->substr(7) : *sent) : std::nullopt;
        expect(same(sentNumber), name + ": PPD " + shown(value) + " (" + show(mark) + "), job " + show(sent));
        // A custom value the printer refused, or one nobody chose, never reaches the job.
        if (sent && sent->starts_with("Custom.") && ppdFirstCustomParam(ppdFindCustomOption(ppd, setting.option)))
          expect(inCustomRange(setting.option, keywordNumber(sent->substr(7)).value_or(NAN)),
                 name + ": job " + show(sent));
      }
      // The print settings agree when the panel reads back what it holds.
      if (auto kept = stored.find(std::string(kPanelKind) + setting.suffix);
          variant_.printSettings && kept != stored.end() && value)
        expect(same(cRead(kept->second, decimal)),
               name + ": print settings hold \"" + kept->second + "\", PPD " + shown(value));
      if (!view_) continue;
      if (!view_->hasPendingEdit(control))
        expect(same(shownNumber(setting.control)),
               control + " shows \"" + view_->text(control) + "\", PPD " + shown(value));
      if (setting.slider == nullptr || !value) continue;
      double wanted = *value;
      if (&setting == &kSettings[kResolution]) {
        // The slider shows the resolution's step; one between steps shows at the 600 dpi step.
        auto at = std::find(std::begin(kResolutionSteps), std::end(kResolutionSteps), wanted);
        wanted = at == std::end(kResolutionSteps) ? 5 : double(at - std::begin(kResolutionSteps));
      }
      const double slid = view_->sliderValue(setting.slider);
      expect(slid == wanted,
             std::string(setting.slider) + " shows " + formatFloat(slid) + ", wanted " + formatFloat(wanted));
    }
    for (std::string control : {"materialText", "materialTextBox", "vectorGridCheckBox"})
      expect(!view_ || view_->isEnabled(control) == shownOn("autoFocusCheckBox"),
             control + (view_ && view_->isEnabled(control) ? " enabled" : " disabled") + " beside auto focus");
    return out.str().empty() ? std::nullopt : std::optional(out.str());
  }

  PanelPlatform& platform_;
  std::filesystem::path ppdPath_;
  const Variant& variant_;
  std::shared_ptr<host::CupsPpdHost> host_;
  std::shared_ptr<NotingHost> noting_;
  std::unique_ptr<DrivenPanel> panel_;
  ViewDriver* view_ = nullptr;
  std::uint32_t seed_;
  bool german_;
  bool restored_ = false, justRestored_ = false;
  double slidTo_ = 0;  // where the last drag left the slider, as the number it stands for
};

long environmentNumber(const char* name, long fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

}  // namespace

std::string agreementUnderway;

const std::string& agreementSequenceUnderway() { return agreementUnderway; }

std::optional<std::string> runAgreement(PanelPlatform& platform, long sequences) {
  // The separator of the language the run is asked for: a toolkit in another fails it.
  const char* language = std::getenv("ZARVIK_EXPECTED_LANGUAGE");
  const std::string separator = language && std::string(language) == "de" ? "," : ".";
  TemporaryFolder folder("zarvik-agreement");
  auto seed = static_cast<std::uint32_t>(environmentNumber("ZARVIK_AGREEMENT_SEED", 1));
  sequences = environmentNumber("ZARVIK_AGREEMENT_SEQUENCES", sequences);
  std::optional<std::vector<int>> replay;
  if (const char* line = std::getenv("ZARVIK_AGREEMENT_REPLAY"); line && *line) {
    std::istringstream in(line);
    std::string step;
    std::getline(in, step, ':');
    seed = static_cast<std::uint32_t>(std::strtoul(step.c_str(), nullptr, 10));
    sequences = 1;
    replay.emplace();
    while (std::getline(in, step, ',')) replay->push_back(std::atoi(step.c_str()));
  }
  long run = 0, steps = 0;
  std::optional<std::string> result;
  for (; run < sequences && !result; ++run, ++seed) {
    std::mt19937 random(seed);
    Variant variant = makeVariant(random);
    const std::filesystem::path path = folder.path() / ("variant-" + std::to_string(seed) + ".ppd");
    writeFile(path, variant.text);
    std::vector<int> kept(30);
    std::iota(kept.begin(), kept.end(), 0);
    if (replay) kept = *replay;
    auto replayLine = [&] {
      std::string line = "ZARVIK_AGREEMENT_REPLAY=" + std::to_string(seed) + ":";
      for (std::size_t k = 0; k < kept.size(); ++k) line += (k ? "," : "") + std::to_string(kept[k]);
      return line;
    };
    agreementUnderway = "agreement sequence " + std::to_string(seed) + "\nReplay: " + replayLine();
    auto sequence = [&] { return Sequence(platform, path, variant, seed, separator == ","); };
    std::optional<Sequence::Failure> failure = sequence().run(kept);
    steps += static_cast<long>(kept.size());
    if (!failure) continue;

    // Shorten: drop every step the failure does not need, and the steps after it.
    kept.resize(static_cast<std::size_t>(failure->step + 1));
    for (std::size_t k = 0; k < kept.size();) {
      std::vector<int> fewer = kept;
      fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(k));
      if (auto shorter = sequence().run(fewer)) {
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
    for (std::size_t k = 0; k < failure->steps.size(); ++k) out << "  " << k + 1 << ". " << failure->steps[k] << "\n";
    if (kept.empty()) out << "  (as built)\n";
    out << failure->what << "Replay: " << replayLine() << "\n";
    result = out.str();
  }
  agreementUnderway.clear();
  std::printf("agreement on %s: %ld sequences, %ld steps\n", platform.name().c_str(), run, steps);
  return result;
}

}  // namespace zarvik::testing
