// zarvik-print on its command line, run as the real program on real PPD
// files: usage errors (2), refusals (3), printers without the engraver's
// options (4), an unreachable CUPS server (5), the dry-run report, and the
// remembered settings and presets a run starts from.
#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <set>

#include "support/german_locale.h"
#include "support/ppd_files.h"
#include "zarvik_print_runner.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace zarvik::print::testing {
namespace {

using Options = std::map<std::string, std::string>;
using Messages = std::vector<std::string>;

// The panel's print-settings keys.
const std::string kSettingsKey = "org.zarvikpde.print.pde.zarvikKind.";

const std::string kSamplePpd = zarvik::testing::samplePpdPath().string();
// The sample PPD's file name is the printer's name in a report.
constexpr char kSamplePrinter[] = "zarvik-engraver";

const std::string kUsage =
    "usage: zarvik-print [--printer NAME | --ppd FILE] [--settings FILE] [--preset NAME]\n"
    "                    [--set KEY=VALUE]... [--no-gui] [--dry-run] [--save] [--verbose]\n"
    "                    [--screenshot FILE.png] [FILE...]\n";

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

Options with(Options options, const Options& changes) {
  for (const auto& [key, value] : changes) options[key] = value;
  return options;
}

// The "refused" array of a report as (set, reason) pairs.
std::vector<std::pair<std::string, std::string>> refusedOf(const QJsonObject& report) {
  std::vector<std::pair<std::string, std::string>> refused;
  const QJsonValue value = report.value("refused");
  EXPECT_TRUE(value.isArray());
  for (const QJsonValue& entry : value.toArray()) {
    EXPECT_EQ(entry.toObject().size(), 2);
    refused.emplace_back(entry.toObject().value("set").toString().toStdString(),
                         entry.toObject().value("reason").toString().toStdString());
  }
  return refused;
}

// The options of the sample PPD that libcups marks by default: those a
// report must list, whatever their values.
std::set<std::string> optionsMarkedByDefault(const std::string& path) {
  std::set<std::string> keywords;
  zarvik::testing::ScopedPpd ppd = zarvik::testing::openPpd(path);
  if (!ppd) return keywords;
  zarvik::testing::markDefaults(ppd.get());
  for (ppd_option_t* option = ppdFirstOption(ppd.get()); option != nullptr; option = ppdNextOption(ppd.get())) {
    if (ppdFindMarkedChoice(ppd.get(), option->keyword) != nullptr) keywords.insert(option->keyword);
  }
  return keywords;
}

std::set<std::string> keysOf(const Options& options) {
  std::set<std::string> keys;
  for (const auto& [key, value] : options) keys.insert(key);
  return keys;
}

class ZarvikPrintCommandLineTest : public ::testing::Test {
 protected:
  // A dry run on `ppd` without a window.
  ProgramRun dryRun(const Args& arguments, const std::string& ppd = kSamplePpd) {
    return runner.run(Args{"--ppd", ppd, "--no-gui", "--dry-run"} + arguments);
  }

  fs::path writePpd(const std::string& name, const std::string& text) {
    fs::path path = runner.dir() / name;
    writeFile(path, text);
    return path;
  }

