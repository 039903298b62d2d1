// zarvik-print end to end: jobs to the "Zarvik" queue of a private cupsd on
// loopback (started once per run by the app.cupsd.start fixture), the
// options the engraver's backend received, the settings remembered after a
// print, and CUPS's own words when it refuses.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <regex>
#include <thread>

#include "host/raster_document.h"
#include "support/private_cupsd.h"
#include "zarvik_print_runner.h"

namespace zarvik::print::testing {
namespace {

using Options = std::map<std::string, std::string>;
using Messages = std::vector<std::string>;

const fs::path kServerDir = ZARVIK_APP_CUPSD_DIR;
constexpr char kQueue[] = "Zarvik";

class PrintToQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server = zarvik::testing::privateCupsServer(kServerDir);
    ASSERT_FALSE(server.empty()) << "the private cupsd is not running (ctest starts it as app.cupsd.start)";
    runner.set("CUPS_SERVER", server);
    document = runner.dir() / "page.ras";
    ASSERT_TRUE(host::writeBlankRasterPage(document, /*dotsPerInch=*/75, /*widthPoints=*/72, /*heightPoints=*/72).ok());
  }

  // The job's number in "job N sent to Zarvik", or 0.
  static int sentJob(const ProgramRun& run) {
    std::smatch match;
    static const std::regex sent("job ([0-9]+) sent to Zarvik\n");
    if (!std::regex_match(run.out, match, sent)) {
      ADD_FAILURE() << "no job was sent:\n" << run.transcript();
      return 0;
    }
    return std::stoi(match[1]);
  }

  // What the capture backend wrote for `job`, once it is done; waits at
  // most 30 s.
  fs::path captured(int job) {
    const fs::path base = zarvik::testing::capturedJob(kServerDir, job);
    for (int i = 0; i < 300 && !fs::exists(base.string() + ".done"); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return base;
  }

  Options reportedOptions(const Args& sets) {
    ProgramRun dry = runner.run(Args{"--printer", kQueue, "--no-gui", "--dry-run"} + sets);
    EXPECT_EQ(dry.status, 0) << dry.transcript();
    QJsonObject report = dry.json();
    EXPECT_EQ(report.value("printer").toString().toStdString(), kQueue);
    return textMap(report.value("options"));
  }

  std::string server;
  fs::path document;
  ZarvikPrintRunner runner;
};

TEST_F(PrintToQueueTest, AJobReachesTheEngraverWithTheChosenSettings) {
  const Args sets = setting({"JobType=Vector", "vectorPower=80", "cResolution=300"});
  const Options expected = reportedOptions(sets);
  ASSERT_EQ(expected.count("JobType"), 1u);
  EXPECT_EQ(expected.at("JobType"), "Vector");
  EXPECT_EQ(expected.at("vectorPower"), "Custom.80");
  EXPECT_EQ(expected.at("cResolution"), "Custom.300");
  EXPECT_FALSE(fs::exists(runner.settingsFileOf(kQueue))) << "a dry run without --save saved";

  ProgramRun print = runner.run(Args{"--printer", kQueue, "--no-gui"} + sets + Args{document.string()});
  EXPECT_EQ(print.status, 0) << print.transcript();
  EXPECT_EQ(print.messages(), Messages{});
  const int job = sentJob(print);
  ASSERT_GT(job, 0);

  const fs::path base = captured(job);
  ASSERT_TRUE(fs::exists(base.string() + ".done")) << "the backend captured no job " << job;
  const Options received = zarvik::testing::parseOptionLine(readFile(base.string() + ".options"));
  EXPECT_EQ(received.at("JobType"), "Vector");
  EXPECT_EQ(received.at("vectorPower"), "Custom.80");
  EXPECT_EQ(received.at("cResolution"), "Custom.300");
  // Every marked option went with the job, as the dry run reported it.
  for (const auto& [name, value] : expected) {
    EXPECT_EQ(received.count(name) ? received.at(name) : "(missing)", value) << name;
  }
  EXPECT_EQ(readFile(base.string() + ".title"), "page.ras\n");
  EXPECT_EQ(readFile(base.string() + ".data"), readFile(document));

  // The print was remembered as the queue's last used settings, and the
  // next dialog starts from them.
  const fs::path file = runner.settingsFileOf(kQueue);
  ASSERT_TRUE(fs::exists(file));
  QJsonObject saved = QJsonDocument::fromJson(QByteArray::fromStdString(readFile(file))).object();
  EXPECT_EQ(saved.value("printer").toString().toStdString(), kQueue);
  EXPECT_EQ(textMap(saved.value("lastUsed").toObject().value("options")), expected);
  EXPECT_EQ(reportedOptions({}), expected);
}

TEST_F(PrintToQueueTest, ARefusedSettingStillSendsTheJobWithTheRest) {
  ProgramRun print =
      runner.run(Args{"--printer", kQueue, "--no-gui"} +
                 setting({"JobType=Raster", "rasterSpeed=500", "rasterPower=35"}) + Args{document.string()});
  EXPECT_EQ(print.status, 3) << print.transcript();
  EXPECT_EQ(print.messages(),
            Messages{"refused --set rasterSpeed=500: Raster Speed must be from 1 to 100; 500 is outside that range."});
  const int job = sentJob(print);
  ASSERT_GT(job, 0);
  const fs::path base = captured(job);
  ASSERT_TRUE(fs::exists(base.string() + ".done")) << "the backend captured no job " << job;
  const Options received = zarvik::testing::parseOptionLine(readFile(base.string() + ".options"));
  EXPECT_EQ(received.at("JobType"), "Raster");
  EXPECT_EQ(received.at("rasterPower"), "Custom.35");
  EXPECT_EQ(received.at("rasterSpeed"), "Custom.50");
}

TEST_F(PrintToQueueTest, WhatCupsRefusesExitsFiveInItsOwnWordsAndSavesNothing) {
  const fs::path note = runner.dir() / "note.txt";
  writeFile(note, "plain text needs filters this server does not have\n");
  const fs::path missing = runner.dir() / "nowhere.ras";
  struct Case {
    Args arguments;
    int status;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"--printer", "NoSuchQueue", "--no-gui", document.string()},
       5,
       "Cannot get the PPD of the printer NoSuchQueue: The printer or class does not exist."},
      {{"--printer", "NoSuchQueue", "--no-gui", "--dry-run"},
       5,
       "Cannot get the PPD of the printer NoSuchQueue: The printer or class does not exist."},
      // The private server has no default printer.
      {{"--no-gui", "--dry-run"}, 5, "CUPS has no default printer; name one with --printer"},
      {{"--printer", kQueue, "--no-gui", "--set", "JobType=Vector", note.string()},
       5,
       "CUPS did not accept the document note.txt: Unsupported document-format \"text/plain\"."},
      // A document that is not there is the person's mistake.
      {{"--printer", kQueue, "--no-gui", "--set", "JobType=Vector", missing.string()},
       2,
       "there is no document " + missing.string()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    ProgramRun run = runner.run(c.arguments);
    EXPECT_EQ(run.status, c.status) << run.transcript();
    EXPECT_EQ(run.messages(), Messages{c.message});
    EXPECT_EQ(run.out, "");
  }
  EXPECT_FALSE(fs::exists(runner.configHome())) << "a job that was not sent saved its settings";
}

}  // namespace
}  // namespace zarvik::print::testing
