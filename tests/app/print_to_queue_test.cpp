// zarvik-print end to end: jobs to the "Zarvik" queue of a private cupsd on
// loopback (started once per run by the app.cupsd.start fixture), as one
// table of command lines: the options the engraver's backend received, no
// job when a setting was refused, the settings remembered after a print and
// kept apart from a PPD file's, and CUPS's own words when it refuses.
#include <cups/cups.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "host/raster_document.h"
#include "support/ppd_files.h"
#include "support/private_cupsd.h"
#include "zarvik_print_runner.h"

namespace zarvik::print::testing {
namespace {

const fs::path kServerDir = ZARVIK_APP_CUPSD_DIR;

// How many jobs the server has had for the queue, whatever their state.
int jobsOf(const std::string& server) {
  cupsSetServer(server.c_str());
  cups_job_t* jobs = nullptr;
  int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, "Zarvik", /*myjobs=*/0, CUPS_WHICHJOBS_ALL);
  cupsFreeJobs(count, jobs);
  cupsSetServer(nullptr);
  return count;
}

// What the backend received for the job "job N sent to Zarvik" names; waits
// at most 30 s for the backend to finish it.
Options received(const ProgramRun& run, const fs::path& document) {
  std::smatch match;
  static const std::regex sent("job ([0-9]+) sent to Zarvik\n");
  if (!std::regex_match(run.out, match, sent)) {
    ADD_FAILURE() << "no job was sent:\n" << run.transcript();
    return {};
  }
  const fs::path base = zarvik::testing::capturedJob(kServerDir, std::stoi(match[1]));
  for (int i = 0; i < 300 && !fs::exists(base.string() + ".done"); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(readFile(base.string() + ".title"), document.filename().string() + "\n");
  EXPECT_EQ(readFile(base.string() + ".data"), readFile(document));
  return zarvik::testing::parseOptionLine(readFile(base.string() + ".options"));
}

TEST(PrintToQueueTest, JobsCarryWhatThePersonChoseAndNothingElse) {
  ZarvikPrintRunner runner;
  const std::string server = zarvik::testing::privateCupsServer(kServerDir);
  ASSERT_FALSE(server.empty()) << "the private cupsd is not running (ctest starts it as app.cupsd.start)";
  runner.set("CUPS_SERVER", server);
  const fs::path document = runner.dir() / "page.ras";
  ASSERT_TRUE(host::writeBlankRasterPage(document, /*dotsPerInch=*/75, /*widthPoints=*/72, /*heightPoints=*/72).ok());
  const fs::path queueFile = runner.settingsFileOf("Zarvik");

  const Args queue = {"--printer", "Zarvik", "--no-gui"};
  const Args sets = setting({"JobType=Vector", "vectorPower=80", "cResolution=300"});
  Options chosen;
  int jobsBefore = -1;
  std::string savedByPrint;
  const std::vector<Row> rows = {
      // The dry run says what the print sends; the print sends it and
      // remembers it, apart from what --ppd of a file of that name saves.
      {.args = queue + Args{"--dry-run"} + sets,
       .report = true,
       .after = {{queueFile.string(), kAbsent}},
       .then =
           [&](const ProgramRun& run) {
             chosen = textMap(run.json().value("options"));
             EXPECT_EQ(run.json().value("printer").toString(), "Zarvik");
             EXPECT_EQ(chosen.at("JobType"), "Vector");
             EXPECT_EQ(chosen.at("vectorPower"), "Custom.80");
             EXPECT_EQ(chosen.at("cResolution"), "Custom.300");
           }},
      {.args = queue + sets + Args{document.string()},
       .then =
           [&](const ProgramRun& run) {
             const Options got = received(run, document);
             for (const auto& [name, value] : chosen)
               EXPECT_EQ(got.count(name) ? got.at(name) : "(none)", value) << name;
             EXPECT_EQ(lastUsedOptions(queueFile), chosen);
             savedByPrint = readFile(queueFile);
           }},
      {.args = {"--ppd", "@/Zarvik.ppd", "--no-gui", "--dry-run", "--save", "--set", "JobType=Raster"},
       .report = true,
       .before = {{"@/Zarvik.ppd", readFile(zarvik::testing::samplePpdPath())}},
       .then = [&](const ProgramRun&) { EXPECT_EQ(readFile(queueFile), savedByPrint); }},
      {.args = queue + Args{"--dry-run"},
       .report = true,
       .then =
           [&](const ProgramRun& run) {
             EXPECT_EQ(textMap(run.json().value("options")), chosen);
             jobsBefore = jobsOf(server);
           }},
      // A refused setting sends nothing: the laser would get a value nobody
      // chose.
      {.args = queue + setting({"JobType=Raster", "rasterSpeed=700", "rasterPower=35"}) + Args{document.string()},
       .status = 3,
       .messages = {"refused --set rasterSpeed=700: Raster Speed must be from 1 to 100; 700 is outside that range.",
                    "nothing was sent to Zarvik, as the printer refused a setting"},
       .then =
           [&](const ProgramRun&) {
             EXPECT_EQ(jobsOf(server), jobsBefore) << "a job was created";
             EXPECT_EQ(readFile(queueFile), savedByPrint);
           }},
      // What CUPS refuses, in its own words; a document that is not there
      // is the person's mistake.
      {.args = {"--printer", "NoSuchQueue", "--no-gui", document.string()},
       .status = 5,
       .messages = {"Cannot get the PPD of the printer NoSuchQueue: The printer or class does not exist."}},
      {.args = {"--printer", "NoSuchQueue", "--no-gui", "--dry-run"},
       .status = 5,
       .messages = {"Cannot get the PPD of the printer NoSuchQueue: The printer or class does not exist."}},
      {.args = {"--no-gui", "--dry-run"},  // the private server has no default printer
       .status = 5,
       .messages = {"CUPS has no default printer; name one with --printer"}},
      {.args = queue + Args{"--set", "JobType=Vector", "@/note.txt"},
       .status = 5,
       .messages = {"CUPS did not accept the document note.txt: Unsupported document-format \"text/plain\"."},
       .before = {{"@/note.txt", "plain text needs filters this server does not have\n"}}},
      {.args = queue + Args{"--set", "JobType=Vector", "@/nowhere.ras"},
       .status = 2,
       .messages = {"there is no document @/nowhere.ras"}},
      // A job sent whose settings cannot be saved has a status of its own:
      // a script must not send it again.
      {.args = queue + Args{document.string()},
       .status = 6,
       .messages = {"warning: Cannot read the settings file @/blocked/zarvik-print/Zarvik.json: Not a directory; the "
                    "defaults are used.",
                    "job N was sent to Zarvik, but the settings were not saved: Cannot create the folder "
                    "@/blocked/zarvik-print: Not a directory."},
       .before = {{"@/blocked", "a file where the configuration folder would be"}},
       .env = {{"XDG_CONFIG_HOME", "@/blocked"}}},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i + 1));
    check(runner, rows[i]);
  }
}

}  // namespace
}  // namespace zarvik::print::testing