  ZarvikPrintRunner runner;
};

TEST_F(ZarvikPrintCommandLineTest, UsageErrorsExitTwoAndSayWhatIsWrong) {
  const std::string settings = (runner.dir() / "settings.json").string();
  const std::string missingPpd = (runner.dir() / "missing.ppd").string();
  const std::string emptyPpd = zarvik::testing::testPpdPath("hostile/empty.ppd").string();
  const std::string document = (runner.dir() / "page.ras").string();
  writeFile(document, "a document that is never sent");
  const std::string missingDocument = (runner.dir() / "nowhere.ras").string();
  const std::string screenshot = (runner.dir() / "no-such-folder" / "dialog.png").string();

  struct Case {
    Args arguments;
    std::string message;
    bool showsUsage;
  };
  const Args dry = {"--ppd", kSamplePpd, "--settings", settings, "--no-gui", "--dry-run"};
  // Each bad --set comes after a good one and asks for the settings to be
  // saved: a run that stops at a usage error saves nothing.
  const Args dryAfterAGoodSet = dry + Args{"--save"} + setting({"JobType=Vector"});
  const std::vector<Case> cases = {
      // The command line itself.
      {{"--bogus"}, "unknown option --bogus", true},
      {{"--no-gui=yes"}, "unknown option --no-gui=yes", true},
      {{"-x"}, "unknown option -x", true},
      {{"--printer", "Zarvik", "--ppd", kSamplePpd}, "--printer and --ppd cannot be given together", true},
      {{"--ppd"}, "--ppd needs a value", true},
      {{"--set", "JobType"}, "--set takes KEY=VALUE, not \"JobType\"", true},
      {{"--set", "=Vector"}, "--set takes KEY=VALUE, not \"=Vector\"", true},
      // Keys without a control.
      {dryAfterAGoodSet + setting({"speed=5"}), "--set speed=5: unknown setting \"speed\"", false},
      {dryAfterAGoodSet + setting({"PageSize=400x600mm"}), "--set PageSize=400x600mm: unknown setting \"PageSize\"",
       false},
      // Malformed values.
      {dryAfterAGoodSet + setting({"directPrint=maybe"}),
       "--set directPrint=maybe: directPrint takes on or off, not \"maybe\"", false},
      {dryAfterAGoodSet + setting({"autoFocus=ON"}), "--set autoFocus=ON: autoFocus takes on or off, not \"ON\"",
       false},
      {dryAfterAGoodSet + setting({"rasterSpeed=12abc"}),
       "--set rasterSpeed=12abc: rasterSpeed takes a whole number, not \"12abc\"", false},
      {dryAfterAGoodSet + setting({"vectorPower=2.5"}),
       "--set vectorPower=2.5: vectorPower takes a whole number, not \"2.5\"", false},
      {dryAfterAGoodSet + setting({"vectorFreq=+50"}),
       "--set vectorFreq=+50: vectorFreq takes a whole number, not \"+50\"", false},
      {dryAfterAGoodSet + setting({"rasterPower="}), "--set rasterPower=: rasterPower takes a whole number, not \"\"",
       false},
      {dryAfterAGoodSet + setting({"materialThickness=2,5"}),
       "--set materialThickness=2,5: materialThickness takes a decimal number, not \"2,5\"", false},
      {dryAfterAGoodSet + setting({"materialThickness=1e1"}),
       "--set materialThickness=1e1: materialThickness takes a decimal number, not \"1e1\"", false},
      {dryAfterAGoodSet + setting({"materialThickness=nan"}),
       "--set materialThickness=nan: materialThickness takes a decimal number, not \"nan\"", false},
      // More decimals than a person can type into the field.
      {dryAfterAGoodSet + setting({"materialThickness=2.555"}),
       "--set materialThickness=2.555: materialThickness takes at most 2 decimals, not \"2.555\"", false},
      {dryAfterAGoodSet + setting({"materialThickness=50.0000001"}),
       "--set materialThickness=50.0000001: materialThickness takes at most 2 decimals, not \"50.0000001\"", false},
      // Values the control does not offer.
      {dryAfterAGoodSet + setting({"cResolution=500"}),
       "--set cResolution=500: cResolution takes one of the steps 75, 150, 200, 300, 400, 600, 1200, not \"500\"",
       false},
      {dryAfterAGoodSet + setting({"cResolution=300dpi"}),
       "--set cResolution=300dpi: cResolution takes one of the steps 75, 150, 200, 300, 400, 600, 1200, not "
       "\"300dpi\"",
       false},
      {dryAfterAGoodSet + setting({"cResolution=99999999999999999999"}),
       "--set cResolution=99999999999999999999: cResolution takes one of the steps 75, 150, 200, 300, 400, 600, "
       "1200, not \"99999999999999999999\"",
       false},
      {dryAfterAGoodSet + setting({"JobType=Engrave"}),
       "--set JobType=Engrave: JobType offers no choice \"Engrave\"; it offers Raster Vector Combined", false},
      {dryAfterAGoodSet + setting({"dithering=None"}),
       "--set dithering=None: dithering offers no choice \"None\"; it offers Threshold Random Ordered Halftone "
       "FloydSteinberg Atkinson Sierra",
       false},
      // Files.
      {{"--ppd", missingPpd, "--no-gui", "--dry-run"}, "there is no PPD file " + missingPpd, false},
      {{"--ppd", emptyPpd, "--no-gui", "--dry-run"},
       emptyPpd + " is empty, so it is no PPD file.",
       false},
      {dry + Args{"--preset", "Birch"}, "there is no preset \"Birch\" in " + settings, false},
      {{"--ppd", kSamplePpd, "--settings", settings, "--no-gui"}, "name the file to print, or use --dry-run", false},
      {{"--ppd", kSamplePpd, "--settings", settings, "--no-gui", missingDocument},
       "there is no document " + missingDocument,
       false},
      {{"--ppd", kSamplePpd, "--settings", settings, "--no-gui", document},
       "a PPD file is no printer: print to a queue with --printer",
       false},
      {{"--ppd", kSamplePpd, "--settings", settings, "--screenshot", screenshot},
       "cannot write the screenshot " + screenshot,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    ProgramRun run = runner.run(c.arguments);
    EXPECT_EQ(run.status, 2) << run.transcript();
    EXPECT_EQ(run.messages(), Messages{c.message}) << run.transcript();
    EXPECT_EQ(run.out, "");
    if (c.showsUsage) {
      EXPECT_NE(run.err.find(kUsage), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(settings)) << "a run that failed saved its settings";
  }
  EXPECT_FALSE(fs::exists(screenshot));
  EXPECT_FALSE(fs::exists(runner.configHome())) << "a run wrote under the configuration folder";
}

TEST_F(ZarvikPrintCommandLineTest, RefusedSettingsExitThreeWithTheHostsSentenceAndTheRestApply) {
  const fs::path settings = runner.dir() / "settings.json";
  ProgramRun run =
      dryRun(Args{"--settings", settings.string(), "--save"} +
             setting({"JobType=Vector", "rasterSpeed=500", "vectorGrid=on", "vectorPower=80", "vectorFreq=9",
                      "rasterSpeed=99999999999999999999", "vectorSpeed=0", "rasterPower=-1", "rasterSpeed=75"}));
  EXPECT_EQ(run.status, 3) << run.transcript();
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"rasterSpeed=500", "Raster Speed must be from 1 to 100; 500 is outside that range."},
      {"vectorGrid=on", "the control for vectorGrid is not available now (it needs auto focus on)"},
      {"vectorFreq=9", "Vector Frequency must be from 10 to 5000; 9 is outside that range."},
      // The field reads the number as the panel does, which saturates.
      {"rasterSpeed=99999999999999999999", "Raster Speed must be from 1 to 100; 2147483647 is outside that range."},
      {"vectorSpeed=0", "Vector Speed must be from 1 to 100; 0 is outside that range."},
      {"rasterPower=-1", "Raster Power must be from 0 to 100; -1 is outside that range."},
  };
  Messages messages;
  for (const auto& [set, reason] : refused) messages.push_back("refused --set " + set + ": " + reason);
  EXPECT_EQ(run.messages(), messages);

  QJsonObject report = run.json();
  EXPECT_EQ(refusedOf(report), refused);
  const Options options = textMap(report.value("options"));
  EXPECT_EQ(options,
            with(kSampleStart, {{"JobType", "Vector"}, {"vectorPower", "Custom.80"}, {"rasterSpeed", "Custom.75"}}));
  EXPECT_EQ(textMap(report.value("printSettings")), (Options{{kSettingsKey + "vectorPower", "80"},
                                                             {kSettingsKey + "rasterSpeed", "75"},
                                                             {kSettingsKey + "vectorFreq", "50"},
                                                             {kSettingsKey + "vectorSpeed", "50"},
                                                             {kSettingsKey + "rasterPower", "50"}}));

  // What was accepted is what is saved.
  QJsonObject saved = QJsonDocument::fromJson(QByteArray::fromStdString(readFile(settings))).object();
  EXPECT_EQ(textMap(saved.value("lastUsed").toObject().value("options")), options);
}

TEST_F(ZarvikPrintCommandLineTest, TextsFromAPpdOrTheCommandLineNeverBreakTheLineOrDriveTheTerminal) {
  // A PPD writes control characters in hex: here a colour escape and a line
  // that passes for one of the program's own.
  const fs::path ppd = writePpd("escapes.ppd", zarvik::testing::sampleWith("*OpenUI *rasterSpeed/Raster Speed:",
                                                                         "*OpenUI *rasterSpeed/Raster<1B>[31m<0A>"
                                                                         "zarvik-print<3A> forged<07>:"));
  const std::string reason =
      "Raster\uFFFD[31m\uFFFDzarvik-print: forged\uFFFD must be from 1 to 100; 500 is outside that range.";

  ProgramRun refused = dryRun(setting({"rasterSpeed=500"}), ppd.string());
  EXPECT_EQ(refused.status, 3) << refused.transcript();
  EXPECT_EQ(refused.messages(), Messages{"refused --set rasterSpeed=500: " + reason});
  EXPECT_EQ(refusedOf(refused.json()), (std::vector<std::pair<std::string, std::string>>{{"rasterSpeed=500", reason}}));

  // What a person types goes back the same way.
  ProgramRun typed = dryRun(setting({"rasterSpeed=5\x1b]0;owned\x07\n"}));
  EXPECT_EQ(typed.status, 2) << typed.transcript();
  EXPECT_EQ(typed.messages(),
            Messages{"--set rasterSpeed=5\uFFFD]0;owned\uFFFD\uFFFD: rasterSpeed takes a whole number, not "
                     "\"5\uFFFD]0;owned\uFFFD\uFFFD\""});

  for (const ProgramRun* run : {&refused, &typed}) {
    for (char c : run->err) {
      EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 && c != '\n') << "control character " << int(c);
    }
  }
}

