// Hostile PPDs: texts, keywords, custom parameters and structure that a PPD
// from a remote printer may carry. Each file gives either a clear refusal
// (libcups does not open it, or it lacks a required option and there is no
// panel) or a panel that survives being shown, restored, summarised and
// worked through every control: no crash, no forged or split log entry, no
// invalid UTF-8 on screen or in the log.
#include <cups/ppd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "support/panel_fixture.h"

// The tests open and search PPDs with libcups directly, as the host does.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace zarvik::testing {
namespace {

using Texts = std::vector<std::string>;
using Objects = std::vector<std::optional<std::string>>;

constexpr std::string_view kRequired[] = {
    "JobType",         "CenterEngraving", "rasterPower", "rasterSpeed", "EngravingDirection",
    "dithering",       "vectorSpeed",     "vectorPower", "vectorFreq",  "vectorSort",
    "vectorSpeedComp", "vectorPowerComp", "cResolution"};

// Every message the panel logs. A captured entry must be one of them, with
// each argument escaped: the text around the arguments is the message's own.
constexpr std::string_view kMessages[] = {
    "A new user choice has been selected\nThe choice is: %@\n The type is: %ld",
    "Entering PPDOptionKeyValueDidChange",
    "Entering getNonPPDSettingsFromPrintSettings",
    "Entering restoreValuesAndReturnError",
    "Entering saveValuesAndReturnError",
    "Entering setDefaults",
    "Failed to set custom material thickness",
    "Failed to set custom raster power",
    "Failed to set custom raster speed",
    "Failed to set custom resolution",
    "Failed to set custom vector frequency",
    "Failed to set custom vector power",
    "Failed to set custom vector speed",
    "PMPrintSettingsGetValue got: %@",
    "Saved %@ to %@",
    "The current Auto Focus choice is: %@",
    "The current Direct Print choice is: %@",
    "The current Vector Grid choice is: %@",
    "The current Vector Speed Compensation choice is: %@",
    "The current Vector Power Compensation choice is: %@",
    "The current center engraving choice is: %@",
    "The current dithering choice is: %@",
    "The current engraving direction choice is: %@",
    "The current jobtype choice is: %@",
    "The current resolution choice is: %@\nText: %@",
    "The current vector sorting choice is: %@",
    "The custom option text is: %@",
    "The custom value is: %d",
    "The custom vector power is 1set to: %d",
    "The custom vector power is 2set to: %d",
    "The resolution is set to: %d",
    "The type is incorrect for: %s - %s: %d.",
    "This version of the Zarvik PDE does not run properly on 10.4 or earlier!",
    "Unable to find the custom option.",
    "Unable to find the custom option: %s.",
    "Unable to find the custom param.",
    "Unable to find the custom param: %s.",
    "Unable to find the resolution choice.",
    "Unable to get %@",
    "We have made a new choice for %@: %@!",
    "We were unsuccessful in changing the %@",
    "We were unsuccessful in updating %@!",
    "Zarvik PDE got an error %d setting the value for %@ !",
    "Zarvik PDE got an error registering its help book!",
    "Zarvik PDE got an unhandled type in setNewUserChoice! %d",
};

// The code point that starts `bytes` and its length, or length 0 when the
// bytes are not valid UTF-8 there (overlong, surrogate, beyond U+10FFFF).
struct CodePoint {
  char32_t value = 0;
  std::size_t length = 0;
};

CodePoint firstCodePoint(std::string_view bytes) {
  if (bytes.empty()) return {};
  auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  unsigned char lead = at(0);
  std::size_t length;
  char32_t value;
  if (lead < 0x80) return {lead, 1};
  if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1Fu;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0Fu;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07u;
  } else {
    return {};
  }
  if (bytes.size() < length) return {};
  for (std::size_t k = 1; k < length; ++k) {
    if ((at(k) & 0xC0) != 0x80) return {};
    value = (value << 6) | (at(k) & 0x3Fu);
  }
  constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kShortest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return {};
  return {value, length};
}

bool isValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = firstCodePoint(text.substr(i)).length;
    if (length == 0) return false;
    i += length;
  }
  return true;
}

// The length of the code point that starts `text` if a log reader takes it
// as ordinary text: valid UTF-8 and no C0 or C1 control, DEL, or line or
// paragraph separator; else 0.
std::size_t plainCodePoint(std::string_view text) {
  CodePoint c = firstCodePoint(text);
  if (c.length == 0 || c.value < 0x20 || (c.value >= 0x7F && c.value <= 0x9F) || c.value == 0x2028 ||
      c.value == 0x2029) {
    return 0;
  }
  return c.length;
}

