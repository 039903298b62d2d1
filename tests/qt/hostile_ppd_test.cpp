// Hostile PPDs, as a remote printer may send them: every file of
// tests/data/hostile (each says in its header what is odd about it) and one
// of 10,000 job types gives either a clear refusal or a panel that survives
// being shown, worked through every control, restored and summarised, with
// a host that accepts everything and one that refuses everything: no crash,
// every log entry a single entry of plain text, every text valid UTF-8.
#include <gtest/gtest.h>

#include <QComboBox>
#include <filesystem>
#include <map>

#include "panel/ppd_text.h"
#include "qt_panel_platform.h"
#include "support/files.h"
#include "support/ppd_files.h"
#include "support/recording_host.h"
#include "support/temporary_folder.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace zarvik::testing {
namespace {

// Text a log reader takes as one entry of plain text: valid UTF-8 without
// control characters, apart from the line breaks of the panel's own
// messages.
bool isPlainEntry(std::string entry) {
  for (const char* ownBreak : {"selected\nThe choice", "\n The type is", "\nText: "}) {
    for (std::size_t at; (at = entry.find(ownBreak)) != std::string::npos;) entry.erase(at, std::strlen(ownBreak));
  }
  return oneLineText(entry) == entry;
}

class HostilePpdTest : public ::testing::Test {
 protected:
  // Builds a panel on `ppd` and works every control of its view once.
  void survive(ppd_file_t* ppd, bool hostAccepts, int itemsPerPopup) {
    auto host = std::make_shared<RecordingHost>(ppd);
    if (!hostAccepts) host->decide = [](auto, auto) { return false; };
    std::unique_ptr<DrivenPanel> panel = platform.build(host);
    ASSERT_TRUE(panel);
    QtViewDriver& view = *static_cast<QtViewDriver*>(panel->loadView());
    panel->restore();
    panel->willShow();
    for (auto* combo : view.root().findChildren<QComboBox*>()) {
      std::string name = combo->objectName().toStdString();
      for (int i = 0; i < std::min(combo->count(), itemsPerPopup); ++i) view.pickItem(name, i);
      // Titles may keep a PPD's control characters, but as valid UTF-8.
      for (int i = 0; i < combo->count(); ++i) {
        std::string title = combo->itemText(i).toStdString();
        EXPECT_EQ(decodeUtf8Lossy(title), title);
      }
    }
    for (const char* box : {"autoFocusCheckBox", "vectorGridCheckBox", "directPrintCheckBox", "vSpeedCompCheckBox",
                            "vPowerCompCheckBox", "autoFocusCheckBox"}) {
      view.clickCheckBox(box);
    }
    for (const char* slider : {"rSpeedSlider", "rPowerSlider", "vSpeedSlider", "vPowerSlider", "vFreqSlider",
                               "resolutionSlider"}) {
      for (double at : {0.0, 0.5, 1.0}) {
        double low = view.sliderMinimum(slider), high = view.sliderMaximum(slider);
        view.moveSlider(slider, low + at * (high - low));
      }
    }
    for (const char* field : {"rSpeedTextBox", "vFreqTextBox", "materialTextBox"}) view.typeText(field, "7", true);
    panel->optionDidChange("JobType", "Raster");
    panel->restore();
    if (auto summary = const_cast<ZarvikPDE&>(panel->core()).summaryInfo()) {
      EXPECT_EQ(decodeUtf8Lossy(summary->begin()->second), summary->begin()->second);
    }
    for (const std::string& entry : log.lines) EXPECT_TRUE(isPlainEntry(entry)) << entry;
    log.clear();
    panel.reset();
    EXPECT_EQ(host.use_count(), 1) << "the panel let go of its host";
  }

  LogCapture log;
  QtPanelPlatform platform;
};

TEST_F(HostilePpdTest, EachFileGivesAPanelThatSurvivesOrAClearRefusal) {
  enum Outcome { kPanel, kNoPanel };
  // What each file gives: a panel, no panel (a required option is missing),
  // or libcups's refusal.
  const std::map<std::string, std::variant<Outcome, ppd_status_t>> expected = {
      {"binary-garbage.ppd", PPD_MISSING_ASTERISK},
      {"control-characters.ppd", kPanel},
      {"custom-ranges.ppd", kPanel},
      {"duplicate-custom-param.ppd", PPD_BAD_CUSTOM_PARAM},
      {"empty.ppd", PPD_MISSING_PPDADOBE4},
      {"format-directives.ppd", kPanel},
      {"high-byte-keyword.ppd", PPD_ILLEGAL_OPTION_KEYWORD},
      {"latin1-declared-utf8.ppd", kPanel},
      {"long-choice-keyword.ppd", PPD_ILLEGAL_OPTION_KEYWORD},
      {"missing-defaults.ppd", kPanel},
      {"options-without-choices.ppd", kPanel},
      {"required-option-twice.ppd", kPanel},
      {"truncated-before-required.ppd", kNoPanel},
      {"truncated-in-openui.ppd", kPanel},
      {"two-custom-params.ppd", kPanel},
      {"unknown-encoding.ppd", kPanel},
      {"unusual-keywords.ppd", kPanel},
      {"utf8-declared-latin1.ppd", kPanel},
  };
  std::size_t seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(testPpdPath("hostile"))) {
    const std::string file = entry.path().filename().string();
    SCOPED_TRACE(file);
    ASSERT_TRUE(expected.contains(file)) << "a new file: say here what it gives";
    ++seen;
    ScopedPpd ppd(ppdOpenFile(entry.path().c_str()));
    if (const auto* status = std::get_if<ppd_status_t>(&expected.at(file))) {
      int line = 0;
      EXPECT_FALSE(ppd);
      EXPECT_EQ(ppdLastError(&line), *status);
      continue;
    }
    ASSERT_TRUE(ppd);
    ppdMarkDefaults(ppd.get());
    if (std::get<Outcome>(expected.at(file)) == kNoPanel) {
      auto host = std::make_shared<RecordingHost>(ppd.get());
      EXPECT_FALSE(platform.build(host));
      EXPECT_TRUE(log.lines.empty() && host->calls.empty());
      continue;
    }
    survive(ppd.get(), /*hostAccepts=*/true, 8);
    survive(ppd.get(), /*hostAccepts=*/false, 8);
  }
  EXPECT_EQ(seen, expected.size());

  // 10,000 job types fill one pop-up.
  std::string jobTypes;
  for (int i = 0; i < 10000; ++i) jobTypes += "*JobType T" + std::to_string(i) + "/Type " + std::to_string(i) + ": \"\"\n";
  TemporaryPpd large(sampleWith("*JobType Raster/Raster Only: \"\"\n", jobTypes));
  ASSERT_TRUE(large.get());
  survive(large.get(), /*hostAccepts=*/true, 3);
}

}  // namespace
}  // namespace zarvik::testing