TEST_F(ZarvikPrintCommandLineTest, AutoFocusGatesTheControlsThatNeedIt) {
  // A box already showing what is asked is no refusal, though it is off limits.
  ProgramRun off = dryRun(setting({"vectorGrid=off"}));
  EXPECT_EQ(off.status, 0) << off.transcript();
  EXPECT_EQ(refusedOf(off.json()), (std::vector<std::pair<std::string, std::string>>{}));

  ProgramRun on = dryRun(setting({"autoFocus=on", "vectorGrid=on", "materialThickness=3"}));
  EXPECT_EQ(on.status, 0) << on.transcript();
  EXPECT_EQ(
      textMap(on.json().value("options")),
      with(kSampleStart, {{"autoFocus", "enabled"}, {"vectorGrid", "enabled"}, {"materialThickness", "Custom.3"}}));

  // Auto focus off takes the vector grid with it; both gated controls are
  // then refused, and what else was asked still applies.
  ProgramRun again = dryRun(setting(
      {"autoFocus=on", "vectorGrid=on", "autoFocus=off", "vectorGrid=on", "materialThickness=4", "directPrint=on"}));
  EXPECT_EQ(again.status, 3) << again.transcript();
  QJsonObject report = again.json();
  EXPECT_EQ(
      refusedOf(report),
      (std::vector<std::pair<std::string, std::string>>{
          {"vectorGrid=on", "the control for vectorGrid is not available now (it needs auto focus on)"},
          {"materialThickness=4", "the control for materialThickness is not available now (it needs auto focus on)"}}));
  EXPECT_EQ(textMap(report.value("options")), with(kSampleStart, {{"directPrint", "enabled"}}));
}

