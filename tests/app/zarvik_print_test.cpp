// zarvik-print as a script runs it: command lines in order, each with the status, messages, report and files it must
// give; jobs go to app.cupsd.start's private cupsd, whose backend keeps them. Then the dialog in German, offscreen.
#include <cups/raster.h>
#include <fcntl.h>
#include <unistd.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QInputDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <functional>
#include <regex>
#include <thread>

#include "host/raster_document.h"
#include "support/files.h"
#include "support/german_locale.h"
#include "support/ppd_files.h"
#include "support/temporary_folder.h"
#include "zarvik-print/language.h"
#include "zarvik-print/print_dialog.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"  // rows name what they expect

namespace zarvik::print {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Args = std::vector<std::string>;
using Options = std::map<std::string, std::string>;
using zarvik::testing::readFile, zarvik::testing::sampleWith;

const std::string kPpd = zarvik::testing::samplePpdPath().string(), kAbsent = "(absent)";
const std::string kKey = "org.zarvikpde.print.pde.zarvikKind.";

// "KEY=VALUE ..." as the --set of each in order, and as options.
Args set(const std::string& words) {
  Args arguments;
  std::istringstream in(words);
  for (std::string word; in >> word;) arguments.insert(arguments.end(), {"--set", word});
  return arguments;
}
Options options(const std::string& words) {
  Options map;
  std::istringstream in(words);
  for (std::string word; in >> word;) map[word.substr(0, word.find('='))] = word.substr(word.find('=') + 1);
  return map;
}
// A dry run's report on the sample PPD (numbers as custom values) with `changes`; an empty value leaves one out.
Options start(const std::string& changes) {
  Options all = options(
      "CenterEngraving=None EngravingDirection=TopDown JobType=Combined PageSize=400x600mm autoFocus=disabled "
      "cResolution=Custom.600 directPrint=disabled dithering=FloydSteinberg materialThickness=Custom.0 "
      "rasterPower=Custom.50 rasterSpeed=Custom.50 vectorFreq=Custom.50 vectorGrid=disabled vectorPower=Custom.50 "
      "vectorPowerComp=enabled vectorSort=Optimize vectorSpeed=Custom.50 vectorSpeedComp=disabled");
  for (const auto& [key, value] : options(changes)) all[key] = value;
  std::erase_if(all, [](const auto& entry) { return entry.second.empty(); });
  return all;
}
// What a job carries for what was set: a box's state, a number as a custom value.
std::string carried(std::string set) {
  for (auto [from, to] : {std::pair{"=on\\b", "=enabled"}, {"=off\\b", "=disabled"}, {"=([0-9.]+)\\b", "=Custom.$1"}})
    set = std::regex_replace(set, std::regex(from), to);
  return set;
}
Options textMap(const QJsonValue& value) {
  Options map;
  for (auto [key, text] : value.toObject().toVariantMap().asKeyValueRange())
    map[key.toStdString()] = text.toString().toStdString();
  return map;
}
QJsonDocument json(const fs::path& file) { return QJsonDocument::fromJson(QByteArray::fromStdString(readFile(file))); }
Args operator+(Args a, const Args& b) { a.insert(a.end(), b.begin(), b.end()); return a; }

struct Ran {
  int status;
  std::string out, err;
  QJsonObject report;  // standard output, when it is a dry run's report
};
struct Row {
  Args args;
  int status = 0;
  std::vector<std::string> messages;  // zarvik-print's lines: "@/" is the test's folder, a stamp "STAMP", a job "N"
  std::optional<std::string> options;  // a report whose options are start(these)
  Options before, after, env;          // before, after: files by name ("@/..."), or kAbsent
  std::function<void(const Ran&)> then;
  std::string input;  // standard input
};

class ZarvikPrintTest : public ::testing::Test {
 protected:
  // The program with a configuration folder of its own, C locale, offscreen, no CUPS server unless the row names one.
  void check(const Row& row, std::size_t number) {
    SCOPED_TRACE("row " + std::to_string(number));
    const std::string folder = dir.path().string() + "/";
    auto at = [&](std::string text) { return text.starts_with("@/") ? folder + text.substr(2) : text; };
    for (const auto& [name, contents] : row.before) zarvik::testing::writeFile(at(name), contents);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "ZARVIK_PDE_BUNDLE", "LANGUAGE"}) environment.remove(name);
    Options env = {{"QT_QPA_PLATFORM", "offscreen"}, {"LANG", "C.UTF-8"}, {"LC_ALL", "C.UTF-8"}, {"HOME", folder},
                   {"XDG_CONFIG_HOME", folder + "config"}, {"CUPS_SERVER", "127.0.0.1:1"}};
    for (const auto& [name, value] : row.env) env[name] = at(value);
    for (const auto& [name, value] : env)
      value == kAbsent ? environment.remove(name.c_str())
                       : environment.insert(name.c_str(), QString::fromStdString(value));
    QStringList arguments;
    for (const std::string& argument : row.args) arguments << QString::fromStdString(at(argument));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(ZARVIK_PRINT_PROGRAM, arguments);
    process.write(row.input.data(), qint64(row.input.size()));
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(120000)) << "zarvik-print did not finish";
    Ran run{process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
    run.report = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();  // empty unless a report
    const std::string transcript = run.out + run.err;
    EXPECT_EQ(run.status, row.status) << transcript;
    // Nothing from a PPD, file or command line breaks a line or drives the terminal; each refusal is in the report too.
    EXPECT_EQ(std::count_if(run.err.begin(), run.err.end(), [](char c) { return c >= 0 && c < 32 && c != '\n'; }), 0);
    std::vector<std::string> messages;
    std::istringstream lines(run.err);
    static const std::regex stamp("corrupt-[0-9]{8}-[0-9]{6}(-[0-9]+)?"), job("^job [0-9]+ ");
    for (std::string line; std::getline(lines, line);) {
      if (!line.starts_with("zarvik-print: ")) continue;
      for (std::size_t i; (i = line.find(folder)) != std::string::npos;) line.replace(i, folder.size(), "@/");
      line = std::regex_replace(std::regex_replace(line.substr(14), stamp, "corrupt-STAMP"), job, "job N ");
      messages.push_back(line);
    }
    EXPECT_EQ(messages, row.messages) << transcript;
    for (std::string kind : {"refused", "warnings"}) {
      auto said = std::count_if(messages.begin(), messages.end(), [&](auto& m) { return m.starts_with(kind.substr(0, 7)); });
      EXPECT_EQ(run.report.value(QString::fromStdString(kind)).toArray().size(), run.report.isEmpty() ? 0 : said);
    }
    if (row.options) {
      EXPECT_EQ(textMap(run.report.value("options")), start(*row.options)) << transcript;
    }
    for (const auto& [name, contents] : row.after)
      EXPECT_EQ(fs::exists(at(name)) ? readFile(at(name)) : kAbsent, contents) << name;
    if (row.then) row.then(run);
  }

  zarvik::testing::GermanLocale german;
  zarvik::testing::TemporaryFolder dir{"zarvik-print-test"};
};

