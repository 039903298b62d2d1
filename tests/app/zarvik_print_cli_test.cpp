// zarvik-print as a script runs it: the real program on real PPD files, one
// table of command lines, in order, with the status, the messages, the
// report and the files on disk each must give. Jobs go to the "Zarvik" queue
// of a private CUPS server (scripts/cupsd-private, started by the
// app.cupsd.start fixture), whose backend shows what the engraver receives.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <functional>
#include <regex>
#include <thread>

#include "host/raster_document.h"
#include "support/german_locale.h"
#include "support/ppd_files.h"
#include "support/private_cupsd.h"
#include "support/temporary_folder.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"  // rows name what they expect

namespace zarvik::print {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using Options = std::map<std::string, std::string>;
using zarvik::testing::readFile;

const std::string kPpd = zarvik::testing::samplePpdPath().string();
const std::string kKey = "org.zarvikpde.print.pde.zarvikKind.";
const std::string kAbsent = "(absent)";
// What a dry run on the sample PPD reports when nothing was set: the PPD's
// defaults, and the panel's own numbers as custom values.
const Options kStart = {
    {"CenterEngraving", "None"},  {"EngravingDirection", "TopDown"}, {"JobType", "Combined"},
    {"PageSize", "400x600mm"},    {"autoFocus", "disabled"},         {"cResolution", "Custom.600"},
    {"directPrint", "disabled"},  {"dithering", "FloydSteinberg"},   {"materialThickness", "Custom.0"},
    {"rasterPower", "Custom.50"}, {"rasterSpeed", "Custom.50"},      {"vectorFreq", "Custom.50"},
    {"vectorGrid", "disabled"},   {"vectorPower", "Custom.50"},      {"vectorPowerComp", "enabled"},
    {"vectorSort", "Optimize"},   {"vectorSpeed", "Custom.50"},      {"vectorSpeedComp", "disabled"},
};

// kStart with `changes`; an empty value leaves the option out.
Options start(const Options& changes) {
  Options options = kStart;
  for (const auto& [key, value] : changes) options[key] = value;
  std::erase_if(options, [](const auto& entry) { return entry.second.empty(); });
  return options;
}

Options textMap(const QJsonValue& value) {
  Options map;
  const QJsonObject object = value.toObject();
  for (auto it = object.begin(); it != object.end(); ++it) map[it.key().toStdString()] = it.value().toString().toStdString();
  return map;
}
Options lastUsed(const fs::path& file) {
  return textMap(QJsonDocument::fromJson(QByteArray::fromStdString(readFile(file)))["lastUsed"]["options"]);
}
int jobNumber(const std::string& text) {
  std::smatch number;
  return std::regex_search(text, number, std::regex("job ([0-9]+)")) ? std::stoi(number[1]) : -1;
}

Args operator+(Args a, const Args& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
Args set(std::initializer_list<std::string> keyValues) {
  Args arguments;
  for (const std::string& keyValue : keyValues) arguments.insert(arguments.end(), {"--set", keyValue});
  return arguments;
}

struct Ran {
  int status = -1;
  std::string out, err;
  QJsonObject report;  // standard output, when it is a dry run's report
};

struct Row {
  Args args;
  int status = 0;
  std::vector<std::string> messages;  // zarvik-print's own lines: "@/" is the test's folder, a time stamp
                                      // "STAMP", a job's number "N"
  std::optional<Options> options;     // a report whose options are start(these)
  std::map<std::string, std::string> before, after;  // files by name ("@/..."); kAbsent
  std::map<std::string, std::string> env;
  std::function<void(const Ran&)> then;
};

class ZarvikPrintTest : public ::testing::Test {
 protected:
  // The program in an environment of its own: the C locale, the offscreen
  // platform, a folder for the configuration, and no CUPS server.
  void check(const Row& row) {
    const std::string folder = dir.path().string() + "/";
    auto at = [&](std::string text) { return text.starts_with("@/") ? folder + text.substr(2) : text; };
    for (const auto& [name, contents] : row.before) {
      fs::create_directories(fs::path(at(name)).parent_path());
      zarvik::testing::writeFile(at(name), contents);
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "ZARVIK_PDE_BUNDLE", "LANGUAGE", "LC_MESSAGES"}) {
      environment.remove(name);
    }
    Options env = {{"QT_QPA_PLATFORM", "offscreen"}, {"LANG", "C.UTF-8"}, {"LC_ALL", "C.UTF-8"},
                   {"HOME", folder}, {"XDG_CONFIG_HOME", folder + "config"}, {"CUPS_SERVER", "127.0.0.1:1"}};
    for (const auto& [name, value] : row.env) env[name] = at(value);
    for (const auto& [name, value] : env) environment.insert(QString::fromStdString(name), QString::fromStdString(value));
    QStringList arguments;
    for (const std::string& argument : row.args) arguments << QString::fromStdString(at(argument));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(ZARVIK_PRINT_PROGRAM, arguments);
    ASSERT_TRUE(process.waitForFinished(120000)) << "zarvik-print did not finish";
    Ran run{process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
    if (run.out.starts_with("{")) run.report = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
    const std::string transcript = "--- stdout\n" + run.out + "--- stderr\n" + run.err;
    EXPECT_EQ(run.status, row.status) << transcript;

    std::vector<std::string> messages;
    std::istringstream lines(run.err);
    static const std::regex stamp(R"(corrupt-[0-9]{8}-[0-9]{6}(-[0-9]+)?)"), job("^job [0-9]+ ");
    for (std::string line; std::getline(lines, line);) {
      if (!line.starts_with("zarvik-print: ")) continue;
      for (std::size_t i; (i = line.find(folder)) != std::string::npos;) line.replace(i, folder.size(), "@/");
      messages.push_back(std::regex_replace(std::regex_replace(line.substr(14), stamp, "corrupt-STAMP"), job, "job N "));
    }
    EXPECT_EQ(messages, row.messages) << transcript;
    // Nothing from a PPD, a file or the command line breaks a line or
    // drives the terminal; every refusal is also in the report.
    EXPECT_EQ(std::count_if(run.err.begin(), run.err.end(), [](char c) { return c >= 0 && c < 0x20 && c != '\n'; }), 0);
    std::vector<std::string> refused;
    for (const QJsonValue& entry : std::as_const(run.report)["refused"].toArray()) {
      const bool set = entry.toObject().contains("set");
      refused.push_back("refused " + (set ? "--set " : std::string()) +
                        entry[set ? "set" : "panel"].toString().toStdString() + (set ? "" : " as the panel opened") +
                        ": " + entry["reason"].toString().toStdString());
    }
    std::erase_if(messages, [](const std::string& line) { return !line.starts_with("refused "); });
    EXPECT_EQ(refused, run.report.isEmpty() ? refused : messages);
    EXPECT_EQ(textMap(run.report.value("options")), row.options ? start(*row.options) : textMap(run.report.value("options")));
    for (const auto& [name, contents] : row.after) {
      EXPECT_EQ(fs::exists(at(name)) ? readFile(at(name)) : kAbsent, contents) << name;
    }
    if (row.then) row.then(run);
  }

  zarvik::testing::TemporaryFolder dir{"zarvik-print-test"};
};

TEST_F(ZarvikPrintTest, EachCommandLineGivesItsStatusMessagesReportAndFiles) {
  zarvik::testing::GermanLocale german;  // installs de_DE.UTF-8 where it is missing
  ASSERT_EQ(german.failure(), "");
  const std::string server = zarvik::testing::privateCupsServer(ZARVIK_APP_CUPSD_DIR);
  ASSERT_FALSE(server.empty()) << "the private cupsd is not running (ctest starts it as app.cupsd.start)";
  const fs::path page = dir.path() / "page.ras", queueFile = dir.path() / "config/zarvik-print/Zarvik.json";
  ASSERT_TRUE(host::writeBlankRasterPage(page, /*dotsPerInch=*/75, /*widthPoints=*/72, /*heightPoints=*/72).ok());
  // A server that takes the connection and never answers.
  int silent = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
  socklen_t size = sizeof address;
  ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&address), size), 0);
  ASSERT_EQ(::listen(silent, 4) + ::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &size), 0);

  const Args dry = {"--ppd", kPpd, "--no-gui", "--dry-run"}, queue = {"--printer", "Zarvik", "--no-gui"};
  auto dryOn = [](const std::string& ppd) { return Args{"--ppd", ppd, "--no-gui", "--dry-run"}; };
  const std::string x200(200, 'x'), huge(1 << 20, 'x'), cut = std::string(80, 'x') + "\u2026";
  const std::string backwards =
      "Raster Speed cannot take any value: the printer's PPD gives it the range 100 to 1, which holds none.";
  const std::string presets = R"({"format": "zarvik-print-settings", "presets": {
      "Birch": {"options": {"JobType": "Vector", "vectorPower": "Custom.65", "autoFocus": "enabled"},
                "printSettings": {")" + kKey + R"(vectorPower": "65"}},
      "Stale": {"options": {"JobType": ")" + huge + R"(", "rasterSpeed": "Custom.500", "dithering": "Nope",
                            "Laser": "On", "vectorGrid": "enabled"},
                "printSettings": {")" + kKey + R"(vectorSpeed": "500", ")" + kKey + R"(vectorPower": "70"}}}})";
  const Options birch = {{"JobType", "Vector"}, {"vectorPower", "Custom.65"}, {"autoFocus", "enabled"}};
  const std::string broken = R"({"format": "zarvik-print-settings", "lastUsed": )";
  const std::string sent = "job N sent to Zarvik\n";
  int firstJob = 0;
  const std::vector<Row> rows = {
      // Usage errors: the message says what is wrong, with what was typed
      // on one line and cut, and nothing is saved.
      {{"--bogus"}, 2, {"unknown option --bogus"}},
      {dry + Args{"--settings", "@/s.json", "--save"} + set({"JobType=Vector", "rasterSpeed=12abc"}), 2,
       {"--set rasterSpeed=12abc: rasterSpeed takes a whole number, not \"12abc\""}, {}, {}, {{"@/s.json", kAbsent}}},
      {dry + set({"rasterSpeed=5\x1b]0;owned\x07\n" + x200}), 2,
       {"--set rasterSpeed=5\uFFFD]0;owned\uFFFD\uFFFD" + x200.substr(0, 56) +
        "\u2026 (224 bytes): rasterSpeed takes a whole number, not \"5\uFFFD]0;owned\uFFFD\uFFFD" + x200.substr(0, 68) +
        "\u2026\" (212 bytes)"}},
      {dryOn("@/folder"), 2, {"@/folder is a folder, not a PPD file."}, {}, {{"@/folder/page.ras", "x"}}},
      {dryOn(zarvik::testing::testPpdPath("hostile/empty.ppd")), 2,
       {zarvik::testing::testPpdPath("hostile/empty.ppd").string() + " is empty, so it is no PPD file."}},
      {dryOn("@/manual.ppd"), 2,
       {"@/manual.ppd is a PDF document, not a PPD file: a PPD file begins with \"*PPD-Adobe\"."}, {},
       {{"@/manual.ppd", "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n"}}},
      {dryOn("@/broken.ppd"), 2,
       {"The PPD file @/broken.ppd is not valid: OpenGroup without a CloseGroup first at line 3."}, {},
       {{"@/broken.ppd", "*PPD-Adobe: \"4.3\"\n*OpenGroup: A\n*OpenGroup: B\n"}}},
      {dry + Args{"--preset", "Birch"}, 2, {"there is no preset \"Birch\" in @/config/zarvik-print/ppd/zarvik-engraver.json"}},
      {dry + Args{"@/nowhere.ras"}, 2, {"there is no document @/nowhere.ras"}},  // a dry run as much as a print

      // What the printer refuses is named with its reason, a number as it
      // was typed; the rest applies, and --save saves it.
      {dry + Args{"--settings", "@/s.json", "--save"} +
           set({"JobType=Vector", "rasterSpeed=500", "vectorGrid=on", "rasterSpeed=99999999999999999999",
                "rasterPower=-1", "rasterSpeed=+75", "vectorPower=80"}),
       3,
       {"refused --set rasterSpeed=500: Raster Speed must be from 1 to 100; 500 is outside that range.",
        "refused --set vectorGrid=on: the control for vectorGrid is not available now (it needs auto focus on)",
        "refused --set rasterSpeed=99999999999999999999: Raster Speed must be from 1 to 100; 99999999999999999999 is "
        "outside that range.",
        "refused --set rasterPower=-1: Raster Power must be from 0 to 100; -1 is outside that range."},
       Options{{"JobType", "Vector"}, {"rasterSpeed", "Custom.75"}, {"vectorPower", "Custom.80"}}, {}, {}, {},
       [&](const Ran& run) { EXPECT_EQ(lastUsed(dir.path() / "s.json"), textMap(run.report["options"])); }},
      // Every control sets its own option; a box that shows what is asked
      // needs no click, though it is not available.
      {dry + set({"vectorGrid=off", "JobType=Raster", "CenterEngraving=Center", "EngravingDirection=BottomUp",
                  "dithering=Atkinson", "vectorSort=InsideOut", "directPrint=on", "autoFocus=on", "vectorGrid=on",
                  "vectorSpeedComp=on", "vectorPowerComp=off", "materialThickness=0.25", "cResolution=1200",
                  "rasterSpeed=1", "rasterPower=0", "vectorSpeed=100", "vectorPower=7", "vectorFreq=5000"}),
       0, {},
       Options{{"JobType", "Raster"}, {"CenterEngraving", "Center"}, {"EngravingDirection", "BottomUp"},
               {"dithering", "Atkinson"}, {"vectorSort", "InsideOut"}, {"directPrint", "enabled"},
               {"autoFocus", "enabled"}, {"vectorGrid", "enabled"}, {"vectorSpeedComp", "enabled"},
               {"vectorPowerComp", "disabled"}, {"materialThickness", "Custom.0.25"}, {"cResolution", "Custom.1200"},
               {"rasterSpeed", "Custom.1"}, {"rasterPower", "Custom.0"}, {"vectorSpeed", "Custom.100"},
               {"vectorPower", "Custom.7"}, {"vectorFreq", "Custom.5000"}}},
      // Keywords in any case, as libcups reads them; the job keeps the
      // PPD's spelling.
      {dryOn("@/lower.ppd") + set({"JobType=vector", "RASTERSPEED=40"}), 0, {},
       Options{{"JobType", ""}, {"jobtype", "VECTOR"}, {"rasterSpeed", "Custom.40"}},
       {{"@/lower.ppd", zarvik::testing::replaceAll(zarvik::testing::sampleWith("JobType", "jobtype"),
                                                    "*jobtype Vector/", "*jobtype VECTOR/")}}},
      // What the printer refuses as the panel opens counts as much.
      {dryOn("@/backwards.ppd") + set({"rasterSpeed=40"}), 3,
       {"refused rasterSpeed=Custom.50 as the panel opened: " + backwards, "refused --set rasterSpeed=40: " + backwards},
       {}, {{"@/backwards.ppd", zarvik::testing::sampleWith("Raster Speed (%): 1 int 1 100", "Raster Speed (%): 1 int 100 1")}}},
      {dryOn("@/escapes.ppd") + set({"rasterSpeed=500"}), 3,
       {"refused --set rasterSpeed=500: Raster\uFFFD[31m\uFFFDzarvik-print: forged\uFFFD must be from 1 to 100; 500 "
        "is outside that range."},
       {}, {{"@/escapes.ppd", zarvik::testing::sampleWith("*OpenUI *rasterSpeed/Raster Speed:",
                                                          "*OpenUI *rasterSpeed/Raster<1B>[31m<0A>zarvik-print<3A> "
                                                          "forged<07>:")}}},

      // In German: the PPD's texts and the host's sentences; numbers still
      // take a point, never a comma.
      {dry + set({"JobType=Vector", "autoFocus=on", "materialThickness=2.5", "rasterSpeed=500"}), 3,
       {"refused --set rasterSpeed=500: Rastergeschwindigkeit muss im Bereich 1 bis 100 liegen; 500 liegt außerhalb."},
       Options{{"JobType", "Vector"}, {"autoFocus", "enabled"}, {"materialThickness", "Custom.2.5"}}, {}, {},
       {{"LANG", "de_DE.UTF-8"}, {"LC_ALL", "de_DE.UTF-8"}},
       [](const Ran& run) { EXPECT_EQ(textMap(run.report["summary"]), (Options{{"Zarvik-Einstellungen", "Nur Vektor"}})); }},
      {dry + set({"autoFocus=on", "materialThickness=2,5"}), 2,
       {"--set materialThickness=2,5: materialThickness takes a decimal number, not \"2,5\""}, {}, {}, {},
       {{"LANG", "de_DE.UTF-8"}, {"LC_ALL", "de_DE.UTF-8"}}},


      // Remembered settings: --save keeps a PPD file's apart from a queue's,
      // and the next run starts there; without --save nothing changes.
      {dry + Args{"--save"} + set({"JobType=Raster", "rasterPower=70"}), 0, {},
       Options{{"JobType", "Raster"}, {"rasterPower", "Custom.70"}}, {}, {{queueFile.string(), kAbsent}}},
      {dry + set({"JobType=Vector"}), 0, {}, Options{{"JobType", "Vector"}, {"rasterPower", "Custom.70"}}},
      {dry, 0, {}, Options{{"JobType", "Raster"}, {"rasterPower", "Custom.70"}}},
      // Presets; what the printer cannot take is skipped with a warning,
      // long texts cut, and the rest goes in.
      {dry + Args{"--settings", "@/p.json", "--preset", "Birch"}, 0, {}, birch, {{"@/p.json", presets}}},
      {dry + Args{"--settings", "@/p.json", "--preset", "Stale"}, 0,
       {"warning: Skipped the stored option Laser=On: the printer has no such option.",
        "warning: Skipped the stored option JobType=" + cut + " (1048576 bytes): Job Type has no choice \"" + cut +
            "\" (1048576 bytes).",
        "warning: Skipped the stored option dithering=Nope: Dithering has no choice \"Nope\".",
        "warning: Skipped the stored option rasterSpeed=Custom.500: Raster Speed must be from 1 to 100; 500 is outside "
        "that range.",
        "warning: Skipped the stored option vectorGrid=enabled: Vector Grid \"Enabled (needs Auto Focus)\" conflicts "
        "with Auto Focus \"Disabled\".",
        "warning: Skipped the stored print setting " + kKey +
            "vectorSpeed=500: Vector Speed must be from 1 to 100; 500 is outside that range."},
       Options{{"vectorPower", "Custom.70"}}},
      {dry + Args{"--settings", "@/p.json", "--preset", "Birch", "--save"} + set({"vectorPower=90"}), 0, {},
       Options{{"JobType", "Vector"}, {"vectorPower", "Custom.90"}, {"autoFocus", "enabled"}}, {}, {}, {},
       [&](const Ran& run) {
         const QJsonDocument saved = QJsonDocument::fromJson(QByteArray::fromStdString(readFile(dir.path() / "p.json")));
         EXPECT_EQ(saved["presets"].toObject().keys(), (QStringList{"Birch", "Stale"}));
         EXPECT_EQ(lastUsed(dir.path() / "p.json"), textMap(run.report["options"]));
       }},
      // A file that is no settings file: a dry run leaves it, a save moves it
      // aside.
      {dry + Args{"--settings", "@/broken.json"}, 0,
       {"warning: The settings file @/broken.json cannot be read as settings (unterminated object at byte 48); the "
        "defaults are used, and a run that is no dry run would move it to @/broken.json.corrupt-STAMP."},
       Options{}, {{"@/broken.json", broken}}, {{"@/broken.json", broken}}},
      {dry + Args{"--settings", "@/broken.json", "--save"}, 0,
       {"warning: The settings file @/broken.json cannot be read as settings (unterminated object at byte 48); it was "
        "moved to @/broken.json.corrupt-STAMP and the defaults are used."}},

      // --help says what the manual page says: every option, every status.
      {{"--help"}, 0, {}, {}, {}, {}, {},
       [](const Ran& run) {
         const std::string manual = readFile(fs::path(ZARVIK_SOURCE_DIR) / "zarvik-print/zarvik-print.1");
         const std::regex option(R"(\\fB\\-\\-([a-z\\-]+)\\fR|\.BR? \\-\\-([a-z\\-]+))");
         int options = 0;
         for (std::sregex_iterator it(manual.begin(), manual.end(), option), end; it != end; ++it, ++options) {
           const std::string name = std::regex_replace((*it)[(*it)[1].matched ? 1 : 2].str(), std::regex(R"(\\)"), "");
           EXPECT_NE(run.out.find("--" + name), std::string::npos) << "--help lacks --" << name;
         }
         EXPECT_GE(options, 10);
         for (const std::string status : {"0", "2", "3", "4", "5", "6"}) {
           EXPECT_NE(run.out.find("\n  " + status + "  "), std::string::npos) << status;
           EXPECT_NE(manual.find("\n.B " + status + "\n"), std::string::npos) << status;
         }
         EXPECT_NE(run.out.find("$XDG_CONFIG_HOME/zarvik-print/"), std::string::npos);
       }},
      // The other statuses, each with its message.
      {dryOn("@/no-freq.ppd") + set({"JobType=Vector"}), 4,
       {"this printer is not a Zarvik engraver: its PPD lacks vectorFreq"}, {},
       {{"@/no-freq.ppd", zarvik::testing::sampleWithoutOption("vectorFreq")}}},
      {queue + Args{"--dry-run"}, 5, {"Cannot reach the CUPS server at 127.0.0.1:1: Connection refused."}},
      {queue + Args{"--dry-run"}, 5,
       {"The CUPS server at 127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + " did not answer within 10 s."},
       {}, {}, {}, {{"CUPS_SERVER", "127.0.0.1:" + std::to_string(ntohs(address.sin_port))}}},
      // The dialog drawn offscreen, as --set left it.
      {Args{"--ppd", kPpd, "--screenshot", "@/dialog.png"} + set({"rasterSpeed=500"}), 3,
       {"refused --set rasterSpeed=500: Raster Speed must be from 1 to 100; 500 is outside that range."}, {}, {}, {},
       {}, [&](const Ran&) { EXPECT_GE(QImage(QString::fromStdString(dir.path() / "dialog.png")).width(), 400); }},
      // Jobs: the dry run says what the print sends, the engraver receives
      // it, and the queue remembers it apart from a PPD file's of its name.
      {queue + Args{"--dry-run"} + set({"JobType=Vector", "vectorPower=80", "cResolution=300"}), 0, {},
       Options{{"JobType", "Vector"}, {"vectorPower", "Custom.80"}, {"cResolution", "Custom.300"}}, {}, {},
       {{"CUPS_SERVER", server}}},
      {queue + set({"JobType=Vector", "vectorPower=80", "cResolution=300"}) + Args{page}, 0, {}, {}, {}, {},
       {{"CUPS_SERVER", server}},
       [&](const Ran& run) {
         firstJob = jobNumber(run.out);
         EXPECT_EQ(std::regex_replace(run.out, std::regex("[0-9]+"), "N"), sent);
         const fs::path job = zarvik::testing::capturedJob(ZARVIK_APP_CUPSD_DIR, firstJob);
         for (int i = 0; i < 300 && !fs::exists(job.string() + ".done"); ++i) {
           std::this_thread::sleep_for(std::chrono::milliseconds(100));
         }
         const Options chosen = start({{"JobType", "Vector"}, {"vectorPower", "Custom.80"}, {"cResolution", "Custom.300"}});
         Options received = zarvik::testing::parseOptionLine(readFile(job.string() + ".options"));
         for (const auto& [option, value] : chosen) EXPECT_EQ(received[option], value) << option;
         EXPECT_EQ(readFile(job.string() + ".data"), readFile(page));
         EXPECT_EQ(lastUsed(queueFile), chosen);
       }},
      {{"--ppd", "@/Zarvik.ppd", "--no-gui", "--dry-run", "--save"}, 0, {}, Options{}, {{"@/Zarvik.ppd", readFile(kPpd)}},
       {}, {}, [&](const Ran&) { EXPECT_EQ(lastUsed(queueFile).at("JobType"), "Vector"); }},
      // A refused setting sends nothing: the engraver would get a value
      // nobody chose (the next job's number shows that none was made).
      {queue + set({"JobType=Raster", "rasterSpeed=700"}) + Args{page}, 3,
       {"refused --set rasterSpeed=700: Raster Speed must be from 1 to 100; 700 is outside that range.",
        "nothing was sent to Zarvik, as the printer refused a setting"},
       {}, {}, {}, {{"CUPS_SERVER", server}},
       [&](const Ran&) { EXPECT_EQ(lastUsed(queueFile).at("JobType"), "Vector"); }},
      // A job sent whose settings cannot be saved must not be sent again.
      {queue + Args{page}, 6,
       {"warning: Cannot read the settings file @/blocked/zarvik-print/Zarvik.json: Not a directory; the defaults are "
        "used.",
        "job N was sent to Zarvik, but the settings were not saved: Cannot create the folder @/blocked/zarvik-print: "
        "Not a directory."},
       {}, {{"@/blocked", "a file"}}, {}, {{"CUPS_SERVER", server}, {"XDG_CONFIG_HOME", "@/blocked"}},
       [&](const Ran& run) { EXPECT_EQ(jobNumber(run.err), firstJob + 1) << "a refused job was made"; }},
      // What CUPS refuses, in its own words.
      {queue + Args{"@/note.txt"}, 5,
       {"CUPS did not accept the document note.txt: Unsupported document-format \"text/plain\"."}, {},
       {{"@/note.txt", "text needs filters this server does not have\n"}}, {}, {{"CUPS_SERVER", server}}},
      {{"--printer", "NoSuchQueue", "--no-gui", "--dry-run"}, 5,
       {"Cannot get the PPD of the printer NoSuchQueue: The printer or class does not exist."}, {}, {}, {},
       {{"CUPS_SERVER", server}}},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i + 1));
    check(rows[i]);
  }
  ::close(silent);
}

}  // namespace
}  // namespace zarvik::print
