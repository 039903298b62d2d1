#include "support/ppd_files.h"

#include <gtest/gtest.h>

#include <sstream>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace zarvik::testing {

std::filesystem::path samplePpdPath() {
  return std::filesystem::path(ZARVIK_SOURCE_DIR) / "resources" / "ppd" / "zarvik-engraver.ppd";
}

std::filesystem::path testPpdPath(std::string_view fileName) {
  return std::filesystem::path(ZARVIK_SOURCE_DIR) / "tests" / "data" / fileName;
}

ScopedPpd openPpd(const std::filesystem::path& path) {
  ScopedPpd ppd(ppdOpenFile(path.c_str()));
  if (!ppd) {
    int line = 0;
    ppd_status_t status = ppdLastError(&line);
    ADD_FAILURE() << "libcups cannot open " << path << ": " << ppdErrorString(status) << " at line " << line;
  }
  return ppd;
}

std::string sampleWithoutOption(std::string_view option) { return withoutOption(readFile(samplePpdPath()), option); }

std::string withoutOption(const std::string& text, std::string_view option) {
  std::istringstream in(text);
  const std::string name(option);
  std::string out, line;
  bool insideBlock = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with("*OpenUI *" + name + "/") || line.starts_with("*OpenUI *" + name + ":")) insideBlock = true;
    // Lines outside the block that belong to the option: its default, custom option and parameters, and the
    // constraints that name it.
    bool drop = insideBlock || line.starts_with("*Default" + name + ":") || line.starts_with("*Custom" + name + " ") ||
                line.starts_with("*ParamCustom" + name + " ") ||
                ((line.starts_with("*UIConstraints:") || line.starts_with("*NonUIConstraints:")) &&
                 (line.find("*" + name + " ") != std::string::npos || line.ends_with("*" + name)));
    if (insideBlock && line.starts_with("*CloseUI: *" + name)) insideBlock = false;
    if (!drop) out += line + "\n";
  }
  return out;
}

std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
  // An empty pattern would be found at every place, endlessly.
  if (from.empty()) {
    ADD_FAILURE() << "replaceAll needs a text to replace";
    return text;
  }
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string sampleWith(std::string_view from, std::string_view to) {
  return replaceAll(readFile(samplePpdPath()), from, to);
}

}  // namespace zarvik::testing