// Whether `entry` is `format` with every text argument plain and every
// integer argument a decimal number.
bool matchesMessage(std::string_view format, std::string_view entry) {
  if (format.empty()) return entry.empty();
  if (format.starts_with("%%")) return entry.starts_with('%') && matchesMessage(format.substr(2), entry.substr(1));
  if (format.starts_with("%@") || format.starts_with("%s")) {
    std::string_view rest = format.substr(2);
    for (std::size_t at = 0;;) {
      if (matchesMessage(rest, entry.substr(at))) return true;
      std::size_t length = plainCodePoint(entry.substr(at));
      if (length == 0) return false;
      at += length;
    }
  }
  if (format.starts_with("%d") || format.starts_with("%ld")) {
    std::size_t at = entry.starts_with('-') ? 1 : 0;
    std::size_t digits = 0;
    while (at + digits < entry.size() && entry[at + digits] >= '0' && entry[at + digits] <= '9') ++digits;
    if (digits == 0) return false;
    return matchesMessage(format.substr(format[1] == 'l' ? 3 : 2), entry.substr(at + digits));
  }
  return !entry.empty() && entry[0] == format[0] && matchesMessage(format.substr(1), entry.substr(1));
}

bool isPanelMessage(std::string_view entry) {
  for (std::string_view format : kMessages) {
    if (matchesMessage(format, entry)) return true;
  }
  return false;
}

// A byte string as a reader can see it in a failure message.
std::string visible(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  return out;
}

template <std::size_t N>
std::string recordText(const char (&chars)[N]) {
  return std::string(chars, strnlen(chars, N));
}

std::filesystem::path hostilePath(std::string_view file) { return testPpdPath("hostile") / file; }

// What libcups makes of a file: the PPD, or why it refuses it.
struct Opened {
  ScopedPpd ppd;
  ppd_status_t status = PPD_OK;
  int line = 0;
};

Opened openWithLibcups(const std::filesystem::path& path) {
  Opened opened;
  opened.ppd.reset(ppdOpenFile(path.c_str()));
  if (!opened.ppd) opened.status = ppdLastError(&opened.line);
  return opened;
}

bool hasEveryRequiredOption(ppd_file_t* ppd) {
  for (std::string_view keyword : kRequired) {
    if (ppdFindOption(ppd, std::string(keyword).c_str()) == nullptr) return false;
  }
  return true;
}

Objects keywordsOf(ppd_option_t* option) {
  Objects out;
  for (int i = 0; option && i < option->num_choices; ++i) out.push_back(recordText(option->choices[i].choice));
  return out;
}

// The text of the option's choice with that keyword as libcups finds it.
std::optional<std::string> choiceText(ppd_file_t* ppd, const char* option, const std::string& keyword) {
  ppd_choice_t* choice = ppdFindChoice(ppdFindOption(ppd, option), keyword.c_str());
  if (choice == nullptr) return std::nullopt;
  return recordText(choice->text);
}

struct PopupRow {
  const char* outlet;
  const char* option;
  std::optional<std::string> ZarvikPDE::*field;
};

constexpr PopupRow kPopups[] = {
    {"jobTypePopup", "JobType", &ZarvikPDE::jobTypeChoice},
    {"centerEngravingPopup", "CenterEngraving", &ZarvikPDE::centerEngravingChoice},
    {"ditheringPopup", "dithering", &ZarvikPDE::ditheringChoice},
    {"engravingDirectionPopup", "EngravingDirection", &ZarvikPDE::engraveDirChoice},
    {"vSortingPopup", "vectorSort", &ZarvikPDE::vectorSortingChoice},
};

constexpr const char* kCheckBoxes[] = {"directPrintCheckBox", "vectorGridCheckBox", "vSpeedCompCheckBox",
                                       "vPowerCompCheckBox", "autoFocusCheckBox"};
constexpr const char* kSliders[] = {"rSpeedSlider", "rPowerSlider", "vSpeedSlider", "vPowerSlider", "vFreqSlider"};
constexpr const char* kTypedFields[] = {"rSpeedTextBox", "rPowerTextBox", "vSpeedTextBox",
                                        "vPowerTextBox", "vFreqTextBox",  "materialTextBox"};

// Numbers a person, or a toolkit, can hand a numeric control.
constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kOddNumbers[] = {0.0f, 37.9f, -2.7f, 100.0f, 3.0e9f, -3.0e9f, 1.0e30f, -1.0e-30f, kInfinity, kNaN};

// The fields a refused request must leave alone. The resolution slider's
// position is not among them: it stays where the person put it.
struct Fields {
  std::optional<std::string> choices[5];
  NSInteger integers[11];
  float thickness;
  bool operator==(const Fields&) const = default;
};

Fields fieldsOf(const ZarvikPDE& p) {
  return {{p.jobTypeChoice, p.centerEngravingChoice, p.ditheringChoice, p.engraveDirChoice, p.vectorSortingChoice},
          {p.rPower, p.rSpeed, p.vPower, p.vSpeed, p.vFreq, p.vSpeedComp, p.vPowerComp, p.oDirectPrint, p.oAutoFocus,
           p.oVectorGrid, p.resolution},
          p.oMaterialThickness};
}

