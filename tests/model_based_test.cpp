// Random sequences of a person's control actions, host refusals and
// restores, checked after every step against a small reference model of
// what the panel must hold: its fields, the print settings, the PPD's marks
// and custom values, the host requests, and what the controls show.
//
// Every sequence is reproducible from its seed; a divergence prints the
// seed and the steps that led to it. ZARVIK_MODEL_SEQUENCES sets how many
// sequences run (default 300), ZARVIK_MODEL_SEED the first seed.
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <random>
#include <sstream>

#include "panel/ppd_lookup.h"
#include "panel/ppd_text.h"
#include "support/log_capture.h"
#include "support/memory_toolkit.h"
#include "support/panel_fixture.h"
#include "support/ppd_files.h"
#include "support/recording_host.h"

namespace zarvik::testing {
namespace {

constexpr int kStepsPerSequence = 40;

struct NumericSetting {
  const char* outlet;  // the control a person moves or types into
  const char* option;
  const char* customKey;
  const char* suffix;
  NSInteger ZarvikPDE::*field;
};

const NumericSetting kSliders[] = {
    {"rSpeedSlider", "rasterSpeed", "CustomrasterSpeed", ".rasterSpeed", &ZarvikPDE::rSpeed},
    {"rPowerTextBox", "rasterPower", "CustomrasterPower", ".rasterPower", &ZarvikPDE::rPower},
    {"vSpeedSlider", "vectorSpeed", "CustomvectorSpeed", ".vectorSpeed", &ZarvikPDE::vSpeed},
    {"vPowerSlider", "vectorPower", "CustomvectorPower", ".vectorPower", &ZarvikPDE::vPower},
    {"vFreqTextBox", "vectorFreq", "CustomvectorFreq", ".vectorFreq", &ZarvikPDE::vFreq},
};

struct PopupSetting {
  const char* outlet;
  const char* option;
  ChoiceType type;
};

const PopupSetting kPopups[] = {
    {"jobTypePopup", "JobType", ChoiceTypeJobType},
    {"centerEngravingPopup", "CenterEngraving", ChoiceTypeCenterEngraving},
    {"ditheringPopup", "dithering", ChoiceTypeDithering},
    {"engravingDirectionPopup", "EngravingDirection", ChoiceTypeEngravingDirection},
    {"vSortingPopup", "vectorSort", ChoiceTypeVectorSort},
};

// What the panel must hold, kept independently of the panel's code.
struct Model {
  std::optional<std::string> choice[5];  // by ChoiceType
  std::map<std::string, NSInteger> integer;  // by option keyword
  float thickness = 0;
  NSInteger resolutionIndex = 0;
  NSInteger vSpeedComp = 0, vPowerComp = 1, directPrint = 0, autoFocus = 0, vectorGrid = 0;
  // The item each pop-up shows: the refresh selects the field's item, a
  // pick shows what the person picked unless the host refused it.
  NSInteger shownIndex[5] = {-1, -1, -1, -1, -1};
  // Controls that the refresh does not set.
  NSInteger directPrintBox = 0, autoFocusBox = 0, vectorGridBox = 0;
  bool materialEnabled = true, vectorGridEnabled = true;
  NSColor materialColor = NSColor::blackColor;
  std::map<std::string, std::string> printSettings;
  std::map<std::string, std::string> marks;      // option -> marked choice
  std::map<std::string, double> customValues;    // option -> custom value
  std::vector<std::string> requests;             // this step's host requests
};

class Sequence {
 public:
  explicit Sequence(std::uint32_t seed) : random_(seed), seed_(seed) {}

  // Runs the sequence; answers the description of the first divergence.
  std::optional<std::string> run() {
    ppd_ = openPpd(samplePpdPath());
    markDefaults(ppd_.get());
    for (ppd_option_t* option : allOptions()) {
      if (ppd_choice_t* marked = ppd::findMarkedChoice(ppd_.get(), keywordString(option->keyword))) {
        model_.marks[keywordString(option->keyword)] = keywordString(marked->choice);
      }
    }
    auto bundle = std::make_shared<MemoryBundle>();
    ScopedPanelBundle registration(bundle);
    host_ = std::make_shared<RecordingHost>(ppd_.get());
    host_->decide = [this](std::string_view, std::string_view) { return nextAnswer(); };
    panel_ = ZarvikPDE::initWithCallback(host_);
    if (!panel_) return "no panel";
    modelConstruction();
    panel_->panelView();
    panel_->willShow();
    view_ = bundle->loadedView;
    modelRefresh();
    if (auto divergence = compare("construction and first show")) return divergence;

    for (int step = 0; step < kStepsPerSequence; ++step) {
      planAnswers();
      host_->calls.clear();
      model_.requests.clear();
      std::string what = randomStep();
      history_.push_back(what);
      if (auto divergence = compare(what)) return divergence;
    }
    return std::nullopt;
  }

