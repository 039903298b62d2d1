// The host over a real PPD: what it marks with libcups, what it refuses and
// the sentence it keeps, and a panel built on it.
#include "host/cups_ppd_host.h"

#include <cups/ppd.h>
#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "host/job_options.h"
#include "panel/zarvik_pde.h"
#include "support/files.h"
#include "support/german_locale.h"
#include "support/log_capture.h"
#include "support/ppd_files.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace zarvik::host {
namespace {

using zarvik::testing::markedChoice;
using zarvik::testing::samplePpdPath;
using zarvik::testing::sampleWith;

// The host over a PPD file, which stays on disk for the host's life.
class HostOnPpd {
 public:
  explicit HostOnPpd(const std::string& text) {
    std::string pattern = (std::filesystem::temp_directory_path() / "zarvik-host-XXXXXX").string();
    int fd = mkstemp(pattern.data());
    path_ = pattern;
    if (fd >= 0) ::close(fd);
    std::ofstream(path_) << text;
    auto opened = CupsPpdHost::openFile(path_);
    if (!opened.ok()) ADD_FAILURE() << opened.error();
    if (opened.ok()) host_ = opened.take();
  }
  ~HostOnPpd() { std::filesystem::remove(path_); }
  CupsPpdHost& operator*() { return *host_; }
  CupsPpdHost* operator->() { return host_.get(); }
  std::shared_ptr<CupsPpdHost> shared() { return host_; }

 private:
  std::filesystem::path path_;
  std::shared_ptr<CupsPpdHost> host_;
};

class CupsPpdHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto opened = CupsPpdHost::openFile(samplePpdPath());
    ASSERT_TRUE(opened.ok()) << opened.error();
    host = opened.take();
  }

  ppd_file_t* ppd() { return host->ppdFile(); }
  std::string marked(const std::string& option) { return markedChoice(ppd(), option); }

  static ppd_cparam_t* param(ppd_file_t* ppd, const char* option, const char* name) {
    return ppdFindCustomParam(ppdFindCustomOption(ppd, option), name);
  }
  int currentInt(const char* option, const char* name) { return param(ppd(), option, name)->current.custom_int; }
  float currentReal(const char* option, const char* name) { return param(ppd(), option, name)->current.custom_real; }

  std::shared_ptr<CupsPpdHost> host;
};

TEST_F(CupsPpdHostTest, MarksChoicesWithLibcupsAndRefusesNothingElse) {
  EXPECT_TRUE(host->respondsToWillChangePPDOptionKeyValue());
  ASSERT_NE(ppd(), nullptr);
  EXPECT_EQ(marked("JobType"), "Combined");  // the PPD's defaults are marked

  EXPECT_TRUE(host->willChangePPDOptionKeyValue("JobType", "Raster"));
  EXPECT_TRUE(host->willChangePPDOptionKeyValue("autoFocus", "enabled"));
  EXPECT_TRUE(host->willChangePPDOptionKeyValue("rasterSpeed", "Custom"));
  EXPECT_EQ(marked("JobType"), "Raster");
  EXPECT_EQ(marked("autoFocus"), "enabled");
  EXPECT_EQ(marked("rasterSpeed"), "Custom");
  EXPECT_EQ(host->refusals(), 0);
  EXPECT_EQ(host->lastRefusal(), "");
}

