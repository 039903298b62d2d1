// A copy of the built bundle in a temporary directory, for tests that need
// a bundle with a file changed or missing.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "support/files.h"

namespace zarvik::testing {

class BundleCopy {
 public:
  explicit BundleCopy(const std::filesystem::path& original) {
    if (!directory_.isValid()) throw std::runtime_error("no temporary directory");
    path_ = std::filesystem::path(directory_.path().toStdString()) / "ZarvikPDE.plugin";
    std::filesystem::copy(original, path_, std::filesystem::copy_options::recursive);
  }

  const std::filesystem::path& path() const { return path_; }
  QString qpath() const { return QString::fromStdString(path_.string()); }

  // Replaces the first `from` in the bundle's file `relative` with `to`;
  // throws when the file does not hold `from`.
  void edit(const std::string& relative, const std::string& from, const std::string& to) {
    std::string text = read(relative);
    std::size_t at = text.find(from);
    if (at == std::string::npos) throw std::runtime_error(relative + " has no " + from);
    text.replace(at, from.size(), to);
    write(relative, text);
  }

  void write(const std::string& relative, const std::string& text) { writeFile(path_ / relative, text); }

  void remove(const std::string& relative) { std::filesystem::remove_all(path_ / relative); }

  std::string read(const std::string& relative) const { return readFile(path_ / relative); }

 private:
  QTemporaryDir directory_;
  std::filesystem::path path_;
};

}  // namespace zarvik::testing
