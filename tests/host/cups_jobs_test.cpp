// Jobs through a private cupsd on loopback (scripts/cupsd-private, started
// once per run by the test fixture): the queue's PPD, a submitted job's
// options as the capture backend received them, and CUPS's own refusals.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

#include "host/cups_client.h"
#include "host/job_options.h"
#include "host/raster_document.h"
#include "support/ppd_files.h"
#include "support/private_cupsd.h"

namespace zarvik::host {
namespace {

namespace fs = std::filesystem;

const fs::path kServerDir = ZARVIK_CUPSD_DIR;
constexpr char kQueue[] = "Zarvik";

class CupsJobsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string server = testing::privateCupsServer(kServerDir);
    ASSERT_FALSE(server.empty()) << "the private cupsd is not running (ctest starts it as host.cupsd.start)";
    cupsSetServer(server.c_str());
    auto connected = connectToCups();
    ASSERT_TRUE(connected.ok()) << connected.error();
    http = connected.take();
  }
  void TearDown() override {
    http.reset();
    cupsSetServer(nullptr);
  }

  // Waits, for at most 30 s, until the job has ended; its last state.
  JobStatus waitForJob(int job) {
    JobStatus status;
    for (int i = 0; i < 300; ++i) {
      auto found = jobStatus(http.get(), kQueue, job);
      if (!found.ok()) {
        ADD_FAILURE() << found.error();
        return status;
      }
      status = found.value();
      if (status.state >= IPP_JSTATE_CANCELED) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return status;
  }

  ScopedHttp http;
};

TEST_F(CupsJobsTest, TheQueueIsListedAndItsPpdOpens) {
  auto destinations = listDestinations(http.get());
  ASSERT_TRUE(destinations.ok()) << destinations.error();
  ASSERT_EQ(destinations.value().size(), 1u);
  EXPECT_EQ(destinations.value()[0].name, kQueue);

  auto host = openQueue(http.get(), kQueue);
  ASSERT_TRUE(host.ok()) << host.error();
  JobOptions defaults = jobOptionsFromMarks(host.value()->ppdFile());
  EXPECT_EQ(defaults.options.at("JobType"), "Combined");
  EXPECT_EQ(defaults.options.at("cResolution"), "600");
}

TEST_F(CupsJobsTest, TheBackendReceivesTheMarkedOptions) {
  auto opened = openQueue(http.get(), kQueue);
  ASSERT_TRUE(opened.ok()) << opened.error();
  CupsPpdHost& host = *opened.value();
  ASSERT_TRUE(host.willChangePPDOptionKeyValue("JobType", "Raster"));
  ASSERT_TRUE(host.willChangePPDOptionKeyValue("rasterSpeed", "Custom"));
  ASSERT_TRUE(host.willChangePPDOptionKeyValue("CustomrasterSpeed", "40"));
  ASSERT_TRUE(host.willChangePPDOptionKeyValue("CustommaterialThickness", "2.5"));
  ASSERT_TRUE(host.willChangePPDOptionKeyValue("autoFocus", "enabled"));
  JobOptions options = jobOptionsFromMarks(host.ppdFile());

  fs::path document = kServerDir / "page.ras";
  ASSERT_TRUE(writeBlankRasterPage(document, /*dotsPerInch=*/75, /*widthPoints=*/72, /*heightPoints=*/72).ok());
  JobRequest request{kQueue, "Birch coaster", {document}, kCupsRasterFormat, options.options};
  auto job = submitJob(http.get(), request);
  ASSERT_TRUE(job.ok()) << job.error();
  ASSERT_GT(job.value(), 0);

  JobStatus status = waitForJob(job.value());
  EXPECT_EQ(jobStateName(status.state), "completed");
  EXPECT_EQ(status.title, "Birch coaster");
  EXPECT_EQ(status.format, kCupsRasterFormat);

  const fs::path captured = testing::capturedJob(kServerDir, job.value());
  ASSERT_TRUE(fs::exists(captured.string() + ".done")) << "the backend captured nothing";
  std::map<std::string, std::string> received =
      testing::parseOptionLine(testing::readFile(captured.string() + ".options"));
  for (const auto& [name, value] : options.options) EXPECT_EQ(received[name], value) << name;
  EXPECT_EQ(received["rasterSpeed"], "Custom.40");
  EXPECT_EQ(received["materialThickness"], "Custom.2.5");
  EXPECT_EQ(received["JobType"], "Raster");
  EXPECT_EQ(testing::readFile(captured.string() + ".title"), "Birch coaster\n");
  EXPECT_EQ(testing::readFile(captured.string() + ".data"), testing::readFile(document));

  // Auto typing finds the same format.
  request.format = CUPS_FORMAT_AUTO;
  auto typed = submitJob(http.get(), request);
  ASSERT_TRUE(typed.ok()) << typed.error();
  EXPECT_EQ(waitForJob(typed.value()).format, kCupsRasterFormat);
}

TEST_F(CupsJobsTest, CupsRefusalsAreReportedInItsOwnWords) {
  fs::path document = kServerDir / "refused.ras";
  ASSERT_TRUE(writeBlankRasterPage(document, 75, 72, 72).ok());

  auto missing = submitJob(http.get(), {"NoSuchQueue", "t", {document}, kCupsRasterFormat, {}});
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error(), "CUPS did not take the job for NoSuchQueue: The printer or class does not exist.");

  auto unreadable = submitJob(http.get(), {kQueue, "t", {kServerDir / "none.ras"}, kCupsRasterFormat, {}});
  ASSERT_FALSE(unreadable.ok());
  EXPECT_EQ(unreadable.error(), "Cannot read " + (kServerDir / "none.ras").string() + ": No such file or directory.");

  auto nothing = submitJob(http.get(), {kQueue, "t", {}, kCupsRasterFormat, {}});
  EXPECT_EQ(nothing.error(), "There is no document to print.");
}

}  // namespace
}  // namespace zarvik::host
