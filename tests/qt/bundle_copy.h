// A copy of the built bundle in a folder of the test's own, to break.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "support/files.h"
#include "support/temporary_folder.h"

namespace zarvik::testing {

struct BundleCopy {
  explicit BundleCopy(const std::filesystem::path& original) {
    std::filesystem::copy(original, path, std::filesystem::copy_options::recursive);
  }
  void edit(const std::string& relative, const std::string& from, const std::string& to) const {
    std::string text = readFile(path / relative);
    if (text.find(from) == std::string::npos) throw std::runtime_error(relative + " has no " + from);
    writeFile(path / relative, text.replace(text.find(from), from.size(), to));
  }
  TemporaryFolder folder{"zarvik-bundle"};
  std::filesystem::path path = folder.path() / "ZarvikPDE.plugin";
};

}  // namespace zarvik::testing