TEST_F(ZarvikPrintCommandLineTest, ADryRunReportsEveryMarkedOptionTheSettingsAndTheSummary) {
  ProgramRun start = dryRun(Args{});
  ASSERT_EQ(start.status, 0) << start.transcript();
  EXPECT_EQ(start.messages(), Messages{});
  QJsonObject report = start.json();
  EXPECT_EQ(report.keys(), (QStringList{"options", "printSettings", "printer", "refused", "summary"}));
  EXPECT_EQ(report.value("printer").toString().toStdString(), kSamplePrinter);
  EXPECT_EQ(keysOf(textMap(report.value("options"))), optionsMarkedByDefault(kSamplePpd));
  EXPECT_EQ(textMap(report.value("options")), kSampleStart);
  EXPECT_EQ(textMap(report.value("printSettings")), Options{});
  EXPECT_EQ(textMap(report.value("summary")), (Options{{"Zarvik Settings", "Raster and Vector"}}));
  EXPECT_TRUE(report.value("refused").isArray());
  EXPECT_TRUE(report.value("refused").toArray().isEmpty());

  ProgramRun changed = dryRun(
      setting({"JobType=Vector", "CenterEngraving=Center", "EngravingDirection=BottomUp", "dithering=Atkinson",
               "vectorSort=InsideOut", "directPrint=on", "autoFocus=on", "vectorSpeedComp=on", "vectorPowerComp=off",
               "materialThickness=0.25", "cResolution=1200", "rasterPower=0", "vectorFreq=5000", "vectorSpeed=1"}));
  ASSERT_EQ(changed.status, 0) << changed.transcript();
  report = changed.json();
  EXPECT_EQ(textMap(report.value("options")), with(kSampleStart, {{"JobType", "Vector"},
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
                                                                  {"vectorSpeed", "Custom.1"}}));
  EXPECT_EQ(textMap(report.value("printSettings")), (Options{{kSettingsKey + "materialThickness", "0.250000"},
                                                             {kSettingsKey + "resolution", "1200"},
                                                             {kSettingsKey + "rasterPower", "0"},
                                                             {kSettingsKey + "vectorFreq", "5000"},
                                                             {kSettingsKey + "vectorSpeed", "1"}}));
  EXPECT_EQ(textMap(report.value("summary")), (Options{{"Zarvik Settings", "Vector Only"}}));
}