TEST_F(CupsPpdHostTest, RefusesUnknownOptionsAndChoicesAndCustomWhereThereIsNone) {
  struct Case {
    std::string key, choice, sentence;
  };
  const std::vector<Case> cases = {
      {"NoSuchOption", "x", "The printer has no option \"NoSuchOption\"."},
      {"", "", "The printer has no option \"\"."},
      {std::string("JobType\0x", 9), "Raster", "The printer has no option \"JobType\xEF\xBF\xBDx\"."},
      {"CustomNoSuch", "5", "The printer has no option \"CustomNoSuch\"."},
      {"JobTypes", "Raster", "The printer has no option \"JobTypes\"."},
      {"JobType", "Engrave", "Job Type has no choice \"Engrave\"."},
      {"JobType", "", "Job Type has no choice \"\"."},
      {"JobType", "Raster\nVector", "Job Type has no choice \"Raster\xEF\xBF\xBDVector\"."},
      {"JobType", "Custom", "Job Type takes no custom value."},
      {"CustomJobType", "5", "Job Type takes no custom value."},
      {"autoFocus", "on", "Auto Focus has no choice \"on\"."},
  };
  int refusals = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key + "=" + c.choice);
    EXPECT_FALSE(host->willChangePPDOptionKeyValue(c.key, c.choice));
    EXPECT_EQ(host->lastRefusal(), c.sentence);
    EXPECT_EQ(host->refusals(), ++refusals);
    EXPECT_EQ(marked("JobType"), "Combined");
    EXPECT_EQ(marked("autoFocus"), "disabled");
  }
  // Each refusal is logged with what was asked; a custom key as its
  // option's choice.
  EXPECT_EQ(host->refusalLog()[9].request, "JobType=Custom.5");
  EXPECT_EQ(host->refusalLog().back().request, "autoFocus=on");
  // The sentence stays until the next refusal, or until it is cleared.
  EXPECT_TRUE(host->willChangePPDOptionKeyValue("JobType", "Vector"));
  EXPECT_EQ(host->lastRefusal(), "Auto Focus has no choice \"on\".");
  host->clearLastRefusal();
  EXPECT_EQ(host->lastRefusal(), "");
}

TEST_F(CupsPpdHostTest, RefusesAChangeThatAddsAConflictAndKeepsThePreviousMarks) {
  EXPECT_FALSE(host->willChangePPDOptionKeyValue("vectorGrid", "enabled"));
  EXPECT_EQ(host->lastRefusal(), "Vector Grid \"Enabled (needs Auto Focus)\" conflicts with Auto Focus \"Disabled\".");
  EXPECT_EQ(marked("vectorGrid"), "disabled");
  EXPECT_EQ(ppdConflicts(ppd()), 0);

  ASSERT_TRUE(host->willChangePPDOptionKeyValue("autoFocus", "enabled"));
  ASSERT_TRUE(host->willChangePPDOptionKeyValue("vectorGrid", "enabled"));
  EXPECT_FALSE(host->willChangePPDOptionKeyValue("autoFocus", "disabled"));
  EXPECT_EQ(host->lastRefusal(), "Auto Focus \"Disabled\" conflicts with Vector Grid \"Enabled (needs Auto Focus)\".");
  EXPECT_EQ(marked("autoFocus"), "enabled");
  EXPECT_EQ(marked("vectorGrid"), "enabled");

  // In the order the panel uses, the same change goes through.
  EXPECT_TRUE(host->willChangePPDOptionKeyValue("vectorGrid", "disabled"));
  EXPECT_TRUE(host->willChangePPDOptionKeyValue("autoFocus", "disabled"));
  EXPECT_EQ(host->refusals(), 2);
}

TEST_F(CupsPpdHostTest, AConflictAlreadyThereBlocksOnlyChangesThatAddAnother) {
  ASSERT_TRUE(zarvik::testing::markOption(ppd(), "vectorGrid", "enabled"));  // behind the host's back
  ASSERT_EQ(ppdConflicts(ppd()), 1);
  EXPECT_TRUE(host->willChangePPDOptionKeyValue("JobType", "Raster"));
  EXPECT_TRUE(host->willChangePPDOptionKeyValue("vectorGrid", "enabled"));
  // Lifting the conflict is a change like any other.
  EXPECT_TRUE(host->willChangePPDOptionKeyValue("autoFocus", "enabled"));
  EXPECT_EQ(ppdConflicts(ppd()), 0);
  EXPECT_EQ(host->refusals(), 0);

  // Trading the old conflict for a new one adds a conflict.
  HostOnPpd direct(sampleWith("*UIConstraints: *vectorGrid enabled *autoFocus disabled",
                              "*UIConstraints: *vectorGrid enabled *autoFocus disabled\n"
                              "*UIConstraints: *autoFocus enabled *directPrint enabled\n"
                              "*UIConstraints: *directPrint enabled *autoFocus enabled"));
  ppd_file_t* file = direct->ppdFile();
  ASSERT_TRUE(zarvik::testing::markOption(file, "vectorGrid", "enabled"));
  ASSERT_TRUE(direct->willChangePPDOptionKeyValue("directPrint", "enabled"));
  const int conflictsBefore = ppdConflicts(file);
  ASSERT_GT(conflictsBefore, 0);
  EXPECT_FALSE(direct->willChangePPDOptionKeyValue("autoFocus", "enabled"));
  EXPECT_EQ(direct->lastRefusal(), "Auto Focus \"Enabled\" conflicts with Direct Print \"Enabled\".");
  EXPECT_EQ(markedChoice(file, "autoFocus"), "disabled");
  EXPECT_EQ(markedChoice(file, "vectorGrid"), "enabled");
  EXPECT_EQ(ppdConflicts(file), conflictsBefore);
  // Made behind the host's back, the change does not raise libcups's count:
  // counting alone would have let it through.
  ASSERT_TRUE(zarvik::testing::markOption(file, "autoFocus", "enabled"));
  EXPECT_LE(ppdConflicts(file), conflictsBefore);
}

