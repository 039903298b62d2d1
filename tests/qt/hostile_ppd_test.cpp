// Hostile PPDs, as a remote printer may send them: every file of
// tests/data/hostile (each says in its header what is odd about it) and one
// of 10,000 job types gives either a clear refusal or a panel that survives
// being shown, worked through every control, restored and summarised, with
// a host that accepts everything and one that refuses everything: no crash,
// every log entry a single entry of plain text, every text valid UTF-8.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "panel/ppd_text.h"
#include "qt_panel_platform.h"
#include "support/ppd_files.h"
#include "support/recording_host.h"

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
  // Builds a panel on `ppd` and works every control of its view.
  void survive(ppd_file_t* ppd, bool hostAccepts, int itemsPerPopup) {
    auto host = std::make_shared<RecordingHost>(ppd);
    if (!hostAccepts) host->decide = [](auto, auto) { return false; };
    std::unique_ptr<DrivenPanel> built = platform.build(host);
    ASSERT_TRUE(built && built->loadView());
    auto& panel = static_cast<QtPanel&>(*built);
    panel.restore();
    panel.willShow();
    for (auto* combo : panel.root().findChildren<QComboBox*>()) {
      for (int i = 0; i < std::min(combo->count(), itemsPerPopup); ++i) {
        panel.pickItem(combo->objectName().toStdString(), i);
      }
    }
    for (const char* box : {"autoFocusCheckBox", "vectorGridCheckBox", "directPrintCheckBox", "vSpeedCompCheckBox",
                            "vPowerCompCheckBox", "autoFocusCheckBox"}) {
      panel.clickCheckBox(box);
    }
    for (auto* slider : panel.root().findChildren<QSlider*>()) {
      for (double at : {0.0, 0.5, 1.0}) {
        panel.moveSlider(slider->objectName().toStdString(),
                         slider->minimum() + at * (slider->maximum() - slider->minimum()));
      }
    }
    for (auto* field : panel.root().findChildren<QLineEdit*>())
      panel.typeText(field->objectName().toStdString(), "7", true);
    panel.optionDidChange("JobType", "Raster");
    panel.restore();
    if (auto summary = const_cast<ZarvikPDE&>(panel.core()).summaryInfo()) {
      EXPECT_EQ(decodeUtf8Lossy(summary->begin()->second), summary->begin()->second);
    }
    for (const std::string& entry : log.lines) EXPECT_TRUE(isPlainEntry(entry)) << entry;
    log.clear();
    built.reset();
    EXPECT_EQ(host.use_count(), 1) << "the panel let go of its host";
  }

  LogCapture log;
  QtPanelPlatform platform;
};

TEST_F(HostilePpdTest, EachFileGivesAPanelThatSurvivesOrAClearRefusal) {
  // What each file gives: a panel, libcups's refusal, or no panel (a
  // required option is missing).
  const std::set<std::string> panels = {
      "control-characters.ppd", "custom-ranges.ppd",           "format-directives.ppd",     "latin1-declared-utf8.ppd",
      "missing-defaults.ppd",   "options-without-choices.ppd", "required-option-twice.ppd", "truncated-in-openui.ppd",
      "two-custom-params.ppd",  "unknown-encoding.ppd",        "unusual-keywords.ppd",      "utf8-declared-latin1.ppd"};
  const std::map<std::string, ppd_status_t> refused = {{"binary-garbage.ppd", PPD_MISSING_ASTERISK},
                                                       {"duplicate-custom-param.ppd", PPD_BAD_CUSTOM_PARAM},
                                                       {"empty.ppd", PPD_MISSING_PPDADOBE4},
                                                       {"high-byte-keyword.ppd", PPD_ILLEGAL_OPTION_KEYWORD},
                                                       {"long-choice-keyword.ppd", PPD_ILLEGAL_OPTION_KEYWORD}};
  const std::string noPanel = "truncated-before-required.ppd";
  std::size_t seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(testPpdPath("hostile"))) {
    const std::string file = entry.path().filename().string();
    SCOPED_TRACE(file);
    ASSERT_TRUE(panels.contains(file) || refused.contains(file) || file == noPanel) << "say here what it gives";
    ++seen;
    ScopedPpd ppd(ppdOpenFile(entry.path().c_str()));
    int line = 0;
    if (refused.contains(file)) {
      EXPECT_FALSE(ppd);
      EXPECT_EQ(ppdLastError(&line), refused.at(file));
      continue;
    }
    ASSERT_TRUE(ppd);
    ppdMarkDefaults(ppd.get());
    if (file == noPanel) {
      auto host = std::make_shared<RecordingHost>(ppd.get());
      EXPECT_FALSE(platform.build(host));
      EXPECT_TRUE(log.lines.empty() && host->calls.empty());
      continue;
    }
    survive(ppd.get(), /*hostAccepts=*/true, 8);
    survive(ppd.get(), /*hostAccepts=*/false, 8);
  }
  EXPECT_EQ(seen, panels.size() + refused.size() + 1);

  // 10,000 job types fill one pop-up.
  std::string jobTypes;
  for (int i = 0; i < 10000; ++i)
    jobTypes += "*JobType T" + std::to_string(i) + "/Type " + std::to_string(i) + ": \"\"\n";
  TemporaryPpd large(sampleWith("*JobType Raster/Raster Only: \"\"\n", jobTypes));
  ASSERT_TRUE(large.get());
  survive(large.get(), /*hostAccepts=*/true, 3);
}

}  // namespace
}  // namespace zarvik::testing
