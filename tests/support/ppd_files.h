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

namespace zarvik::testing {

struct PpdCloser {
  void operator()(ppd_file_t* ppd) const;
};
using ScopedPpd = std::unique_ptr<ppd_file_t, PpdCloser>;

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

// A PPD written to a folder of its own and opened; closed and removed when the object goes.
class TemporaryPpd {
 public:
  explicit TemporaryPpd(const std::string& text)
      : ppd_((writeFile(folder_.path() / "test.ppd", text), openPpd(folder_.path() / "test.ppd"))) {}
  ppd_file_t* get() const { return ppd_.get(); }
  std::filesystem::path path() const { return folder_.path() / "test.ppd"; }

 private:
  TemporaryFolder folder_{"zarvik-test"};
  ScopedPpd ppd_;
};

}  // namespace zarvik::testing