  std::string history() const {
    std::ostringstream out;
    out << "seed " << seed_ << ":\n";
    for (std::size_t i = 0; i < history_.size(); ++i) out << "  " << i << ". " << history_[i] << "\n";
    return out.str();
  }

 private:
  std::vector<ppd_option_t*> allOptions() {
    std::vector<ppd_option_t*> options;
    for (const char* keyword : {"JobType", "CenterEngraving", "dithering", "EngravingDirection", "vectorSort",
                                "vectorSpeedComp", "vectorPowerComp", "autoFocus", "vectorGrid", "directPrint",
                                "rasterSpeed", "rasterPower", "vectorSpeed", "vectorPower", "vectorFreq",
                                "cResolution", "materialThickness"}) {
      if (ppd_option_t* option = ppd::findOption(ppd_.get(), keyword)) options.push_back(option);
    }
    return options;
  }

  // The host's answers for one step: mostly yes, sometimes a random refusal.
  void planAnswers() {
    answers_.clear();
    if (std::uniform_int_distribution<int>(0, 9)(random_) < 6) return;
    for (int i = 0; i < 4; ++i) answers_.push_back(std::uniform_int_distribution<int>(0, 2)(random_) != 0);
  }

  bool nextAnswer() {
    if (answers_.empty()) return true;
    bool answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
  }

  // The model's view of one host request, answered as the host will.
  bool request(const std::string& key, const std::string& choice) {
    model_.requests.push_back(key + "=" + choice);
    bool accepted = plannedAnswer(model_.requests.size() - 1);
    if (!accepted) return false;
    if (key.rfind("Custom", 0) == 0 && key != "Custom") {
      std::string option = key.substr(6);
      model_.marks[option] = "Custom";
      model_.customValues[option] = std::strtod(choice.c_str(), nullptr);
    } else {
      model_.marks[key] = choice;
    }
    return true;
  }

  bool plannedAnswer(std::size_t index) const {
    return index < plannedCopy_.size() ? plannedCopy_[index] : true;
  }

  std::string randomStep() {
    plannedCopy_ = answers_;
    int kind = std::uniform_int_distribution<int>(0, 9)(random_);
    // Every step but a pick and the host's own report ends in a refresh.
    switch (kind) {
      case 3: return pickPopup();
      case 8: return hostReportsChange();
      default: break;
    }
    std::string what;
    switch (kind) {
      case 0:
      case 1: what = moveSlider(); break;
      case 2: what = typeThickness(); break;
      case 4: what = clickCompensation(); break;
      case 5: what = clickOnOff(); break;
      case 6: what = clickAutoFocus(); break;
      case 7: what = moveResolution(); break;
      default: what = restore(); break;
    }
    if (!what.ends_with("(disabled)")) modelRefresh();
    return what;
  }

  void modelRefresh() {
    for (const PopupSetting& setting : kPopups) {
      model_.shownIndex[setting.type] =
          view_->popup(setting.outlet).indexOfItemWithRepresentedObject(model_.choice[setting.type]);
    }
  }

  float randomValue() {
    static const float kSpecial[] = {std::numeric_limits<float>::quiet_NaN(),
                                     std::numeric_limits<float>::infinity(), -1e12f, 3e9f, -0.0f};
    if (std::uniform_int_distribution<int>(0, 19)(random_) == 0) {
      return kSpecial[std::uniform_int_distribution<int>(0, 4)(random_)];
    }
    return std::uniform_real_distribution<float>(-20.0f, 6000.0f)(random_);
  }

  void modelInteger(const std::string& option, const std::string& customKey, const std::string& suffix,
                    NSInteger& field, double value) {
    std::optional<std::int32_t> truncated = truncateToInt32(value);
    if (!truncated) return;  // nothing is offered; the controls show the field again
    if (request(option, "Custom") && request(customKey, formatInt(*truncated))) field = *truncated;
    model_.printSettings[ZarvikPDE::printSettingsKey(suffix)] = formatLong(field);
  }

