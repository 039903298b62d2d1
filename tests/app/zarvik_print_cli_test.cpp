// zarvik-print on its command line, run as the real program on real PPD
// files, one table of command lines per theme with the status, the
// messages, the report and the files on disk each must give: usage errors
// (2), what the printer refuses (3), remembered settings and presets, the
// other statuses (4, 5) and --help, and the program in German.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QImage>
#include <chrono>
#include <fstream>
#include <regex>

#include "support/german_locale.h"
#include "support/ppd_files.h"
#include "zarvik_print_runner.h"

namespace zarvik::print::testing {
namespace {

using zarvik::testing::sampleWith;

const std::string kSamplePpd = zarvik::testing::samplePpdPath().string();
// The panel's print-settings keys.
const std::string kKey = "org.zarvikpde.print.pde.zarvikKind.";

// What a dry run on the sample PPD reports when nothing was set: the PPD's
// defaults, with the panel's own numbers marked as custom values.
const Options kSampleStart = {
    {"CenterEngraving", "None"},  {"EngravingDirection", "TopDown"}, {"JobType", "Combined"},
    {"PageSize", "400x600mm"},    {"autoFocus", "disabled"},         {"cResolution", "Custom.600"},
    {"directPrint", "disabled"},  {"dithering", "FloydSteinberg"},   {"materialThickness", "Custom.0"},
    {"rasterPower", "Custom.50"}, {"rasterSpeed", "Custom.50"},      {"vectorFreq", "Custom.50"},
    {"vectorGrid", "disabled"},   {"vectorPower", "Custom.50"},      {"vectorPowerComp", "enabled"},
    {"vectorSort", "Optimize"},   {"vectorSpeed", "Custom.50"},      {"vectorSpeedComp", "disabled"},
};
const Options kStartSummary = {{"Zarvik Settings", "Raster and Vector"}};

Args dryRun(const std::string& ppd = kSamplePpd) { return {"--ppd", ppd, "--no-gui", "--dry-run"}; }

class ZarvikPrintCommandLineTest : public ::testing::Test {
 protected:
  void runAll(const std::vector<Row>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      SCOPED_TRACE("row " + std::to_string(i + 1));
      check(runner, rows[i]);
    }
  }
  ZarvikPrintRunner runner;
};

TEST_F(ZarvikPrintCommandLineTest, UsageErrorsExitTwoSayWhatIsWrongAndChangeNothing) {
  // Each bad --set comes after a good one and asks for the settings to be
  // saved: a run that stops at a usage error saves nothing.
  const Args dry = dryRun() + Args{"--settings", "@/settings.json", "--save"} + setting({"JobType=Vector"});
  auto bad = [&](const std::string& set, std::string message) {
    return Row{.args = dry + setting({set}), .status = 2, .messages = {"--set " + set + ": " + message}};
  };
  const std::string longValue(200, 'x');
  const std::string resolutionSteps = "cResolution takes one of the steps 75, 150, 200, 300, 400, 600, 1200, not ";
  runAll({
      // The command line itself.
      {.args = {"--bogus"}, .status = 2, .messages = {"unknown option --bogus"}, .usage = true},
      {.args = {"--no-gui=yes"}, .status = 2, .messages = {"unknown option --no-gui=yes"}, .usage = true},
      {.args = {"-x"}, .status = 2, .messages = {"unknown option -x"}, .usage = true},
      {.args = {"--printer", "Zarvik", "--ppd", kSamplePpd},
       .status = 2,
       .messages = {"--printer and --ppd cannot be given together"},
       .usage = true},
      {.args = {"--ppd"}, .status = 2, .messages = {"--ppd needs a value"}, .usage = true},
      {.args = {"--set", "JobType"},
       .status = 2,
       .messages = {"--set takes KEY=VALUE, not \"JobType\""},
       .usage = true},
      {.args = {"--set", "=Vector"},
       .status = 2,
       .messages = {"--set takes KEY=VALUE, not \"=Vector\""},
       .usage = true},
      // Keys without a control, values a control does not take.
      bad("speed=5", "unknown setting \"speed\""),
      bad("PageSize=400x600mm", "unknown setting \"PageSize\""),
      bad("directPrint=maybe", "directPrint takes on or off, not \"maybe\""),
      bad("autoFocus=ON", "autoFocus takes on or off, not \"ON\""),
      bad("rasterSpeed=12abc", "rasterSpeed takes a whole number, not \"12abc\""),
      bad("vectorPower=2.5", "vectorPower takes a whole number, not \"2.5\""),
      bad("rasterPower=", "rasterPower takes a whole number, not \"\""),
      bad("rasterPower=+-5", "rasterPower takes a whole number, not \"+-5\""),
      bad("materialThickness=2,5", "materialThickness takes a decimal number, not \"2,5\""),
      bad("materialThickness=1e1", "materialThickness takes a decimal number, not \"1e1\""),
      bad("materialThickness=nan", "materialThickness takes a decimal number, not \"nan\""),
      // More decimals than a person can type into the field.
      bad("materialThickness=2.555", "materialThickness takes at most 2 decimals, not \"2.555\""),
      bad("materialThickness=50.0000001", "materialThickness takes at most 2 decimals, not \"50.0000001\""),
      bad("cResolution=500", resolutionSteps + "\"500\""),
      bad("cResolution=300dpi", resolutionSteps + "\"300dpi\""),
      bad("cResolution=99999999999999999999", resolutionSteps + "\"99999999999999999999\""),
      bad("JobType=Engrave", "JobType offers no choice \"Engrave\"; it offers Raster Vector Combined"),
      bad("dithering=None",
          "dithering offers no choice \"None\"; it offers Threshold Random Ordered Halftone FloydSteinberg Atkinson "
          "Sierra"),
      // What a person types comes back on one plain line, and cut when long.
      {.args = dry + setting({"rasterSpeed=5\x1b]0;owned\x07\n"}),
       .status = 2,
       .messages = {"--set rasterSpeed=5\uFFFD]0;owned\uFFFD\uFFFD: rasterSpeed takes a whole number, not "
                    "\"5\uFFFD]0;owned\uFFFD\uFFFD\""}},
      {.args = dry + setting({"rasterSpeed=" + longValue}),
       .status = 2,
       .messages = {"--set rasterSpeed=" + longValue.substr(0, 68) +
                    "\u2026 (212 bytes): rasterSpeed takes a whole number, not \"" + longValue.substr(0, 80) +
                    "\u2026\" (200 bytes)"}},
      // Files: what each is, in a sentence.
      {.args = dryRun("@/missing.ppd"), .status = 2, .messages = {"There is no PPD file @/missing.ppd."}},
      {.args = dryRun("@/folder"),
       .status = 2,
       .messages = {"@/folder is a folder, not a PPD file."},
       .before = {{"@/folder/page.ras", "a file in the folder"}}},
      {.args = dryRun(zarvik::testing::testPpdPath("hostile/empty.ppd").string()),
       .status = 2,
       .messages = {zarvik::testing::testPpdPath("hostile/empty.ppd").string() + " is empty, so it is no PPD file."}},
      {.args = dryRun("@/manual.ppd"),
       .status = 2,
       .messages = {"@/manual.ppd is a PDF document, not a PPD file: a PPD file begins with \"*PPD-Adobe\"."},
       .before = {{"@/manual.ppd", "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n"}}},
      {.args = dryRun("@/notes.ppd"),
       .status = 2,
       .messages = {"@/notes.ppd is not a PPD file: it does not begin with \"*PPD-Adobe\", as a PPD file does."},
       .before = {{"@/notes.ppd", "A text that is not a PPD\n"}}},
      {.args = dryRun("@/broken.ppd"),
       .status = 2,
       .messages = {"The PPD file @/broken.ppd is not valid: OpenGroup without a CloseGroup first at line 3."},
       .before = {{"@/broken.ppd", "*PPD-Adobe: \"4.3\"\n*OpenGroup: A\n*OpenGroup: B\n"}}},
      {.args = dry + Args{"--preset", "Birch"},
       .status = 2,
       .messages = {"there is no preset \"Birch\" in @/settings.json"}},
      // Documents: one that cannot be read is a usage error whatever else
      // is asked, a dry run too.
      {.args = dryRun() + Args{"@/nowhere.ras"}, .status = 2, .messages = {"there is no document @/nowhere.ras"}},
      {.args = {"--ppd", kSamplePpd, "--no-gui", "@/folder"},
       .status = 2,
       .messages = {"@/folder is a folder, not a document"}},
      {.args = {"--ppd", kSamplePpd, "--no-gui"},
       .status = 2,
       .messages = {"name the file to print, or use --dry-run"}},
      {.args = {"--ppd", kSamplePpd, "--settings", "@/settings.json", "--no-gui", "@/page.ras"},
       .status = 2,
       .messages = {"a PPD file is no printer: print to a queue with --printer"},
       .before = {{"@/page.ras", "a document that is never sent"}}},
      {.args = {"--ppd", kSamplePpd, "--settings", "@/settings.json", "--screenshot", "@/no-such-folder/dialog.png"},
       .status = 2,
       .messages = {"cannot write the screenshot @/no-such-folder/dialog.png"},
       .after = {{"@/no-such-folder/dialog.png", kAbsent}}},
  });
  EXPECT_FALSE(fs::exists(runner.dir() / "settings.json")) << "a run that failed saved its settings";
  EXPECT_FALSE(fs::exists(runner.configHome())) << "a run wrote under the configuration folder";
}

TEST_F(ZarvikPrintCommandLineTest, WhatThePrinterRefusesIsNamedWithItsReasonAndTheRestApplies) {
  // The PPD spells JobType and its choice Vector otherwise than the panel.
  std::string lowerCase = sampleWith("JobType", "jobtype");
  lowerCase.replace(lowerCase.find("*jobtype Vector/"), 16, "*jobtype VECTOR/");
  Options lowerCaseOptions = with(kSampleStart, {{"jobtype", "VECTOR"}, {"rasterSpeed", "Custom.40"}});
  lowerCaseOptions.erase("JobType");
  // A PPD writes control characters in hex: here a colour escape and a line
  // that passes for one of the program's own.
  const std::string escapes = sampleWith("*OpenUI *rasterSpeed/Raster Speed:",
                                         "*OpenUI *rasterSpeed/Raster<1B>[31m<0A>zarvik-print<3A> forged<07>:");
  const std::string forged =
      "Raster\uFFFD[31m\uFFFDzarvik-print: forged\uFFFD must be from 1 to 100; 500 is outside that range.";
  const std::string backwards =
      "Raster Speed cannot take any value: the printer's PPD gives it the range 100 to 1, "
      "which holds none.";
  const std::string thickness = "Materialstärke must be from 0 to 50; 99 is outside that range.";
  std::string saved;
  runAll({
      // Each refusal with its reason; the rest applies and is saved. A
      // number is named as it was given; a sign reads alike either way.
      {.args = dryRun() + Args{"--settings", "@/settings.json", "--save"} +
               setting({"JobType=Vector", "rasterSpeed=500", "vectorGrid=on", "vectorPower=80", "vectorFreq=9",
                        "rasterSpeed=99999999999999999999", "vectorSpeed=0", "rasterPower=-1", "rasterSpeed=+75",
                        "vectorFreq=+60"}),
       .status = 3,
       .messages = {"refused --set rasterSpeed=500: Raster Speed must be from 1 to 100; 500 is outside that range.",
                    "refused --set vectorGrid=on: the control for vectorGrid is not available now (it needs auto "
                    "focus on)",
                    "refused --set vectorFreq=9: Vector Frequency must be from 10 to 5000; 9 is outside that range.",
                    "refused --set rasterSpeed=99999999999999999999: Raster Speed must be from 1 to 100; "
                    "99999999999999999999 is outside that range.",
                    "refused --set vectorSpeed=0: Vector Speed must be from 1 to 100; 0 is outside that range.",
                    "refused --set rasterPower=-1: Raster Power must be from 0 to 100; -1 is outside that range."},
       .report = true,
       .options = with(kSampleStart, {{"JobType", "Vector"},
                                      {"vectorPower", "Custom.80"},
                                      {"rasterSpeed", "Custom.75"},
                                      {"vectorFreq", "Custom.60"}}),
       .printSettings = Options{{kKey + "vectorPower", "80"},
                                {kKey + "rasterSpeed", "75"},
                                {kKey + "vectorFreq", "60"},
                                {kKey + "vectorSpeed", "50"},
                                {kKey + "rasterPower", "50"}},
       .then =
           [&](const ProgramRun& run) {
             // What was accepted is what is saved.
             EXPECT_EQ(lastUsedOptions(runner.dir() / "settings.json"), textMap(run.json().value("options")));
           }},
      // A box already showing what is asked is no refusal, though it is
      // off limits; auto focus off takes the vector grid with it.
      {.args = dryRun() + setting({"vectorGrid=off"}), .report = true, .options = kSampleStart},
      {.args = dryRun() + setting({"autoFocus=on", "vectorGrid=on", "materialThickness=3"}),
       .report = true,
       .options = with(kSampleStart,
                       {{"autoFocus", "enabled"}, {"vectorGrid", "enabled"}, {"materialThickness", "Custom.3"}})},
      {.args = dryRun() + setting({"autoFocus=on", "vectorGrid=on", "autoFocus=off", "vectorGrid=on",
                                   "materialThickness=4", "directPrint=on"}),
       .status = 3,
       .messages = {"refused --set vectorGrid=on: the control for vectorGrid is not available now (it needs auto "
                    "focus on)",
                    "refused --set materialThickness=4: the control for materialThickness is not available now (it "
                    "needs auto focus on)"},
       .report = true,
       .options = with(kSampleStart, {{"directPrint", "enabled"}})},
      // The report: every marked option, the print settings, the summary.
      {.args = dryRun(),
       .report = true,
       .options = kSampleStart,
       .printSettings = Options{},
       .summary = kStartSummary,
       .then =
           [](const ProgramRun& run) {
             EXPECT_EQ(run.json().keys(), (QStringList{"options", "printSettings", "printer", "refused", "summary"}));
             EXPECT_EQ(run.json().value("printer").toString(), "zarvik-engraver");
           }},
      {.args = dryRun() + setting({"JobType=Vector", "CenterEngraving=Center", "EngravingDirection=BottomUp",
                                   "dithering=Atkinson", "vectorSort=InsideOut", "directPrint=on", "autoFocus=on",
                                   "vectorSpeedComp=on", "vectorPowerComp=off", "materialThickness=0.25",
                                   "cResolution=1200", "rasterPower=0", "vectorFreq=5000", "vectorSpeed=1"}),
       .report = true,
       .options = with(kSampleStart, {{"JobType", "Vector"},
                                      {"CenterEngraving", "Center"},
                                      {"EngravingDirection", "BottomUp"},
                                      {"dithering", "Atkinson"},
                                      {"vectorSort", "InsideOut"},
                                      {"directPrint", "enabled"},
                                      {"autoFocus", "enabled"},
                                      {"vectorSpeedComp", "enabled"},
                                      {"vectorPowerComp", "disabled"},
                                      {"materialThickness", "Custom.0.25"},
                                      {"cResolution", "Custom.1200"},
                                      {"rasterPower", "Custom.0"},
                                      {"vectorFreq", "Custom.5000"},
                                      {"vectorSpeed", "Custom.1"}}),
       .printSettings = Options{{kKey + "materialThickness", "0.250000"},
                                {kKey + "resolution", "1200"},
                                {kKey + "rasterPower", "0"},
                                {kKey + "vectorFreq", "5000"},
                                {kKey + "vectorSpeed", "1"}},
       .summary = Options{{"Zarvik Settings", "Vector Only"}}},
      // Keys and choices in any case, as libcups reads them; the job keeps
      // the PPD's spelling.
      {.args = dryRun("@/lower-case.ppd") + setting({"JobType=vector", "RASTERSPEED=40"}),
       .report = true,
       .options = lowerCaseOptions,
       .before = {{"@/lower-case.ppd", lowerCase}}},
      // Refusals while the panel is built and restored count as much as a
      // --set's; a range that holds no value is named as such.
      {.args = dryRun("@/backwards.ppd") + setting({"rasterSpeed=40"}),
       .status = 3,
       .messages = {"refused rasterSpeed=Custom.50 as the panel opened: " + backwards,
                    "refused --set rasterSpeed=40: " + backwards},
       .report = true,
       .before = {{"@/backwards.ppd",
                   sampleWith("rSpeed/Raster Speed (%): 1 int 1 100", "rSpeed/Raster Speed (%): 1 int 100 1")}}},
      // PPD texts of either encoding reach the report as UTF-8, and never
      // break a line or drive the terminal.
      {.args = dryRun(zarvik::testing::testPpdPath("latin1-texts.ppd").string()) +
               setting({"JobType=Vector", "autoFocus=on", "materialThickness=99"}),
       .status = 3,
       .messages = {"refused --set materialThickness=99: " + thickness},
       .report = true,
       .summary = Options{{"Zarvik Settings", "Größe"}}},
      {.args = dryRun(zarvik::testing::testPpdPath("utf8-texts.ppd").string()) +
               setting({"JobType=Vector", "autoFocus=on", "materialThickness=99"}),
       .status = 3,
       .messages = {"refused --set materialThickness=99: " + thickness},
       .report = true,
       .summary = Options{{"Zarvik Settings", "Größe – Schneiden"}}},
      {.args = dryRun("@/escapes.ppd") + setting({"rasterSpeed=500"}),
       .status = 3,
       .messages = {"refused --set rasterSpeed=500: " + forged},
       .report = true,
       .before = {{"@/escapes.ppd", escapes}}},
  });
}

TEST_F(ZarvikPrintCommandLineTest, RememberedSettingsAndPresetsAreWhereARunStartsAndNothingIsLost) {
  const std::string file = "@/config/zarvik-print/ppd/zarvik-engraver.json";
  const Options raster =
      with(kSampleStart, {{"JobType", "Raster"}, {"rasterPower", "Custom.70"}, {"cResolution", "Custom.300"}});
  const Options birch = with(kSampleStart, {{"JobType", "Vector"},
                                            {"vectorPower", "Custom.65"},
                                            {"autoFocus", "enabled"},
                                            {"materialThickness", "Custom.3"}});
  const Options birchAt90 = with(birch, {{"vectorPower", "Custom.90"}});
  const Args presets = dryRun() + Args{"--settings", "@/presets.json"};
  const std::string broken = "{\"format\": \"zarvik-print-settings\", \"lastUsed\": ";
  const std::string hugeChoice(1 << 20, 'x');
  const std::string cut = hugeChoice.substr(0, 80) + "\u2026";
  const std::string longName = [] {
    std::string name;
    for (int i = 0; i < 60; ++i) name += "ä";
    return name;
  }();
  std::string savedFirst;
  runAll({
      // --save keeps the settings of a PPD file apart from any queue's, for
      // the owner only, and the next run starts there.
      {.args = dryRun() + Args{"--save"} + setting({"JobType=Raster", "rasterPower=70", "cResolution=300"}),
       .report = true,
       .options = raster,
       .printSettings = Options{{kKey + "rasterPower", "70"}, {kKey + "resolution", "300"}},
       .after = {{"@/config/zarvik-print/zarvik-engraver.json", kAbsent}},
       .then =
           [&](const ProgramRun&) {
             const fs::path path = runner.dir() / "config/zarvik-print/ppd/zarvik-engraver.json";
             EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
             QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(readFile(path))).object();
             EXPECT_EQ(json.value("format").toString(), "zarvik-print-settings");
             EXPECT_EQ(json.value("version").toInt(), 1);
             EXPECT_EQ(json.value("printer").toString(), "zarvik-engraver");
             EXPECT_EQ(lastUsedOptions(path), raster);
             savedFirst = readFile(path);
           }},
      {.args = dryRun(), .report = true, .options = raster, .summary = Options{{"Zarvik Settings", "Raster Only"}}},
      // Without --save nothing changes; with another file, only that one.
      {.args = dryRun() + setting({"JobType=Vector"}),
       .report = true,
       .options = with(raster, {{"JobType", "Vector"}}),
       .then = [&](const ProgramRun&) { EXPECT_EQ(readFile(runner.dir() / file.substr(2)), savedFirst); }},
      {.args = dryRun() + Args{"--settings", "@/other.json", "--save"} + setting({"JobType=Vector"}),
       .report = true,
       .options = with(kSampleStart, {{"JobType", "Vector"}}),
       .then =
           [&](const ProgramRun&) {
             EXPECT_EQ(readFile(runner.dir() / file.substr(2)), savedFirst);
             EXPECT_EQ(lastUsedOptions(runner.dir() / "other.json"), with(kSampleStart, {{"JobType", "Vector"}}));
           }},
      // Presets as docs/settings-format.md describes them; what does not go
      // back into the PPD is skipped with a warning and the rest goes in.
      {.args = presets,
       .report = true,
       .options = with(kSampleStart, {{"JobType", "Raster"}, {"rasterSpeed", "Custom.40"}}),
       .before = {{"@/presets.json", R"({
    "format": "zarvik-print-settings", "version": 1, "printer": "Workshop",
    "lastUsed": {
        "options": { "JobType": "Raster", "rasterSpeed": "Custom.40" },
        "printSettings": { "org.zarvikpde.print.pde.zarvikKind.rasterSpeed": "40" }
    },
    "presets": {
        "Birch 3 mm": {
            "options": { "JobType": "Vector", "vectorPower": "Custom.65", "autoFocus": "enabled",
                         "materialThickness": "Custom.3" },
            "printSettings": { "org.zarvikpde.print.pde.zarvikKind.vectorPower": "65",
                               "org.zarvikpde.print.pde.zarvikKind.materialThickness": "3.000000" }
        },
        "Stale": {
            "options": { "JobType": "Vector", "rasterSpeed": "Custom.500", "dithering": "Nope", "Laser": "On" },
            "printSettings": {}
        },
        "Conflicting": {
            "options": { "autoFocus": "disabled", "vectorGrid": "enabled", "JobType": "Raster" },
            "printSettings": {}
        }
    }
})"}}},
      {.args = presets + Args{"--preset", "Birch 3 mm"},
       .report = true,
       .options = birch,
       .summary = Options{{"Zarvik Settings", "Vector Only"}}},
      {.args = presets + Args{"--preset", "Stale"},
       .messages = {"warning: Skipped the stored option Laser=On: the printer has no such option.",
                    "warning: Skipped the stored option dithering=Nope: Dithering has no choice \"Nope\".",
                    "warning: Skipped the stored option rasterSpeed=Custom.500: Raster Speed must be from 1 to 100; "
                    "500 is outside that range."},
       .report = true,
       .options = with(kSampleStart, {{"JobType", "Vector"}})},
      {.args = presets + Args{"--preset", "Conflicting"},
       .messages = {"warning: Skipped the stored option vectorGrid=enabled: Vector Grid \"Enabled (needs Auto Focus)\" "
                    "conflicts with Auto Focus \"Disabled\"."},
       .report = true,
       .options = with(kSampleStart, {{"JobType", "Raster"}})},
      // --set works on top of the preset; --save makes it all the last
      // used, keeping the presets.
      {.args = presets + Args{"--preset", "Birch 3 mm", "--save"} + setting({"vectorPower=90"}),
       .report = true,
       .options = birchAt90,
       .then =
           [&](const ProgramRun&) {
             QJsonObject json =
                 QJsonDocument::fromJson(QByteArray::fromStdString(readFile(runner.dir() / "presets.json"))).object();
             EXPECT_EQ(json.value("presets").toObject().keys(), (QStringList{"Birch 3 mm", "Conflicting", "Stale"}));
             EXPECT_EQ(lastUsedOptions(runner.dir() / "presets.json"), birchAt90);
           }},
      {.args = presets, .report = true, .options = birchAt90},
      // Stored numbers are read whole; one that is not a number, or that
      // the printer cannot take, is left out with a warning, and the panel
      // starts from its own default for it.
      {.args = dryRun() + Args{"--settings", "@/numbers.json"},
       .messages = {"warning: In @/numbers.json, the value at lastUsed/printSettings/" + kKey +
                        "materialThickness is \"2.5mm\", not a decimal number; it is left out.",
                    "warning: In @/numbers.json, the value at lastUsed/printSettings/" + kKey +
                        "rasterPower is \"1e999\", not a whole number; it is left out.",
                    "warning: In @/numbers.json, the value at lastUsed/printSettings/" + kKey +
                        "rasterSpeed is \"7abc\", not a whole number; it is left out.",
                    "warning: Skipped the stored print setting " + kKey +
                        "vectorSpeed=500: Vector Speed must be from 1 to 100; 500 is outside that range."},
       .report = true,
       .options = with(kSampleStart, {{"cResolution", "Custom.300"}, {"vectorPower", "Custom.70"}}),
       .printSettings = Options{{kKey + "resolution", "300"}, {kKey + "vectorPower", "70"}, {"other.key", "7abc"}},
       .before = {{"@/numbers.json", "{\"format\": \"zarvik-print-settings\", \"lastUsed\": {\"printSettings\": {\"" +
                                         kKey + "rasterSpeed\": \"7abc\", \"" + kKey + "rasterPower\": \"1e999\", \"" +
                                         kKey + "vectorSpeed\": \"500\", \"" + kKey + "vectorPower\": \"70\", \"" +
                                         kKey + "materialThickness\": \"2.5mm\", \"" + kKey +
                                         "resolution\": \"300\", \"other.key\": \"7abc\"}}}"}}},
      // A long value is cut in messages, which say how long it was.
      {.args = dryRun() + Args{"--settings", "@/long.json"},
       .messages = {"warning: Skipped the stored option JobType=" + cut +
                    " (1048576 bytes): Job Type has no choice \"" + cut + "\" (1048576 bytes)."},
       .report = true,
       .options = kSampleStart,
       .before = {{"@/long.json",
                   "{\"format\": \"zarvik-print-settings\", \"lastUsed\": {\"options\": {\"JobType\": \"" + hugeChoice +
                       "\"}}}"}}},
      // A file that is no settings file: a dry run leaves it and says what
      // a run that saves does, which moves it aside under a name of its
      // own each time, so no copy replaces another.
      {.args = dryRun() + Args{"--settings", "@/broken.json"},
       .messages = {"warning: The settings file @/broken.json cannot be read as settings (unterminated object at byte "
                    "48); the defaults are used, and a run that is no dry run would move it to "
                    "@/broken.json.corrupt-STAMP."},
       .report = true,
       .options = kSampleStart,
       .before = {{"@/broken.json", broken}},
       .after = {{"@/broken.json", broken}}},
      {.args = dryRun() + Args{"--settings", "@/broken.json", "--save"},
       .messages = {"warning: The settings file @/broken.json cannot be read as settings (unterminated object at byte "
                    "48); it was moved to @/broken.json.corrupt-STAMP and the defaults are used."},
       .report = true,
       .options = kSampleStart},
      {.args = dryRun() + Args{"--settings", "@/broken.json", "--save"},
       .messages = {"warning: The settings file @/broken.json cannot be read as settings (it is not a JSON object); it "
                    "was moved to @/broken.json.corrupt-STAMP and the defaults are used."},
       .report = true,
       .options = kSampleStart,
       .before = {{"@/broken.json", "[1]"}},
       .then =
           [&](const ProgramRun&) {
             std::multiset<std::string> copies;
             for (const auto& entry : fs::directory_iterator(runner.dir())) {
               if (entry.path().filename().string().starts_with("broken.json.corrupt-")) copies.insert(readFile(entry));
             }
             EXPECT_EQ(copies, (std::multiset<std::string>{broken, "[1]"}));
             EXPECT_EQ(lastUsedOptions(runner.dir() / "broken.json"), kSampleStart);
           }},
      // A printer name too long for a file name gets a shorter one of its own.
      {.args = dryRun("@/" + longName + ".ppd") + Args{"--save"},
       .report = true,
       .options = kSampleStart,
       .before = {{"@/" + longName + ".ppd", readFile(kSamplePpd)}},
       .then =
           [&](const ProgramRun& run) {
             EXPECT_EQ(run.json().value("printer").toString().toStdString(), longName);
             std::vector<std::string> names;
             for (const auto& entry : fs::directory_iterator(runner.dir() / "config/zarvik-print/ppd")) {
               names.push_back(entry.path().filename().string());
             }
             ASSERT_EQ(names.size(), 2u);
             const std::string name = names[0] == "zarvik-engraver.json" ? names[1] : names[0];
             EXPECT_LE(name.size(), 205u);
             EXPECT_TRUE(name.starts_with("%C3%A4%C3%A4")) << name;
             EXPECT_TRUE(name.ends_with(".json")) << name;
             EXPECT_NE(name.find('~'), std::string::npos) << name;
           }},
  });
}

TEST_F(ZarvikPrintCommandLineTest, OtherStatusesHelpAndTheDialogDrawnOffscreen) {
  // A server that takes the connection and never answers.
  int silent = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&address), size), 0);
  ASSERT_EQ(::listen(silent, 16), 0);
  ASSERT_EQ(::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &size), 0);
  const std::string silentServer = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));

  const std::string refused = std::string("Cannot reach the CUPS server at ") + kNoCupsServer + ": Connection refused.";
  auto lines = [](const std::string& text) {
    std::vector<std::string> all;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) all.push_back(line);
    return all;
  };
  std::string quietOut;
  runAll({
      // --help says what the manual page says: every option, every status.
      {.args = {"--help"},
       .then =
           [&](const ProgramRun& run) {
             const std::string manual = readFile(fs::path(ZARVIK_SOURCE_DIR) / "zarvik-print/zarvik-print.1");
             std::regex option(R"(\\fB\\-\\-([a-z\\-]+)\\fR|\.BR? \\-\\-([a-z\\-]+))");
             int options = 0;
             for (std::sregex_iterator it(manual.begin(), manual.end(), option), end; it != end; ++it, ++options) {
               std::string name = (*it)[1].matched ? (*it)[1].str() : (*it)[2].str();
               name.erase(std::remove(name.begin(), name.end(), '\\'), name.end());
               EXPECT_NE(run.out.find("--" + name), std::string::npos) << "--help lacks --" << name;
             }
             EXPECT_GE(options, 10);
             for (int status : {0, 2, 3, 4, 5, 6}) {
               EXPECT_NE(run.out.find("  " + std::to_string(status) + "  "), std::string::npos) << status;
               EXPECT_NE(manual.find(".B " + std::to_string(status)), std::string::npos) << status;
             }
             EXPECT_NE(run.out.find("$XDG_CONFIG_HOME/zarvik-print/"), std::string::npos);
           }},
      // Printers without the engraver's options have no panel.
      {.args = dryRun("@/without-vectorFreq.ppd") + setting({"JobType=Vector"}),
       .status = 4,
       .messages = {"this printer is not a Zarvik engraver: its PPD lacks vectorFreq"},
       .before = {{"@/without-vectorFreq.ppd", zarvik::testing::sampleWithoutOption("vectorFreq")}}},
      {.args = dryRun(zarvik::testing::testPpdPath("hostile/truncated-before-required.ppd").string()),
       .status = 4,
       .messages = {"this printer is not a Zarvik engraver: its PPD lacks dithering vectorSpeed vectorPower vectorFreq "
                    "vectorSort vectorSpeedComp vectorPowerComp"}},
      // A server that refuses the connection, or never answers, is named.
      {.args = {"--printer", "Zarvik", "--no-gui", "--dry-run"}, .status = 5, .messages = {refused}},
      {.args = {"--no-gui", "--dry-run"}, .status = 5, .messages = {refused}},
      {.args = {"--printer", "Zarvik", "--no-gui", "--dry-run"},
       .status = 5,
       .messages = {"The CUPS server at " + silentServer + " did not answer within 10 s."},
       .env = {{"CUPS_SERVER", silentServer}}},
      // The dialog drawn offscreen, with the panel as --set left it.
      {.args =
           Args{"--ppd", kSamplePpd, "--screenshot", "@/dialog.png"} + setting({"JobType=Vector", "rasterSpeed=500"}),
       .status = 3,
       .messages = {"refused --set rasterSpeed=500: Raster Speed must be from 1 to 100; 500 is outside that range."},
       .then =
           [&](const ProgramRun&) {
             QImage image(QString::fromStdString((runner.dir() / "dialog.png").string()), "PNG");
             EXPECT_GE(image.width(), 400);
             EXPECT_GE(image.height(), 300);
           }},
      // The panel's log lines, one per line, only with --verbose.
      {.args = dryRun() + setting({"rasterSpeed=40"}),
       .report = true,
       .then =
           [&](const ProgramRun& run) {
             for (const std::string& line : lines(run.err)) EXPECT_NE(line, "Entering setDefaults");
             quietOut = run.out;
           }},
      {.args = dryRun() + Args{"--verbose"} + setting({"rasterSpeed=40"}),
       .report = true,
       .then =
           [&](const ProgramRun& run) {
             const std::vector<std::string> logged = lines(run.err);
             ASSERT_FALSE(logged.empty());
             EXPECT_EQ(logged.front(), "Entering setDefaults");
             EXPECT_EQ(logged.back(), "Saved 40 to " + kKey + "rasterSpeed");
             EXPECT_EQ(run.out, quietOut);
           }},
  });
  ::close(silent);
}