class HostilePpdTest : public ::testing::Test {
 protected:
  // Binds a panel to `ppd` as a host does: the PPD's defaults marked first.
  std::shared_ptr<ZarvikPDE> bind(ppd_file_t* ppd, bool hostAccepts = true) {
    ppdMarkDefaults(ppd);
    host = std::make_shared<RecordingHost>(ppd);
    if (!hostAccepts) host->decide = [](std::string_view, std::string_view) { return false; };
    return ZarvikPDE::initWithCallback(host);
  }

  // Shows the panel, restores it and checks the summary, as a host does
  // before the person sees it.
  MemoryView& show(ZarvikPDE& p, ppd_file_t* ppd) {
    EXPECT_NE(p.panelView(), nullptr);
    p.willShow();
    EXPECT_TRUE(p.restoreValuesAndReturnError(nullptr));
    p.willShow();
    checkSummary(p, ppd);
    return *bundle->loadedView;
  }

  // The summary has its one entry exactly when libcups finds the current
  // job type among the JobType choices.
  void checkSummary(ZarvikPDE& p, ppd_file_t* ppd) {
    std::optional<std::string> text = p.jobTypeChoice ? choiceText(ppd, "JobType", *p.jobTypeChoice) : std::nullopt;
    auto summary = p.summaryInfo();
    ASSERT_EQ(summary.has_value(), text.has_value()) << "job type " << visible(p.jobTypeChoice.value_or("(nil)"));
    if (!summary) return;
    ASSERT_EQ(summary->size(), 1u);
    EXPECT_EQ(summary->begin()->first, "Zarvik Settings");
    EXPECT_TRUE(isValidUtf8(summary->begin()->second)) << visible(summary->begin()->second);
  }

  // Each pop-up holds one item per choice of its option, in order, each
  // carrying its choice's keyword under a title that is valid UTF-8.
  void checkPopups(const ZarvikPDE& p, const MemoryView& view) {
    const std::pair<const char*, ppd_option_t*> popups[] = {{"jobTypePopup", p.jobTypeOption},
                                                            {"centerEngravingPopup", p.centerEngravingOption},
                                                            {"ditheringPopup", p.ditheringOption},
                                                            {"engravingDirectionPopup", p.engraveDirOption},
                                                            {"vSortingPopup", p.vectorSortingOption}};
    for (const auto& [outlet, option] : popups) {
      MemoryPopUpButton& popup = view.popup(outlet);
      EXPECT_EQ(popup.objects(), keywordsOf(option)) << outlet;
      for (const std::string& title : popup.titles()) {
        EXPECT_TRUE(isValidUtf8(title)) << outlet << ": " << visible(title);
      }
    }
  }

  // Works every control as a person would: each pop-up item, each box on
  // and off, odd numbers in every slider and field, every resolution step.
  // With a host that accepts, each pick lands in its choice field; with one
  // that refuses, no field changes. `stride` thins out huge pop-ups.
  void workEveryControl(ZarvikPDE& p, ppd_file_t* ppd, MemoryView& view, bool hostAccepts, std::size_t stride = 1) {
    // Auto focus first, so the controls it governs take input.
    MemoryButton& autoFocus = view.checkBox("autoFocusCheckBox");
    if (autoFocus.state() != 1) autoFocus.userClicks();

    for (const PopupRow& row : kPopups) {
      MemoryPopUpButton& popup = view.popup(row.outlet);
      std::vector<std::size_t> picks;
      for (std::size_t i = 0; i < popup.items.size(); i += stride) picks.push_back(i);
      if (!popup.items.empty() && picks.back() + 1 != popup.items.size()) picks.push_back(popup.items.size() - 1);
      for (std::size_t i : picks) {
        std::optional<std::string> keyword = popup.items[i]->object;
        Fields before = fieldsOf(p);
        std::size_t requests = host->calls.size();
        popup.userSelects(static_cast<NSInteger>(i));
        ASSERT_EQ(host->calls.size(), requests + 1) << row.outlet << " item " << i;
        EXPECT_EQ(host->calls.back(), std::make_pair(std::string(row.option), keyword.value_or("")));
        if (hostAccepts) {
          EXPECT_EQ(p.*row.field, keyword) << row.outlet << " item " << i;
        } else {
          EXPECT_EQ(fieldsOf(p), before) << row.outlet << " item " << i;
          EXPECT_EQ(popup.selected, popup.indexOfItemWithRepresentedObject(p.*row.field));
        }
        if (row.field == &ZarvikPDE::jobTypeChoice) checkSummary(p, ppd);
      }
      // A pop-up with no item selected offers nothing to the host.
      std::size_t requests = host->calls.size();
      popup.userSelects(-1);
      EXPECT_EQ(host->calls.size(), requests) << row.outlet;
    }

    for (const char* name : kCheckBoxes) {
      MemoryButton& box = view.checkBox(name);
      for (int click = 0; click < 2; ++click) {
        Fields before = fieldsOf(p);
        box.userClicks();
        if (!hostAccepts) {
          EXPECT_EQ(fieldsOf(p), before) << name;
        }
      }
    }
    if (autoFocus.state() != 1) autoFocus.userClicks();

    for (const char* name : kSliders) {
      for (float value : kOddNumbers) {
        Fields before = fieldsOf(p);
        view.slider(name).userMoves(value);
        if (!hostAccepts) {
          EXPECT_EQ(fieldsOf(p), before) << name << " at " << value;
        }
      }
    }
    for (const char* name : kTypedFields) {
      for (float value : kOddNumbers) {
        Fields before = fieldsOf(p);
        view.textField(name).userTypes(value);
        if (!hostAccepts) {
          EXPECT_EQ(fieldsOf(p), before) << name << " at " << value;
        }
      }
    }
    for (float position : {0.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f, -1.0f}) {
      Fields before = fieldsOf(p);
      view.slider("resolutionSlider").userMoves(position);
      if (!hostAccepts) {
        EXPECT_EQ(fieldsOf(p), before) << "resolution step " << position;
      }
    }

    EXPECT_TRUE(p.saveValuesAndReturnError(nullptr));
    // Another panel of the dialog picks the PPD's own keywords.
    for (const PopupRow& row : kPopups) {
      Objects keywords = keywordsOf(ppdFindOption(ppd, row.option));
      if (!keywords.empty()) p.PPDOptionKeyValueDidChange(std::string(row.option), keywords.back());
    }
    EXPECT_TRUE(p.restoreValuesAndReturnError(nullptr));
    p.willShow();
    checkSummary(p, ppd);
  }