TEST_F(ZarvikPrintTest, EachCommandLineGivesItsStatusMessagesReportAndFiles) {
  const std::string cupsd = ZARVIK_APP_CUPSD_DIR;  // where the server writes its address and the jobs it received
  const std::string server = readFile(cupsd + "/server").substr(0, readFile(cupsd + "/server").find('\n'));
  ASSERT_NE(server, "") << "the private cupsd is not running (ctest starts it as app.cupsd.start)";
  const fs::path page = dir.path() / "page.ras", queueFile = dir.path() / "config/zarvik-print/Zarvik.json";
  ASSERT_TRUE(host::writeBlankRasterPage(page, /*dotsPerInch=*/75, /*widthPoints=*/72, /*heightPoints=*/72).ok());
  // 75 lines of 75 dots (ten bytes) after the header, all white (0 in K): a laser burns whatever else it gets.
  EXPECT_EQ(readFile(page), readFile(page).substr(0, 4 + sizeof(cups_page_header2_t)) + std::string(750, '\0'));
  const int pageFd = ::open(page.c_str(), O_RDONLY);
  cups_raster_t* raster = cupsRasterOpen(pageFd, CUPS_RASTER_READ);
  cups_page_header2_t header{};
  EXPECT_TRUE(cupsRasterReadHeader2(raster, &header));
  EXPECT_EQ(std::vector<unsigned>({header.HWResolution[0], header.HWResolution[1], header.PageSize[0],
                                   header.PageSize[1], header.cupsWidth, header.cupsHeight, header.cupsBitsPerColor,
                                   header.cupsBitsPerPixel, header.cupsBytesPerLine}),
            std::vector<unsigned>({75, 75, 72, 72, 75, 75, 1, 1, 10}));
  cupsRasterClose(raster);
  ::close(pageFd);

  const Args dry = {"--ppd", kPpd, "--no-gui", "--dry-run"}, queue = {"--printer", "Zarvik", "--no-gui"};
  auto dryOn = [](const std::string& ppd) { return Args{"--ppd", ppd, "--no-gui", "--dry-run"}; };
  auto outside = [](std::string name, std::string value) {
    return name + " must be from 1 to 100; " + value + " is outside that range.";
  };
  const Options inGerman = {{"LANG", "de_DE.UTF-8"}, {"LC_ALL", "de_DE.UTF-8"}}, cups = {{"CUPS_SERVER", server}};
  const std::string kBig = "1" + std::string(39, '0'), huge(1 << 20, 'x'), cut = std::string(80, 'x') + "\u2026";
  const std::string none = "Vector Power cannot take any value: the printer's PPD gives it the range 100 to 0, which "
                           "holds none.";
  const std::string stale = R"({"format": "zarvik-print-settings", "presets": {"Stale": {
      "options": {"JobType": ")" + huge + R"(", "Laser": "On", "centerengraving": "CENTER", "vectorSpeed": "Custom"},
      "printSettings": {")" + kKey + R"(vectorSpeed": "500", ")" + kKey + R"(vectorPower": "70"}}},
      "lastUsed": {"printSettings": {")" + kKey + R"(vectorSpeed": "700"}}})";
  const std::string broken = R"({"format": "zarvik-print-settings", "lastUsed": )";
  auto opened = [](std::string option, std::string reason) {
    return "The printer refused the panel's own " + option + "=Custom.50 as it opened: " + reason;
  };
  std::string narrow = sampleWith("Raster Speed (%): 1 int 1 ", "Raster Speed (%): 1 int 60 ");
  narrow = zarvik::testing::replaceAll(narrow, "Vector Power (%): 1 int 0 100", "Vector Power (%): 1 int 100 0");
  for (const char* option : {"autoFocus", "materialThickness", "directPrint", "vectorGrid"})
    narrow = zarvik::testing::withoutOption(narrow, option);
  const std::string chosen = "JobType=Vector vectorPower=80 cResolution=300", every =
      "JobType=Raster CenterEngraving=Center EngravingDirection=BottomUp dithering=Atkinson vectorSort=InsideOut "
      "directPrint=on autoFocus=on vectorGrid=on vectorSpeedComp=on vectorPowerComp=off materialThickness=0.25 "
      "cResolution=1200 rasterSpeed=1 rasterPower=0 vectorSpeed=100 vectorPower=7 vectorFreq=5000";
  int firstJob = 0;
  auto received = [&](const Ran& run, const std::string& destination) {  // the job's files, once the backend kept it
    EXPECT_EQ(std::regex_replace(run.out, std::regex("[0-9]+"), "N"), "job N sent to " + destination + "\n");
    const std::string job = cupsd + "/captured/job-" + std::to_string(std::stoi(run.out.substr(4)));
    for (int i = 0; i < 300 && !fs::exists(job + ".done"); ++i) std::this_thread::sleep_for(100ms);
    return job;
  };
  const std::vector<Row> rows = {
      // Usage errors say what is wrong, with what was typed on one line, cut; nothing is saved.
      {{"--dry-run=yes"}, 2, {"unknown option --dry-run=yes"}},
      {dry, 0, {}, "", {}, {}, {{"QT_QPA_PLATFORM", kAbsent}, {"DISPLAY", ":99"}}},  // --no-gui needs no display
      {dry + Args{"--settings", "@/s.json", "--save"} + set("JobType=Vector cResolution=600") +
           Args{"--set", "rasterSpeed=5\x1b]0;owned\x07\n"}, 2,
       {"--set rasterSpeed=5\uFFFD]0;owned\uFFFD\uFFFD: rasterSpeed takes a whole number, not "
        "\"5\uFFFD]0;owned\uFFFD\uFFFD\""}, {}, {}, {{"@/s.json", kAbsent}}},
      {dry + Args{"--settings", "/dev/null", "--save"}, 2,
       {"--settings /dev/null is not a regular file; name a settings file, or a file to create"}},
      {dryOn("@/manual.ppd"), 2,
       {"@/manual.ppd is a PDF document, not a PPD file: a PPD file begins with \"*PPD-Adobe\"."}, {},
       {{"@/manual.ppd", "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n"}}},
      // What the printer refuses of the copies is named (a print below takes them and a page size).
      {dry + Args{"--copies", "0"}, 3, {"refused --copies 0: The printer takes from 1 to 9999 copies, not \"0\"."}},
      {dry + set("materialThickness=+-5"), 2,
       {"--set materialThickness=+-5: materialThickness takes a decimal number, not \"+-5\""}},
      {dry + Args{"-"}, 2, {"the document standard input is empty"}},
      // Keywords in any case, as libcups reads them; the job keeps the PPD's.
      {dryOn("@/lower.ppd") + set("JobType=vector RASTERSPEED=40 cResolution=75"), 0, {},
       "JobType= jobtype=VECTOR rasterSpeed=Custom.40 cResolution=Custom.75",
       {{"@/lower.ppd", zarvik::testing::replaceAll(sampleWith("JobType", "jobtype"), "e Vector/", "e VECTOR/")}}},
      // What the printer refuses of the panel's own as it opens is a warning, the PPD's value in the job; a printer
      // without the optional options says nothing of them, and a range that holds no value is named so.
      {dryOn("@/narrow.ppd"), 0,
       {"warning: " + opened("rasterSpeed", "Raster Speed must be from 60 to 100; 50 is outside that range."),
        "warning: " + opened("vectorPower", none)},
       "rasterSpeed=100 vectorPower=80 autoFocus= materialThickness= directPrint= vectorGrid=",
       {{"@/narrow.ppd", narrow}}},
      // In a German locale a number on the command line takes a point, not a comma (the dialog test holds the German
      // sentences).
      {dry + set("JobType=Vector autoFocus=on materialThickness=2.5 cResolution=200"), 0, {},
       carried("JobType=Vector autoFocus=on materialThickness=2.5 cResolution=200"), {}, {}, inGerman},
      {dry + set("cResolution=400 autoFocus=on materialThickness=2,5"), 2,
       {"--set materialThickness=2,5: materialThickness takes a decimal number, not \"2,5\""}, {}, {}, {}, inGerman},
      // A preset the printer cannot take whole: each value it refuses is the person's refused choice, named once, a
      // long text cut; an option it lacks is a warning. What the last print used and it refuses is a warning.
      {dry + Args{"--settings", "@/p.json", "--preset", "Stale"}, 3,
       {"warning: Skipped the option Laser=On of the preset: the printer has no such option.",
        "refused JobType=" + cut + " (1048576 bytes) of the preset \"Stale\": Job Type has no choice \"" + cut +
            "\" (1048576 bytes).",
        "refused vectorSpeed=Custom of the preset \"Stale\": Vector Speed needs a value: Custom.<value>.",
        "refused vectorSpeed=Custom.500 of the preset \"Stale\": " + outside("Vector Speed", "500")},
       "CenterEngraving=Center vectorPower=Custom.70", {{"@/p.json", stale}}},
      {dry + Args{"--settings", "@/p.json"}, 0,
       {"warning: Skipped the stored print setting " + kKey + "vectorSpeed=700: " + outside("Vector Speed", "700")}},
      // The other statuses, each with its message.
      {dryOn("@/no-freq.ppd"), 4, {"this printer is not a Zarvik engraver: its PPD lacks vectorFreq"}, {},
       {{"@/no-freq.ppd", zarvik::testing::sampleWithoutOption("vectorFreq")}}},
      {queue + Args{"--dry-run"}, 5, {"Cannot reach the CUPS server at 127.0.0.1:1: Connection refused."}, {}, {},
       {}, {{"CUPS_SERVER", "127.0.0.1:1"}}},
      // The engraver receives what was chosen, and the queue remembers it (the refused print below reads it).
      {queue + set(chosen) + Args{"--copies", "1", page}, 0, {}, {}, {}, {}, cups, [&](const Ran& run) {
         const std::string job = received(run, "Zarvik");
         firstJob = std::stoi(run.out.substr(4));
         Options sent = options(readFile(job + ".options"));
         for (const auto& [option, value] : start(carried(chosen))) EXPECT_EQ(sent[option], value) << option;
         EXPECT_EQ(readFile(job + ".data"), readFile(page));
       }},
      // A file that is no settings file: a dry run leaves it, a save moves it. Every control sets its own
      // option; a box showing what is asked needs no click, though disabled. A refusal names its reason and
      // the number as typed; the rest applies, --save saves it, and the next run starts there.
      {dry + Args{"--settings", "@/broken.json"} + set("vectorGrid=off " + every), 0,
       {"warning: The settings file @/broken.json cannot be read as settings (unterminated object at byte 48); the "
        "defaults are used, and a run that is no dry run would move it to @/broken.json.corrupt-STAMP."},
       carried(every), {{"@/broken.json", broken}}, {{"@/broken.json", broken}}},
      {dry + Args{"--settings", "@/broken.json", "--save"} +
           set("JobType=Vector vectorGrid=on rasterSpeed=+75 vectorPower=80 "
               "autoFocus=on materialThickness=2.5 materialThickness=" + kBig), 3,
       {"warning: The settings file @/broken.json cannot be read as settings (unterminated object at byte 48); it was "
        "moved to @/broken.json.corrupt-STAMP and the defaults are used.",
        "refused --set vectorGrid=on: the control for vectorGrid is not available now (it needs auto focus on)",
        "refused --set materialThickness=" + kBig + ": Material Thickness must be from 0 to 50; " + kBig +
            " is outside that range.", "the settings were not saved, as the printer refused a setting"},
       carried("JobType=Vector rasterSpeed=75 vectorPower=80 autoFocus=on materialThickness=2.5"), {}, {{"@/broken.json", kAbsent}}},
      {dry + Args{"--settings", "@/broken.json", "--save"} + set("JobType=Vector rasterSpeed=+75 vectorPower=80"), 0,
       {}, carried("JobType=Vector rasterSpeed=75 vectorPower=80")},
      {dry + Args{"--settings", "@/broken.json"} + set("JobType=Raster cResolution=150"), 0, {},
       "JobType=Raster rasterSpeed=Custom.75 vectorPower=Custom.80 cResolution=Custom.150"},
      {queue + Args{"--dry-run", "@/notes.txt"}, 2,
       {"@/notes.txt is text/plain, which Zarvik does not take; it takes application/vnd.cups-raster, application/vnd.cups-raw"},
       {},
       {{"@/notes.txt", "notes\n"}}, {}, cups},
      // A refused setting sends nothing (the next job's number shows that none was made).
      {queue + set("JobType=Raster rasterSpeed=700") + Args{page}, 3,
       {"refused --set rasterSpeed=700: " + outside("Raster Speed", "700"),
        "nothing was sent to Zarvik, as the printer refused a setting"},
       {}, {}, {}, cups, [&](const Ran&) {  // and saves nothing
         EXPECT_EQ(textMap(json(queueFile)["lastUsed"]["options"]), start(carried(chosen)));
       }},
      // A job sent whose settings cannot be saved must not be sent again. A relative XDG_CONFIG_HOME is ignored for
      // $HOME/.config.
      {queue + Args{page}, 6,
       {"warning: Cannot read the settings file @/.config/zarvik-print/Zarvik.json: Not a directory; the defaults "
        "are used.", "job N was sent to Zarvik, but the settings were not saved: Cannot create the folder "
        "@/.config/zarvik-print: Not a directory."},
       {}, {{"@/.config", "a file"}}, {}, {{"CUPS_SERVER", server}, {"XDG_CONFIG_HOME", "config"}},
       [&](const Ran& run) { EXPECT_EQ(std::stoi(run.err.substr(run.err.find("job ") + 4)), firstJob + 1); }},
      // The default destination may be an instance, with its options; "-" is standard input. The page size and the
      // copies go into the job and are kept with the instance's settings.
      {{"--no-gui", "--media", "a4", "--copies", "2", "-"}, 0, {}, {},
       {{"@/.cups/lpoptions", "Default Zarvik/acrylic CenterEngraving=Center JobType=Vector\n"}}, {}, cups,
       [&](const Ran& run) {
         const std::string job = received(run, "Zarvik/acrylic");
         Options sent = options(readFile(job + ".options"));
         EXPECT_EQ(sent["CenterEngraving"] + " " + sent["JobType"] + " " + sent["PageSize"], "Center Vector A4");
         EXPECT_EQ(readFile(job + ".copies"), "2\n");
         const fs::path instanceFile = dir.path() / "config/zarvik-print/Zarvik%2Facrylic.json";
         EXPECT_EQ(json(instanceFile)["lastUsed"]["printSettings"]["copies"], "2");
       }, readFile(page)},
  };
  fs::create_directory(dir.path() / ".cups");
  for (std::size_t i = 0; i < rows.size(); ++i) check(rows[i], i + 1);
}

