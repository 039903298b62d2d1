// The host over real PPDs with libcups: one table of requests, each made on
// a fresh host after the requests before it in its row. An accepted one
// shows in what the job carries; a refused one has its sentence, on one
// line, and leaves every mark and custom value as it was.
#include "host/cups_ppd_host.h"

#include <cups/ppd.h>
#include <gtest/gtest.h>

#include "host/job_options.h"
#include "host/ppd_options.h"
#include "support/files.h"
#include "support/german_locale.h"
#include "support/ppd_files.h"
#include "support/temporary_folder.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"  // rows name what they expect

namespace zarvik::host {
namespace {

using zarvik::testing::sampleWith;
using Options = std::map<std::string, std::string>;

const std::string kGrid = "*UIConstraints: *vectorGrid enabled *autoFocus disabled\n";
const std::string kThickness = "1 real 0.0 50.0", kSpeed = "rSpeed/Raster Speed (%): 1 int 1 100";
const std::map<std::string, std::string> kPpds = {
    {"sample", zarvik::testing::readFile(zarvik::testing::samplePpdPath())},
    // Ranges written backwards, or beyond a float.
    {"ranges", zarvik::testing::readFile(zarvik::testing::testPpdPath("hostile/custom-ranges.ppd"))},
    {"50-0", sampleWith(kThickness, "1 real 50.0 0.0")},
    {"0.1-0.7", sampleWith(kThickness, "1 real 0.1 0.7")},
    {"points", sampleWith(kThickness, "1 points 0 144")},
    {"two values", sampleWith(kSpeed, kSpeed + "\n*ParamCustomrasterSpeed rAccel/Accel: 2 int 1 9")},
    {"text value", sampleWith(kSpeed, "rSpeed/Raster Speed (%): 1 string 0 10")},
    {"thickness needs focus", sampleWith(kGrid, kGrid + "*UIConstraints: *materialThickness Custom *autoFocus "
                                                        "disabled\n*UIConstraints: *autoFocus disabled "
                                                        "*materialThickness Custom\n")},
    // The defaults conflict already; direct print excludes auto focus.
    {"conflicting", zarvik::testing::replaceAll(
                        sampleWith("*DefaultvectorGrid: disabled", "*DefaultvectorGrid: enabled"), kGrid,
                        kGrid + "*UIConstraints: *autoFocus enabled *directPrint enabled\n*UIConstraints: "
                                "*directPrint enabled *autoFocus enabled\n")},
};

// Every mark, every custom value and the conflicts: what a refusal keeps.
std::vector<std::string> state(ppd_file_t* ppd) {
  std::vector<std::string> all{std::to_string(ppdConflicts(ppd))};
  forEachOption(ppd, [&](ppd_option_t& option) {
    ppd_choice_t* marked = ppdFindMarkedChoice(ppd, option.keyword);
    all.emplace_back(marked ? marked->choice : "-");
    ppd_coption_t* custom = ppdFindCustomOption(ppd, option.keyword);
    auto* param = custom ? static_cast<ppd_cparam_t*>(cupsArrayFirst(custom->params)) : nullptr;
    for (; param != nullptr; param = static_cast<ppd_cparam_t*>(cupsArrayNext(custom->params)))
      all.emplace_back(reinterpret_cast<const char*>(&param->current), sizeof(float));
  });
  return all;
}

struct Row {
  std::string ppd;
  std::vector<std::string> requests;  // "key=choice"; all but the last must be accepted
  std::string job;                    // accepted: "option=what the job carries"
  std::string refusal;                // or refused with this sentence
};
const std::string kBig = "1" + std::string(39, '0'), kFloatMax = "340282346638528859811704183484516925440";
const std::string kOutside = " is outside that range.", kWhole = "Raster Speed needs a whole number from 1 to 100, not ";
const std::string kDecimal = "Material Thickness needs a decimal number from 0 to 50, not ";
const std::vector<Row> kRows = {
    {"sample", {"rasterSpeed=Custom", "CustomrasterSpeed=+07"}, "rasterSpeed=Custom.7"},
    {"sample", {"CustomrasterSpeed=100"}, "rasterSpeed=Custom.100"},
    {"sample", {"CustommaterialThickness=2.500000"}, "materialThickness=Custom.2.5"},
    {"0.1-0.7", {"CustommaterialThickness=0.7"}, "materialThickness=Custom.0.7"},
    {"points", {"CustommaterialThickness=1in"}, "materialThickness=Custom.72"},
    {"ranges", {"CustommaterialThickness=" + kFloatMax}, "materialThickness=Custom." + kFloatMax},
    {"conflicting", {"JobType=Raster"}, "JobType=Raster"},  // a conflict there already blocks no other change

    {"sample", {"NoSuchOption=x"}, "", "The printer has no option \"NoSuchOption\"."},
    {"sample", {"JobType=Raster\nVector\x1b[2J"}, "", "Job Type has no choice \"Raster\uFFFDVector\uFFFD[2J\"."},
    {"sample", {"CustomJobType=5"}, "", "Job Type takes no custom value."},
    {"sample", {"vectorGrid=enabled"}, "",
     "Vector Grid \"Enabled (needs Auto Focus)\" conflicts with Auto Focus \"Disabled\"."},
    {"conflicting", {"directPrint=enabled", "autoFocus=enabled"}, "",
     "Auto Focus \"Enabled\" conflicts with Direct Print \"Enabled\"."},
    {"thickness needs focus",
     {"autoFocus=enabled", "CustommaterialThickness=2.5", "materialThickness=5", "autoFocus=disabled",
      "CustommaterialThickness=7.5"},
     "", "Material Thickness \"Custom Thickness\" conflicts with Auto Focus \"Disabled\"."},
    {"sample", {"CustomrasterSpeed=12abc"}, "", kWhole + "\"12abc\"."},
    {"sample", {"CustomrasterSpeed=5.0"}, "", kWhole + "\"5.0\"."},
    {"sample", {"CustomrasterSpeed=101"}, "", "Raster Speed must be from 1 to 100; 101" + kOutside},
    {"sample", {"CustomrasterSpeed=-99999999999999999999"}, "",
     "Raster Speed must be from 1 to 100; -99999999999999999999" + kOutside},
    {"sample", {"CustommaterialThickness=0,25"}, "", kDecimal + "\"0,25\"."},
    {"sample", {"CustommaterialThickness=5."}, "", kDecimal + "\"5.\"."},
    {"sample", {"CustommaterialThickness=50.0001"}, "", "Material Thickness must be from 0 to 50; 50.0001" + kOutside},
    {"0.1-0.7", {"CustommaterialThickness=0.7000001"}, "",
     "Material Thickness must be from 0.1 to 0.7; 0.7000001" + kOutside},
    {"points", {"CustommaterialThickness=3in"}, "", "Material Thickness must be from 0 to 144 points; 3in" + kOutside},
    {"points", {"CustommaterialThickness=5 mm"}, "",
     "Material Thickness needs a length from 0 to 144 points (a number with pt, in, ft, cm, mm or m), not \"5 mm\"."},
    {"ranges", {"CustomrasterSpeed=50"}, "",
     "Raster Speed cannot take any value: the printer's PPD gives it the range 100 to 1, which holds none."},
    {"50-0", {"CustommaterialThickness=1"}, "",
     "Material Thickness cannot take any value: the printer's PPD gives it the range 50 to 0, which holds none."},
    {"ranges", {"CustommaterialThickness=" + kBig}, "", "Material Thickness must be from -inf to inf; " + kBig + kOutside},
    {"two values", {"CustomrasterSpeed=50"}, "", "Raster Speed has several custom values; one text cannot set them."},
    {"text value", {"CustomrasterSpeed=fast"}, "", "Raster Speed takes a text value, which this dialog does not set."},
};

class CupsPpdHostTest : public ::testing::Test {
 protected:
  std::shared_ptr<CupsPpdHost> open(const std::string& ppd) {
    const std::filesystem::path file = folder.path() / (ppd + ".ppd");
    if (!std::filesystem::exists(file)) zarvik::testing::writeFile(file, kPpds.at(ppd));
    auto opened = CupsPpdHost::openFile(file);
    EXPECT_TRUE(opened.ok()) << opened.error();
    return opened.ok() ? opened.take() : nullptr;
  }
  zarvik::testing::TemporaryFolder folder{"zarvik-host"};
};

TEST_F(CupsPpdHostTest, EachRequestIsMarkedOrRefusedWithItsSentenceInAnyLocale) {
  auto runAll = [&](bool sentences) {
    for (const Row& row : kRows) {
      SCOPED_TRACE(row.ppd + ": " + row.requests.back());
      std::shared_ptr<CupsPpdHost> host = open(row.ppd);
      ASSERT_NE(host, nullptr);
      std::vector<std::string> before;
      for (const std::string& request : row.requests) {
        const std::size_t equals = request.find('=');
        before = state(host->ppdFile());
        bool accepted = host->willChangePPDOptionKeyValue(request.substr(0, equals), request.substr(equals + 1));
        ASSERT_TRUE(accepted || &request == &row.requests.back()) << request << ": " << host->lastRefusal();
      }
      if (row.refusal.empty()) {
        EXPECT_EQ(host->refusals(), 0) << host->lastRefusal();
        const std::size_t equals = row.job.find('=');
        EXPECT_EQ(jobOptionsFromMarks(host->ppdFile()).options[row.job.substr(0, equals)], row.job.substr(equals + 1));
      } else {
        EXPECT_EQ(host->refusals(), 1);
        EXPECT_EQ(sentences ? host->lastRefusal() : row.refusal, row.refusal);
        EXPECT_EQ(state(host->ppdFile()), before) << "a refusal changed the PPD";
      }
    }
  };
  runAll(true);
  // With a decimal comma the values still read and write with a point (the
  // PPD's texts are German then).
  zarvik::testing::GermanLocale german;
  ASSERT_EQ(german.failure(), "");
  runAll(false);
}

// Remembered options go back through the same checks, whatever their order
// and the case of their keywords; what does not fit is a warning.
TEST_F(CupsPpdHostTest, StoredOptionsAreCheckedAsRequestsAndSkippedWithAWarning) {
  std::shared_ptr<CupsPpdHost> host = open("sample");
  ASSERT_TRUE(host->willChangePPDOptionKeyValue("autoFocus", "enabled"));
  ASSERT_TRUE(host->willChangePPDOptionKeyValue("vectorGrid", "enabled"));
  EXPECT_EQ(host->applyOptions({{"autoFocus", "disabled"}, {"vectorGrid", "disabled"}, {"jobtype", "raster"},
                                {"Job\nType", "x"}, {"rasterPower", "custom.30"}, {"rasterSpeed", "Custom.500"},
                                {"vectorSpeed", "Custom"}, {"dithering", "a\rb"}})
                .warnings,
            (std::vector<std::string>{
                "Skipped the stored option Job\uFFFDType=x: the printer has no such option.",
                "Skipped the stored option dithering=a\uFFFDb: Dithering has no choice \"a\uFFFDb\".",
                "Skipped the stored option rasterSpeed=Custom.500: Raster Speed must be from 1 to 100; 500" + kOutside,
                "Skipped the stored option vectorSpeed=Custom: Vector Speed needs a value: Custom.<value>."}));
  Options job = jobOptionsFromMarks(host->ppdFile()).options;
  for (const auto& [option, choice] : Options{{"autoFocus", "disabled"}, {"vectorGrid", "disabled"},
                                              {"JobType", "Raster"}, {"rasterPower", "Custom.30"},
                                              {"rasterSpeed", "100"}, {"vectorSpeed", "30"}}) {
    EXPECT_EQ(job[option], choice) << option;
  }
  EXPECT_EQ(host->refusals(), 0) << "bringing settings back is not the person's doing";
}

// Options of several values, a custom page size and a choice that is only
// called "Custom" reach the job as libcups reads them back.
TEST_F(CupsPpdHostTest, TheJobWritesEveryKindOfCustomValueAsLibcupsReadsIt) {
  zarvik::testing::TemporaryPpd ppd(
      sampleWith("rSpeed/Raster Speed (%): 1 int 1 100",
                 "rSpeed/Speed: 1 int 1 100\n*ParamCustomrasterSpeed rName/Profile: 2 string 0 20") +
      "*OpenUI *Finish/Finish: PickOne\n*DefaultFinish: Custom\n*Finish Custom/Custom Finish: \"\"\n*CloseUI: "
      "*Finish\n*CustomPageSize True: \"pop\"\n*ParamCustomPageSize Width: 1 points 36 1133\n*ParamCustomPageSize "
      "Height: 2 points 36 1700\n");
  ASSERT_NE(ppd.get(), nullptr);
  ppdMarkDefaults(ppd.get());
  ASSERT_TRUE(zarvik::testing::markOption(ppd.get(), "rasterSpeed", "{rSpeed=40 rName=\"Birch board\"}"));
  ASSERT_TRUE(zarvik::testing::markOption(ppd.get(), "PageSize", "Custom.4x5.5in"));
  const Options job = jobOptionsFromMarks(ppd.get()).options;
  EXPECT_EQ(job.at("rasterSpeed"), "{rSpeed=40 rName=\"Birch board\"}");
  EXPECT_EQ(job.at("PageSize"), "Custom.288x396");
  EXPECT_EQ(job.at("Finish"), "_Custom");
}

}  // namespace
}  // namespace zarvik::host