TEST_F(CupsPpdHostTest, ARefusedCustomValueLeavesTheChoiceAndTheValueAsTheyWere) {
  // Custom thicknesses need the auto focus in this printer.
  HostOnPpd constrained(sampleWith("*UIConstraints: *vectorGrid enabled *autoFocus disabled",
                                   "*UIConstraints: *vectorGrid enabled *autoFocus disabled\n"
                                   "*UIConstraints: *materialThickness Custom *autoFocus disabled\n"
                                   "*UIConstraints: *autoFocus disabled *materialThickness Custom"));
  ppd_file_t* file = constrained->ppdFile();
  ppd_cparam_t* thickness = param(file, "materialThickness", "thickness");
  ASSERT_NE(thickness, nullptr);
  ASSERT_TRUE(constrained->willChangePPDOptionKeyValue("autoFocus", "enabled"));
  ASSERT_TRUE(constrained->willChangePPDOptionKeyValue("CustommaterialThickness", "2.5"));
  ASSERT_TRUE(constrained->willChangePPDOptionKeyValue("materialThickness", "5"));
  ASSERT_TRUE(constrained->willChangePPDOptionKeyValue("autoFocus", "disabled"));

  EXPECT_FALSE(constrained->willChangePPDOptionKeyValue("CustommaterialThickness", "7.5"));
  EXPECT_EQ(constrained->lastRefusal(),
            "Material Thickness \"Custom Thickness\" conflicts with Auto Focus \"Disabled\".");
  EXPECT_EQ(markedChoice(file, "materialThickness"), "5");
  EXPECT_EQ(thickness->current.custom_real, 2.5f);
  EXPECT_FALSE(constrained->willChangePPDOptionKeyValue("materialThickness", "Custom"));
  EXPECT_EQ(markedChoice(file, "materialThickness"), "5");
  EXPECT_EQ(ppdConflicts(file), 0);
}