  // Every captured entry is one of the panel's messages, arguments escaped.
  void checkLog() {
    for (const std::string& entry : log.lines) {
      EXPECT_TRUE(isPanelMessage(entry)) << "not a panel message with escaped arguments: " << visible(entry);
    }
  }

  // Builds, shows, works and restores a panel on `path` twice, with a host
  // that accepts everything and with one that refuses everything; checks
  // the invariants throughout and that the panel lets go of its host.
  void survive(const std::filesystem::path& path, std::size_t stride = 1) {
    for (bool hostAccepts : {true, false}) {
      SCOPED_TRACE(hostAccepts ? "host accepts" : "host refuses");
      Opened file = openWithLibcups(path);
      ASSERT_TRUE(file.ppd) << ppdErrorString(file.status) << " at line " << file.line;
      std::shared_ptr<ZarvikPDE> p = bind(file.ppd.get(), hostAccepts);
      ASSERT_TRUE(p);
      MemoryView& view = show(*p, file.ppd.get());
      checkPopups(*p, view);
      workEveryControl(*p, file.ppd.get(), view, hostAccepts, stride);
      checkPopups(*p, view);
      checkLog();
      p.reset();
      EXPECT_EQ(host.use_count(), 1) << "the panel let go of its host";
      host.reset();
      log.clear();
    }
  }

  // Opens a corpus file, binds a panel to it and shows it; the test stops
  // when libcups refuses the file or no panel is built.
  void showFile(std::string_view file, bool hostAccepts = true) {
    opened = openWithLibcups(hostilePath(file));
    ASSERT_TRUE(opened.ppd) << ppdErrorString(opened.status) << " at line " << opened.line;
    panel = bind(opened.ppd.get(), hostAccepts);
    ASSERT_TRUE(panel) << "no panel for " << file;
    view = &show(*panel, opened.ppd.get());
  }

  std::optional<std::string> summaryText() {
    auto summary = panel->summaryInfo();
    if (!summary || summary->size() != 1) return std::nullopt;
    return summary->begin()->second;
  }

  LogCapture log;
  MemoryHelpManager help;
  std::shared_ptr<MemoryBundle> bundle = std::make_shared<MemoryBundle>();
  ScopedPanelBundle registration{bundle};
  // Declared in the order that lets the panel go first, then its host, then
  // the PPD they borrow.
  Opened opened;
  std::shared_ptr<RecordingHost> host;
  std::shared_ptr<ZarvikPDE> panel;
  MemoryView* view = nullptr;
};

// The corpus: each file and what it gives.
struct HostileFile {
  const char* file;
  // libcups's refusal, or PPD_OK when it opens the file.
  ppd_status_t refusal;
  int refusalLine;
  bool panel;
};

void PrintTo(const HostileFile& f, std::ostream* out) { *out << f.file; }

constexpr HostileFile kCorpus[] = {
    {"latin1-declared-utf8.ppd", PPD_OK, 0, true},
    {"utf8-declared-latin1.ppd", PPD_OK, 0, true},
    {"unknown-encoding.ppd", PPD_OK, 0, true},
    {"format-directives.ppd", PPD_OK, 0, true},
    {"control-characters.ppd", PPD_OK, 0, true},
    {"duplicate-custom-param.ppd", PPD_BAD_CUSTOM_PARAM, 43, false},
    {"two-custom-params.ppd", PPD_OK, 0, true},
    {"custom-ranges.ppd", PPD_OK, 0, true},
    {"unusual-keywords.ppd", PPD_OK, 0, true},
    {"high-byte-keyword.ppd", PPD_ILLEGAL_OPTION_KEYWORD, 19, false},
    {"long-choice-keyword.ppd", PPD_ILLEGAL_OPTION_KEYWORD, 19, false},
    {"missing-defaults.ppd", PPD_OK, 0, true},
    {"required-option-twice.ppd", PPD_OK, 0, true},
    {"options-without-choices.ppd", PPD_OK, 0, true},
    {"truncated-in-openui.ppd", PPD_OK, 0, true},
    {"truncated-before-required.ppd", PPD_OK, 0, false},
    {"empty.ppd", PPD_MISSING_PPDADOBE4, 0, false},
    {"binary-garbage.ppd", PPD_MISSING_ASTERISK, 1, false},
};

