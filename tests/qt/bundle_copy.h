// A copy of the built bundle in a folder of the test's own, to break.
#pragma once

#include <filesystem>

#include "support/temporary_folder.h"

namespace zarvik::testing {

struct BundleCopy {
  explicit BundleCopy(const std::filesystem::path& original) {
    std::filesystem::copy(original, path, std::filesystem::copy_options::recursive);
  }
  TemporaryFolder folder{"zarvik-bundle"};
  std::filesystem::path path = folder.path() / "ZarvikPDE.plugin";
};

}  // namespace zarvik::testing