TEST_F(CupsPpdHostTest, IntegerValueTextsAreReadWholeAndWithinTheRange) {
  struct Case {
    std::string text;
    int value;  // -1: refused
  };
  const std::vector<Case> good = {{"1", 1}, {"100", 100}, {"42", 42}, {"+7", 7}, {"007", 7}};
  for (const Case& c : good) {
    SCOPED_TRACE(c.text);
    EXPECT_TRUE(host->willChangePPDOptionKeyValue("CustomrasterSpeed", c.text)) << host->lastRefusal();
    EXPECT_EQ(currentInt("rasterSpeed", "rSpeed"), c.value);
    EXPECT_EQ(marked("rasterSpeed"), "Custom");
  }
  ASSERT_TRUE(host->willChangePPDOptionKeyValue("CustomrasterSpeed", "33"));
  ASSERT_TRUE(host->willChangePPDOptionKeyValue("rasterSpeed", "75"));

  for (const std::string text :
       {"", "12abc", "1e5", " 5", "5 ", "0x10", "5.", "5.0", "-", "+", "--5", "five", "\xEF\xBC\x95"}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(host->willChangePPDOptionKeyValue("CustomrasterSpeed", text));
    EXPECT_EQ(host->lastRefusal(), "Raster Speed needs a whole number from 1 to 100, not \"" + text + "\".");
    EXPECT_EQ(currentInt("rasterSpeed", "rSpeed"), 33);
    EXPECT_EQ(marked("rasterSpeed"), "75");
  }
  for (const std::string text : {"0", "101", "-5", "99999999999999999999999", "-99999999999999999999999"}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(host->willChangePPDOptionKeyValue("CustomrasterSpeed", text));
    EXPECT_EQ(host->lastRefusal(), "Raster Speed must be from 1 to 100; " + text + " is outside that range.");
    EXPECT_EQ(currentInt("rasterSpeed", "rSpeed"), 33);
  }
  // A range written backwards holds no value, and says so; asking does
  // not mark.
  HostOnPpd backwards(zarvik::testing::readFile(zarvik::testing::testPpdPath("hostile/custom-ranges.ppd")));
  const int refusals = backwards->refusals();
  EXPECT_EQ(backwards->checkCustomValue("rasterSpeed", "50"),
            "Raster Speed cannot take any value: the printer's PPD gives it the range 100 to 1, which holds none.");
  EXPECT_EQ(backwards->refusals(), refusals);
  EXPECT_FALSE(backwards->willChangePPDOptionKeyValue("CustomvectorPower", "0"));
  EXPECT_EQ(backwards->lastRefusal(),
            "Vector Power cannot take any value: the printer's PPD gives it the range "
            "2147483647 to -2147483647, which holds none.");
  EXPECT_EQ(host->checkCustomValue("rasterSpeed", "101"),
            "Raster Speed must be from 1 to 100; 101 is outside that range.");
  EXPECT_EQ(host->checkCustomValue("rasterSpeed", "100"), std::nullopt);
  EXPECT_EQ(currentInt("rasterSpeed", "rSpeed"), 33);
  // Each parameter has its own range.
  EXPECT_TRUE(host->willChangePPDOptionKeyValue("CustomrasterPower", "0"));
  EXPECT_TRUE(host->willChangePPDOptionKeyValue("CustomvectorFreq", "5000"));
  EXPECT_FALSE(host->willChangePPDOptionKeyValue("CustomvectorFreq", "9"));
  EXPECT_EQ(host->lastRefusal(), "Vector Frequency must be from 10 to 5000; 9 is outside that range.");
}

TEST_F(CupsPpdHostTest, RealValueTextsTakeAPointInEveryLocale) {
  auto check = [&](const std::string& where) {
    SCOPED_TRACE(where);
    const std::vector<std::pair<std::string, float>> good = {{"0.25", 0.25f},    {"50", 50.0f},        {"0", 0.0f},
                                                             {"0.000000", 0.0f}, {"12.500000", 12.5f}, {"+1.5", 1.5f}};
    for (const auto& [text, value] : good) {
      EXPECT_TRUE(host->willChangePPDOptionKeyValue("CustommaterialThickness", text)) << host->lastRefusal();
      EXPECT_EQ(currentReal("materialThickness", "thickness"), value) << text;
    }
    ASSERT_TRUE(host->willChangePPDOptionKeyValue("CustommaterialThickness", "0.25"));
    for (const std::string text : {"0,25", "5.", ".5", "1e1", "nan", "inf", "", "2.5mm", "1.2.3"}) {
      EXPECT_FALSE(host->willChangePPDOptionKeyValue("CustommaterialThickness", text)) << text;
      EXPECT_EQ(host->lastRefusal(), "Material Thickness needs a decimal number from 0 to 50, not \"" + text + "\".");
      EXPECT_EQ(currentReal("materialThickness", "thickness"), 0.25f);
    }
    for (const std::string text : {"50.0001", "-0.1", "60.000000"}) {
      EXPECT_FALSE(host->willChangePPDOptionKeyValue("CustommaterialThickness", text)) << text;
      EXPECT_EQ(host->lastRefusal(), "Material Thickness must be from 0 to 50; " + text + " is outside that range.");
      EXPECT_EQ(currentReal("materialThickness", "thickness"), 0.25f);
    }
  };
  check("C locale");
  zarvik::testing::GermanLocale german;
  ASSERT_EQ(german.failure(), "");
  check("German locale");
}