class HostilePpdCorpusTest : public HostilePpdTest, public ::testing::WithParamInterface<HostileFile> {};

// A panel exactly when libcups opens the file and finds the thirteen
// required options; otherwise no panel and not a word in the log.
TEST_P(HostilePpdCorpusTest, GivesAPanelOrAClearRefusal) {
  const HostileFile& expected = GetParam();
  Opened file = openWithLibcups(hostilePath(expected.file));
  if (expected.refusal != PPD_OK) {
    EXPECT_FALSE(file.ppd);
    EXPECT_EQ(file.status, expected.refusal) << ppdErrorString(file.status);
    EXPECT_EQ(file.line, expected.refusalLine);
  } else {
    ASSERT_TRUE(file.ppd) << ppdErrorString(file.status) << " at line " << file.line;
    EXPECT_EQ(hasEveryRequiredOption(file.ppd.get()), expected.panel);
  }

  // A host whose printer's PPD libcups refused has no PPD to give.
  if (file.ppd) ppdMarkDefaults(file.ppd.get());
  host = std::make_shared<RecordingHost>(file.ppd.get());
  std::shared_ptr<ZarvikPDE> p = ZarvikPDE::initWithCallback(host);
  EXPECT_EQ(static_cast<bool>(p), expected.panel);
  if (!expected.panel) {
    EXPECT_EQ(log.lines, Texts{});
    EXPECT_EQ(host->calls.size(), 0u);
    return;
  }
  p.reset();
  host.reset();
  log.clear();
  survive(hostilePath(expected.file));
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostilePpdCorpusTest, ::testing::ValuesIn(kCorpus),
                         [](const ::testing::TestParamInfo<HostileFile>& info) {
                           std::string name;
                           for (const char* c = info.param.file; *c && *c != '.'; ++c) {
                             if (*c != '-') name += *c;
                           }
                           return name;
                         });

// What the panel shows for the odd part of each file.

constexpr char kReplacement[] = "\xef\xbf\xbd";  // U+FFFD

std::string withReplacements(std::initializer_list<std::string_view> pieces) {
  std::string out;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) out += kReplacement;
    out += pieces.begin()[i];
  }
  return out;
}