  std::string moveSlider() {
    const NumericSetting& setting = kSliders[std::uniform_int_distribution<int>(0, 4)(random_)];
    float value = randomValue();
    modelInteger(setting.option, setting.customKey, setting.suffix, model_.integer[setting.option], value);
    std::string outlet = setting.outlet;
    if (outlet.ends_with("Slider")) {
      view_->slider(outlet).userMoves(value);
    } else {
      view_->textField(outlet).userTypes(value);
    }
    return outlet + " <- " + formatFloat(value) + answersText();
  }

  std::string typeThickness() {
    float value = randomValue();
    if (!model_.materialEnabled) {
      bool typed = view_->textField("materialTextBox").userTypes(value);
      if (typed) unexpected_ = "the disabled material thickness field took typing";
      return "materialTextBox typed into (disabled)";
    }
    if (std::isfinite(value)) {
      if (request("materialThickness", "Custom") && request("CustommaterialThickness", formatFloat(value))) {
        model_.thickness = value;
      }
      model_.printSettings[ZarvikPDE::printSettingsKey(".materialThickness")] = formatFloat(model_.thickness);
    }
    view_->textField("materialTextBox").userTypes(value);
    return "materialTextBox <- " + formatFloat(value) + answersText();
  }

  std::string pickPopup() {
    const PopupSetting& setting = kPopups[std::uniform_int_distribution<int>(0, 4)(random_)];
    MemoryPopUpButton& popup = view_->popup(setting.outlet);
    NSInteger count = static_cast<NSInteger>(popup.items.size());
    NSInteger index = std::uniform_int_distribution<NSInteger>(-1, count - 1)(random_);
    model_.shownIndex[setting.type] = index;
    if (index >= 0) {
      std::string keyword = *popup.items[static_cast<std::size_t>(index)]->object;
      if (request(setting.option, keyword)) {
        model_.choice[setting.type] = keyword;
      } else {
        model_.shownIndex[setting.type] = popup.indexOfItemWithRepresentedObject(model_.choice[setting.type]);
      }
    }
    popup.userSelects(index);
    return std::string(setting.outlet) + " picks " + std::to_string(index) + answersText();
  }

  std::string clickCompensation() {
    bool speed = std::uniform_int_distribution<int>(0, 1)(random_) == 0;
    NSInteger& field = speed ? model_.vSpeedComp : model_.vPowerComp;
    NSInteger wanted = field == 1 ? 0 : 1;  // the box shows the field
    if (request(speed ? "vectorSpeedComp" : "vectorPowerComp", wanted == 1 ? "enabled" : "disabled")) {
      field = wanted;
    }
    std::string outlet = speed ? "vSpeedCompCheckBox" : "vPowerCompCheckBox";
    view_->checkBox(outlet).userClicks();
    return outlet + " clicked" + answersText();
  }

  std::string clickOnOff() {
    bool grid = std::uniform_int_distribution<int>(0, 1)(random_) == 0;
    if (grid && !model_.vectorGridEnabled) {
      bool clicked = view_->checkBox("vectorGridCheckBox").userClicks();
      if (clicked) unexpected_ = "the disabled vector grid box took a click";
      return "vectorGridCheckBox clicked (disabled)";
    }
    NSInteger& box = grid ? model_.vectorGridBox : model_.directPrintBox;
    NSInteger& field = grid ? model_.vectorGrid : model_.directPrint;
    NSInteger wanted = box == 1 ? 0 : 1;
    if (request(grid ? "vectorGrid" : "directPrint", wanted == 1 ? "enabled" : "disabled")) field = wanted;
    box = field;  // accepted: the clicked state; refused: the kept one
    std::string outlet = grid ? "vectorGridCheckBox" : "directPrintCheckBox";
    view_->checkBox(outlet).userClicks();
    return outlet + " clicked" + answersText();
  }

  void modelAutoFocusControls(bool on) {
    model_.materialEnabled = on;
    model_.vectorGridEnabled = on;
    if (!on) model_.vectorGridBox = 0;
    model_.materialColor = on ? NSColor::blackColor : NSColor::grayColor;
  }