TEST_F(ZarvikPrintCommandLineTest, KeysAndChoicesAreReadWhateverTheirCase) {
  // The PPD spells JobType and its choice Vector otherwise than the panel.
  std::string text = zarvik::testing::sampleWith("JobType", "jobtype");
  text.replace(text.find("*jobtype Vector/"), 16, "*jobtype VECTOR/");
  const fs::path ppd = writePpd("lower-case.ppd", text);
  ProgramRun run = dryRun(setting({"JobType=vector", "AUTOFOCUS=on", "rasterspeed=40"}), ppd.string());
  ASSERT_EQ(run.status, 0) << run.transcript();
  Options expected = with(kSampleStart, {{"jobtype", "VECTOR"}, {"autoFocus", "enabled"}, {"rasterSpeed", "Custom.40"}});
  expected.erase("JobType");
  EXPECT_EQ(textMap(run.json().value("options")), expected);
}

TEST_F(ZarvikPrintCommandLineTest, TextsOfEitherEncodingReachTheReportAsUtf8) {
  // The Latin-1 PPD's texts, the UTF-8 one's as they are.
  const std::vector<std::pair<std::string, std::string>> ppds = {{"latin1-texts.ppd", "Größe"},
                                                                 {"utf8-texts.ppd", "Größe – Schneiden"}};
  for (const auto& [file, jobType] : ppds) {
    SCOPED_TRACE(file);
    ProgramRun run = dryRun(setting({"JobType=Vector", "autoFocus=on", "materialThickness=99"}),
                            zarvik::testing::testPpdPath(file).string());
    EXPECT_EQ(run.status, 3) << run.transcript();
    const std::string reason = "Materialstärke must be from 0 to 50; 99.000000 is outside that range.";
    EXPECT_EQ(run.messages(), Messages{"refused --set materialThickness=99: " + reason});
    QJsonObject report = run.json();
    EXPECT_EQ(textMap(report.value("summary")), (Options{{"Zarvik Settings", jobType}}));
    EXPECT_EQ(refusedOf(report), (std::vector<std::pair<std::string, std::string>>{{"materialThickness=99", reason}}));
  }
}

