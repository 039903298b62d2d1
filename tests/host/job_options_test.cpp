// The options a job carries, taken from the marks of real PPDs.
#include "host/job_options.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "host/cups_ppd_host.h"
#include "support/german_locale.h"
#include "support/ppd_files.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace zarvik::host {
namespace {

using Options = std::map<std::string, std::string>;
using zarvik::testing::sampleWith;
using zarvik::testing::TemporaryPpd;

std::shared_ptr<CupsPpdHost> sampleHost() {
  auto opened = CupsPpdHost::openFile(zarvik::testing::samplePpdPath());
  if (!opened.ok()) ADD_FAILURE() << opened.error();
  return opened.ok() ? opened.take() : nullptr;
}

// The sample PPD's defaults, as ppdMarkDefaults leaves them (PageRegion
// unmarked, as libcups does).
const Options kDefaults = {{"PageSize", "400x600mm"},       {"JobType", "Combined"},
                           {"CenterEngraving", "None"},     {"EngravingDirection", "TopDown"},
                           {"cResolution", "600"},          {"rasterSpeed", "100"},
                           {"rasterPower", "50"},           {"dithering", "FloydSteinberg"},
                           {"vectorSpeed", "30"},           {"vectorPower", "80"},
                           {"vectorFreq", "500"},           {"vectorSort", "Optimize"},
                           {"vectorSpeedComp", "disabled"}, {"vectorPowerComp", "enabled"},
                           {"vectorGrid", "disabled"},      {"autoFocus", "disabled"},
                           {"materialThickness", "0"},      {"directPrint", "disabled"}};

Options with(Options options, const Options& changes) {
  for (const auto& [key, value] : changes) options[key] = value;
  return options;
}

TEST(JobOptionsTest, EveryMarkedOptionWithCustomValuesWrittenAsCustomDotValue) {
  auto host = sampleHost();
  ASSERT_NE(host, nullptr);
  JobOptions defaults = jobOptionsFromMarks(host->ppdFile());
  EXPECT_EQ(defaults.options, kDefaults);
  EXPECT_TRUE(defaults.skipped.empty());

  ASSERT_TRUE(host->willChangePPDOptionKeyValue("JobType", "Raster"));
  ASSERT_TRUE(host->willChangePPDOptionKeyValue("rasterSpeed", "Custom"));
  ASSERT_TRUE(host->willChangePPDOptionKeyValue("CustomrasterSpeed", "40"));
  ASSERT_TRUE(host->willChangePPDOptionKeyValue("CustommaterialThickness", "2.500000"));
  ASSERT_TRUE(host->willChangePPDOptionKeyValue("CustomvectorFreq", "10"));
  EXPECT_EQ(jobOptionsFromMarks(host->ppdFile()).options, with(kDefaults, {{"JobType", "Raster"},
                                                                           {"rasterSpeed", "Custom.40"},
                                                                           {"materialThickness", "Custom.2.5"},
                                                                           {"vectorFreq", "Custom.10"}}));

  // Written with a point whatever the locale.
  zarvik::testing::GermanLocale german;
  ASSERT_EQ(german.failure(), "");
  ASSERT_TRUE(host->willChangePPDOptionKeyValue("CustommaterialThickness", "0.1"));
  EXPECT_EQ(jobOptionsFromMarks(host->ppdFile()).options.at("materialThickness"), "Custom.0.1");
  ASSERT_TRUE(host->willChangePPDOptionKeyValue("CustommaterialThickness", "50"));
  EXPECT_EQ(jobOptionsFromMarks(host->ppdFile()).options.at("materialThickness"), "Custom.50");
}

TEST(JobOptionsTest, OptionsFromMarksBringTheSameMarksBackOnAFreshPpd) {
  auto host = sampleHost();
  ASSERT_NE(host, nullptr);
  for (const auto& [key, choice] : std::vector<std::pair<std::string, std::string>>{{"autoFocus", "enabled"},
                                                                                    {"vectorGrid", "enabled"},
                                                                                    {"CustommaterialThickness", "0.3"},
                                                                                    {"CustomrasterPower", "0"},
                                                                                    {"CustomcResolution", "1200"},
                                                                                    {"dithering", "Sierra"},
                                                                                    {"PageSize", "A4"}}) {
    ASSERT_TRUE(host->willChangePPDOptionKeyValue(key, choice)) << host->lastRefusal();
  }
  Options options = jobOptionsFromMarks(host->ppdFile()).options;

  auto fresh = sampleHost();
  ASSERT_NE(fresh, nullptr);
  CupsPpdHost::ApplyReport report = fresh->applyOptions(options);
  EXPECT_TRUE(report.warnings.empty()) << report.warnings.front();
  EXPECT_EQ(jobOptionsFromMarks(fresh->ppdFile()).options, options);
  EXPECT_EQ(options.at("materialThickness"), "Custom.0.3");
}

TEST(JobOptionsTest, OptionsWithSeveralParametersACustomPageSizeOrALiteralCustomChoice) {
  TemporaryPpd ppd(sampleWith("*ParamCustomrasterSpeed rSpeed/Raster Speed (%): 1 int 1 100",
                              "*ParamCustomrasterSpeed rSpeed/Raster Speed (%): 1 int 1 100\n"
                              "*ParamCustomrasterSpeed rAccel/Acceleration: 2 real 0.5 10\n"
                              "*ParamCustomrasterSpeed rName/Profile: 3 string 0 20") +
                   "*OpenUI *Finish/Finish: PickOne\n*DefaultFinish: Custom\n*Finish Plain/Plain: \"\"\n"
                   "*Finish Custom/Custom Finish: \"\"\n*CloseUI: *Finish\n");
  ASSERT_NE(ppd.get(), nullptr);
  ppdMarkDefaults(ppd.get());
  ASSERT_TRUE(zarvik::testing::markOption(ppd.get(), "rasterSpeed", "{rSpeed=40 rAccel=2.5 rName=\"Birch board\"}"));

  JobOptions job = jobOptionsFromMarks(ppd.get());
  EXPECT_EQ(job.options.at("rasterSpeed"), "{rSpeed=40 rAccel=2.5 rName=\"Birch board\"}");
  // libcups renames a choice that is called "Custom" but is no custom value.
  EXPECT_EQ(job.options.at("Finish"), "_Custom");
  EXPECT_TRUE(job.skipped.empty());
  // libcups reads the list back to the same values.
  ASSERT_TRUE(zarvik::testing::markOption(ppd.get(), "rasterSpeed", job.options.at("rasterSpeed")));
  EXPECT_EQ(jobOptionsFromMarks(ppd.get()).options.at("rasterSpeed"), job.options.at("rasterSpeed"));
}

TEST(JobOptionsTest, ACustomPageSizeIsWidthByHeightInPoints) {
  TemporaryPpd ppd(sampleWith("*CloseGroup: General",
                              "*VariablePaperSize: True\n*MaxMediaWidth: \"1133\"\n*MaxMediaHeight: \"1700\"\n"
                              "*HWMargins: 0 0 0 0\n*CustomPageSize True: \"pop pop pop pop pop\"\n"
                              "*ParamCustomPageSize Width: 1 points 36 1133\n"
                              "*ParamCustomPageSize Height: 2 points 36 1700\n"
                              "*ParamCustomPageSize WidthOffset: 3 points 0 0\n"
                              "*ParamCustomPageSize HeightOffset: 4 points 0 0\n"
                              "*ParamCustomPageSize Orientation: 5 int 0 0\n*CloseGroup: General"));
  ASSERT_NE(ppd.get(), nullptr);
  ppdMarkDefaults(ppd.get());
  ASSERT_TRUE(zarvik::testing::markOption(ppd.get(), "PageSize", "Custom.4x5.5in"));
  EXPECT_EQ(jobOptionsFromMarks(ppd.get()).options.at("PageSize"), "Custom.288x396");
}

}  // namespace
}  // namespace zarvik::host