TEST_F(HostilePpdTest, TextsInAWrongOrUnknownEncodingReachThePopupsAsValidUtf8) {
  struct Row {
    const char* file;
    Texts jobTypeTitles;
    std::string logged;  // the cResolution parameter's text as logged
  };
  const Row rows[] = {
      // Bytes that are not UTF-8 become U+FFFD; libcups converts nothing.
      {"latin1-declared-utf8.ppd",
       {withReplacements({"Gravur ", "ber Kopf"}), "Vector Only",
        withReplacements({"Gravur und Schnitt ", " la carte"})},
       "The custom option text is: " + withReplacements({"Aufl", "sung (dpi)"})},
      // libcups converts choice texts from Latin-1, so UTF-8 bytes arrive
      // encoded twice; it leaves parameter texts alone.
      {"utf8-declared-latin1.ppd",
       {"Gravur \xc3\x83\xc2\xbc"
        "ber Kopf",
        "Vector Only", "Gravur \xc3\xa2\xc2\x80\xc2\x93 Schnitt"},
       "The custom option text is: Aufl\xc3\xb6sung \xe2\x80\x93 dpi"},
      // An encoding libcups does not know: the bytes stay as they are.
      {"unknown-encoding.ppd",
       {withReplacements({"Gravur ", "ber Kopf"}), "Vector Only",
        "Gravur \xc3\xbc"
        "ber Kopf"},
       "The custom option text is: " + withReplacements({"Aufl", "sung (dpi)"})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    ASSERT_NO_FATAL_FAILURE(showFile(row.file));
    EXPECT_EQ(view->popup("jobTypePopup").titles(), row.jobTypeTitles);
    // The default, Combined, is the third choice.
    EXPECT_EQ(summaryText(), row.jobTypeTitles[2]);
    EXPECT_EQ(log.count(row.logged), 2u) << "from the defaults, at construction and in the restore";
    panel.reset();
    host.reset();
    log.clear();
  }
  ASSERT_NO_FATAL_FAILURE(showFile("latin1-declared-utf8.ppd"));
  EXPECT_EQ(view->popup("ditheringPopup").titles(), (Texts{"Threshold", withReplacements({"Geordnet (4", "4)"})}));
  EXPECT_TRUE(log.contains("The custom option text is: " + withReplacements({"Vektorst", "rke (%)"})));
}

TEST_F(HostilePpdTest, FormatDirectivesAreShownAndLoggedAsPlainText) {
  ASSERT_NO_FATAL_FAILURE(showFile("format-directives.ppd"));
  for (const char* line : {
           "A new user choice has been selected\nThe choice is: %n%s\n The type is: 0",
           "A new user choice has been selected\nThe choice is: %@\n The type is: 1",
           "A new user choice has been selected\nThe choice is: %x%%\n The type is: 2",
           "The custom option text is: %s%s%s%n%@",
           "The custom option text is: %n%x%d",
           "The current jobtype choice is: %n%s",
           "The current center engraving choice is: %@",
           "The current dithering choice is: %x%%",
       }) {
    EXPECT_TRUE(log.contains(line)) << line;
  }
  EXPECT_EQ(view->popup("jobTypePopup").titles(), (Texts{"Raster Only", "Vector Only", "%@ %s %n %d %x %%"}));
  EXPECT_EQ(view->popup("jobTypePopup").selectedObject(), "%n%s");
  EXPECT_EQ(view->popup("centerEngravingPopup").titles(), (Texts{"%d%d%d%d%d%d%d%d", "Center on the Bed"}));
  EXPECT_EQ(summaryText(), "%@ %s %n %d %x %%");

  view->popup("vSortingPopup").userSelects(0);
  EXPECT_EQ(host->calls.back(), std::make_pair(std::string("vectorSort"), std::string("%s")));
  EXPECT_EQ(panel->vectorSortingChoice, "%s");

  // With a host that refuses the defaults' custom marks, the PPD keeps its
  // own default resolution, whose keyword and text the restore logs.
  panel.reset();
  host.reset();
  log.clear();
  ASSERT_NO_FATAL_FAILURE(showFile("format-directives.ppd", /*hostAccepts=*/false));
  EXPECT_TRUE(log.contains("The current resolution choice is: %ld\nText: %s dpi"));
}

TEST_F(HostilePpdTest, ControlCharactersAreEscapedAndForgeNoLogEntry) {
  ASSERT_NO_FATAL_FAILURE(showFile("control-characters.ppd"));
  for (const char* line : {
           "A new user choice has been selected\nThe choice is: line\\\\nbreak\n The type is: 0",
           "The current jobtype choice is: line\\\\nbreak",
           "The custom option text is: Res\\r\\nUnable to get forged\\u0085Next\\u2028Line",
           "The custom option text is: Power\\nThe custom vector power is 1set to: 99",
       }) {
    EXPECT_TRUE(log.contains(line)) << line;
  }
  for (const std::string& entry : log.lines) {
    EXPECT_FALSE(entry.starts_with("Unable to get forged")) << visible(entry);
    EXPECT_NE(entry, "The custom vector power is 1set to: 99");
  }
  // Pop-up titles and the summary are texts for a person: valid UTF-8, the
  // PPD's characters as they are, up to the NUL that ends a text.
  EXPECT_EQ(view->popup("jobTypePopup").titles(), (Texts{"Red\x1b[31m\rBell\aTab\tDel\x7f",
                                                         "Next\xc2\x85Line\xe2\x80\xa8Para\xe2\x80\xa9"
                                                         "End",
                                                         "Forged\nThe current jobtype choice is: Raster"}));
  EXPECT_EQ(summaryText(), "Forged\nThe current jobtype choice is: Raster");

  panel.reset();
  host.reset();
  log.clear();
  ASSERT_NO_FATAL_FAILURE(showFile("control-characters.ppd", /*hostAccepts=*/false));
  EXPECT_TRUE(log.contains("The current resolution choice is: 600\nText: 600\\nText: forged\\\\"));
}

TEST_F(HostilePpdTest, ACustomValueLandsInTheFirstOfSeveralParameters) {
  ASSERT_NO_FATAL_FAILURE(showFile("two-custom-params.ppd"));
  // The host marks "Custom.600", which libcups gives the first parameter,
  // cResFine; cRes, which the panel reads back, keeps 0.
  ppd_coption_t* resolution = ppdFindCustomOption(opened.ppd.get(), "cResolution");
  ASSERT_NE(resolution, nullptr);
  ppd_cparam_t* fine = ppdFindCustomParam(resolution, "cResFine");
  ASSERT_NE(fine, nullptr);
  EXPECT_EQ(fine->current.custom_real, 600.0f);
  EXPECT_TRUE(log.contains("The resolution is set to: 0"));
  EXPECT_TRUE(log.contains("The custom vector power is 2set to: 0"));
  EXPECT_EQ(panel->resolution, 600);
  EXPECT_EQ(panel->vPower, 50);
  // A first parameter that is a string gives no range: the choices do.
  EXPECT_EQ(view->slider("rSpeedSlider").minValue, 50.0);
  EXPECT_EQ(view->slider("rSpeedSlider").maxValue, 100.0);
}

TEST_F(HostilePpdTest, NumericControlsTakeOnlySoundRangesFromThePpd) {
  ASSERT_NO_FATAL_FAILURE(showFile("custom-ranges.ppd"));
  struct Row {
    const char* slider;
    double minimum, maximum;
  };
  const Row rows[] = {
      {"rSpeedSlider", 50, 100},                  // 100 to 1: inverted, so the choices' span
      {"rPowerSlider", -2147483647, 2147483647},  // the 32-bit limits
      {"vSpeedSlider", -1215752191, 1215752191},  // 11 digits, as libcups cuts them to 32 bits
      {"vPowerSlider", 80, 100},                  // inverted at the limits
      {"vFreqSlider", 500, 5000},                 // "nan" reads as 0: inverted
  };
  for (const Row& row : rows) {
    EXPECT_EQ(view->slider(row.slider).minValue, row.minimum) << row.slider;
    EXPECT_EQ(view->slider(row.slider).maxValue, row.maximum) << row.slider;
  }
  // +-1e308 is beyond a float: the field takes the choices' span.
  EXPECT_EQ(view->textField("materialTextBox").minValue, 0.0);
  EXPECT_EQ(view->textField("materialTextBox").maxValue, 3.0);

  struct Move {
    float value;
    const char* text;
  };
  for (const Move& move : {Move{3.0e9f, "2147483647"}, Move{-3.0e9f, "-2147483648"}}) {
    view->slider("rPowerSlider").userMoves(move.value);
    ASSERT_GE(host->calls.size(), 2u);
    EXPECT_EQ(host->calls[host->calls.size() - 2], std::make_pair(std::string("rasterPower"), std::string("Custom")));
    EXPECT_EQ(host->calls.back(), std::make_pair(std::string("CustomrasterPower"), std::string(move.text)));
    EXPECT_EQ(host->settings.writes.back().key, ZarvikPDE::printSettingsKey(".rasterPower"));
    EXPECT_EQ(host->settings.writes.back().value, move.text);
  }
}

TEST_F(HostilePpdTest, UnusualKeywordsAreOfferedAndMarkedAsTheyAre) {
  ASSERT_NO_FATAL_FAILURE(showFile("unusual-keywords.ppd"));
  const std::string forty(40, 'K');
  MemoryPopUpButton& popup = view->popup("jobTypePopup");
  ASSERT_EQ(popup.objects(), (Objects{"Raster", "Vector", "Combined", "Ra.ster", "\"quoted\"", "back\\slash", "{x}",
                                      "_Custom.5", forty, "Vector", "raster", "RASTER", "Cut"}));
  EXPECT_EQ(popup.selected, 8);
  EXPECT_EQ(summaryText(), "Forty Characters");

  struct Row {
    std::optional<std::string> summary;  // what libcups finds for the keyword
    NSInteger shown;                     // the item the refresh selects for it
  };
  const Row rows[] = {
      {"Raster Only", 0},
      {"Vector Only", 1},
      {"Raster and Vector", 2},
      {"Dots", 3},
      {"Quotes", 4},
      {"Backslash", 5},
      // libcups takes a keyword that starts with "{" for a custom value.
      {std::nullopt, 6},
      // libcups renamed "Custom.5", which it would take for a custom value.
      {"Custom Dot", 7},
      {"Forty Characters", 8},
      // The second "Vector" is found as the first; libcups finds choices
      // whatever their case.
      {"Vector Only", 1},
      {"Raster Only", 10},
      {"Raster Only", 11},
      // The first slash ends the keyword; the others belong to the text.
      {"Cut/Score/Engrave", 12},
  };
  ASSERT_EQ(std::size(rows), popup.items.size());
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const std::string keyword = *popup.items[i]->object;
    popup.userSelects(static_cast<NSInteger>(i));
    EXPECT_EQ(host->calls.back(), std::make_pair(std::string("JobType"), keyword)) << i;
    EXPECT_EQ(panel->jobTypeChoice, keyword) << i;
    EXPECT_EQ(summaryText(), rows[i].summary) << i;
    panel->willShow();
    EXPECT_EQ(popup.selected, rows[i].shown) << i;
  }
}