TEST_F(ZarvikPrintCommandLineTest, NumbersAreReadAlikeInALocaleWithADecimalComma) {
  zarvik::testing::GermanLocale german;
  ASSERT_EQ(german.failure(), "");
  // The runner takes the environment as it is now, with LOCPATH when the
  // locale had to be compiled.
  ZarvikPrintRunner inGerman;
  inGerman.set("LC_ALL", "de_DE.UTF-8");
  inGerman.set("LANG", "de_DE.UTF-8");

  ProgramRun run = inGerman.run(Args{"--ppd", kSamplePpd, "--no-gui", "--dry-run"} +
                                setting({"autoFocus=on", "materialThickness=2.5", "rasterSpeed=40"}));
  ASSERT_EQ(run.status, 0) << run.transcript();
  QJsonObject report = run.json();
  EXPECT_EQ(textMap(report.value("options")),
            with(kSampleStart,
                 {{"autoFocus", "enabled"}, {"materialThickness", "Custom.2.5"}, {"rasterSpeed", "Custom.40"}}));
  EXPECT_EQ(textMap(report.value("printSettings")),
            (Options{{kSettingsKey + "materialThickness", "2.500000"}, {kSettingsKey + "rasterSpeed", "40"}}));
  EXPECT_EQ(textMap(report.value("summary")), (Options{{"Zarvik-Einstellungen", "Raster and Vector"}}));

  ProgramRun comma = inGerman.run(Args{"--ppd", kSamplePpd, "--no-gui", "--dry-run"} +
                                  setting({"autoFocus=on", "materialThickness=2,5"}));
  EXPECT_EQ(comma.status, 2) << comma.transcript();
  EXPECT_EQ(comma.messages(),
            Messages{"--set materialThickness=2,5: materialThickness takes a decimal number, not \"2,5\""});
}

TEST_F(ZarvikPrintCommandLineTest, SavedSettingsAreWhereTheNextRunStarts) {
  const fs::path file = runner.settingsFileOf(kSamplePrinter);
  ProgramRun first = dryRun(Args{"--save"} + setting({"JobType=Raster", "rasterPower=70", "cResolution=300"}));
  ASSERT_EQ(first.status, 0) << first.transcript();
  const Options options = textMap(first.json().value("options"));
  const Options printSettings = textMap(first.json().value("printSettings"));
  EXPECT_EQ(options,
            with(kSampleStart, {{"JobType", "Raster"}, {"rasterPower", "Custom.70"}, {"cResolution", "Custom.300"}}));
  EXPECT_EQ(printSettings, (Options{{kSettingsKey + "rasterPower", "70"}, {kSettingsKey + "resolution", "300"}}));

  ASSERT_TRUE(fs::exists(file)) << "nothing saved under $XDG_CONFIG_HOME/zarvik-print";
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  QJsonObject saved = QJsonDocument::fromJson(QByteArray::fromStdString(readFile(file))).object();
  EXPECT_EQ(saved.value("format").toString().toStdString(), "zarvik-print-settings");
  EXPECT_EQ(saved.value("version").toInt(), 1);
  EXPECT_EQ(saved.value("printer").toString().toStdString(), kSamplePrinter);
  EXPECT_EQ(textMap(saved.value("lastUsed").toObject().value("options")), options);
  EXPECT_EQ(textMap(saved.value("lastUsed").toObject().value("printSettings")), printSettings);

  // The next run starts there.
  ProgramRun next = dryRun(Args{});
  ASSERT_EQ(next.status, 0) << next.transcript();
  EXPECT_EQ(textMap(next.json().value("options")), options);
  EXPECT_EQ(textMap(next.json().value("printSettings")), printSettings);
  EXPECT_EQ(textMap(next.json().value("summary")), (Options{{"Zarvik Settings", "Raster Only"}}));

  // A run without --save leaves them; one with another file keeps them there.
  const std::string before = readFile(file);
  ProgramRun unsaved = dryRun(setting({"JobType=Vector"}));
  EXPECT_EQ(unsaved.status, 0) << unsaved.transcript();
  EXPECT_EQ(readFile(file), before);

  const fs::path other = runner.dir() / "other.json";
  ProgramRun elsewhere = dryRun(Args{"--settings", other.string(), "--save"} + setting({"JobType=Vector"}));
  EXPECT_EQ(elsewhere.status, 0) << elsewhere.transcript();
  EXPECT_EQ(readFile(file), before);
  QJsonObject otherSaved = QJsonDocument::fromJson(QByteArray::fromStdString(readFile(other))).object();
  EXPECT_EQ(textMap(otherSaved.value("lastUsed").toObject().value("options")),
            with(kSampleStart, {{"JobType", "Vector"}}));
}

