// The host over real PPDs with libcups, a fresh host for each request: an accepted one shows in the job; a refused one
// says why, on one line, and leaves every mark and value as it was. One sentence of each kind is whole here;
// zarvik_print_test holds those of a range with none, a choice the printer lacks, and a number in the job.
#include "host/cups_ppd_host.h"

#include <gtest/gtest.h>

#include "host/job_options.h"
#include "host/ppd_options.h"
#include "support/files.h"
#include "support/ppd_files.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"  // rows name what they expect

namespace zarvik::host {
namespace {

using zarvik::testing::sampleWith;

const std::string kConstraint = "*UIConstraints:", kGrid = kConstraint + " *vectorGrid enabled *autoFocus disabled\n";
const std::string kThickness = "1 real 0.0 50.0", kOut = " is outside that range.";
const std::map<std::string, std::string> kPpds = {
    {"sample", zarvik::testing::readFile(zarvik::testing::samplePpdPath())},
    // Ranges written backwards, or beyond a float.
    {"ranges", zarvik::testing::readFile(zarvik::testing::testPpdPath("hostile/custom-ranges.ppd"))},
    {"0.1-0.7", sampleWith(kThickness, "1 real 0.1 0.7")},
    {"points", sampleWith(kThickness, "1 points 0 144")},
    {"no parameter", sampleWith("*ParamCustomrasterSpeed rSpeed/Raster Speed (%): 1 int 1 100", "")},
    {"escapes", sampleWith("*OpenUI *rasterSpeed/Raster Speed:", "*OpenUI *rasterSpeed/Raster<1B>[31m<0A>forged<07>:")},
    {"focus unset", sampleWith("*DefaultautoFocus: disabled\n", "")},
    {"thickness needs focus",
     sampleWith(kGrid, kGrid + kConstraint + " *materialThickness Custom *autoFocus disabled\n")},
};

// Every mark (as libcups finds it, and each choice's own flag, which the panel reads), every custom value and the
// conflicts: what a refusal keeps.
std::vector<std::string> state(ppd_file_t* ppd) {
  std::vector<std::string> all{std::to_string(ppdConflicts(ppd))};
  forEachOption(ppd, [&](ppd_option_t& option) {
    ppd_choice_t* marked = ppdFindMarkedChoice(ppd, option.keyword);
    all.emplace_back(marked ? marked->choice : "-");
    for (int i = 0; i < option.num_choices; ++i) all.emplace_back(std::to_string(option.choices[i].marked));
    ppd_coption_t* custom = ppdFindCustomOption(ppd, option.keyword);
    for (ppd_cparam_t* param = ppdFirstCustomParam(custom); param != nullptr; param = ppdNextCustomParam(custom))
      all.emplace_back(reinterpret_cast<const char*>(&param->current), sizeof(float));
  });
  return all;
}

struct Row {
  std::string ppd;
  std::vector<std::string> requests;  // "key=choice"; all but the last must be accepted
  std::string job, refusal;           // accepted: "option=what the job carries"; or refused saying this
};
const std::string kBig = "1" + std::string(39, '0'), kFloatMax = "340282346638528859811704183484516925440";
const std::vector<Row> kRows = {
    {"sample", {"rasterSpeed=Custom", "customRASTERSPEED=+07"}, "rasterSpeed=Custom.7"},  // keywords in any case
    {"0.1-0.7", {"CustommaterialThickness=0.7"}, "materialThickness=Custom.0.7"},
    {"points", {"CustommaterialThickness=1in"}, "materialThickness=Custom.72"},
    {"ranges", {"CustommaterialThickness=" + kFloatMax}, "materialThickness=Custom." + kFloatMax},

    {"escapes", {"CustomrasterSpeed=500"}, "", "Raster\uFFFD[31m\uFFFDforged\uFFFD must be from 1 to 100; 500" + kOut},
    {"sample", {"CustomJobType=5"}, "", "Job Type takes no custom value."},
    {"sample", {"Laser=On"}, "", "The printer has no option \"Laser\"."},
    {"no parameter", {"CustomrasterSpeed=5"}, "", "without parameters"},
    {"focus unset", {"vectorGrid=enabled", "autoFocus=disabled"}, "",  // a refusal leaves it unmarked
     "Auto Focus \"Disabled\" conflicts with Vector Grid \"Enabled (needs Auto Focus)\"."},
    {"thickness needs focus",
     {"autoFocus=enabled", "CustommaterialThickness=2.5", "materialThickness=5", "autoFocus=disabled",
      "CustommaterialThickness=7.5"},
     "", "conflicts with Auto Focus"},
    {"sample", {"CustomrasterSpeed=5.0"}, "", "Raster Speed needs a whole number from 1 to 100, not \"5.0\"."},
    {"ranges", {"CustomrasterPower=18446744073709551615"}, "", kOut},  // beyond a long long, within an unsigned one
    {"0.1-0.7", {"CustommaterialThickness=0.7000001"}, "", kOut},
    {"ranges", {"CustommaterialThickness=" + kBig}, "", kOut},
};

TEST(CupsPpdHostTest, EachRequestIsMarkedOrRefusedWithItsSentence) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.ppd + ": " + row.requests.back());
    const zarvik::testing::TemporaryPpd ppd(kPpds.at(row.ppd));
    Expected<std::shared_ptr<CupsPpdHost>> opened = CupsPpdHost::openFile(ppd.path());
    ASSERT_TRUE(opened.ok()) << opened.error();
    std::shared_ptr<CupsPpdHost> host = opened.take();
    std::vector<std::string> before;
    for (const std::string& request : row.requests) {
      const std::size_t equals = request.find('=');
      before = state(host->ppdFile());
      ASSERT_EQ(host->willChangePPDOptionKeyValue(request.substr(0, equals), request.substr(equals + 1)),
                &request != &row.requests.back() || row.refusal.empty())
          << request << ": " << host->lastRefusal();
    }
    if (row.refusal.empty()) {
      const std::size_t equals = row.job.find('=');
      EXPECT_EQ(jobOptionsFromMarks(host->ppdFile()).options[row.job.substr(0, equals)], row.job.substr(equals + 1));
    } else {
      EXPECT_NE(host->lastRefusal().find(row.refusal), std::string::npos) << host->lastRefusal();
      EXPECT_EQ(state(host->ppdFile()), before) << "a refusal changed the PPD";
    }
  }
}

}  // namespace
}  // namespace zarvik::host