// The refusal shows until a change is taken; presets are used and deleted; Print to a PPD file sends and saves nothing.
TEST_F(ZarvikPrintTest, InGermanTheDialogSaysWhyUsesPresetsAndUndoes) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  installTranslations(QLocale());
  const fs::path settings = dir.path() / "settings.json";
  zarvik::testing::writeFile(settings, R"({"format": "zarvik-print-settings", "presets": {
      "Alder": {"options": {"JobType": "Raster", "rasterSpeed": "Custom.500"}},
      "Birch": {"options": {"autoFocus": "disabled", "vectorGrid": "disabled"}, "printSettings": {")" + kKey +
                R"(vectorPower": "65"}}}})");
  std::vector<std::string> warnings;
  auto opened = PrintJob::open({.ppd = kPpd, .settingsFile = settings.string()}, warnings);
  ASSERT_TRUE(std::holds_alternative<std::unique_ptr<PrintJob>>(opened));
  PrintJob& job = *std::get<std::unique_ptr<PrintJob>>(opened);
  PrintDialog dialog(job, {settings.string()});  // a readable document, which a PPD file cannot print
  dialog.show();
  auto* status = dialog.findChild<QLabel*>("status");
  auto* presets = dialog.findChild<QComboBox*>("presets");
  auto settle = [] { QCoreApplication::sendPostedEvents(); };
  auto click = [&](const QString& text) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
      if (button->text() == text && button->isVisible()) button->click();  // as a person can
    settle();
  };
  auto change = [&](const char* key, const char* value) {
    SetOutcome::Kind kind = job.session().set(key, value).kind;
    settle();
    return kind;
  };

  click("Löschen");  // with no preset chosen
  EXPECT_EQ(status->text(), "Wählen Sie zuerst die Voreinstellung, die gelöscht werden soll.");
  // Return in one of the panel's fields takes the value and sends no job.
  QKeyEvent returnKey(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(job.session().view()->findChild<QLineEdit*>("vPowerTextBox"), &returnKey);
  EXPECT_EQ(dialog.printStatus(), kExitDone);
  QEvent enter(QEvent::Enter);  // the summary can be selected once the pointer is over it
  QCoreApplication::sendEvent(dialog.findChild<QLabel*>("summary"), &enter);
  EXPECT_TRUE(dialog.findChild<QLabel*>("summary")->textInteractionFlags() & Qt::TextSelectableByMouse);
  const QString refused500 = "Rastergeschwindigkeit muss im Bereich 1 bis 100 liegen; 500 liegt außerhalb.";
  EXPECT_EQ(change("rasterSpeed", "500"), SetOutcome::kRefused);
  EXPECT_EQ(status->text(), refused500);
  EXPECT_EQ(change("JobType", "Vector"), SetOutcome::kDone);
  EXPECT_EQ(status->text(), "") << "the refusal outlived a change the printer took";
  EXPECT_EQ(dialog.findChild<QLabel*>("summary")->text(), "Zarvik-Einstellungen: Nur Vektor");
  // The page size and copies beside the printer go into the job.
  auto* media = dialog.findChild<QComboBox*>("media");
  emit media->activated(media->findData(QByteArray("A4")));
  auto* copies = dialog.findChild<QSpinBox*>("copies");
  copies->setValue(copies->maximum());
  EXPECT_EQ(job.jobOptions().at("PageSize") + "/" + std::to_string(job.copies()), "A4/" + std::to_string(copies->maximum()));
  // A preset marks its options in an order they fit and puts the panel there; one the printer can't take whole says so.
  EXPECT_EQ(change("autoFocus", "on"), SetOutcome::kDone);
  EXPECT_EQ(change("vectorGrid", "on"), SetOutcome::kDone);
  for (int preset : {0, 2, 1}) {
    presets->setCurrentIndex(preset);
    emit presets->activated(preset);
    settle();
    if (preset == 0) {
      EXPECT_EQ(status->text(), "") << "the entry for no preset was taken for one";
    }
    if (preset == 2) {
      EXPECT_EQ(job.session().view()->findChild<QLineEdit*>("vPowerTextBox")->text(), "65");
      change("rasterSpeed", "40");
    }
  }
  // Alder's refused raster speed leaves the control at its value.
  EXPECT_EQ(job.session().view()->findChild<QLineEdit*>("rSpeedTextBox")->text(), "40");
  EXPECT_EQ(job.jobOptions().at("autoFocus"), "disabled") << "Birch's options were not all marked";
  EXPECT_EQ(job.jobOptions().at("JobType"), "Raster");
  EXPECT_EQ(status->text(), refused500);
  click("Löschen");  // asks nothing, and can be undone
  EXPECT_EQ(json(settings)["presets"].toObject().size(), 1);
  EXPECT_EQ(presets->count(), 2) << "the deleted preset is still offered";
  click("Rückgängig");
  EXPECT_EQ(json(settings)["presets"].toObject().keys().front(), "Alder");
  auto birch = [&] { return json(settings)["presets"]["Birch"]["printSettings"][QString::fromStdString(kKey) + "vectorPower"]; };
  QTimer::singleShot(0, [] {  // Save As… onto Birch replaces it, and can be undone
    auto* name = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
    name->setTextValue("Birch");
    name->accept();
  });
  click("Speichern unter …");
  EXPECT_NE(birch(), "65");
  click("Rückgängig");
  EXPECT_EQ(birch(), "65");
  click("Drucken");
  EXPECT_EQ(dialog.printStatus(), kExitUsage);
  EXPECT_EQ(status->text().toStdString(), dialog.printMessage());
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(json(settings)["lastUsed"].isObject());
  click("Abbrechen");
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.printStatus(), kExitUsage) << "Cancel forgot the failed Print";
}

}  // namespace
}  // namespace zarvik::print