TEST_F(CupsPpdHostTest, EachEndOfARangeAsThePpdWritesItIsTakenAndNoValueIsBeyondAFloat) {
  // 0.7 is kept as the float just below it; the text 0.7 means that float.
  HostOnPpd real(sampleWith("thickness/Thickness (mm): 1 real 0.0 50.0", "thickness/Thickness (mm): 1 real 0.1 0.7"));
  ppd_cparam_t* thickness = param(real->ppdFile(), "materialThickness", "thickness");
  ASSERT_NE(thickness, nullptr);
  for (const auto& [text, value] :
       std::vector<std::pair<std::string, float>>{{"0.7", 0.7f}, {"0.1", 0.1f}, {"0.70000001", 0.7f}, {"0.5", 0.5f}}) {
    EXPECT_TRUE(real->willChangePPDOptionKeyValue("CustommaterialThickness", text)) << real->lastRefusal();
    EXPECT_EQ(thickness->current.custom_real, value) << text;
  }
  EXPECT_FALSE(real->willChangePPDOptionKeyValue("CustommaterialThickness", "0.7000001"));
  EXPECT_EQ(real->lastRefusal(), "Material Thickness must be from 0.1 to 0.7; 0.7000001 is outside that range.");
  EXPECT_EQ(thickness->current.custom_real, 0.5f);

  HostOnPpd points(
      sampleWith("thickness/Thickness (mm): 1 real 0.0 50.0", "thickness/Thickness: 1 points 0 28.346457"));
  EXPECT_TRUE(points->mark("materialThickness", "Custom.1cm").ok()) << points->lastRefusal();
  EXPECT_TRUE(points->mark("materialThickness", "Custom.28.346457").ok()) << points->lastRefusal();

  // A range beyond a float is infinite in libcups; a number beyond a float
  // is still refused, never kept as an infinity the job cannot write.
  HostOnPpd huge(
      sampleWith("thickness/Thickness (mm): 1 real 0.0 50.0", "thickness/Thickness (mm): 1 real -1e308 1e308"));
  ppd_cparam_t* unbounded = param(huge->ppdFile(), "materialThickness", "thickness");
  ASSERT_NE(unbounded, nullptr);
  const std::string beyond = "1" + std::string(39, '0');
  EXPECT_FALSE(huge->willChangePPDOptionKeyValue("CustommaterialThickness", beyond));
  EXPECT_EQ(huge->lastRefusal(), "Material Thickness must be from -inf to inf; " + beyond + " is outside that range.");
  EXPECT_FALSE(huge->willChangePPDOptionKeyValue("CustommaterialThickness", "-" + beyond));
  EXPECT_TRUE(huge->willChangePPDOptionKeyValue("CustommaterialThickness", "340282346638528859811704183484516925440"));
  EXPECT_EQ(unbounded->current.custom_real, std::numeric_limits<float>::max());

  // Stored options from a hand-edited file are shown on one line.
  CupsPpdHost::ApplyReport report = host->applyOptions({{"Job\nType", "Raster\x1B[2J"}, {"dithering", "a\rb"}});
  EXPECT_EQ(report.warnings,
            (std::vector<std::string>{
                "Skipped the stored option Job\xEF\xBF\xBDType=Raster\xEF\xBF\xBD[2J: the printer has no such option.",
                "Skipped the stored option dithering=a\xEF\xBF\xBD"
                "b: Dithering has no choice \"a\xEF\xBF\xBD"
                "b\"."}));
}