TEST_F(ZarvikPrintCommandLineTest, ANamedPresetIsWhereARunStarts) {
  const fs::path file = runner.dir() / "settings.json";
  // As docs/settings-format.md describes it; "printer" is for the reader only.
  writeFile(file, R"({
    "format": "zarvik-print-settings",
    "version": 1,
    "printer": "Workshop",
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
})");
  const Args base = {"--settings", file.string()};

  ProgramRun lastUsed = dryRun(base);
  ASSERT_EQ(lastUsed.status, 0) << lastUsed.transcript();
  EXPECT_EQ(textMap(lastUsed.json().value("options")),
            with(kSampleStart, {{"JobType", "Raster"}, {"rasterSpeed", "Custom.40"}}));

  const Options birch = with(kSampleStart, {{"JobType", "Vector"},
                                            {"vectorPower", "Custom.65"},
                                            {"autoFocus", "enabled"},
                                            {"materialThickness", "Custom.3"}});
  ProgramRun preset = dryRun(base + Args{"--preset", "Birch 3 mm"});
  ASSERT_EQ(preset.status, 0) << preset.transcript();
  EXPECT_EQ(textMap(preset.json().value("options")), birch);
  EXPECT_EQ(textMap(preset.json().value("summary")), (Options{{"Zarvik Settings", "Vector Only"}}));

  // What cannot go back into the PPD is skipped with a warning; the rest goes in.
  ProgramRun stale = dryRun(base + Args{"--preset", "Stale"});
  EXPECT_EQ(stale.status, 0) << stale.transcript();
  EXPECT_EQ(stale.messages(),
            (Messages{"warning: Skipped the stored option Laser=On: the printer has no such option.",
                      "warning: Skipped the stored option dithering=Nope: Dithering has no choice \"Nope\".",
                      "warning: Skipped the stored option rasterSpeed=Custom.500: Raster Speed must be from 1 to "
                      "100; 500 is outside that range."}));
  EXPECT_EQ(textMap(stale.json().value("options")), with(kSampleStart, {{"JobType", "Vector"}}));

  ProgramRun conflicting = dryRun(base + Args{"--preset", "Conflicting"});
  EXPECT_EQ(conflicting.status, 0) << conflicting.transcript();
  EXPECT_EQ(conflicting.messages(),
            (Messages{"warning: Skipped the stored option vectorGrid=enabled: Vector Grid \"Enabled (needs Auto "
                      "Focus)\" conflicts with Auto Focus \"Disabled\"."}));
  EXPECT_EQ(textMap(conflicting.json().value("options")), with(kSampleStart, {{"JobType", "Raster"}}));

  // --set works on top of the preset, and --save makes it all the last used,
  // keeping the presets.
  ProgramRun changed = dryRun(base + Args{"--preset", "Birch 3 mm", "--save"} + setting({"vectorPower=90"}));
  ASSERT_EQ(changed.status, 0) << changed.transcript();
  const Options birchAt90 = with(birch, {{"vectorPower", "Custom.90"}});
  EXPECT_EQ(textMap(changed.json().value("options")), birchAt90);
  QJsonObject saved = QJsonDocument::fromJson(QByteArray::fromStdString(readFile(file))).object();
  EXPECT_EQ(textMap(saved.value("lastUsed").toObject().value("options")), birchAt90);
  QStringList presetNames = saved.value("presets").toObject().keys();
  EXPECT_EQ(presetNames, (QStringList{"Birch 3 mm", "Conflicting", "Stale"}));

  ProgramRun next = dryRun(base);
  EXPECT_EQ(textMap(next.json().value("options")), birchAt90);
}

TEST_F(ZarvikPrintCommandLineTest, ASettingsFileThatIsNoSettingsIsMovedAsideForTheDefaults) {
  const fs::path file = runner.dir() / "settings.json";
  writeFile(file, "{\"format\": \"zarvik-print-settings\", \"lastUsed\": ");
  ProgramRun run = dryRun(Args{"--settings", file.string()});
  EXPECT_EQ(run.status, 0) << run.transcript();
  fs::path aside;
  for (const auto& entry : fs::directory_iterator(runner.dir())) {
    if (entry.path().filename().string().starts_with("settings.json.corrupt-")) aside = entry.path();
  }
  EXPECT_EQ(run.messages(), (Messages{"warning: The settings file " + file.string() +
                                      " cannot be read as settings (unterminated object at byte 48); it was moved "
                                      "to " +
                                      aside.string() + " and the defaults are used."}));
  EXPECT_EQ(textMap(run.json().value("options")), kSampleStart);
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(readFile(aside), "{\"format\": \"zarvik-print-settings\", \"lastUsed\": ");
}

