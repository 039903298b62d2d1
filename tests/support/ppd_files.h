// Real PPD files for tests: the sample engraver PPD, the files under tests/data, and variants of the sample written to
// a temporary file.
#pragma once

#include <cups/ppd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "support/files.h"
#include "support/temporary_folder.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"  // libcups 2.4 says so of every ppd* call

namespace zarvik::testing {

struct PpdCloser {
  void operator()(ppd_file_t* ppd) const { ppdClose(ppd); }
};
using ScopedPpd = std::unique_ptr<ppd_file_t, PpdCloser>;

// The options the engraver's PPD must declare for the panel, as its documentation lists them.
inline constexpr const char* kRequiredPpdOptions[] = {
    "JobType",         "CenterEngraving", "rasterSpeed", "rasterPower", "EngravingDirection",
    "dithering",       "vectorSpeed",     "vectorPower", "vectorFreq",  "vectorSort",
    "vectorSpeedComp", "vectorPowerComp", "cResolution"};

std::filesystem::path samplePpdPath();
std::filesystem::path testPpdPath(std::string_view fileName);  // under tests/data

// Opens a PPD file; fails the calling test (ADD_FAILURE) when libcups cannot.
ScopedPpd openPpd(const std::filesystem::path& path);

// The sample PPD's text without every line that belongs to `option`: its OpenUI block, defaults, custom option and
// parameters, and constraints.
std::string sampleWithoutOption(std::string_view option);
// The same for any PPD's text.
std::string withoutOption(const std::string& text, std::string_view option);
// `text` with every occurrence of `from` replaced by `to`; an empty `from` fails the calling test and changes nothing.
std::string replaceAll(std::string text, std::string_view from, std::string_view to);
// The sample PPD's text with every occurrence of `from` replaced by `to`.
std::string sampleWith(std::string_view from, std::string_view to);

// A PPD written from `text` to a folder of its own and opened, or null when libcups refuses it (the fuzz targets use it
// too, without gtest); closed and removed when the object goes.
class TemporaryPpd {
 public:
  explicit TemporaryPpd(std::string_view text) : ppd_((writeFile(path(), text), ppdOpenFile(path().c_str()))) {}
  ppd_file_t* get() const { return ppd_.get(); }
  std::filesystem::path path() const { return folder_.path() / "test.ppd"; }

 private:
  TemporaryFolder folder_{"zarvik-test"};
  ScopedPpd ppd_;
};

}  // namespace zarvik::testing

#pragma GCC diagnostic pop