TEST_F(CupsPpdHostTest, CustomValuesThatOneNumberCannotSetAreRefused) {
  HostOnPpd points(sampleWith("thickness/Thickness (mm): 1 real 0.0 50.0", "thickness/Thickness: 1 points 0 144"));
  ppd_cparam_t* thickness = param(points->ppdFile(), "materialThickness", "thickness");
  ASSERT_NE(thickness, nullptr);
  for (const auto& [text, value] : std::vector<std::pair<std::string, float>>{
           {"1in", 72.0f}, {"25.4mm", 72.0f}, {"2.54cm", 72.0f}, {"144", 144.0f}, {"36pt", 36.0f}}) {
    EXPECT_TRUE(points->willChangePPDOptionKeyValue("CustommaterialThickness", text)) << points->lastRefusal();
    EXPECT_FLOAT_EQ(thickness->current.custom_points, value) << text;
  }
  EXPECT_FALSE(points->willChangePPDOptionKeyValue("CustommaterialThickness", "3in"));
  EXPECT_EQ(points->lastRefusal(), "Material Thickness must be from 0 to 144 points; 3in is outside that range.");
  EXPECT_FALSE(points->willChangePPDOptionKeyValue("CustommaterialThickness", "5 mm"));
  EXPECT_EQ(points->lastRefusal(),
            "Material Thickness needs a length from 0 to 144 points (a number with pt, in, ft, cm, mm or m), "
            "not \"5 mm\".");
  EXPECT_FALSE(points->willChangePPDOptionKeyValue("CustommaterialThickness", "5km"));
  EXPECT_FLOAT_EQ(thickness->current.custom_points, 36.0f);

  HostOnPpd two(sampleWith("*ParamCustomrasterSpeed rSpeed/Raster Speed (%): 1 int 1 100",
                           "*ParamCustomrasterSpeed rSpeed/Raster Speed (%): 1 int 1 100\n"
                           "*ParamCustomrasterSpeed rAccel/Acceleration: 2 int 1 10"));
  EXPECT_FALSE(two->willChangePPDOptionKeyValue("CustomrasterSpeed", "50"));
  EXPECT_EQ(two->lastRefusal(), "Raster Speed has several custom values; one text cannot set them.");

  HostOnPpd text(sampleWith("rSpeed/Raster Speed (%): 1 int 1 100", "rSpeed/Raster Speed (%): 1 string 0 10"));
  EXPECT_FALSE(text->willChangePPDOptionKeyValue("CustomrasterSpeed", "fast"));
  EXPECT_EQ(text->lastRefusal(), "Raster Speed takes a text value, which this dialog does not set.");
  EXPECT_EQ(markedChoice(text->ppdFile(), "rasterSpeed"), "100");
}

TEST_F(CupsPpdHostTest, StoredOptionsGoThroughTheSameChecksInAnyOrder) {
  ASSERT_TRUE(host->willChangePPDOptionKeyValue("autoFocus", "enabled"));
  ASSERT_TRUE(host->willChangePPDOptionKeyValue("vectorGrid", "enabled"));
  // autoFocus comes first and conflicts until vectorGrid has changed.
  CupsPpdHost::ApplyReport report = host->applyOptions({{"autoFocus", "disabled"},
                                                        {"vectorGrid", "disabled"},
                                                        {"JobType", "Vector"},
                                                        {"NoSuchOption", "x"},
                                                        {"rasterPower", "Custom.30"},
                                                        {"rasterSpeed", "Custom.500"},
                                                        {"materialThickness", "Custom.0.25"},
                                                        {"dithering", "Stucki"}});
  EXPECT_EQ(report.applied,
            (std::vector<std::string>{"JobType", "materialThickness", "rasterPower", "vectorGrid", "autoFocus"}));
  EXPECT_EQ(report.warnings,
            (std::vector<std::string>{
                "Skipped the stored option NoSuchOption=x: the printer has no such option.",
                "Skipped the stored option dithering=Stucki: Dithering has no choice \"Stucki\".",
                "Skipped the stored option rasterSpeed=Custom.500: Raster Speed must be from 1 to 100; 500 is "
                "outside that range."}));
  EXPECT_EQ(marked("autoFocus"), "disabled");
  EXPECT_EQ(marked("vectorGrid"), "disabled");
  EXPECT_EQ(marked("JobType"), "Vector");
  EXPECT_EQ(marked("rasterPower"), "Custom");
  EXPECT_EQ(currentInt("rasterPower", "rPower"), 30);
  EXPECT_EQ(currentReal("materialThickness", "thickness"), 0.25f);
  EXPECT_EQ(marked("rasterSpeed"), "100");
  // Bringing settings back is not the person's doing: no status line.
  EXPECT_EQ(host->lastRefusal(), "");
  EXPECT_EQ(host->refusals(), 0);

  // mark() is the same check for one option, and it does keep the sentence.
  EXPECT_FALSE(host->mark("rasterSpeed", "Custom.0").ok());
  EXPECT_EQ(host->lastRefusal(), "Raster Speed must be from 1 to 100; 0 is outside that range.");
  EXPECT_TRUE(host->mark("rasterSpeed", "Custom.60").ok());
  EXPECT_EQ(currentInt("rasterSpeed", "rSpeed"), 60);
}