  std::string clickAutoFocus() {
    NSInteger wanted = model_.autoFocusBox == 1 ? 0 : 1;
    if (wanted == 1) {
      modelAutoFocusControls(true);
    } else {
      model_.materialEnabled = false;
      if (model_.vectorGridBox == 1) {
        if (request("vectorGrid", "disabled")) model_.vectorGrid = 0;
        model_.vectorGridBox = model_.vectorGrid;
      }
      modelAutoFocusControls(false);
    }
    if (request("autoFocus", wanted == 1 ? "enabled" : "disabled")) model_.autoFocus = wanted;
    model_.autoFocusBox = model_.autoFocus;
    if (model_.autoFocus != wanted) {
      modelAutoFocusControls(model_.autoFocus == 1);
      if (model_.autoFocus == 1) model_.vectorGridBox = model_.vectorGrid;
    }
    view_->checkBox("autoFocusCheckBox").userClicks();
    return "autoFocusCheckBox clicked" + answersText();
  }

  std::string moveResolution() {
    static const int kSteps[] = {75, 150, 200, 300, 400, 600, 1200};
    int position = std::uniform_int_distribution<int>(-1, 7)(random_);
    if (position >= 0 && position <= 6) {
      model_.resolutionIndex = position;
      modelInteger("cResolution", "CustomcResolution", ".resolution", model_.integer["cResolution"],
                   kSteps[position]);
    }
    view_->slider("resolutionSlider").userMoves(static_cast<float>(position));
    return "resolutionSlider <- " + std::to_string(position) + answersText();
  }

  std::string hostReportsChange() {
    const PopupSetting& setting = kPopups[std::uniform_int_distribution<int>(0, 4)(random_)];
    ppd_option_t* option = ppd::findOption(ppd_.get(), setting.option);
    auto choices = ppd::choicesOf(option);
    std::string keyword = keywordString(choices[std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(random_)].choice);
    model_.choice[setting.type] = keyword;
    panel_->PPDOptionKeyValueDidChange(std::string(setting.option), keyword);
    return std::string("host reports ") + setting.option + "=" + keyword;
  }

  // Defaults, then the print settings, as construction and restore apply them.
  void modelDefaultsAndPrintSettings() {
    for (const PopupSetting& setting : kPopups) {
      if (setting.type == ChoiceTypeVectorSort) continue;
      model_.choice[setting.type] = keywordString(ppd::findOption(ppd_.get(), setting.option)->defchoice);
    }
    auto markInteger = [&](const std::string& option, NSInteger value) {
      if (request(option, "Custom") && request("Custom" + option, formatInt(saturateToInt32(value)))) {
        model_.integer[option] = saturateToInt32(value);
      }
    };
    auto markThickness = [&](float value) {
      if (request("materialThickness", "Custom") && request("CustommaterialThickness", formatFloat(value))) {
        model_.thickness = value;
      }
    };
    markInteger("cResolution", 600);
    markThickness(0.0f);
    for (const char* option : {"rasterPower", "rasterSpeed", "vectorFreq", "vectorPower", "vectorSpeed"}) {
      markInteger(option, 50);
    }
    auto stored = [&](const char* suffix) -> std::optional<std::string> {
      auto found = model_.printSettings.find(ZarvikPDE::printSettingsKey(suffix));
      if (found == model_.printSettings.end()) return std::nullopt;
      return found->second;
    };
    model_.thickness = stored(".materialThickness") ? parseLeadingFloat(*stored(".materialThickness")) : 0.0f;
    const std::pair<const char*, const char*> integers[] = {
        {".rasterSpeed", "rasterSpeed"}, {".rasterPower", "rasterPower"}, {".vectorPower", "vectorPower"},
        {".vectorSpeed", "vectorSpeed"}, {".vectorFreq", "vectorFreq"},   {".resolution", "cResolution"}};
    for (const auto& [suffix, option] : integers) {
      model_.integer[option] = stored(suffix) ? parseLeadingInteger(*stored(suffix))
                                              : (std::string(option) == "cResolution" ? 600 : 50);
    }
    model_.resolutionIndex = 5;
    static const NSInteger kSteps[] = {75, 150, 200, 300, 400, 600, 1200};
    for (int i = 0; i < 7; ++i) {
      if (kSteps[i] == model_.integer["cResolution"]) {
        model_.resolutionIndex = i;
        break;
      }
    }
    markThickness(model_.thickness);
    for (const char* option : {"cResolution", "rasterPower", "rasterSpeed", "vectorFreq", "vectorPower",
                               "vectorSpeed"}) {
      markInteger(option, model_.integer[option]);
    }
  }