TEST_F(HostilePpdTest, MissingDefaultsLeaveTheirPopupsWithoutASelection) {
  ASSERT_NO_FATAL_FAILURE(showFile("missing-defaults.ppd"));
  EXPECT_TRUE(log.contains("A new user choice has been selected\nThe choice is: \n The type is: 0"));
  EXPECT_EQ(panel->jobTypeChoice, "");
  EXPECT_EQ(panel->centerEngravingChoice, "Nowhere");
  EXPECT_EQ(panel->ditheringChoice, "");
  EXPECT_EQ(panel->engraveDirChoice, "BottomUp");  // the last of its two defaults
  EXPECT_EQ(panel->vectorSortingChoice, std::nullopt);
  const std::pair<const char*, NSInteger> selected[] = {{"jobTypePopup", -1},
                                                        {"centerEngravingPopup", -1},
                                                        {"ditheringPopup", -1},
                                                        {"engravingDirectionPopup", 1},
                                                        {"vSortingPopup", -1}};
  for (const auto& [outlet, index] : selected) EXPECT_EQ(view->popup(outlet).selected, index) << outlet;
  EXPECT_EQ(panel->summaryInfo(), std::nullopt);

  view->popup("jobTypePopup").userSelects(1);
  EXPECT_EQ(summaryText(), "Vector Only");
}