TEST_F(ZarvikPrintCommandLineTest, APrinterWithoutTheEngraverOptionsHasNoPanel) {
  const fs::path withoutFrequency =
      writePpd("without-vectorFreq.ppd", zarvik::testing::sampleWithoutOption("vectorFreq"));
  const std::vector<std::pair<fs::path, std::string>> cases = {
      {withoutFrequency, "this printer is not a Zarvik engraver: its PPD lacks vectorFreq"},
      {zarvik::testing::testPpdPath("hostile/truncated-before-required.ppd"),
       "this printer is not a Zarvik engraver: its PPD lacks dithering vectorSpeed vectorPower vectorFreq vectorSort "
       "vectorSpeedComp vectorPowerComp"},
  };
  for (const auto& [ppd, message] : cases) {
    SCOPED_TRACE(ppd.string());
    ProgramRun run = dryRun(setting({"JobType=Vector"}), ppd.string());
    EXPECT_EQ(run.status, 4) << run.transcript();
    EXPECT_EQ(run.messages(), Messages{message});
    EXPECT_EQ(run.out, "");
  }
}

TEST_F(ZarvikPrintCommandLineTest, ACupsServerThatCannotBeReachedExitsFive) {
  // The runner points CUPS_SERVER at a port where nothing listens.
  for (const Args& arguments : {Args{"--printer", "Zarvik", "--no-gui", "--dry-run"}, Args{"--no-gui", "--dry-run"}}) {
    ProgramRun run = runner.run(arguments);
    EXPECT_EQ(run.status, 5) << run.transcript();
    ASSERT_EQ(run.messages().size(), 1u) << run.transcript();
    const std::string message = run.messages()[0];
    const std::string start = std::string("Cannot reach the CUPS server at ") + kNoCupsServer + ": ";
    EXPECT_EQ(message.substr(0, start.size()), start);
    EXPECT_GT(message.size(), start.size() + 1) << "CUPS's reason is missing";
    EXPECT_EQ(message.back(), '.');
    EXPECT_EQ(run.out, "");
  }
}

TEST_F(ZarvikPrintCommandLineTest, HelpScreenshotAndVerboseLog) {
  ProgramRun help = runner.run(Args{"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out, kUsage);

  // The dialog drawn offscreen, with the panel as --set left it.
  const fs::path picture = runner.dir() / "dialog.png";
  ProgramRun screenshot = runner.run(Args{"--ppd", kSamplePpd, "--screenshot", picture.string()} +
                                     setting({"JobType=Vector", "rasterSpeed=500"}));
  EXPECT_EQ(screenshot.status, 3) << screenshot.transcript();
  EXPECT_EQ(screenshot.messages(), Messages{"refused --set rasterSpeed=500: Raster Speed must be from 1 to 100; 500 "
                                            "is outside that range."});
  QImage image(QString::fromStdString(picture.string()), "PNG");
  ASSERT_FALSE(image.isNull()) << "no PNG picture at " << picture;
  EXPECT_GE(image.width(), 400);
  EXPECT_GE(image.height(), 300);

  // The panel's log lines, one per line, only with --verbose.
  auto lines = [](const std::string& text) {
    std::vector<std::string> all;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) all.push_back(line);
    return all;
  };
  ProgramRun quiet = dryRun(setting({"rasterSpeed=40"}));
  ProgramRun verbose = dryRun(Args{"--verbose"} + setting({"rasterSpeed=40"}));
  EXPECT_EQ(verbose.status, 0) << verbose.transcript();
  const std::vector<std::string> logged = lines(verbose.err);
  ASSERT_FALSE(logged.empty());
  EXPECT_EQ(logged.front(), "Entering setDefaults");
  EXPECT_EQ(logged.back(), "Saved 40 to " + kSettingsKey + "rasterSpeed");
  for (const std::string& line : lines(quiet.err)) EXPECT_NE(line, "Entering setDefaults");
  EXPECT_EQ(verbose.out, quiet.out);
}

}  // namespace
}  // namespace zarvik::print::testing