  void modelConstruction() {
    plannedCopy_.clear();
    modelDefaultsAndPrintSettings();
    model_.requests.clear();
  }

  std::string restore() {
    plannedCopy_.clear();  // the host accepts everything while restoring
    answers_.clear();
    modelDefaultsAndPrintSettings();
    for (const PopupSetting& setting : kPopups) {
      auto mark = model_.marks.find(setting.option);
      if (mark != model_.marks.end()) model_.choice[setting.type] = mark->second;
    }
    if (auto mark = model_.marks.find("autoFocus"); mark != model_.marks.end()) {
      model_.autoFocus = mark->second == "enabled";
      model_.autoFocusBox = model_.autoFocus;
      modelAutoFocusControls(model_.autoFocus == 1);
    }
    if (auto mark = model_.marks.find("vectorGrid"); mark != model_.marks.end()) {
      model_.vectorGrid = mark->second == "enabled";
      model_.vectorGridBox = model_.vectorGrid;
    }
    if (auto mark = model_.marks.find("directPrint"); mark != model_.marks.end()) {
      model_.directPrint = mark->second == "enabled";
      model_.directPrintBox = model_.directPrint;
    }
    panel_->restoreValuesAndReturnError(nullptr);
    return "restore";
  }

  std::string answersText() const {
    if (plannedCopy_.empty()) return "";
    std::string text = " [host answers";
    for (bool answer : plannedCopy_) text += answer ? " yes" : " no";
    return text + "]";
  }

  std::optional<std::string> compare(const std::string& step) {
    std::ostringstream out;
    auto expect = [&](bool ok, const std::string& what) {
      if (!ok) out << "  " << what << "\n";
    };
    expect(unexpected_.empty(), unexpected_);
    const ZarvikPDE& p = *panel_;
    const std::optional<std::string>* fields[5] = {&p.jobTypeChoice, &p.centerEngravingChoice, &p.ditheringChoice,
                                                    &p.engraveDirChoice, &p.vectorSortingChoice};
    for (const PopupSetting& setting : kPopups) {
      const auto& want = model_.choice[setting.type];
      expect(*fields[setting.type] == want, std::string(setting.option) + " field " +
                                                 fields[setting.type]->value_or("nil") + ", model " +
                                                 want.value_or("nil"));
      MemoryPopUpButton& popup = view_->popup(setting.outlet);
      expect(popup.selected == model_.shownIndex[setting.type],
             std::string(setting.outlet) + " shows item " + std::to_string(popup.selected) + ", model " +
                 std::to_string(model_.shownIndex[setting.type]));
    }
    const std::pair<const char*, NSInteger> integers[] = {
        {"rasterSpeed", p.rSpeed}, {"rasterPower", p.rPower}, {"vectorSpeed", p.vSpeed},
        {"vectorPower", p.vPower}, {"vectorFreq", p.vFreq},   {"cResolution", p.resolution}};
    for (const auto& [option, value] : integers) {
      expect(value == model_.integer[option],
             std::string(option) + " field " + std::to_string(value) + ", model " +
                 std::to_string(model_.integer[option]));
    }
    for (const NumericSetting& setting : kSliders) {
      float shown = static_cast<float>(p.*setting.field);
      std::string base = std::string(setting.outlet);
      base = base.substr(0, base.size() - (base.ends_with("Slider") ? 6 : 7));
      expect(view_->slider(base + "Slider").value == shown, base + "Slider shows another value");
      expect(view_->textField(base + "TextBox").value == shown, base + "TextBox shows another value");
    }
    expect(sameFloat(p.oMaterialThickness, model_.thickness), "material thickness " + formatFloat(p.oMaterialThickness) +
                                                                 ", model " + formatFloat(model_.thickness));
    expect(sameFloat(view_->textField("materialTextBox").value, model_.thickness), "materialTextBox shows another value");
    expect(p.resolutionIndex == model_.resolutionIndex, "resolution index " + std::to_string(p.resolutionIndex));
    expect(view_->slider("resolutionSlider").value == static_cast<float>(p.resolutionIndex),
           "resolution slider shows another position");
    expect(view_->textField("resolutionTextBox").value == static_cast<float>(p.resolution),
           "resolution text box shows another resolution");
    expect(p.vSpeedComp == model_.vSpeedComp && p.vPowerComp == model_.vPowerComp, "compensation fields");
    expect(view_->checkBox("vSpeedCompCheckBox").state() == p.vSpeedComp &&
               view_->checkBox("vPowerCompCheckBox").state() == p.vPowerComp,
           "compensation boxes");
    expect(p.oDirectPrint == model_.directPrint, "direct print field " + std::to_string(p.oDirectPrint));
    expect(p.oAutoFocus == model_.autoFocus, "auto focus field " + std::to_string(p.oAutoFocus));
    expect(p.oVectorGrid == model_.vectorGrid, "vector grid field " + std::to_string(p.oVectorGrid));
    expect(view_->checkBox("directPrintCheckBox").state() == model_.directPrintBox, "direct print box");
    expect(view_->checkBox("autoFocusCheckBox").state() == model_.autoFocusBox, "auto focus box");
    expect(view_->checkBox("vectorGridCheckBox").state() == model_.vectorGridBox,
           "vector grid box " + std::to_string(view_->checkBox("vectorGridCheckBox").state()));
    expect(view_->checkBox("vectorGridCheckBox").enabled == model_.vectorGridEnabled, "vector grid box enabled");
    expect(view_->textField("materialTextBox").enabled == model_.materialEnabled &&
               view_->textField("materialText").enabled == model_.materialEnabled,
           "material controls enabled");
    expect(view_->textField("materialText").color == model_.materialColor, "material caption colour");

    std::map<std::string, std::string> settings;
    for (const auto& [key, value] : host_->settings.values) settings[key] = std::get<std::string>(value);
    expect(settings == model_.printSettings, "print settings differ");

    for (const auto& [option, choice] : model_.marks) {
      expect(markedChoice(ppd_.get(), option) == choice,
             "PPD marks " + option + "=" + markedChoice(ppd_.get(), option) + ", model " + choice);
    }
    for (const auto& [option, value] : model_.customValues) {
      const ppd_cparam_t* param = ppd::firstCustomParam(ppd::findCustomOption(ppd_.get(), option));
      double current = param == nullptr ? -1
                       : param->type == PPD_CUSTOM_REAL ? param->current.custom_real
                                                         : param->current.custom_int;
      expect(std::fabs(current - value) <= 1e-6 * std::max(1.0, std::fabs(value)),
             "PPD custom " + option + " " + formatFloat(current) + ", model " + formatFloat(value));
    }
    if (step != "restore" && step != "construction and first show") {
      expect(host_->requests() == model_.requests, "host requests differ: " + join(host_->requests()) +
                                                       " | model " + join(model_.requests));
    }
    if (out.str().empty()) return std::nullopt;
    return "after \"" + step + "\":\n" + out.str();
  }