TEST_F(ZarvikPrintCommandLineTest, InGermanTheHostAndThePpdSpeakGermanAndNumbersReadAlike) {
  zarvik::testing::GermanLocale german;
  ASSERT_EQ(german.failure(), "");
  // The runner takes the environment as it is now, with LOCPATH when the
  // locale had to be compiled.
  ZarvikPrintRunner inGerman;
  inGerman.set("LC_ALL", "de_DE.UTF-8");
  inGerman.set("LANG", "de_DE.UTF-8");
  const std::vector<Row> rows = {
      // The PPD's German texts; keywords, and so the job, stay as they are.
      {.args = dryRun() + setting({"autoFocus=on", "materialThickness=2.5", "rasterSpeed=40"}),
       .report = true,
       .options = with(kSampleStart,
                       {{"autoFocus", "enabled"}, {"materialThickness", "Custom.2.5"}, {"rasterSpeed", "Custom.40"}}),
       .printSettings = Options{{kKey + "materialThickness", "2.500000"}, {kKey + "rasterSpeed", "40"}},
       .summary = Options{{"Zarvik-Einstellungen", "Raster und Vektor"}}},
      {.args = dryRun() + setting({"JobType=Vector", "rasterSpeed=500"}),
       .status = 3,
       .messages = {"refused --set rasterSpeed=500: Rastergeschwindigkeit muss im Bereich 1 bis 100 liegen; 500 liegt "
                    "außerhalb."},
       .report = true,
       .options = with(kSampleStart, {{"JobType", "Vector"}}),
       .summary = Options{{"Zarvik-Einstellungen", "Nur Vektor"}}},
      {.args = dryRun("@/folder"),
       .status = 2,
       .messages = {"@/folder ist ein Ordner, keine PPD-Datei."},
       .before = {{"@/folder/page.ras", "a file in the folder"}}},
      // A decimal comma is not the number a field holds, in German too.
      {.args = dryRun() + setting({"autoFocus=on", "materialThickness=2,5"}),
       .status = 2,
       .messages = {"--set materialThickness=2,5: materialThickness takes a decimal number, not \"2,5\""}},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i + 1));
    check(inGerman, rows[i]);
  }
}

}  // namespace
}  // namespace zarvik::print::testing