// A panel on the real host; the log capture keeps the system log quiet.
class CupsPpdHostPanelTest : public CupsPpdHostTest {
 protected:
  zarvik::testing::LogCapture log;
};

// A PPD may spell its keywords in any case; libcups finds and marks them
// whatever the case asked for, and so does the host, wherever a key comes
// from. The job carries the PPD's own spelling.
TEST_F(CupsPpdHostPanelTest, KeywordsInAnotherCaseAreTheSameOptionsAndChoices) {
  std::string text = sampleWith("JobType", "jobtype");
  for (const auto& [from, to] :
       std::vector<std::pair<std::string, std::string>>{{"rasterSpeed", "RasterSpeed"},
                                                        {"*jobtype Vector/", "*jobtype VECTOR/"},
                                                        {"*autoFocus enabled/", "*autoFocus ENABLED/"}}) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
      text.replace(at, from.size(), to);
    }
  }
  HostOnPpd variant(text);
  ppd_file_t* file = variant->ppdFile();
  std::shared_ptr<ZarvikPDE> panel = ZarvikPDE::initWithCallback(variant.shared());
  ASSERT_NE(panel, nullptr);
  // The panel's requests, in the panel's own spelling.
  for (auto [key, choice] : {std::pair{"JobType", "VECTOR"}, {"rasterSpeed", "Custom"}, {"CustomrasterSpeed", "40"},
                             {"autoFocus", "enabled"}}) {
    EXPECT_TRUE(variant->willChangePPDOptionKeyValue(key, choice)) << variant->lastRefusal();
  }
  EXPECT_EQ(variant->refusals(), 0) << variant->lastRefusal();
  EXPECT_EQ(markedChoice(file, "jobtype"), "VECTOR");
  EXPECT_EQ(markedChoice(file, "autoFocus"), "ENABLED");
  EXPECT_EQ(param(file, "RasterSpeed", "rSpeed")->current.custom_int, 40);

  // Stored options, mark() and custom keys alike.
  CupsPpdHost::ApplyReport report = variant->applyOptions({{"JOBTYPE", "raster"}, {"rasterspeed", "custom.30"}});
  EXPECT_EQ(report.warnings, std::vector<std::string>{});
  EXPECT_EQ(markedChoice(file, "jobtype"), "Raster");
  EXPECT_EQ(param(file, "RasterSpeed", "rSpeed")->current.custom_int, 30);
  EXPECT_TRUE(variant->mark("jobType", "Vector").ok()) << variant->lastRefusal();
  EXPECT_TRUE(variant->willChangePPDOptionKeyValue("customRASTERSPEED", "20")) << variant->lastRefusal();
  EXPECT_TRUE(variant->willChangePPDOptionKeyValue("AutoFocus", "Disabled")) << variant->lastRefusal();
  std::map<std::string, std::string> job = jobOptionsFromMarks(file).options;
  EXPECT_EQ(job.at("jobtype"), "VECTOR");
  EXPECT_EQ(job.at("RasterSpeed"), "Custom.20");
  EXPECT_EQ(job.at("autoFocus"), "disabled");
  EXPECT_EQ(variant->refusals(), 0) << variant->lastRefusal();
}

}  // namespace
}  // namespace zarvik::host