  static bool sameFloat(float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); }

  static std::string join(const std::vector<std::string>& items) {
    std::string text;
    for (const auto& item : items) text += item + " ";
    return text;
  }

  std::mt19937 random_;
  std::uint32_t seed_;
  ScopedPpd ppd_;
  std::shared_ptr<RecordingHost> host_;
  std::shared_ptr<ZarvikPDE> panel_;
  MemoryView* view_ = nullptr;
  Model model_;
  std::vector<bool> answers_, plannedCopy_;
  std::vector<std::string> history_;
  std::string unexpected_;
};

long environmentNumber(const char* name, long fallback) {
  const char* text = std::getenv(name);
  return text ? std::strtol(text, nullptr, 10) : fallback;
}

TEST(ModelBasedTest, RandomActionsRefusalsAndRestoresKeepThePanelInStepWithTheModel) {
  LogCapture log;  // keeps the system log quiet
  MemoryHelpManager help;
  long sequences = environmentNumber("ZARVIK_MODEL_SEQUENCES", 300);
  auto first = static_cast<std::uint32_t>(environmentNumber("ZARVIK_MODEL_SEED", 1));
  long divergences = 0;
  for (long i = 0; i < sequences; ++i) {
    Sequence sequence(first + static_cast<std::uint32_t>(i));
    std::optional<std::string> divergence = sequence.run();
    log.clear();
    if (divergence) {
      ++divergences;
      ADD_FAILURE() << sequence.history() << *divergence;
      break;  // the first divergence says enough
    }
  }
  std::printf("model-based: %ld sequences of %d steps, %ld divergences\n", sequences, kStepsPerSequence,
              divergences);
}

}  // namespace
}  // namespace zarvik::testing