TEST_F(HostilePpdTest, ARequiredOptionDeclaredTwiceOffersWhatLibcupsFindsFirst) {
  ASSERT_NO_FATAL_FAILURE(showFile("required-option-twice.ppd"));
  // Two blocks in one group: one option, all five choices, the last default.
  EXPECT_EQ(view->popup("jobTypePopup").titles(),
            (Texts{"Raster Only", "Vector Only", "Raster and Vector", "Second Vector", "Engrave Only"}));
  EXPECT_EQ(panel->jobTypeChoice, "Engrave");
  EXPECT_EQ(summaryText(), "Engrave Only");
  view->popup("jobTypePopup").userSelects(3);
  EXPECT_EQ(summaryText(), "Vector Only");
  panel->willShow();
  EXPECT_EQ(view->popup("jobTypePopup").selected, 1);
  // Two blocks in two groups: the first option; the second is offered nowhere.
  EXPECT_EQ(view->popup("ditheringPopup").titles(), (Texts{"Threshold", "Ordered"}));
  EXPECT_EQ(panel->ditheringChoice, "Threshold");
}

TEST_F(HostilePpdTest, OptionsWithoutChoicesGiveEmptyPopups) {
  ASSERT_NO_FATAL_FAILURE(showFile("options-without-choices.ppd"));
  for (const char* outlet : {"jobTypePopup", "vSortingPopup"}) {
    MemoryPopUpButton& popup = view->popup(outlet);
    EXPECT_EQ(popup.items.size(), 0u) << outlet;
    EXPECT_EQ(popup.selected, -1) << outlet;
    std::size_t requests = host->calls.size();
    popup.userSelects(0);
    EXPECT_EQ(host->calls.size(), requests) << outlet;
  }
  // The default names a choice that is not there: no summary.
  EXPECT_EQ(panel->jobTypeChoice, "Combined");
  EXPECT_EQ(panel->summaryInfo(), std::nullopt);
}

TEST_F(HostilePpdTest, AFileTruncatedInsideAnOpenUiBlockStillGivesAPanel) {
  ASSERT_NO_FATAL_FAILURE(showFile("truncated-in-openui.ppd"));
  // libcups keeps the block it was in, without the choice cut short.
  ppd_option_t* directPrint = ppdFindOption(opened.ppd.get(), "directPrint");
  ASSERT_NE(directPrint, nullptr);
  EXPECT_EQ(directPrint->num_choices, 0);
  EXPECT_EQ(summaryText(), "Raster and Vector");
  view->checkBox("directPrintCheckBox").userClicks();
  EXPECT_EQ(host->calls.back(), std::make_pair(std::string("directPrint"), std::string("enabled")));
  EXPECT_EQ(markedChoice(opened.ppd.get(), "directPrint"), "");
}

// A JobType of 10,000 choices, generated: the pop-up holds them all, in
// order, and the panel survives working a spread of them.
TEST_F(HostilePpdTest, TenThousandJobTypesFillOnePopup) {
  constexpr int kChoices = 10000;
  std::string block = "*OpenUI *JobType/Job Type: PickOne\n*DefaultJobType: J09999\n";
  char line[64];
  for (int i = 0; i < kChoices; ++i) {
    std::snprintf(line, sizeof line, "*JobType J%05d/Job %%d %05d: \"\"\n", i, i);
    block += line;
  }
  block += "*CloseUI: *JobType\n";
  const std::string text = sampleWithoutOption("JobType") + block;
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "zarvik-hostile-10000.ppd";
  {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  struct Remove {
    std::filesystem::path path;
    ~Remove() { std::filesystem::remove(path); }
  } remove{path};

  opened = openWithLibcups(path);
  ASSERT_TRUE(opened.ppd);
  panel = bind(opened.ppd.get());
  ASSERT_TRUE(panel);
  view = &show(*panel, opened.ppd.get());
  MemoryPopUpButton& popup = view->popup("jobTypePopup");
  ASSERT_EQ(popup.items.size(), static_cast<std::size_t>(kChoices));
  EXPECT_EQ(popup.items[0]->object, "J00000");
  EXPECT_EQ(popup.items[0]->title, "Job %d 00000");
  EXPECT_EQ(popup.items[kChoices - 1]->object, "J09999");
  EXPECT_EQ(popup.selected, kChoices - 1);
  EXPECT_EQ(summaryText(), "Job %d 09999");

  panel.reset();
  host.reset();
  log.clear();
  survive(path, /*stride=*/97);
}

}  // namespace
}  // namespace zarvik::testing
